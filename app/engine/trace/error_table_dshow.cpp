// DirectShow status descriptions (VFW_S_*, VFW_E_*), sorted by code.
#include <vfwmsgs.h>

#include "error_table.h"

namespace {

const ErrorText kDirectShow[] = {
    {VFW_S_NO_MORE_ITEMS, "The end of the list has been reached."},
    {VFW_S_DUPLICATE_NAME, "An attempt to add a filter with a duplicate name succeeded with a modified name."},
    {VFW_S_STATE_INTERMEDIATE, "The state transition has not completed."},
    {VFW_S_PARTIAL_RENDER, "Some of the streams in this movie are in an unsupported format."},
    {VFW_S_SOME_DATA_IGNORED, "The file contained some property settings that were not used."},
    {VFW_S_CONNECTIONS_DEFERRED, "Some connections have failed and have been deferred."},
    {VFW_S_RESOURCE_NOT_NEEDED, "The resource specified is no longer needed."},
    {VFW_S_MEDIA_TYPE_IGNORED, "A connection could not be made with the media type in the persistent graph, but "
                               "has been made with a negotiated media type."},
    {VFW_S_VIDEO_NOT_RENDERED, "Cannot play back the video stream: no suitable decompressor could be found."},
    {VFW_S_AUDIO_NOT_RENDERED, "Cannot play back the audio stream: no audio hardware is available."},
    {VFW_S_RPZA, "Cannot play back the video stream: format 'RPZA' is not supported."},
    {VFW_S_ESTIMATED, "The value returned had to be estimated. It's accuracy can not be guaranteed."},
    {VFW_S_RESERVED, "This success code is reserved for internal purposes within ActiveMovie."},
    {VFW_S_STREAM_OFF, "The stream has been turned off."},
    {VFW_S_CANT_CUE, "The graph can't be cued because of lack of or corrupt data."},
    {VFW_S_NO_STOP_TIME, "The stop time for the sample was not set."},
    {VFW_S_NOPREVIEWPIN, "There was no preview pin available, so the capture pin output is being split to "
                         "provide both capture and preview."},
    {VFW_S_DVD_NON_ONE_SEQUENTIAL, "The current title was not a sequential set of chapters (PGC), and the "
                                   "returned timing information might not be continuous."},
    {VFW_S_DVD_CHANNEL_CONTENTS_NOT_AVAILABLE, "The audio stream does not contain sufficient information to "
                                               "determine the contents of each channel."},
    {VFW_S_DVD_NOT_ACCURATE, "The seek into the movie was not frame accurate."},
    {VFW_E_INVALIDMEDIATYPE, "An invalid media type was specified."},
    {VFW_E_INVALIDSUBTYPE, "An invalid media subtype was specified."},
    {VFW_E_NEED_OWNER, "This object can only be created as an aggregated object."},
    {VFW_E_ENUM_OUT_OF_SYNC, "The enumerator has become invalid."},
    {VFW_E_ALREADY_CONNECTED, "At least one of the pins involved in the operation is already connected."},
    {VFW_E_FILTER_ACTIVE, "This operation cannot be performed because the filter is active."},
    {VFW_E_NO_TYPES, "One of the specified pins supports no media types."},
    {VFW_E_NO_ACCEPTABLE_TYPES, "There is no common media type between these pins."},
    {VFW_E_INVALID_DIRECTION, "Two pins of the same direction cannot be connected together."},
    {VFW_E_NOT_CONNECTED, "The operation cannot be performed because the pins are not connected."},
    {VFW_E_NO_ALLOCATOR, "No sample buffer allocator is available."},
    {VFW_E_RUNTIME_ERROR, "A run-time error occurred."},
    {VFW_E_BUFFER_NOTSET, "No buffer space has been set."},
    {VFW_E_BUFFER_OVERFLOW, "The buffer is not big enough."},
    {VFW_E_BADALIGN, "An invalid alignment was specified."},
    {VFW_E_ALREADY_COMMITTED, "Cannot change allocated memory while the filter is active."},
    {VFW_E_BUFFERS_OUTSTANDING, "One or more buffers are still active."},
    {VFW_E_NOT_COMMITTED, "Cannot allocate a sample when the allocator is not active."},
    {VFW_E_SIZENOTSET, "Cannot allocate memory because no size has been set."},
    {VFW_E_NO_CLOCK, "Cannot lock for synchronization because no clock has been defined."},
    {VFW_E_NO_SINK, "Quality messages could not be sent because no quality sink has been defined."},
    {VFW_E_NO_INTERFACE, "A required interface has not been implemented."},
    {VFW_E_NOT_FOUND, "An object or name was not found."},
    {VFW_E_CANNOT_CONNECT, "No combination of intermediate filters could be found to make the connection."},
    {VFW_E_CANNOT_RENDER, "No combination of filters could be found to render the stream."},
    {VFW_E_CHANGING_FORMAT, "Could not change formats dynamically."},
    {VFW_E_NO_COLOR_KEY_SET, "No color key has been set."},
    {VFW_E_NOT_OVERLAY_CONNECTION, "Current pin connection is not using the IOverlay transport."},
    {VFW_E_NOT_SAMPLE_CONNECTION, "Current pin connection is not using the IMemInputPin transport."},
    {VFW_E_PALETTE_SET, "Setting a color key would conflict with the palette already set."},
    {VFW_E_COLOR_KEY_SET, "Setting a palette would conflict with the color key already set."},
    {VFW_E_NO_COLOR_KEY_FOUND, "No matching color key is available."},
    {VFW_E_NO_PALETTE_AVAILABLE, "No palette is available."},
    {VFW_E_NO_DISPLAY_PALETTE, "Display does not use a palette."},
    {VFW_E_TOO_MANY_COLORS, "Too many colors for the current display settings."},
    {VFW_E_STATE_CHANGED, "The state changed while waiting to process the sample."},
    {VFW_E_NOT_STOPPED, "The operation could not be performed because the filter is not stopped."},
    {VFW_E_NOT_PAUSED, "The operation could not be performed because the filter is not paused."},
    {VFW_E_NOT_RUNNING, "The operation could not be performed because the filter is not running."},
    {VFW_E_WRONG_STATE, "The operation could not be performed because the filter is in the wrong state."},
    {VFW_E_START_TIME_AFTER_END, "The sample start time is after the sample end time."},
    {VFW_E_INVALID_RECT, "The supplied rectangle is invalid."},
    {VFW_E_TYPE_NOT_ACCEPTED, "This pin cannot use the supplied media type."},
    {VFW_E_SAMPLE_REJECTED, "This sample cannot be rendered."},
    {VFW_E_SAMPLE_REJECTED_EOS, "This sample cannot be rendered because the end of the stream has been "
                                "reached."},
    {VFW_E_DUPLICATE_NAME, "An attempt to add a filter with a duplicate name failed."},
    {VFW_E_TIMEOUT, "A time-out has expired."},
    {VFW_E_INVALID_FILE_FORMAT, "The file format is invalid."},
    {VFW_E_ENUM_OUT_OF_RANGE, "The list has already been exhausted."},
    {VFW_E_CIRCULAR_GRAPH, "The filter graph is circular."},
    {VFW_E_NOT_ALLOWED_TO_SAVE, "Updates are not allowed in this state."},
    {VFW_E_TIME_ALREADY_PASSED, "An attempt was made to queue a command for a time in the past."},
    {VFW_E_ALREADY_CANCELLED, "The queued command has already been canceled."},
    {VFW_E_CORRUPT_GRAPH_FILE, "Cannot render the file because it is corrupt."},
    {VFW_E_ADVISE_ALREADY_SET, "An overlay advise link already exists."},
    {VFW_E_NO_MODEX_AVAILABLE, "No full-screen modes are available."},
    {VFW_E_NO_ADVISE_SET, "This advise cannot be canceled because it was not successfully set."},
    {VFW_E_NO_FULLSCREEN, "A full-screen mode is not available."},
    {VFW_E_IN_FULLSCREEN_MODE, "Cannot call IVideoWindow methods while in full-screen mode."},
    {VFW_E_UNKNOWN_FILE_TYPE, "The media type of this file is not recognized."},
    {VFW_E_CANNOT_LOAD_SOURCE_FILTER, "The source filter for this file could not be loaded."},
    {VFW_E_FILE_TOO_SHORT, "A file appeared to be incomplete."},
    {VFW_E_INVALID_FILE_VERSION, "The version number of the file is invalid."},
    {VFW_E_INVALID_CLSID, "This file is corrupt: it contains an invalid class identifier."},
    {VFW_E_INVALID_MEDIA_TYPE, "This file is corrupt: it contains an invalid media type."},
    {VFW_E_SAMPLE_TIME_NOT_SET, "No time stamp has been set for this sample."},
    {VFW_E_MEDIA_TIME_NOT_SET, "No media time stamp has been set for this sample."},
    {VFW_E_NO_TIME_FORMAT_SET, "No media time format has been selected."},
    {VFW_E_MONO_AUDIO_HW, "Cannot change balance because audio device is mono only."},
    {VFW_E_NO_DECOMPRESSOR, "Cannot play back the video stream: no suitable decompressor could be found."},
    {VFW_E_NO_AUDIO_HARDWARE, "Cannot play back the audio stream: no audio hardware is available, or the "
                              "hardware is not responding."},
    {VFW_E_RPZA, "Cannot play back the video stream: format 'RPZA' is not supported."},
    {VFW_E_PROCESSOR_NOT_SUITABLE, "ActiveMovie cannot play MPEG movies on this processor."},
    {VFW_E_UNSUPPORTED_AUDIO, "Cannot play back the audio stream: the audio format is not supported."},
    {VFW_E_UNSUPPORTED_VIDEO, "Cannot play back the video stream: the video format is not supported."},
    {VFW_E_MPEG_NOT_CONSTRAINED, "ActiveMovie cannot play this video stream because it falls outside the "
                                 "constrained standard."},
    {VFW_E_NOT_IN_GRAPH, "Cannot perform the requested function on an object that is not in the filter "
                         "graph."},
    {VFW_E_NO_TIME_FORMAT, "Cannot get or set time related information on an object that is using a time "
                           "format of TIME_FORMAT_NONE."},
    {VFW_E_READ_ONLY, "The connection cannot be made because the stream is read only and the filter alters the "
                      "data."},
    {VFW_E_BUFFER_UNDERFLOW, "The buffer is not full enough."},
    {VFW_E_UNSUPPORTED_STREAM, "Cannot play back the file. The format is not supported."},
    {VFW_E_NO_TRANSPORT, "Pins cannot connect due to not supporting the same transport."},
    {VFW_E_BAD_VIDEOCD, "The Video CD can't be read correctly by the device or is the data is corrupt."},
    {VFW_E_OUT_OF_VIDEO_MEMORY, "There is not enough Video Memory at this display resolution and number of "
                                "colors. Reducing resolution might help."},
    {VFW_E_VP_NEGOTIATION_FAILED, "The VideoPort connection negotiation process has failed."},
    {VFW_E_DDRAW_CAPS_NOT_SUITABLE, "Either DirectDraw has not been installed or the Video Card capabilities are "
                                    "not suitable. Make sure the display is not in 16 color mode."},
    {VFW_E_NO_VP_HARDWARE, "No VideoPort hardware is available, or the hardware is not responding."},
    {VFW_E_NO_CAPTURE_HARDWARE, "No Capture hardware is available, or the hardware is not responding."},
    {VFW_E_DVD_OPERATION_INHIBITED, "This User Operation is inhibited by DVD Content at this time."},
    {VFW_E_DVD_INVALIDDOMAIN, "This Operation is not permitted in the current domain."},
    {VFW_E_DVD_NO_BUTTON, "The specified button is invalid or is not present at the current location, or there "
                          "is no button present at the specified location."},
    {VFW_E_DVD_GRAPHNOTREADY, "DVD-Video playback graph has not been built yet."},
    {VFW_E_DVD_RENDERFAIL, "DVD-Video playback graph building failed."},
    {VFW_E_DVD_DECNOTENOUGH, "DVD-Video playback graph could not be built due to insufficient decoders."},
    {VFW_E_DDRAW_VERSION_NOT_SUITABLE, "Version number of DirectDraw not suitable. Make sure to install dx5 or "
                                       "higher version."},
    {VFW_E_COPYPROT_FAILED, "Copy protection cannot be enabled. Please make sure any other copy protected content "
                            "is not being shown now."},
    {VFW_E_TIME_EXPIRED, "This object cannot be used anymore as its time has expired."},
    {VFW_E_DVD_WRONG_SPEED, "The operation cannot be performed at the current playback speed."},
    {VFW_E_DVD_MENU_DOES_NOT_EXIST, "The specified menu doesn't exist."},
    {VFW_E_DVD_CMD_CANCELLED, "The specified command was either cancelled or no longer exists."},
    {VFW_E_DVD_STATE_WRONG_VERSION, "The data did not contain a recognized version."},
    {VFW_E_DVD_STATE_CORRUPT, "The state data was corrupt."},
    {VFW_E_DVD_STATE_WRONG_DISC, "The state data is from a different disc."},
    {VFW_E_DVD_INCOMPATIBLE_REGION, "The region was not compatible with the current drive."},
    {VFW_E_DVD_NO_ATTRIBUTES, "The requested DVD stream attribute does not exist."},
    {VFW_E_DVD_NO_GOUP_PGC, "Currently there is no GoUp (Annex J user function) program chain (PGC)."},
    {VFW_E_DVD_LOW_PARENTAL_LEVEL, "The current parental level was too low."},
    {VFW_E_DVD_NOT_IN_KARAOKE_MODE, "The current audio is not karaoke content."},
    {VFW_E_FRAME_STEP_UNSUPPORTED, "Frame step is not supported on this configuration."},
    {VFW_E_DVD_STREAM_DISABLED, "The specified stream is disabled and cannot be selected."},
    {VFW_E_DVD_TITLE_UNKNOWN, "The operation depends on the current title number, however the navigator has not "
                              "yet entered the VTSM or the title domains, so the 'current' title index is "
                              "unknown."},
    {VFW_E_DVD_INVALID_DISC, "The specified path does not point to a valid DVD disc."},
    {VFW_E_DVD_NO_RESUME_INFORMATION, "There is currently no resume information."},
    {VFW_E_PIN_ALREADY_BLOCKED_ON_THIS_THREAD, "This thread has already blocked this output pin. There is no "
                                               "need to call IPinFlowControl::Block() again."},
    {VFW_E_PIN_ALREADY_BLOCKED, "IPinFlowControl::Block() has been called on another thread. The current thread "
                                "cannot make any assumptions about this pin's block state."},
    {VFW_E_CERTIFICATION_FAILURE, "An operation failed due to a certification failure."},
    {VFW_E_VMR_NOT_IN_MIXER_MODE, "The VMR has not yet created a mixing component. That is, "
                                  "IVMRFilterConfig::SetNumberofStreams has not yet been called."},
    {VFW_E_VMR_NO_AP_SUPPLIED, "The application has not yet provided the VMR filter with a valid allocator-"
                               "presenter object."},
    {VFW_E_VMR_NO_DEINTERLACE_HW, "The VMR could not find any de-interlacing hardware on the current display "
                                  "device."},
    {VFW_E_VMR_NO_PROCAMP_HW, "The VMR could not find any ProcAmp hardware on the current display device."},
    {VFW_E_DVD_VMR9_INCOMPATIBLEDEC, "VMR9 does not work with VPE-based hardware decoders."},
    {VFW_E_NO_COPP_HW, "The current display device does not support Content Output Protection Protocol (COPP) "
                       "H/W."},
    {VFW_E_DVD_NONBLOCKING, "The navigator could not complete the requested operation in non-blocking mode."},
    {VFW_E_DVD_TOO_MANY_RENDERERS_IN_FILTER_GRAPH, "The filter graph contains more than one DVD video renderer."},
    {VFW_E_DVD_NON_EVR_RENDERER_IN_FILTER_GRAPH, "The DVD navigator requires the Enhanced Video Renderer, and "
                                                 "another video renderer is in the filter graph."},
    {VFW_E_DVD_RESOLUTION_ERROR, "The source and destination rectangles for the DVD video do not match the "
                                 "display resolution."},
    {VFW_E_CODECAPI_LINEAR_RANGE, "The parameter has a linear range of values; a list of possible values is not "
                                  "available."},
    {VFW_E_CODECAPI_ENUMERATED, "The parameter takes a list of discrete values; a linear range is not "
                                "available."},
    {VFW_E_CODECAPI_NO_DEFAULT, "The parameter does not have a default value."},
    {VFW_E_CODECAPI_NO_CURRENT_VALUE, "The parameter does not have a current value."},
    {VFW_E_DVD_CHAPTER_DOES_NOT_EXIST, "The specified chapter number does not exist."},
    {VFW_E_BAD_KEY, "A registry entry is corrupt."},
};

} // namespace

ERROR_TABLE(g_dshowErrors, "DirectShow", kDirectShow);
