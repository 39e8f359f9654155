// Developer trace: harmless without a viewer, and lines appended to a viewer's edit control one per line.
#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/app/engine/fake_viewer.h"
#include "trace.h"

namespace {

TEST(TraceWithoutViewer, TracingIsHarmlessAndStartsNothing) {
    ASSERT_EQ(nullptr, FindWindowA(FakeViewer::kClassName, nullptr)) << "a debug viewer is running";
    TraceLine("pPerformance->InitAudio - FAILED");
    TraceLine("");
    TraceLine(nullptr);
    // The viewer program is never launched, so still no viewer window exists.
    EXPECT_EQ(nullptr, FindWindowA(FakeViewer::kClassName, nullptr));
}

TEST(TraceWithViewer, TwoLinesLandOnSeparateLinesWithoutLeadingBreak) {
    FakeViewer viewer;
    ASSERT_NE(nullptr, viewer.m_hEdit) << "no window could be created (run under Xvfb)";
    TraceLine("pLoader->GetObject - FAILED");
    EXPECT_EQ("pLoader->GetObject - FAILED", viewer.Text());
    TraceLine("The file requested is not a valid file.");
    EXPECT_EQ("pLoader->GetObject - FAILED\r\nThe file requested is not a valid file.", viewer.Text());
}

TEST(TraceWithViewer, LinesAppendAtTheEndWhereverTheCaretIs) {
    FakeViewer viewer;
    ASSERT_NE(nullptr, viewer.m_hEdit);
    SetWindowTextA(viewer.m_hEdit, "earlier");
    SendMessageA(viewer.m_hEdit, EM_SETSEL, 0, 0); // as if the developer clicked at the start
    TraceLine("later");
    EXPECT_EQ("earlier\r\nlater", viewer.Text());
}

const int kTraceThreads = 4;
const int kLinesPerThread = 25;

DWORD WINAPI TraceFromThread(void *pParam) {
    int nThread = static_cast<int>(reinterpret_cast<INT_PTR>(pParam));
    for (int i = 0; i < kLinesPerThread; ++i) {
        std::string line = "thread " + std::to_string(nThread) + " line " + std::to_string(i) + " - FAILED";
        TraceLine(line.c_str());
    }
    return 0;
}

// The dialog, the worker and DirectMusic's thread trace at once: no line may be split or glued to another.
TEST(TraceWithViewer, LinesFromSeveralThreadsStayWhole) {
    FakeViewer viewer;
    ASSERT_NE(nullptr, viewer.m_hEdit);
    HANDLE hThreads[kTraceThreads];
    for (int t = 0; t < kTraceThreads; ++t) {
        hThreads[t] =
            CreateThread(nullptr, 0, TraceFromThread, reinterpret_cast<void *>(static_cast<INT_PTR>(t)), 0, nullptr);
        ASSERT_NE(nullptr, hThreads[t]);
    }
    // The edit control belongs to this thread, so it keeps pumping messages while the tracers run.
    DWORD nRunning = kTraceThreads;
    while (nRunning > 0) {
        DWORD dwWait = MsgWaitForMultipleObjects(nRunning, hThreads, FALSE, INFINITE, QS_ALLINPUT);
        if (dwWait == WAIT_OBJECT_0 + nRunning) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageA(&msg);
            }
        } else if (dwWait < WAIT_OBJECT_0 + nRunning) {
            DWORD nDone = dwWait - WAIT_OBJECT_0;
            CloseHandle(hThreads[nDone]);
            hThreads[nDone] = hThreads[nRunning - 1];
            --nRunning;
        } else {
            FAIL() << "wait failed";
        }
    }
    std::vector<int> linesSeen(kTraceThreads, 0);
    std::istringstream text(viewer.Text());
    std::string line;
    int nLines = 0;
    while (std::getline(text, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        int nThread = -1;
        int nLine = -1;
        char szTail[16] = {};
        ASSERT_EQ(3, sscanf(line.c_str(), "thread %d line %d - %15s", &nThread, &nLine, szTail)) << line;
        ASSERT_GE(nThread, 0);
        ASSERT_LT(nThread, kTraceThreads);
        EXPECT_STREQ("FAILED", szTail);
        EXPECT_EQ(linesSeen[nThread], nLine) << "lines of one thread keep their order";
        ++linesSeen[nThread];
        ++nLines;
    }
    EXPECT_EQ(kTraceThreads * kLinesPerThread, nLines);
}

} // namespace
