#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;

namespace Ui {
class QuickGuidePanel;
}

// The quick-guide panel at the right screen edge: sample commands of the three modes, a second
// page of ten further samples with a carousel that highlights one row every 1.5 s, and the way to
// the settings dialog for other translation targets.
class QuickGuidePanel : public QDialog {
    Q_OBJECT
public:
    explicit QuickGuidePanel(QWidget* parent = nullptr);
    ~QuickGuidePanel() override;

    // The row (1 to 10) the next carousel step highlights; shared by every panel of the process.
    static int carouselStep();
    // The sample of row 1 to 10 of the second page.
    QLabel* sampleRow(int row) const;

signals:
    void showSoftwareSets();
    void closeDialog();

public slots:
    // One carousel step: highlight the current row, return the previous one to normal.
    void advanceCarousel();

protected:
    // Texts of the form in the interface language, when it changes.
    void changeEvent(QEvent* event) override;

private:
    void showMoreSamples();

    Ui::QuickGuidePanel* ui;
    QTimer m_timer;
    QLabel* m_rows[10] = {};
};
