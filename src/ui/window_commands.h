#pragma once
// What the visualization window does with its keys and its about-screen link, apart from how
// keys arrive: the Windows window procedure and the Linux live window both ask these tables.
// Key codes are Windows virtual-key codes; message numbers are Windows' own.
#include <cstdint>

enum class WindowCommand {
  kDefault,         // not ours: the platform's default handling
  kConsumed,        // ours, nothing to do (result 0)
  kPassToPlayer,    // post the key down on unchanged to the player's main window
  kChangeDrawing,   // RequestChangeDrawing
  kNextEffect,      // while playing: a new drawing
  kPreviousEffect,  // while playing: a new drawing
  kToggleEffectLock,
  kToggleHelp,
  kToggleTitle,
  kGoFullScreen,
  kLeaveFullScreen,
};

inline constexpr unsigned kKeyDownMessage = 0x100;
inline constexpr unsigned kKeyUpMessage = 0x101;
inline constexpr unsigned kSysKeyDownMessage = 0x104;
inline constexpr unsigned kSysKeyUpMessage = 0x105;
inline constexpr unsigned kSysCommandMessage = 0x112;
inline constexpr uintptr_t kSysCommandKeyMenu = 0xF100;  // the menu key; lParam 13 = with Enter

// The command for one key message (key down/up, system key down/up) or system command, by
// wParam (the virtual key or the system command) and lParam. Any other message: kDefault.
WindowCommand CommandForKeyMessage(unsigned message, uintptr_t wParam, intptr_t lParam);

// The about screen's link: a press and a release both on it open the maker's web site,
// unless the click belongs to a double click or the site was opened less than 2000 ms before.
inline constexpr unsigned kLinkPauseMs = 2000;
void LinkButtonDown(int onLink);
void LinkDoubleClick();
// 1 when this release opens the web site; the pause then starts from now.
int LinkButtonUp(int onLink);
void ResetLinkClicks();
