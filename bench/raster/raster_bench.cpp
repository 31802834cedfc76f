// Rasteriser speed: the per-frame dissolve against a plain memset of the same pixel memory
// (printed as "dissolve/memset WxH: ratio" lines), and dots and lines per second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "raster/draw_surface.h"
#include "raster/drawing.h"
#include "raster/random15.h"

namespace {

const int kSizes[][2] = {{640, 480}, {1920, 1080}, {3840, 2160}};

void Dissolve(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  CreateDrawSurface(w, h, 16);
  for (auto _ : state) {
    DissolveRect(0, 0, w, h, 1968);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * int64_t(CurrentDrawSurface()->Stride()) * (h + 2));
  DestroyDrawSurface();
}

void Memset(benchmark::State& state) {
  const int w = int(state.range(0)), h = int(state.range(1));
  CreateDrawSurface(w, h, 16);
  DrawSurface& surface = *CurrentDrawSurface();
  const size_t bytes = size_t(surface.Stride()) * size_t(h + 2);
  for (auto _ : state) {
    std::memset(surface.Bits(), 0, bytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * int64_t(bytes));
  DestroyDrawSurface();
}

// End points spread over a 1920 x 1080 picture, mostly inside it.
std::vector<int> Points(size_t count) {
  std::vector<int> points(count * 2);
  SeedRandom15(12345);
  for (size_t i = 0; i < count; ++i) {
    points[2 * i] = NextRandom15() % 1920;
    points[2 * i + 1] = NextRandom15() % 1080;
  }
  return points;
}

void Dots(benchmark::State& state) {
  const std::vector<int> p = Points(100000);
  CreateDrawSurface(1920, 1080, 16);
  SetPenWidth(1);
  for (auto _ : state)
    for (size_t i = 0; i < p.size(); i += 2) DrawLine(p[i], p[i + 1], p[i], p[i + 1], 65535, 0, 0);
  state.SetItemsProcessed(state.iterations() * 100000);
  DestroyDrawSurface();
}

void Lines(benchmark::State& state, int count, int pen, int density) {
  const std::vector<int> p = Points(size_t(count) * 2);
  CreateDrawSurface(1920, 1080, 16);
  SetPenWidth(pen);
  SetDrawDensity(density);
  for (auto _ : state)
    for (size_t i = 0; i < p.size(); i += 4)
      DrawLine(p[i], p[i + 1], p[i + 2], p[i + 3], 0, 65535, 0);
  state.SetItemsProcessed(state.iterations() * count);
  SetDrawDensity(65535);
  DestroyDrawSurface();
}

void Width10Lines(benchmark::State& state) {
  Lines(state, 10000, 10, 65535);
}
void Stippled32Lines(benchmark::State& state) {
  Lines(state, 1000, 32, 16384);
}

// Keeps every run's time per iteration so the ratios can be printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration && run.iterations > 0)
        seconds_[run.benchmark_name()] = run.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    // The console table may end with a colour reset; keep it off the ratio lines.
    std::printf("\n");
    for (const auto& size : kSizes) {
      char dissolveName[64], memsetName[64];
      std::snprintf(dissolveName, sizeof(dissolveName), "Dissolve/%d/%d", size[0], size[1]);
      std::snprintf(memsetName, sizeof(memsetName), "Memset/%d/%d", size[0], size[1]);
      auto dissolve = seconds_.find(dissolveName), memset = seconds_.find(memsetName);
      if (dissolve == seconds_.end() || memset == seconds_.end() || memset->second <= 0) continue;
      std::printf("dissolve/memset %dx%d: %.1f\n", size[0], size[1],
                  dissolve->second / memset->second);
    }
  }

 private:
  std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
  for (const auto& size : kSizes) {
    benchmark::RegisterBenchmark("Memset", Memset)->Args({size[0], size[1]});
    benchmark::RegisterBenchmark("Dissolve", Dissolve)->Args({size[0], size[1]});
  }
  benchmark::RegisterBenchmark("Dots", Dots)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("Width10Lines", Width10Lines)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("Stippled32Lines", Stippled32Lines)->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::fflush(stdout);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
