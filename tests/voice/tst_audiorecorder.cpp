#include "tests/speech/WavFile.h"
#include "tests/support/Rows.h"
#include "tests/support/TestDir.h"
#include "voice/AudioCapture.h"
#include "voice/AudioRecorder.h"
#include "voice/WavWriter.h"

#include <QtTest>
#include <optional>

static QAudioFormat pcm(QAudioFormat::SampleType type, int bits, int channels = 1) {
    QAudioFormat format = AudioCapture::recordingFormat();
    format.setSampleType(type);
    format.setSampleSize(bits);
    format.setChannelCount(channels);
    return format;
}

static QByteArray le16(std::initializer_list<int> samples) {
    QByteArray bytes;
    for (int s : samples)
        bytes.append(char(s)).append(char(s >> 8)); // little-endian
    return bytes;
}

// n bytes counting up from `from`, so that a byte out of place shows.
static QByteArray counting(int from, int n) {
    QByteArray bytes(n, '\0');
    for (int i = 0; i < n; ++i)
        bytes[i] = char(from + i);
    return bytes;
}

// The recorder's level meter, the "record.wav" it writes and the input it chooses. Runs with no
// reachable sound server (see CMakeLists.txt).
using Level = Rows<QAudioFormat, QByteArray, int>; // format, buffer, bar (10: stays as it starts)

class TestAudioRecorder : public QObject {
    Q_OBJECT
    std::optional<TestDir> m_dir;

private slots:
    void init() { m_dir.emplace(); }

    void levelBar_data() {
        const Level row;
        const QAudioFormat s16 = pcm(QAudioFormat::SignedInt, 16), u16 = pcm(QAudioFormat::UnSignedInt, 16);
        const QAudioFormat stereo = pcm(QAudioFormat::SignedInt, 16, 2);
        QAudioFormat bigEndian = s16;
        bigEndian.setByteOrder(QAudioFormat::BigEndian);
        row("most negative", s16, le16({-32768}), 100);
        row("unsigned mid", u16, le16({32768, 100}), 0);
        // A buffer that ends inside a frame: only whole frames count, nothing read past the end.
        row("stereo partial frame", stereo, le16({0, 16384, 32767}), 50);
        // Buffers the meter cannot read leave the bar as it was.
        row("big-endian", bigEndian, le16({32767}), 10);
    }
    void levelBar() {
        const auto [format, bytes, bar] = Level::fetch();
        AudioRecorder recorder;
        recorder.processBuffer(QAudioBuffer(bytes, format));
        QCOMPARE(recorder.level(), bar);
    }

    void headerThenWholeSamples() {
        WavWriter writer("record.wav");
        QVERIFY(writer.open(AudioCapture::recordingFormat()));
        QCOMPARE(m_dir->read("record.wav"), WavFile::make({})); // a header from the start on
        QByteArray all;
        for (int n : {1601, 1599, 3}) { // chunks split mid-sample
            all += counting(all.size(), n);
            QVERIFY(writer.write(all.right(n)));
        }
        QVERIFY(writer.close());
        QVERIFY(!writer.isOpen());
        QCOMPARE(m_dir->read("record.wav"), WavFile::make(all.left(3202)));
    }

    void failedPath() {
        WavWriter writer("no/such/folder/record.wav");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("open WAV file failed"));
        QVERIFY(!writer.open(AudioCapture::recordingFormat()));
        QVERIFY(!writer.write(QByteArray(10, 'a')));
    }

    // Captured chunks that end inside a sample reach the level meter as whole samples, the odd
    // byte carried into the next buffer.
    void captureCarriesThePartialSample() {
        AudioCapture capture;
        QByteArray all, seen;
        int buffers = 0;
        QObject::connect(&capture, &AudioCapture::bufferCaptured, [&](const QAudioBuffer& b) {
            ++buffers;
            if (b.format() == AudioCapture::recordingFormat() && b.byteCount() > 0 && b.byteCount() % 2 == 0)
                seen += QByteArray(b.constData<char>(), b.byteCount());
        });
        for (int n : {3, 1, 1600, 5, 0, 1}) {
            all += counting(all.size(), n);
            capture.consume(all.right(n));
        }
        QCOMPARE(buffers, 5); // the empty chunk gives none
        QCOMPARE(seen, all);  // a buffer of another format or with half a sample would be missing
    }

    // The mouse's own microphone by its names; the last match wins, the case must match.
    void preferredInput() {
        QCOMPARE(AudioCapture::preferredInput({"default", "Built-in Audio Analog Stereo"}), -1);
        QCOMPARE(AudioCapture::preferredInput({"USB PnP Audio Device", "KoMouse_V1.0 mic"}), 1);
        QCOMPARE(AudioCapture::preferredInput({"usb pnp audio device", "komouse_v1.0"}), -1);
    }
};

QTEST_MAIN(TestAudioRecorder)
#include "tst_audiorecorder.moc"
