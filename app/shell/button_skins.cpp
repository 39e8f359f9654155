// The skins of the two dialogs' push buttons: icon, tooltip and look of each, in the order they are skinned.
#include "dialog_look.h"

#include "dialog_state.h"
#include "lustrekit.h"
#include "resources/resource.h"

#include "about_dialog.h"

namespace {

// The looks: A and B gradient faces, C a thin frame over the dialog's tile, D the About box's.
const DWORD kSetA = BSK_XPSTYLE | BSK_ICONLEFT | BSK_BALLOONTIP | BSK_FOCUSRECT | BSK_FLAT;      // 0x20000066
const DWORD kSetB = BSK_XPSTYLE | BSK_BALLOONTIP | BSK_FOCUSRECT | BSK_FLAT;                     // 0x20000026
const DWORD kSetC = BSK_THINBORDER | BSK_ICONLEFT | BSK_BALLOONTIP | BSK_PARENTBKGND | BSK_FLAT; // 0x8000006A
const DWORD kSetD = BSK_XPSTYLE | BSK_ICONLEFT | BSK_BALLOONTIP | BSK_FLAT;                      // 0x20000062
static_assert(kSetA == 0x20000066 && kSetB == 0x20000026 && kSetC == 0x8000006A && kSetD == 0x20000062,
              "the dialogs' four looks");

struct ButtonLook {
    int nId;
    int nIcon; // 0: no icon
    const char *pszTip;
    DWORD dwFlags;
};

const ButtonLook kMainButtons[] = {
    {IDC_ABOUT, IDI_TUNEWRIGHT, "About Tunewright", kSetA},
    {IDC_EXIT, IDI_EXIT, "Exit", kSetA},
    {IDC_TEMPO_LABEL, 0, "Set Default Tempo (100%)", kSetB},
    {IDC_TONE_LABEL, 0, "Set Default Tone (+0.0)", kSetB},
    {IDC_TONE_UP, 0, "Increase Tone (+0.5)", kSetB},
    {IDC_TONE_DOWN, 0, "Decrease Tone (-0.5)", kSetB},
    {IDC_SET_PATH, IDI_SET_PATH, "Change output path", kSetA},
    {IDC_OPEN, IDI_OPEN, "Open MIDI file", kSetA},
    {IDC_DEFAULT, IDI_DEFAULT, "Set original instruments from MIDI-file", kSetA},
    {IDC_PLAY, IDI_PLAY, "Play file", kSetC},
    {IDC_STOP, IDI_STOP, "Stop playing", kSetC},
    {IDC_ABORT, IDI_ABORT, "Stop converting", kSetA},
    {IDC_CONVERT, IDI_CONVERT, "Start Converting", kSetA},
};

const ButtonLook kAboutButtons[] = {
    {IDC_HOME_PAGE, IDI_HOME_PAGE, kHomePageAddress, kSetD},
    {IDC_EXIT, IDI_CONVERT, nullptr, kSetD},
};

// Lustrekit copies the record; the icons (shared resources) and the texts stay the program's.
template <int N> void SkinButtons(HWND hDlg, const ButtonLook (&looks)[N]) {
    for (const ButtonLook &look : looks) {
        BUTTON_SKIN skin = {};
        skin.hIcon = look.nIcon ? LoadIconA(g_hInstance, MAKEINTRESOURCEA(look.nIcon)) : nullptr;
        skin.pszTip = look.pszTip;
        skin.dwFlags = look.dwFlags;
        RedrawButton(GetDlgItem(hDlg, look.nId), &skin);
    }
}

} // namespace

void SkinMainDialogButtons(HWND hDlg) {
    SkinButtons(hDlg, kMainButtons);
}

void SkinAboutButtons(HWND hDlg) {
    SkinButtons(hDlg, kAboutButtons);
}
