// Tempo map: tick <-> reference time conversions, tempo changes, the tempo factor, SMPTE and long-run drift.
#include <gtest/gtest.h>

#include <cmath>

#include "core/sequencer/tempo_map.h"

using tw::sequencer::TempoMap;

namespace {

constexpr int64_t kSecond = 10000000; // reference units

} // namespace

TEST(TempoMapTest, DefaultTempoIs120BpmSoAQuarterLastsHalfASecond) {
    TempoMap map;
    map.setDivision(96);
    EXPECT_EQ(map.toReference(0), 0);
    EXPECT_EQ(map.toReference(96), kSecond / 2);
    EXPECT_EQ(map.toReference(96 * 120), 60 * kSecond);
}

TEST(TempoMapTest, TempoChangeAppliesOnlyFromItsTick) {
    TempoMap map;
    map.setDivision(480);
    ASSERT_TRUE(map.addTempo(480, 1000000)); // 60 bpm from beat 2
    EXPECT_EQ(map.toReference(480), kSecond / 2);
    EXPECT_EQ(map.toReference(960), kSecond / 2 + kSecond);
    EXPECT_EQ(map.tempoAt(479), 500000u);
    EXPECT_EQ(map.tempoAt(480), 1000000u);
}

TEST(TempoMapTest, SecondTempoAtSameTickReplacesFirst) {
    TempoMap map;
    map.setDivision(100);
    map.addTempo(0, 250000);
    map.addTempo(0, 1000000);
    EXPECT_EQ(map.changeCount(), 1u);
    EXPECT_EQ(map.toReference(100), kSecond);
}

TEST(TempoMapTest, RejectsZeroTempoAndTicksGoingBack) {
    TempoMap map;
    map.setDivision(100);
    EXPECT_FALSE(map.addTempo(10, 0));
    ASSERT_TRUE(map.addTempo(50, 400000));
    EXPECT_FALSE(map.addTempo(20, 400000));
    EXPECT_EQ(map.changeCount(), 2u);
}

TEST(TempoMapTest, FactorScalesEveryTempoIncludingChanges) {
    TempoMap map;
    map.setDivision(96);
    map.addTempo(96, 250000);
    map.setFactor(1.5);
    // 0.5 s + 0.25 s at normal speed, divided by 1.5.
    EXPECT_EQ(map.toReference(192), (kSecond * 3 / 4 * 2 + 1) / 3);
    map.setFactor(0.5);
    EXPECT_EQ(map.toReference(192), kSecond * 3 / 2);
}

TEST(TempoMapTest, FactorIsClampedToHalfAndOneAndAHalf) {
    TempoMap map;
    map.setFactor(3.0);
    EXPECT_DOUBLE_EQ(map.factor(), 1.5);
    map.setFactor(0.1);
    EXPECT_DOUBLE_EQ(map.factor(), 0.5);
    map.setFactor(std::nan(""));
    EXPECT_DOUBLE_EQ(map.factor(), 0.5);
}

TEST(TempoMapTest, ToTickInvertsToReferenceAcrossChanges) {
    TempoMap map;
    map.setDivision(7);
    map.addTempo(13, 333333);
    map.addTempo(40, 777777);
    map.setFactor(1.1);
    for (uint32_t tick = 0; tick < 200; ++tick) {
        const int64_t ref = map.toReference(tick);
        EXPECT_EQ(map.toTick(ref), tick) << "tick " << tick;
        EXPECT_EQ(map.toTick(map.toReference(tick + 1) - 1), tick) << "just before tick " << tick + 1;
    }
    EXPECT_EQ(map.toTick(-5), 0u);
}

TEST(TempoMapTest, ThousandsOfAwkwardTempoChangesDoNotDrift) {
    // Per-tick durations that are not whole 100 ns units: rounding at every change would drift by many units.
    TempoMap map;
    map.setDivision(7);
    long double exactMicros = 0;
    uint32_t tick = 0;
    for (int i = 0; i < 20000; ++i) {
        const uint32_t tempo = (i % 2) ? 333333 : 444443;
        map.addTempo(tick, tempo);
        exactMicros += 11.0L * tempo / 7.0L;
        tick += 11;
    }
    const long double expected = exactMicros * 10.0L;
    EXPECT_NEAR(static_cast<long double>(map.toReference(tick)), expected, 1.0L);
}

TEST(TempoMapTest, TenHourPositionIsExact) {
    TempoMap map;
    map.setDivision(960);
    const uint32_t tick = 960u * 2 * 3600 * 10; // ten hours at 120 bpm
    EXPECT_EQ(map.toReference(tick), 10LL * 3600 * kSecond);
    EXPECT_EQ(map.toTick(10LL * 3600 * kSecond), tick);
}

TEST(TempoMapTest, SmpteDivisionCountsFramesAndIgnoresTempo) {
    TempoMap map;
    map.setDivision(static_cast<uint16_t>((static_cast<uint8_t>(-25) << 8) | 40)); // 25 fps, 40 ticks/frame
    EXPECT_TRUE(map.smpte());
    EXPECT_FALSE(map.addTempo(10, 1000000));
    EXPECT_EQ(map.toReference(1), kSecond / 1000);
    EXPECT_EQ(map.toReference(1000), kSecond);
}

TEST(TempoMapTest, SmpteDropFrameRunsAt2997FramesPerSecond) {
    TempoMap map;
    map.setDivision(static_cast<uint16_t>((static_cast<uint8_t>(-29) << 8) | 100));
    EXPECT_EQ(map.toReference(300000), 1001 * kSecond / 10); // 30000 / 1001 frames per second
}

TEST(TempoMapTest, ZeroDivisionIsReportedAndStillUsable) {
    TempoMap map;
    EXPECT_FALSE(map.setDivision(0));
    EXPECT_EQ(map.toReference(1), kSecond / 2);
}
