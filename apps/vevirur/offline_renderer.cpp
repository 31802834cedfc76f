#include "offline_renderer.h"

#include <cstring>

#include "pipeline/draw_thread.h"
#include "pipeline/frame_handoff.h"
#include "pipeline/requests.h"
#include "platform/clock.h"
#include "platform/lockstep_clock.h"
#include "raster/shown_picture.h"
#include "slice_analyser.h"
#include "surface_yuv.h"
#include "text_overlays.h"

namespace vevirur {
namespace {

// The virtual tick count starts as if the machine had been up for a while, so the engine's
// first-start behaviour is that of a player on a running system (first automatic change 5 s in).
constexpr uint32_t kStartTicks = 1000000;

struct ShowState {
  Picture picture;  // what the window shows now, unless shown_as_yuv
  Picture scratch;
  // With a sink that takes 4:2:0 frames and nobody asking for the pictures, a picture without
  // overlays goes straight from the surface into these planes instead.
  bool want_yuv = false;
  bool shown_as_yuv = false;
  std::vector<uint8_t> yuv, yuv_scratch;
  TextOverlays* overlays = nullptr;
  platform::LockstepClock* clock = nullptr;
};

int ShowPicture(void* context, const PictureRect&, int width, int height) {
  auto* state = static_cast<ShowState*>(context);
  if (width != state->picture.width || height != state->picture.height) return 0;
  if (state->want_yuv && !state->overlays->DrawsOnPicture(state->clock->Now()) &&
      ConvertShownPictureToYuv420(width, height, state->yuv_scratch)) {
    state->yuv.swap(state->yuv_scratch);
    state->shown_as_yuv = true;
    return 0;
  }
  if (!ReadShownPicture(width, height, state->scratch.rgb)) return 0;
  state->picture.rgb.swap(state->scratch.rgb);
  state->shown_as_yuv = false;
  state->overlays->DrawOnPicture(state->picture, state->clock->Now());
  return 0;
}

void DrawAbout(void* context, const PictureRect&, bool clear) {
  auto* state = static_cast<ShowState*>(context);
  // The host draws the about screen only before the first picture, so the RGB picture it
  // draws over is current (black) even when pictures have gone the 4:2:0 way.
  TextOverlays::DrawAboutScreen(state->picture, clear, true);
  state->shown_as_yuv = false;
}

}  // namespace

int OutputFrameCount(const AudioClip& clip) {
  int64_t frames =
      (clip.frames() * kOutputFramesPerSecond + clip.sample_rate - 1) / clip.sample_rate;
  return int(frames);
}

RenderResult RenderOffline(const RenderJob& job) {
  const AudioClip& clip = *job.clip;
  RenderResult result;
  // The engine's process-wide state back to load values, so each render starts alike.
  ResetDrawing();

  platform::LockstepClock clock(kStartTicks);
  platform::SetTimeSource(&clock);
  TextOverlays overlays;
  ShowState state;
  state.picture = Picture(job.width, job.height);
  state.scratch = Picture(job.width, job.height);
  state.overlays = &overlays;
  state.clock = &clock;
  state.want_yuv = job.sink->TakesYuv() && !job.on_frame;
  if (!job.title.empty()) {
    // As when the player names a track at start-up: show it and pick a fresh effect.
    overlays.SetTitle(job.title);
    overlays.ShowTitle(true, clock.Now());
    if (job.title_picks_new_effect) RequestNewEffect();
  }

  FrameShowSteps steps;
  steps.context = &state;
  steps.showPicture = ShowPicture;
  steps.drawAboutScreen = DrawAbout;
  const PictureRect rect{0, 0, job.width, job.height};
  SliceAnalyser analyser;
  HostSlice slice{};
  HostAudio audio;
  audio.spectrum = slice.spectrum;
  audio.waveform = reinterpret_cast<const char(*)[kHostSampleCount]>(slice.waveform);

  const int total_frames = OutputFrameCount(clip);
  const int64_t slices = SliceCount(clip);
  size_t next_change = 0;
  int frame = 0;
  try {
    for (int64_t k = 0; frame < total_frames; ++k) {
      if (job.cancel && job.cancel->load()) {
        result.cancelled = true;
        break;
      }
      // The host call of slice k is due at 25 k ms; a call that waited for its frame may have
      // used some of that already.
      const uint32_t due = kStartTicks + uint32_t(k * kSliceMilliseconds);
      const int32_t ahead = int32_t(due - clock.Now());
      if (ahead > 0) clock.Sleep(uint32_t(ahead));

      const double seconds = double(k * kSliceMilliseconds) / 1000.0;
      while (next_change < job.change_seconds.size() &&
             job.change_seconds[next_change] <= seconds) {
        RequestChangeDrawing();
        ++next_change;
      }
      if (k < slices) {
        analyser.Analyse(clip, k, slice);
      } else {
        std::memset(&slice, 0, sizeof slice);  // past the end: silence
      }
      // The call that resumes the draw thread lets it join the clock before time goes on.
      if (DrawThread.DrawThreadHandle != nullptr && DrawThread.FirstRenderPending)
        clock.ExpectThread();
      HandOffFrame(1, rect, audio, steps);

      // Output frame j shows the window as it stands after the call of slice 4j / 3.
      while (frame < total_frames && int64_t(frame) * 4 / 3 == k) {
        if (state.shown_as_yuv)
          job.sink->WriteYuv(state.yuv);
        else
          job.sink->Write(state.picture);
        if (job.on_frame) job.on_frame(frame, state.picture);
        ++frame;
        if (job.on_progress) job.on_progress(frame, total_frames);
      }
    }
  } catch (...) {
    ShutDownDrawing();
    platform::SetTimeSource(nullptr);
    throw;
  }
  ShutDownDrawing();
  platform::SetTimeSource(nullptr);
  result.frames = frame;
  return result;
}

}  // namespace vevirur
