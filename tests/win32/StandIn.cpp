// Stands in for arp.exe and ping.exe: appends the command line it was started
// with, and how it was asked to show its window, to commands.txt beside
// itself, and changes nothing.

#include <filesystem>
#include <fstream>
#include <string>
#include <windows.h>

int main()
{
    STARTUPINFOW startup{};
    GetStartupInfoW(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;

    const std::wstring commandLine = GetCommandLineW();
    std::string line(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, commandLine.c_str(), -1,
                                                             nullptr, 0, nullptr, nullptr)),
                     '\0');
    WideCharToMultiByte(CP_UTF8, 0, commandLine.c_str(), -1, line.data(),
                        static_cast<int>(line.size()), nullptr, nullptr);
    line.pop_back(); // the terminating NUL

    wchar_t self[MAX_PATH];
    std::wstring record(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
    record.replace(record.rfind(L'\\') + 1, std::wstring::npos, L"commands.txt");
    std::ofstream(std::filesystem::path(record), std::ios::app | std::ios::binary)
        << line << " | show " << show << '\n';
}
