#include "voice/SideKeyMonitor.h"

#include "app/ConfigStore.h"
#include "app/EditorWindows.h"
#include "app/ServicesConfig.h"

#include <QDateTime>
#include <QFile>
#include <QtDebug>

static const char kRecordFile[] = "record.wav";

SideKeyMonitor::SideKeyMonitor(std::unique_ptr<MouseButtons> buttons,
                               std::unique_ptr<ForegroundWindow> foreground, QObject* parent)
    : QObject(parent), m_buttons(std::move(buttons)), m_foreground(std::move(foreground)),
      m_clock([] { return QDateTime::currentMSecsSinceEpoch(); }),
      m_captureFactory([] { return std::make_unique<AudioCapture>(); }) {
    // The button source may live on another thread than the monitor (tests send from theirs).
    qRegisterMetaType<MouseButtons::Message>();
    if (m_buttons) {
        connect(m_buttons.get(), &MouseButtons::mouseMessage, this, &SideKeyMonitor::mouseHookProc);
        m_listening = m_buttons->start();
    }
    if (!m_listening)
        qDebug("Side key , no global mouse events, the side key does nothing");
}

SideKeyMonitor::~SideKeyMonitor() {
    if (m_capture) {
        // Never released: the unfinished take is of no use to anyone.
        endPress();
        QFile::remove(QLatin1String(kRecordFile));
    }
}

qint32 SideKeyMonitor::holdDuration(qint64 pressed, qint64 released) {
    return qint32(quint32(quint64(released)) - quint32(quint64(pressed)));
}

QString SideKeyMonitor::languageMark(ConfigStore& store) {
    // One sign per recognition language, in the interface language.
    static const char* const marks[5] = {QT_TR_NOOP("中"), QT_TR_NOOP("英"), QT_TR_NOOP("粤"),
                                         QT_TR_NOOP("川"), QT_TR_NOOP("豫")};
    const char* mark = marks[0];
    auto pick = [&](const char* language, int count) {
        const int index = store[QLatin1String(language)];
        if (index >= 0 && index < count)
            mark = marks[index];
    };
    if (store["TypingModel"] == 1)
        pick("TypingLanguage", 5);
    if (store["IntelligenceModel"] == 1)
        pick("IntelligenceLanguage", 5);
    if (store["TranslationModel"] == 1)
        pick("TranslationLanguage", 3);
    return tr(mark);
}

QUrl SideKeyMonitor::productPage() {
    return ServicesConfig::instance().productPage();
}

void SideKeyMonitor::mouseHookProc(MouseButtons::Message message) {
    switch (message) {
    case MouseButtons::MiddleDown:
        m_pressTime = m_clock();
        m_middleHeld = true;
        break;
    case MouseButtons::MiddleUp:
        // Only a release whose press was seen: a button already held at start opens nothing.
        if (m_middleHeld && holdDuration(m_pressTime, m_clock()) > ProductPageHoldMs) {
            const QUrl url = productPage();
            if (url.isValid() && !url.isRelative())
                emit urlRequested(url);
            else
                qWarning("Side key , the product page address in services.ini is not a valid URL !");
        }
        m_middleHeld = false;
        break;
    case MouseButtons::SideDown:
        sideKeyDown();
        break;
    case MouseButtons::SideUp:
        sideKeyUp();
        break;
    case MouseButtons::Other:
        break;
    }
}

void SideKeyMonitor::remoteTake(StartRequest::TakeAction action) {
    const bool recording = m_capture != nullptr;
    if (action == StartRequest::Begin && !recording)
        mouseHookProc(MouseButtons::SideDown);
    else if (action == StartRequest::End || (action == StartRequest::Toggle && recording))
        mouseHookProc(MouseButtons::SideUp);
    else if (action == StartRequest::Toggle)
        mouseHookProc(MouseButtons::SideDown);
}

void SideKeyMonitor::sideKeyDown() {
    if (m_capture) {
        // A second press without a release in between (a lost release event): the earlier
        // take is abandoned before the new one starts writing the same file.
        qDebug("Side key , pressed again while recording, the earlier recording is discarded");
        endPress();
    }
    if (m_takes)
        m_take = m_takes->begin();
    m_capture = m_captureFactory();
    connect(m_capture.get(), &AudioCapture::bufferCaptured, this, &SideKeyMonitor::onBuffer);
    m_capture->startRecording(QLatin1String(kRecordFile));

    ConfigStore& store = ConfigStore::instance();
    if (store["IntelligenceModel"] == 1) {
        if (const std::optional<QString> windowClass = m_foreground->className()) {
            if (EditorWindows::contains(*windowClass))
                showCaretIndicator();
            else if (store["ClosePrompt"] == 0)
                emit commandNoticeShown(tr("请说口令！"));
        }
    } else if (store["TypingModel"] == 1 || store["TranslationModel"] == 1) {
        showCaretIndicator();
    }
    // Taken after the recorder has started: its set-up time does not count towards the hold.
    m_pressTime = m_clock();
}

void SideKeyMonitor::sideKeyUp() {
    if (!m_capture)
        return;
    ConfigStore& store = ConfigStore::instance();
    if (holdDuration(m_pressTime, m_clock()) >= MinimumHoldMs) {
        m_capture->stopRecording(); // hands over the last captured samples
        if (m_take)
            m_takes->close(m_take);
        m_take.reset();
        endPress();
    } else {
        if (store["ClosePrompt"] == 0)
            emit shortPressNoticeShown(tr("请稍等片刻！"), 500);
        endPress();
        QFile::remove(QLatin1String(kRecordFile));
    }
}

void SideKeyMonitor::showCaretIndicator() {
    const std::optional<QPoint> caret = m_foreground->caretPoint();
    const QString mark = languageMark(ConfigStore::instance());
    if (ConfigStore::instance()["ClosePrompt"] == 0)
        emit recorderShown(caret.has_value(), caret.value_or(QPoint()), mark);
}

void SideKeyMonitor::onBuffer(const QAudioBuffer& buffer) {
    if (m_take)
        m_takes->append(m_take, QByteArray(buffer.constData<char>(), buffer.byteCount()));
    emit levelBuffer(buffer);
}

void SideKeyMonitor::endPress() {
    m_capture->stopRecording();
    if (m_take)
        m_takes->cancel(m_take);
    m_take.reset();
    m_capture->disconnect(this);
    m_capture.reset();
    emit commandNoticeHidden();
    emit recorderClosed();
}
