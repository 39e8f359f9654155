// libFuzzer target: the MIDI file parser on arbitrary bytes must neither fault nor point outside the image.
#include "smf_file.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    tw::smf::File file;
    tw::smf::ReadSmf(data, size, file);
    for (const auto &track : file.tracks)
        for (const tw::smf::Event &e : track)
            if (static_cast<size_t>(e.offset) + e.length > file.bytes.size() ||
                (e.isChannel() && (e.data1 >= 0x80 || e.data2 >= 0x80)))
                std::abort();
    if ((file.status == tw::smf::Status::Ok) != file.error.empty())
        std::abort();
    return 0;
}
