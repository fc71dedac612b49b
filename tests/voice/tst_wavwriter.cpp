#include "tests/support/TestDir.h"
#include "voice/AudioCapture.h"
#include "voice/WavWriter.h"

#include <QSignalSpy>
#include <QtEndian>
#include <QtTest>

// The fields of a canonical 44-byte WAV header.
struct WavHeader {
    QByteArray riff, wave, fmt, data;
    quint32 riffSize = 0, fmtSize = 0, sampleRate = 0, byteRate = 0, dataSize = 0;
    quint16 tag = 0, channels = 0, blockAlign = 0, bits = 0;

    static WavHeader parse(const QByteArray& file) {
        WavHeader h;
        if (file.size() < 44)
            return h;
        const uchar* p = reinterpret_cast<const uchar*>(file.constData());
        h.riff = file.mid(0, 4);
        h.riffSize = qFromLittleEndian<quint32>(p + 4);
        h.wave = file.mid(8, 4);
        h.fmt = file.mid(12, 4);
        h.fmtSize = qFromLittleEndian<quint32>(p + 16);
        h.tag = qFromLittleEndian<quint16>(p + 20);
        h.channels = qFromLittleEndian<quint16>(p + 22);
        h.sampleRate = qFromLittleEndian<quint32>(p + 24);
        h.byteRate = qFromLittleEndian<quint32>(p + 28);
        h.blockAlign = qFromLittleEndian<quint16>(p + 32);
        h.bits = qFromLittleEndian<quint16>(p + 34);
        h.data = file.mid(36, 4);
        h.dataSize = qFromLittleEndian<quint32>(p + 40);
        return h;
    }
};

class TestWavWriter : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestDir> m_dir;

private slots:
    void init() { m_dir = std::make_unique<TestDir>(); }
    void cleanup() { m_dir.reset(); }

    void headerAndSizes_data() {
        QTest::addColumn<QList<int>>("chunks");
        QTest::addColumn<int>("dataSize");
        QTest::newRow("zero-length take") << QList<int>() << 0;
        QTest::newRow("one second") << QList<int>({32000}) << 32000;
        QTest::newRow("chunks split mid-sample") << QList<int>({1601, 1599, 3}) << 3202;
        QTest::newRow("single byte") << QList<int>({1}) << 0;
    }
    void headerAndSizes() {
        QFETCH(QList<int>, chunks);
        QFETCH(int, dataSize);
        QByteArray all;
        {
            WavWriter writer("record.wav");
            QVERIFY(writer.open(AudioCapture::recordingFormat()));
            // Before the end the file already starts with a header.
            QCOMPARE(QFileInfo("record.wav").size(), qint64(WavWriter::HeaderSize));
            char value = 1;
            for (int n : chunks) {
                QByteArray chunk(n, '\0');
                for (char& c : chunk)
                    c = value++;
                all += chunk;
                QVERIFY(writer.write(chunk));
            }
            QVERIFY(writer.close());
            QVERIFY(!writer.isOpen());
        }
        const QByteArray file = m_dir->read("record.wav");
        QCOMPARE(file.size(), 44 + dataSize);
        const WavHeader h = WavHeader::parse(file);
        QCOMPARE(h.riff, QByteArray("RIFF"));
        QCOMPARE(h.riffSize, quint32(36 + dataSize));
        QCOMPARE(h.wave, QByteArray("WAVE"));
        QCOMPARE(h.fmt, QByteArray("fmt "));
        QCOMPARE(h.fmtSize, 16u);
        QCOMPARE(h.tag, quint16(1));
        QCOMPARE(h.channels, quint16(1));
        QCOMPARE(h.sampleRate, 16000u);
        QCOMPARE(h.byteRate, 32000u);
        QCOMPARE(h.blockAlign, quint16(2));
        QCOMPARE(h.bits, quint16(16));
        QCOMPARE(h.data, QByteArray("data"));
        QCOMPARE(h.dataSize, quint32(dataSize));
        QCOMPARE(file.mid(44), all.left(dataSize));
    }

    void destructorFinishesTheFile() {
        {
            WavWriter writer("record.wav");
            QVERIFY(writer.open(AudioCapture::recordingFormat()));
            writer.write(QByteArray(640, '\x11'));
        }
        const WavHeader h = WavHeader::parse(m_dir->read("record.wav"));
        QCOMPARE(h.dataSize, 640u);
        QCOMPARE(h.riffSize, 676u);
    }

    void reopenReplacesAnOlderTake() {
        m_dir->write("record.wav", QByteArray(100000, 'x'));
        WavWriter writer("record.wav");
        QVERIFY(writer.open(AudioCapture::recordingFormat()));
        writer.write(QByteArray(10, '\0'));
        writer.close();
        QCOMPARE(QFileInfo("record.wav").size(), qint64(54));
    }

    void failedPath_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("missing folder") << "no/such/folder/record.wav";
        QTest::newRow("a folder") << ".";
    }
    void failedPath() {
        QFETCH(QString, path);
        WavWriter writer(path);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("open WAV file failed"));
        QVERIFY(!writer.open(AudioCapture::recordingFormat()));
        QVERIFY(!writer.isOpen());
        QVERIFY(!writer.write(QByteArray(10, 'a')));
        QVERIFY(!writer.close());
        QVERIFY(!QFileInfo(path).isFile());
    }

    void rejectsFormatsItCannotDescribe() {
        QAudioFormat format = AudioCapture::recordingFormat();
        format.setByteOrder(QAudioFormat::BigEndian);
        WavWriter writer("record.wav");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("little-endian PCM"));
        QVERIFY(!writer.open(format));
        QVERIFY(!QFile::exists("record.wav"));
    }

    void headerForOtherFormats() {
        QAudioFormat format = AudioCapture::recordingFormat();
        format.setChannelCount(2);
        format.setSampleRate(44100);
        const WavHeader h = WavHeader::parse(WavWriter::header(format, 1000));
        QCOMPARE(h.channels, quint16(2));
        QCOMPARE(h.sampleRate, 44100u);
        QCOMPARE(h.byteRate, 44100u * 4);
        QCOMPARE(h.blockAlign, quint16(4));
        QCOMPARE(h.dataSize, 1000u);
        format.setSampleType(QAudioFormat::Float);
        format.setSampleSize(32);
        QCOMPARE(WavHeader::parse(WavWriter::header(format, 0)).tag, quint16(3));
    }

    // Captured chunks that end inside a sample reach the level meter as whole samples, the odd
    // byte carried into the next buffer.
    void captureCarriesThePartialSample() {
        AudioCapture capture;
        QSignalSpy buffers(&capture, &AudioCapture::bufferCaptured);
        QByteArray all;
        for (int n : {3, 1, 1600, 5, 0, 1}) {
            QByteArray chunk(n, '\0');
            for (int i = 0; i < n; ++i)
                chunk[i] = char(all.size() + i);
            all += chunk;
            capture.consume(chunk);
        }
        QByteArray seen;
        for (const QList<QVariant>& args : buffers) {
            const QAudioBuffer b = args.at(0).value<QAudioBuffer>();
            QCOMPARE(b.format(), AudioCapture::recordingFormat());
            QCOMPARE(b.byteCount() % 2, 0);
            QVERIFY(b.byteCount() > 0);
            seen += QByteArray(b.constData<char>(), b.byteCount());
        }
        QCOMPARE(buffers.count(), 5); // the empty chunk gives none
        QCOMPARE(seen, all);
    }

    void preferredInput_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("index");
        QTest::newRow("none") << QStringList({"default", "Built-in Audio Analog Stereo"}) << -1;
        QTest::newRow("empty list") << QStringList() << -1;
        QTest::newRow("windows name") << QStringList({"Mic", "麦克风 (USB PnP Audio Device)", "Line"}) << 1;
        QTest::newRow("sound server name")
            << QStringList({"alsa_input.pci-0000_00_1f.3.analog-stereo",
                            "alsa_input.usb-C-Media_Electronics_Inc._USB_PnP_Audio_Device-00.mono-fallback"})
            << 1;
        QTest::newRow("second preferred name wins")
            << QStringList({"USB PnP Audio Device", "KoMouse_V1.0 mic"}) << 1;
        QTest::newRow("last match wins") << QStringList({"KoMouse_V1.0", "USB PnP Audio Device", "x"}) << 1;
        QTest::newRow("case matters") << QStringList({"usb pnp audio device", "komouse_v1.0"}) << -1;
        QTest::newRow("underscored second name")
            << QStringList({"alsa_input.usb-KoMouse_V1.0-00.mono-fallback", "other"}) << 0;
    }
    void preferredInput() {
        QFETCH(QStringList, names);
        QFETCH(int, index);
        QCOMPARE(AudioCapture::preferredInput(names), index);
    }
};

QTEST_MAIN(TestWavWriter)
#include "tst_wavwriter.moc"
