// The desktop on Windows. The program is built as a GUI program, which opens
// no console window of its own: started from a console, it writes to that
// one, and a fatal message also shows in a message box.
#include <windows.h>

#include <cstdio>

#include "platform/desktop.h"

const char systemFontPlace[] = "Verdana from Windows' own Fonts folder";

// The file calls take the ANSI path, as they do the working directory's. The
// fonts folder is %WINDIR%\Fonts in every Windows since 95.
std::string systemFontFile(const char*, const char* file, std::string& why) {
    char folder[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        why = "Windows names no folder of its own";
        return "";
    }
    return std::string(folder, length) + "\\Fonts\\" + file;
}

// Windows hands a GL driver its window's pixels without asking a server.
void watchWindowSystem() {}

// A stream redirected to a file or a pipe is kept as it is.
void connectMessages() {
    const auto missing = [](DWORD stream) {
        const HANDLE handle = GetStdHandle(stream);
        return handle == nullptr || handle == INVALID_HANDLE_VALUE;
    };
    const bool output = missing(STD_OUTPUT_HANDLE);
    const bool error = missing(STD_ERROR_HANDLE);
    if ((output || error) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        if (output) {
            std::freopen("CONOUT$", "w", stdout);
        }
        if (error) {
            std::freopen("CONOUT$", "w", stderr);
        }
    }
}

void showFatalMessage(const std::string& message) {
    MessageBoxA(nullptr, message.c_str(), "gltextdemo", MB_OK | MB_ICONERROR);
}
