// MidiFile.dll's reader: parses the file with tw_smf and walks its events through the caller's callbacks.
#include "midifile.h"
#include "midifile_errors.h"

#include "smf_file.h"

#include <cstring>

namespace {

using tw::smf::Event;
using tw::smf::File;

constexpr uint8_t kMetaFirstText = 0x01;
constexpr uint8_t kMetaLastText = 0x0F;

// Calls one slot when it is set. False when the callback asks to stop.
bool Call(MidiReadRecord *record, int slot) {
    if (record->table == nullptr || record->table->slots[slot] == nullptr)
        return true;
    return record->table->slots[slot](record) == 0;
}

// The slot for the kind of an event, besides MIDI_CB_EVENT; -1 for none.
int KindSlot(const Event &e) {
    if (e.isChannel()) {
        static const int kChannelSlots[] = {MIDI_CB_NOTE_OFF,       MIDI_CB_NOTE_ON,        MIDI_CB_KEY_PRESSURE,
                                            MIDI_CB_CONTROL_CHANGE, MIDI_CB_PROGRAM_CHANGE, MIDI_CB_CHANNEL_PRESSURE,
                                            MIDI_CB_PITCH_BEND};
        return kChannelSlots[(e.kind() - 0x80) >> 4];
    }
    if (!e.isMeta())
        return MIDI_CB_SYSEX;
    if (e.isTempo())
        return MIDI_CB_TEMPO;
    if (e.meta >= kMetaFirstText && e.meta <= kMetaLastText)
        return MIDI_CB_TEXT;
    return MIDI_CB_META;
}

void FillEvent(MidiReadRecord *record, const File &file, const Event &e, uint32_t index, uint32_t previousTick) {
    record->tick = e.tick;
    record->delta = e.tick - previousTick;
    record->eventIndex = index;
    record->status = e.status;
    record->metaType = e.isMeta() ? e.meta : 0;
    if (e.isChannel()) {
        record->data1 = e.data1;
        record->data2 = e.data2;
        record->payload = nullptr;
        record->payloadLength = 0;
        return;
    }
    record->payload = e.length > 0 ? file.bytes.data() + e.offset : nullptr;
    record->payloadLength = e.length;
    record->data2 = 0;
    if (e.isMeta())
        record->data1 = e.meta;
    else
        record->data1 = e.length > 0 ? file.bytes[e.offset] : 0;
}

// Delivers every event of every track. False when a callback stopped the reading.
bool DeliverTracks(MidiReadRecord *record, const File &file) {
    for (size_t t = 0; t < file.tracks.size(); ++t) {
        record->trackNumber = static_cast<uint16_t>(t);
        record->track = static_cast<uint8_t>(t);
        record->tick = record->delta = record->eventIndex = 0;
        record->status = record->data1 = record->data2 = record->metaType = 0;
        if (!Call(record, MIDI_CB_TRACK_START))
            return false;
        uint32_t previousTick = 0;
        uint32_t index = 0;
        for (const Event &e : file.tracks[t]) {
            FillEvent(record, file, e, index++, previousTick);
            previousTick = e.tick;
            if (!Call(record, MIDI_CB_EVENT) || !Call(record, KindSlot(e)))
                return false;
        }
        record->payload = nullptr;
        record->payloadLength = 0;
        if (!Call(record, MIDI_CB_TRACK_END))
            return false;
    }
    return true;
}

// Clears what the library fills, keeping the caller's table, path and userData.
void ResetRecord(MidiReadRecord *record) {
    const MidiCallbackTable *table = record->table;
    const char *path = record->path;
    uint32_t userData = record->userData;
    std::memset(record, 0, sizeof *record);
    record->table = table;
    record->path = path;
    record->userData = userData;
}

int Finish(MidiReadRecord *record, int result, const std::string &text) {
    record->result = result;
    record->payload = nullptr;
    record->payloadLength = 0;
    tw::midifile::RememberResult(record, result, text);
    if (result != MIDI_OK)
        Call(record, MIDI_CB_PROBLEM);
    return result;
}

// Reads the file and delivers its events; the record is not null.
int ReadAndDeliver(MidiReadRecord *record) {
    ResetRecord(record);
    if (record->path == nullptr)
        return Finish(record, MIDI_ERR_ARGUMENT, "No file name was given");
    std::vector<uint8_t> bytes;
    std::string error;
    if (!tw::smf::ReadFileBytes(record->path, bytes, error))
        return Finish(record, MIDI_ERR_OPEN, error);
    File file;
    tw::smf::ReadSmf(bytes.data(), bytes.size(), file);
    bytes.clear();
    int result = tw::midifile::ResultFromStatus(file.status);
    if (!file.usable)
        return Finish(record, result, file.error);
    record->format = file.format;
    record->tracks = file.declaredTracks;
    record->division = file.division;
    record->tracksFound = static_cast<uint16_t>(file.tracks.size());
    if (!Call(record, MIDI_CB_HEADER) || !DeliverTracks(record, file))
        return Finish(record, MIDI_ERR_STOPPED, "Reading was stopped by the caller");
    Finish(record, result, file.error);
    Call(record, MIDI_CB_DONE);
    return result;
}

} // namespace

int WINAPI MidiReadFile(MidiReadRecord *record) {
    if (record == nullptr)
        return MIDI_ERR_ARGUMENT;
    // Nothing may be thrown across the DLL boundary.
    try {
        return ReadAndDeliver(record);
    } catch (...) {
        record->result = MIDI_ERR_MEMORY;
        return MIDI_ERR_MEMORY;
    }
}
