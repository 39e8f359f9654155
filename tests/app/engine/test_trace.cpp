// Developer trace: harmless without a viewer, and lines appended to a viewer's edit control one per line.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "trace.h"

namespace {

const char kViewerClass[] = "DbgWinClass";

std::string EditText(HWND hEdit) {
    char szText[1024] = {};
    GetWindowTextA(hEdit, szText, sizeof(szText));
    return szText;
}

// A stand-in for the debug viewer: a top-level window of the viewer's class with an edit child.
class FakeViewer {
public:
    FakeViewer() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kViewerClass;
        RegisterClassA(&wc);
        m_hWnd = CreateWindowA(kViewerClass, "trace test viewer", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                               wc.hInstance, nullptr);
        if (m_hWnd != nullptr) {
            m_hEdit = CreateWindowA("Edit", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, 0, 0, 300, 200,
                                    m_hWnd, nullptr, wc.hInstance, nullptr);
        }
    }
    ~FakeViewer() {
        if (m_hWnd != nullptr) {
            DestroyWindow(m_hWnd);
        }
        UnregisterClassA(kViewerClass, GetModuleHandleA(nullptr));
    }
    HWND m_hWnd = nullptr;
    HWND m_hEdit = nullptr;
};

TEST(TraceWithoutViewer, TracingIsHarmlessAndStartsNothing) {
    ASSERT_EQ(nullptr, FindWindowA(kViewerClass, nullptr)) << "a debug viewer is running";
    TraceLine("pPerformance->InitAudio - FAILED");
    TraceLine("");
    TraceLine(nullptr);
    // The viewer program is never launched, so still no viewer window exists.
    EXPECT_EQ(nullptr, FindWindowA(kViewerClass, nullptr));
}

TEST(TraceWithViewer, TwoLinesLandOnSeparateLinesWithoutLeadingBreak) {
    FakeViewer viewer;
    ASSERT_NE(nullptr, viewer.m_hEdit) << "no window could be created (no display?)";
    TraceLine("pLoader->GetObject - FAILED");
    EXPECT_EQ("pLoader->GetObject - FAILED", EditText(viewer.m_hEdit));
    TraceLine("The file requested is not a valid file.");
    EXPECT_EQ("pLoader->GetObject - FAILED\r\nThe file requested is not a valid file.", EditText(viewer.m_hEdit));
}

TEST(TraceWithViewer, LinesAppendAtTheEndWhereverTheCaretIs) {
    FakeViewer viewer;
    ASSERT_NE(nullptr, viewer.m_hEdit);
    SetWindowTextA(viewer.m_hEdit, "earlier");
    SendMessageA(viewer.m_hEdit, EM_SETSEL, 0, 0); // as if the developer clicked at the start
    TraceLine("later");
    EXPECT_EQ("earlier\r\nlater", EditText(viewer.m_hEdit));
}

} // namespace
