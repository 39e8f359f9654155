// The hook every note and program change passes on its way from the segment to the synthesizer.
#pragma once

#include <cstdint>

namespace tw::sequencer {

// One note as a whole: the hook decides once per note, and its note-off follows that decision.
struct NoteEvent {
    uint32_t tick = 0;          // start in segment ticks
    uint32_t durationTicks = 0; // ticks until its note-off
    int channel = 0;            // 0..15
    int key = 0;                // 0..127; a key moved outside this range by the hook is not played
    int velocity = 0;           // 1..127
};

// A program change with the bank selected on its channel when it happens.
struct PatchEvent {
    uint32_t tick = 0; // segment ticks
    int channel = 0;   // 0..15
    int program = 0;   // 0..127
    int bankMsb = 0;   // controller 0 value in force
    int bankLsb = 0;   // controller 32 value in force
};

// Called on the rendering thread, in segment order, just before the event sounds; must not block or allocate.
// Return false to drop the event; change the fields to alter it. Every other event passes unchanged.
class EventHook {
public:
    virtual ~EventHook() = default;
    virtual bool OnNote(NoteEvent &note) {
        (void)note;
        return true;
    }
    virtual bool OnPatch(PatchEvent &patch) {
        (void)patch;
        return true;
    }
};

} // namespace tw::sequencer
