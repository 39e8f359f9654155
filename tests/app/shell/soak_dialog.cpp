// The dialog's half of the load test (scripts/soak): starts Tunewright in the current folder with a song open and
// converts it COUNT times in a row, printing the program's private bytes and handle count after each conversion.
// usage: soak_dialog.exe SONG COUNT
#include "process_resources.h"
#include "support/ui/ui_driver.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const int kConvert = 2008, kAbort = 2018;
const DWORD kConvertTimeoutMs = 120000;

int Fail(const std::string &what, const ui::App &app) {
    std::fprintf(stderr, "soak_dialog: %s\n%s\n", what.c_str(), app.Situation().c_str());
    return 1;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: soak_dialog.exe SONG COUNT\n");
        return 2;
    }
    const int nCount = std::atoi(argv[2]);
    ui::App app;
    if (app.dialog() == nullptr)
        return Fail("Tunewright's main dialog did not appear", app);
    if (!app.OpenFile(argv[1]) || !app.WaitEnabled(kConvert, true, 5000))
        return Fail(std::string("cannot open ") + argv[1], app);
    HANDLE hProcess =
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_DUP_HANDLE, FALSE, app.processId());
    for (int i = 1; i <= nCount; ++i) {
        app.Click(kConvert);
        std::string message = app.TakeMessageBox("Tunewright", kConvertTimeoutMs);
        if (message.find("was converted!") == std::string::npos)
            return Fail("conversion " + std::to_string(i) + " ended with \"" + message + "\"", app);
        if (!ui::WaitFor([&] { return !app.Enabled(kAbort) && app.Enabled(kConvert); }, 10000))
            return Fail("the controls did not come back", app);
        std::printf("conversion %d: %s\n", i, ProcessResources(hProcess).c_str());
        std::fflush(stdout);
    }
    CloseHandle(hProcess);
    app.Click(1); // Exit
    return app.WaitForExit(10000) == 0 ? 0 : Fail("Tunewright did not exit", app);
}
