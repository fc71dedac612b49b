#include "voice/AudioRecorder.h"

#include <QLabel>
#include <QProgressBar>
#include <QtEndian>
#include <QtTest>

static QAudioFormat pcm(QAudioFormat::SampleType type, int bits, int channels = 1,
                        QAudioFormat::Endian order = QAudioFormat::LittleEndian) {
    QAudioFormat format;
    format.setCodec("audio/pcm");
    format.setSampleRate(16000);
    format.setChannelCount(channels);
    format.setSampleSize(bits);
    format.setSampleType(type);
    format.setByteOrder(order);
    return format;
}

static QByteArray le16(std::initializer_list<int> samples) {
    QByteArray bytes;
    for (int s : samples) {
        char b[2];
        qToLittleEndian(quint16(s), b);
        bytes.append(b, 2);
    }
    return bytes;
}

class TestAudioRecorder : public QObject {
    Q_OBJECT
private slots:
    void form() {
        AudioRecorder recorder;
        QCOMPARE(recorder.objectName(), QString("AudioRecorder"));
        QCOMPARE(recorder.windowTitle(), QString("AudioRecorder"));
        QCOMPARE(recorder.size(), QSize(204, 36));
        QVERIFY(recorder.windowFlags() & Qt::ToolTip);
        QVERIFY(recorder.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(recorder.testAttribute(Qt::WA_DeleteOnClose));

        auto* label = recorder.findChild<QLabel*>("label");
        auto* label2 = recorder.findChild<QLabel*>("label_2");
        auto* bar = recorder.findChild<QProgressBar*>("progressBar");
        QVERIFY(label && label2 && bar);
        QCOMPARE(label->text(), QString("中"));
        QCOMPARE(label2->text(), QString("请说内容！"));
        QCOMPARE(bar->value(), 10);
        QVERIFY(!bar->isTextVisible());

        recorder.setLanguageMark("豫");
        QCOMPARE(label->text(), QString("豫"));
    }

    void levelBar_data() {
        QTest::addColumn<QAudioFormat>("format");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("bar");

        const QAudioFormat s16 = pcm(QAudioFormat::SignedInt, 16);
        const QAudioFormat u16 = pcm(QAudioFormat::UnSignedInt, 16);
        QTest::newRow("half scale") << s16 << le16({100, 16384, -200}) << 50;
        QTest::newRow("most negative") << s16 << le16({-32768}) << 100;
        QTest::newRow("full positive") << s16 << le16({32767, 0}) << 100;
        QTest::newRow("negative half") << s16 << le16({-16384, 10}) << 50;
        QTest::newRow("silence") << s16 << le16({0, 0, 0}) << 0;
        QTest::newRow("unsigned mid") << u16 << le16({32768, 100}) << 0;
        QTest::newRow("unsigned top") << u16 << le16({65535}) << 100;
        QTest::newRow("unsigned zero") << u16 << le16({0, 0}) << 100;
        QTest::newRow("float") << pcm(QAudioFormat::Float, 32) << QByteArray(16, '\x40') << 0;
        QTest::newRow("8-bit") << pcm(QAudioFormat::UnSignedInt, 8) << QByteArray(8, '\xff') << 0;
        QTest::newRow("signed 8-bit") << pcm(QAudioFormat::SignedInt, 8) << QByteArray(8, '\x7f') << 0;
        // The last channel's value is what remains displayed.
        QTest::newRow("stereo, loud right")
            << pcm(QAudioFormat::SignedInt, 16, 2) << le16({100, 16384, 0, 0}) << 50;
        QTest::newRow("stereo, loud left")
            << pcm(QAudioFormat::SignedInt, 16, 2) << le16({16384, 100, 0, 0}) << 0;
        // A buffer that ends inside a sample: only whole samples count, nothing read past the end.
        QTest::newRow("odd length") << s16 << le16({16384}) + QByteArray(1, '\x7f') << 50;
        QTest::newRow("a lone byte makes no buffer") << s16 << QByteArray(1, '\x7f') << 10;
        QTest::newRow("stereo partial frame")
            << pcm(QAudioFormat::SignedInt, 16, 2) << le16({0, 16384, 32767}) << 50;
        // Buffers the meter cannot read leave the bar as it was.
        QTest::newRow("big-endian") << pcm(QAudioFormat::SignedInt, 16, 1, QAudioFormat::BigEndian)
                                    << le16({32767}) << 10;
    }
    void levelBar() {
        QFETCH(QAudioFormat, format);
        QFETCH(QByteArray, bytes);
        QFETCH(int, bar);
        AudioRecorder recorder;
        recorder.processBuffer(QAudioBuffer(bytes, format));
        QCOMPARE(recorder.level(), bar);
    }

    void levelsPerChannel() {
        const QAudioBuffer buffer(le16({16384, -32768, 0, 8192}), pcm(QAudioFormat::SignedInt, 16, 2));
        const QVector<qreal> levels = AudioRecorder::bufferLevels(buffer);
        QCOMPARE(levels.size(), 2);
        QCOMPARE(levels[0], 16384 / 32767.0);
        QCOMPARE(levels[1], 32768 / 32767.0);

        const QAudioBuffer unsignedBuffer(le16({32768}), pcm(QAudioFormat::UnSignedInt, 16));
        const QVector<qreal> u = AudioRecorder::bufferLevels(unsignedBuffer);
        QCOMPARE(u.size(), 1);
        QVERIFY(qAbs(u[0] - 0.0000153) < 0.0000001);

        QVERIFY(AudioRecorder::bufferLevels(QAudioBuffer()).isEmpty());
        QAudioFormat mp3 = pcm(QAudioFormat::SignedInt, 16);
        mp3.setCodec("audio/mpeg");
        QVERIFY(AudioRecorder::bufferLevels(QAudioBuffer(le16({1}), mp3)).isEmpty());
        QCOMPARE(AudioRecorder::bufferLevels(QAudioBuffer(QByteArray(8, 'x'), pcm(QAudioFormat::Float, 32))),
                 QVector<qreal>({0.0}));
    }

    void noInputChangeKeepsTheBar() {
        AudioRecorder recorder;
        recorder.processBuffer(QAudioBuffer(le16({16384}), pcm(QAudioFormat::SignedInt, 16)));
        QAudioFormat mp3 = pcm(QAudioFormat::SignedInt, 16);
        mp3.setCodec("audio/mpeg");
        recorder.processBuffer(QAudioBuffer(le16({0}), mp3));
        QCOMPARE(recorder.level(), 50);
    }
};

QTEST_MAIN(TestAudioRecorder)
#include "tst_audiorecorder.moc"
