#pragma once
// The texts drawn over or instead of the effects: the track title (10 s), the status message
// (3 s whole, then a letter per shown frame), the help page (15 s) and the about screen. The
// rules and the state live here, portable; painting goes through a platform's text painter.
// Names kept stable for the host, the window procedure and the full-screen output.

// ShowTitle(1) starts the title's 10 s from now; ShowTitle(0) hides it.
void ShowTitle(int on);
// The title clock: 0 while no title is shown.
unsigned TitleClock();
// Replaces the title text, cut to 255 bytes; null or "" empties it.
void SetTitleText(const char* text);
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
