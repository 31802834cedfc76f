#include "ui/overlay_commands.h"

#include "pipeline/requests.h"
#include "ui/text_overlays.h"

void ToggleEffectLock() {
  int locked = EffectLocked.fetch_xor(1) ^ 1;
  ShowMessage(locked ? "Effect locked" : "Effect unlocked");
}

void ToggleHelp() {
  ToggleHelpPage();
}

void ToggleTitle() {
  ShowTitle(IsTitleShown() ? 0 : 1);
}
