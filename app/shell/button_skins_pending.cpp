// The push buttons keep the system look until the skinned buttons are part of Lustrekit.
#include "dialog_look.h"

void SkinMainDialogButtons(HWND) {}
void SkinAboutButtons(HWND) {}
