#include "pipeline/requests.h"

FrameRequests Requests;
FrameLoopProbes Probes;

void ReportError(const char* text) noexcept {
  if (Probes.reported) Probes.reported(text);
  Requests.ReinitRequest = 1;
}

void RequestNewEffect() noexcept {
  if (Requests.EffectLocked == 0 && Requests.SceneInitFrame == 0) Requests.NewEffectRequest = 1;
}

void RequestChangeDrawing() noexcept {
  Requests.ChangeDrawingRequest = 1;
}
