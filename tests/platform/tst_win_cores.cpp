// The Windows cores of platform/win against real Win32 behaviour, run under Wine. Plain C++ (no
// Qt for Windows here); each check prints one line, and the exit code is the number of failures.

#include "platform/win/WinExecutableFinder.h"
#include "platform/win/WinFocusPoster.h"
#include "platform/win/WinForegroundQuery.h"
#include "platform/win/WinHardwareIdScan.h"
#include "platform/win/WinMouseHook.h"
#include "platform/win/WinRunKey.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

static int s_failures = 0;

static std::string utf8(const std::wstring& text) {
    std::string bytes(text.size() * 4, '\0');
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0],
                                      static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(n > 0 ? n : 0);
    return bytes;
}

static void check(bool ok, const std::string& what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what.c_str());
    std::fflush(stdout);
    if (!ok)
        ++s_failures;
}

// Polls a condition while other threads work, for at most two seconds.
template <typename Condition> static bool waitFor(Condition condition) {
    for (int i = 0; i < 200 && !condition(); ++i)
        Sleep(10);
    return condition();
}

// --- mouse hook: a thread with the core's hook and a message loop; SendInput from this thread.

static std::mutex s_eventsLock;
static std::vector<int> s_seen;       // what the core reported
static int s_passedOn = 0;            // events that reached the hook installed before the core's
static HHOOK s_downstream = nullptr;

static LRESULT CALLBACK downstream(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        std::lock_guard<std::mutex> lock(s_eventsLock);
        ++s_passedOn;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

static DWORD WINAPI hookThread(LPVOID ready) {
    // Hooks run last-installed first: the core's hook has to pass each event on to this one.
    s_downstream = SetWindowsHookExW(WH_MOUSE_LL, downstream, GetModuleHandleW(nullptr), 0);
    WinMouseHook hook([](WinMouseHook::Button button) {
        std::lock_guard<std::mutex> lock(s_eventsLock);
        s_seen.push_back(button);
    });
    const bool installed = s_downstream && hook.install();
    SetEvent(static_cast<HANDLE>(ready));
    if (!installed)
        return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    UnhookWindowsHookEx(s_downstream);
    return 0;
}

static void testMouseHook() {
    struct Row {
        const char* name;
        DWORD flags;
        DWORD data;
        WinMouseHook::Button expected;
    };
    const Row rows[] = {
        {"XBUTTON1 down", MOUSEEVENTF_XDOWN, XBUTTON1, WinMouseHook::SideDown},
        {"XBUTTON1 up", MOUSEEVENTF_XUP, XBUTTON1, WinMouseHook::SideUp},
        {"XBUTTON2 down", MOUSEEVENTF_XDOWN, XBUTTON2, WinMouseHook::SideDown},
        {"XBUTTON2 up", MOUSEEVENTF_XUP, XBUTTON2, WinMouseHook::SideUp},
        {"middle down", MOUSEEVENTF_MIDDLEDOWN, 0, WinMouseHook::MiddleDown},
        {"middle up", MOUSEEVENTF_MIDDLEUP, 0, WinMouseHook::MiddleUp},
        {"move", MOUSEEVENTF_MOVE, 0, WinMouseHook::Other},
    };
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD threadId = 0;
    HANDLE thread = CreateThread(nullptr, 0, hookThread, ready, 0, &threadId);
    WaitForSingleObject(ready, 5000);
    auto send = [](DWORD flags, DWORD data) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flags;
        input.mi.mouseData = data;
        return SendInput(1, &input, sizeof(input)) == 1;
    };
    // The first events of a fresh Wine session can pass before the hook is live: move the mouse
    // until the hook reports, then start counting.
    for (int i = 0; i < 100 && !s_passedOn; ++i) {
        send(MOUSEEVENTF_MOVE, 0);
        Sleep(50);
    }
    {
        std::lock_guard<std::mutex> lock(s_eventsLock);
        s_seen.clear();
        s_passedOn = 0;
    }
    size_t count = 0;
    for (const Row& row : rows) {
        const bool sent = send(row.flags, row.data);
        ++count;
        const bool seen = waitFor([&] {
            std::lock_guard<std::mutex> lock(s_eventsLock);
            return s_seen.size() >= count && s_passedOn >= static_cast<int>(count);
        });
        std::lock_guard<std::mutex> lock(s_eventsLock);
        check(sent && seen && s_seen[count - 1] == row.expected && s_passedOn == static_cast<int>(count),
              std::string("hook sees and passes on ") + row.name + " (sent " + std::to_string(sent) + ", seen " +
                  std::to_string(s_seen.size()) + ", passed on " + std::to_string(s_passedOn) + ")");
        if (!seen)
            break;
    }
    PostThreadMessageW(threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    CloseHandle(ready);
}

// --- typing: an ANSI window with an edit control on its own thread, in front with the focus.

static HWND s_frame = nullptr;
static HWND s_edit = nullptr;

static DWORD WINAPI windowThread(LPVOID ready) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "ZorvelTypingTarget";
    RegisterClassA(&windowClass);
    s_frame = CreateWindowExA(0, "ZorvelTypingTarget", "target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 400,
                              200, nullptr, nullptr, windowClass.hInstance, nullptr);
    s_edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 300, 30, s_frame, nullptr,
                             windowClass.hInstance, nullptr);
    SetForegroundWindow(s_frame);
    SetFocus(s_edit);
    SetEvent(static_cast<HANDLE>(ready));
    // A Unicode message loop, as most applications run: it receives a posted lead and trail byte
    // as one character (Wine's ANSI loop hands the bytes over one by one, and its edit control
    // does not join them).
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    DestroyWindow(s_frame);
    return 0;
}

static std::wstring editText() {
    wchar_t text[256] = {};
    GetWindowTextW(s_edit, text, 256);
    return text;
}

static std::string gb2312(const std::wstring& text) {
    std::string bytes(text.size() * 2, '\0');
    const int n = WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), &bytes[0],
                                      static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(n > 0 ? n : 0);
    return bytes;
}

static void testTyping() {
    check(GetACP() == 936, "the ANSI code page is 936 (GetACP " + std::to_string(GetACP()) + ")");
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD threadId = 0;
    HANDLE thread = CreateThread(nullptr, 0, windowThread, ready, 0, &threadId);
    WaitForSingleObject(ready, 5000);
    check(waitFor([] { return GetForegroundWindow() == s_frame; }), "the test window is in front");
    check(WinFocusPoster::focusedControl(WinFocusPoster::foregroundWindow()) == s_edit,
          "the focus walk finds the edit control of the other thread");
    check(WinForegroundQuery::className() == std::wstring(L"ZorvelTypingTarget"),
          "foreground class name is the window's class");
    RECT rect = {};
    GetWindowRect(s_edit, &rect);
    const auto caret = WinForegroundQuery::caretPoint();
    check(caret && caret->x >= rect.left && caret->x <= rect.right && caret->y >= rect.top &&
              caret->y <= rect.bottom,
          "caret point lies in the focused edit control on the screen");

    const std::wstring chinese = L"\u4f60\u597d\uff0cZorvel 2.5"; // 你好，Zorvel 2.5
    struct Row {
        const char* name;
        std::string bytes;
        std::wstring expected;
    };
    // In order: a lead byte left over from one text must not spoil the next one.
    const Row rows[] = {
        {"ASCII", "abc", L"abc"},
        {"bytes after a zero are not typed", std::string("ab\0cd", 5), L"ab"},
        {"a lead byte without trail byte is dropped", "a\xC4", L"a"},
        {"GB2312 pairs join into Chinese", gb2312(chinese), chinese},
    };
    for (const Row& row : rows) {
        SendMessageW(s_edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        WinFocusPoster::postText(row.bytes);
        // The messages are posted: wait until the edit thread has handled them.
        const bool typed = waitFor([&] { return editText() == row.expected; });
        check(typed, std::string("typing: ") + row.name + " (edit holds \"" + utf8(editText()) + "\")");
    }
    PostThreadMessageW(threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    CloseHandle(ready);
}

// --- the Run value.

static void testRunKey() {
    const wchar_t* paths[] = {L"C:\\Program Files\\Zorvel\\zorvel.exe", L"D:\\\u5de5\u5177\\zorvel.exe"};
    for (const wchar_t* path : paths) {
        const std::wstring command = WinRunKey::commandFor(path);
        check(command == L"\"" + std::wstring(path) + L"\"", "Run command is the quoted path " + utf8(path));
        check(WinRunKey::set(L"Zorvel", command) && WinRunKey::value(L"Zorvel") == command,
              "Run value \"Zorvel\" is written and read back");
        check(WinRunKey::remove(L"Zorvel") && !WinRunKey::value(L"Zorvel"), "Run value \"Zorvel\" is removed");
        check(WinRunKey::remove(L"Zorvel"), "removing an absent Run value is no error");
    }
}

// --- the device walk.

static void testDeviceWalk() {
    const WinHardwareIdScan::Result all = WinHardwareIdScan::run(256);
    check(all.opened && !all.ids.empty(), "device set read, " + std::to_string(all.ids.size()) + " hardware IDs");
    check(all.endCode == ERROR_NO_MORE_ITEMS && all.endedCleanly(),
          "walk ends with \"no more items\" (code " + std::to_string(all.endCode) + ")");
    for (const std::string& id : all.ids) {
        const bool printable = std::all_of(id.begin(), id.end(), [](char c) { return c > ' ' && c < 127; });
        check(printable && id.find('\\') != std::string::npos, "well-formed hardware ID " + id);
    }
    const WinHardwareIdScan::Result one = WinHardwareIdScan::run(1);
    check(one.ids.size() <= 1 && one.endedCleanly(), "the walk stops at the maximum");
}

// --- the listing of executables below a folder made here.

static void testListing() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring root = std::wstring(temp) + L"zorvel listing \u4e2d\u6587";
    const std::wstring files[] = {
        root + L"\\plain.exe",
        root + L"\\with space.exe",
        root + L"\\\u7a0b\u5e8f \u76ee\u5f55\\\u8bb0\u4e8b\u672c.exe",
        root + L"\\readme.txt",
    };
    CreateDirectoryW(root.c_str(), nullptr);
    CreateDirectoryW((root + L"\\\u7a0b\u5e8f \u76ee\u5f55").c_str(), nullptr);
    for (const std::wstring& file : files)
        CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));

    std::vector<std::wstring> found = WinExecutableFinder::find({root});
    std::sort(found.begin(), found.end());
    std::vector<std::wstring> expected(files, files + 3);
    std::sort(expected.begin(), expected.end());
    std::string listed;
    for (const std::wstring& path : found)
        listed += " [" + utf8(path) + "]";
    check(found == expected, "dir /s /b lists the executables with spaces and Chinese names:" + listed);

    const std::wstring listPath = root + L"\\info.txt";
    check(WinExecutableFinder::writeList(listPath, {root}), "the list file is written");
    HANDLE file = CreateFileW(listPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    char bytes[4096] = {};
    DWORD got = 0;
    ReadFile(file, bytes, sizeof(bytes), &got, nullptr);
    CloseHandle(file);
    std::vector<std::wstring> written = WinExecutableFinder::parse(std::string(bytes, got), CP_ACP);
    std::sort(written.begin(), written.end());
    check(written == expected && std::string(bytes, got).find("\r\n") != std::string::npos,
          "the list file holds the same paths, CR LF, in the ANSI code page");
}

int main() {
    testMouseHook();
    testTyping();
    testRunKey();
    testDeviceWalk();
    testListing();
    std::printf("%d failure(s)\n", s_failures);
    return s_failures;
}
