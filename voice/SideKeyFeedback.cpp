#include "voice/SideKeyFeedback.h"

#include "app/NoticeBox.h"
#include "voice/AudioRecorder.h"
#include "voice/SideKeyMonitor.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QScreen>
#include <QtDebug>

SideKeyFeedback::SideKeyFeedback(QObject* parent)
    : QObject(parent), m_commandNotice(new NoticeBox), m_shortPressNotice(new NoticeBox) {
    qRegisterMetaType<QAudioBuffer>();
}

SideKeyFeedback::~SideKeyFeedback() {
    delete m_recorder;
    delete m_commandNotice;
    delete m_shortPressNotice;
}

void SideKeyFeedback::attach(SideKeyMonitor* monitor) {
    connect(monitor, &SideKeyMonitor::recorderShown, this, &SideKeyFeedback::showRecorder);
    connect(monitor, &SideKeyMonitor::recorderClosed, this, &SideKeyFeedback::closeRecorder);
    connect(monitor, &SideKeyMonitor::levelBuffer, this, &SideKeyFeedback::processBuffer);
    connect(monitor, &SideKeyMonitor::commandNoticeShown, this, &SideKeyFeedback::showCommandNotice);
    connect(monitor, &SideKeyMonitor::commandNoticeHidden, this, &SideKeyFeedback::hideCommandNotice);
    connect(monitor, &SideKeyMonitor::shortPressNoticeShown, this, &SideKeyFeedback::showShortPressNotice);
    connect(monitor, &SideKeyMonitor::urlRequested, this, &SideKeyFeedback::openUrl);
}

QPoint SideKeyFeedback::recorderPosition(bool hasCaret, const QPoint& caret, const QSize& desktop) {
    const int w = desktop.width();
    const int h = desktop.height();
    if (hasCaret && caret.x() >= 1 && caret.x() <= w && caret.y() >= 1 && caret.y() <= h)
        return caret;
    return QPoint(w - 370, h - 70);
}

void SideKeyFeedback::showRecorder(bool hasCaret, const QPoint& caret, const QString& mark) {
    // A Wayland compositor activates every new toplevel window (Qt makes one for a window
    // without a parent), which would take the keyboard focus from the window the text is for;
    // there the take runs without a window.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return;
    if (!m_recorder)
        m_recorder = new AudioRecorder;
    QSize desktop;
    if (QScreen* screen = QGuiApplication::primaryScreen())
        desktop = screen->virtualGeometry().size();
    m_recorder->move(recorderPosition(hasCaret, caret, desktop));
    m_recorder->setLanguageMark(mark);
    m_recorder->show();
}

void SideKeyFeedback::closeRecorder() {
    if (m_recorder)
        m_recorder->close(); // deletes itself
    m_recorder = nullptr;
}

void SideKeyFeedback::processBuffer(const QAudioBuffer& buffer) {
    if (m_recorder)
        m_recorder->processBuffer(buffer);
}

void SideKeyFeedback::showWords(int, const QString& words) {
    if (m_recorder)
        m_recorder->setWords(words);
}

void SideKeyFeedback::showCommandNotice(const QString& text) {
    if (m_commandNotice)
        m_commandNotice->showPrompt(text);
}

void SideKeyFeedback::hideCommandNotice() {
    if (m_commandNotice)
        m_commandNotice->hide();
}

void SideKeyFeedback::showShortPressNotice(const QString& text, int durationMs) {
    if (m_shortPressNotice)
        m_shortPressNotice->showPromptFor(text, durationMs);
}

void SideKeyFeedback::openUrl(const QUrl& url) {
    qDebug().noquote() << "Side key , opening" << url.toString();
    if (!QDesktopServices::openUrl(url))
        qWarning().noquote() << "Side key , open product page failed !" << url.toString();
}
