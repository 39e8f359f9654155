// CWaveOut: the waveOut device, its ring of buffers and its play position.
#include "wave_out.h"

#include <mmsystem.h>

bool CWaveOut::Open(DWORD dwSampleRate) {
    WAVEFORMATEX wfx = {};
    wfx.wFormatTag = WAVE_FORMAT_PCM;
    wfx.nChannels = 2;
    wfx.nSamplesPerSec = dwSampleRate;
    wfx.wBitsPerSample = 16;
    wfx.nBlockAlign = 4;
    wfx.nAvgBytesPerSec = dwSampleRate * wfx.nBlockAlign;
    m_hDone = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (m_hDone == nullptr) {
        return false;
    }
    HWAVEOUT hWaveOut = nullptr;
    if (waveOutOpen(&hWaveOut, WAVE_MAPPER, &wfx, reinterpret_cast<DWORD_PTR>(m_hDone), 0, CALLBACK_EVENT) !=
        MMSYSERR_NOERROR) {
        Close();
        return false;
    }
    m_hWaveOut = hWaveOut;
    for (int i = 0; i < kBufferCount; ++i) {
        m_aHeaders[i].lpData = reinterpret_cast<LPSTR>(m_aSamples[i]);
        m_aHeaders[i].dwBufferLength = sizeof(m_aSamples[i]);
        if (waveOutPrepareHeader(m_hWaveOut, &m_aHeaders[i], sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
            Close();
            return false;
        }
        m_aHeaders[i].dwFlags |= WHDR_DONE; // free until first written
    }
    m_nNext = 0;
    return true;
}

void CWaveOut::Close() {
    if (m_hWaveOut != nullptr) {
        waveOutReset(m_hWaveOut);
        for (int i = 0; i < kBufferCount; ++i) {
            if (m_aHeaders[i].dwFlags & WHDR_PREPARED) {
                waveOutUnprepareHeader(m_hWaveOut, &m_aHeaders[i], sizeof(WAVEHDR));
            }
        }
        waveOutClose(m_hWaveOut);
        m_hWaveOut = nullptr;
    }
    if (m_hDone != nullptr) {
        CloseHandle(m_hDone);
        m_hDone = nullptr;
    }
}

bool CWaveOut::Write(const int16_t *pSamples, int nFrames, HANDLE hStop) {
    WAVEHDR &header = m_aHeaders[m_nNext];
    HANDLE ahWait[2] = {hStop, m_hDone};
    while ((header.dwFlags & WHDR_DONE) == 0) {
        if (WaitForMultipleObjects(2, ahWait, FALSE, INFINITE) == WAIT_OBJECT_0) {
            return false;
        }
    }
    int nCopy = nFrames < kBufferFrames ? nFrames : kBufferFrames;
    CopyMemory(m_aSamples[m_nNext], pSamples, sizeof(int16_t) * 2 * nCopy);
    header.dwBufferLength = static_cast<DWORD>(sizeof(int16_t) * 2 * nCopy);
    header.dwFlags &= ~WHDR_DONE;
    if (waveOutWrite(m_hWaveOut, &header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
        header.dwFlags |= WHDR_DONE;
        return false;
    }
    m_nNext = (m_nNext + 1) % kBufferCount;
    return true;
}

void CWaveOut::Drain(HANDLE hStop) {
    HANDLE ahWait[2] = {hStop, m_hDone};
    for (int i = 0; i < kBufferCount; ++i) {
        while ((m_aHeaders[i].dwFlags & WHDR_DONE) == 0) {
            if (WaitForMultipleObjects(2, ahWait, FALSE, INFINITE) == WAIT_OBJECT_0) {
                return;
            }
        }
    }
}

int64_t CWaveOut::PlayedFrames() const {
    if (m_hWaveOut == nullptr) {
        return 0;
    }
    MMTIME time = {};
    time.wType = TIME_SAMPLES;
    if (waveOutGetPosition(m_hWaveOut, &time, sizeof(time)) != MMSYSERR_NOERROR || time.wType != TIME_SAMPLES) {
        return 0;
    }
    return time.u.sample;
}
