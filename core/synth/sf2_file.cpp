// SoundFont 2 and 3 file reading: a bounded little-endian reader over the RIFF tree and the hydra records.
#include "sf2_file.h"

#include <cstring>

#include "core/smf/byte_reader.h"

namespace tw::synth::sf2 {
namespace {

using tw::ByteReader;

constexpr size_t kChunkHeaderSize = 8; // four-character id and 32-bit size
constexpr size_t kFormHeaderSize = 12; // "RIFF", size, "sfbk"
constexpr size_t kNameSize = 20;
constexpr size_t kPhdrSize = 38, kBagSize = 4, kModSize = 10, kGenSize = 4, kInstSize = 22, kShdrSize = 46;
constexpr uint16_t kSupportedMajorVersion = 2;
constexpr uint16_t kCompressedMajorVersion = 3;

// Record fields. HydraChunk checks each chunk's size against its records before any is read, so these reads
// always fit; one that did not would leave 0 rather than read past the chunk.
uint8_t U8(ByteReader &r) {
    uint8_t v = 0;
    r.u8(v);
    return v;
}
uint16_t U16(ByteReader &r) {
    uint16_t v = 0;
    r.le16(v);
    return v;
}
uint32_t U32(ByteReader &r) {
    uint32_t v = 0;
    r.le32(v);
    return v;
}
// A fixed-size text field; stops at the first NUL.
std::string Text(ByteReader &r, size_t n) {
    const uint8_t *p = nullptr;
    if (!r.take(n, p))
        return std::string();
    size_t len = 0;
    while (len < n && p[len] != 0)
        ++len;
    return std::string(reinterpret_cast<const char *>(p), len);
}

struct Chunk {
    char id[5] = {};
    const uint8_t *data = nullptr;
    size_t size = 0;
};

// Splits a byte range into its chunks, checking each size against the bytes left.
bool ReadChunks(const uint8_t *data, size_t size, std::vector<Chunk> &chunks, std::string &error) {
    ByteReader r(data, size);
    while (!r.atEnd()) {
        if (r.remaining() < kChunkHeaderSize) {
            // A lone pad byte at the end of a list is harmless; anything more is a cut-off header.
            if (r.remaining() == 1)
                return true;
            error = "a chunk header is cut off";
            return false;
        }
        Chunk c;
        const uint8_t *id = nullptr;
        r.take(4, id);
        std::memcpy(c.id, id, 4);
        for (int i = 0; i < 4; ++i)
            if (c.id[i] < 0x20 || c.id[i] > 0x7E)
                c.id[i] = '?'; // keeps error texts printable
        const uint32_t chunkSize = U32(r);
        if (!r.take(chunkSize, c.data)) {
            error = std::string("the '") + c.id + "' chunk runs past the end of the file";
            return false;
        }
        c.size = chunkSize;
        // RIFF pads odd chunks to even length, but SoundFont 3 writers leave the pad out after the compressed
        // samples: a pad byte is zero, a chunk id never starts with one.
        uint8_t pad = 0;
        if ((chunkSize & 1) && r.peek(pad) && pad == 0)
            r.skip(1);
        chunks.push_back(c);
    }
    return true;
}

const Chunk *FindChunk(const std::vector<Chunk> &chunks, const char *id) {
    for (const Chunk &c : chunks)
        if (std::memcmp(c.id, id, 4) == 0)
            return &c;
    return nullptr;
}

// Finds the LIST chunk of the given type among the form's chunks.
const Chunk *FindList(const std::vector<Chunk> &chunks, const char *type, Chunk &body) {
    for (const Chunk &c : chunks) {
        if (std::memcmp(c.id, "LIST", 4) != 0 || c.size < 4 || std::memcmp(c.data, type, 4) != 0)
            continue;
        body = c;
        body.data += 4;
        body.size -= 4;
        return &body;
    }
    return nullptr;
}

LoadStatus ReadInfo(const Chunk &info, File &out, std::string &error) {
    std::vector<Chunk> chunks;
    std::string why;
    if (!ReadChunks(info.data, info.size, chunks, why))
        return Damaged(error, "INFO list: " + why);
    if (const Chunk *ifil = FindChunk(chunks, "ifil")) {
        if (ifil->size != 4)
            return Damaged(error, "the version chunk 'ifil' has the wrong size");
        ByteReader r(ifil->data, ifil->size);
        out.versionMajor = U16(r);
        out.versionMinor = U16(r);
        if (out.versionMajor != kSupportedMajorVersion && out.versionMajor != kCompressedMajorVersion) {
            error = "SoundFont version " + std::to_string(out.versionMajor) + " is not supported.";
            return LoadStatus::NotSoundFont;
        }
    }
    if (const Chunk *inam = FindChunk(chunks, "INAM")) {
        ByteReader r(inam->data, inam->size);
        out.name = Text(r, inam->size);
    }
    return LoadStatus::Ok;
}

LoadStatus ReadSampleData(const Chunk &sdta, File &out, std::string &error) {
    std::vector<Chunk> chunks;
    std::string why;
    if (!ReadChunks(sdta.data, sdta.size, chunks, why))
        return Damaged(error, "sample data list: " + why);
    const Chunk *smpl = FindChunk(chunks, "smpl");
    if (!smpl)
        return Damaged(error, "the sample data chunk 'smpl' is missing");
    if (smpl->size % 2 != 0 && out.versionMajor != kCompressedMajorVersion)
        return Damaged(error, "the sample data chunk 'smpl' has an odd size");
    out.smpl = smpl->data;
    out.smplCount = smpl->size / 2;
    out.smplBytes = smpl->size;
    return LoadStatus::Ok;
}

// Locates one hydra sub-chunk and checks its size against its record size and minimum record count.
bool HydraChunk(const std::vector<Chunk> &chunks, const char *id, size_t recordSize, size_t minRecords, ByteReader &r,
                size_t &count, std::string &why) {
    const Chunk *c = FindChunk(chunks, id);
    if (!c) {
        why = std::string("the '") + id + "' chunk is missing";
        return false;
    }
    if (c->size % recordSize != 0) {
        why = std::string("the '") + id + "' chunk size " + std::to_string(c->size) + " is not a multiple of " +
              std::to_string(recordSize);
        return false;
    }
    count = c->size / recordSize;
    if (count < minRecords) {
        why = std::string("the '") + id + "' chunk has too few records";
        return false;
    }
    r = ByteReader(c->data, c->size);
    return true;
}

void ReadBags(ByteReader &r, size_t n, std::vector<sfBag> &bags) {
    bags.resize(n);
    for (sfBag &b : bags) {
        b.wGenNdx = U16(r);
        b.wModNdx = U16(r);
    }
}

void ReadMods(ByteReader &r, size_t n, std::vector<sfModList> &mods) {
    mods.resize(n);
    for (sfModList &m : mods) {
        m.sfModSrcOper = U16(r);
        m.sfModDestOper = U16(r);
        m.modAmount = static_cast<int16_t>(U16(r));
        m.sfModAmtSrcOper = U16(r);
        m.sfModTransOper = U16(r);
    }
}

void ReadGens(ByteReader &r, size_t n, std::vector<sfGenList> &gens) {
    gens.resize(n);
    for (sfGenList &g : gens) {
        g.sfGenOper = U16(r);
        g.genAmount = U16(r);
    }
}

// Checks that zone starts rise monotonically and that the closing bag's indices stay within the generator and
// modulator records (an index equal to the count means the optional terminal record is absent).
bool CheckBags(const std::vector<sfBag> &bags, size_t lastBag, size_t genCount, size_t modCount, const char *kind,
               std::string &why) {
    for (size_t i = 0; i + 1 <= lastBag; ++i) {
        if (bags[i + 1].wGenNdx < bags[i].wGenNdx || bags[i + 1].wModNdx < bags[i].wModNdx) {
            why = std::string(kind) + " zone " + std::to_string(i) + " has decreasing generator or modulator indices";
            return false;
        }
    }
    if (bags[lastBag].wGenNdx > genCount || bags[lastBag].wModNdx > modCount) {
        why = std::string(kind) + " zones point past the generator or modulator records";
        return false;
    }
    return true;
}

LoadStatus ReadHydra(const Chunk &pdta, File &out, std::string &error) {
    std::vector<Chunk> chunks;
    std::string why;
    if (!ReadChunks(pdta.data, pdta.size, chunks, why))
        return Damaged(error, "preset data list: " + why);
    ByteReader r(nullptr, 0);
    size_t n = 0;

    if (!HydraChunk(chunks, "phdr", kPhdrSize, 2, r, n, why))
        return Damaged(error, why);
    out.phdr.resize(n);
    for (sfPresetHeader &p : out.phdr) {
        p.achPresetName = Text(r, kNameSize);
        p.wPreset = U16(r);
        p.wBank = U16(r);
        p.wPresetBagNdx = U16(r);
        r.skip(12); // dwLibrary, dwGenre, dwMorphology: reserved
    }
    if (!HydraChunk(chunks, "pbag", kBagSize, 1, r, n, why))
        return Damaged(error, why);
    ReadBags(r, n, out.pbag);
    if (!HydraChunk(chunks, "pmod", kModSize, 0, r, n, why))
        return Damaged(error, why);
    ReadMods(r, n, out.pmod);
    if (!HydraChunk(chunks, "pgen", kGenSize, 0, r, n, why))
        return Damaged(error, why);
    ReadGens(r, n, out.pgen);

    if (!HydraChunk(chunks, "inst", kInstSize, 1, r, n, why))
        return Damaged(error, why);
    out.inst.resize(n);
    for (sfInst &i : out.inst) {
        i.achInstName = Text(r, kNameSize);
        i.wInstBagNdx = U16(r);
    }
    if (!HydraChunk(chunks, "ibag", kBagSize, 1, r, n, why))
        return Damaged(error, why);
    ReadBags(r, n, out.ibag);
    if (!HydraChunk(chunks, "imod", kModSize, 0, r, n, why))
        return Damaged(error, why);
    ReadMods(r, n, out.imod);
    if (!HydraChunk(chunks, "igen", kGenSize, 0, r, n, why))
        return Damaged(error, why);
    ReadGens(r, n, out.igen);

    if (!HydraChunk(chunks, "shdr", kShdrSize, 1, r, n, why))
        return Damaged(error, why);
    out.shdr.resize(n);
    for (sfSample &s : out.shdr) {
        s.achSampleName = Text(r, kNameSize);
        s.dwStart = U32(r);
        s.dwEnd = U32(r);
        s.dwStartloop = U32(r);
        s.dwEndloop = U32(r);
        s.dwSampleRate = U32(r);
        s.byOriginalPitch = U8(r);
        s.chPitchCorrection = static_cast<int8_t>(U8(r));
        s.wSampleLink = U16(r);
        s.sfSampleType = U16(r);
    }
    return LoadStatus::Ok;
}

// Preset and instrument headers must start their zones in rising order, within the bag records; the
// terminal header closes the last zone list.
template <typename Header, typename BagIndex>
bool CheckHeaders(const std::vector<Header> &headers, BagIndex bagOf, size_t bagCount, const char *kind,
                  std::string &why) {
    for (size_t i = 0; i + 1 < headers.size(); ++i) {
        if (bagOf(headers[i + 1]) < bagOf(headers[i])) {
            why = std::string(kind) + " " + std::to_string(i) + " has decreasing zone indices";
            return false;
        }
    }
    if (bagOf(headers.back()) >= bagCount) {
        why = std::string(kind) + " zones point past the zone records";
        return false;
    }
    return true;
}

LoadStatus CheckIndices(const File &f, std::string &error) {
    std::string why;
    auto presetBag = [](const sfPresetHeader &p) { return p.wPresetBagNdx; };
    auto instBag = [](const sfInst &i) { return i.wInstBagNdx; };
    if (!CheckHeaders(f.phdr, presetBag, f.pbag.size(), "preset", why) ||
        !CheckBags(f.pbag, f.phdr.back().wPresetBagNdx, f.pgen.size(), f.pmod.size(), "preset", why) ||
        !CheckHeaders(f.inst, instBag, f.ibag.size(), "instrument", why) ||
        !CheckBags(f.ibag, f.inst.back().wInstBagNdx, f.igen.size(), f.imod.size(), "instrument", why))
        return Damaged(error, why);
    return LoadStatus::Ok;
}

} // namespace

// A name from the file for an error text; bytes that are not printable ASCII become '?'.
std::string Quoted(std::string name) {
    for (char &c : name)
        if (c < 0x20 || c > 0x7E)
            c = '?';
    return "'" + name + "'";
}

LoadStatus Damaged(std::string &error, const std::string &text) {
    error = "The SoundFont is damaged: " + text + ".";
    return LoadStatus::Damaged;
}

LoadStatus ReadFile(const uint8_t *data, size_t size, File &out, std::string &error) {
    out = File();
    if (!data || size < kFormHeaderSize || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "sfbk", 4) != 0) {
        error = "The file is not a SoundFont.";
        return LoadStatus::NotSoundFont;
    }
    ByteReader r(data, size, 4);
    const uint32_t formSize = U32(r);
    if (formSize < 4 || formSize > size - kChunkHeaderSize)
        return Damaged(error, "the file is truncated");
    std::vector<Chunk> chunks;
    std::string why;
    if (!ReadChunks(data + kFormHeaderSize, formSize - 4, chunks, why))
        return Damaged(error, why);

    Chunk info, sdta, pdta;
    if (FindList(chunks, "INFO", info)) {
        LoadStatus s = ReadInfo(info, out, error);
        if (s != LoadStatus::Ok)
            return s;
    }
    if (!FindList(chunks, "sdta", sdta))
        return Damaged(error, "the sample data list 'sdta' is missing");
    if (!FindList(chunks, "pdta", pdta))
        return Damaged(error, "the preset data list 'pdta' is missing");
    LoadStatus s = ReadSampleData(sdta, out, error);
    if (s == LoadStatus::Ok)
        s = ReadHydra(pdta, out, error);
    if (s == LoadStatus::Ok)
        s = CheckIndices(out, error);
    return s;
}

} // namespace tw::synth::sf2
