// Init, Render, Quit and Config. Each catches everything, so no exception reaches the player.
#include "host/plugin_entry.h"

int Init(winampVisModule* module) {
  try {
    return 0;
  } catch (...) {
    return 1;
  }
}

int Render(winampVisModule* module) {
  try {
    return 0;
  } catch (...) {
    return 0;
  }
}

void Quit(winampVisModule* module) {
  try {
  } catch (...) {
  }
}

void Config(winampVisModule* module) {
  try {
  } catch (...) {
  }
}
