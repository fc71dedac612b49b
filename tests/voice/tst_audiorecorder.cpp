#include "voice/AudioCapture.h"
#include "voice/AudioRecorder.h"

#include <QtTest>

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

class TestAudioRecorder : public QObject {
    Q_OBJECT
private slots:
    void levelBar_data() {
        QTest::addColumn<QAudioFormat>("format");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("bar"); // 10 when it stays as the window starts

        const QAudioFormat s16 = pcm(QAudioFormat::SignedInt, 16), u16 = pcm(QAudioFormat::UnSignedInt, 16);
        const QAudioFormat stereo = pcm(QAudioFormat::SignedInt, 16, 2);
        QAudioFormat bigEndian = s16, mp3 = s16;
        bigEndian.setByteOrder(QAudioFormat::BigEndian);
        mp3.setCodec("audio/mpeg");
        QTest::newRow("half scale") << s16 << le16({100, 16384, -200}) << 50;
        QTest::newRow("most negative") << s16 << le16({-32768}) << 100;
        QTest::newRow("unsigned mid") << u16 << le16({32768, 100}) << 0;
        QTest::newRow("unsigned zero") << u16 << le16({0, 0}) << 100;
        QTest::newRow("float") << pcm(QAudioFormat::Float, 32) << QByteArray(16, '\x40') << 0;
        QTest::newRow("8-bit") << pcm(QAudioFormat::UnSignedInt, 8) << QByteArray(8, '\xff') << 0;
        // The last channel's value is what remains displayed.
        QTest::newRow("stereo, loud left") << stereo << le16({16384, 100, 0, 0}) << 0;
        // A buffer that ends inside a frame: only whole frames count, nothing read past the end.
        QTest::newRow("stereo partial frame") << stereo << le16({0, 16384, 32767}) << 50;
        // Buffers the meter cannot read leave the bar as it was.
        QTest::newRow("big-endian") << bigEndian << le16({32767}) << 10;
        QTest::newRow("not pcm") << mp3 << le16({32767}) << 10;
    }
    void levelBar() {
        QFETCH(QAudioFormat, format);
        QFETCH(QByteArray, bytes);
        QFETCH(int, bar);
        AudioRecorder recorder;
        recorder.processBuffer(QAudioBuffer(bytes, format));
        QCOMPARE(recorder.level(), bar);
    }

    void levels() {
        const QAudioBuffer stereo(le16({16384, -32768, 0, 8192}), pcm(QAudioFormat::SignedInt, 16, 2));
        QCOMPARE(AudioRecorder::bufferLevels(stereo), QVector<qreal>({16384 / 32767.0, 32768 / 32767.0}));
        const QAudioBuffer unsignedMid(le16({32768}), pcm(QAudioFormat::UnSignedInt, 16));
        QCOMPARE(AudioRecorder::bufferLevels(unsignedMid), QVector<qreal>({0.5 / 32767.5})); // 0.0000153
    }
};

QTEST_MAIN(TestAudioRecorder)
#include "tst_audiorecorder.moc"
