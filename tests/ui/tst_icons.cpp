#include <QImageReader>
#include <QtTest>

namespace {
// The number of pixels for which the test holds.
template <typename Test> int count(const QImage& image, Test test) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += test(image.pixel(x, y)) ? 1 : 0;
    return n;
}
} // namespace

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
    // "empty" is a fully transparent twin of "select"; the grey variant differs only in colour.
    void twins() {
        const QImage select(":/ico/images/select.ico"), empty(":/ico/images/empty.ico");
        const QImage colour(":/ico/images/zorvel.ico"), grey(":/ico/images/zorvelhui.ico");
        QCOMPARE(empty.size(), select.size());
        QCOMPARE(grey.size(), colour.size());
        QVERIFY(grey != colour);
        QCOMPARE(count(empty, [](QRgb p) { return qAlpha(p) != 0; }), 0);
        QVERIFY(count(select, [](QRgb p) { return qAlpha(p) != 0; }) > 10);
        const auto coloured = [](QRgb p) {
            return qAbs(qRed(p) - qGreen(p)) > 2 || qAbs(qGreen(p) - qBlue(p)) > 2;
        };
        QCOMPARE(count(grey, coloured), 0);
    }
};

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
