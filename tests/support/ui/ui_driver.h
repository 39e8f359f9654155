// Drives the real Tunewright.exe from another process as a person would: its windows, buttons, lists, sliders,
// the open-file dialog and message boxes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace ui {

// One running Tunewright.exe and its main dialog.
class App {
public:
    // Starts the program (from the given folder, else the current one) with the given command-line arguments and
    // waits for its main dialog; dialog() is null when it did not come up.
    explicit App(const std::string &folder = "", const std::string &arguments = "");
    ~App(); // ends the process if it still runs

    HWND dialog() const { return m_hDialog; }
    HWND control(int nId) const { return GetDlgItem(m_hDialog, nId); }
    DWORD processId() const { return m_process.dwProcessId; }

    // Waits for the process to end; returns its exit code, or STILL_ACTIVE after the time-out.
    DWORD WaitForExit(DWORD dwTimeoutMs);

    // Clicks a control with the mouse: the pointer moves onto it, then presses and releases.
    void Click(int nId) const;
    // Opens a file through the Open button and the open-file dialog.
    bool OpenFile(const std::string &path) const;
    // Opens the system menu as Alt+Space does and returns its window (class #32768), null after the time-out.
    HWND OpenSystemMenu() const;
    // Chooses the open menu's item nFromBottom places from its end (1: the last) with the keyboard.
    void ChooseFromBottomOfMenu(int nFromBottom) const;
    // Chooses a SoundFont through the system menu's "SoundFont..." and its file dialog (caption "SoundFont").
    bool ChooseSoundFont(const std::string &path) const;
    // Waits for a message box (a dialog of this process other than the main one) with the given caption and
    // returns its text, pressing OK; "" after the time-out.
    std::string TakeMessageBox(const char *pszCaption, DWORD dwTimeoutMs) const;
    // Waits until the control is enabled (or disabled, bEnabled FALSE).
    bool WaitEnabled(int nId, bool bEnabled, DWORD dwTimeoutMs) const;

    std::string Text(int nId) const;
    // What the program shows, for a failure's message: its visible top-level windows with their captions and
    // message texts, and the control under the pointer.
    std::string Situation() const;
    bool Enabled(int nId) const { return IsWindowEnabled(control(nId)) != FALSE; }

    // The instrument list: rows, their texts, check boxes.
    int RowCount() const;
    std::string RowText(int nRow) const;
    bool RowChecked(int nRow) const;
    void SetRowChecked(int nRow, bool bChecked) const;

    // Moves a trackbar to a position as its keyboard would (then it repaints and notifies).
    void SetSlider(int nId, int nPosition) const;
    // Selects an entry of a drop-down list and tells the dialog, as a choice with the mouse does.
    void SelectListEntry(int nId, int nIndex) const;

private:
    PROCESS_INFORMATION m_process = {};
    HWND m_hDialog = nullptr;
};

// Saves what the screen shows of a window (its frame included) as a 24-bit BMP file. FALSE on failure.
bool SaveWindowPicture(HWND hWnd, const std::string &path);

// What only the Linux side can do is asked of the host agent that ctest starts beside the test
// (tests/app/shell/host_agent.py); it answers with an exit status (0: done, -1: no answer) and what it printed.
struct HostAnswer {
    int nStatus;
    std::string output;
};
bool HostAgentPresent();
HostAnswer AskHost(const std::vector<std::string> &request, DWORD dwTimeoutMs);

// The Linux path of a file on drive Z: (the Linux root), or "" for a path elsewhere.
std::string LinuxPathOf(const std::string &path);

// Drops a file on the middle of a window as a Linux file manager would, through the X server (Wine turns the
// drop into WM_DROPFILES for a window that accepts files). True once the window has taken it.
bool DropFile(HWND hOver, const std::string &path);

// A top-level dialog (class #32770) of the process with the given caption, or null.
HWND FindProcessDialog(DWORD dwProcessId, const char *pszCaption, HWND hExcept);

// Waits up to dwTimeoutMs for pred() to become true, polling every 20 ms.
template <class Pred> bool WaitFor(Pred pred, DWORD dwTimeoutMs) {
    for (DWORD dwStart = GetTickCount(); !pred();) {
        if (GetTickCount() - dwStart > dwTimeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

} // namespace ui
