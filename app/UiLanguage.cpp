#include "app/UiLanguage.h"

#include "app/ServicesConfig.h"
#include "app/ServicesIniEditor.h"
#include "app/TextFit.h"

#include <QCoreApplication>
#include <QTranslator>
#include <QtDebug>

namespace {
const char kSettingKey[] = "ui/language";

QTranslator*& installed() {
    static QTranslator* translator = nullptr;
    return translator;
}
} // namespace

QString UiLanguage::key(Choice choice) {
    switch (choice) {
    case Chinese:
        return QStringLiteral("zh");
    case English:
        return QStringLiteral("en");
    case FollowSystem:
        break;
    }
    return QStringLiteral("system");
}

UiLanguage::Choice UiLanguage::fromKey(const QString& key) {
    const QString k = key.trimmed().toLower();
    if (k == QLatin1String("zh"))
        return Chinese;
    if (k == QLatin1String("en"))
        return English;
    if (!k.isEmpty() && k != QLatin1String("system"))
        qWarning().noquote() << "Services settings , unknown [ui] language" << key
                             << "; following the system";
    return FollowSystem;
}

UiLanguage::Choice UiLanguage::choice() {
    return fromKey(ServicesConfig::instance().text(QLatin1String(kSettingKey), QString()));
}

QLocale UiLanguage::desktopLocale() {
    const QStringList languages = QLocale::system().uiLanguages();
    return languages.isEmpty() ? QLocale::system() : QLocale(languages.first());
}

bool UiLanguage::englishFor(Choice choice, const QLocale& desktop) {
    if (choice != FollowSystem)
        return choice == English;
    return desktop.language() != QLocale::Chinese;
}

bool UiLanguage::isEnglish() {
    return installed() != nullptr;
}

void UiLanguage::apply(Choice choice) {
    const bool english = englishFor(choice);
    if (english == isEnglish())
        return;
    if (!english) {
        TextFit::watch(false);
        QCoreApplication::removeTranslator(installed());
        delete installed();
        installed() = nullptr;
        return;
    }
    auto* translator = new QTranslator;
    if (!translator->load(QStringLiteral(":/translations/zorvel_en.qm"))) {
        qWarning() << "Interface language , the English translation is missing; the windows stay Chinese";
        delete translator;
        return;
    }
    QCoreApplication::installTranslator(translator);
    installed() = translator;
    TextFit::watch(true);
}

bool UiLanguage::save(Choice choice, const QString& path, QString* error) {
    ServicesConfig::instance().setValue(QLatin1String(kSettingKey), key(choice));
    apply(choice);
    if (ServicesIniEditor::write(path, QStringLiteral("ui"), {{QStringLiteral("language"), key(choice)}},
                                 error))
        return true;
    qWarning().noquote() << "Services settings , services.ini could not be written:" << *error
                         << "; the interface language holds until the program ends";
    return false;
}
