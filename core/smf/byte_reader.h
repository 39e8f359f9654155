// Bounded byte reader for file parsers: explicit byte order, every read checked against what remains.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tw {

// Reads from [data + pos, data + end). A read that does not fit returns false and leaves the position alone.
class ByteReader {
public:
    ByteReader(const uint8_t *data, size_t end, size_t pos = 0) : data_(data), end_(end), pos_(pos > end ? end : pos) {}

    size_t pos() const { return pos_; }
    size_t end() const { return end_; }
    size_t remaining() const { return end_ - pos_; }
    bool atEnd() const { return pos_ >= end_; }

    // Moves to an absolute position, clamped to the end.
    void seek(size_t pos) { pos_ = pos > end_ ? end_ : pos; }

    bool skip(size_t count) {
        if (count > remaining())
            return false;
        pos_ += count;
        return true;
    }

    bool peek(uint8_t &value) const {
        if (atEnd())
            return false;
        value = data_[pos_];
        return true;
    }

    bool u8(uint8_t &value) {
        if (!peek(value))
            return false;
        ++pos_;
        return true;
    }

    // Points at the next count bytes and moves past them.
    bool take(size_t count, const uint8_t *&bytes) {
        if (count > remaining())
            return false;
        bytes = data_ + pos_;
        pos_ += count;
        return true;
    }

    bool be16(uint16_t &value) {
        if (remaining() < 2)
            return false;
        value = static_cast<uint16_t>(data_[pos_] << 8 | data_[pos_ + 1]);
        pos_ += 2;
        return true;
    }

    bool be32(uint32_t &value) {
        if (remaining() < 4)
            return false;
        value = static_cast<uint32_t>(data_[pos_]) << 24 | static_cast<uint32_t>(data_[pos_ + 1]) << 16 |
                static_cast<uint32_t>(data_[pos_ + 2]) << 8 | data_[pos_ + 3];
        pos_ += 4;
        return true;
    }

    bool le16(uint16_t &value) {
        if (remaining() < 2)
            return false;
        value = static_cast<uint16_t>(data_[pos_] | data_[pos_ + 1] << 8);
        pos_ += 2;
        return true;
    }

    bool le32(uint32_t &value) {
        if (remaining() < 4)
            return false;
        value = static_cast<uint32_t>(data_[pos_ + 3]) << 24 | static_cast<uint32_t>(data_[pos_ + 2]) << 16 |
                static_cast<uint32_t>(data_[pos_ + 1]) << 8 | data_[pos_];
        pos_ += 4;
        return true;
    }

    // True when the next four bytes are the given chunk identifier.
    bool matches(const char *id) const {
        if (remaining() < 4)
            return false;
        for (int i = 0; i < 4; ++i)
            if (data_[pos_ + i] != static_cast<uint8_t>(id[i]))
                return false;
        return true;
    }

    enum class Vlq { Ok, Truncated, TooLong };

    // Variable-length number of at most kMaxVlqBytes bytes (28 bits). TooLong consumes the whole overlong
    // number (every byte with the continuation bit, and the last one) so that reading can go on after it.
    Vlq vlq(uint32_t &value) {
        size_t start = pos_;
        uint32_t result = 0;
        for (size_t count = 0;; ++count) {
            uint8_t b;
            if (!u8(b)) {
                pos_ = start;
                return Vlq::Truncated;
            }
            if (count < kMaxVlqBytes)
                result = result << 7 | (b & 0x7F);
            if ((b & 0x80) == 0) {
                value = result;
                return count < kMaxVlqBytes ? Vlq::Ok : Vlq::TooLong;
            }
        }
    }

    static constexpr size_t kMaxVlqBytes = 4;

private:
    const uint8_t *data_;
    size_t end_;
    size_t pos_;
};

} // namespace tw
