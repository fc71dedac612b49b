#include "app/NoticeBox.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QtTest>

class TestNoticeBox : public QObject {
    Q_OBJECT
private slots:
    void appearanceAndCorner() {
        NoticeBox box;
        QCOMPARE(box.size(), QSize(280, 40));
        QVERIFY(box.windowFlags() & Qt::ToolTip);
        QVERIFY(box.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(NoticeBox::cornerFor(QRect(0, 0, 1920, 1080)), QPoint(1640, 1000));
        box.showPrompt(QString());
        QVERIFY(box.isVisible());
        QCOMPARE(box.size(), QSize(280, 40));
        const QLabel* label = box.findChild<QLabel*>("textLabel");
        QVERIFY(label);
        QCOMPARE(label->geometry(), QRect(0, 0, 279, 39));
        QVERIFY(label->styleSheet().contains("rgb(61, 102, 98)"));
    }

    void untimedShowStaysUntilHidden() {
        NoticeBox box;
        box.showPrompt("请说口令！");
        QTest::qWait(700);
        QVERIFY(box.isVisible());
        QCOMPARE(box.text(), QString("请说口令！"));
        box.hide();
        QVERIFY(!box.isVisible());
    }

    void timedShowRestartsWithLatestDelay() {
        NoticeBox box;
        box.showPromptFor("one", 500);
        QVERIFY(box.isVisible());
        QTest::qWait(300);
        QVERIFY(box.isVisible());
        QElapsedTimer since;
        since.start();
        box.showPromptFor("two", 500);
        QCOMPARE(box.text(), QString("two"));
        QTRY_VERIFY_WITH_TIMEOUT(!box.isVisible(), 5000);
        // Hidden a full delay after the second call, never by the first call's timer.
        QVERIFY2(since.elapsed() >= 450, qPrintable(QString::number(since.elapsed())));
    }
};

QTEST_MAIN(TestNoticeBox)
#include "tst_noticebox.moc"
