#include "ui/QuickGuidePanel.h"
#include "ui_QuickGuidePanel.h"

#include <QEvent>

namespace {
int g_carouselStep = 1;

const char kNormalRow[] = "color: rgb(52, 52, 52);\nfont: 10pt \"微软雅黑\";";
const char kHighlightedRow[] = "color: rgb(61, 102, 102);\nfont: 13pt \"微软雅黑\";";
} // namespace

QuickGuidePanel::QuickGuidePanel(QWidget* parent) : QDialog(parent), ui(new Ui::QuickGuidePanel) {
    ui->setupUi(this);
    QLabel* rows[10] = {ui->sampleRow1Label, ui->sampleRow2Label, ui->sampleRow3Label, ui->sampleRow4Label,
                        ui->sampleRow5Label, ui->sampleRow6Label, ui->sampleRow7Label, ui->sampleRow8Label,
                        ui->sampleRow9Label, ui->sampleRow10Label};
    std::copy(std::begin(rows), std::end(rows), m_rows);
    ui->pages->setCurrentIndex(0);
    connect(ui->moreButton, &QPushButton::clicked, this, &QuickGuidePanel::showMoreSamples);
    connect(ui->backButton, &QPushButton::clicked, this, [this] { ui->pages->setCurrentIndex(0); });
    connect(ui->otherLanguagesButton, &QPushButton::clicked, this, &QuickGuidePanel::showSoftwareSets);
    connect(ui->exitButton, &QPushButton::clicked, this, &QuickGuidePanel::closeDialog);

    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    raise();
    setAttribute(Qt::WA_DeleteOnClose);
    connect(&m_timer, &QTimer::timeout, this, &QuickGuidePanel::advanceCarousel);
    show();
}

QuickGuidePanel::~QuickGuidePanel() {
    delete ui;
}

int QuickGuidePanel::carouselStep() {
    return g_carouselStep;
}

QLabel* QuickGuidePanel::sampleRow(int row) const {
    return row >= 1 && row <= 10 ? m_rows[row - 1] : nullptr;
}

void QuickGuidePanel::advanceCarousel() {
    const int step = g_carouselStep;
    QLabel* current = m_rows[step - 1];
    QLabel* previous = m_rows[(step + 8) % 10];
    current->move(10, current->y());
    current->setStyleSheet(QString::fromUtf8(kHighlightedRow));
    previous->move(30, previous->y());
    previous->setStyleSheet(QString::fromUtf8(kNormalRow));
    g_carouselStep = step == 10 ? 1 : step + 1;
}

void QuickGuidePanel::showMoreSamples() {
    ui->pages->setCurrentIndex(1);
    // One carousel per panel: opening the page again keeps the running timer.
    if (!m_timer.isActive())
        m_timer.start(1500);
}

void QuickGuidePanel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QDialog::changeEvent(event);
}
