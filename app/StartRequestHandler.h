#pragma once

#include "app/StartRequest.h"

#include <QObject>
#include <memory>

class NoticeBox;

// Carries out what a start of the program asked for: shows the main window, drives a take or
// switches the working mode. It lives on the GUI thread; the windows and the side key are
// reached through its signals, which start-up connects.
class StartRequestHandler : public QObject {
    Q_OBJECT
public:
    explicit StartRequestHandler(QObject* parent = nullptr);
    ~StartRequestHandler() override;

    // The notice box of the mode switch (null until the first one).
    NoticeBox* noticeBox() const { return m_notice.get(); }

public slots:
    void handle(const StartRequest& request);

signals:
    void showMainWindowRequested();
    // Press or release the side key, as the mouse would.
    void takeRequested(StartRequest::TakeAction action);

private:
    // Switches the working mode as the floating mode tool does: the three keys, saved at once,
    // and the notice.
    void switchMode(int mode);

    std::unique_ptr<NoticeBox> m_notice;
};
