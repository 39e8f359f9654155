// Test helper: feeds a recording to the real capture effect, as DirectSound's buffer would, and captures traces.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine.h"
#include "engine_state.h"
#include "support/platform/capturefx/pcm_test_types.h"
#include "support/platform/capturefx/register_capture.h"

// 16-bit little-endian bytes of the given samples.
inline std::vector<BYTE> Samples16(const std::vector<int> &samples) {
    std::vector<BYTE> bytes;
    for (int s : samples) {
        bytes.push_back(static_cast<BYTE>(s & 0xFF));
        bytes.push_back(static_cast<BYTE>((s >> 8) & 0xFF));
    }
    return bytes;
}

// The 16-bit samples of a WAV file's data, after the 56-byte header.
inline std::vector<int> DataSamples(const std::vector<uint8_t> &file) {
    std::vector<int> samples;
    for (size_t i = 56; i + 1 < file.size(); i += 2) {
        samples.push_back(static_cast<int16_t>(file[i] | (file[i + 1] << 8)));
    }
    return samples;
}

// Registers the capture effect and finds it, as the dialog does at start-up (COM initialised here).
inline void RegisterAndFindCaptureEffect() {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    ASSERT_TRUE(RunRegsvr32(true));
    ASSERT_EQ(S_OK, FindFilter());
}

// Gives back what FindFilter obtained.
inline void ReleaseCaptureInterfaces() {
    if (pCaptureControl != nullptr) {
        pCaptureControl->Release();
        pCaptureControl = nullptr;
    }
    if (pCaptureDMO != nullptr) {
        pCaptureDMO->Release();
        pCaptureDMO = nullptr;
    }
}

// Gives back what FindFilter obtained, and COM.
inline void ReleaseCaptureEffect() {
    ReleaseCaptureInterfaces();
    CoUninitialize();
}

// Creates an instance of the effect FindFilter found, attaches it to a "buffer" of the given PCM format and
// processes the bytes in blocks of cbBlock, as the buffer's effect chain does.
inline void RecordThroughEffect(WORD nChannels, DWORD nRate, WORD wBits, const std::vector<BYTE> &bytes,
                                size_t cbBlock = 1764) {
    IMediaObject *pDmo = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(g_captureEffectDesc.guidDSFXClass, nullptr, CLSCTX_INPROC_SERVER, IID_IMediaObject,
                                     reinterpret_cast<void **>(&pDmo)));
    WAVEFORMATEX wfx = PcmFormat(nChannels, nRate, wBits);
    DMO_MEDIA_TYPE mt = MediaTypeOf(wfx);
    ASSERT_EQ(S_OK, pDmo->SetInputType(0, &mt, 0));
    ASSERT_EQ(S_OK, pDmo->SetOutputType(0, &mt, 0));
    IMediaObjectInPlace *pInPlace = nullptr;
    ASSERT_EQ(S_OK, pDmo->QueryInterface(IID_IMediaObjectInPlace, reinterpret_cast<void **>(&pInPlace)));
    std::vector<BYTE> block;
    for (size_t i = 0; i < bytes.size(); i += cbBlock) {
        block.assign(bytes.begin() + i, bytes.begin() + (i + cbBlock < bytes.size() ? i + cbBlock : bytes.size()));
        EXPECT_EQ(S_OK, pInPlace->Process(static_cast<ULONG>(block.size()), block.data(), 0, DMO_INPLACE_NORMAL));
    }
    pInPlace->Release();
    pDmo->Release();
}
