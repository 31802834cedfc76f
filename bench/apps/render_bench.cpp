// Offline rendering cost per second of audio at 1920x1080 (the speed line's denominator),
// split into the parts the front end adds to the engine: RGB read-out alone, RGB read-out and
// conversion, and the one-pass conversion from the surface that the video path uses.
#include <benchmark/benchmark.h>

#include "audio_in/demo_track.h"
#include "audio_in/slice_analyser.h"
#include "pictures_out/yuv_convert.h"
#include "render/offline_renderer.h"

namespace vevirur {
namespace {

class NullSink : public FrameSink {
 public:
  void Write(const Picture&) override {}
  void Finish() override {}
  void Abort() noexcept override {}
};

class YuvSink : public NullSink {
 public:
  void Write(const Picture& p) override { ConvertToYuv420(p, yuv_); }
  std::vector<uint8_t> yuv_;
};

// Takes the pictures as 4:2:0 planes straight from the surface, as the video sink does.
class FusedYuvSink : public NullSink {
 public:
  bool TakesYuv() const override { return true; }
  void WriteYuv(const std::vector<uint8_t>&) override {}
};

const AudioClip& Clip() {
  static const AudioClip clip = [] {
    AudioClip full = SynthesizeDemoTrack(44100, 24);
    // The loud passage: the engine's busiest part.
    AudioClip part;
    part.sample_rate = full.sample_rate;
    part.left.assign(full.left.begin() + 20 * 44100, full.left.end());
    part.right.assign(full.right.begin() + 20 * 44100, full.right.end());
    return part;
  }();
  return clip;
}

// Baseline: the FFT analysis of every slice.
void BM_AnalyseSlices(benchmark::State& state) {
  SliceAnalyser analyser;
  HostSlice slice{};
  for (auto _ : state)
    for (int64_t k = 0; k < SliceCount(Clip()); ++k) analyser.Analyse(Clip(), k, slice);
  state.counters["audio_s"] = Clip().seconds();
}
BENCHMARK(BM_AnalyseSlices)->Unit(benchmark::kMillisecond);

template <typename Sink>
void BM_Render1080p(benchmark::State& state) {
  Sink sink;
  for (auto _ : state) {
    RenderJob job;
    job.clip = &Clip();
    job.width = 1920;
    job.height = 1080;
    job.sink = &sink;
    RenderOffline(job);
  }
  state.counters["audio_s"] = Clip().seconds();
}
BENCHMARK_TEMPLATE(BM_Render1080p, NullSink)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_TEMPLATE(BM_Render1080p, YuvSink)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_TEMPLATE(BM_Render1080p, FusedYuvSink)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace vevirur

BENCHMARK_MAIN();
