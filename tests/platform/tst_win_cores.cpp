// The Qt-free Windows cores against real Win32 behaviour, run under Wine. Each check prints one
// line; the exit code is the number of failures.

#include "platform/win/WinExecutableFinder.h"
#include "platform/win/WinFocusPoster.h"
#include "platform/win/WinForegroundQuery.h"
#include "platform/win/WinHardwareIdScan.h"
#include "platform/win/WinMouseHook.h"
#include "platform/win/WinRunKey.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

static int s_failures = 0;

static void check(bool ok, const std::string& what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what.c_str());
    s_failures += ok ? 0 : 1;
}

static std::string encode(const std::wstring& text, UINT codePage) {
    std::string bytes(text.size() * 4, '\0');
    bytes.resize(WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &bytes[0],
                                     static_cast<int>(bytes.size()), nullptr, nullptr));
    return bytes;
}

// Polls while the desktop thread works, for at most two seconds.
template <typename Condition> static bool waitFor(Condition condition) {
    for (int i = 0; i < 200 && !condition(); ++i)
        Sleep(10);
    return condition();
}

// The desktop thread: the core's mouse hook in front of a hook that counts what is passed on, and
// an ANSI window whose edit control has the focus, in front. The main thread injects and types.
static std::atomic<int> s_seen[WinMouseHook::SideUp + 1];
static std::atomic<int> s_passedOn{0};
static HWND s_edit = nullptr;

static LRESULT CALLBACK countPassedOn(int code, WPARAM wParam, LPARAM lParam) {
    s_passedOn += code == HC_ACTION ? 1 : 0;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

static DWORD WINAPI desktopThread(LPVOID ready) {
    HHOOK next = SetWindowsHookExW(WH_MOUSE_LL, countPassedOn, GetModuleHandleW(nullptr), 0);
    WinMouseHook hook([](WinMouseHook::Button button) { ++s_seen[button]; });
    check(next && hook.install(), "the core installs its low-level mouse hook");
    HWND frame = CreateWindowExA(0, "Static", "", WS_VISIBLE, 9, 9, 400, 99, 0, 0, 0, 0);
    s_edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 9, 9, 300, 30, frame, 0, 0, 0);
    SetForegroundWindow(frame);
    SetFocus(s_edit);
    SetEvent(ready);
    // A Unicode message loop, as most applications run: it receives a lead and a trail byte posted
    // as ANSI characters as one character (Wine's ANSI loop hands the bytes over one by one).
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}

static void testMouseHook() {
    using H = WinMouseHook;
    const struct {
        DWORD flags, data;
        H::Button expected;
    } rows[] = {{MOUSEEVENTF_XDOWN, XBUTTON1, H::SideDown},
                {MOUSEEVENTF_XUP, XBUTTON1, H::SideUp},
                {MOUSEEVENTF_XDOWN, XBUTTON2, H::SideDown},
                {MOUSEEVENTF_XUP, XBUTTON2, H::SideUp},
                {MOUSEEVENTF_MIDDLEDOWN, 0, H::MiddleDown},
                {MOUSEEVENTF_MIDDLEUP, 0, H::MiddleUp},
                {MOUSEEVENTF_MOVE, 0, H::Other}};
    auto send = [](DWORD flags, DWORD data) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flags;
        input.mi.mouseData = data;
        SendInput(1, &input, sizeof(input));
    };
    // The first events of a fresh Wine session can pass before the hook is live.
    for (int i = 0; i < 100 && !s_passedOn; ++i, Sleep(50))
        send(MOUSEEVENTF_MOVE, 0);
    for (const auto& row : rows) {
        const int seen = s_seen[row.expected], passedOn = s_passedOn;
        send(row.flags, row.data);
        check(waitFor([&] { return s_seen[row.expected] == seen + 1 && s_passedOn == passedOn + 1; }),
              "the hook reports and passes on mouse event " + std::to_string(row.flags));
    }
}

static void testTyping() {
    check(GetACP() == 936 && WinFocusPoster::focusedControl(WinFocusPoster::foregroundWindow()) == s_edit &&
              WinForegroundQuery::className() == std::wstring(L"Static"),
          "code page 936; the focus walk finds the edit control in front on another thread");
    RECT edit = {};
    GetWindowRect(s_edit, &edit);
    const auto caret = WinForegroundQuery::caretPoint();
    check(caret && PtInRect(&edit, *caret), "the caret point lies in the edit control on the screen");
    const std::wstring chinese = L"\u4f60\u597d\uff0cZorvel 2.5"; // 你好，Zorvel 2.5
    // In this order: a lead byte left over from one text would spoil the next one.
    const std::pair<std::string, std::wstring> rows[] = {
        {"abc", L"abc"}, {std::string("ab\0cd", 5), L"ab"}, {"a\xC4", L"a"}, {encode(chinese, 936), chinese}};
    for (const auto& row : rows) {
        SendMessageW(s_edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        WinFocusPoster::postText(row.first);
        wchar_t text[64] = {};
        const bool typed =
            waitFor([&] { return GetWindowTextW(s_edit, text, 64) >= 0 && text == row.second; });
        check(typed, "typed " + encode(row.second, CP_UTF8) + ", the edit holds " + encode(text, CP_UTF8));
    }
}

static void testRunKey() {
    const std::wstring path = L"C:\\Program Files\\\u5de5\u5177\\zorvel.exe",
                       command = WinRunKey::commandFor(path);
    check(command == L"\"" + path + L"\"" && WinRunKey::set(L"Zorvel", command) &&
              WinRunKey::value(L"Zorvel") == command && WinRunKey::remove(L"Zorvel") &&
              !WinRunKey::value(L"Zorvel") && WinRunKey::remove(L"Zorvel"),
          "Run value \"Zorvel\" written as the quoted path " + encode(command, CP_UTF8) +
              ", read back, removed");
}

static void testDeviceWalk() {
    const WinHardwareIdScan::Result all = WinHardwareIdScan::run(256);
    bool wellFormed = all.opened && all.ids.size() > 1;
    for (const std::string& id : all.ids)
        wellFormed &= id.find('\\') < id.size() &&
                      std::all_of(id.begin(), id.end(), [](char c) { return c > ' ' && c < 127; });
    check(wellFormed && all.endCode == ERROR_NO_MORE_ITEMS,
          std::to_string(all.ids.size()) + " well-formed hardware IDs, the walk ends with code " +
              std::to_string(all.endCode));
    const WinHardwareIdScan::Result one = WinHardwareIdScan::run(1);
    check(one.ids.size() == 1 && one.endedCleanly(), "the walk stops at the maximum");
}

static void testListing() {
    const std::filesystem::path root = L"C:\\zorvel \u4e2d\u6587", sub = root / L"\u7a0b\u5e8f \u76ee";
    std::vector<std::wstring> exes = {root / L"a.exe", root / L"with space.exe", sub / L"\u8bb0.exe"};
    std::filesystem::create_directories(sub);
    for (const std::filesystem::path file : {exes[0], exes[1], exes[2], (root / L"readme.txt").wstring()})
        std::ofstream{file};
    std::sort(exes.begin(), exes.end());
    const bool written = WinExecutableFinder::writeList(root / L"info.txt", {root});
    std::ifstream in(root / L"info.txt", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    std::vector<std::wstring> listed = WinExecutableFinder::parse(bytes, CP_ACP);
    std::sort(listed.begin(), listed.end());
    check(written && listed == exes && std::count(bytes.begin(), bytes.end(), '\r') == 3,
          "dir /s /b finds the executables (spaces, Chinese names), listed in CR LF lines");
}

int main() {
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CreateThread(nullptr, 0, desktopThread, ready, 0, nullptr);
    WaitForSingleObject(ready, 10000);
    testTyping(); // first: the injected clicks take the window out of the front
    testMouseHook();
    testRunKey();
    testDeviceWalk();
    testListing();
    std::printf("%d failure(s)\n", s_failures);
    return s_failures;
}
