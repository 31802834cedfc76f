#include <png_writer.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "app_error.h"
#include "audio_in/audio_decoder.h"
#include "audio_in/demo_track.h"
#include "commands/commands.h"
#include "commands/progress_meter.h"
#include "pictures_out/contact_sheet.h"
#include "render/offline_renderer.h"

namespace vevirur {

std::atomic<bool> InterruptRequested{false};
std::atomic<int> InterruptSignal{0};

namespace {

constexpr int kDemoStillSecond = 28;

// Renders `audio` into `output`; the output is removed again on any failure or interruption.
void RenderSound(AudioSource& audio, const std::string& output, const std::string& input,
                 int quality, RenderJob job, std::function<void(int, const Picture&)> on_frame) {
  SinkOptions options;
  options.width = job.width;
  options.height = job.height;
  options.audio_rate = audio.sample_rate();
  options.quality = quality;
  options.input = input;
  std::unique_ptr<FrameSink> sink =
      MakeAsyncSink(OpenFrameSink(output, options), &InterruptRequested);
  ProgressMeter meter(isatty(STDERR_FILENO) != 0);
  job.audio = &audio;
  job.sink = sink.get();
  job.cancel = &InterruptRequested;
  job.on_progress = [&](int done, int total) { meter.Update(done, total); };
  job.on_frame = std::move(on_frame);
  RenderResult result;
  try {
    result = RenderOffline(job);
    sink->Finish();
  } catch (...) {
    sink->Abort();
    meter.Abandon();
    throw;
  }
  meter.Finish(result.seconds);
}

}  // namespace

int RunRender(const CommandLine& command) {
  AudioDecoder audio(command.input, &InterruptRequested);
  RenderJob job;
  job.width = command.width;
  job.height = command.height;
  job.title = command.title;
  job.max_seconds = command.seconds.value_or(0);
  RenderSound(audio, command.output, command.input, command.quality, job, {});
  return 0;
}

int RunDemo(const CommandLine& command) {
  const std::string folder = command.output;  // ends with '/'
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error || !std::filesystem::is_directory(folder))
    throw AppError(folder + ": cannot create the output folder");

  AudioClip clip = SynthesizeDemoTrack();
  ClipSource audio(clip);
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
  RenderSound(audio, video, "", 1, job, on_frame);
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
