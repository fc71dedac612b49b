#include "app/PromptBox.h"
#include "ui_PromptBox.h"

#include <QGuiApplication>
#include <QScreen>

PromptBox::PromptBox(QWidget* parent) : QWidget(parent), ui(new Ui::PromptBox) {
    ui->setupUi(this);
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose);
    raise();
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &QWidget::hide);
}

PromptBox::~PromptBox() {
    delete ui;
}

QPoint PromptBox::cornerFor(const QRect& desktop) {
    return QPoint(desktop.width() - 280, desktop.height() - 80);
}

void PromptBox::showPrompt(const QString& text) {
    ui->label->setText(text);
    QRect desktop;
    if (QScreen* screen = QGuiApplication::primaryScreen())
        desktop = screen->virtualGeometry();
    move(cornerFor(desktop));
    show();
}

void PromptBox::showPromptFor(const QString& text, int delayMs) {
    showPrompt(text);
    m_timer.start(delayMs);
}

QString PromptBox::text() const {
    return ui->label->text();
}
