// The bounded byte reader shared by the MIDI, SoundFont and WAV parsers: byte order, and no read past the end.
#include <gtest/gtest.h>

#include "byte_reader.h"

namespace {

using tw::ByteReader;

const uint8_t kBytes[] = {0x12, 0x34, 0x56, 0x78, 0x9A};

TEST(ByteReaderTest, ReadsBothByteOrders) {
    ByteReader r(kBytes, sizeof kBytes);
    uint16_t v16 = 0;
    uint32_t v32 = 0;
    ASSERT_TRUE(r.be16(v16));
    EXPECT_EQ(v16, 0x1234);
    r.seek(0);
    ASSERT_TRUE(r.le16(v16));
    EXPECT_EQ(v16, 0x3412);
    r.seek(1);
    ASSERT_TRUE(r.be32(v32));
    EXPECT_EQ(v32, 0x3456789Au);
    r.seek(1);
    ASSERT_TRUE(r.le32(v32));
    EXPECT_EQ(v32, 0x9A785634u);
    EXPECT_TRUE(r.atEnd());
}

TEST(ByteReaderTest, ReadThatDoesNotFitFailsAndLeavesThePositionAlone) {
    ByteReader r(kBytes, sizeof kBytes, 3);
    uint32_t v32 = 0xDEADBEEF;
    uint16_t v16 = 0;
    EXPECT_FALSE(r.le32(v32));
    EXPECT_FALSE(r.be32(v32));
    EXPECT_EQ(v32, 0xDEADBEEFu) << "a failed read must not write the value";
    EXPECT_EQ(r.pos(), 3u);
    ASSERT_TRUE(r.le16(v16));
    EXPECT_FALSE(r.le16(v16));
    EXPECT_FALSE(r.be16(v16));
    EXPECT_EQ(r.pos(), 5u);
}

TEST(ByteReaderTest, TakeHandsOutOnlyBytesInsideTheRange) {
    // The range ends before the buffer does: bytes past the end given must stay out of reach.
    ByteReader r(kBytes, 4, 1);
    const uint8_t *p = nullptr;
    EXPECT_FALSE(r.take(4, p));
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(r.pos(), 1u);
    ASSERT_TRUE(r.take(3, p));
    EXPECT_EQ(p, kBytes + 1);
    EXPECT_TRUE(r.atEnd());
    EXPECT_TRUE(r.take(0, p)) << "an empty chunk at the very end is still in range";
    EXPECT_FALSE(r.skip(1));
}

TEST(ByteReaderTest, HugeCountsDoNotWrapAroundTheEnd) {
    ByteReader r(kBytes, sizeof kBytes, 2);
    const uint8_t *p = nullptr;
    EXPECT_FALSE(r.skip(SIZE_MAX));
    EXPECT_FALSE(r.take(SIZE_MAX - 1, p));
    EXPECT_FALSE(r.take(0xFFFFFFFFu, p));
    EXPECT_EQ(r.pos(), 2u);
    ByteReader past(kBytes, sizeof kBytes, 99); // a start past the end is clamped to it
    EXPECT_TRUE(past.atEnd());
}

} // namespace
