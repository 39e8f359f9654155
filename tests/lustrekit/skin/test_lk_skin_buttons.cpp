// Tests of Lustrekit's skinned button behaviour under Wine, in real windows: RedrawButton, the subclassing and
// its properties, emulated check boxes and radio buttons, hover and class cursor, tooltips, the drop-down
// part, the window shape, and clean-up when windows go away.
#include <gtest/gtest.h>

#include <vector>

#include "lk_button_host.h"

#include <commctrl.h>

namespace {

constexpr int kW = 100;
constexpr int kH = 30;

WNDPROC WndProcOf(HWND hwnd) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
}

// Counts BM_SETCHECK messages reaching a control through a subclass of the test's own.
struct CheckCounter {
    static inline int s_count = 0;
    static inline WNDPROC s_next = NULL;
    static LRESULT CALLBACK Proc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
        if (uMsg == BM_SETCHECK) {
            ++s_count;
        }
        return CallWindowProcA(s_next, hwnd, uMsg, wParam, lParam);
    }
    static void Install(HWND hwnd) {
        s_count = 0;
        s_next = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
    }
};

// Every tooltip window of the process (a popup's owner is the top-level window, not the button).
std::vector<HWND> AllTips() {
    std::vector<HWND> tips;
    for (HWND h = FindWindowExA(NULL, NULL, TOOLTIPS_CLASSA, NULL); h != NULL;
         h = FindWindowExA(NULL, h, TOOLTIPS_CLASSA, NULL)) {
        tips.push_back(h);
    }
    return tips;
}

// The tooltip windows whose tool is the button.
std::vector<HWND> TipsOf(HWND hwndButton) {
    std::vector<HWND> tips;
    for (HWND h : AllTips()) {
        TTTOOLINFOA ti = {};
        ti.cbSize = TTTOOLINFOA_V2_SIZE;
        if (SendMessageA(h, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&ti)) && ti.hwnd == hwndButton) {
            tips.push_back(h);
        }
    }
    return tips;
}

void ClickAt(HWND hwndButton, int x, int y) {
    PointerAt(hwndButton, x, y);
    SendMessageA(hwndButton, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    SendMessageA(hwndButton, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(hwndButton, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void Leave(HWND hwndButton) {
    SendMessageA(hwndButton, WM_MOUSELEAVE, 0, 0);
}

class SkinButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&icc);
        PointerAt(parent_.Hwnd(), 590, 390); // away from every button
    }
    TestParent parent_;
};

TEST_F(SkinButtonTest, RedrawButtonSkinsOnceAndUnskinsWithoutLosingTheStyle) {
    EXPECT_NE(GetProcAddress(GetModuleHandleA("Lustrekit.dll"), "RedrawButton"), nullptr); // undecorated
    EXPECT_EQ(SkinWith(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234)), BSK_BORDER), FALSE);
    EXPECT_EQ(RedrawButton(NULL, NULL), FALSE);
    const WNDPROC parentProc = WndProcOf(parent_.Hwnd());
    HWND a = parent_.AddButton("A", BS_PUSHBUTTON, 10, 10, kW, kH, BS_MULTILINE);
    HWND b = parent_.AddButton("B", BS_AUTOCHECKBOX, 10, 50, kW, kH);
    const WNDPROC buttonProc = WndProcOf(a);

    EXPECT_EQ(RedrawButton(b, NULL), TRUE); // never skinned: nothing to undo
    ASSERT_EQ(SkinWith(a, BSK_XPSTYLE), TRUE);
    ASSERT_EQ(SkinWith(b, BSK_XPSTYLE), TRUE);
    for (HWND h : {a, b}) {
        EXPECT_EQ(GetWindowLongPtrA(h, GWL_STYLE) & 0xF, BS_OWNERDRAW);
        EXPECT_NE(GetPropA(h, "CTRL_STRUCT"), nullptr);
        EXPECT_EQ(reinterpret_cast<WNDPROC>(GetPropA(h, "OLD_WND_PROC")), buttonProc);
        EXPECT_NE(WndProcOf(h), buttonProc);
    }
    EXPECT_TRUE(GetWindowLongPtrA(a, GWL_STYLE) & BS_MULTILINE);
    // The parent is subclassed once: its property still holds the original procedure.
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetPropA(parent_.Hwnd(), "OLD_WND_PROC")), parentProc);
    EXPECT_NE(WndProcOf(parent_.Hwnd()), parentProc);
    const WNDPROC skinned = WndProcOf(a);
    ASSERT_EQ(SkinWith(a, BSK_FLATHILITE), TRUE); // a second skin changes the record only
    EXPECT_EQ(WndProcOf(a), skinned);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetPropA(a, "OLD_WND_PROC")), buttonProc);

    EnableWindow(b, FALSE); // after skinning: unskinning must not undo it
    EXPECT_EQ(RedrawButton(b, NULL), TRUE);
    EXPECT_EQ(GetWindowLongPtrA(b, GWL_STYLE) & 0xF, BS_AUTOCHECKBOX);
    EXPECT_FALSE(IsWindowEnabled(b));
    EXPECT_EQ(GetPropA(b, "CTRL_STRUCT"), nullptr);
    EXPECT_NE(GetPropA(b, "OLD_WND_PROC"), nullptr); // the subclass stays, passing everything on
}

TEST_F(SkinButtonTest, CheckBoxKeepsItsStateThroughClicksSpaceAndUnskinning) {
    HWND box = parent_.AddButton("Box", BS_AUTOCHECKBOX, 10, 10, kW, kH);
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    ASSERT_EQ(SkinWith(box, BSK_BORDER), TRUE);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), 1);
    struct Step {
        const char *what;
        int x, y; // release point in the button; -1: space key instead
        LRESULT expected;
    } steps[] = {{"click inside", 20, 10, 0},
                 {"space", -1, 0, 1},
                 {"click inside", 50, 20, 0},
                 {"click outside", 150, 10, 0},
                 {"click inside", 5, 5, 1}};
    for (const Step &s : steps) {
        if (s.x < 0) {
            SendMessageA(box, WM_KEYUP, VK_SPACE, 0);
        } else {
            ClickAt(box, s.x, s.y);
            Leave(box);
        }
        EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), s.expected) << s.what;
    }
    SendMessageA(box, BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), 0);
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    ASSERT_EQ(SkinWith(box, BSK_XPSTYLE), TRUE); // a re-skin keeps the state
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), 1);
    ASSERT_EQ(RedrawButton(box, NULL), TRUE);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED); // the native box shows it
    ASSERT_EQ(SkinWith(box, BSK_BORDER), TRUE);                   // skinned again: read from the native box
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), 1);

    HWND push = parent_.AddButton("Push", BS_PUSHBUTTON, 10, 50, kW, kH);
    ASSERT_EQ(SkinWith(push, BSK_BORDER), TRUE);
    ValidateRect(push, NULL);
    SendMessageA(push, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageA(push, BM_GETCHECK, 0, 0), 0);
    EXPECT_TRUE(GetUpdateRect(push, NULL, FALSE)); // but repainted
    ClickAt(push, 10, 10);
    EXPECT_EQ(SendMessageA(push, BM_GETCHECK, 0, 0), 0);
}

TEST_F(SkinButtonTest, RadioGroupIsClearedOnceAroundAndNeverHangs) {
    HWND r1 = parent_.AddButton("R1", BS_AUTORADIOBUTTON, 10, 10, kW, kH, WS_GROUP);
    HWND r2 = parent_.AddButton("R2", BS_AUTORADIOBUTTON, 10, 50, kW, kH);
    HWND r3 = parent_.AddButton("R3", BS_AUTORADIOBUTTON, 10, 90, kW, kH); // stays native
    HWND other = parent_.AddButton("Other", BS_AUTORADIOBUTTON, 10, 130, kW, kH, WS_GROUP);
    SendMessageA(r3, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(other, BM_SETCHECK, BST_CHECKED, 0);
    ASSERT_EQ(SkinWith(r1, BSK_BORDER), TRUE);
    ASSERT_EQ(SkinWith(r2, BSK_BORDER), TRUE);
    CheckCounter::Install(r3);

    ClickAt(r1, 10, 10);
    Leave(r1);
    EXPECT_EQ(SendMessageA(r1, BM_GETCHECK, 0, 0), 1);
    EXPECT_EQ(SendMessageA(r2, BM_GETCHECK, 0, 0), 0);
    EXPECT_EQ(SendMessageA(r3, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(CheckCounter::s_count, 1);                            // once around the group
    EXPECT_EQ(SendMessageA(other, BM_GETCHECK, 0, 0), BST_CHECKED); // another group

    SendMessageA(r2, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(SendMessageA(r1, BM_GETCHECK, 0, 0), 0);
    EXPECT_EQ(SendMessageA(r2, BM_GETCHECK, 0, 0), 1);
    SendMessageA(r1, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageA(r2, BM_GETCHECK, 0, 0), 0);

    // A disabled button is not part of its own group walk: the walk must still end.
    EnableWindow(r2, FALSE);
    SendMessageA(r2, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageA(r2, BM_GETCHECK, 0, 0), 1);
    EXPECT_EQ(SendMessageA(r1, BM_GETCHECK, 0, 0), 0);

    ASSERT_EQ(RedrawButton(r2, NULL), TRUE); // unskinning re-applies the state natively
    EXPECT_EQ(SendMessageA(r2, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(GetWindowLongPtrA(r2, GWL_STYLE) & 0xF, BS_AUTORADIOBUTTON);
}

TEST_F(SkinButtonTest, OneHotButtonAtATimeWithTheClassCursorSwappedAndRestored) {
    HWND a = parent_.AddButton("A", BS_PUSHBUTTON, 10, 10, kW, kH);
    HWND b = parent_.AddButton("B", BS_PUSHBUTTON, 10, 50, kW, kH);
    HCURSOR hHand = LoadCursor(NULL, IDC_HAND);
    const LONG_PTR classCursor = GetClassLongPtrA(a, GCLP_HCURSOR);
    ASSERT_NE(reinterpret_cast<HCURSOR>(classCursor), hHand);
    auto withCursor = [hHand](BUTTON_SKIN &s) { s.hCursor = hHand; };
    ASSERT_EQ(SkinWith(a, BSK_FLAT | BSK_BORDER, withCursor), TRUE);
    ASSERT_EQ(SkinWith(b, BSK_BORDER, withCursor), TRUE); // no hot look: hovering does not repaint

    ValidateRect(a, NULL);
    PointerAt(a, 5, 5);
    SendMessageA(a, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(GetClassLongPtrA(a, GCLP_HCURSOR), reinterpret_cast<LONG_PTR>(hHand));
    EXPECT_TRUE(GetUpdateRect(a, NULL, FALSE)); // BSK_FLAT: the hot look differs

    // Straight onto B: B stays cold until A has had its leave; a stray leave of B does not end A's hover.
    ValidateRect(b, NULL);
    SendMessageA(b, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    Leave(b);
    ClickAt(b, 5, 5); // B's release while A is hot re-offers B the hover, which A still holds
    EXPECT_EQ(GetClassLongPtrA(a, GCLP_HCURSOR), reinterpret_cast<LONG_PTR>(hHand));
    Leave(a);
    EXPECT_EQ(GetClassLongPtrA(a, GCLP_HCURSOR), classCursor);
    SendMessageA(b, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(GetClassLongPtrA(b, GCLP_HCURSOR), reinterpret_cast<LONG_PTR>(hHand));
    EXPECT_FALSE(GetUpdateRect(b, NULL, FALSE)); // no hot look, no repaint

    // Unskinning or destroying the hot button gives the class cursor back.
    ASSERT_EQ(RedrawButton(b, NULL), TRUE);
    EXPECT_EQ(GetClassLongPtrA(a, GCLP_HCURSOR), classCursor);
    SendMessageA(a, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(GetClassLongPtrA(a, GCLP_HCURSOR), reinterpret_cast<LONG_PTR>(hHand));
    DestroyWindow(a);
    EXPECT_EQ(GetClassLongPtrA(b, GCLP_HCURSOR), classCursor);
    ASSERT_EQ(SkinWith(b, BSK_BORDER, withCursor), TRUE);
    SendMessageA(b, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)); // nothing is left hot after the destruction
    EXPECT_EQ(GetClassLongPtrA(b, GCLP_HCURSOR), reinterpret_cast<LONG_PTR>(hHand));
    Leave(b);
}

TEST_F(SkinButtonTest, AClickPressedBeforeThePreviousButtonsLeaveIsNotLost) {
    HWND a = parent_.AddButton("A", BS_PUSHBUTTON, 10, 10, kW, kH);
    HWND b = parent_.AddButton("B", BS_PUSHBUTTON, 10, 50, kW, kH);
    ASSERT_EQ(SkinWith(a, BSK_FLAT | BSK_BORDER), TRUE);
    ASSERT_EQ(SkinWith(b, BSK_FLAT | BSK_BORDER), TRUE);
    PointerAt(a, 5, 5);
    SendMessageA(a, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    // The pointer moves quickly onto B and presses; A's leave arrives only after the press.
    PointerAt(b, 5, 5);
    SendMessageA(b, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Leave(a);
    g_parentLog.clicks = 0;
    SendMessageA(b, WM_LBUTTONUP, 0, MAKELPARAM(5, 5)); // hovering starts again on B without ending the press
    EXPECT_EQ(g_parentLog.clicks, 1);
    Leave(b);
}

TEST_F(SkinButtonTest, TooltipShowsAfterTheWaitAndHidesAfterTheShowTime) {
    HWND a = parent_.AddButton("A", BS_PUSHBUTTON, 10, 10, kW, kH);
    HWND b = parent_.AddButton("B", BS_PUSHBUTTON, 10, 50, kW, kH);
    static const char kTip[] = "Converts the file";
    ASSERT_EQ(SkinWith(a, BSK_XPSTYLE | BSK_BALLOONTIP, [](BUTTON_SKIN &s) { s.pszTip = kTip; }), TRUE);
    ASSERT_EQ(SkinWith(b, BSK_XPSTYLE, [](BUTTON_SKIN &s) { s.pszTip = kTip; }), TRUE);

    PointerAt(a, 5, 5);
    SendMessageA(a, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(TipsOf(a).empty());  // waiting
    SendMessageA(b, WM_TIMER, 1, 0); // a timer message for a button that is not hot changes nothing
    SendMessageA(a, WM_TIMER, 1, 0); // the 2-second wait is over
    std::vector<HWND> tips = TipsOf(a);
    ASSERT_EQ(tips.size(), 1u);
    const LONG_PTR style = GetWindowLongPtrA(tips[0], GWL_STYLE);
    EXPECT_TRUE(style & TTS_BALLOON);
    EXPECT_TRUE(style & TTS_NOPREFIX);
    EXPECT_TRUE(GetWindowLongPtrA(tips[0], GWL_EXSTYLE) & WS_EX_TOPMOST);
    TTTOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    char text[64] = {};
    ti.lpszText = text;
    ASSERT_TRUE(SendMessageA(tips[0], TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&ti)));
    EXPECT_EQ(ti.hwnd, a);
    EXPECT_STREQ(text, kTip);
    SendMessageA(b, WM_TIMER, 1, 0);
    EXPECT_EQ(TipsOf(a).size(), 1u);
    SendMessageA(a, WM_TIMER, 1, 0); // 8 seconds later, the pointer still there
    EXPECT_TRUE(TipsOf(a).empty());
    EXPECT_FALSE(IsWindow(tips[0]));
    SendMessageA(a, WM_TIMER, 1, 0); // nothing pending: nothing comes back
    EXPECT_TRUE(TipsOf(a).empty());
    Leave(a);

    // Leaving within the wait: never shown, even when a timer message arrives late.
    PointerAt(b, 5, 5);
    SendMessageA(b, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    Leave(b);
    SendMessageA(b, WM_TIMER, 1, 0);
    EXPECT_TRUE(TipsOf(b).empty());

    // Leaving while shown hides it; a plain tip is no balloon.
    SendMessageA(b, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageA(b, WM_TIMER, 1, 0);
    tips = TipsOf(b);
    ASSERT_EQ(tips.size(), 1u);
    EXPECT_FALSE(GetWindowLongPtrA(tips[0], GWL_STYLE) & TTS_BALLOON);
    Leave(b);
    EXPECT_TRUE(TipsOf(b).empty());
}

TEST_F(SkinButtonTest, DropDownOpensInTheArrowAndTheNextClickThereOnlyClosesIt) {
    HMENU hMenu = CreatePopupMenu();
    AppendMenuA(hMenu, MF_STRING, 40001, "First");
    AppendMenuA(hMenu, MF_STRING, 40002, "Second");
    HWND button = parent_.AddButton("Menu", BS_PUSHBUTTON, 10, 10, 120, kH);
    ASSERT_EQ(SkinWith(button, BSK_BORDER | BSK_MENUBELOW, [hMenu](BUTTON_SKIN &s) { s.hMenu = hMenu; }), TRUE);
    const int arrowX = 120 - 10, mainX = 30, y = 15;

    bool bFocusedWhileOpen = false;
    g_parentLog.onMenuIdle = [&] { bFocusedWhileOpen = GetFocus() == button; };
    PointerAt(button, arrowX, y);
    EXPECT_EQ(SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(arrowX, y)), 0);
    EXPECT_EQ(g_parentLog.menuPopups, 1);
    EXPECT_EQ(g_parentLog.exitMenuLoops, 1);
    EXPECT_TRUE(bFocusedWhileOpen);
    EXPECT_EQ(GetCapture(), button); // closed over the arrow: the next press is swallowed
    EXPECT_EQ(SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(arrowX, y)), 0);
    EXPECT_EQ(g_parentLog.menuPopups, 1); // closed, not reopened
    EXPECT_NE(GetCapture(), button);

    // Open again and close it with the pointer elsewhere: no capture is left to eat the next click.
    g_parentLog.onMenuIdle = [&] { PointerAt(parent_.Hwnd(), 500, 300); };
    PointerAt(button, arrowX, y);
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(arrowX, y));
    EXPECT_EQ(g_parentLog.menuPopups, 2);
    EXPECT_NE(GetCapture(), button);

    // The main part is an ordinary click.
    PointerAt(button, mainX, y);
    SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(mainX, y));
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(mainX, y));
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(mainX, y));
    PumpMessages();
    EXPECT_EQ(g_parentLog.menuPopups, 2);
    EXPECT_EQ(g_parentLog.clicks, 1);
    Leave(button);
    DestroyMenu(hMenu);
}

TEST_F(SkinButtonTest, TransparentBitmapCutsTheWindowShape) {
    const COLORREF key = RGB(255, 0, 255);
    // A 60 x 30 bitmap: a 40 x 20 block at (10, 5) with a key-coloured hole at (30..34, 10..14).
    HBITMAP hShape = MakeBitmap(60, 30, [key](int x, int y) {
        bool bBlock = x >= 10 && x < 50 && y >= 5 && y < 25;
        bool bHole = x >= 30 && x < 35 && y >= 10 && y < 15;
        return bBlock && !bHole ? RGB(0, 120, 0) : key;
    });
    HBITMAP hFlat = MakeBitmap(60, 30, [](int, int) { return RGB(7, 7, 7); });
    HWND shaped = parent_.AddButton("", BS_PUSHBUTTON, 10, 10, 60, 30);
    HWND flat = parent_.AddButton("", BS_PUSHBUTTON, 10, 100, 60, 30);
    ASSERT_EQ(SkinWith(shaped, BSK_TRANSPARENTBMP, [hShape](BUTTON_SKIN &s) { s.hBmpNormal = hShape; }), TRUE);
    ASSERT_EQ(SkinWith(flat, BSK_TRANSPARENTBMP, [hFlat](BUTTON_SKIN &s) { s.hBmpNormal = hFlat; }), TRUE);

    HRGN hRgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetWindowRgn(shaped, hRgn), COMPLEXREGION);
    struct Probe {
        int x, y;
        bool bInside;
    } probes[] = {{10, 5, true},  {49, 24, true},  {9, 5, false},   {50, 5, false}, {10, 25, false},
                  {29, 12, true}, {30, 12, false}, {34, 14, false}, {35, 12, true}, {0, 0, false}};
    for (const Probe &p : probes) {
        EXPECT_EQ(PtInRegion(hRgn, p.x, p.y) != 0, p.bInside) << p.x << "," << p.y;
        POINT pt = {p.x, p.y};
        ClientToScreen(shaped, &pt);
        EXPECT_EQ(WindowFromPoint(pt) == shaped, p.bInside) << "hit test at " << p.x << "," << p.y;
    }
    EXPECT_EQ(GetWindowRgn(flat, hRgn), ERROR); // nothing but the key colour: the rectangle stays
    ASSERT_EQ(SkinWith(flat, BSK_TRANSPARENTBMP, [hShape](BUTTON_SKIN &s) { s.hBmpNormal = hShape; }), TRUE);
    EXPECT_EQ(GetWindowRgn(flat, hRgn), COMPLEXREGION); // a re-skin takes the new shape
    ASSERT_EQ(SkinWith(flat, BSK_BORDER), TRUE);
    EXPECT_EQ(GetWindowRgn(flat, hRgn), ERROR); // and a look without one is rectangular again

    ASSERT_EQ(RedrawButton(shaped, NULL), TRUE);
    EXPECT_EQ(GetWindowRgn(shaped, hRgn), ERROR);
    DeleteObject(hRgn);
    DestroyWindow(shaped);
    DestroyWindow(flat);
    DeleteObject(hShape);
    DeleteObject(hFlat);
}

// Checks, inside the last message a skinned button gets, that Lustrekit has let go of it.
struct LastMessageProbe {
    static inline bool s_bSeen = false;
    static inline bool s_bPropsLeft = true;
    static inline WNDPROC s_next = NULL;
    static LRESULT CALLBACK Proc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
        LRESULT result = CallWindowProcA(s_next, hwnd, uMsg, wParam, lParam);
        if (uMsg == WM_NCDESTROY) {
            s_bSeen = true;
            s_bPropsLeft = GetPropA(hwnd, "OLD_WND_PROC") != NULL || GetPropA(hwnd, "CTRL_STRUCT") != NULL;
        }
        return result;
    }
};

TEST_F(SkinButtonTest, DestroyedWindowsLoseTheirPropertiesAndStayHarmless) {
    HWND button = parent_.AddButton("Gone", BS_PUSHBUTTON, 10, 10, kW, kH);
    static const char kTip[] = "tip";
    ASSERT_EQ(SkinWith(button, BSK_XPSTYLE | BSK_FLAT, [](BUTTON_SKIN &s) { s.pszTip = kTip; }), TRUE);
    LastMessageProbe::s_next = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LastMessageProbe::Proc)));
    PointerAt(button, 5, 5);
    SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageA(button, WM_TIMER, 1, 0); // a tip is showing when the button goes
    ASSERT_EQ(TipsOf(button).size(), 1u);
    DestroyWindow(button); // the tip belongs to the top-level window: it must go with the button
    EXPECT_TRUE(AllTips().empty());
    EXPECT_TRUE(LastMessageProbe::s_bSeen);
    EXPECT_FALSE(LastMessageProbe::s_bPropsLeft);
    EXPECT_EQ(RedrawButton(button, NULL), FALSE);

    // The next button hovers, shows and hides its tip normally: no stale hot button or tip is left.
    HWND next = parent_.AddButton("Next", BS_PUSHBUTTON, 10, 50, kW, kH);
    ASSERT_EQ(SkinWith(next, BSK_XPSTYLE, [](BUTTON_SKIN &s) { s.pszTip = kTip; }), TRUE);
    PointerAt(next, 5, 5);
    SendMessageA(next, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageA(next, WM_TIMER, 1, 0);
    EXPECT_EQ(TipsOf(next).size(), 1u);
    Leave(next);
    EXPECT_TRUE(TipsOf(next).empty());

    // The parent's subclass goes with it too.
    HWND hwndParent = parent_.Hwnd();
    LastMessageProbe::s_bSeen = false;
    LastMessageProbe::s_next = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwndParent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LastMessageProbe::Proc)));
    DestroyWindow(hwndParent);
    EXPECT_TRUE(LastMessageProbe::s_bSeen);
    EXPECT_FALSE(LastMessageProbe::s_bPropsLeft);
}

} // namespace
