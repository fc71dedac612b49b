#include "app/NoticeBox.h"
#include "ui_NoticeBox.h"

#include <QGuiApplication>
#include <QScreen>

NoticeBox::NoticeBox(QWidget* parent) : QWidget(parent), ui(new Ui::NoticeBox) {
    ui->setupUi(this);
    // Shown only: it never takes the keyboard, and recognised text is never typed into it.
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_DeleteOnClose);
    raise();
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &QWidget::hide);
}

NoticeBox::~NoticeBox() {
    delete ui;
}

QPoint NoticeBox::cornerFor(const QRect& desktop) {
    return QPoint(desktop.width() - 280, desktop.height() - 80);
}

void NoticeBox::showPrompt(const QString& text) {
    ui->textLabel->setText(text);
    QRect desktop;
    if (QScreen* screen = QGuiApplication::primaryScreen())
        desktop = screen->virtualGeometry();
    move(cornerFor(desktop));
    show();
}

void NoticeBox::showPromptFor(const QString& text, int delayMs) {
    showPrompt(text);
    m_timer.start(delayMs);
}

QString NoticeBox::text() const {
    return ui->textLabel->text();
}
