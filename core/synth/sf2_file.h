// SoundFont 2 and 3 file reading: the RIFF sfbk chunk tree and the pdta hydra records as stored on disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "synth.h"

namespace tw::synth::sf2 {

// Record layouts of the hydra sub-chunks (SoundFont 2.04 section 7); names follow the file format.
struct sfPresetHeader { // phdr, 38 bytes
    std::string achPresetName;
    uint16_t wPreset = 0;
    uint16_t wBank = 0;
    uint16_t wPresetBagNdx = 0;
};

struct sfBag { // pbag / ibag, 4 bytes
    uint16_t wGenNdx = 0;
    uint16_t wModNdx = 0;
};

struct sfModList { // pmod / imod, 10 bytes
    uint16_t sfModSrcOper = 0;
    uint16_t sfModDestOper = 0;
    int16_t modAmount = 0;
    uint16_t sfModAmtSrcOper = 0;
    uint16_t sfModTransOper = 0;
};

struct sfGenList { // pgen / igen, 4 bytes
    uint16_t sfGenOper = 0;
    uint16_t genAmount = 0; // raw 16 bits: a signed or unsigned amount, or a range (low byte lo, high byte hi)
};

struct sfInst { // inst, 22 bytes
    std::string achInstName;
    uint16_t wInstBagNdx = 0;
};

struct sfSample { // shdr, 46 bytes
    std::string achSampleName;
    uint32_t dwStart = 0, dwEnd = 0, dwStartloop = 0, dwEndloop = 0; // in sample points from smpl's start
    uint32_t dwSampleRate = 0;                                       // Hz
    uint8_t byOriginalPitch = 0;
    int8_t chPitchCorrection = 0; // cents
    uint16_t wSampleLink = 0;
    uint16_t sfSampleType = 0;
};

constexpr uint16_t kSampleTypeRomFlag = 0x8000;

// Everything a SoundFont file holds that the preset model needs. The hydra vectors keep their terminal
// records (EOP, EOI, EOS and the closing bag/generator/modulator), as in the file.
struct File {
    uint16_t versionMajor = 2, versionMinor = 1; // ifil
    std::string name;                            // INAM
    const uint8_t *smpl = nullptr;               // 16-bit little-endian sample points, inside the caller's data
                                                 // (version 3: Ogg Vorbis streams, one per sample)
    size_t smplCount = 0;                        // number of sample points
    size_t smplBytes = 0;                        // size of smpl in bytes
    std::vector<sfPresetHeader> phdr;
    std::vector<sfBag> pbag;
    std::vector<sfModList> pmod;
    std::vector<sfGenList> pgen;
    std::vector<sfInst> inst;
    std::vector<sfBag> ibag;
    std::vector<sfModList> imod;
    std::vector<sfGenList> igen;
    std::vector<sfSample> shdr;
};

// Reads the chunk tree of a SoundFont 2 or 3 file held in memory (version 3 samples are left compressed). Checks the
// RIFF structure, every chunk size against what remains, the record size and minimum count of each hydra chunk, and
// that the bag, generator and modulator indices rise monotonically and stay in range. File::smpl points into data,
// which must outlive the result. On failure error gets an English text and out is left in an unspecified state.
LoadStatus ReadFile(const uint8_t *data, size_t size, File &out, std::string &error);

// A name from the file for an error text, in quotes; bytes that are not printable ASCII become '?'.
std::string Quoted(std::string name);
// Sets error to "The SoundFont is damaged: <text>." and returns LoadStatus::Damaged.
LoadStatus Damaged(std::string &error, const std::string &text);

} // namespace tw::synth::sf2
