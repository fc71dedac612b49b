#include "app/NoticeBox.h"

#include <QElapsedTimer>
#include <QtTest>

class TestNoticeBox : public QObject {
    Q_OBJECT
private slots:
    // At the screen's lower right corner; a timed notice goes a full delay after the latest call,
    // never by an earlier call's timer.
    void showsInTheCornerForTheLatestDelay() {
        NoticeBox box;
        QCOMPARE(NoticeBox::cornerFor(QRect(0, 0, 1920, 1080)), QPoint(1640, 1000));
        box.showPromptFor("one", 500);
        QTest::qWait(300);
        QVERIFY(box.isVisible());
        QElapsedTimer since;
        since.start();
        box.showPromptFor("two", 500);
        QCOMPARE(box.text(), QString("two"));
        QTRY_VERIFY_WITH_TIMEOUT(!box.isVisible(), 5000);
        QVERIFY2(since.elapsed() >= 450, qPrintable(QString::number(since.elapsed())));
    }
};

QTEST_MAIN(TestNoticeBox)
#include "tst_noticebox.moc"
