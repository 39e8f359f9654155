/* lame_enc.dll: binds the static libmp3lame into a DLL whose exports (lame_enc.def) carry ordinals only. */
#include <lame/lame.h>

/* Ordinal 1006 is lame_set_bWriteVbrTag. Its caller sets it to 0 because the MP3 is written straight to a
 * file in one pass: with the tag on, LAME starts the stream with a blank Xing/Info frame that only
 * lame_mp3_tags_fid, seeking back to the start of the file, fills in. Nobody does that here, so the
 * blank frame would only be a frame of silence with a wrong header before the music. */

/* Referencing every exported function pulls its object file out of the static archive, whatever the
 * linker does with the names listed in the .def file. */
typedef void (*LameEntry)(void);
__attribute__((used)) static const LameEntry s_exportedEntries[] = {
    (LameEntry)lame_init,
    (LameEntry)lame_close,
    (LameEntry)lame_init_params,
    (LameEntry)lame_encode_buffer_interleaved,
    (LameEntry)lame_encode_flush,
    (LameEntry)lame_set_in_samplerate,
    (LameEntry)lame_set_num_channels,
    (LameEntry)lame_set_bWriteVbrTag,
    (LameEntry)lame_set_out_samplerate,
};
