#include "pipeline/requests.h"

FrameRequests Requests;

void ReportError(const char*) noexcept {
  Requests.ReinitRequest = 1;
}

void RequestNewEffect() noexcept {
  if (Requests.EffectLocked == 0 && Requests.SceneInitFrame == 0) Requests.NewEffectRequest = 1;
}

void RequestChangeDrawing() noexcept {
  Requests.ChangeDrawingRequest = 1;
}
