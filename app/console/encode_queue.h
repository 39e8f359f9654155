// MP3 files encoded on threads of their own while the next pieces play: the encoder costs more than the
// rendering, so a batch keeps both at work. Each file is the same to the bit as one encoded at once.
#pragma once

#include "recording_writer.h"

#include <windows.h>

#include <string>
#include <vector>

// One line of output at a time, from any thread.
void PrintLine(FILE *pStream, const std::string &line);

class CEncodeQueue {
public:
    // nThreads encoders; at most nWaiting jobs wait for one (Add blocks beyond that).
    CEncodeQueue(int nThreads, int nWaiting);
    ~CEncodeQueue(); // Finish()
    CEncodeQueue(const CEncodeQueue &) = delete;
    CEncodeQueue &operator=(const CEncodeQueue &) = delete;

    // Encodes the job; prints "file -> path (details)" or the error when done. Without threads it encodes here.
    void Add(const std::string &file, const Mp3Job &job, const std::string &details);
    // Waits for every job; returns how many failed.
    int Finish();

private:
    struct Item {
        std::string file, details;
        Mp3Job job;
    };
    static DWORD WINAPI ThreadProc(LPVOID pParam);
    void Run();
    void Encode(const Item &item);

    std::vector<HANDLE> m_threads;
    std::vector<Item> m_waiting;
    size_t m_nWaitingLimit;
    SRWLOCK m_lock = SRWLOCK_INIT; // guards the fields below
    CONDITION_VARIABLE m_changed = CONDITION_VARIABLE_INIT;
    bool m_bClosing = false;
    int m_nFailed = 0;
};
