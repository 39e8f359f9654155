// Small file helpers shared by the audio tests: scratch paths, whole-file reads and writes.
#pragma once

#include <windows.h>

#include <stdint.h>
#include <stdio.h>
#include <string>
#include <vector>

// A scratch folder of the audio tests inside TEST_TEMP_DIR, created on first use.
inline std::string AudioTempPath(const std::string &folder, const std::string &name) {
    const std::string dir = std::string(TEST_TEMP_DIR) + "/" + folder;
    CreateDirectoryA(TEST_TEMP_DIR, NULL);
    CreateDirectoryA(dir.c_str(), NULL);
    return dir + "/" + name;
}

inline bool FileExists(const std::string &path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline std::vector<uint8_t> ReadWholeFile(const std::string &path) {
    std::vector<uint8_t> bytes;
    FILE *pFile = fopen(path.c_str(), "rb");
    if (pFile == NULL) {
        return bytes;
    }
    uint8_t abChunk[65536];
    size_t cb;
    while ((cb = fread(abChunk, 1, sizeof(abChunk), pFile)) > 0) {
        bytes.insert(bytes.end(), abChunk, abChunk + cb);
    }
    fclose(pFile);
    return bytes;
}

inline void WriteWholeFile(const std::string &path, const std::vector<uint8_t> &bytes) {
    FILE *pFile = fopen(path.c_str(), "wb");
    if (pFile != NULL) {
        if (!bytes.empty()) {
            fwrite(bytes.data(), 1, bytes.size(), pFile);
        }
        fclose(pFile);
    }
}

inline uint32_t ReadU32(const std::vector<uint8_t> &bytes, size_t offset) {
    return static_cast<uint32_t>(bytes[offset]) | static_cast<uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<uint32_t>(bytes[offset + 2]) << 16 | static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

// The format the converter passes for its WAV files: PCM, one channel, 16 bits.
inline WAVEFORMATEX MonoPcmFormat(DWORD rate) {
    WAVEFORMATEX wfx = {};
    wfx.wFormatTag = WAVE_FORMAT_PCM;
    wfx.nChannels = 1;
    wfx.nSamplesPerSec = rate;
    wfx.nAvgBytesPerSec = rate * 2;
    wfx.nBlockAlign = 2;
    wfx.wBitsPerSample = 16;
    wfx.cbSize = 0;
    return wfx;
}
