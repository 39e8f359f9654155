// Lustrekit's DLL entry point: remembers the library's own instance for the windows it creates.
#define LUSTREKIT_BUILDING
#include "button_skin.h"

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
    if (dwReason == DLL_PROCESS_ATTACH) {
        g_hModuleInstance = hInstance;
        DisableThreadLibraryCalls(hInstance);
    }
    return TRUE;
}
