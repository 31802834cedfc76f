#include "ui/win32/popup_menu.h"

#include "bridge/plugin_hooks.h"
#include "bridge/plugin_state.h"
#include "pipeline/requests.h"
#include "settings/settings_file.h"
#include "ui/win32/vis_window.h"

namespace {

// Made at the first showing and kept for the library's life.
HMENU popupMenu = nullptr;

enum MenuResult : int {
  kMenuDismissed = 0,
  kMenuChangeDrawing = 1,
  kMenuLockEffect = 4,
  kMenuHelp = 5,
  kMenuShowTitle = 6,
  kMenuPlayerMenu = 7,
  kMenuSaveEffect = 8,
  kMenuLoadEffect = 9,
  kMenuWebSite = 10,
  kMenuOptions = 11,
};

void BuildMenu() {
  popupMenu = CreatePopupMenu();
  if (!popupMenu) return;
  for (UINT position = 0; position < 13; ++position) {
    const PopupMenuEntry& entry = kPopupMenuEntries[position];
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_TYPE | MIIM_STATE | MIIM_ID;
    item.fType = entry.text ? MFT_STRING : MFT_SEPARATOR;
    item.fState = 0;
    item.wID = static_cast<UINT>(entry.id);
    item.dwTypeData = const_cast<char*>(entry.text);
    item.cch = 0;
    InsertMenuItemA(popupMenu, position, TRUE, &item);
  }
}

void SetState(UINT position, UINT state) {
  MENUITEMINFOA item{};
  item.cbSize = sizeof item;
  item.fMask = MIIM_STATE;
  item.fState = state;
  SetMenuItemInfoA(popupMenu, position, TRUE, &item);
}

void RefreshStates() {
  UINT playing = Plugin.IsPlaying ? MFS_ENABLED : MFS_GRAYED;
  for (UINT position : {2u, 4u, 6u, 9u, 10u}) SetState(position, playing);
  SetState(7, playing | (Requests.EffectLocked ? MFS_CHECKED : MFS_UNCHECKED));
}

}  // namespace

void ShowPopupMenu() {
  if (!popupMenu) BuildMenu();
  RefreshStates();
  POINT at{0, 0};
  GetCursorPos(&at);
  int result = static_cast<int>(
      TrackPopupMenu(popupMenu, TPM_RETURNCMD, at.x, at.y, 0, Plugin.VisWindow, nullptr));
  switch (result) {
    case kMenuChangeDrawing:
      RequestChangeDrawing();
      break;
    case kMenuLockEffect:
      ToggleEffectLock();
      break;
    case kMenuHelp:
      ToggleHelp();
      break;
    case kMenuShowTitle:
      ToggleTitle();
      break;
    case kMenuPlayerMenu:
      PostMessageA(HostMainWindow(), WM_RBUTTONUP, 0, 0);
      break;
    case kMenuSaveEffect:
    case kMenuLoadEffect:
      break;
    case kMenuWebSite:
      OpenWebSite();  // at once: the link's 2000 ms pause neither applies nor starts
      break;
    case kMenuOptions:
      if (Hooks.Config) Hooks.Config(Plugin.Module);
      break;
    default:  // dismissed
      SaveSettings(Plugin.Instance);
      break;
  }
}
