// The front end's offline render of the demo track at 1920x1080, against its limit: the same
// frames encoded alone, from memory, with the same encoder settings. Prints
//   render/encode-only 1920x1080: R   (the whole render's time over the encoder's alone)
//   engine-only 1920x1080: Nx real time   (frames drawn and converted, no encoder)
// and the processor time (user + system, all threads) of each, which a busy machine disturbs
// less than the wall-clock time.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>

#include "audio_in/demo_track.h"
#include "pictures_out/video_encoder.h"
#include "pictures_out/yuv_convert.h"
#include "render/offline_renderer.h"

namespace vevirur {
namespace {

constexpr int kWidth = 1920, kHeight = 1080;

// Processor seconds of the whole process so far.
double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

const AudioClip& Demo() {
  static const AudioClip clip = SynthesizeDemoTrack();
  return clip;
}

std::string ScratchVideo(const char* name) {
  return (std::filesystem::temp_directory_path() /
          ("vevirur-bench-" + std::to_string(getpid()) + "-" + name + ".mp4"))
      .string();
}

// The demo as `vevirur demo` renders it: title at the start, F6 every 6 s.
double RenderDemo(FrameSink& sink) {
  ClipSource audio(Demo());
  RenderJob job;
  job.audio = &audio;
  job.sink = &sink;
  job.width = kWidth;
  job.height = kHeight;
  job.title = "Vevirur 2 - built-in demo";
  job.title_picks_new_effect = false;
  for (double t = 6; t < kDemoSeconds; t += 6) job.change_seconds.push_back(t);
  return RenderOffline(job).seconds;
}

// Frames drawn and converted to 4:2:0, then dropped.
class DropSink : public FrameSink {
 public:
  void Write(const Picture& p) override { ConvertToYuv420(p, yuv_); }
  bool TakesYuv() const override { return true; }
  void WriteYuv(const YuvFrame&) override {}
  void Finish() override {}
  void Abort() noexcept override {}

 private:
  std::vector<uint8_t> yuv_;
};

// Keeps the frames and the sound in memory a chunk at a time; each full chunk is then encoded
// alone, timed, into one video with the render's settings.
class EncodeOnlySink : public FrameSink {
 public:
  EncodeOnlySink() : encoder_(path_, path_, kWidth, kHeight, Quality::kStandard, 44100) {}
  ~EncodeOnlySink() override { std::filesystem::remove(path_); }
  void Write(const Picture& p) override {
    auto yuv = std::make_shared<std::vector<uint8_t>>();
    ConvertToYuv420(p, *yuv);
    WriteYuv(yuv);
  }
  bool TakesYuv() const override { return true; }
  void WriteYuv(const YuvFrame& yuv) override {
    items_.push_back({yuv, {}, {}});
    if (++frames_ == kChunkFrames) Encode();
  }
  void WriteAudio(const float* l, const float* r, size_t n) override {
    items_.push_back({nullptr, std::vector<float>(l, l + n), std::vector<float>(r, r + n)});
  }
  void Finish() override {
    Encode();
    auto start = std::chrono::steady_clock::now();
    const double cpu = CpuSeconds();
    encoder_.Finish();
    seconds_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    cpu_seconds_ += CpuSeconds() - cpu;
  }
  void Abort() noexcept override {}
  double seconds() const { return seconds_; }
  double cpu_seconds() const { return cpu_seconds_; }

 private:
  static constexpr int kChunkFrames = 120;  // 370 MB of 1080p planes
  struct Item {
    YuvFrame yuv;
    std::vector<float> left, right;
  };
  void Encode() {
    auto start = std::chrono::steady_clock::now();
    const double cpu = CpuSeconds();
    for (const Item& item : items_) {
      if (item.yuv)
        encoder_.WriteFrame(item.yuv);
      else
        encoder_.WriteAudio(item.left.data(), item.right.data(), item.left.size());
    }
    seconds_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    cpu_seconds_ += CpuSeconds() - cpu;
    items_.clear();
    frames_ = 0;
  }
  std::string path_ = ScratchVideo("encode");
  VideoEncoder encoder_;
  std::vector<Item> items_;
  int frames_ = 0;
  double seconds_ = 0, cpu_seconds_ = 0;
};

void Render(benchmark::State& state) {
  const std::string path = ScratchVideo("render");
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    const double cpu = CpuSeconds();
    SinkOptions options;
    options.width = kWidth;
    options.height = kHeight;
    options.audio_rate = Demo().sample_rate;
    std::unique_ptr<FrameSink> sink = MakeAsyncSink(OpenFrameSink(path, options));
    RenderDemo(*sink);
    sink->Finish();
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    state.counters["cpu_s"] = CpuSeconds() - cpu;
  }
  std::filesystem::remove(path);
}

void EncodeOnly(benchmark::State& state) {
  for (auto _ : state) {
    EncodeOnlySink sink;
    RenderDemo(sink);
    sink.Finish();
    state.SetIterationTime(sink.seconds());
    state.counters["cpu_s"] = sink.cpu_seconds();
  }
}

void EngineOnly(benchmark::State& state) {
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    const double cpu = CpuSeconds();
    // Converted on the sink's worker, as in a render.
    std::unique_ptr<FrameSink> sink = MakeAsyncSink(std::make_unique<DropSink>());
    RenderDemo(*sink);
    sink->Finish();
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    state.counters["cpu_s"] = CpuSeconds() - cpu;
  }
}

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // Debian's Google Benchmark library is built without NDEBUG and says so as if this program
  // were; the code measured here is built optimised, which is checked where it is compiled.
  bool ReportContext(const Context& context) override {
    std::ostringstream text;
    std::ostream& errors = GetErrorStream();
    SetErrorStream(&text);
    const bool ok = ConsoleReporter::ReportContext(context);
    SetErrorStream(&errors);
    std::istringstream lines(text.str());
    for (std::string line; std::getline(lines, line);)
      if (line.find("Library was built as DEBUG") == std::string::npos) errors << line << '\n';
#if defined(NDEBUG) && defined(__OPTIMIZE__)
    errors << "(benchmark library: Debian's, built without NDEBUG; this program: optimised)\n";
#else
    errors << "***WARNING*** This benchmark was built without optimisation.\n";
#endif
    return ok;
  }

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
        // The fastest of the rounds: the one least disturbed by the rest of the machine.
        const double seconds = run.GetAdjustedRealTime() / 1000;  // ms -> s
        auto [it, fresh] = seconds_.emplace(run.run_name.function_name, seconds);
        if (!fresh) it->second = std::min(it->second, seconds);
        auto cpu = run.counters.find("cpu_s");
        if (cpu != run.counters.end()) {
          auto [at, first] = cpu_.emplace(run.run_name.function_name, cpu->second.value);
          if (!first) at->second = std::min(at->second, double(cpu->second.value));
        }
      }
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    std::printf("\n");
    auto render = seconds_.find("Render"), encode = seconds_.find("EncodeOnly"),
         engine = seconds_.find("EngineOnly");
    if (render != seconds_.end() && encode != seconds_.end() && encode->second > 0)
      std::printf("render/encode-only %dx%d: %.2f\n", kWidth, kHeight,
                  render->second / encode->second);
    if (engine != seconds_.end() && engine->second > 0)
      std::printf("engine-only %dx%d: %.1fx real time\n", kWidth, kHeight,
                  kDemoSeconds / engine->second);
    // Processor seconds (least of the rounds): what the rest of the machine cannot add to.
    std::printf("processor time, all threads:");
    for (const char* name : {"Render", "EncodeOnly", "EngineOnly"})
      if (cpu_.count(name)) std::printf(" %s %.2f s", name, cpu_.at(name));
    std::printf("\n");
  }

 private:
  std::map<std::string, double> seconds_, cpu_;
};

}  // namespace
}  // namespace vevirur

int main(int argc, char** argv) {
  using namespace vevirur;
  Demo();  // synthesized before any timing
  using Function = void (*)(benchmark::State&);
  // Two rounds, alternating, so that a busy spell of the machine does not decide the ratio.
  const std::pair<const char*, Function> benchmarks[] = {
      {"EncodeOnly", EncodeOnly}, {"Render", Render}, {"EngineOnly", EngineOnly},
      {"EncodeOnly", EncodeOnly}, {"Render", Render}, {"EngineOnly", EngineOnly}};
  for (auto [name, function] : benchmarks)
    benchmark::RegisterBenchmark(name, function)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(1);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::fflush(stdout);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
