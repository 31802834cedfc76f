// Golden pictures: from the generator at 1 and a fixed synthetic piece of music, every drawing
// mode and overlay draws the same picture on every run and in every build. The fixtures are
// hashes of the shown picture in data/golden_pictures.txt. With VEVIRUR_UPDATE_GOLDEN=1 the
// file is rewritten; with VEVIRUR_PNG_DIR=<folder> each picture is also written as a PNG.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "effects/scene.h"
#include "effects/scene_state.h"
#include "png_writer.h"
#include "raster/shown_picture.h"
#include "scene_harness.h"

namespace {

constexpr char kFixture[] = "data/golden_pictures.txt";

enum Audio { kMusic, kLoud, kQuiet };

struct Scenario {
  const char* name;
  int mode;
  int frames;
  Audio audio;
  int overlay;    // Scene.emitterOverlay
  int fan;        // Scene.sparkFanEnabled
  int starburst;  // Scene.starburstAllowed
  bool burst;     // keep Scene.particleBurstActive set, as the swarm and scatter modes do
  int width = 320;
  int height = 240;
};

const Scenario kScenarios[] = {
    {"mode2_petal_ring", kModePetalRing, 40, kMusic, 0, 0, 0, false},
    {"mode21_scatter_clouds", kModeScatterClouds, 16, kMusic, 0, 0, 0, false},
    {"mode22_emitter_swarm", kModeEmitterSwarmCentre, 16, kMusic, 0, 0, 0, false},
    {"mode23_cluster_bloom", kModeClusterBloom, 6, kMusic, 0, 0, 0, false},
    {"mode24_emitter_swarm_anywhere", kModeEmitterSwarmAnywhere, 16, kLoud, 0, 0, 0, false},
    {"overlay_three_emitters", kModePetalRing, 16, kMusic, 1, 0, 0, false},
    {"overlay_spark_fan", kModePetalRing, 13, kMusic, 0, 1, 0, false},
    {"overlay_starburst", kModePetalRing, 18, kMusic, 0, 0, 1, false},  // starts in frame 8
    {"particle_burst", kModePetalRing, 14, kMusic, 0, 0, 0, true},
    // The first scatter cloud of a beat frame must leave the beat to the spark fan.
    {"scatter_clouds_spark_fan", kModeScatterClouds, 16, kMusic, 0, 1, 0, false},
    // Quiet bands: most emitters are reseated anywhere every frame.
    {"mode24_emitter_swarm_reseated", kModeEmitterSwarmAnywhere, 16, kMusic, 0, 0, 0, false},
    // Loudness below 2048: the ring folds through its centre, the overlay fires below its cap.
    {"quiet_petal_ring", kModePetalRing, 24, kQuiet, 1, 0, 0, false},
    {"quiet_scatter_clouds", kModeScatterClouds, 12, kQuiet, 0, 0, 0, false},
    // Wider than 1200 (3-pixel beat dots, 160 emitters) and not 4:3.
    {"wide_emitter_swarm", kModeEmitterSwarmCentre, 12, kMusic, 1, 1, 0, false, 1280, 200},
    {"wide_petal_ring", kModePetalRing, 20, kMusic, 0, 1, 1, true, 1280, 200},
};

// FNV-1a over the shown picture; 0 when there is none.
uint64_t Render(const Scenario& s) {
  const int width = s.width, height = s.height;
  if (!scene_harness::StartScene(width, height)) return 0;
  Scene.DrawingMode = s.mode;
  Scene.emitterOverlay = s.overlay;
  Scene.sparkFanEnabled = s.fan;
  Scene.starburstAllowed = s.starburst;
  for (int frame = 0; frame < s.frames; ++frame) {
    scene_harness::FillMusic(frame, s.audio == kLoud);
    // So soft that the waveform never rises above its centre (loudness below 2048, as only a
    // host with a pinned waveform gives): no beats after the first frame.
    if (s.audio == kQuiet)
      for (uint8_t& v : Samples.WaveSamples[0]) v = uint8_t(64 + (v - 128) / 4);
    if (s.burst) Scene.particleBurstActive = 1;
    DrawSceneFrame();
  }
  std::vector<uint8_t> rgb;
  if (!ReadShownPicture(width, height, rgb)) return 0;
  if (const char* dir = std::getenv("VEVIRUR_PNG_DIR")) {
    WritePng(std::string(dir) + "/" + s.name + ".png", width, height, rgb.data());
  }
  uint64_t hash = 1469598103934665603ull;
  for (uint8_t byte : rgb) hash = (hash ^ byte) * 1099511628211ull;
  return hash;
}

}  // namespace

TEST(GoldenPictures, EveryModeAndOverlayMatchesItsFixture) {
  const bool update = std::getenv("VEVIRUR_UPDATE_GOLDEN") != nullptr;
  std::map<std::string, uint64_t> expected;
  std::ifstream in(kFixture);
  for (std::string name, hex; in >> name >> hex;) expected[name] = std::stoull(hex, nullptr, 16);
  std::ostringstream fixture;
  for (const Scenario& s : kScenarios) {
    SCOPED_TRACE(s.name);
    const uint64_t hash = Render(s);
    ASSERT_NE(hash, 0u) << "no surface";
    EXPECT_EQ(Render(s), hash) << "not repeatable within a run";
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    fixture << s.name << ' ' << hex << '\n';
    if (!update) {
      const auto it = expected.find(s.name);
      ASSERT_NE(it, expected.end()) << "no fixture";
      EXPECT_EQ(it->second, hash) << "picture differs from the fixture: now " << hex;
    }
  }
  if (update) std::ofstream(kFixture) << fixture.str();
}
