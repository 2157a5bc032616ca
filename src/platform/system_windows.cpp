// The system on Windows. freeglut's window class is an ANSI one, so each key
// arrives as a byte of the ANSI code page. The program is built as a GUI
// program, which opens no console window of its own: started from a console,
// it writes to that one, and a fatal message also shows in a message box.
#include "platform/system.h"

#include <windows.h>

#include <cstdio>

wchar_t characterOf(unsigned char byte) {
    const char in = static_cast<char>(byte);
    wchar_t out = 0;
    return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &in, 1, &out, 1) == 1 ? out : 0;
}

// The file calls take the ANSI path, as they do the working directory's. The
// fonts folder is %WINDIR%\Fonts in every Windows since 95.
std::string systemFontFile(const char* name) {
    char folder[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return "";
    }
    return std::string(folder, length) + "\\Fonts\\" + name;
}

// Windows hands a GL driver its window's pixels without asking a server.
void tolerateRefusedReadBacks() {}

// Standard error redirected to a file or a pipe is kept as it is.
void connectMessages() {
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if ((error == nullptr || error == INVALID_HANDLE_VALUE) &&
        AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
}

void showFatalMessage(const std::string& message) {
    MessageBoxA(nullptr, message.c_str(), "gltextdemo", MB_OK | MB_ICONERROR);
}
