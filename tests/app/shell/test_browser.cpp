// The web browser's program path from its open command, and a help file's path as one argument.
#include <windows.h>

#include <gtest/gtest.h>

#include "browser.h"

TEST(Browser, ProgramPathFromTheOpenCommand) {
    struct Case {
        const char *command, *path;
    } cases[] = {{"\"C:\\Program Files\\Web\\browser.exe\" -nohome", "C:\\Program Files\\Web\\browser.exe"},
                 {"C:\\WEB\\BROWSER.EXE %1", "C:\\WEB\\BROWSER.EXE"},
                 {"C:\\Web\\browser.Exe %1", nullptr}, // mixed case is not recognised
                 {"exe", nullptr},                     // shorter than the extension: the scan stays inside
                 {"", nullptr},
                 {".exe", ".exe"}};
    for (const Case &c : cases) {
        char command[256];
        lstrcpynA(command, c.command, sizeof command);
        const char *path = BrowserPathFromCommand(command);
        if (c.path == nullptr)
            EXPECT_EQ(path, nullptr) << c.command;
        else
            EXPECT_STREQ(path, c.path) << c.command;
    }
}

TEST(Browser, APathWithBlanksIsOneArgument) {
    char argument[64];
    QuoteArgument("C:\\Apps\\My Music\\Help.html", argument, sizeof argument);
    EXPECT_STREQ(argument, "\"C:\\Apps\\My Music\\Help.html\"");
    QuoteArgument("C:\\Apps\\Music\\Help.html", argument, sizeof argument);
    EXPECT_STREQ(argument, "C:\\Apps\\Music\\Help.html");
}
