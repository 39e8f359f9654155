// What the stand-in's own threads share: COM for the effects they feed, and how they are ended.
#pragma once

#include <windows.h>

// COM on a thread that feeds the buffer's effects: they are COM objects and may use COM there.
class CEffectsThreadCom {
public:
    CEffectsThreadCom() : m_hr(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~CEffectsThreadCom() {
        if (SUCCEEDED(m_hr)) {
            CoUninitialize();
        }
    }
    CEffectsThreadCom(const CEffectsThreadCom &) = delete;
    CEffectsThreadCom &operator=(const CEffectsThreadCom &) = delete;

private:
    HRESULT m_hr;
};

// Waits until the thread has ended, then closes its handle and forgets it.
inline void JoinThread(HANDLE &hThread) {
    WaitForSingleObject(hThread, INFINITE);
    CloseHandle(hThread);
    hThread = nullptr;
}
