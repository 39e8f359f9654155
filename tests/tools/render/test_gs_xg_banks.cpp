// GS and XG files on a General MIDI SoundFont: every variation bank and drum kit they select falls back to a
// preset that sounds, so no note of theirs is lost.
#include <gtest/gtest.h>

#include <string>

#include "core/sequencer/segment.h"
#include "core/smf/smf_file.h"

#ifdef TUNEWRIGHT_HAVE_SYNTH
#include "synth.h"

namespace {

using tw::sequencer::EventKind;
using tw::sequencer::Segment;
using tw::sequencer::SegmentEvent;

constexpr int kAllSoundOff = 120;
constexpr int kSilenceFrames = 512; // long enough for a voice cut by all-sound-off to fade and free

struct NoteCount {
    int notes = 0;
    int silent = 0;
    std::string firstSilent;
};

void ApplyChannelMessage(tw::synth::Synth &synth, const SegmentEvent &e) {
    const int ch = e.status & 0x0F;
    switch (e.status & 0xF0) {
    case 0xA0:
        synth.keyPressure(ch, e.data1, e.data2);
        break;
    case 0xB0:
        synth.controlChange(ch, e.data1, e.data2);
        break;
    case 0xD0:
        synth.channelPressure(ch, e.data1);
        break;
    case 0xE0:
        synth.pitchBend(ch, e.data1 | (e.data2 << 7));
        break;
    default:
        break;
    }
}

// Plays every note of the file on its own, the way the file sets up its channels, and counts those that start
// no voice.
NoteCount CountSilentNotes(const char *name) {
    tw::smf::File file;
    EXPECT_EQ(tw::smf::ReadSmfFile(std::string(TEST_MIDI_DIR) + "/" + name, file), tw::smf::Status::Ok);
    Segment segment;
    EXPECT_TRUE(segment.build(file));
    tw::synth::SynthConfig config;
    config.reverb = config.chorus = false;
    tw::synth::Synth synth(config);
    std::string error;
    EXPECT_EQ(synth.loadSoundFontFile(TEST_SOUNDFONT, error), tw::synth::LoadStatus::Ok) << error;
    float left[kSilenceFrames], right[kSilenceFrames];
    NoteCount count;
    for (const SegmentEvent &e : segment.events()) {
        const int ch = e.status & 0x0F;
        if (e.kind == EventKind::Patch) {
            synth.controlChange(ch, tw::sequencer::kBankMsbController, e.bankMsb);
            synth.controlChange(ch, tw::sequencer::kBankLsbController, e.bankLsb);
            synth.programChange(ch, e.data1);
        } else if (e.kind == EventKind::Channel) {
            ApplyChannelMessage(synth, e);
        } else if (e.kind == EventKind::SysEx) {
            synth.sysEx(segment.sysExBytes().data() + e.index, e.length);
        } else if (e.kind == EventKind::NoteOn) {
            const tw::sequencer::Note &note = segment.notes()[e.index];
            const int before = synth.activeVoices();
            synth.noteOn(note.channel, note.key, note.velocity);
            ++count.notes;
            if (synth.activeVoices() <= before && ++count.silent == 1)
                count.firstSilent = "channel " + std::to_string(note.channel + 1) + " key " + std::to_string(note.key);
            synth.controlChange(note.channel, kAllSoundOff, 0);
            synth.render(left, right, kSilenceFrames);
        }
    }
    return count;
}

TEST(GsXgBanks, EveryNoteOfTheGsSoundListSounds) {
    const NoteCount count = CountSilentNotes("jz_test-all-gs-sounds.mid");
    EXPECT_GT(count.notes, 5000);
    EXPECT_EQ(count.silent, 0) << "first silent note: " << count.firstSilent;
}

TEST(GsXgBanks, EveryNoteOfTheXgSoundListSounds) {
    const NoteCount count = CountSilentNotes("jz_test-all-xg-sounds.mid");
    EXPECT_GT(count.notes, 4500);
    EXPECT_EQ(count.silent, 0) << "first silent note: " << count.firstSilent;
}

} // namespace

#endif
