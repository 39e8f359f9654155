// Loads a MIDI file from disk for the parser.
#include "smf_file.h"

#include <cstdio>
#include <new>

namespace tw::smf {

bool ReadFileBytes(const std::string &path, std::vector<uint8_t> &bytes, std::string &error) {
    bytes.clear();
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = "The file cannot be opened";
        return false;
    }
    // Read in blocks rather than trusting a size from seeking: pipes and special files report none.
    uint8_t block[16384];
    bool ok = true;
    for (;;) {
        size_t got = std::fread(block, 1, sizeof block, file);
        if (bytes.size() + got > kMaxFileBytes) {
            error = "The file is too large to be a MIDI file";
            ok = false;
            break;
        }
        try {
            bytes.insert(bytes.end(), block, block + got);
        } catch (const std::bad_alloc &) {
            error = "Not enough memory to read the file";
            ok = false;
            break;
        }
        if (got < sizeof block) {
            if (std::ferror(file)) {
                error = "The file cannot be read";
                ok = false;
            }
            break;
        }
    }
    std::fclose(file);
    if (!ok)
        bytes.clear();
    return ok;
}

Status ReadSmfFile(const std::string &path, File &out) {
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadFileBytes(path, bytes, error)) {
        out = File();
        out.status = Status::NotSmf;
        out.error = error;
        return out.status;
    }
    return ReadSmf(bytes.data(), bytes.size(), out);
}

} // namespace tw::smf
