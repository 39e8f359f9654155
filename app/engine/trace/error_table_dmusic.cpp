// DirectMusic (DMUS_S_*, DMUS_E_*) and DirectSound (DS_*, DSERR_*) status descriptions, sorted by code.
#include <dmerror.h>
#include <dsound.h>

#include "error_table.h"

namespace {

const ErrorText kDirectMusic[] = {
    {DMUS_S_PARTIALLOAD, "The object could only load partially. This can happen if some components are not "
                         "registered properly, such as embedded tracks and tools. This can also happen if some "
                         "content is missing. For example, if a segment uses a DLS collection that is not in the "
                         "loader's current search directory."},
    {DMUS_S_PARTIALDOWNLOAD, "Return value from IDirectMusicBand::Download() which indicates that some of the "
                             "instruments safely downloaded, but others failed. This usually occurs when some "
                             "instruments are on PChannels not supported by the performance or port."},
    {DMUS_S_REQUEUE, "Return value from IDirectMusicTool::ProcessPMsg() which indicates to the performance that "
                     "it should cue the PMsg again automatically."},
    {DMUS_S_FREE, "Return value from IDirectMusicTool::ProcessPMsg() which indicates to the performance that it "
                  "should free the PMsg automatically."},
    {DMUS_S_END, "Return value from IDirectMusicTrack::Play() which indicates to the segment that the track has "
                 "no more data after mtEnd."},
    {DMUS_S_STRING_TRUNCATED, "Returned string has been truncated to fit the buffer size."},
    {DMUS_S_LAST_TOOL, "Returned from IDirectMusicGraph::StampPMsg(), this indicates that the PMsg is already "
                       "stamped with the last tool in the graph. The returned PMsg's tool pointer is now NULL."},
    {DMUS_S_OVER_CHORD, "Returned from IDirectMusicPerformance::MusicToMIDI(), this indicates that no note has "
                        "been calculated because the music value has the note at a position higher than the top "
                        "note of the chord. This applies only to DMUS_PLAYMODE_NORMALCHORD play mode. This "
                        "success code indicates that the caller should not do anything with the note. It is not "
                        "meant to be played against this chord."},
    {DMUS_S_UP_OCTAVE, "Returned from IDirectMusicPerformance::MIDIToMusic(), and "
                       "IDirectMusicPerformance::MusicToMIDI(), this indicates that the note conversion generated "
                       "a note value that is below 0, so it has been bumped up one or more octaves to be in the "
                       "proper MIDI range of 0 through 127. Note that this is valid for MIDIToMusic() when using "
                       "play modes DMUS_PLAYMODE_FIXEDTOCHORD and DMUS_PLAYMODE_FIXEDTOKEY, both of which store "
                       "MIDI values in wMusicValue. With MusicToMIDI(), it is valid for all play modes. Of "
                       "course, DMUS_PLAYMODE_FIXED will never return this success code."},
    {DMUS_S_DOWN_OCTAVE, "Returned from IDirectMusicPerformance::MIDIToMusic(), and "
                         "IDirectMusicPerformance::MusicToMIDI(), this indicates that the note conversion "
                         "generated a note value that is above 127, so it has been bumped down one or more octaves "
                         "to be in the proper MIDI range of 0 through 127. Note that this is valid for "
                         "MIDIToMusic() when using play modes DMUS_PLAYMODE_FIXEDTOCHORD and "
                         "DMUS_PLAYMODE_FIXEDTOKEY, both of which store MIDI values in wMusicValue. With "
                         "MusicToMIDI(), it is valid for all play modes. Of course, DMUS_PLAYMODE_FIXED will never "
                         "return this success code."},
    {DMUS_S_NOBUFFERCONTROL, "Although the audio output from the port will be routed to the same device as the "
                             "given DirectSound buffer, buffer controls such as pan and volume will not affect "
                             "the output."},
    {DMUS_S_GARBAGE_COLLECTED, "The requested operation was not performed because during CollectGarbage the "
                               "loader determined that the object had been released."},
    {DMUS_E_DRIVER_FAILED, "An unexpected error was returned from a device driver, indicating possible failure "
                           "of the driver or hardware."},
    {DMUS_E_PORTS_OPEN, "The requested operation cannot be performed while there are instantiated ports in any "
                        "process in the system."},
    {DMUS_E_DEVICE_IN_USE, "The requested device is already in use (possibly by a non-DirectMusic client) and "
                           "cannot be opened again."},
    {DMUS_E_INSUFFICIENTBUFFER, "Buffer is not large enough for requested operation."},
    {DMUS_E_BUFFERNOTSET, "No buffer was prepared for the download data."},
    {DMUS_E_BUFFERNOTAVAILABLE, "Download failed due to inability to access or create download buffer."},
    {DMUS_E_NOTADLSCOL, "Error parsing DLS collection. File is corrupt."},
    {DMUS_E_INVALIDOFFSET, "Wave chunks in DLS collection file are at incorrect offsets."},
    {DMUS_E_ALREADY_LOADED, "Second attempt to load a DLS collection that is currently open."},
    {DMUS_E_INVALIDPOS, "Error reading wave data from DLS collection. Indicates bad file."},
    {DMUS_E_INVALIDPATCH, "There is no instrument in the collection that matches patch number."},
    {DMUS_E_CANNOTSEEK, "The IStream* doesn't support Seek()."},
    {DMUS_E_CANNOTWRITE, "The IStream* doesn't support Write()."},
    {DMUS_E_CHUNKNOTFOUND, "The RIFF parser doesn't contain a required chunk while parsing file."},
    {DMUS_E_INVALID_DOWNLOADID, "Invalid download id was used in the process of creating a download buffer."},
    {DMUS_E_NOT_DOWNLOADED_TO_PORT, "Tried to unload an object that was not downloaded or previously unloaded."},
    {DMUS_E_ALREADY_DOWNLOADED, "Buffer was already downloaded to synth."},
    {DMUS_E_UNKNOWN_PROPERTY, "The specified property item was not recognized by the target object."},
    {DMUS_E_SET_UNSUPPORTED, "The specified property item may not be set on the target object."},
    {DMUS_E_GET_UNSUPPORTED, "The specified property item may not be retrieved from the target object."},
    {DMUS_E_NOTMONO, "Wave chunk has more than one interleaved channel. DLS format requires MONO."},
    {DMUS_E_BADARTICULATION, "Invalid articulation chunk in DLS collection."},
    {DMUS_E_BADINSTRUMENT, "Invalid instrument chunk in DLS collection."},
    {DMUS_E_BADWAVELINK, "Wavelink chunk in DLS collection points to invalid wave."},
    {DMUS_E_NOARTICULATION, "Articulation missing from instrument in DLS collection."},
    {DMUS_E_NOTPCM, "Downloaded DLS wave is not in PCM format."},
    {DMUS_E_BADWAVE, "Bad wave chunk in DLS collection"},
    {DMUS_E_BADOFFSETTABLE, "Offset Table for download buffer has errors."},
    {DMUS_E_UNKNOWNDOWNLOAD, "Attempted to download unknown data type."},
    {DMUS_E_NOSYNTHSINK, "The operation could not be completed because no sink was connected to the synthesizer."},
    {DMUS_E_ALREADYOPEN, "An attempt was made to open the software synthesizer while it was already open."},
    {DMUS_E_ALREADYCLOSED, "An attempt was made to close the software synthesizer while it was already closed."},
    {DMUS_E_SYNTHNOTCONFIGURED, "The operation could not be completed because the software synth has not yet "
                                "been fully configured."},
    {DMUS_E_SYNTHACTIVE, "The operation cannot be carried out while the synthesizer is active."},
    {DMUS_E_CANNOTREAD, "An error occurred while attempting to read from the IStream* object."},
    {DMUS_E_DMUSIC_RELEASED, "The operation cannot be performed because the final instance of the DirectMusic "
                             "object was released. Ports cannot be used after final release of the DirectMusic "
                             "object."},
    {DMUS_E_BUFFER_EMPTY, "There was no data in the referenced buffer."},
    {DMUS_E_BUFFER_FULL, "There is insufficient space to insert the given event into the buffer."},
    {DMUS_E_PORT_NOT_CAPTURE, "The given operation could not be carried out because the port is a capture port."},
    {DMUS_E_PORT_NOT_RENDER, "The given operation could not be carried out because the port is a render port."},
    {DMUS_E_DSOUND_NOT_SET, "The port could not be created because no DirectSound has been specified. Specify a "
                            "DirectSound interface via the IDirectMusic::SetDirectSound method; pass NULL to have "
                            "DirectMusic manage usage of DirectSound."},
    {DMUS_E_ALREADY_ACTIVATED, "The operation cannot be carried out while the port is active."},
    {DMUS_E_INVALIDBUFFER, "Invalid DirectSound buffer was handed to port."},
    {DMUS_E_WAVEFORMATNOTSUPPORTED, "Invalid buffer format was handed to the synth sink."},
    {DMUS_E_SYNTHINACTIVE, "The operation cannot be carried out while the synthesizer is inactive."},
    {DMUS_E_DSOUND_ALREADY_SET, "IDirectMusic::SetDirectSound has already been called. It may not be changed "
                                "while in use."},
    {DMUS_E_INVALID_EVENT, "The given event is invalid (either it is not a valid MIDI message or it makes use of "
                           "running status). The event cannot be packed into the buffer."},
    {DMUS_E_UNSUPPORTED_STREAM, "The IStream* object does not contain data supported by the loading object."},
    {DMUS_E_ALREADY_INITED, "The object has already been initialized."},
    {DMUS_E_INVALID_BAND, "The file does not contain a valid band."},
    {DMUS_E_TRACK_HDR_NOT_FIRST_CK, "The IStream* object's data does not have a track header as the first chunk, "
                                    "and therefore can not be read by the segment object."},
    {DMUS_E_TOOL_HDR_NOT_FIRST_CK, "The IStream* object's data does not have a tool header as the first chunk, "
                                   "and therefore can not be read by the graph object."},
    {DMUS_E_INVALID_TRACK_HDR, "The IStream* object's data contains an invalid track header (ckid is 0 and "
                               "fccType is NULL,) and therefore can not be read by the segment object."},
    {DMUS_E_INVALID_TOOL_HDR, "The IStream* object's data contains an invalid tool header (ckid is 0 and fccType "
                              "is NULL,) and therefore can not be read by the graph object."},
    {DMUS_E_ALL_TOOLS_FAILED, "The graph object was unable to load all tools from the IStream* object data. This "
                              "may be due to errors in the stream, or the tools being incorrectly registered on "
                              "the client."},
    {DMUS_E_ALL_TRACKS_FAILED, "The segment object was unable to load all tracks from the IStream* object data. "
                               "This may be due to errors in the stream, or the tracks being incorrectly "
                               "registered on the client."},
    {DMUS_E_NOT_FOUND, "The requested item was not contained by the object."},
    {DMUS_E_NOT_INIT, "A required object is not initialized or failed to initialize."},
    {DMUS_E_TYPE_DISABLED, "The requested parameter type is currently disabled. Parameter types may be enabled "
                           "and disabled by certain calls to SetParam()."},
    {DMUS_E_TYPE_UNSUPPORTED, "The requested parameter type is not supported on the object."},
    {DMUS_E_TIME_PAST, "The time is in the past, and the operation can not succeed."},
    {DMUS_E_TRACK_NOT_FOUND, "The requested track is not contained by the segment."},
    {DMUS_E_TRACK_NO_CLOCKTIME_SUPPORT, "The track does not support clock time playback or getparam."},
    {DMUS_E_NO_MASTER_CLOCK, "There is no master clock in the performance. Be sure to call "
                             "IDirectMusicPerformance::Init()."},
    {DMUS_E_LOADER_NOCLASSID, "The class id field is required and missing in the DMUS_OBJECTDESC."},
    {DMUS_E_LOADER_BADPATH, "The requested file path is invalid."},
    {DMUS_E_LOADER_FAILEDOPEN, "File open failed - either file doesn't exist or is locked."},
    {DMUS_E_LOADER_FORMATNOTSUPPORTED, "Search data type is not supported."},
    {DMUS_E_LOADER_FAILEDCREATE, "Unable to find or create object."},
    {DMUS_E_LOADER_OBJECTNOTFOUND, "Object was not found."},
    {DMUS_E_LOADER_NOFILENAME, "The file name is missing from the DMUS_OBJECTDESC."},
    {DMUS_E_INVALIDFILE, "The file requested is not a valid file."},
    {DMUS_E_ALREADY_EXISTS, "The tool is already contained in the graph. Create a new instance."},
    {DMUS_E_OUT_OF_RANGE, "Value is out of range, for instance the requested length is longer than the "
                          "segment."},
    {DMUS_E_SEGMENT_INIT_FAILED, "Segment initialization failed, most likely due to a critical memory "
                                 "situation."},
    {DMUS_E_ALREADY_SENT, "The DMUS_PMSG has already been sent to the performance object via "
                          "IDirectMusicPerformance::SendPMsg()."},
    {DMUS_E_CANNOT_FREE, "The DMUS_PMSG was either not allocated by the performance via "
                         "IDirectMusicPerformance::AllocPMsg(), or it was already freed via "
                         "IDirectMusicPerformance::FreePMsg()."},
    {DMUS_E_CANNOT_OPEN_PORT, "The default system port could not be opened."},
    {DMUS_E_CANNOT_CONVERT, "A call to MIDIToMusic() or MusicToMIDI() resulted in an error because the "
                            "requested conversion could not happen. This usually occurs when the provided "
                            "DMUS_CHORD_KEY structure has an invalid chord or scale pattern."},
    {DMUS_E_DESCEND_CHUNK_FAIL, "DMUS_E_DESCEND_CHUNK_FAIL is returned when the end of the file was reached "
                                "before the desired chunk was found."},
    {DMUS_E_NOT_LOADED, "An attempt to use this object failed because it first needs to be loaded."},
    {DMUS_E_SCRIPT_LANGUAGE_INCOMPATIBLE, "The activeX scripting engine for the script's language is not "
                                          "compatible with DirectMusic."},
    {DMUS_E_SCRIPT_UNSUPPORTED_VARTYPE, "A variant was used that had a type that is not supported by "
                                        "DirectMusic."},
    {DMUS_E_SCRIPT_ERROR_IN_SCRIPT, "An error was encountered while parsing or executing the script. The "
                                    "pErrorInfo parameter (if supplied) was filled with information about the "
                                    "error."},
    {DMUS_E_SCRIPT_CANTLOAD_OLEAUT32, "Loading of oleaut32.dll failed. VBScript and other activeX scripting "
                                      "languages require use of oleaut32.dll. On platforms where oleaut32.dll is "
                                      "not present, only the DirectMusicScript language, which doesn't require "
                                      "oleaut32.dll can be used."},
    {DMUS_E_SCRIPT_LOADSCRIPT_ERROR, "An error occured while parsing a script loaded using LoadScript. The "
                                     "script that was loaded contains an error."},
    {DMUS_E_SCRIPT_INVALID_FILE, "The script file is invalid."},
    {DMUS_E_INVALID_SCRIPTTRACK, "The file contains an invalid script track."},
    {DMUS_E_SCRIPT_VARIABLE_NOT_FOUND, "The script does not contain a variable with the specified name."},
    {DMUS_E_SCRIPT_ROUTINE_NOT_FOUND, "The script does not contain a routine with the specified name."},
    {DMUS_E_SCRIPT_CONTENT_READONLY, "Scripts variables for content referenced or embedded in a script cannot "
                                     "be set."},
    {DMUS_E_SCRIPT_NOT_A_REFERENCE, "Attempt was made to set a script's variable by reference to a value that "
                                    "was not an object type."},
    {DMUS_E_SCRIPT_VALUE_NOT_SUPPORTED, "Attempt was made to set a script's variable by value to an object that "
                                        "does not support a default value property."},
    {DMUS_E_INVALID_SEGMENTTRIGGERTRACK, "The file contains an invalid segment trigger track."},
    {DMUS_E_INVALID_LYRICSTRACK, "The file contains an invalid lyrics track."},
    {DMUS_E_INVALID_PARAMCONTROLTRACK, "The file contains an invalid parameter control track."},
    {DMUS_E_AUDIOVBSCRIPT_SYNTAXERROR, "A script written in AudioVBScript could not be read because it "
                                       "contained a statement that is not allowed by the AudioVBScript "
                                       "language."},
    {DMUS_E_AUDIOVBSCRIPT_RUNTIMEERROR, "A script routine written in AudioVBScript failed because an invalid "
                                        "operation occurred. For example, adding the number 3 to a segment "
                                        "object would produce this error. So would attempting to call a routine "
                                        "that doesn't exist."},
    {DMUS_E_AUDIOVBSCRIPT_OPERATIONFAILURE, "A script routine written in AudioVBScript failed because a "
                                            "function outside of a script failed to complete. For example, a "
                                            "call to PlaySegment that fails to play because of low memory would "
                                            "return this error."},
    {DMUS_E_AUDIOPATHS_NOT_VALID, "The Performance has set up some PChannels using the AssignPChannel command, "
                                  "which makes it not capable of supporting audio paths."},
    {DMUS_E_AUDIOPATHS_IN_USE, "This is the inverse of the previous error. The Performance has set up some "
                               "audio paths, which makes is incompatible with the calls to allocate pchannels, "
                               "etc."},
    {DMUS_E_NO_AUDIOPATH_CONFIG, "A segment or song was asked for its embedded audio path configuration, but "
                                 "there isn't any."},
    {DMUS_E_AUDIOPATH_INACTIVE, "An audiopath is inactive, perhaps because closedown was called."},
    {DMUS_E_AUDIOPATH_NOBUFFER, "An audiopath failed to create because a requested buffer could not be "
                                "created."},
    {DMUS_E_AUDIOPATH_NOPORT, "An audiopath could not be used for playback because it lacked port "
                              "assignments."},
    {DMUS_E_NO_AUDIOPATH, "Attempt was made to play segment in audiopath mode and there was no audiopath."},
    {DMUS_E_INVALIDCHUNK, "Invalid data was found in a RIFF file chunk."},
    {DMUS_E_AUDIOPATH_NOGLOBALFXBUFFER, "Attempt was made to create an audiopath that sends to a global effects "
                                        "buffer which did not exist."},
    {DMUS_E_INVALID_CONTAINER_OBJECT, "The file does not contain a valid container object."},
};

const ErrorText kDirectSound[] = {
    {DS_NO_VIRTUALIZATION, "The call succeeded, but we had to substitute the 3D algorithm"},
    {DS_INCOMPLETE, "The call succeeded, but not all of the optional effects were obtained."},
    {DSERR_ALLOCATED, "The call failed because resources (such as a priority level) were already being used by "
                      "another caller"},
    {DSERR_CONTROLUNAVAIL, "The control (vol, pan, etc.) requested by the caller is not available"},
    {DSERR_INVALIDCALL, "This call is not valid for the current state of this object"},
    {DSERR_PRIOLEVELNEEDED, "The caller does not have the priority level required for the function to succeed"},
    {DSERR_BADFORMAT, "The specified WAVE format is not supported"},
    {DSERR_NODRIVER, "No sound driver is available for use"},
    {DSERR_ALREADYINITIALIZED, "This object is already initialized"},
    {DSERR_BUFFERLOST, "The buffer memory has been lost, and must be restored"},
    {DSERR_OTHERAPPHASPRIO, "Another app has a higher priority level, preventing this call from succeeding"},
    {DSERR_UNINITIALIZED, "This object has not been initialized"},
    {DSERR_BUFFERTOOSMALL, "Tried to create a DSBCAPS_CTRLFX buffer shorter than DSBSIZE_FX_MIN milliseconds"},
    {DSERR_DS8_REQUIRED, "Attempt to use DirectSound 8 functionality on an older DirectSound object"},
    {DSERR_SENDLOOP, "A circular loop of send effects was detected"},
    {DSERR_BADSENDBUFFERGUID, "The GUID specified in an audiopath file does not match a valid MIXIN buffer"},
    {DSERR_FXUNAVAILABLE, "The effects requested could not be found on the system, or they were found but in the "
                          "wrong order, or in the wrong hardware/software locations."},
    {DSERR_OBJECTNOTFOUND, "The object requested was not found (numerically equal to DMUS_E_NOT_FOUND)"},
};

} // namespace

ERROR_TABLE(g_dmusicErrors, "DirectMusic", kDirectMusic);
ERROR_TABLE(g_dsoundErrors, "DirectSound", kDirectSound);
