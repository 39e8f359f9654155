// CEncodeQueue: a queue of recorded MP3 jobs and the threads that encode them.
#include "encode_queue.h"

#include <cstdio>

namespace {

SRWLOCK g_srwOutput = SRWLOCK_INIT;
const size_t kErrorSize = 8192;

} // namespace

void PrintLine(FILE *pStream, const std::string &line) {
    AcquireSRWLockExclusive(&g_srwOutput);
    std::fprintf(pStream, "%s\n", line.c_str());
    std::fflush(pStream);
    ReleaseSRWLockExclusive(&g_srwOutput);
}

CEncodeQueue::CEncodeQueue(int nThreads, int nWaiting) : m_nWaitingLimit(static_cast<size_t>(nWaiting)) {
    for (int i = 0; i < nThreads; ++i) {
        HANDLE hThread = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
        if (hThread != nullptr)
            m_threads.push_back(hThread);
    }
}

CEncodeQueue::~CEncodeQueue() {
    Finish();
}

void CEncodeQueue::Encode(const Item &item) {
    std::vector<char> error(kErrorSize);
    DWORD dwStart = GetTickCount();
    if (FinishMp3Recording(item.job, error.data(), error.size())) {
        char szTime[32];
        std::snprintf(szTime, sizeof szTime, ", encoded in %.1f s", (GetTickCount() - dwStart) / 1000.0);
        PrintLine(stdout, item.file + " -> " + item.job.szPath + " (" + item.details + szTime + ")");
        return;
    }
    PrintLine(stderr, "error: " + item.file + ": " + error.data());
    AcquireSRWLockExclusive(&m_lock);
    ++m_nFailed;
    ReleaseSRWLockExclusive(&m_lock);
}

void CEncodeQueue::Add(const std::string &file, const Mp3Job &job, const std::string &details) {
    Item item = {file, details, job};
    if (m_threads.empty()) {
        Encode(item);
        return;
    }
    AcquireSRWLockExclusive(&m_lock);
    while (m_waiting.size() >= m_nWaitingLimit)
        SleepConditionVariableSRW(&m_changed, &m_lock, INFINITE, 0);
    m_waiting.push_back(item);
    ReleaseSRWLockExclusive(&m_lock);
    WakeAllConditionVariable(&m_changed);
}

int CEncodeQueue::Finish() {
    AcquireSRWLockExclusive(&m_lock);
    m_bClosing = true;
    ReleaseSRWLockExclusive(&m_lock);
    WakeAllConditionVariable(&m_changed);
    for (HANDLE hThread : m_threads) {
        WaitForSingleObject(hThread, INFINITE);
        CloseHandle(hThread);
    }
    m_threads.clear();
    return m_nFailed;
}

DWORD WINAPI CEncodeQueue::ThreadProc(LPVOID pParam) {
    static_cast<CEncodeQueue *>(pParam)->Run();
    return 0;
}

void CEncodeQueue::Run() {
    for (;;) {
        AcquireSRWLockExclusive(&m_lock);
        while (m_waiting.empty() && !m_bClosing)
            SleepConditionVariableSRW(&m_changed, &m_lock, INFINITE, 0);
        if (m_waiting.empty()) {
            ReleaseSRWLockExclusive(&m_lock);
            return;
        }
        Item item = m_waiting.front();
        m_waiting.erase(m_waiting.begin());
        ReleaseSRWLockExclusive(&m_lock);
        WakeAllConditionVariable(&m_changed);
        Encode(item);
    }
}
