#include "result/ResultDispatcher.h"

#include "app/ConfigStore.h"
#include "app/EditorWindows.h"
#include "app/LogText.h"
#include "app/NoticeBox.h"
#include "app/ReplyLimiter.h"
#include "commands/CommandText.h"
#include "result/TranslationService.h"
#include "ui_ResultDispatcher.h"

#include <QCryptographicHash>
#include <QDesktopServices>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTextCodec>
#include <QUrl>
#include <QtDebug>

namespace {

struct ModeSwitch {
    const char* phrase;
    int typing;
    int intelligence;
    int translation;
    const char* notice;
};

const ModeSwitch kModeSwitches[] = {
    {"切换到打字模式", 1, 0, 0, QT_TRANSLATE_NOOP("ResultDispatcher", "你已切换到打字模式！")},
    {"切换到智能模式", 0, 1, 0, QT_TRANSLATE_NOOP("ResultDispatcher", "你已切换到智能模式！")},
    {"切换到翻译模式", 0, 0, 1, QT_TRANSLATE_NOOP("ResultDispatcher", "你已切换到翻译模式！")},
};

const int kModeNoticeMs = 1000;
const int kEmptyNoticeMs = 500;
const int kCommandNoticeMs = 500;
const int kFailureNoticeMs = 3000;

QByteArray encodeWith(const char* codecName, const QString& text) {
    QTextCodec* codec = QTextCodec::codecForName(codecName);
    if (!codec) {
        qWarning("Text injection , codec %s missing !", codecName);
        return QByteArray();
    }
    return codec->fromUnicode(text);
}

} // namespace

ResultDispatcher::ResultDispatcher(QWidget* parent, std::unique_ptr<FocusTyping> typing,
                                   std::unique_ptr<ForegroundWindow> foreground)
    : QWidget(parent), ui(new Ui::ResultDispatcher), m_typing(std::move(typing)),
      m_foreground(std::move(foreground)) {
    ui->setupUi(this);
    m_prompt = new NoticeBox;
    m_vocabulary.loadShipped();
    m_reload = [this] { m_vocabulary.reloadUserMaintained(); };
    m_interpreter = [this](const QString& commandText) { return m_commands.interpret(commandText); };
}

ResultDispatcher::~ResultDispatcher() {
    // Requests still outstanding are abandoned with their managers.
    for (QNetworkAccessManager* manager : std::as_const(m_pending)) {
        manager->disconnect(this);
        delete manager;
    }
    delete m_prompt;
    delete ui;
}

void ResultDispatcher::setReloader(std::function<void()> reload) {
    m_reload = std::move(reload);
}

void ResultDispatcher::setInterpreter(Interpreter interpreter) {
    m_interpreter = std::move(interpreter);
}

void ResultDispatcher::showNotice(const QString& text, int delayMs) {
    m_prompt->showPromptFor(text, delayMs);
}

void ResultDispatcher::write(const QString& text) {
    if (m_reload)
        m_reload();

    ConfigStore& store = ConfigStore::instance();
    bool switched = false;
    for (const ModeSwitch& row : kModeSwitches) {
        if (!text.contains(QString::fromUtf8(row.phrase)))
            continue;
        // Not saved here: the next writer of the store saves the new mode with its own change.
        store["TypingModel"] = row.typing;
        store["IntelligenceModel"] = row.intelligence;
        store["TranslationModel"] = row.translation;
        showNotice(tr(row.notice), kModeNoticeMs);
        switched = true;
    }
    if (switched)
        return;

    if (store["TypingModel"] == 1) {
        if (text.isEmpty()) {
            if (store["ClosePrompt"] == 0)
                showNotice(tr("请你说大点声！"), kEmptyNoticeMs);
            return;
        }
        typeText(text);
    }
    if (store["IntelligenceModel"] == 1) {
        if (text.isEmpty()) {
            if (store["ClosePrompt"] == 0)
                showNotice(tr("请重试！！！"), kEmptyNoticeMs);
            return;
        }
        interpretCommand(text);
    }
    if (store["TranslationModel"] == 1) {
        if (text.isEmpty()) {
            if (store["ClosePrompt"] == 0)
                showNotice(tr("请你说大点声！"), kEmptyNoticeMs);
            return;
        }
        translateText(text);
    }
}

void ResultDispatcher::showRecognitionFailure(bool languageRefused) {
    if (ConfigStore::instance()["ClosePrompt"] != 0)
        return;
    if (languageRefused)
        showNotice(tr("离线识别只支持英语：请切换到英语，或在 services.ini 中配置语音服务器"),
                   kFailureNoticeMs);
    else
        showNotice(tr("语音服务暂时不可用"), kFailureNoticeMs);
}

QString ResultDispatcher::trimSentenceMarks(const QString& text, const QString& start) {
    return CommandText::trimSentenceMarks(text, start);
}

void ResultDispatcher::postTextToFocus(const QString& text, const char* ansiCodec) {
    postTextToFocus(*m_typing, text, ansiCodec);
}

void ResultDispatcher::postTextToFocus(FocusTyping& typing, const QString& text, const char* ansiCodec) {
    const int zero = text.indexOf(QChar(0));
    const QString typed = zero < 0 ? text : text.left(zero);
    const FocusTyping::WindowId foreground = typing.foregroundWindow();
    if (!foreground)
        return;
    const FocusTyping::WindowId control = typing.focusedControl(foreground);
    if (!control || typed.isEmpty())
        return;
    if (typing.takesUnicode(control)) {
        // Every character, tab and new line included; one beyond U+FFFF as its two surrogates.
        for (const QChar unit : typed)
            typing.postUnicodeCharacter(control, char16_t(unit.unicode()));
        return;
    }
    const QByteArray bytes = encodeWith(ansiCodec, typed);
    const int n = bytes.size();
    for (int i = 0; i < n;) {
        const auto byte = static_cast<unsigned char>(bytes.at(i));
        if (byte >= 0x80) {
            // A lead byte travels with its trail byte. One at the very end has none and is not
            // posted: the control would pair it with the next text's first byte.
            if (i + 1 >= n)
                break;
            typing.postCharacter(control, byte);
            typing.postCharacter(control, static_cast<unsigned char>(bytes.at(i + 1)));
            i += 2;
        } else {
            typing.postCharacter(control, byte);
            i += 1;
        }
    }
}

void ResultDispatcher::typeText(const QString& text) {
    const QString line = QStringLiteral("打字模式：") + text;
    qDebug() << line;
    emit activityReported(tr("打字模式：") + text);

    // A text without any sentence mark is typed whole: the offline engine never writes one, and
    // typing nothing at all would leave dictation dead with the setting on.
    const QString trimmed = trimSentenceMarks(text, text);
    const int removePunctuation = ConfigStore::instance()["RemovePunctuation"];
    QString typed;
    if (removePunctuation == 1)
        typed = trimmed;
    else if (removePunctuation == 0)
        typed = text;
    postTextToFocus(typed);
}

void ResultDispatcher::interpretCommand(const QString& utterance) {
    const QString line = QStringLiteral("智能模式：") + utterance;
    qDebug() << line;
    emit activityReported(tr("智能模式：") + utterance);

    ConfigStore& store = ConfigStore::instance();
    const QString commandText = CommandText::fromUtterance(utterance);
    const int removePunctuation = store["RemovePunctuation"];
    QString typed;
    if (removePunctuation == 1)
        typed = commandText;
    else if (removePunctuation == 0)
        typed = utterance;

    // In editors and chat windows the utterance is dictation, not a command.
    const std::optional<QString> windowClass = m_foreground->className();
    if (windowClass && EditorWindows::contains(*windowClass)) {
        postTextToFocus(typed);
        return;
    }

    if (!m_interpreter) {
        qWarning("Voice command , no interpreter set !");
        return;
    }
    const CommandAction action = m_interpreter(commandText);
    switch (action.kind) {
    case CommandAction::OpenUrl:
        QDesktopServices::openUrl(QUrl(action.url, QUrl::TolerantMode));
        if (store["ClosePrompt"] == 0)
            showNotice(commandText, kCommandNoticeMs);
        break;
    case CommandAction::Notice:
        if (store["ClosePrompt"] == 0)
            showNotice(commandText, kCommandNoticeMs);
        break;
    case CommandAction::None:
        break;
    }
}

QString ResultDispatcher::md5Hex(const QString& text) {
    return QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Md5).toHex());
}

void ResultDispatcher::translateText(const QString& text) {
    const QString line = QStringLiteral("翻译模式：") + text;
    qDebug() << line;

    ConfigStore& store = ConfigStore::instance();
    const QString query = store["RemovePunctuation"] == 1 ? trimSentenceMarks(text, text) : text;
    const TranslationService::Language from = TranslationService::source(store["TranslationLanguage"]);
    const TranslationService::Language to = TranslationService::target(store["TranslationResultLanguage"]);
    emit activityReported(tr("翻译模式：") + text + from.name + QStringLiteral("---->") + to.name);

    const TranslationService::Settings settings = TranslationService::settings();
    const QString sign = md5Hex(TranslationService::signatureInput(settings, query));
    const QString url = TranslationService::requestUrl(settings, query, from.code, to.code, sign);

    auto* manager = new QNetworkAccessManager;
    m_pending.insert(manager);
    connect(manager, &QNetworkAccessManager::finished, this, &ResultDispatcher::onTranslationReply);
    QNetworkReply* reply = ReplyLimiter::get(manager, QNetworkRequest(QUrl(url, QUrl::TolerantMode)),
                                             TranslationService::kMaxReplyBytes, settings.timeoutMs);
    reply->setProperty("deadlineMs", settings.timeoutMs);
}

void ResultDispatcher::onTranslationReply(QNetworkReply* reply) {
    if (reply->error() != QNetworkReply::NoError)
        qDebug() << QStringLiteral("Error:") + LogText::cut(reply->errorString());

    const ReplyLimiter::Verdict verdict = ReplyLimiter::verdict(reply);
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const int deadlineMs = reply->property("deadlineMs").toInt();
    const QString body = verdict == ReplyLimiter::Within ? QString::fromUtf8(reply->readAll()) : QString();
    QNetworkAccessManager* manager = reply->manager();
    reply->deleteLater();
    if (m_pending.remove(manager))
        manager->deleteLater();

    // Only a complete answer of the service is typed; an error page may well hold a "dst" too.
    if (verdict == ReplyLimiter::TooLarge) {
        qWarning("Translation , reply larger than %lld bytes refused, nothing typed !",
                 TranslationService::kMaxReplyBytes);
        return;
    }
    if (verdict == ReplyLimiter::TooSlow) {
        qWarning("Translation , no complete reply within %d ms, request aborted, nothing typed !",
                 deadlineMs);
        return;
    }
    if (status != 200) {
        if (status == 0)
            qWarning("Translation , no answer from the service, nothing typed !");
        else
            qWarning("Translation , HTTP status %d, nothing typed !", status);
        return;
    }
    const std::optional<QString> segment = TranslationService::firstSegment(body);
    if (!segment) {
        qWarning("Translation , reply holds no translation !");
        return;
    }
    qDebug() << QStringLiteral("dst = ") + LogText::cut(*segment);
    const QString translation = TranslationService::decodeEscapes(*segment);
    if (translation.size() > TranslationService::kMaxTranslationChars) {
        qWarning("Translation , translation of %d characters refused (more than %d), nothing typed !",
                 int(translation.size()), TranslationService::kMaxTranslationChars);
        return;
    }
    postTextToFocus(translation, "GBK");
}
