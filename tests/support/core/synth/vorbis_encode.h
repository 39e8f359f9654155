// Test utility: 16-bit mono points as an Ogg Vorbis stream, the way SoundFont 3 files hold their samples.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include <vorbis/vorbisenc.h>

namespace tw::test {

// Encodes points at rate Hz with the given quality (-0.1..1); channels > 1 repeats the points in each channel
// (SoundFont 3 files have mono streams only: a test of the reader's refusal).
inline std::vector<uint8_t> EncodeVorbis(const std::vector<int16_t> &points, uint32_t rate, float quality = 0.5f,
                                         int channels = 1) {
    std::vector<uint8_t> out;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, static_cast<long>(rate), quality) != 0) {
        vorbis_info_clear(&info);
        return out;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);
    ogg_page page;
    ogg_packet packet;
    auto takePages = [&](bool flush) {
        while (flush ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) {
            out.insert(out.end(), page.header, page.header + page.header_len);
            out.insert(out.end(), page.body, page.body + page.body_len);
        }
    };
    ogg_packet header, commentHeader, codebooks;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codebooks);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codebooks);
    takePages(true); // audio starts on a page of its own
    const size_t kChunk = 1024;
    for (size_t at = 0;; at += kChunk) {
        const size_t n = at < points.size() ? std::min(kChunk, points.size() - at) : 0;
        if (n > 0) {
            float **buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
            for (int c = 0; c < channels; ++c)
                for (size_t i = 0; i < n; ++i)
                    buffer[c][i] = points[at + i] / 32768.0f;
        }
        vorbis_analysis_wrote(&dsp, static_cast<int>(n)); // 0: the end of the stream
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                takePages(false);
            }
        }
        if (n == 0)
            break;
    }
    takePages(true);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

} // namespace tw::test
