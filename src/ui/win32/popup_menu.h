#pragma once
// The popup menu's entries, in the order of their positions; a separator has no text and id 0.
struct PopupMenuEntry {
  const char* text;
  int id;
};

inline constexpr PopupMenuEntry kPopupMenuEntries[13] = {
    {"To player menu", 7},
    {nullptr, 0},
    {"Help\t   H", 5},
    {"Website (more plugins, FAQ)", 10},
    {"Show Title\t   Space", 6},
    {nullptr, 0},
    {"Chnage drawing\t   F6", 1},
    {"Lock effect\t   F4", 4},
    {nullptr, 0},
    {"Save effect\t   S", 8},
    {"Load effect\t   L", 9},
    {nullptr, 0},
    {"Options\t", 11},
};
