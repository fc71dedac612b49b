// Renders every window of the user interface and the tray menus to PNG files, so that the look can
// be reviewed without a desktop: zorvel_screenshots [output folder, default "screenshots"] writes the
// Chinese set to <folder>/zh and the English one to <folder>/en, each from a process of its own
// (zorvel_screenshots --language zh|en <folder>). Runs on any Qt platform (the offscreen one needs no
// display), in a temporary folder so that no settings are touched.
//
// Each shot also walks the window's visible widgets and lists their texts in <folder>/<language>/texts.txt.
// It fails when an English window shows a Chinese character (a text that missed the translation), or
// a Chinese window one of the English translations.
#include "app/ConfigStore.h"
#include "app/FontSetup.h"
#include "app/NoticeBox.h"
#include "app/UiLanguage.h"
#include "platform/fake/FakeStartAtLogon.h"
#include "services/UpdateAtStartDialog.h"
#include "services/UpdateReminder.h"
#include "ui/AboutDialog.h"
#include "ui/FirstRunHint.h"
#include "ui/FirstRunSkills.h"
#include "ui/FirstRunSteps.h"
#include "ui/FloatingModeBar.h"
#include "ui/MainWindow.h" // with the windows it opens
#include "ui/SystemTray.h"
#include "voice/AudioRecorder.h"
#include "voice/SideKeyMonitor.h"

#include <QtWidgets>

namespace {
QString g_out;
bool g_ok = true;
bool g_english = false;
QStringList g_texts; // "shot/widget path<TAB>text"

bool hasChinese(const QString& text) {
    static const QRegularExpression chinese(
        QStringLiteral("[\\x{3000}-\\x{303f}\\x{3400}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    return text.contains(chinese);
}

// The English texts of the translation file that differ from their Chinese source.
QSet<QString> englishTexts() {
    QSet<QString> texts;
    QFile file(QString::fromUtf8(ZORVEL_TS_FILE));
    if (!file.open(QIODevice::ReadOnly)) {
        QTextStream(stderr) << "cannot read " << file.fileName() << '\n';
        g_ok = false;
        return texts;
    }
    QXmlStreamReader xml(&file);
    QString source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            const QString translation = xml.readElementText();
            if (translation != source)
                texts.insert(translation);
        }
    }
    return texts;
}

QString tr(const char* context, const char* text) {
    return QCoreApplication::translate(context, text);
}

// A text a person can read in the shot. An English window shows no Chinese character, a Chinese
// one no English translation; the interface-language list names each language in itself.
void note(const QString& where, const QString& text) {
    if (text.trimmed().isEmpty())
        return;
    static const QSet<QString> english = englishTexts();
    const bool languageList = where.endsWith(QLatin1String("interfaceLanguageCombo"));
    if (!g_english && english.contains(text) && !(languageList && text == QLatin1String("English"))) {
        QTextStream(stderr) << "English text in the Chinese window " << where << ": " << text << '\n';
        g_ok = false;
    }
    g_texts << where + QLatin1Char('\t') + QString(text).replace(QLatin1Char('\n'), QLatin1String("\\n"));
    const bool ownName = languageList && text == QStringLiteral("中文");
    if (g_english && hasChinese(text) && !ownName) {
        QTextStream(stderr) << "Chinese text in the English window " << where << ": " << text << '\n';
        g_ok = false;
    }
}

void noteActions(const QString& where, const QList<QAction*>& actions) {
    for (QAction* action : actions) {
        if (!action->isVisible() || action->isSeparator())
            continue;
        note(where + QLatin1Char('/') + QString::number(actions.indexOf(action)), action->text());
        if (action->menu())
            noteActions(where + QLatin1Char('>') + QString::number(actions.indexOf(action)),
                        action->menu()->actions());
    }
}

// Every visible text of the window: titles, labels, buttons, lists with all their items and tooltips,
// fields, tables, menus.
void walk(const QString& shot, QWidget* window) {
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* w : widgets) {
        if (w != window && !w->isVisibleTo(window))
            continue;
        const QString where =
            shot + QLatin1Char('/') +
            (w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName());
        if (w->isWindow())
            note(where + QStringLiteral("#title"), w->windowTitle());
        note(where + QStringLiteral("#tooltip"), w->toolTip());
        if (auto* label = qobject_cast<QLabel*>(w))
            note(where, label->text());
        else if (auto* button = qobject_cast<QAbstractButton*>(w))
            note(where, button->text());
        else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            for (int i = 0; i < combo->count(); ++i) {
                note(where, combo->itemText(i));
                note(where + QStringLiteral("#tooltip"), combo->itemData(i, Qt::ToolTipRole).toString());
            }
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            note(where, edit->text());
            note(where, edit->placeholderText());
        } else if (auto* text = qobject_cast<QTextEdit*>(w))
            note(where, text->toPlainText());
        else if (auto* group = qobject_cast<QGroupBox*>(w))
            note(where, group->title());
        else if (auto* table = qobject_cast<QTableWidget*>(w)) {
            for (int c = 0; c < table->columnCount(); ++c)
                if (QTableWidgetItem* item = table->horizontalHeaderItem(c))
                    note(where, item->text());
            for (int r = 0; r < table->rowCount(); ++r)
                for (int c = 0; c < table->columnCount(); ++c)
                    if (QTableWidgetItem* item = table->item(r, c))
                        note(where, item->text());
        } else if (auto* menu = qobject_cast<QMenu*>(w))
            noteActions(where, menu->actions());
        else if (auto* bar = qobject_cast<QMenuBar*>(w))
            noteActions(where, bar->actions());
    }
}

void save(QWidget* widget, const QString& name) {
    QApplication::processEvents();
    const QString path = g_out + QLatin1Char('/') + name + QStringLiteral(".png");
    const bool saved = widget->grab().save(path);
    QTextStream(saved ? stdout : stderr) << (saved ? "" : "save failed: ") << path << '\n';
    g_ok = g_ok && saved;
    walk(name, widget);
}
void click(QWidget* root, const char* name) {
    root->findChild<QAbstractButton*>(QLatin1String(name))->click();
}
void saveMenu(QMenu* menu, const QString& name) {
    menu->popup(QPoint(0, 0));
    save(menu, name);
    menu->hide();
}
} // namespace

// Both sets, each from its own process (the quick guide's carousel and other process-wide state
// start afresh).
int renderBothLanguages(const QString& out) {
    bool ok = true;
    for (const char* language : {"zh", "en"}) {
        const int rc =
            QProcess::execute(QCoreApplication::applicationFilePath(),
                              {QStringLiteral("--language"), language, out + QLatin1Char('/') + language});
        if (rc != 0) {
            QTextStream(stderr) << "the " << language << " set failed (" << rc << ")\n";
            ok = false;
        }
    }
    return ok ? 0 : 1;
}

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    installFontSubstitutions();
    const QStringList args = app.arguments();
    if (args.value(1) != QLatin1String("--language")) {
        const QString out = QDir(args.value(1, QStringLiteral("screenshots"))).absolutePath();
        return renderBothLanguages(out);
    }
    g_english = args.value(2) == QLatin1String("en");
    UiLanguage::apply(g_english ? UiLanguage::English : UiLanguage::Chinese);
    g_out = QDir(args.value(3)).absolutePath();
    QDir().mkpath(g_out);
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    writeDefaultConfig();
    ConfigStore::instance().reload();
    ConfigStore::instance()["MonitorZorvelMouseConnect"] = 1;
    FakeStartAtLogon logon;
    MainWindow main;
    main.appendActivity(tr("ResultDispatcher", "打字模式：") +
                        (g_english ? QStringLiteral("hello, world") : QStringLiteral("你好，世界")));
    main.refreshStatus();
    main.showWindow();
    save(&main, QStringLiteral("01-main-window"));
    main.tray()->refresh();
    saveMenu(main.tray()->menu(), QStringLiteral("02-tray-menu"));
    // Named as in Chinese in both sets.
    QStringList subMenus = {QStringLiteral("个人中心"), QStringLiteral("语言设置")};
    for (QAction* action : main.tray()->menu()->actions())
        if (action->menu())
            saveMenu(action->menu(), QStringLiteral("02-tray-menu-") + subMenus.takeFirst());
    main.showFloatingModeBar();
    save(main.floatingModeBar(), QStringLiteral("03-floating-tool"));
    SettingsDialog settings(nullptr, &logon);
    settings.setStyleSheet(QStringLiteral("background-color: white"));
    save(&settings, QStringLiteral("04-settings"));
    // The speech group with a server filled in and a tested connection.
    auto* engine = settings.findChild<QComboBox*>(QStringLiteral("speechEngineCombo"));
    engine->setCurrentIndex(1);
    emit engine->activated(1);
    settings.findChild<QLineEdit*>(QStringLiteral("speechUrlEdit"))
        ->setText(QStringLiteral("http://192.168.1.20:8000"));
    settings.findChild<QLineEdit*>(QStringLiteral("speechKeyEdit"))->setText(QStringLiteral("secret"));
    const QString report = tr("SettingsDialog", "%1：%2");
    const QString answered = tr("SpeechConnectionTest", "已应答，用时 %1 毫秒：%2");
    settings.findChild<QLabel*>(QStringLiteral("speechStatusLabel"))
        ->setText(report.arg(tr("SpeechConnectionTest", "一秒静音"),
                             answered.arg(412).arg(tr("SpeechConnectionTest", "（无文字）"))) +
                  QLatin1Char('\n') +
                  report.arg(tr("SpeechConnectionTest", "最近一次录音"),
                             answered.arg(655).arg(tr("SpeechConnectionTest", "“%1”")
                                                       .arg(g_english ? QStringLiteral("open calculator")
                                                                      : QStringLiteral("打开计算器")))));
    save(&settings, QStringLiteral("04-settings-speech"));
    main.showLeftMouseEvent();
    save(main.quickGuide(), QStringLiteral("05-quick-guide"));
    click(main.quickGuide(), "moreButton");
    for (int i = 0; i < 3; ++i)
        main.quickGuide()->advanceCarousel();
    save(main.quickGuide(), QStringLiteral("05-quick-guide-more"));
    main.showHelp();
    const char* const tabs[4] = {"stepsTabButton", "installTabButton", "detailsTabButton",
                                 "questionsTabButton"};
    for (int tab = 0; tab < 4; ++tab) {
        click(main.helpDialog(), tabs[tab]);
        save(main.helpDialog(), QStringLiteral("06-help-%1").arg(tab + 1));
    }
    click(main.helpDialog(), "detailsTabButton");
    click(main.helpDialog(), "nextDetailButton");
    save(main.helpDialog(), QStringLiteral("06-help-3b"));
    FirstRunHint hint(nullptr, &logon);
    hint.show();
    save(&hint, QStringLiteral("07-first-run-hint"));
    click(&hint, "okButton");
    save(hint.instructions(), QStringLiteral("08-first-run-steps"));
    click(hint.instructions(), "learnedButton");
    save(hint.instructions()->firstRunSkills(), QStringLiteral("09-first-run-skills"));
    main.tray()->showAboutUs();
    save(main.tray()->aboutWindow(), QStringLiteral("10-about"));
    main.showLogIn();
    save(main.loginDialog(), QStringLiteral("11-login"));
    main.showCustomFunc();
    save(main.customCommandEditor(), QStringLiteral("12-custom-commands"));
    UpdateAtStartDialog updateNow;
    updateNow.show();
    save(&updateNow, QStringLiteral("13-update-at-start"));
    UpdateReminder reminder;
    reminder.show();
    save(&reminder, QStringLiteral("14-update-reminder"));
    // The recorder window with the mark of the language in use, and a notice.
    AudioRecorder recorder;
    recorder.setLanguageMark(SideKeyMonitor::languageMark(ConfigStore::instance()));
    recorder.show();
    save(&recorder, QStringLiteral("15-recorder"));
    main.tray()->showChinese();
    save(main.tray()->noticeBox(), QStringLiteral("16-notice"));

    QFile texts(g_out + QStringLiteral("/texts.txt"));
    if (!texts.open(QIODevice::WriteOnly) ||
        texts.write((g_texts.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8()) < 0)
        g_ok = false;
    return g_ok ? 0 : 1;
}
