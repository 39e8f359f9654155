// DirectInput status descriptions (DIERR_* with codes of their own), sorted by code.
#define DIRECTINPUT_VERSION 0x0800
#include <dinput.h>

#include "error_table.h"

namespace {

// DirectInput's other codes are COM or Win32 codes under another name (DIERR_GENERIC is E_FAIL,
// DIERR_NOTINITIALIZED is HRESULT_FROM_WIN32(ERROR_NOT_READY)): those keep the COM or Win32 text.
const ErrorText kDirectInput[] = {
    {static_cast<HRESULT>(DIERR_INSUFFICIENTPRIVS),
     "Unable to IDirectInputJoyConfig_Acquire because the user does not have sufficient "
     "privileges to change the joystick configuration."},
    {static_cast<HRESULT>(DIERR_DEVICEFULL), "The device is full."},
    {static_cast<HRESULT>(DIERR_MOREDATA), "Not all the requested information fit into the buffer."},
    {static_cast<HRESULT>(DIERR_NOTDOWNLOADED), "The effect is not downloaded."},
    {static_cast<HRESULT>(DIERR_HASEFFECTS),
     "The device cannot be reinitialized because there are still effects attached to it."},
    {static_cast<HRESULT>(DIERR_NOTEXCLUSIVEACQUIRED),
     "The operation cannot be performed unless the device is acquired in "
     "DISCL_EXCLUSIVE mode."},
    {static_cast<HRESULT>(DIERR_INCOMPLETEEFFECT),
     "The effect could not be downloaded because essential information is missing. For "
     "example, no axes have been associated with the effect, or no type-specific "
     "information has been created."},
    {static_cast<HRESULT>(DIERR_NOTBUFFERED),
     "Attempted to read buffered device data from a device that is not buffered."},
    {static_cast<HRESULT>(DIERR_EFFECTPLAYING),
     "An attempt was made to modify parameters of an effect while it is playing. Not all "
     "hardware devices support altering the parameters of an effect while it is playing."},
    {static_cast<HRESULT>(DIERR_UNPLUGGED),
     "The operation could not be completed because the device is not plugged in."},
    {static_cast<HRESULT>(DIERR_REPORTFULL),
     "SendDeviceData failed because more information was requested to be sent than can be sent "
     "to the device. Some devices have restrictions on how much data can be sent to them. (For "
     "example, there might be a limit on the number of buttons that can be pressed at once.)"},
    {static_cast<HRESULT>(DIERR_MAPFILEFAIL),
     "A mapper file function failed because reading or writing the user or IHV settings file "
     "failed."},
};

} // namespace

ERROR_TABLE(g_dinputErrors, "DirectInput", kDirectInput);
