// Result codes and error texts of MidiFile.dll.
#include "midifile_errors.h"

#include <cstdio>
#include <cstring>

namespace tw::midifile {
namespace {

constexpr size_t kDetailBytes = 256;

// The last read on each thread: which record, its result and the parser's text for it.
thread_local const MidiReadRecord *t_lastRecord = nullptr;
thread_local int t_lastResult = MIDI_OK;
thread_local char t_lastText[kDetailBytes] = "";

const char *GenericText(int result) {
    switch (result) {
    case MIDI_OK:
        return "No error";
    case MIDI_WARN_IRREGULAR:
        return "The MIDI file was read, but it breaks a rule of the format";
    case MIDI_ERR_ARGUMENT:
        return "No file name was given";
    case MIDI_ERR_OPEN:
        return "The file cannot be opened";
    case MIDI_ERR_EMPTY:
        return "The file is empty";
    case MIDI_ERR_NOT_MIDI:
        return "Not a Standard MIDI File";
    case MIDI_ERR_HEADER:
        return "The MIDI file header is damaged";
    case MIDI_ERR_TRUNCATED:
        return "The MIDI file is truncated";
    case MIDI_ERR_BAD_EVENT:
        return "The MIDI file holds damaged events";
    case MIDI_ERR_MISSING_TRACKS:
        return "The MIDI file holds fewer tracks than it declares";
    case MIDI_ERR_STOPPED:
        return "Reading was stopped by the caller";
    case MIDI_ERR_MEMORY:
        return "Not enough memory to read the file";
    default:
        return nullptr;
    }
}

} // namespace

int ResultFromStatus(tw::smf::Status status) {
    using tw::smf::Status;
    switch (status) {
    case Status::Ok:
        return MIDI_OK;
    case Status::Empty:
        return MIDI_ERR_EMPTY;
    case Status::NotSmf:
        return MIDI_ERR_NOT_MIDI;
    case Status::BadHeader:
        return MIDI_ERR_HEADER;
    case Status::Truncated:
        return MIDI_ERR_TRUNCATED;
    case Status::BadEvent:
        return MIDI_ERR_BAD_EVENT;
    case Status::MissingTracks:
        return MIDI_ERR_MISSING_TRACKS;
    case Status::Irregular:
        return MIDI_WARN_IRREGULAR;
    }
    return MIDI_ERR_NOT_MIDI;
}

void RememberResult(const MidiReadRecord *record, int result, const std::string &text) {
    t_lastRecord = record;
    t_lastResult = result;
    std::snprintf(t_lastText, sizeof t_lastText, "%s", text.c_str());
}

} // namespace tw::midifile

int WINAPI MidiGetErr(const MidiReadRecord *record, char *buffer, int size, int result) {
    using namespace tw::midifile;
    if (buffer == nullptr || size <= 0)
        return 0;
    char unknown[48];
    const char *text = GenericText(result);
    if (record != nullptr && record == t_lastRecord && result == t_lastResult && t_lastText[0] != '\0')
        text = t_lastText;
    if (text == nullptr) {
        std::snprintf(unknown, sizeof unknown, "Unknown result %d", result);
        text = unknown;
    }
    size_t length = std::strlen(text);
    size_t room = static_cast<size_t>(size) - 1;
    if (length > room)
        length = room;
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}
