#pragma once
// Deterministic offline rendering with the engine's own threaded frame loop. This thread plays
// the player: every 25 ms of audio time it makes the host call (hand-off of the finished picture
// and of that slice's spectrum and waveform), on the deterministic clock (platform's
// LockstepClock), where the draw thread does all it can at a time before the host goes on at
// that time. Same audio in, same frames out, on any machine under any load.
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "audio_clip.h"
#include "frame_sink.h"
#include "picture.h"

namespace vevirur {

struct RenderJob {
  const AudioClip* clip = nullptr;
  int width = 1280;
  int height = 720;
  std::string title;  // shown for 10 s from the start when not empty
  // A title at the start asks for a fresh effect, as the player's track name does; off, the
  // render opens on the engine's first effect (the petal ring) for its first seconds.
  bool title_picks_new_effect = true;
  std::vector<double> change_seconds;  // audio times at which to press F6 (the demo's script)
  FrameSink* sink = nullptr;
  // Called with every output frame after the sink took it (contact sheet, tests).
  std::function<void(int index, const Picture&)> on_frame;
  // Called after every output frame with the frames done and the total.
  std::function<void(int done, int total)> on_progress;
  const std::atomic<bool>* cancel = nullptr;  // set from a signal handler: stop early
};

struct RenderResult {
  int frames = 0;
  bool cancelled = false;
};

// Number of output frames for a clip: one per 1/30 s of audio, rounded up.
int OutputFrameCount(const AudioClip& clip);

// Runs the engine over the whole clip and writes every output frame to job.sink (not finished
// or aborted here). Only one render at a time per process: the engine's state is process-wide.
RenderResult RenderOffline(const RenderJob& job);

}  // namespace vevirur
