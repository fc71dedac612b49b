#include <QImageReader>
#include <QtTest>

// The icon set compiled into the program.
class TestIcons : public QObject {
    Q_OBJECT
private slots:
    void everyIconLoads() {
        for (const char* name : {"zorvel.ico", "zorvelhui.ico", "select.ico", "empty.ico", "folder.ico",
                                 "document.ico", "close1.ico", "1.ico", "2.ico", "3.ico", "voicekey.png"}) {
            QImageReader reader(QStringLiteral(":/ico/images/") + QLatin1String(name));
            const QImage image = reader.read();
            QVERIFY2(!image.isNull(), qPrintable(name + (": " + reader.errorString())));
            QVERIFY2(image.hasAlphaChannel(), name);
        }
    }
};

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
