// The engine for the web page, on one thread and without a clock of its own.
//
// The plug-in has two threads: the player's, which calls every 25 ms to show the finished picture
// and hand over the next slice of audio, and the draw thread, which runs the frame loop. Here the
// draw thread's loop (the frame loop's own turn, RunFrameTurn) is the only thread, and the
// player's calls happen inside its sleeps and its hand-over waits: time is a virtual millisecond
// clock that moves only when the loop sleeps, and each millisecond first lets the loop do all it
// can at that time and then does what the player does at that time (the same order in which
// `vevirur render` interleaves the two threads on audio time). A player call that finds no
// finished frame waits, as the plug-in's does, up to 50 ms while the loop goes on.
//
// The page queues one analysed slice per player call (audio time 25 ms x k for call k) and then
// lets the loop run; it runs while at least two calls are queued, which is all one turn of the
// loop can need, and stops between turns. Same slices in, same pictures out, at any speed.
#include "engine_api.h"

#if defined(__EMSCRIPTEN__)
#include <emscripten.h>
#else
// The glue's native build, for its tests under the sanitizers.
#include <chrono>
#define EMSCRIPTEN_KEEPALIVE
static double emscripten_get_now() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}
#endif

#include <cstdint>
#include <cstring>
#include <deque>
#include <new>
#include <vector>

#include "effects/scene.h"
#include "effects/scene_state.h"
#include "pipeline/frame_handoff.h"
#include "pipeline/frame_loop.h"
#include "pipeline/requests.h"
#include "platform/clock.h"
#include "raster/drawing.h"
#include "raster/random15.h"
#include "raster/shown_picture.h"
#include "slice_analyser.h"
#include "ui/about_texts.h"

namespace {

// The virtual tick count starts as if the machine had been up for a while, as in `vevirur render`.
constexpr uint32_t kStartTicks = 1000000;
constexpr uint32_t kCallMilliseconds = 25;
constexpr size_t kCallsPerTurn = 2;   // player calls a single turn of the loop may need
constexpr size_t kMostQueued = 4000;  // 100 s of slices

struct Engine {
  int width = 0, height = 0;
  uint32_t now = kStartTicks;
  int64_t next_call = 0;  // index of the next player call to begin
  std::deque<web::Slice> queue;
  bool host_waiting = false;  // a call waits for the frame since wait_start
  uint32_t wait_start = 0;
  web::Slice current{};       // the slice of the call under way
  bool loop_running = false;  // the draw loop was let go by call 1
  PictureRect target{};       // what the player last asked for (TargetRect)
  bool frame_done = false;    // a finished frame waits for a player call (FrameDoneEvent)
  std::vector<uint8_t> rgb, rgba;
  int32_t status[kVvStatusCount] = {};
  // Drawing cost, wall-clock milliseconds of the loop's turns that drew a frame, without the
  // player calls made inside them.
  double draw_ms_total = 0, draw_ms_max = 0, call_ms_total = 0, call_ms_max = 0;
  double nested_call_ms = 0;
  int64_t cost_frames = 0, cost_calls = 0;
  web::SliceAnalyser analyser;
  float pcm[2][web::kFftSize] = {};
};

Engine* engine = nullptr;
void (*picture_observer)(const uint8_t*, int, int) = nullptr;

// Up to 3840 x 2160 pixels in all, neither side above 8192.
bool SizeAllowed(int width, int height) {
  return width > 0 && height > 0 && width <= 8192 && height <= 8192 &&
         int64_t(width) * height <= int64_t(3840) * 2160;
}

uint32_t CallDue(int64_t call) {
  return uint32_t(kStartTicks + uint64_t(call) * kCallMilliseconds);
}

void ShowPicture() {
  if (!ReadShownPicture(engine->width, engine->height, engine->rgb)) return;
  const size_t pixels = size_t(engine->width) * size_t(engine->height);
  engine->rgba.resize(pixels * 4);
  const uint8_t* in = engine->rgb.data();
  uint8_t* out = engine->rgba.data();
  for (size_t i = 0; i < pixels; ++i, in += 3, out += 4) {
    out[0] = in[0];
    out[1] = in[1];
    out[2] = in[2];
    out[3] = 255;
  }
  if (picture_observer) picture_observer(engine->rgba.data(), engine->width, engine->height);
  engine->status[kVvPictureWidth] = engine->width;
  engine->status[kVvPictureHeight] = engine->height;
  ++engine->status[kVvPictures];
  engine->status[kVvAboutShown] = 0;
}

void ShowAbout() {
  if (picture_observer) picture_observer(nullptr, 0, 0);
  ++engine->status[kVvPictures];
  engine->status[kVvAboutShown] = 1;
}

// The rest of a player call once it has its frame or has given up waiting: show the frame, copy
// the call's audio and let the loop go on (PresentFrame and HandOffFrame).
void FinishCall(bool frame_taken) {
  engine->host_waiting = false;
  HandOff.SamplesWanted = frame_taken ? 1 : 0;
  if (frame_taken) {
    ShowPicture();
    const web::Slice& s = engine->current;
    CopyHostSamples(s.spectrum, reinterpret_cast<const char(*)[kHostSampleCount]>(s.waveform));
    engine->frame_done = false;
  }
  ++engine->status[kVvCallsDone];
}

void BeginCall() {
  const int64_t call = engine->next_call++;
  engine->current = engine->queue.front();
  engine->queue.pop_front();
  if (call == 0) {  // the plug-in creates its draw thread here, suspended
    ++engine->status[kVvCallsDone];
    return;
  }
  if (call == 1) {  // and lets it run here, showing the about screen
    ShowAbout();
    engine->loop_running = true;
    ++engine->status[kVvCallsDone];
    return;
  }
  engine->target = PictureRect{0, 0, engine->width, engine->height};
  if (!Loop.SceneReady || Loop.SceneWidth != engine->width || Loop.SceneHeight != engine->height ||
      !IsDrawSurfaceReady()) {
    // The loop rebuilds for a new size: a frame finished at the old size is taken unseen.
    HandOff.SamplesWanted = 0;
    engine->host_waiting = false;
    engine->frame_done = false;
    ++engine->status[kVvCallsDone];
    return;
  }
  engine->host_waiting = true;
  engine->wait_start = engine->now;
  if (engine->frame_done) FinishCall(true);
}

// What the player does at the current millisecond, after the loop has done all it can.
void PlayerActs() {
  const double start = emscripten_get_now();
  bool acted = false;
  for (;;) {
    if (engine->host_waiting) {
      if (engine->frame_done) {
        FinishCall(true);
      } else if (engine->now - engine->wait_start >= kFrameDoneWaitMs) {
        FinishCall(false);
      } else {
        break;
      }
      acted = true;
      continue;  // a late call may leave the next one due already
    }
    if (engine->queue.empty() || int32_t(CallDue(engine->next_call) - engine->now) > 0) break;
    BeginCall();
    acted = true;
  }
  if (acted) {
    const double spent = emscripten_get_now() - start;
    engine->nested_call_ms += spent;
    engine->call_ms_total += spent;
    ++engine->cost_calls;
    if (spent > engine->call_ms_max) engine->call_ms_max = spent;
  }
}

class LockstepTime : public platform::TimeSource {
 public:
  uint32_t Now() override { return engine->now; }
  void Sleep(uint32_t milliseconds) override {
    for (uint32_t i = 0; i < milliseconds; ++i) {
      PlayerActs();
      ++engine->now;
    }
  }
};

LockstepTime lockstep_time;

// The hand-over of a finished frame: the loop waits, a millisecond at a time, until a player
// call has shown it and put the next samples in place.
void HandOver(void*) {
  engine->frame_done = true;
  while (engine->frame_done) lockstep_time.Sleep(1);
}

// One turn of the draw thread's loop (DrawThreadBody).
void LoopTurn() {
  if (!engine->loop_running || engine->target.right == 0 || engine->target.bottom == 0) {
    lockstep_time.Sleep(1);
    return;
  }
  engine->nested_call_ms = 0;
  const double start = emscripten_get_now();
  FrameStage stage = FrameStage::kEnded;
  try {
    stage = RunFrameTurn(engine->target, HandOver, nullptr);
  } catch (...) {
    ReportError("Draw thread exception");
  }
  if (stage != FrameStage::kEnded) {
    const double spent = emscripten_get_now() - start - engine->nested_call_ms;
    ++engine->status[kVvFramesDrawn];
    engine->draw_ms_total += spent;
    ++engine->cost_frames;
    if (spent > engine->draw_ms_max) engine->draw_ms_max = spent;
  }
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void vv_reset_cost() {
  if (!engine) return;
  engine->draw_ms_total = engine->draw_ms_max = engine->call_ms_total = engine->call_ms_max = 0;
  engine->cost_frames = engine->cost_calls = 0;
}

EMSCRIPTEN_KEEPALIVE int vv_start(int width, int height) {
  if (!SizeAllowed(width, height)) return 0;
  if (engine == nullptr) engine = new (std::nothrow) Engine;
  if (engine == nullptr) return 0;
  platform::SetTimeSource(&lockstep_time);
  ResetDrawing();
  SeedRandom15(1);  // a new draw thread's generator
  Engine& e = *engine;
  e.width = width;
  e.height = height;
  e.now = kStartTicks;
  e.next_call = 0;
  e.queue.clear();
  e.host_waiting = false;
  e.loop_running = false;
  e.target = PictureRect{};
  e.frame_done = false;
  std::memset(e.status, 0, sizeof e.status);
  e.status[kVvPictureWidth] = width;
  e.status[kVvPictureHeight] = height;
  vv_reset_cost();
  e.rgba.assign(size_t(width) * size_t(height) * 4, 0);
  for (size_t i = 3; i < e.rgba.size(); i += 4) e.rgba[i] = 255;
  return 1;
}

EMSCRIPTEN_KEEPALIVE int vv_set_size(int width, int height) {
  if (!engine || !SizeAllowed(width, height)) return 0;
  engine->width = width;
  engine->height = height;
  return 1;
}

EMSCRIPTEN_KEEPALIVE float* vv_pcm_buffer() {
  return engine ? &engine->pcm[0][0] : nullptr;
}

EMSCRIPTEN_KEEPALIVE int vv_queue_pcm_slice() {
  if (!engine || engine->queue.size() >= kMostQueued) return 0;
  engine->queue.emplace_back();
  engine->analyser.Analyse(engine->pcm, engine->queue.back());
  return 1;
}

EMSCRIPTEN_KEEPALIVE int vv_queue_slice_bytes(const unsigned char* bytes) {
  if (!engine || !bytes || engine->queue.size() >= kMostQueued) return 0;
  engine->queue.emplace_back();
  std::memcpy(&engine->queue.back(), bytes, sizeof(web::Slice));
  return 1;
}

EMSCRIPTEN_KEEPALIVE int vv_run() {
  if (!engine) return 0;
  while (engine->queue.size() >= kCallsPerTurn) LoopTurn();
  return engine->status[kVvPictures];
}

EMSCRIPTEN_KEEPALIVE const uint8_t* vv_picture() {
  return engine ? engine->rgba.data() : nullptr;
}

EMSCRIPTEN_KEEPALIVE const int32_t* vv_status() {
  if (!engine) return nullptr;
  int32_t* s = engine->status;
  s[kVvDrawingMode] = Scene.DrawingMode;
  s[kVvEffectLocked] = Requests.EffectLocked;
  s[kVvEffectChanges] = int32_t(Loop.EffectChangeCount);
  s[kVvSceneWidth] = Loop.SceneWidth;
  s[kVvSceneHeight] = Loop.SceneHeight;
  s[kVvVirtualNow] = int32_t(engine->now - kStartTicks);
  s[kVvFrameDelay] = Loop.FrameDelay;
  return s;
}

EMSCRIPTEN_KEEPALIVE double vv_cost(int which) {
  if (!engine) return 0;
  const double frames = engine->cost_frames ? double(engine->cost_frames) : 1;
  const double calls = engine->cost_calls ? double(engine->cost_calls) : 1;
  switch (which) {
    case 0:
      return engine->draw_ms_total / frames;
    case 1:
      return engine->draw_ms_max;
    case 2:
      return engine->call_ms_total / calls;
    case 3:
      return engine->call_ms_max;
    default:
      return 0;
  }
}

EMSCRIPTEN_KEEPALIVE const char* vv_about_line(int line) {
  switch (line) {
    case 0:
      return kAboutTitle;
    case 1:
      return kMakerWebSite;
    case 2:
      return kMakerNotice;
    default:
      return "";
  }
}

EMSCRIPTEN_KEEPALIVE void vv_change_drawing() {
  RequestChangeDrawing();
}
EMSCRIPTEN_KEEPALIVE void vv_new_track() {
  RequestNewEffect();
}
EMSCRIPTEN_KEEPALIVE int vv_toggle_lock() {
  Requests.EffectLocked = Requests.EffectLocked ? 0 : 1;
  return Requests.EffectLocked;
}

}  // extern "C"

void vv_observe_pictures(void (*observer)(const uint8_t* rgba, int width, int height)) {
  picture_observer = observer;
}
