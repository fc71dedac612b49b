#include <QIcon>
#include <QImageReader>
#include <QtTest>

// The icon set compiled into the program.
class TestIcons : public QObject {
    Q_OBJECT
private slots:
    void everyIconLoads_data() {
        QTest::addColumn<QString>("path");
        for (const char* name : {"zorvel.ico", "zorvelhui.ico", "select.ico", "empty.ico", "folder.ico",
                                 "document.ico", "close1.ico", "1.ico", "2.ico", "3.ico", "voicekey.png"})
            QTest::newRow(name) << QStringLiteral(":/ico/images/") + QLatin1String(name);
    }
    void everyIconLoads() {
        QFETCH(QString, path);
        QImageReader reader(path);
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(path + ": " + reader.errorString()));
        QVERIFY(image.hasAlphaChannel());
    }

    void emptyIsABlankTwinOfSelect() {
        const QImage select(":/ico/images/select.ico");
        const QImage empty(":/ico/images/empty.ico");
        QCOMPARE(empty.size(), select.size());
        int marked = 0;
        for (int y = 0; y < empty.height(); ++y) {
            for (int x = 0; x < empty.width(); ++x) {
                QCOMPARE(qAlpha(empty.pixel(x, y)), 0);
                marked += qAlpha(select.pixel(x, y)) > 0 ? 1 : 0;
            }
        }
        QVERIFY(marked > 10);
    }

    // The grey variant differs from the connected icon only in colour.
    void greyIconIsTheGreyTwin() {
        const QImage colour = QImage(":/ico/images/zorvel.ico").convertToFormat(QImage::Format_ARGB32);
        const QImage grey = QImage(":/ico/images/zorvelhui.ico").convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(grey.size(), colour.size());
        QVERIFY(grey != colour);
        for (int y = 0; y < grey.height(); ++y) {
            for (int x = 0; x < grey.width(); ++x) {
                const QRgb p = grey.pixel(x, y);
                QVERIFY(qAbs(qRed(p) - qGreen(p)) <= 2 && qAbs(qGreen(p) - qBlue(p)) <= 2);
            }
        }
    }
};

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
