// Placeholder until the overlay rules land: keeps the texts, draws nothing.
#include "ui/text_overlays.h"

#include <cstring>

namespace {
char titleText[256];
char messageText[128];
unsigned titleClock;
}  // namespace

void ShowTitle(int on) { titleClock = on ? 1u : 0u; }
unsigned TitleClock() { return titleClock; }
void SetTitleText(const char* text) {
  titleText[0] = 0;
  if (text) std::strncat(titleText, text, sizeof titleText - 1);
}
const char* GetTitleText() { return titleText; }
void ShowMessage(const char* text) {
  messageText[0] = 0;
  if (text) std::strncat(messageText, text, sizeof messageText - 1);
}
const char* GetMessageText() { return messageText; }
int IsHelpVisible() { return 0; }
void ToggleHelpPage() {}
void ResetTextOverlays() {
  titleText[0] = 0;
  messageText[0] = 0;
  titleClock = 0;
}
