#include "render/offline_renderer.h"

#include <sched.h>

#include <climits>
#include <cstring>

#include "app_error.h"

#include "audio_in/slice_analyser.h"
#include "pictures_out/surface_yuv.h"
#include "pipeline/draw_thread.h"
#include "pipeline/frame_handoff.h"
#include "pipeline/requests.h"
#include "platform/clock.h"
#include "platform/lockstep_clock.h"
#include "raster/shown_picture.h"
#include "render/overlay_band.h"
#include "text/text_overlays.h"
#include "ui/text_overlays.h"

namespace vevirur {
namespace {

// The virtual tick count starts as if the machine had been up for a while, so the engine's
// first-start behaviour is that of a player on a running system (first automatic change 5 s in).
constexpr uint32_t kStartTicks = 1000000;

// A buffer of planes, with what is known of its black, that nobody else holds any more (the
// sink has let go of it), or a new one.
struct PlanesBuffer {
  std::shared_ptr<std::vector<uint8_t>> planes = std::make_shared<std::vector<uint8_t>>();
  KnownBlack black;
};

PlanesBuffer& FreeBuffer(std::vector<std::unique_ptr<PlanesBuffer>>& pool) {
  for (auto& buffer : pool)
    if (buffer->planes.use_count() == 1) {
      // Pairs with the sink thread's release of its last reference.
      std::atomic_thread_fence(std::memory_order_acquire);
      return *buffer;
    }
  pool.push_back(std::make_unique<PlanesBuffer>());
  return *pool.back();
}

struct ShowState {
  Picture picture;  // what the window shows now, when shown_as is kRgb
  Picture scratch;
  // With a sink that takes 4:2:0 frames and nobody asking for the pictures, the picture goes
  // from the surface into 4:2:0 planes instead, only the overlays' rows by way of RGB.
  bool want_yuv = false;
  enum class As { kRgb, kYuv } shown_as = As::kRgb;
  YuvFrame yuv;  // the shown picture's planes, shared with the sink
  std::vector<std::unique_ptr<PlanesBuffer>> yuv_pool;
};

int ShowPicture(void* context, const PictureRect&, int width, int height) {
  auto* state = static_cast<ShowState*>(context);
  if (width != state->picture.width || height != state->picture.height) return 0;
  if (state->want_yuv) {
    PlanesBuffer& buffer = FreeBuffer(state->yuv_pool);
    std::vector<uint8_t>& planes = *buffer.planes;
    if (ConvertShownPictureToYuv420(width, height, planes, &buffer.black) &&
        (!FrameOverlaysShown() ||
         PaintFrameOverlaysOnPlanes(width, height, planes, buffer.black))) {
      state->yuv = buffer.planes;
      state->shown_as = ShowState::As::kYuv;
      return 0;
    }
  }
  if (!ReadShownPicture(width, height, state->scratch.rgb)) return 0;
  state->picture.rgb.swap(state->scratch.rgb);
  state->shown_as = ShowState::As::kRgb;
  PaintFrameOverlaysOn(state->picture);
  return 0;
}

void DrawAbout(void* context, const PictureRect&, bool clear) {
  auto* state = static_cast<ShowState*>(context);
  // The host draws the about screen only before the first picture, so the RGB picture it
  // draws over is current (black) even when pictures have gone the 4:2:0 way.
  PaintAboutScreenOn(state->picture, clear);
  state->shown_as = ShowState::As::kRgb;
}

}  // namespace

int OutputFrameCount(int64_t frames, int rate) {
  return int((frames * kOutputFramesPerSecond + rate - 1) / rate);
}

namespace {

// The samples from `base` on that the next slices need, read from the source on demand and
// handed to the sink as they arrive.
class SoundWindow {
 public:
  SoundWindow(AudioSource& source, FrameSink& sink, double max_seconds)
      : source_(source),
        sink_(sink),
        limit_(max_seconds > 0 ? int64_t(max_seconds * source.sample_rate()) : INT64_MAX) {}

  // Reads until the samples before `end` are here or the sound has ended.
  void FillTo(int64_t end) {
    while (!ended_ && base_ + int64_t(left_.size()) < end) {
      const size_t before = left_.size();
      const int64_t want = std::min<int64_t>(std::max<int64_t>(end - base_ - int64_t(before), 4096),
                                             limit_ - base_ - int64_t(before));
      const size_t got = want > 0 ? source_.Read(left_, right_, size_t(want)) : 0;
      if (got == 0) {
        ended_ = true;
        break;
      }
      sink_.WriteAudio(left_.data() + before, right_.data() + before, got);
    }
  }
  // Forgets the samples before `start`.
  void DropBefore(int64_t start) {
    const int64_t drop = std::min<int64_t>(start - base_, int64_t(left_.size()));
    if (drop < 8192) return;  // in batches: erasing shifts what is left
    left_.erase(left_.begin(), left_.begin() + drop);
    right_.erase(right_.begin(), right_.begin() + drop);
    base_ += drop;
  }
  bool ended() const { return ended_; }
  int64_t end() const { return base_ + int64_t(left_.size()); }
  int64_t base() const { return base_; }
  const float* left() const { return left_.data(); }
  const float* right() const { return right_.data(); }

 private:
  AudioSource& source_;
  FrameSink& sink_;
  const int64_t limit_;
  std::vector<float> left_, right_;
  int64_t base_ = 0;
  bool ended_ = false;
};

// The renderer's thread and the draw thread take turns on one picture, never both at once. On
// one processor the picture stays in that processor's cache; otherwise all of it crosses between
// cores twice a frame, which makes a 1080p render's engine about twice as slow. The draw thread,
// started from this thread, inherits the choice; it is undone when the render ends.
class StayOnThisProcessor {
 public:
  StayOnThisProcessor() {
    const int cpu = sched_getcpu();
    if (cpu < 0 || sched_getaffinity(0, sizeof before_, &before_) != 0) return;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(cpu, &one);
    pinned_ = sched_setaffinity(0, sizeof one, &one) == 0;
  }
  ~StayOnThisProcessor() {
    if (pinned_) sched_setaffinity(0, sizeof before_, &before_);
  }

 private:
  cpu_set_t before_{};
  bool pinned_ = false;
};

}  // namespace

RenderResult RenderOffline(const RenderJob& job) {
  const StayOnThisProcessor stay;
  AudioSource& source = *job.audio;
  const int rate = source.sample_rate();
  RenderResult result;
  // The engine's process-wide state back to load values, so each render starts alike.
  ResetDrawing();

  platform::LockstepClock clock(kStartTicks);
  platform::SetTimeSource(&clock);
  ResetTextOverlays();
  ShowState state;
  state.picture = Picture(job.width, job.height);
  state.scratch = Picture(job.width, job.height);
  state.want_yuv = job.sink->TakesYuv() && !job.on_frame;
  if (!job.title.empty()) {
    // As when the player names a track at start-up: show it and pick a fresh effect.
    SetOverlayTitle(job.title);
    ShowTitle(1);
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

  SoundWindow sound(source, *job.sink, job.max_seconds);
  double expected = source.ExpectedSeconds();
  if (job.max_seconds > 0 && (expected <= 0 || expected > job.max_seconds))
    expected = job.max_seconds;
  // Known once the sound has ended; until then frames go on.
  int total_frames = INT_MAX;
  const int estimate = int(expected * kOutputFramesPerSecond + 0.999);
  size_t next_change = 0;
  int frame = 0;
  try {
    for (int64_t k = 0; frame < total_frames; ++k) {
      if (job.cancel && job.cancel->load()) throw Interrupted();
      const int64_t start = SliceStart(k, rate);
      sound.FillTo(start + kFftSize);
      sound.DropBefore(start);
      if (sound.ended() && total_frames == INT_MAX) {
        total_frames = OutputFrameCount(sound.end(), rate);
        if (total_frames == 0) throw AppError("the input holds no sound");
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
      if (start < sound.end()) {
        analyser.Analyse(sound.left(), sound.right(), sound.end() - sound.base(),
                         start - sound.base(), slice);
      } else {
        std::memset(&slice, 0, sizeof slice);  // past the end: silence
      }
      // The call that resumes the draw thread lets it join the clock before time goes on.
      if (DrawThread.DrawThreadHandle != nullptr && DrawThread.FirstRenderPending)
        clock.ExpectThread();
      HandOffFrame(1, rect, audio, steps);

      // Output frame j shows the window as it stands after the call of slice 4j / 3.
      while (frame < total_frames && int64_t(frame) * 4 / 3 == k) {
        if (state.shown_as == ShowState::As::kYuv)
          job.sink->WriteYuv(state.yuv);
        else
          job.sink->Write(state.picture);
        if (job.on_frame) job.on_frame(frame, state.picture);
        ++frame;
        if (job.on_progress)
          job.on_progress(frame,
                          total_frames != INT_MAX ? total_frames : std::max(estimate, frame));
      }
    }
  } catch (...) {
    // Stopped before it took its first turn, the draw thread never joins the clock.
    clock.ForgetExpectedThreads();
    ShutDownDrawing();
    platform::SetTimeSource(nullptr);
    throw;
  }
  ShutDownDrawing();
  platform::SetTimeSource(nullptr);
  result.frames = frame;
  result.seconds = double(sound.end()) / rate;
  return result;
}

}  // namespace vevirur
