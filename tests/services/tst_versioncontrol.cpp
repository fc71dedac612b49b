#include "app/ConfigStore.h"
#include "app/PromptBox.h"
#include "services/BootUpdateBox.h"
#include "services/UpdateReminder.h"
#include "services/VersionControl.h"
#include "tests/support/UrlCatcher.h"
#include "tests/support/MessageLog.h"
#include "tests/support/TestDir.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

// A one-route HTTP server on loopback: answers every request with the body it is given, or never
// answers when silent.
class UpdateServer : public QObject {
    Q_OBJECT
public:
    QByteArray body;
    bool silent = false;
    QStringList requestLines;

    bool listen() {
        connect(&m_server, &QTcpServer::newConnection, this, &UpdateServer::accept);
        return m_server.listen(QHostAddress::LocalHost);
    }
    quint16 port() const { return m_server.serverPort(); }

private slots:
    void accept() {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                m_buffer[socket] += socket->readAll();
                if (!m_buffer[socket].contains("\r\n\r\n") || silent)
                    return;
                requestLines << QString::fromLatin1(m_buffer[socket].left(m_buffer[socket].indexOf("\r\n")));
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\n"
                              "Content-Length: " +
                              QByteArray::number(body.size()) + "\r\n\r\n" + body);
                socket->disconnectFromHost();
            });
        }
    }

private:
    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_buffer;
};


template <typename T> static QList<T*> shownWindows() {
    QList<T*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<T*>(w))
            if (t->isVisible())
                out << t;
    return out;
}

static QString labelText(QWidget* w, const char* name) {
    auto* label = w->findChild<QLabel*>(name);
    return label ? label->text() : QString("<no %1>").arg(name);
}

class TestVersionControl : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_server.listen());
    }
    void init() {
        m_dir.reset(new TestDir);
        m_catcher.urls.clear();
        m_server.requestLines.clear();
        m_server.silent = false;
        configure(QString("http://127.0.0.1:%1").arg(m_server.port()), 10000);
        QApplication::setQuitOnLastWindowClosed(true);
    }
    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<BootUpdateBox*>(w) || qobject_cast<UpdateReminder*>(w) ||
                qobject_cast<PromptBox*>(w))
                delete w;
        m_dir.reset();
    }

    void versionRules_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("newer");
        QTest::newRow("1.31") << QByteArray(R"({"code":0,"data":{"version":"1.31"}})") << true << true;
        QTest::newRow("1.4") << QByteArray(R"({"data":{"version":"1.4"}})") << true << true;
        QTest::newRow("2") << QByteArray(R"({"data":{"version":"2"}})") << true << true;
        QTest::newRow("1.100") << QByteArray(R"({"data":{"version":"1.100"}})") << true << false;
        QTest::newRow("1.30") << QByteArray(R"({"data":{"version":"1.30"}})") << true << false;
        QTest::newRow("1.3") << QByteArray(R"({"data":{"version":"1.3"}})") << true << false;
        QTest::newRow("number") << QByteArray(R"({"data":{"version":1.31}})") << false << false;
        QTest::newRow("data null") << QByteArray(R"({"data":null})") << false << false;
        QTest::newRow("data empty") << QByteArray(R"({"data":{}})") << false << false;
        QTest::newRow("data string") << QByteArray(R"({"data":"1.31"})") << false << false;
        QTest::newRow("no data") << QByteArray(R"({"version":"1.31"})") << false << false;
        QTest::newRow("array") << QByteArray(R"([{"data":{"version":"1.31"}}])") << false << false;
        QTest::newRow("not JSON") << QByteArray("<html>502</html>") << false << false;
        QTest::newRow("empty") << QByteArray() << false << false;
    }
    void versionRules() {
        QFETCH(QByteArray, body);
        QFETCH(bool, valid);
        QFETCH(bool, newer);
        QString version;
        QCOMPARE(VersionControl::readVersion(body, &version), valid);
        QCOMPARE(valid && VersionControl::isNewer(version), newer);
    }

    // Start-up check: the reply and the policy decide which window appears.
    void startupCheck_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("policy");
        QTest::addColumn<bool>("bootBox");
        QTest::addColumn<QString>("reminderTitle");
        QTest::addColumn<QStringList>("debugLines");
        const QByteArray v131 = R"({"data":{"version":"1.31"}})";
        const QStringList newer{"当前版本：1.30"};
        const QStringList newest{"当前版本：1.30", "Your software is the newest version !"};
        QTest::newRow("1.31 automatic") << v131 << "AutomaticUpdate" << true << QString() << newer;
        QTest::newRow("1.31 reminder") << v131 << "ReminderUpdate" << false << "  提醒更新" << newer;
        QTest::newRow("1.31 never") << v131 << "NotUpdate" << false << "  不更新" << newer;
        QTest::newRow("1.31 reminder and never")
            << v131 << "ReminderUpdate,NotUpdate" << false << "  不更新" << newer;
        QTest::newRow("1.31 automatic and reminder")
            << v131 << "AutomaticUpdate,ReminderUpdate" << true << "  提醒更新" << newer;
        QTest::newRow("1.31 no policy") << v131 << "" << false << QString() << newer;
        QTest::newRow("1.100") << QByteArray(R"({"data":{"version":"1.100"}})") << "AutomaticUpdate" << false
                               << QString() << newest;
        QTest::newRow("number") << QByteArray(R"({"data":{"version":1.31}})") << "AutomaticUpdate" << false
                                << QString() << QStringList();
        QTest::newRow("data null") << QByteArray(R"({"data":null})") << "NotUpdate" << false << QString()
                                   << QStringList();
        QTest::newRow("data empty") << QByteArray(R"({"data":{}})") << "ReminderUpdate" << false << QString()
                                    << QStringList();
    }
    void startupCheck() {
        QFETCH(QByteArray, body);
        QFETCH(QString, policy);
        QFETCH(bool, bootBox);
        QFETCH(QString, reminderTitle);
        QFETCH(QStringList, debugLines);
        ConfigStore& store = ConfigStore::instance();
        for (const char* key : {"AutomaticUpdate", "ReminderUpdate", "NotUpdate"})
            store[key] = policy.split(',').contains(key) ? 1 : 0;
        m_server.body = body;

        MessageLog log;
        VersionControl control;
        QSignalSpy done(&control, &VersionControl::startupCheckFinished);
        QVERIFY(done.wait(10000));
        QCOMPARE(m_server.requestLines,
                 QStringList{"GET /api2/public/v1/app/update?device=1&client=4&version=0 HTTP/1.1"});

        const auto boxes = shownWindows<BootUpdateBox>();
        const auto reminders = shownWindows<UpdateReminder>();
        QCOMPARE(boxes.size(), bootBox ? 1 : 0);
        QCOMPARE(reminders.size(), reminderTitle.isEmpty() ? 0 : 1);
        if (!reminderTitle.isEmpty())
            QCOMPARE(labelText(reminders[0], "label"), reminderTitle);
        QCOMPARE(QApplication::quitOnLastWindowClosed(), boxes.isEmpty() && reminders.isEmpty());
        QCOMPARE(log.debugLines(), debugLines);
        QCOMPARE(errors(log), QStringList());
        QVERIFY(m_catcher.urls.isEmpty());
    }

    void bootUpdateBoxButtons() {
        BootUpdateBox box;
        QCOMPARE(box.size(), QSize(400, 270));
        QVERIFY(box.windowFlags() & Qt::ToolTip);
        QCOMPARE(labelText(&box, "label"), QString("  自动更新"));
        QCOMPARE(labelText(&box, "label_2"), QString("Zorvel软件更新啦！为了你更好地体验，请"));
        box.show();
        box.findChild<QPushButton*>("pushButton")->click();
        QVERIFY(!box.isVisible());
        QVERIFY(m_catcher.urls.isEmpty());
        box.show();
        box.findChild<QPushButton*>("pushButton_2")->click();
        QVERIFY(!box.isVisible());
        QCOMPARE(m_catcher.urls, QList<QUrl>{QUrl("http://www.zorvel.com/mouse")});
    }

    void reminderButtonHidesOnlyUnderAReminderPolicy() {
        ConfigStore& store = ConfigStore::instance();
        store["ReminderUpdate"] = 1;
        UpdateReminder reminder;
        QCOMPARE(labelText(&reminder, "label_3"), QString("的体验，请前往官网下载更新吧！！！"));
        reminder.show();
        store["ReminderUpdate"] = 0;
        store["AutomaticUpdate"] = 1;
        reminder.findChild<QPushButton*>("pushButton")->click();
        QVERIFY(reminder.isVisible());
        store["NotUpdate"] = 1;
        reminder.findChild<QPushButton*>("pushButton")->click();
        QVERIFY(!reminder.isVisible());
    }

    // Manual check: newer opens the product page, not newer says so, anything else is silent.
    void manualCheck_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<bool>("newest");
        QTest::newRow("1.31") << QByteArray(R"({"data":{"version":"1.31"}})") << true << false;
        QTest::newRow("1.100") << QByteArray(R"({"data":{"version":"1.100"}})") << false << true;
        QTest::newRow("1.30") << QByteArray(R"({"data":{"version":"1.30"}})") << false << true;
        QTest::newRow("number") << QByteArray(R"({"data":{"version":1.31}})") << false << false;
        QTest::newRow("data null") << QByteArray(R"({"data":null})") << false << false;
        QTest::newRow("not JSON") << QByteArray("Bad gateway") << false << false;
    }
    void manualCheck() {
        QFETCH(QByteArray, body);
        QFETCH(bool, opens);
        QFETCH(bool, newest);
        m_server.body = body;
        ConfigStore::instance()["ClosePrompt"] = 1; // not consulted by the manual check
        QPointer<QNetworkReply> reply = VersionControl::checkManually();
        QVERIFY(reply);
        QPointer<QNetworkAccessManager> manager = reply->manager();
        QTRY_VERIFY_WITH_TIMEOUT(reply.isNull(), 10000);
        // The reply and its manager are released once handled.
        QTRY_VERIFY_WITH_TIMEOUT(manager.isNull(), 5000);
        QCOMPARE(m_catcher.urls.size(), opens ? 1 : 0);
        if (opens)
            QCOMPARE(m_catcher.urls[0], QUrl("http://www.zorvel.com/mouse"));
        const auto notices = shownWindows<PromptBox>();
        QCOMPARE(notices.size(), newest ? 1 : 0);
        if (newest)
            QCOMPARE(notices[0]->text(), QString("已是最新版本"));
        QVERIFY(shownWindows<BootUpdateBox>().isEmpty());
        QVERIFY(shownWindows<UpdateReminder>().isEmpty());
    }

    void serverUnreachable() {
        // Port 1: privileged and outside the ephemeral range, so nothing listens and the client
        // socket cannot end up connected to itself.
        configure("http://127.0.0.1:1", 10000);
        ConfigStore::instance()["AutomaticUpdate"] = 1;

        MessageLog log;
        QPointer<QNetworkReply> reply = VersionControl::checkManually();
        QVERIFY(reply);
        QPointer<QNetworkAccessManager> manager = reply->manager();
        QTRY_VERIFY_WITH_TIMEOUT(reply.isNull(), 10000);
        // The reply and its manager are released once handled.
        QTRY_VERIFY_WITH_TIMEOUT(manager.isNull(), 5000);
        VersionControl control;
        QSignalSpy done(&control, &VersionControl::startupCheckFinished);
        QVERIFY(done.wait(10000));
        const QStringList warnings = errors(log);
        QVERIFY2(warnings.size() == 2,
                 qPrintable(warnings.join(" | ") + " / " + log.debugLines().join(" | ")));
        for (const QString& w : warnings)
            QVERIFY2(w.startsWith("Error: ") && w.contains("refused"), qPrintable(w));
        QVERIFY(log.debugLines().isEmpty());
        QVERIFY(shownWindows<PromptBox>().isEmpty());
        QVERIFY(shownWindows<BootUpdateBox>().isEmpty());
        QVERIFY(m_catcher.urls.isEmpty());
    }

    void replyThatNeverFinishesTimesOut() {
        m_server.silent = true;
        configure(QString("http://127.0.0.1:%1").arg(m_server.port()), 300);
        MessageLog log;
        QElapsedTimer clock;
        clock.start();
        QPointer<QNetworkReply> reply = VersionControl::checkManually();
        QTRY_VERIFY_WITH_TIMEOUT(reply.isNull(), 10000);
        QVERIFY2(errors(log).size() == 1, qPrintable(errors(log).join(" | ")));
        QVERIFY2(errors(log)[0].startsWith("Error: "), qPrintable(errors(log)[0]));
        QVERIFY(shownWindows<PromptBox>().isEmpty());
        QVERIFY(m_catcher.urls.isEmpty());
    }

    void addressesFromServicesIni() {
        m_dir->write("services.ini", "[update]\nserver = http://updates.example.org:9000/\n"
                                     "[product]\npage = https://example.org/mouse\n");
        TestDir::reloadSettings();
        QCOMPARE(
            VersionControl::updateUrl(),
            QUrl("http://updates.example.org:9000/api2/public/v1/app/update?device=1&client=4&version=0"));
        QCOMPARE(VersionControl::productPage(), QUrl("https://example.org/mouse"));
    }

private:
    // The warnings of the code under test, without the platform plugin's own.
    static QStringList errors(const MessageLog& log) {
        QStringList out = log.warnings();
        out.removeAll("This plugin does not support raise()");
        return out;
    }

    void configure(const QString& server, int timeoutMs) {
        m_dir->write("services.ini",
                     QString("[update]\nserver = %1\ntimeout_ms = %2\n").arg(server).arg(timeoutMs).toUtf8());
        TestDir::reloadSettings();
    }

    std::unique_ptr<TestDir> m_dir;
    UpdateServer m_server;
    UrlCatcher m_catcher;
};

QTEST_MAIN(TestVersionControl)
#include "tst_versioncontrol.moc"
