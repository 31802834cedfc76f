// Placeholder until the full-screen output lands.
#include "fullscreen/win32/full_screen.h"

void SwitchFullScreen(int) {}
int ShowFullScreenFrame(const RECT&) { return 0; }
HDC GetBackBufferDC() { return nullptr; }
void ReleaseBackBufferDCAndFlip(HDC) {}
