#include "pipeline/requests.h"

std::atomic<int> ReinitRequest{0};
std::atomic<int> NewEffectRequest{0};
std::atomic<int> ChangeDrawingRequest{0};
std::atomic<int> EffectLocked{0};
std::atomic<int> SceneInitFrame{0};

void ReportError(const char*, const char*, const char*) noexcept {
  ReinitRequest = 1;
}

void RequestNewEffect() noexcept {
  if (EffectLocked == 0 && SceneInitFrame == 0) NewEffectRequest = 1;
}

void RequestChangeDrawing() noexcept {
  ChangeDrawingRequest = 1;
}
