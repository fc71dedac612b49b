#pragma once

#include "commands/CommandAction.h"
#include "commands/CommandInterpreter.h"
#include "commands/VocabularyTables.h"
#include "platform/FocusTyping.h"
#include "platform/ForegroundWindow.h"

#include <QSet>
#include <QWidget>
#include <functional>
#include <memory>

class NoticeBox;
class QNetworkAccessManager;
class QNetworkReply;

namespace Ui {
class ResultDispatcher;
}

// The result dispatcher: every recognised text arrives in write() on the GUI thread, where spoken
// mode switches are handled, empty results get their notice and the text goes to the route of the
// active working mode (typing, intelligent, translation). Never shown.
class ResultDispatcher : public QWidget {
    Q_OBJECT
public:
    // Decides what a command text asks for; carrying the decision out stays here.
    using Interpreter = std::function<CommandAction(const QString& commandText)>;

    explicit ResultDispatcher(QWidget* parent = nullptr,
                              std::unique_ptr<FocusTyping> typing = FocusTyping::create(),
                              std::unique_ptr<ForegroundWindow> foreground = ForegroundWindow::create());
    ~ResultDispatcher() override;

    // The vocabulary tables the intelligent route decides with. The six shipped files are read at
    // construction; the three the user maintains are re-read at the start of every write().
    const VocabularyTables& vocabulary() const { return m_vocabulary; }

    // Replace the re-reading and the decision (tests).
    void setReloader(std::function<void()> reload);
    void setInterpreter(Interpreter interpreter);

    // Typing route: logs the text and types it (trimmed or whole, by RemovePunctuation).
    void typeText(const QString& text);
    // Intelligent route: editor windows get the text typed, otherwise the interpreter decides.
    void interpretCommand(const QString& utterance);
    // Translation route: sends one signed request; the reply is typed when it arrives.
    void translateText(const QString& text);

    // Types the text (up to its first NUL) into the focused control of the foreground window: one
    // character message per UTF-16 unit where the control takes Unicode, else per byte of the
    // text in the ANSI codec (a lead byte always with its trail byte).
    void postTextToFocus(const QString& text, const char* ansiCodec = "gb2312");
    static void postTextToFocus(FocusTyping& typing, const QString& text, const char* ansiCodec = "gb2312");

    // Cuts a text at its sentence mark (see CommandText::trimSentenceMarks).
    static QString trimSentenceMarks(const QString& text, const QString& start);

    // MD5 of the UTF-8 bytes as 32 lower-case hex digits.
    static QString md5Hex(const QString& text);

    NoticeBox* noticeBox() const { return m_prompt; }
    // Requests sent and not yet answered.
    int pendingTranslations() const { return m_pending.size(); }

public slots:
    void write(const QString& text);
    // A take gave no text: the engine cannot recognise the language the mode asks for (the
    // notice names the remedy), or the speech service is unavailable. Shown while ClosePrompt is 0.
    void showRecognitionFailure(bool languageRefused);

signals:
    void activityReported(const QString& text);

private slots:
    void onTranslationReply(QNetworkReply* reply);

private:
    void showNotice(const QString& text, int delayMs);

    Ui::ResultDispatcher* ui;
    VocabularyTables m_vocabulary;
    CommandInterpreter m_commands{m_vocabulary};
    std::unique_ptr<FocusTyping> m_typing;
    std::unique_ptr<ForegroundWindow> m_foreground;
    std::function<void()> m_reload;
    Interpreter m_interpreter;
    QSet<QNetworkAccessManager*> m_pending;
    NoticeBox* m_prompt;
};
