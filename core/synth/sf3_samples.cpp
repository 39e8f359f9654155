// SoundFont 3 samples decoded with libvorbisfile from memory: lengths first, then one allocation and the points.
#include "sf3_samples.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <new>
#include <system_error>
#include <thread>

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include "sf2_file.h"
#include "synth.h"

namespace tw::synth::sf3 {
namespace {

using sf2::Damaged;
using sf2::Quoted;

// No Vorbis packet gives more than 4,096 points, and an Ogg page carries at most 255 packets in 282 bytes and
// more: a stream that claims more points per byte lies about its length.
constexpr uint64_t kMaxPointsPerByte = 4096;
constexpr int kReadBytes = 1 << 15; // bytes asked of the decoder at a time

// One stream's bytes, read through vorbisfile's callbacks.
struct MemoryStream {
    const uint8_t *data;
    size_t size;
    size_t pos;
};

size_t ReadStream(void *buffer, size_t size, size_t count, void *source) {
    MemoryStream &s = *static_cast<MemoryStream *>(source);
    if (size == 0)
        return 0;
    const size_t n = std::min(count, (s.size - s.pos) / size);
    std::memcpy(buffer, s.data + s.pos, n * size);
    s.pos += n * size;
    return n;
}

int SeekStream(void *source, ogg_int64_t offset, int whence) {
    MemoryStream &s = *static_cast<MemoryStream *>(source);
    const int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? int64_t(s.pos) : int64_t(s.size);
    if (offset < -base || offset > int64_t(s.size) - base)
        return -1;
    s.pos = static_cast<size_t>(base + offset);
    return 0;
}

long TellStream(void *source) {
    return static_cast<long>(static_cast<MemoryStream *>(source)->pos);
}

bool HostIsBigEndian() {
    const uint16_t one = 1;
    return *reinterpret_cast<const uint8_t *>(&one) == 0;
}

// One sample's Vorbis stream, opened over its bytes; closed with the object.
class VorbisSample {
public:
    VorbisSample(const uint8_t *data, size_t size) : stream_{data, size, 0} {}
    ~VorbisSample() {
        if (open_)
            ov_clear(&file_);
    }
    VorbisSample(const VorbisSample &) = delete;
    VorbisSample &operator=(const VorbisSample &) = delete;

    // Opens the stream and finds its length in points; why gets the reason when it cannot be used.
    bool open(uint64_t &points, std::string &why) {
        const ov_callbacks callbacks = {ReadStream, SeekStream, nullptr, TellStream};
        open_ = ov_open_callbacks(&stream_, &file_, nullptr, 0, callbacks) == 0;
        if (!open_) {
            why = "is not an Ogg Vorbis stream";
            return false;
        }
        const vorbis_info *info = ov_info(&file_, -1);
        if (ov_streams(&file_) != 1 || !info) {
            why = "holds more than one Vorbis stream";
            return false;
        }
        if (info->channels != 1) {
            why = "has " + std::to_string(info->channels) + " channels instead of one";
            return false;
        }
        const ogg_int64_t total = ov_pcm_total(&file_, -1);
        if (total < 0 || static_cast<uint64_t>(total) > kMaxPointsPerByte * stream_.size) {
            why = "gives no believable length";
            return false;
        }
        points = static_cast<uint64_t>(total);
        return true;
    }

    // Decodes up to points values into out; returns how many it gave, or -1 when the stream is broken.
    int64_t decode(int16_t *out, uint64_t points) {
        uint64_t done = 0;
        int section = 0;
        while (done < points) {
            const uint64_t room = std::min<uint64_t>(points - done, kReadBytes / 2);
            const long got = ov_read(&file_, reinterpret_cast<char *>(out + done), static_cast<int>(room * 2),
                                     HostIsBigEndian() ? 1 : 0, 2, 1, &section);
            if (got == 0)
                break;
            if (got < 0 || got % 2 != 0)
                return -1;
            done += static_cast<uint64_t>(got) / 2;
        }
        return static_cast<int64_t>(done);
    }

private:
    MemoryStream stream_;
    OggVorbis_File file_;
    bool open_ = false;
};

bool IsVorbis(const sf2::sfSample &h) {
    return (h.sfSampleType & kSampleTypeVorbis) && !(h.sfSampleType & sf2::kSampleTypeRomFlag);
}

// The points a sample will take in the store.
LoadStatus MeasureSample(const sf2::File &file, const sf2::sfSample &h, uint64_t &points, std::string &error) {
    points = 0;
    if (h.sfSampleType & sf2::kSampleTypeRomFlag)
        return LoadStatus::Ok;
    const size_t limit = IsVorbis(h) ? file.smplBytes : file.smplBytes / 2;
    if (h.dwStart > h.dwEnd || h.dwEnd > limit)
        return Damaged(error, "sample " + Quoted(h.achSampleName) + " lies outside the sample data");
    if (!IsVorbis(h) || h.dwEnd == h.dwStart) {
        points = h.dwEnd - h.dwStart;
        return LoadStatus::Ok;
    }
    VorbisSample sample(file.smpl + h.dwStart, h.dwEnd - h.dwStart);
    std::string why;
    if (!sample.open(points, why))
        return Damaged(error, "sample " + Quoted(h.achSampleName) + " " + why);
    return LoadStatus::Ok;
}

// Puts a sample's points at store[at..at + points) and points its header there.
LoadStatus StoreSample(const sf2::File &file, sf2::sfSample &h, uint64_t at, uint64_t points,
                       std::vector<int16_t> &store, std::string &error) {
    if (h.sfSampleType & sf2::kSampleTypeRomFlag)
        return LoadStatus::Ok;
    int16_t *out = store.data() + at;
    if (!IsVorbis(h)) {
        const uint8_t *in = file.smpl + 2 * size_t(h.dwStart);
        for (uint64_t i = 0; i < points; ++i)
            out[i] = static_cast<int16_t>(in[2 * i] | (in[2 * i + 1] << 8));
        // Loop points of PCM samples count from the data's start, as in SF2.
        h.dwStartloop = static_cast<uint32_t>(std::clamp<int64_t>(int64_t(h.dwStartloop) - h.dwStart, 0, points));
        h.dwEndloop = static_cast<uint32_t>(std::clamp<int64_t>(int64_t(h.dwEndloop) - h.dwStart, 0, points));
    } else if (points > 0) {
        VorbisSample sample(file.smpl + h.dwStart, h.dwEnd - h.dwStart);
        uint64_t expected = 0;
        std::string why;
        if (!sample.open(expected, why))
            return Damaged(error, "sample " + Quoted(h.achSampleName) + " " + why);
        const int64_t got = sample.decode(out, points);
        if (got < 0)
            return Damaged(error, "sample " + Quoted(h.achSampleName) + " has a broken Vorbis stream");
        if (static_cast<uint64_t>(got) < points)
            return Damaged(error, "sample " + Quoted(h.achSampleName) + " decodes to " + std::to_string(got) +
                                      " points, fewer than the " + std::to_string(points) + " its stream gives");
    }
    if (h.dwEndloop > points || h.dwStartloop > h.dwEndloop)
        return Damaged(error, "the loop of sample " + Quoted(h.achSampleName) + " lies outside its " +
                                  std::to_string(points) + " points");
    h.sfSampleType &= static_cast<uint16_t>(~kSampleTypeVorbis); // now plain points, linked halves as in SF2
    h.dwStart = static_cast<uint32_t>(at);
    h.dwEnd = static_cast<uint32_t>(at + points);
    h.dwStartloop = static_cast<uint32_t>(at + h.dwStartloop);
    h.dwEndloop = static_cast<uint32_t>(at + h.dwEndloop);
    return LoadStatus::Ok;
}

// One thread's share of the samples, [first, last), and its first failure.
struct Share {
    size_t first = 0, last = 0;
    LoadStatus status = LoadStatus::Ok;
    std::string error;
};

void StoreShare(sf2::File &file, const std::vector<uint64_t> &points, const std::vector<uint64_t> &offsets,
                std::vector<int16_t> &store, Share &share) {
    for (size_t i = share.first; i < share.last && share.status == LoadStatus::Ok; ++i)
        share.status = StoreSample(file, file.shdr[i], offsets[i], points[i], store, share.error);
}

// Splits the samples into shares of about equal points, one per processor (at most kMaxThreads).
std::vector<Share> SplitSamples(const std::vector<uint64_t> &offsets, uint64_t total) {
    constexpr unsigned kMaxThreads = 8;
    constexpr uint64_t kPointsPerThread = 1 << 22; // below about 95 s of sound a thread costs more than it saves
    const unsigned wanted = static_cast<unsigned>(std::min<uint64_t>(total / kPointsPerThread + 1, kMaxThreads));
    const unsigned threads = std::clamp(std::min(std::thread::hardware_concurrency(), wanted), 1u, kMaxThreads);
    std::vector<Share> shares(threads);
    size_t i = 0;
    for (unsigned t = 0; t < threads; ++t) {
        shares[t].first = i;
        const uint64_t until = total / threads * (t + 1);
        while (i < offsets.size() && (t + 1 == threads || offsets[i] < until))
            ++i;
        shares[t].last = i;
    }
    return shares;
}

// Decodes every share, the first on this thread and the others on threads of their own; the result is the
// first failure in sample order.
LoadStatus StoreAll(sf2::File &file, const std::vector<uint64_t> &points, const std::vector<uint64_t> &offsets,
                    uint64_t total, std::vector<int16_t> &store, std::string &error) {
    std::vector<Share> shares = SplitSamples(offsets, total);
    std::vector<std::thread> threads;
    for (size_t t = 1; t < shares.size(); ++t) {
        try {
            threads.emplace_back(StoreShare, std::ref(file), std::cref(points), std::cref(offsets), std::ref(store),
                                 std::ref(shares[t]));
        } catch (const std::system_error &) {
            shares[0].last = shares[t].last; // no thread to be had: this one takes the rest
            shares.resize(t);
            break;
        }
    }
    StoreShare(file, points, offsets, store, shares[0]);
    for (std::thread &thread : threads)
        thread.join();
    for (Share &share : shares)
        if (share.status != LoadStatus::Ok) {
            error = share.error;
            return share.status;
        }
    return LoadStatus::Ok;
}

} // namespace

LoadStatus DecodeSamples(sf2::File &file, std::vector<int16_t> &store, std::string &error) {
    const size_t count = file.shdr.empty() ? 0 : file.shdr.size() - 1; // the last record is the terminal EOS
    std::vector<uint64_t> points(count), offsets(count);
    uint64_t total = 0;
    for (size_t i = 0; i < count; ++i) {
        LoadStatus s = MeasureSample(file, file.shdr[i], points[i], error);
        if (s != LoadStatus::Ok)
            return s;
        offsets[i] = total;
        total += points[i];
        if (total > UINT32_MAX)
            return Damaged(error, "its samples decode to more than 2^32 points");
    }
    if (total > store.max_size())
        throw std::bad_alloc();                  // more than the address space holds: reported as out of memory
    store.assign(static_cast<size_t>(total), 0); // one allocation: the decoded samples and nothing more
    LoadStatus s = StoreAll(file, points, offsets, total, store, error);
    if (s != LoadStatus::Ok)
        return s;
    file.smpl = nullptr;
    file.smplCount = store.size();
    return LoadStatus::Ok;
}

} // namespace tw::synth::sf3
