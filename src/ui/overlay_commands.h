#pragma once
// The commands that only touch the overlays and the lock, shared by the keys, the popup menu
// and the full-screen window.

// Flips the effect lock and says so: "Effect locked" / "Effect unlocked".
void ToggleEffectLock();
// Hides a visible help page, otherwise shows it from now.
void ToggleHelp();
// Hides a shown title, otherwise shows it from now.
void ToggleTitle();
