// Tempo map: exact tick <-> reference time conversion across tempo changes, SMPTE timing and the tempo factor.
#include "core/sequencer/tempo_map.h"

#include <algorithm>
#include <cmath>

namespace tw::sequencer {

namespace {

constexpr uint64_t kFactorScale = 1000000; // the factor is kept in millionths
constexpr uint64_t kUnitsPerMicrosecond = 10;
constexpr int kDropFrameFps = 29; // SMPTE 29 means 29.97 frames per second
constexpr uint64_t kDropFrameNumerator = 30000;
constexpr uint64_t kDropFrameDenominator = 1001;

} // namespace

bool TempoMap::setDivision(uint16_t division) {
    entries_.clear();
    bool ok = true;
    smpte_ = (division & 0x8000) != 0;
    if (smpte_) {
        const int fps = -static_cast<int8_t>(division >> 8);
        uint64_t ticksPerFrame = division & 0xFF;
        if (ticksPerFrame == 0 || fps <= 0) {
            ok = false;
            ticksPerFrame = std::max<uint64_t>(ticksPerFrame, 1);
        }
        const uint64_t fpsNum = fps == kDropFrameFps ? kDropFrameNumerator : static_cast<uint64_t>(std::max(fps, 1));
        const uint64_t fpsDen = fps == kDropFrameFps ? kDropFrameDenominator : 1;
        baseDenominator_ = fpsNum * ticksPerFrame;
        const uint64_t perTick = static_cast<uint64_t>(kReferenceUnitsPerSecond) * kFactorScale * fpsDen;
        entries_.push_back({0, 0, perTick, U128()});
    } else {
        baseDenominator_ = division == 0 ? 1 : division;
        ok = division != 0;
        entries_.push_back({0, kDefaultTempo, kDefaultTempo * kUnitsPerMicrosecond * kFactorScale, U128()});
    }
    setFactor(factor_);
    return ok;
}

bool TempoMap::addTempo(uint32_t tick, uint32_t microsPerQuarter) {
    if (smpte_ || microsPerQuarter == 0 || tick < entries_.back().tick)
        return false;
    const uint64_t perTick = microsPerQuarter * kUnitsPerMicrosecond * kFactorScale;
    Entry &last = entries_.back();
    if (tick == last.tick) {
        last.tempo = microsPerQuarter;
        last.perTick = perTick;
        return true;
    }
    const U128 start = last.start + Mul64(tick - last.tick, last.perTick);
    entries_.push_back({tick, microsPerQuarter, perTick, start});
    return true;
}

void TempoMap::setFactor(double factor) {
    if (!(factor >= kMinTempoFactor))
        factor = kMinTempoFactor; // also catches NaN
    factor = std::min(factor, kMaxTempoFactor);
    factor_ = factor;
    factorScaled_ = static_cast<uint64_t>(std::llround(factor * kFactorScale));
}

uint64_t TempoMap::denominator() const {
    return baseDenominator_ * factorScaled_;
}

size_t TempoMap::entryAt(uint32_t tick) const {
    auto it =
        std::upper_bound(entries_.begin(), entries_.end(), tick, [](uint32_t t, const Entry &e) { return t < e.tick; });
    return static_cast<size_t>(it - entries_.begin()) - 1; // the first entry is at tick 0
}

int64_t TempoMap::toReference(uint32_t tick) const {
    const Entry &e = entries_[entryAt(tick)];
    const uint64_t den = denominator();
    const U128 num = e.start + Mul64(tick - e.tick, e.perTick) + U128(den / 2);
    const uint64_t q = Div128(num, den);
    return q > static_cast<uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<int64_t>(q);
}

uint32_t TempoMap::toTick(int64_t ref) const {
    if (ref < 0)
        return 0;
    // Largest tick t with round(N(t) / den) <= ref, that is 2 N(t) < (2 ref + 1) den.
    const uint64_t den = denominator();
    const U128 limit = Mul64(2 * static_cast<uint64_t>(ref) + 1, den);
    size_t i = entries_.size() - 1;
    while (i > 0 && !(entries_[i].start + entries_[i].start < limit))
        --i;
    const Entry &e = entries_[i];
    const U128 room = limit - (e.start + e.start) - U128(1);
    const uint64_t steps = Div128(room, 2 * e.perTick);
    const uint64_t tick = e.tick + std::min<uint64_t>(steps, UINT32_MAX);
    return static_cast<uint32_t>(std::min<uint64_t>(tick, UINT32_MAX));
}

uint32_t TempoMap::tempoAt(uint32_t tick) const {
    return entries_[entryAt(tick)].tempo;
}

} // namespace tw::sequencer
