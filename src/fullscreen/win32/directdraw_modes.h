#pragma once
// The options dialog's combo boxes: the Resolution list filled from a device's modes, and the
// items that carry a value (a ModeTable slot or a DisplayDevice address).
#include <windows.h>
// windows.h first: ddraw.h builds on its types.
#include <ddraw.h>

#include <cstdint>

#include "settings/display_device.h"

inline constexpr int kResolutionList = 214;
inline constexpr int kAdapterList = 216;

// Fills ModeTable with the device's modes and the dialog's Resolution list with their texts,
// selecting the device's chosen mode. 0 when the device cannot be opened (the list is then
// empty).
int ListDisplayModes(HWND dialog, const DisplayDevice* device);

// Appends `text` to combo box `controlId` of `dialog` with `value` attached.
void AddComboItem(HWND dialog, int controlId, uintptr_t value, const char* text);

// Makes the IDirectDraw7 object of device `identity` (null: the primary display driver) through
// the creator below. DD_OK or DirectDraw's failing code.
HRESULT CreateDirectDraw(const GUID* identity, IDirectDraw7** object);

// How the mode list and the full-screen output make their DirectDraw objects
// (DirectDrawCreateEx's signature); tests replace it to have an adapter that cannot be opened or
// to count references. Null restores DirectDrawCreateEx.
using DirectDrawCreator = HRESULT(WINAPI*)(GUID* identity, void** object, REFIID interfaceId,
                                           IUnknown* outer);
void SetDirectDrawCreator(DirectDrawCreator create);
