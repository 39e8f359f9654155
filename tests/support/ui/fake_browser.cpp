// A stand-in web browser for the tests: writes the command line it was started with to fake_browser.txt beside
// itself, so that a test sees what the program asked the browser to open.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR pszCmdLine, int) {
    char szPath[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    while (n > 0 && szPath[n - 1] != '\\')
        --n;
    lstrcpyA(szPath + n, "fake_browser.txt");
    HANDLE hFile = CreateFileA(szPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(hFile, pszCmdLine, lstrlenA(pszCmdLine), &written, nullptr);
    CloseHandle(hFile);
    return 0;
}
