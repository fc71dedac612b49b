#include "platform/win/WinMouseButtons.h"

std::unique_ptr<MouseButtons> MouseButtons::create() {
    return std::make_unique<WinMouseButtons>();
}

static MouseButtons::Message messageFor(WinMouseHook::Button button) {
    switch (button) {
    case WinMouseHook::MiddleDown:
        return MouseButtons::MiddleDown;
    case WinMouseHook::MiddleUp:
        return MouseButtons::MiddleUp;
    case WinMouseHook::SideDown:
        return MouseButtons::SideDown;
    case WinMouseHook::SideUp:
        return MouseButtons::SideUp;
    case WinMouseHook::Other:
        break;
    }
    return MouseButtons::Other;
}

WinMouseButtons::WinMouseButtons(QObject* parent)
    : MouseButtons(parent),
      m_hook([this](WinMouseHook::Button button) { emit mouseMessage(messageFor(button)); }) {}

bool WinMouseButtons::start() {
    return m_hook.install();
}
