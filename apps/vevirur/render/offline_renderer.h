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

#include "audio_in/audio_clip.h"
#include "audio_in/audio_source.h"
#include "pictures_out/frame_sink.h"
#include "pictures_out/picture.h"

namespace vevirur {

struct RenderJob {
  AudioSource* audio = nullptr;  // read as the render goes; its sound also goes to the sink
  double max_seconds = 0;        // > 0: stop the sound there
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
  // Called after every output frame with the frames done and the total (an estimate from the
  // input's announced length until the sound has ended; 0 when unknown).
  std::function<void(int done, int total)> on_progress;
  // Set from a signal handler: the render stops and throws Interrupted.
  const std::atomic<bool>* cancel = nullptr;
};

struct RenderResult {
  int frames = 0;
  double seconds = 0;  // of sound rendered
};

// Number of output frames for `frames` samples at `rate`: one per 1/30 s, rounded up.
int OutputFrameCount(int64_t frames, int rate);
inline int OutputFrameCount(const AudioClip& clip) {
  return OutputFrameCount(clip.frames(), clip.sample_rate);
}

// Runs the engine over the whole sound and writes every output frame, and the sound, to job.sink
// (not finished or aborted here). Holds only the samples the next slice's analysis needs. Only one
// render at a time per process: the engine's state is process-wide.
RenderResult RenderOffline(const RenderJob& job);

}  // namespace vevirur
