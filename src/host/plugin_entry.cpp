// The plug-in's face towards the player: the export, the header and the module record.
// Every entry the player calls catches everything: no exception may cross into the player.
#include "host/plugin_entry.h"

namespace {

char kDescription[] = "Vevirur 2";

winampVisModule* GetModule(int index) {
  try {
    return index == 0 ? &VisModule : nullptr;
  } catch (...) {
    return nullptr;
  }
}

winampVisHeader VisHeader = {kVisHeaderVersion, kDescription, GetModule};

}  // namespace

winampVisModule VisModule = {
    kDescription,
    nullptr,  // hwndParent, set by the player
    nullptr,  // hDllInstance, set by the player
    0,        // sRate
    0,        // nCh
    0,        // latencyMs
    25,       // delayMs
    1,        // spectrumNch
    1,        // waveformNch
    {},       // spectrumData
    {},       // waveformData
    Config,
    Init,
    Render,
    Quit,
    nullptr,  // userData
};

extern "C" winampVisHeader* winampVisGetHeader() {
  try {
    return &VisHeader;
  } catch (...) {
    return nullptr;
  }
}
