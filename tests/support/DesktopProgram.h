#pragma once

#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/RealDesktop.h"
#include "tests/support/TestDir.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

// A copy of the program in a folder of its own, with its own TMPDIR and XDG_RUNTIME_DIR, in the
// desktop's session; the transcription server answers every take with the text it is given.
class DesktopProgram {
public:
    DesktopProgram(const RealDesktop& desktop, LoopbackHttpServer& server,
                   const QString& bin = qEnvironmentVariable("ZORVEL_BIN_DIR"))
        : m_server(server) {
        for (const QFileInfo& file : QDir(bin).entryInfoList(QDir::Files))
            QFile::copy(file.filePath(), m_dir.file(file.fileName()));
        m_dir.write("services.ini", ("[speech]\nengine=http\nurl=" + server.url() + "\n").toUtf8());
        m_dir.write("config.txt", "TypingModel=1\nIntelligenceModel=0\nTranslationModel=0\nFirstOpen=1\n"
                                  "MonitorZorvelMouseConnect=0\nRemovePunctuation=0\nClosePrompt=0\n"
                                  "AutomaticUpdate=0\nReminderUpdate=0\nNotUpdate=1\n");
        for (const char* folder : {"tmp", "run"})
            QDir().mkpath(m_dir.file(folder));
        QFile::setPermissions(m_dir.file("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_env = desktop.environment();
        m_env.insert("TMPDIR", m_dir.file("tmp"));
        m_env.insert("XDG_RUNTIME_DIR", m_dir.file("run"));
        m_process.setProcessEnvironment(m_env);
        m_process.setWorkingDirectory(m_dir.path());
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.setStandardOutputFile(m_dir.file("output.txt"));
        m_process.start(m_dir.file("zorvel"), QStringList());
    }
    ~DesktopProgram() {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(3000);
    }

    // Up once its log names the desktop's backends.
    bool waitUntilUp(int timeoutMs = 30000) {
        const bool up = waitFor([this] { return log().contains("Platform ,"); }, timeoutMs);
        QTest::qWait(1500); // the windows it shows at start come right after that line
        return up;
    }
    // One take: the side key held for 600 ms, then the server answers with the text; returns
    // once the program has the text (false if it never came).
    bool take(const QString& text) {
        const int before = log().count(QStringLiteral("打字模式："));
        m_server.body = QJsonDocument(QJsonObject{{"text", text}}).toJson(QJsonDocument::Compact);
        secondStart({"--take", "begin"});
        QTest::qWait(600);
        secondStart({"--take", "end"});
        QElapsedTimer clock;
        clock.start();
        m_releasedAt = clock.msecsSinceReference();
        return waitFor([&] { return log().count(QStringLiteral("打字模式：")) > before; }, 20000);
    }
    // When the last take was ended, in ms of the monotonic clock (QElapsedTimer's reference).
    qint64 releasedAt() const { return m_releasedAt; }
    bool running() const { return m_process.state() == QProcess::Running; }
    QString log() const {
        QString text;
        for (const QString& name : QDir(m_dir.file("logs")).entryList({"*.log"}))
            text += QString::fromUtf8(m_dir.read("logs/" + name));
        return text;
    }
    template <typename Done> static bool waitFor(Done done, int timeoutMs) {
        QDeadlineTimer deadline(timeoutMs);
        while (!done()) {
            if (deadline.hasExpired())
                return false;
            QTest::qWait(50);
        }
        return true;
    }

private:
    void secondStart(const QStringList& arguments) {
        QProcess second;
        second.setProcessEnvironment(m_env);
        second.setWorkingDirectory(m_dir.path());
        second.start(m_dir.file("zorvel"), arguments);
        // The server answers meanwhile; the events may reap the process, after which waiting
        // for it fails at once.
        while (second.state() != QProcess::NotRunning && !second.waitForFinished(20))
            QCoreApplication::processEvents();
    }

    TestDir m_dir;
    LoopbackHttpServer& m_server;
    QProcessEnvironment m_env;
    QProcess m_process;
    qint64 m_releasedAt = 0;
};
