#include <png_writer.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "app_error.h"
#include "audio_in/demo_track.h"
#include "commands/commands.h"
#include "commands/progress_meter.h"
#include "pictures_out/contact_sheet.h"
#include "render/offline_renderer.h"

namespace vevirur {

std::atomic<bool> InterruptRequested{false};

namespace {

constexpr int kInterruptedExit = 130;
constexpr int kDemoStillSecond = 28;

// Renders `clip` into `output`; the sink is removed again on any failure or interruption.
int RenderClip(const AudioClip& clip, const std::string& output, RenderJob job,
               std::function<void(int, const Picture&)> on_frame) {
  std::unique_ptr<FrameSink> sink =
      MakeAsyncSink(OpenFrameSink(output, job.width, job.height, clip));
  ProgressMeter meter(clip.seconds(), isatty(STDERR_FILENO) != 0);
  job.clip = &clip;
  job.sink = sink.get();
  job.cancel = &InterruptRequested;
  job.on_progress = [&](int done, int total) { meter.Update(done, total); };
  job.on_frame = std::move(on_frame);
  RenderResult result;
  try {
    result = RenderOffline(job);
    if (result.cancelled) {
      sink->Abort();
      std::fprintf(stderr, "\nvevirur: interrupted; %s removed\n", output.c_str());
      return kInterruptedExit;
    }
    sink->Finish();
  } catch (...) {
    sink->Abort();
    throw;
  }
  meter.Finish(clip.seconds());
  return 0;
}

}  // namespace

int RunRender(const CommandLine& command) {
  AudioClip clip = LoadAudioFile(command.input, command.seconds.value_or(0));
  RenderJob job;
  job.width = command.width;
  job.height = command.height;
  job.title = command.title;
  return RenderClip(clip, command.output, job, {});
}

int RunDemo(const CommandLine& command) {
  const std::string folder = command.output;  // ends with '/'
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error || !std::filesystem::is_directory(folder))
    throw AppError(folder + ": cannot create the output folder");

  AudioClip clip = SynthesizeDemoTrack();
  RenderJob job;
  job.width = 1280;
  job.height = 720;
  job.title = "Vevirur 2 - built-in demo";
  job.title_picks_new_effect = false;  // open on the ring
  // Press F6 every 6 s so the 48 s show several effects, as a viewer would.
  for (double t = 6; t < kDemoSeconds; t += 6) job.change_seconds.push_back(t);
  ContactSheet sheet(OutputFrameCount(clip), job.width, job.height);
  // One full frame from the loud passage, for pages that show a single picture.
  const int still_index = kDemoStillSecond * kOutputFramesPerSecond;
  Picture still;
  auto on_frame = [&](int index, const Picture& p) {
    sheet.Offer(index, p);
    if (index == still_index) still = p;
  };
  const std::string video = folder + "demo.mp4";
  int code = RenderClip(clip, video, job, on_frame);
  if (code != 0) return code;
  const std::string sheet_path = folder + "demo_contact_sheet.png";
  const std::string still_path = folder + "demo_frame.png";
  if (!WritePng(sheet_path, sheet.sheet().width, sheet.sheet().height, sheet.sheet().rgb.data()))
    throw AppError(sheet_path + ": cannot write the contact sheet");
  if (!WritePng(still_path, still.width, still.height, still.rgb.data()))
    throw AppError(still_path + ": cannot write the frame");
  std::printf("wrote %s, %s and %s\n", video.c_str(), sheet_path.c_str(), still_path.c_str());
  return 0;
}

}  // namespace vevirur
