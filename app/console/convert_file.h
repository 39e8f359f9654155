// Converting one MIDI file with the engine, as the dialog's worker does.
#pragma once

#include "convert_options.h"

#include <string>

// Starts the engine and finds (registering it if need be) the capture effect. Returns "" or what failed.
std::string StartConverterEngine();

// Converts one file. Returns "" and the written path, or a sentence naming the file and the failure.
std::string ConvertOneFile(const ConvertOptions &options, const std::string &file, std::string &writtenPath);
