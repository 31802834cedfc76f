#include "ui/overlay_commands.h"

#include "pipeline/requests.h"
#include "ui/text_overlays.h"

void ToggleEffectLock() {
  int locked = Requests.EffectLocked ? 0 : 1;
  Requests.EffectLocked = locked;
  ShowMessage(locked ? "Effect locked" : "Effect unlocked");
}

void ToggleHelp() {
  ToggleHelpPage();
}

void ToggleTitle() {
  ShowTitle(IsTitleShown() ? 0 : 1);
}
