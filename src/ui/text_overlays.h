#pragma once
// The texts drawn over or instead of the effects: the track title (10 s), the status message
// (3 s whole, then a letter per shown frame), the help page (15 s) and the about screen. The
// rules and the state live here, portable; painting goes through a platform's OverlayPainter.
// Times are platform::TickCount() values compared by unsigned difference.
#include <cstddef>

#include "pipeline/picture_rect.h"
#include "ui/overlay_painter.h"

inline constexpr int kOverlayLineSpacing = 20;
inline constexpr int kHelpIndent = 5;
inline constexpr unsigned kTitleShowMs = 10000;
inline constexpr unsigned kHelpShowMs = 15000;
inline constexpr unsigned kMessageWholeMs = 3000;
inline constexpr unsigned kMessageLetterMs = 50;
inline constexpr int kAboutTextX = 85;
inline constexpr int kAboutTextY = 25;
inline constexpr int kLogoX = 25;
inline constexpr int kLogoY = 30;
inline constexpr int kLogoSize = 48;

inline constexpr const char* kHelpLines[11] = {
    "Keyboard shortcuts:",
    "H - Help",
    "F4 - Lock effect",
    "F6 - Change drawing",
    "Alt+Enter - Go full screen",
    "Space - Show title",
    "S - Save effect",
    "L - Load effect",
    "Alt+Left - Previous effect",
    "Alt+Right - Next effect",
    "PLUS and MINUS - Gamma Correction (Full Screeen only)",
};

// ShowTitle(1) starts the title's 10 s from now; ShowTitle(0) hides it. Any thread.
void ShowTitle(int on);
// The tick count at which the shown title started, 0 while no title is shown.
unsigned TitleClock();
int IsTitleShown();
// Replaces the title text, cut to 255 bytes; null or "" empties it. Any thread.
void SetTitleText(const char* text);
// The title text (host thread; the copy is stable until the next SetTitleText).
const char* GetTitleText();

// Shows `text` (cut to 127 bytes) at the bottom right for 3000 ms, then shrinks it.
void ShowMessage(const char* text);
const char* GetMessageText();

// 1 while the help page is shown (at most 15000 ms after it was asked for).
int IsHelpVisible();
// Shows the help page from now, or hides it when it is visible.
void ToggleHelpPage();

// Puts every overlay back to its state at load.
void ResetTextOverlays();

// The title at the bottom left, white on the picture, while it is shown; drops it after 10 s.
void PaintTitleOverlay(OverlayPainter& painter, const PictureRect& picture);
// The status message at the bottom right, red (grey when one letter is left); after its
// 3000 ms it loses its last letter per call, at most one every 50 ms. While `effectLocked`
// the last letter becomes a grey "L" that stays.
void PaintMessageOverlay(OverlayPainter& painter, const PictureRect& picture, int effectLocked);
// The about screen's three lines, white on black; `clear` blackens `picture` first, `logo`
// adds the 48 x 48 logo at (25, 30).
void PaintAboutScreen(OverlayPainter& painter, const PictureRect& picture, int clear, int logo);
// The help page's eleven lines, white on black.
void PaintHelpPage(OverlayPainter& painter);
// What the window shows over each finished frame: the title, then (while the help is
// visible) the about lines and the help page. `logo` as for PaintAboutScreen.
void PaintFrameOverlays(OverlayPainter& painter, const PictureRect& picture, int logo);
// 1 when PaintFrameOverlays would paint anything now (drops a title whose time is over).
int FrameOverlaysVisible();

// 1 when the client point (x, y) lies on the about screen's text (its link area), which is
// on screen unless the player plays with the help page hidden. `noticeExtent` is the extent
// of the third about line.
int AboutHitTest(int x, int y, int isPlaying, OverlayExtent noticeExtent);
