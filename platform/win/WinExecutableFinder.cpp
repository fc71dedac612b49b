#include "platform/win/WinExecutableFinder.h"

#include <windows.h>

std::vector<std::wstring> WinExecutableFinder::defaultRoots() {
    return {L"c:\\", L"d:\\"};
}

std::wstring WinExecutableFinder::commandLine(const std::wstring& root) {
    std::wstring pattern = root;
    if (!pattern.empty() && pattern.back() != L'\\')
        pattern += L'\\';
    pattern += L"*.exe";
    // Quoted: folder names may hold spaces and the shell's special characters.
    return L"cmd.exe /c dir /s /b \"" + pattern + L"\"";
}

std::string WinExecutableFinder::run(const std::wstring& commandLine) {
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return std::string();
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    // The shell's complaints (a missing drive, no match) go nowhere, as no one reads them.
    startup.hStdError = nullptr;
    startup.hStdInput = nullptr;
    PROCESS_INFORMATION process = {};
    std::wstring line = commandLine; // CreateProcessW may write into its command line
    const BOOL started = CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(writeEnd);
    std::string output;
    if (started) {
        // Read while the shell runs, so that it never blocks on a full pipe.
        char chunk[4096];
        DWORD got = 0;
        while (ReadFile(readEnd, chunk, sizeof(chunk), &got, nullptr) && got > 0)
            output.append(chunk, got);
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(readEnd);
    return output;
}

static std::wstring decode(const std::string& bytes, unsigned codePage) {
    if (bytes.empty())
        return std::wstring();
    const int length = static_cast<int>(bytes.size());
    const int chars = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    std::wstring text(chars > 0 ? chars : 0, L'\0');
    if (chars > 0)
        MultiByteToWideChar(codePage, 0, bytes.data(), length, &text[0], chars);
    return text;
}

std::vector<std::wstring> WinExecutableFinder::parse(const std::string& listing, unsigned codePage) {
    std::vector<std::wstring> paths;
    size_t start = 0;
    while (start < listing.size()) {
        size_t end = listing.find('\n', start);
        if (end == std::string::npos)
            end = listing.size();
        size_t stop = end;
        if (stop > start && listing[stop - 1] == '\r')
            --stop;
        if (stop > start)
            paths.push_back(decode(listing.substr(start, stop - start), codePage));
        start = end + 1;
    }
    return paths;
}

std::vector<std::wstring> WinExecutableFinder::find(const std::vector<std::wstring>& roots) {
    std::vector<std::wstring> paths;
    for (const std::wstring& root : roots) {
        const std::vector<std::wstring> found = parse(run(commandLine(root)), CP_OEMCP);
        paths.insert(paths.end(), found.begin(), found.end());
    }
    return paths;
}

bool WinExecutableFinder::writeList(const std::wstring& listPath, const std::vector<std::wstring>& roots) {
    std::string bytes;
    for (const std::wstring& path : find(roots)) {
        const int length = static_cast<int>(path.size());
        const int size = WideCharToMultiByte(CP_ACP, 0, path.data(), length, nullptr, 0, nullptr, nullptr);
        std::string line(size > 0 ? size : 0, '\0');
        if (size > 0)
            WideCharToMultiByte(CP_ACP, 0, path.data(), length, &line[0], size, nullptr, nullptr);
        bytes += line + "\r\n";
    }
    HANDLE file = CreateFileW(listPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = bytes.empty() ||
                    (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                     written == bytes.size());
    CloseHandle(file);
    return ok;
}
