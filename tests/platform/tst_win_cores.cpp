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

// The desktop thread: the core's mouse hook in front of a hook that counts what is passed on, an
// ANSI window whose edit control has the focus, in front, and a Unicode window with an edit
// control. The main thread injects and types; a WM_APP thread message brings the window of the
// given index (0 ANSI, 1 Unicode) to the front.
static std::atomic<int> s_seen[WinMouseHook::SideUp + 1];
static std::atomic<int> s_passedOn{0};
static HWND s_frames[2] = {}, s_edits[2] = {};
static HWND& s_edit = s_edits[0];
static DWORD s_desktopThread = 0;

static LRESULT CALLBACK countPassedOn(int code, WPARAM wParam, LPARAM lParam) {
    s_passedOn += code == HC_ACTION ? 1 : 0;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

static DWORD WINAPI desktopThread(LPVOID ready) {
    HHOOK next = SetWindowsHookExW(WH_MOUSE_LL, countPassedOn, GetModuleHandleW(nullptr), 0);
    WinMouseHook hook([](WinMouseHook::Button button) { ++s_seen[button]; });
    check(next && hook.install(), "the core installs its low-level mouse hook");
    s_frames[1] = CreateWindowExW(0, L"Static", L"", WS_VISIBLE, 9, 120, 400, 99, 0, 0, 0, 0);
    s_edits[1] = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 9, 9, 300, 30, s_frames[1], 0, 0, 0);
    s_frames[0] = CreateWindowExA(0, "Static", "", WS_VISIBLE, 9, 9, 400, 99, 0, 0, 0, 0);
    s_edits[0] = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 9, 9, 300, 30, s_frames[0], 0, 0, 0);
    SetForegroundWindow(s_frames[0]);
    SetFocus(s_edit);
    SetEvent(ready);
    // A Unicode message loop, as most applications run: it receives a lead and a trail byte posted
    // as ANSI characters as one character (Wine's ANSI loop hands the bytes over one by one).
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!msg.hwnd && msg.message == WM_APP) {
            SetForegroundWindow(s_frames[msg.wParam]);
            SetFocus(s_edits[msg.wParam]);
            SetEvent(reinterpret_cast<HANDLE>(msg.lParam));
            continue;
        }
        DispatchMessageW(&msg);
    }
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

static void bringToFront(int index) {
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    PostThreadMessageW(s_desktopThread, WM_APP, index, reinterpret_cast<LPARAM>(done));
    WaitForSingleObject(done, 5000);
    CloseHandle(done);
}

// Empties the edit control of the window in front, types the text and waits for it there.
template <typename Text>
static bool typedExactly(HWND edit, const Text& text, const std::wstring& expected, std::wstring* held) {
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    WinFocusPoster::postText(text);
    wchar_t buffer[64] = {};
    const bool typed = waitFor([&] { return GetWindowTextW(edit, buffer, 64) >= 0 && buffer == expected; });
    *held = buffer;
    return typed;
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
    std::wstring held;
    for (const auto& row : rows) {
        const bool typed = typedExactly(s_edit, row.first, row.second, &held);
        check(typed, "typed " + encode(row.second, CP_UTF8) + ", the edit holds " + encode(held, CP_UTF8));
    }
    // A text (not bytes) goes to an ANSI window as its bytes in the ANSI code page.
    const bool ansi = !WinFocusPoster::takesUnicode(s_edit) && typedExactly(s_edit, chinese, chinese, &held);
    check(ansi,
          "an ANSI window takes the text as code page 936 bytes, the edit holds " + encode(held, CP_UTF8));
    // A Unicode window gets every character, one beyond U+FFFF as its two surrogates.
    bringToFront(1);
    const std::wstring any = L"na\u00efve Stra\u00dfe \U0001F44D \u4f60\u597d"; // naïve Straße 👍 你好
    held.clear();
    const bool unicode = WinFocusPoster::focusedControl(WinFocusPoster::foregroundWindow()) == s_edits[1] &&
                         WinFocusPoster::takesUnicode(s_edits[1]) &&
                         typedExactly(s_edits[1], any, any, &held);
    check(unicode, "a Unicode window takes UTF-16 WM_CHAR, the edit holds " + encode(held, CP_UTF8));
    bringToFront(0);
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
    CreateThread(nullptr, 0, desktopThread, ready, 0, &s_desktopThread);
    WaitForSingleObject(ready, 10000);
    testTyping(); // first: the injected clicks take the window out of the front
    testMouseHook();
    testRunKey();
    testDeviceWalk();
    testListing();
    std::printf("%d failure(s)\n", s_failures);
    return s_failures;
}
