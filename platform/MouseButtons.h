#pragma once

#include <QObject>
#include <memory>

// Global mouse-button events, delivered on the event loop of the thread that created the object.
// Events are only observed: they always reach the foreground application unchanged.
class MouseButtons : public QObject {
    Q_OBJECT
public:
    enum Message { Other, MiddleDown, MiddleUp, SideDown, SideUp };
    Q_ENUM(Message)

    using QObject::QObject;
    ~MouseButtons() override = default;

    // Starts delivering events; false when the platform offers no global mouse events.
    virtual bool start() = 0;

    // The backend of the platform the program was built for.
    static std::unique_ptr<MouseButtons> create();

    // Whether the side key cannot be read because the user may not read the mouse's devices,
    // as the last backend that tried found out (the settings dialog tells the user).
    static bool deviceAccessDenied();

protected:
    static void setDeviceAccessDenied(bool denied);

signals:
    // One signal per mouse event of the whole desktop, button or not.
    void mouseMessage(MouseButtons::Message message);
};
