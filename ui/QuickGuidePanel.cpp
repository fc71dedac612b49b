#include "ui/QuickGuidePanel.h"
#include "ui_QuickGuidePanel.h"

namespace {
int g_carouselStep = 1;

const char kNormalRow[] = "color: rgb(52, 52, 52);\nfont: 10pt \"微软雅黑\";";
const char kHighlightedRow[] = "color: rgb(61, 102, 102);\nfont: 13pt \"微软雅黑\";";
} // namespace

QuickGuidePanel::QuickGuidePanel(QWidget* parent) : QDialog(parent), ui(new Ui::QuickGuidePanel) {
    ui->setupUi(this);
    QLabel* rows[10] = {ui->label_20, ui->label_21, ui->label_22, ui->label_23, ui->label_24,
                        ui->label_25, ui->label_26, ui->label_27, ui->label_28, ui->label_29};
    std::copy(std::begin(rows), std::end(rows), m_rows);
    ui->stackedWidget->setCurrentIndex(0);

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

void QuickGuidePanel::on_pushButton_clicked() {
    ui->stackedWidget->setCurrentIndex(1);
    // One carousel per panel: opening the page again keeps the running timer.
    if (!m_timer.isActive())
        m_timer.start(1500);
}

void QuickGuidePanel::on_pushButton_3_clicked() {
    ui->stackedWidget->setCurrentIndex(0);
}

void QuickGuidePanel::on_pushButton_2_clicked() {
    emit showSoftwareSets();
}

void QuickGuidePanel::on_pushButton_4_clicked() {
    emit closeDialog();
}
