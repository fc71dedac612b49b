#pragma once

#include <QTimer>
#include <QWidget>

namespace Ui {
class NoticeBox;
}

// The small frameless notice at the bottom right of the desktop. It belongs to the thread that
// created it and is used only there.
class NoticeBox : public QWidget {
    Q_OBJECT
public:
    explicit NoticeBox(QWidget* parent = nullptr);
    ~NoticeBox() override;

    // Shows the text until someone hides the box.
    void showPrompt(const QString& text);
    // Shows the text and hides the box after delayMs; a later timed show restarts the delay.
    void showPromptFor(const QString& text, int delayMs);

    QString text() const;
    // Top-left corner for a desktop of the given size.
    static QPoint cornerFor(const QRect& desktop);

private:
    Ui::NoticeBox* ui;
    QTimer m_timer;
};
