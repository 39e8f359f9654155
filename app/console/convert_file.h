// Converting one MIDI file with the engine, as the dialog's worker does.
#pragma once

#include "convert_options.h"
#include "recording_writer.h"

#include <string>

// Starts the engine and finds (registering it if need be) the capture effect. Returns "" or what failed.
std::string StartConverterEngine();

// What a conversion wrote, or left to encode.
struct ConvertedFile {
    std::string path;      // the written (or, for an MP3 yet to encode, the reserved) file
    unsigned int nSeconds; // the piece's length
    bool bEncode;          // an MP3 whose recording waits in job for FinishMp3Recording
    Mp3Job job;
};

// Converts one file. Returns "" and what was written, or a sentence naming the file and the failure. With
// bDeferMp3 an MP3 is left to encode (converted.bEncode).
std::string ConvertOneFile(const ConvertOptions &options, const std::string &file, bool bDeferMp3,
                           ConvertedFile &converted);
