// EncodeWavToMp3: reads the samples of a WaveFile WAV block by block and writes LAME's MP3 stream.
#include "mp3_encoder.h"

#include <lame/lame.h>
#include <stdio.h>
#include <string.h>

namespace {

const size_t WAV_HEADER_BYTES = 56;     // WaveFile's header: RIFF, "fmt " (16), "fact" (4), "data"
const size_t INPUT_BLOCK_VALUES = 2304; // 1,152 two-value frames: one MPEG-1 Layer III frame
const size_t VALUES_PER_FRAME = 2;
const int OUTPUT_BLOCK_BYTES = 10000; // above LAME's worst case for 1,152 frames (1.25 x 1,152 + 7,200)
const int ENCODER_INPUT_RATE = 22050; // Hz: the first value of each frame of the 44,100 Hz file
const int ENCODER_CHANNELS = 1;
const int ENCODER_WRITE_VBR_TAG = 0; // no Xing frame: the stream is written once, never patched

// Opens the WAV file and leaves it at the first sample byte; NULL when it is missing or not a WaveFile WAV.
FILE *OpenInput(const char *wavPath) {
    FILE *pInput = fopen(wavPath, "rb");
    if (pInput == NULL) {
        return NULL;
    }
    unsigned char abHeader[WAV_HEADER_BYTES];
    const bool bHeader = fread(abHeader, 1, sizeof(abHeader), pInput) == sizeof(abHeader) &&
                         memcmp(abHeader, "RIFF", 4) == 0 && memcmp(abHeader + 8, "WAVE", 4) == 0 &&
                         memcmp(abHeader + 48, "data", 4) == 0;
    if (!bHeader) {
        fclose(pInput);
        return NULL;
    }
    return pInput;
}

// Creates the encoder context and applies the settings; NULL (nothing left allocated) when LAME refuses.
lame_t CreateEncoder(int rate) {
    lame_t pLame = lame_init();
    if (pLame == NULL) {
        return NULL;
    }
    // A refused setting would leave LAME's own choice in place (a rate LAME does not know silently becomes
    // another one), so every setting has to be accepted.
    const bool bSettings =
        lame_set_in_samplerate(pLame, ENCODER_INPUT_RATE) >= 0 && lame_set_num_channels(pLame, ENCODER_CHANNELS) >= 0 &&
        lame_set_out_samplerate(pLame, rate) >= 0 && lame_set_bWriteVbrTag(pLame, ENCODER_WRITE_VBR_TAG) >= 0;
    if (!bSettings || lame_init_params(pLame) < 0) {
        lame_close(pLame);
        return NULL;
    }
    return pLame;
}

// Writes cbEncoded bytes of an encoder result; a negative count is LAME's error code and writes nothing.
int WriteEncoded(FILE *pOutput, const unsigned char *pbEncoded, int cbEncoded) {
    if (cbEncoded < 0) {
        return MP3_E_ENCODE;
    }
    if (cbEncoded > 0 &&
        fwrite(pbEncoded, 1, static_cast<size_t>(cbEncoded), pOutput) != static_cast<size_t>(cbEncoded)) {
        return MP3_E_WRITE;
    }
    return MP3_OK;
}

// Encodes the rest of pInput block by block, then flushes the encoder; one write per encoder call.
int EncodeStream(lame_t pLame, FILE *pInput, FILE *pOutput) {
    short asInput[INPUT_BLOCK_VALUES];
    unsigned char abOutput[OUTPUT_BLOCK_BYTES];

    for (;;) {
        const size_t nValues = fread(asInput, sizeof(short), INPUT_BLOCK_VALUES, pInput);
        if (nValues == 0) {
            break;
        }
        // An odd last value makes no whole frame and is not encoded.
        const int nFrames = static_cast<int>(nValues / VALUES_PER_FRAME);
        const int cbEncoded = lame_encode_buffer_interleaved(pLame, asInput, nFrames, abOutput, OUTPUT_BLOCK_BYTES);
        const int status = WriteEncoded(pOutput, abOutput, cbEncoded);
        if (status != MP3_OK) {
            return status;
        }
    }
    // A read error still ends the stream properly, so the MP3 plays up to that point.
    const int readStatus = ferror(pInput) ? MP3_E_READ : MP3_OK;
    const int cbFlushed = lame_encode_flush(pLame, abOutput, OUTPUT_BLOCK_BYTES);
    const int flushStatus = WriteEncoded(pOutput, abOutput, cbFlushed);
    return flushStatus != MP3_OK ? flushStatus : readStatus;
}

} // namespace

int EncodeWavToMp3(const char *wavPath, const char *mp3Path, int rate) {
    if (wavPath == NULL || mp3Path == NULL) {
        return MP3_E_INPUT;
    }
    FILE *pInput = OpenInput(wavPath);
    if (pInput == NULL) {
        return MP3_E_INPUT;
    }
    // Rate 0 would let LAME choose one; the caller always names the rate it wants.
    lame_t pLame = rate > 0 ? CreateEncoder(rate) : NULL;
    if (pLame == NULL) {
        fclose(pInput);
        return MP3_E_ENCODER;
    }

    int status = MP3_E_OUTPUT;
    FILE *pOutput = fopen(mp3Path, "wb+");
    if (pOutput != NULL) {
        status = EncodeStream(pLame, pInput, pOutput);
    }
    fclose(pInput);
    // The last buffered bytes are written by fclose: a full disk shows up here.
    if (pOutput != NULL && fclose(pOutput) != 0 && status == MP3_OK) {
        status = MP3_E_WRITE;
    }
    lame_close(pLame);
    return status;
}
