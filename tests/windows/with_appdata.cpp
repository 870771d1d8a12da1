// with_appdata FOLDER PROGRAM [ARGUMENT]...: runs the Windows program with
// FOLDER as its APPDATA and returns its exit code. The tests of this machine
// start the Windows programs under Wine through it, since Wine gives every
// program started from outside the APPDATA of its own prefix.
#include <windows.h>
// (after windows.h, which it needs)
#include <shellapi.h>

#include <string>

namespace {

// One argument as the program's C runtime will split it again.
std::wstring quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
    std::wstring text = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        text.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        text += c;
    }
    text.append(backslashes * 2, L'\\');
    return text + L"\"";
}

}  // namespace

int main() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr || count < 3) return 125;
    if (!SetEnvironmentVariableW(L"APPDATA", arguments[1])) return 125;
    std::wstring command_line;
    for (int i = 2; i < count; ++i) command_line += (i > 2 ? L" " : L"") + quoted(arguments[i]);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(arguments[2], command_line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process))
        return 126;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exit_code = 1;
    GetExitCodeProcess(process.hProcess, &exit_code);
    return static_cast<int>(exit_code);
}
