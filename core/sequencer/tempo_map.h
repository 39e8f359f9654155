// Tempo map: converts between MIDI ticks and reference time (100 ns units) across tempo changes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/sequencer/wide_int.h"

namespace tw::sequencer {

constexpr int64_t kReferenceUnitsPerSecond = 10000000; // reference time counts 100 ns units
constexpr uint32_t kDefaultTempo = 500000;             // microseconds per quarter note (120 bpm)
constexpr double kMinTempoFactor = 0.5;
constexpr double kMaxTempoFactor = 1.5;

// Every time is computed from the start of the tempo segment that holds it, with the segment starts kept as
// exact 128-bit numerators over one common denominator, so no rounding accumulates over hours or over
// thousands of tempo changes. The tempo factor divides every duration (1.5 plays 50 % faster).
class TempoMap {
public:
    TempoMap() { setDivision(96); }

    // Starts a new map for an SMF division: ticks per quarter note, or SMPTE frames and ticks per frame when
    // bit 15 is set (tempo events are then ignored). Returns false for a division of 0 ticks (a 1-tick
    // division is used instead).
    bool setDivision(uint16_t division);

    // Adds a tempo in microseconds per quarter note from tick on. Ticks must not decrease; a change at the
    // tick of the previous one replaces it. Zero tempos and SMPTE maps ignore the call (returns false).
    bool addTempo(uint32_t tick, uint32_t microsPerQuarter);

    // Scales every tempo; clamped to 0.5..1.5.
    void setFactor(double factor);
    double factor() const { return factor_; }

    // Reference time (100 ns units, rounded to nearest) at which tick sounds.
    int64_t toReference(uint32_t tick) const;
    // Last tick whose reference time is at or before ref (0 for negative times).
    uint32_t toTick(int64_t ref) const;

    // Microseconds per quarter note in force at tick, before the factor (0 for SMPTE maps).
    uint32_t tempoAt(uint32_t tick) const;
    size_t changeCount() const { return entries_.size(); }
    bool smpte() const { return smpte_; }

private:
    struct Entry {
        uint32_t tick;    // first tick of this tempo
        uint32_t tempo;   // microseconds per quarter note (0 for SMPTE)
        uint64_t perTick; // numerator added per tick
        U128 start;       // exact numerator of the reference time at tick
    };

    size_t entryAt(uint32_t tick) const;
    uint64_t denominator() const;

    std::vector<Entry> entries_;
    bool smpte_ = false;
    uint64_t baseDenominator_ = 1; // ticks per quarter (or fps numerator x ticks per frame) before the factor
    uint64_t factorScaled_ = 0;    // factor in millionths
    double factor_ = 1.0;
};

} // namespace tw::sequencer
