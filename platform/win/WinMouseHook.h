#pragma once

#include <functional>

#include <windows.h>

// The process's low-level mouse hook (WH_MOUSE_LL). install() hooks the mouse of the whole desktop
// on the calling thread, whose message loop then runs the hook procedure for every mouse event.
// Each event is reported as a button change and always passed on to the next hook, so the buttons
// keep their usual effect in the foreground application. One hook per process.
class WinMouseHook {
public:
    enum Button { Other, MiddleDown, MiddleUp, SideDown, SideUp };
    using Receiver = std::function<void(Button)>;

    explicit WinMouseHook(Receiver receiver);
    ~WinMouseHook();
    WinMouseHook(const WinMouseHook&) = delete;
    WinMouseHook& operator=(const WinMouseHook&) = delete;

    // False when the system refuses the hook or another object of the process holds it.
    bool install();

    // The button change of a mouse message of the hook; both extended buttons are the side key.
    static Button buttonFor(UINT message);

private:
    static LRESULT CALLBACK procedure(int code, WPARAM wParam, LPARAM lParam);

    Receiver m_receiver;
    HHOOK m_hook = nullptr;
};
