#pragma once

#include <string>
#include <vector>

// Finds the "*.exe" files below folders with the command shell's "dir /s /b", which prints the
// full path of every match, one per line, in the console's (OEM) code page.
class WinExecutableFinder {
public:
    // The folders searched when listing for the application scanner: drives C: and D:.
    static std::vector<std::wstring> defaultRoots();

    // The command line that lists the executables below one folder.
    static std::wstring commandLine(const std::wstring& root);
    // Runs the command line and waits for it without a time limit; its output, or an empty string
    // when the shell could not be started. A folder without executables also gives an empty output.
    static std::string run(const std::wstring& commandLine);
    // The paths of a listing: one per line (CR LF or LF), blank lines skipped, decoded from the
    // given code page.
    static std::vector<std::wstring> parse(const std::string& listing, unsigned codePage);

    // The full paths of every executable below the roots, in listing order.
    static std::vector<std::wstring> find(const std::vector<std::wstring>& roots);
    // Writes those paths to listPath (replacing it), one per line with CR LF, in the ANSI code page
    // that the program's text files use. False when the file cannot be written.
    static bool writeList(const std::wstring& listPath, const std::vector<std::wstring>& roots);
};
