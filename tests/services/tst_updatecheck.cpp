#include "app/ConfigStore.h"
#include "app/NoticeBox.h"
#include "services/UpdateAtStartDialog.h"
#include "services/UpdateCheck.h"
#include "services/UpdateReminder.h"
#include "tests/support/GzipBomb.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/MessageLog.h"
#include "tests/support/PeakMemory.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"
#include "tests/support/UrlCatcher.h"

#include <QApplication>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>
#include <QtTest>

template <typename T> static QList<T*> shownWindows() {
    QList<T*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<T*>(w); t && t->isVisible())
            out << t;
    return out;
}

// The warnings of the code under test, without the platform plugin's own.
static QStringList errors(const MessageLog& log) {
    QStringList out = log.warnings();
    out.removeAll("This plugin does not support raise()");
    return out;
}

static const QByteArray v131 = R"({"data":{"version":"1.31"}})";

using Startup =
    Rows<QByteArray, QString, bool, QString, QStringList>; // body, policy, bootBox, reminderTitle, debugLines
using Fails =
    Rows<QString, int, QString, QString>; // server (empty: ours), its mode, error text, limit warning

class TestUpdateCheck : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_server.isListening()); }
    void init() {
        m_dir.reset(new TestDir);
        m_catcher.urls.clear();
        m_server.requests.clear();
        m_server.mode = LoopbackHttpServer::Answer;
        configure(m_server.url(), 10000);
        QApplication::setQuitOnLastWindowClosed(true);
    }
    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<UpdateAtStartDialog*>(w) || qobject_cast<UpdateReminder*>(w) ||
                qobject_cast<NoticeBox*>(w))
                delete w;
        m_dir.reset();
    }

    // Start-up check: the reply and the policy decide which window appears. A manual check then
    // opens the product page for a newer version, says when there is none, else stays silent.
    void startupCheck_data() {
        const QStringList newer{"当前版本：1.30"};
        const Startup row;
        row("1.31 automatic", v131, "AutomaticUpdate", true, "", newer);
        row("1.31 reminder", v131, "ReminderUpdate", false, "  提醒更新", newer);
        row("1.31 never", v131, "NotUpdate", false, "  不更新", newer);
        row("1.31 reminder and never", v131, "ReminderUpdate,NotUpdate", false, "  不更新", newer);
        row("1.4", R"({"data":{"version":"1.4"}})", "AutomaticUpdate", true, "", newer); // 1.4 > 1.30
        row("1.100", R"({"data":{"version":"1.100"}})", "AutomaticUpdate", false, "",
            {"当前版本：1.30", "Your software is the newest version !"});
        row("1.30", R"({"data":{"version":"1.30"}})", "AutomaticUpdate", false, "",
            {"当前版本：1.30", "Your software is the newest version !"});
        row("not JSON", "Bad gateway", "AutomaticUpdate", false, "", {});
    }
    void startupCheck() {
        const auto [body, policy, bootBox, reminderTitle, debugLines] = Startup::fetch();
        for (const char* key : {"AutomaticUpdate", "ReminderUpdate", "NotUpdate"})
            ConfigStore::instance()[key] = policy.split(',').contains(key) ? 1 : 0;
        m_server.body = body;

        MessageLog log;
        UpdateCheck control;
        QSignalSpy done(&control, &UpdateCheck::startupCheckFinished);
        QVERIFY(done.wait(10000));
        QCOMPARE(m_server.requests.size(), 1);
        QCOMPARE(m_server.last().method + ' ' + m_server.last().path,
                 QByteArray("GET /api2/public/v1/app/update?device=1&client=4&version=0"));

        const auto boxes = shownWindows<UpdateAtStartDialog>();
        const auto reminders = shownWindows<UpdateReminder>();
        QCOMPARE(boxes.size(), bootBox ? 1 : 0);
        QCOMPARE(reminders.size(), reminderTitle.isEmpty() ? 0 : 1);
        if (!reminderTitle.isEmpty())
            QCOMPARE(reminders[0]->findChild<QLabel*>("titleLabel")->text(), reminderTitle);
        QCOMPARE(QApplication::quitOnLastWindowClosed(), boxes.isEmpty() && reminders.isEmpty());
        QCOMPARE(log.debugLines(), debugLines);
        QCOMPARE(errors(log), QStringList());
        QVERIFY(m_catcher.urls.isEmpty());

        ConfigStore::instance()["ClosePrompt"] = 1; // not consulted by the manual check
        checkManually();
        const bool newer = debugLines.size() == 1, newest = debugLines.size() == 2;
        QCOMPARE(m_catcher.urls, newer ? QList<QUrl>{QUrl("http://www.zorvel.com/mouse")} : QList<QUrl>());
        const auto notices = shownWindows<NoticeBox>();
        QCOMPARE(notices.size(), newest ? 1 : 0);
        if (!notices.isEmpty())
            QCOMPARE(notices[0]->text(), QString("已是最新版本"));
    }

    // "Update now" closes the update dialog and opens the product page.
    void updateNow() {
        UpdateAtStartDialog box;
        box.show();
        box.findChild<QPushButton*>("updateNowButton")->click();
        QVERIFY(!box.isVisible());
        QCOMPARE(m_catcher.urls, QList<QUrl>{QUrl("http://www.zorvel.com/mouse")});
    }

    // Both checks log an error and show nothing when the server refuses, trickles past the
    // deadline, sends too much or sends gzip (256 MiB inflated) although identity was asked; the
    // last three say so in a warning of their own, and memory never holds more than the cap.
    void checkFails_data() {
        const Fails row;
        // Port 1: privileged and outside the ephemeral range, so nothing listens and the client
        // socket cannot end up connected to itself.
        row("refused", "http://127.0.0.1:1", LoopbackHttpServer::Silent, "refused", "");
        row("trickles past the deadline", "", LoopbackHttpServer::Trickle, "",
            "no complete reply within 300 ms");
        row("over 1 MiB", "", LoopbackHttpServer::Answer, "", "larger than 1048576 bytes refused");
        row("gzip bomb", "", LoopbackHttpServer::Gzip, "", "larger than 1048576 bytes refused");
    }
    void checkFails() {
        const auto [server, mode, error, limit] = Fails::fetch();
        m_server.mode = LoopbackHttpServer::Mode(mode);
        m_server.body = mode == LoopbackHttpServer::Answer ? v131 + QByteArray(1024 * 1024, ' ')
                        : mode == LoopbackHttpServer::Gzip ? gzipBomb(256 << 20)
                                                           : v131;
        configure(server.isEmpty() ? m_server.url() : server, 300);
        ConfigStore::instance()["AutomaticUpdate"] = 1;
        QVERIFY(PeakMemory::reset());
        const qint64 before = PeakMemory::read("VmRSS");
        MessageLog log;
        checkManually();
        UpdateCheck control;
        QSignalSpy done(&control, &UpdateCheck::startupCheckFinished);
        QVERIFY(done.wait(10000));
        const QStringList warnings = errors(log);
        QVERIFY2(warnings.size() == (limit.isEmpty() ? 2 : 4),
                 qPrintable(warnings.join(" | ") + " / " + log.debugLines().join(" | ")));
        for (const QString& w : warnings)
            QVERIFY2((w.startsWith("Error: ") && w.contains(error)) ||
                         (!limit.isEmpty() && w.contains(limit)),
                     qPrintable(w));
        QVERIFY(log.debugLines().filter(QRegularExpression("^(?!Network , )")).isEmpty());
        QVERIFY(shownWindows<NoticeBox>().isEmpty());
        QVERIFY(shownWindows<UpdateAtStartDialog>().isEmpty());
        QVERIFY(m_catcher.urls.isEmpty());
        QVERIFY2(PeakMemory::read("VmHWM") - before < 32 << 20,
                 qPrintable(QString::number(PeakMemory::read("VmHWM") - before)));
        if (!server.isEmpty())
            return;
        for (const LoopbackHttpServer::Request& request : m_server.requests)
            QCOMPARE(request.header("Accept-Encoding"), QByteArray("identity"));
    }

private:
    // Runs a manual check to its end; the reply and its manager are released once handled.
    void checkManually() {
        QPointer<QNetworkReply> reply = UpdateCheck::checkManually();
        QVERIFY(reply);
        QPointer<QNetworkAccessManager> manager = reply->manager();
        QTRY_VERIFY_WITH_TIMEOUT(reply.isNull(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(manager.isNull(), 5000);
    }
    void configure(const QString& server, int timeoutMs) {
        m_dir->write("services.ini",
                     QString("[update]\nserver = %1\ntimeout_ms = %2\n").arg(server).arg(timeoutMs).toUtf8());
        TestDir::reloadSettings();
    }

    std::unique_ptr<TestDir> m_dir;
    LoopbackHttpServer m_server;
    UrlCatcher m_catcher;
};

QTEST_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
