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
#include "effects/scene_state.h"
#include "png_writer.h"
#include "scene_harness.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr char kFixture[] = "data/golden_pictures.txt";

struct Scenario {
  const char* name;
  int mode;
  int frames;
  bool loud;
  int overlay;    // emitterOverlay
  int fan;        // sparkFanEnabled
  int starburst;  // starburstAllowed
  bool burst;     // keep particleBurstActive set, as the swarm and scatter modes do
};

const Scenario kScenarios[] = {
    {"mode2_petal_ring", kModePetalRing, 40, false, 0, 0, 0, false},
    {"mode21_scatter_clouds", kModeScatterClouds, 16, false, 0, 0, 0, false},
    {"mode22_emitter_swarm", kModeEmitterSwarmCentre, 16, false, 0, 0, 0, false},
    {"mode23_cluster_bloom", kModeClusterBloom, 6, false, 0, 0, 0, false},
    {"mode24_emitter_swarm_anywhere", kModeEmitterSwarmAnywhere, 16, true, 0, 0, 0, false},
    {"overlay_three_emitters", kModePetalRing, 16, false, 1, 0, 0, false},
    {"overlay_spark_fan", kModePetalRing, 13, false, 0, 1, 0, false},
    {"overlay_starburst", kModePetalRing, 18, false, 0, 0, 1, false},  // starts in frame 8
    {"particle_burst", kModePetalRing, 14, false, 0, 0, 0, true},
};

struct Rendered {
  uint64_t hash = 0;
  int litPixels = 0;
  bool starburstSeen = false;
};

Rendered Render(const Scenario& s) {
  Rendered result;
  if (!scene_harness::StartScene(kWidth, kHeight)) return result;
  Scene.DrawingMode = s.mode;
  Scene.emitterOverlay = s.overlay;
  Scene.sparkFanEnabled = s.fan;
  Scene.starburstAllowed = s.starburst;
  for (int frame = 0; frame < s.frames; ++frame) {
    scene_harness::FillMusic(frame, s.loud);
    if (s.burst) Scene.particleBurstActive = 1;
    scene_harness::DrawFrame();
    result.starburstSeen |= Scene.starburstActive != 0;
  }
  std::vector<uint8_t> rgb;
  if (!ReadShownPicture(kWidth, kHeight, rgb)) return result;
  result.hash = scene_harness::PictureHash(kWidth, kHeight);
  for (size_t i = 0; i < rgb.size(); i += 3)
    result.litPixels += (rgb[i] | rgb[i + 1] | rgb[i + 2]) != 0;
  if (const char* dir = std::getenv("VEVIRUR_PNG_DIR")) {
    WritePng(std::string(dir) + "/" + s.name + ".png", kWidth, kHeight, rgb.data());
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
    if (s.starburst) EXPECT_TRUE(first.starburstSeen);
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
