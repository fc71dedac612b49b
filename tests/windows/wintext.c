/* Test helper run under Wine: reads the text of the edit control of a top-level window of a given
 * class (notepad.exe's "Notepad" window and its "Edit" child), as UTF-16 through WM_GETTEXT, and
 * prints it as hex of UTF-8 so that no console code page is in the way.
 *
 *   wintext text <class>                    prints "text <hex>"
 *   wintext wait <class> <chars> <ms>       polls every millisecond until the control holds at
 *                                           least <chars> characters or <ms> pass; prints
 *                                           "first <epoch ms>", "last <epoch ms>", "text <hex>"
 * Exit code 0 when the window was found (and, for wait, the length reached), 1 otherwise. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

static HWND editOf(const wchar_t* cls) {
    HWND top = FindWindowW(cls, NULL);
    if (!top)
        return NULL;
    HWND edit = FindWindowExW(top, NULL, L"Edit", NULL);
    return edit ? edit : top;
}

static long long nowMs(void) {
    FILETIME ft;
    GetSystemTimePreciseAsFileTime(&ft);
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    return (long long)((t.QuadPart - 116444736000000000ULL) / 10000ULL);
}

static int length(HWND edit) {
    DWORD_PTR n = 0;
    if (!SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 1000, &n))
        return -1;
    return (int)n;
}

static void printText(HWND edit) {
    int n = length(edit);
    if (n < 0)
        n = 0;
    wchar_t* w = calloc((size_t)n + 1, sizeof(wchar_t));
    DWORD_PTR got = 0;
    SendMessageTimeoutW(edit, WM_GETTEXT, (WPARAM)n + 1, (LPARAM)w, SMTO_ABORTIFHUNG, 1000, &got);
    int bytes = WideCharToMultiByte(CP_UTF8, 0, w, (int)got, NULL, 0, NULL, NULL);
    char* u = calloc((size_t)bytes + 1, 1);
    WideCharToMultiByte(CP_UTF8, 0, w, (int)got, u, bytes, NULL, NULL);
    printf("text ");
    for (int i = 0; i < bytes; ++i)
        printf("%02x", (unsigned char)u[i]);
    printf("\n");
    fflush(stdout);
    free(u);
    free(w);
}

int wmain(int argc, wchar_t** argv) {
    if (argc < 3)
        return 2;
    HWND edit = editOf(argv[2]);
    if (!edit) {
        printf("no window\n");
        return 1;
    }
    if (!wcscmp(argv[1], L"text")) {
        printText(edit);
        return 0;
    }
    if (!wcscmp(argv[1], L"wait") && argc >= 5) {
        const int want = _wtoi(argv[3]);
        const long long end = nowMs() + _wtoi(argv[4]);
        long long first = 0;
        int n = 0;
        while (nowMs() < end) {
            n = length(edit);
            if (n > 0 && !first)
                first = nowMs();
            if (n >= want)
                break;
            Sleep(1);
        }
        printf("first %lld\nlast %lld\n", first, n >= want ? nowMs() : 0LL);
        printText(edit);
        return n >= want ? 0 : 1;
    }
    return 2;
}
