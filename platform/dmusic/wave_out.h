// Listening output: 16-bit stereo blocks queued to the sound card with waveOut, a few milliseconds each.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

class CWaveOut {
public:
    static const int kBufferFrames = 512; // 11.6 ms at 44,100 Hz
    static const int kBufferCount = 6;    // at most 70 ms queued ahead of the loudspeaker

    CWaveOut() = default;
    ~CWaveOut() { Close(); }
    CWaveOut(const CWaveOut &) = delete;
    CWaveOut &operator=(const CWaveOut &) = delete;

    // False when there is no usable sound device.
    bool Open(DWORD dwSampleRate);
    void Close();

    // Queues kBufferFrames or fewer frames of interleaved samples, waiting for a free buffer; false when
    // hStop was signalled first or the device refused the block.
    bool Write(const int16_t *pSamples, int nFrames, HANDLE hStop);
    // Waits until everything queued has played (or hStop).
    void Drain(HANDLE hStop);
    // Frames the device has played so far.
    int64_t PlayedFrames() const;

private:
    std::atomic<HWAVEOUT> m_hWaveOut{nullptr}; // PlayedFrames reads it from the engine's thread
    HANDLE m_hDone = nullptr;                  // signalled by the device whenever a buffer has played
    WAVEHDR m_aHeaders[kBufferCount] = {};
    int16_t m_aSamples[kBufferCount][kBufferFrames * 2] = {};
    int m_nNext = 0;
};
