#include "platform/FocusTyping.h"
#include "result/ResultDispatcher.h"
#include "tests/support/MessageLog.h"

#include <QtTest>

// Without an X server the typing backend drops the text with one warning per run.
class TestTypingNoX : public QObject {
    Q_OBJECT
private slots:
    void dropsTextWithOneWarning() {
        QVERIFY(qEnvironmentVariableIsEmpty("DISPLAY"));
        MessageLog log;
        for (int i = 0; i < 3; ++i) {
            auto typing = FocusTyping::create();
            QCOMPARE(typing->foregroundWindow(), FocusTyping::WindowId(0));
            ResultDispatcher::postTextToFocus(*typing, QStringLiteral("abc你"));
        }
        QCOMPARE(log.warnings().size(), 1);
        QVERIFY2(log.contains("no X display"), qPrintable(log.warnings().first()));
    }
};

QTEST_GUILESS_MAIN(TestTypingNoX)
#include "tst_typingnox.moc"
