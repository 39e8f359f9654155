// Codes that two families define with different meanings: both descriptions, joined in family order.
#define DIRECTINPUT_VERSION 0x0800
#include <dinput.h>
#include <dmerror.h>
#include <dsound.h>
#include <vfwmsgs.h>

#include "error_table.h"

namespace {

// DirectSound's DSERR_OBJECTNOTFOUND has DMUS_E_NOT_FOUND's value; DirectInput's DIERR_INSUFFICIENTPRIVS to
// DIERR_MAPFILEFAIL share DirectShow's VFW_E_INVALIDMEDIATYPE to VFW_E_RUNTIME_ERROR.
const ErrorText kShared[] = {
    {static_cast<HRESULT>(DIERR_INSUFFICIENTPRIVS),
     "Unable to IDirectInputJoyConfig_Acquire because the user does not have sufficient privileges to "
     "change the joystick configuration. & An invalid media type was specified."},
    {static_cast<HRESULT>(DIERR_DEVICEFULL), "The device is full. & An invalid media subtype was specified."},
    {static_cast<HRESULT>(DIERR_MOREDATA),
     "Not all the requested information fit into the buffer. & This object can only be created as an "
     "aggregated object."},
    {static_cast<HRESULT>(DIERR_NOTDOWNLOADED), "The effect is not downloaded. & The enumerator has become invalid."},
    {static_cast<HRESULT>(DIERR_HASEFFECTS),
     "The device cannot be reinitialized because there are still effects attached to it. & At least one of"
     " the pins involved in the operation is already connected."},
    {static_cast<HRESULT>(DIERR_NOTEXCLUSIVEACQUIRED),
     "The operation cannot be performed unless the device is acquired in DISCL_EXCLUSIVE mode. & This "
     "operation cannot be performed because the filter is active."},
    {static_cast<HRESULT>(DIERR_INCOMPLETEEFFECT),
     "The effect could not be downloaded because essential information is missing. For example, no axes "
     "have been associated with the effect, or no type-specific information has been created. & One of the"
     " specified pins supports no media types."},
    {static_cast<HRESULT>(DIERR_NOTBUFFERED),
     "Attempted to read buffered device data from a device that is not buffered. & There is no common "
     "media type between these pins."},
    {static_cast<HRESULT>(DIERR_EFFECTPLAYING),
     "An attempt was made to modify parameters of an effect while it is playing. Not all hardware devices "
     "support altering the parameters of an effect while it is playing. & Two pins of the same direction "
     "cannot be connected together."},
    {static_cast<HRESULT>(DIERR_UNPLUGGED),
     "The operation could not be completed because the device is not plugged in. & The operation cannot be"
     " performed because the pins are not connected."},
    {static_cast<HRESULT>(DIERR_REPORTFULL),
     "SendDeviceData failed because more information was requested to be sent than can be sent to the "
     "device. Some devices have restrictions on how much data can be sent to them. (For example, there "
     "might be a limit on the number of buttons that can be pressed at once.) & No sample buffer allocator"
     " is available."},
    {static_cast<HRESULT>(DIERR_MAPFILEFAIL),
     "A mapper file function failed because reading or writing the user or IHV settings file failed. & A "
     "run-time error occurred."},
    {DMUS_E_NOT_FOUND, "The requested item was not contained by the object. & The object requested was not found "
                       "(numerically equal to DMUS_E_NOT_FOUND)"},
};

} // namespace

ERROR_TABLE(g_sharedErrors, "shared", kShared);
