// Per-frame time of each drawing mode and overlay with loud music at 1920x1080 and 3840x2160,
// and of the worst frames, each printed as a fraction of the 33.3 ms frame budget (30 frames a
// second). The worst ordinary frame is a full-loudness beat frame with every emitter firing plus
// all overlays, or the first frame of the longest cluster series loud music can give.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "effects/audio_measures.h"
#include "effects/particle_effects.h"
#include "effects/scene.h"
#include "effects/scene_state.h"
#include "scene_harness.h"

namespace {

constexpr double kBudgetMs = 1000.0 / 30;

struct Size {
  int width;
  int height;
};
constexpr Size kSizes[] = {{1920, 1080}, {3840, 2160}};

enum class Frame { kMusic, kWorstSwarm, kWorstCluster, kWorstInput };

struct Case {
  const char* name;
  int mode;
  int overlay;
  int fan;
  int starburst;
  Frame frame;
};

const Case kCases[] = {
    // Mode 0 draws no effect: only the frame colour and the dissolve, the fixed cost of a frame.
    {"baseline_colour_and_dissolve", 0, 0, 0, 0, Frame::kMusic},
    {"mode2_petal_ring", kModePetalRing, 0, 0, 0, Frame::kMusic},
    {"mode21_scatter_clouds", kModeScatterClouds, 0, 0, 0, Frame::kMusic},
    {"mode22_emitter_swarm", kModeEmitterSwarmCentre, 0, 0, 0, Frame::kMusic},
    {"mode23_cluster_bloom", kModeClusterBloom, 0, 0, 0, Frame::kMusic},
    {"mode24_emitter_swarm_anywhere", kModeEmitterSwarmAnywhere, 0, 0, 0, Frame::kMusic},
    {"overlay_three_emitters", kModeScatterClouds, 1, 0, 0, Frame::kMusic},
    {"overlay_spark_fan", kModeEmitterSwarmAnywhere, 0, 1, 0, Frame::kMusic},
    {"overlay_starburst", kModeScatterClouds, 0, 0, 1, Frame::kMusic},
    {"worst_swarm_frame", kModeEmitterSwarmAnywhere, 1, 1, 1, Frame::kWorstSwarm},
    {"worst_cluster_frame", kModeClusterBloom, 0, 0, 0, Frame::kWorstCluster},
    {"worst_input_frame", kModeClusterBloom, 0, 0, 0, Frame::kWorstInput},
};

void FillFrame(Frame kind, int frame) {
  switch (kind) {
    case Frame::kMusic:
      scene_harness::FillMusic(frame, true);
      break;
    case Frame::kWorstSwarm:
    case Frame::kWorstCluster:
      // Every band at its top and the waveform at full scale, as a beat: wide pens, double speed.
      scene_harness::FillSamples(255, 255);
      Scene.previousLoudness = 0;
      // Each frame is the first of the longest series that loud music gives (30 steps).
      if (kind == Frame::kWorstCluster) Scene.clusterSteps = 0;
      break;
    case Frame::kWorstInput:
      // A waveform pinned at -128 (loudness 0) under a full spectrum: the longest series allowed.
      scene_harness::FillSamples(255, 0);
      Scene.clusterSteps = 0;
      break;
  }
}

void RunCase(benchmark::State& state, const Case& c, Size size) {
  if (!scene_harness::StartScene(size.width, size.height)) {
    state.SkipWithError("no drawing surface");
    return;
  }
  Scene.DrawingMode = c.mode;
  Scene.emitterOverlay = c.overlay;
  Scene.sparkFanEnabled = c.fan;
  Scene.starburstAllowed = c.starburst;
  int frame = 0;
  for (auto _ : state) {
    FillFrame(c.frame, frame++);
    DrawSceneFrame();
  }
}

// Keeps the mean CPU time per frame of every run, in milliseconds: the draw thread's own work,
// which other programs on a busy machine do not inflate.
class BudgetReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const double ms = run.GetAdjustedCPUTime() *
                        benchmark::GetTimeUnitMultiplier(benchmark::kMillisecond) /
                        benchmark::GetTimeUnitMultiplier(run.time_unit);
      const std::string name = run.benchmark_name();
      frameMs[name.substr(0, name.find("/iterations"))] = ms;
    }
  }
  std::map<std::string, double> frameMs;
};

std::string Name(const Case& c, Size size) {
  return std::string(c.name) + "/" + std::to_string(size.width) + "x" + std::to_string(size.height);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  for (Size size : kSizes) {
    for (const Case& c : kCases) {
      benchmark::RegisterBenchmark(Name(c, size).c_str(),
                                   [&c, size](benchmark::State& state) { RunCase(state, c, size); })
          ->Unit(benchmark::kMillisecond)
          ->Iterations(c.frame == Frame::kMusic ? 60 : 20);
    }
  }
  BudgetReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("\nPer-frame time as a fraction of the %.1f ms budget:\n", kBudgetMs);
  for (const auto& [name, ms] : reporter.frameMs) {
    std::printf("  %-42s %.2f of budget (%.2f ms)\n", name.c_str(), ms / kBudgetMs, ms);
  }
  for (Size size : kSizes) {
    const std::string suffix = std::to_string(size.width) + "x" + std::to_string(size.height);
    double worst = -1;
    for (const char* name : {"worst_swarm_frame/", "worst_cluster_frame/"}) {
      const auto it = reporter.frameMs.find(name + suffix);
      if (it != reporter.frameMs.end()) worst = std::max(worst, it->second);
    }
    if (worst >= 0)
      std::printf("worst frame %s: %.2f of budget\n", suffix.c_str(), worst / kBudgetMs);
  }
  benchmark::Shutdown();
  return 0;
}
