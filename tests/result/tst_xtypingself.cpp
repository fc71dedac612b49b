#include "platform/FocusTyping.h"
#include "result/ResultDispatcher.h"
#include "tests/result/MixedText.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QtTest>

// Typing into a window of this very process, e.g. the program's own command editor: its GUI
// thread reads the keys only when typing gives it a turn of the event loop.
class TestXTypingSelf : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("No X display: this test runs under xvfb-run");
    }

    // More distinct characters than spare keycodes hold at once.
    void typesIntoOwnWindow() {
        const QString text = mixedText(200);
        QLineEdit edit;
        edit.setMaxLength(100000);
        edit.resize(900, 40);
        edit.show();
        QTRY_VERIFY_WITH_TIMEOUT(
            QGuiApplication::focusWindow() == edit.windowHandle() || (edit.activateWindow(), false), 10000);
        edit.setFocus();
        auto typing = FocusTyping::create();
        QElapsedTimer clock;
        clock.start();
        ResultDispatcher::postTextToFocus(*typing, text);
        QCoreApplication::processEvents(); // the backend starts typing on the next turn
        // It does not sit waiting for a window that cannot answer while it types.
        QVERIFY2(clock.elapsed() < 900, qPrintable(QString::number(clock.elapsed())));
        QTRY_COMPARE_WITH_TIMEOUT(edit.text().size(), text.size(), 10000);
        QTest::qWait(200); // nothing more arrives
        QCOMPARE(edit.text(), text);
    }
};

QTEST_MAIN(TestXTypingSelf)
#include "tst_xtypingself.moc"
