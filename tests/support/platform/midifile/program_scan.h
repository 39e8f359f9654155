// A second, strict program-change scan of well-formed MIDI files, written apart from the parser to check it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace scan {

inline std::vector<uint8_t> Load(const std::string &path) {
    std::vector<uint8_t> bytes;
    if (std::FILE *f = std::fopen(path.c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF)
            bytes.push_back(static_cast<uint8_t>(c));
        std::fclose(f);
    }
    return bytes;
}

inline uint32_t Big(const std::vector<uint8_t> &b, size_t at, int count) {
    uint32_t v = 0;
    for (int i = 0; i < count; ++i)
        v = v << 8 | b.at(at + i);
    return v;
}

// Programs selected by the file; false when the file is not strictly well-formed (the scan then proves nothing).
inline bool Programs(const std::vector<uint8_t> &b, std::set<int> &programs) {
    if (b.size() < 14 || std::string(b.begin(), b.begin() + 4) != "MThd")
        return false;
    size_t chunk = 8 + Big(b, 4, 4);
    while (chunk + 8 <= b.size()) {
        std::string id(b.begin() + chunk, b.begin() + chunk + 4);
        size_t end = chunk + 8 + Big(b, chunk + 4, 4);
        if (end > b.size())
            return false;
        size_t i = chunk + 8;
        uint8_t running = 0;
        while (id == "MTrk" && i < end) {
            while (b.at(i) & 0x80) // delta time
                ++i;
            ++i;
            uint8_t first = b.at(i);
            uint8_t status = first >= 0x80 ? first : running;
            if (first >= 0x80)
                ++i;
            if (status == 0xFF || status == 0xF0 || status == 0xF7) {
                if (status == 0xFF)
                    ++i; // meta type
                uint32_t length = 0;
                do
                    length = length << 7 | (b.at(i) & 0x7F);
                while (b.at(i++) & 0x80);
                i += length;
            } else if (status >= 0x80 && status < 0xF0) {
                running = status;
                if ((status & 0xF0) == 0xC0)
                    programs.insert(b.at(i));
                i += ((status & 0xE0) == 0xC0) ? 1 : 2; // Cn and Dn carry one data byte
            } else {
                return false;
            }
        }
        if (i != end && id == "MTrk")
            return false;
        chunk = end;
    }
    return chunk == b.size();
}

} // namespace scan
