#pragma once

#include <QObject>

class QWidget;

// The windows are laid out for their Chinese texts. While the interface speaks English, a text that
// is wider than its label or button is drawn in a smaller font until it fits, so nothing is cut
// off; this happens when a window is shown and after it is retranslated. Back in Chinese every
// widget gets its own look again.
class TextFit : public QObject {
    Q_OBJECT
public:
    // Watches the application's windows (on) or stops and restores the looks (off).
    static void watch(bool on);
    // Shrinks the texts of the window's widgets that do not fit.
    static void fit(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};
