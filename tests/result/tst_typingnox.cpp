#include "platform/FocusTyping.h"
#include "result/ZorvelIat.h"

#include <QtTest>

namespace {
QStringList g_warnings;
void collect(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtWarningMsg)
        g_warnings << message;
}
} // namespace

// Without an X server the typing backend drops the text with one warning per run.
class TestTypingNoX : public QObject {
    Q_OBJECT
private slots:
    void dropsTextWithOneWarning() {
        QVERIFY(qEnvironmentVariableIsEmpty("DISPLAY"));
        qInstallMessageHandler(collect);
        for (int i = 0; i < 3; ++i) {
            auto typing = FocusTyping::create();
            QCOMPARE(typing->foregroundWindow(), FocusTyping::WindowId(0));
            ZorvelIat::postTextToFocus(*typing, QByteArray("abc\xc4\xe3"));
        }
        qInstallMessageHandler(nullptr);
        QCOMPARE(g_warnings.size(), 1);
        QVERIFY2(g_warnings.first().contains("no X display"), qPrintable(g_warnings.first()));
    }
};

QTEST_GUILESS_MAIN(TestTypingNoX)
#include "tst_typingnox.moc"
