// MidiFile.dll: reads a Standard MIDI File and reports its header and events through a table of callbacks.
#pragma once

#include <windows.h>

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct MidiReadRecord MidiReadRecord;

// A callback gets the record, with the fields of the current step filled in. Returning non-zero stops the
// reading: MidiReadFile then returns MIDI_ERR_STOPPED.
typedef int(WINAPI *MidiCallback)(MidiReadRecord *record);

#define MIDI_CALLBACK_SLOTS 18

// Meaning of each slot of the callback table. A null slot is not called. For every event, slot
// MIDI_CB_EVENT is called first, then the slot of the event's kind.
enum MidiCallbackSlot {
    MIDI_CB_HEADER = 0,           // after the header: format, tracks, division, tracksFound filled
    MIDI_CB_TRACK_START = 1,      // before the first event of a track: track, trackNumber filled
    MIDI_CB_TRACK_END = 2,        // after the last event of a track (with or without End-of-Track)
    MIDI_CB_NOTE_OFF = 3,         // status 0x8n
    MIDI_CB_NOTE_ON = 4,          // status 0x9n (velocity 0 included: it means note off)
    MIDI_CB_KEY_PRESSURE = 5,     // status 0xAn
    MIDI_CB_CONTROL_CHANGE = 6,   // status 0xBn
    MIDI_CB_PROGRAM_CHANGE = 7,   // status 0xCn, program in data1
    MIDI_CB_CHANNEL_PRESSURE = 8, // status 0xDn
    MIDI_CB_EVENT = 9,            // every event of the file, in file order (channel, SysEx and meta)
    MIDI_CB_PITCH_BEND = 10,      // status 0xEn, data1 low 7 bits, data2 high 7 bits
    MIDI_CB_SYSEX = 11,           // status 0xF0 or 0xF7 (escape): payload, payloadLength filled
    MIDI_CB_META = 12,            // status 0xFF: metaType, payload, payloadLength filled
    MIDI_CB_TEMPO = 13,           // meta 0x51 with its 3 bytes: microseconds per quarter note in payload
    MIDI_CB_TEXT = 14,            // meta 0x01-0x0F (text, copyright, track name, lyric, marker, ...)
    MIDI_CB_PROBLEM = 15,         // once, when the result is not MIDI_OK: result holds what MidiReadFile returns
    MIDI_CB_DONE = 16,            // once, after the last track of a file that could be read
    MIDI_CB_RESERVED = 17         // never called
};

typedef struct MidiCallbackTable {
    MidiCallback slots[MIDI_CALLBACK_SLOTS];
} MidiCallbackTable;

// The record exchanged with the library: 56 bytes on Win32, little-endian, 32-bit pointers (72 on x64). The caller sets
// table and path (and may use userData); the library fills the rest. Track numbers count from 0.
struct MidiReadRecord {
    const MidiCallbackTable *table; // 0: the callbacks, or null for none
    const char *path;               // 4: NUL-terminated ANSI path of the file to read
    const uint8_t *payload;         // 8: SysEx / meta payload of the current event, valid during the callback
    uint32_t payloadLength;         // 12: bytes at payload
    uint32_t tick;                  // 16: time of the current event in ticks from the start of its track
    uint16_t format;                // 20: file format 0, 1 or 2
    uint16_t tracks;                // 22: number of tracks the header declares
    uint16_t division;              // 24: ticks per quarter note (SMPTE time code when bit 15 is set)
    uint16_t tracksFound;           // 26: number of track chunks actually read
    int32_t result;                 // 28: result of the read, set before MIDI_CB_PROBLEM and MIDI_CB_DONE
    uint32_t eventIndex;            // 32: index of the current event in its track
    uint32_t userData;              // 36: the caller's own; the library neither reads nor writes it
    uint8_t track;                  // 40: number of the track being read (low 8 bits of trackNumber)
    uint8_t status;                 // 41: status byte of the current event (0xF0/0xF7 SysEx, 0xFF meta)
    uint8_t data1;                  // 42: first data byte; the meta type for meta, first payload byte for SysEx
    uint8_t data2;                  // 43: second data byte of a channel message, else 0
    uint8_t metaType;               // 44: meta type when status is 0xFF
    uint8_t reserved0;              // 45
    uint16_t trackNumber;           // 46: number of the track being read, full width
    uint32_t delta;                 // 48: ticks since the previous event of the same track
    uint32_t reserved1;             // 52
};

#ifdef __cplusplus
// The Win32 build exchanges the record at the fixed offsets the application's call sites assume; the Win64
// build keeps the same declaration with natural alignment (pointers 8 bytes wide).
#if defined(_WIN64)
static_assert(sizeof(MidiReadRecord) == 72, "the record is 72 bytes on x64");
static_assert(offsetof(MidiReadRecord, path) == 8 && offsetof(MidiReadRecord, payload) == 16 &&
                  offsetof(MidiReadRecord, format) == 32 && offsetof(MidiReadRecord, tracks) == 34 &&
                  offsetof(MidiReadRecord, division) == 36 && offsetof(MidiReadRecord, track) == 52 &&
                  offsetof(MidiReadRecord, status) == 53 && offsetof(MidiReadRecord, data1) == 54,
              "offsets of the record on x64");
static_assert(sizeof(MidiCallbackTable) == 18 * 8, "18 pointer slots");
#elif defined(_WIN32)
static_assert(sizeof(MidiReadRecord) == 56, "the record is 56 bytes");
static_assert(offsetof(MidiReadRecord, path) == 4 && offsetof(MidiReadRecord, format) == 20 &&
                  offsetof(MidiReadRecord, tracks) == 22 && offsetof(MidiReadRecord, division) == 24 &&
                  offsetof(MidiReadRecord, track) == 40 && offsetof(MidiReadRecord, status) == 41 &&
                  offsetof(MidiReadRecord, data1) == 42,
              "fixed offsets of the record");
static_assert(sizeof(MidiCallbackTable) == 72, "18 pointer slots");
#endif
#endif

// Results of MidiReadFile. Negative: the file could not be read whole; events before the damage were delivered.
#define MIDI_OK 0
#define MIDI_WARN_IRREGULAR 1        // read whole, but the file breaks a rule (stray bytes, no End-of-Track, ...)
#define MIDI_ERR_ARGUMENT (-1)       // null record or path
#define MIDI_ERR_OPEN (-2)           // the file cannot be opened or read
#define MIDI_ERR_EMPTY (-3)          // the file is empty
#define MIDI_ERR_NOT_MIDI (-4)       // not a Standard MIDI File (nor an RMID file)
#define MIDI_ERR_HEADER (-5)         // the header is damaged: no event was delivered
#define MIDI_ERR_TRUNCATED (-6)      // a track runs past the end of its chunk or of the file
#define MIDI_ERR_BAD_EVENT (-7)      // an event the format does not allow was skipped
#define MIDI_ERR_MISSING_TRACKS (-8) // fewer tracks than the header declares
#define MIDI_ERR_STOPPED (-9)        // a callback returned non-zero
#define MIDI_ERR_MEMORY (-10)        // not enough memory to read the file

// Reads the file named by record->path, calling the record's callbacks. Returns MIDI_OK or a code above.
int WINAPI MidiReadFile(MidiReadRecord *record);

// Writes an English text for result into buffer (at most size bytes, NUL included; nothing when size <= 0).
// For the last result of the same record on this thread the text names the damage ("Track 3 is truncated:
// ..."). Returns the number of characters written, without the NUL.
int WINAPI MidiGetErr(const MidiReadRecord *record, char *buffer, int size, int result);

#ifdef __cplusplus
}
#endif
