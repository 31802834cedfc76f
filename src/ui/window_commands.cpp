#include "ui/window_commands.h"

#include "platform/clock.h"

namespace {

constexpr uintptr_t kEnter = 13, kEsc = 27, kSpace = 32, kPageUp = 33, kPageDown = 34;
constexpr uintptr_t kLeft = 37, kRight = 39, kHelpKey = 47;
constexpr uintptr_t kF1 = 112, kF2 = 113, kF3 = 114, kF4 = 115, kF5 = 116, kF6 = 117, kF7 = 118;
constexpr uintptr_t kF11 = 122;

WindowCommand KeyDown(uintptr_t key, intptr_t lParam) {
  switch (key) {
    case kEnter:
      // A real key carries its scan code and repeat count; only a made-up one is exactly 1.
      return lParam == 1 ? WindowCommand::kGoFullScreen : WindowCommand::kChangeDrawing;
    case kEsc:
      return WindowCommand::kLeaveFullScreen;
    case kSpace:
      return WindowCommand::kToggleTitle;
    case kHelpKey:
    case 'A':
    case 'H':
    case kF1:
      return WindowCommand::kToggleHelp;
    case 'D':
    case 'L':
    case 'R':
    case 'S':
    case kF2:
    case kF3:
      return WindowCommand::kConsumed;
    case kF4:
      return WindowCommand::kToggleEffectLock;
    case kF5:
    case kF6:
      return WindowCommand::kChangeDrawing;
    default:
      return WindowCommand::kPassToPlayer;
  }
}

// Key ups outside the window's own keys, and every system command.
WindowCommand SharedRule(uintptr_t wParam, intptr_t lParam) {
  switch (wParam) {
    case kPageUp:
    case kLeft:
      return lParam == 1 ? WindowCommand::kPreviousEffect : WindowCommand::kConsumed;
    case kPageDown:
    case kRight:
      return lParam == 1 ? WindowCommand::kNextEffect : WindowCommand::kConsumed;
    case kSysCommandKeyMenu:
      return lParam == kEnter ? WindowCommand::kGoFullScreen : WindowCommand::kDefault;
    default:
      return WindowCommand::kDefault;
  }
}

bool IsOwnKeyUp(uintptr_t key) {
  switch (key) {
    case kEnter:
    case kEsc:
    case kSpace:
    case kHelpKey:
    case 'A':
    case 'D':
    case 'H':
    case 'L':
    case 'O':
    case 'R':
    case 'S':
    case kF11:
      return true;
    default:
      return key >= kF1 && key <= kF7;
  }
}

struct LinkClickState {
  int doubleClick = 0;
  int pressOnLink = 0;
  int openedOnce = 0;  // whether lastOpening holds a time
  uint32_t lastOpening = 0;
};
LinkClickState link;

}  // namespace

WindowCommand CommandForKeyMessage(unsigned message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case kKeyDownMessage:
      return KeyDown(wParam, lParam);
    case kKeyUpMessage:
      return IsOwnKeyUp(wParam) ? WindowCommand::kConsumed : SharedRule(wParam, lParam);
    case kSysKeyDownMessage:
      if (wParam == kPageUp || wParam == kLeft) return WindowCommand::kPreviousEffect;
      if (wParam == kPageDown || wParam == kRight) return WindowCommand::kNextEffect;
      return WindowCommand::kDefault;
    case kSysKeyUpMessage:
      return wParam == kPageUp || wParam == kPageDown || wParam == kLeft || wParam == kRight
                 ? WindowCommand::kConsumed
                 : WindowCommand::kDefault;
    case kSysCommandMessage:
      return SharedRule(wParam, lParam);
    default:
      return WindowCommand::kDefault;
  }
}

void LinkButtonDown(int onLink) {
  link.doubleClick = 0;
  link.pressOnLink = onLink;
}

void LinkDoubleClick() {
  link.doubleClick = 1;
}

int LinkButtonUp(int onLink) {
  if (link.doubleClick) return 0;
  uint32_t now = platform::TickCount();
  if (link.openedOnce && now - link.lastOpening < kLinkPauseMs) return 0;
  if (!link.pressOnLink || !onLink) return 0;
  link.openedOnce = 1;
  link.lastOpening = now;
  return 1;
}

void ResetLinkClicks() {
  link = LinkClickState{};
}
