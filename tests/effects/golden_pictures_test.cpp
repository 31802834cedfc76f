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

#include "effects/audio_measures.h"
#include "effects/scene.h"
#include "effects/scene_driver.h"
#include "png_writer.h"
#include "scene_harness.h"

namespace {

constexpr char kFixture[] = "data/golden_pictures.txt";

enum Audio { kMusic, kLoud, kQuiet };

struct Scenario {
  const char* name;
  int mode;
  int frames;
  Audio audio;
  int overlay;    // emitterOverlay
  int fan;        // sparkFanEnabled
  int starburst;  // starburstAllowed
  bool burst;     // keep particleBurstActive set, as the swarm and scatter modes do
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
    // Quiet bands: most emitters are reseated anywhere every frame.
    {"mode24_emitter_swarm_reseated", kModeEmitterSwarmAnywhere, 16, kMusic, 0, 0, 0, false},
    // Loudness below 2048: the ring folds through its centre, the overlay fires below its cap.
    {"quiet_petal_ring", kModePetalRing, 24, kQuiet, 1, 0, 0, false},
    {"quiet_scatter_clouds", kModeScatterClouds, 12, kQuiet, 0, 0, 0, false},
    // Wider than 1200 (3-pixel beat dots, 160 emitters) and not 4:3.
    {"wide_emitter_swarm", kModeEmitterSwarmCentre, 12, kMusic, 1, 1, 0, false, 1280, 200},
    {"wide_petal_ring", kModePetalRing, 20, kMusic, 0, 1, 1, true, 1280, 200},
};

struct Rendered {
  uint64_t hash = 0;
  int litPixels = 0;
  bool starburstSeen = false;
};

Rendered Render(const Scenario& s) {
  Rendered result;
  const int width = s.width, height = s.height;
  if (!scene_harness::StartScene(width, height)) return result;
  DrawingMode = s.mode;
  emitterOverlay = s.overlay;
  sparkFanEnabled = s.fan;
  starburstAllowed = s.starburst;
  for (int frame = 0; frame < s.frames; ++frame) {
    if (s.audio == kQuiet) {
      scene_harness::FillQuietMusic(frame);
    } else {
      scene_harness::FillMusic(frame, s.audio == kLoud);
    }
    if (s.burst) particleBurstActive = 1;
    scene_harness::DrawFrame();
    result.starburstSeen |= starburstActive != 0;
  }
  std::vector<uint8_t> rgb;
  if (!ReadShownPicture(width, height, rgb)) return result;
  result.hash = scene_harness::PictureHash(width, height);
  for (size_t i = 0; i < rgb.size(); i += 3)
    result.litPixels += (rgb[i] | rgb[i + 1] | rgb[i + 2]) != 0;
  if (const char* dir = std::getenv("VEVIRUR_PNG_DIR")) {
    WritePng(std::string(dir) + "/" + s.name + ".png", width, height, rgb.data());
  }
  return result;
}

std::map<std::string, uint64_t> ReadFixture() {
  std::map<std::string, uint64_t> hashes;
  std::ifstream in(kFixture);
  std::string name, hex;
  while (in >> name >> hex) hashes[name] = std::stoull(hex, nullptr, 16);
  return hashes;
}

}  // namespace

TEST(GoldenPictures, EveryModeAndOverlayMatchesItsFixture) {
  const bool update = std::getenv("VEVIRUR_UPDATE_GOLDEN") != nullptr;
  const std::map<std::string, uint64_t> expected = ReadFixture();
  std::ostringstream fixture;
  for (const Scenario& s : kScenarios) {
    SCOPED_TRACE(s.name);
    const Rendered first = Render(s);
    ASSERT_NE(first.hash, 0u) << "no surface";
    EXPECT_GT(first.litPixels, 50) << "the picture is nearly black";
    EXPECT_EQ(Render(s).hash, first.hash) << "not repeatable within a run";
    EXPECT_TRUE(first.starburstSeen || !s.starburst) << "no starburst started";
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(first.hash));
    fixture << s.name << ' ' << hex << '\n';
    if (!update) {
      const auto it = expected.find(s.name);
      ASSERT_NE(it, expected.end()) << "no fixture";
      EXPECT_EQ(it->second, first.hash) << "picture differs from the fixture: now " << hex;
    }
  }
  if (update) std::ofstream(kFixture) << fixture.str();
}
