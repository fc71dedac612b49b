#include "VoiceTestKit.h"
#include "tests/support/TestDir.h"
#include "voice/WavWriter.h"

#include <QSignalSpy>
#include <QtTest>
#include <optional>

// n bytes counting up from `from`, so that a byte out of place shows.
static QByteArray counting(int from, int n) {
    QByteArray bytes(n, '\0');
    for (int i = 0; i < n; ++i)
        bytes[i] = char(from + i);
    return bytes;
}

class TestWavWriter : public QObject {
    Q_OBJECT
    std::optional<TestDir> m_dir;

private slots:
    void init() { m_dir.emplace(); }

    void headerThenWholeSamples() {
        WavWriter writer("record.wav");
        QVERIFY(writer.open(AudioCapture::recordingFormat()));
        QCOMPARE(m_dir->read("record.wav"), wavHeader(0)); // a header from the start on
        QByteArray all;
        for (int n : {1601, 1599, 3}) { // chunks split mid-sample
            all += counting(all.size(), n);
            QVERIFY(writer.write(all.right(n)));
        }
        QVERIFY(writer.close());
        QVERIFY(!writer.isOpen());
        QCOMPARE(m_dir->read("record.wav"), wavHeader(3202) + all.left(3202));
    }

    void failedPath() {
        WavWriter writer("no/such/folder/record.wav");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("open WAV file failed"));
        QVERIFY(!writer.open(AudioCapture::recordingFormat()));
        QVERIFY(!writer.isOpen());
        QVERIFY(!writer.write(QByteArray(10, 'a')));
        QVERIFY(!writer.close());
    }

    // Captured chunks that end inside a sample reach the level meter as whole samples, the odd
    // byte carried into the next buffer.
    void captureCarriesThePartialSample() {
        AudioCapture capture;
        QSignalSpy buffers(&capture, &AudioCapture::bufferCaptured);
        QByteArray all;
        for (int n : {3, 1, 1600, 5, 0, 1}) {
            all += counting(all.size(), n);
            capture.consume(all.right(n));
        }
        QByteArray seen;
        for (const QList<QVariant>& args : buffers) {
            const QAudioBuffer b = args.at(0).value<QAudioBuffer>();
            QCOMPARE(b.format(), AudioCapture::recordingFormat());
            QVERIFY(b.byteCount() > 0 && b.byteCount() % 2 == 0);
            seen += QByteArray(b.constData<char>(), b.byteCount());
        }
        QCOMPARE(buffers.count(), 5); // the empty chunk gives none
        QCOMPARE(seen, all);
    }

    // The mouse's own microphone by its names; the last match wins, the case must match.
    void preferredInput() {
        const QString usb = "alsa_input.usb-C-Media_Electronics_Inc._USB_PnP_Audio_Device-00.mono-fallback";
        QCOMPARE(AudioCapture::preferredInput({"default", "Built-in Audio Analog Stereo"}), -1);
        QCOMPARE(AudioCapture::preferredInput({"alsa_input.pci-0000_00_1f.3.analog-stereo", usb}), 1);
        QCOMPARE(AudioCapture::preferredInput({"USB PnP Audio Device", "KoMouse_V1.0 mic"}), 1);
        QCOMPARE(AudioCapture::preferredInput({"KoMouse_V1.0", "USB PnP Audio Device", "x"}), 1);
        QCOMPARE(AudioCapture::preferredInput({"usb pnp audio device", "komouse_v1.0"}), -1);
    }
};

QTEST_MAIN(TestWavWriter)
#include "tst_wavwriter.moc"
