#pragma once
// The scene engine's state: everything the effects keep from one frame to the next, in one
// record with the names the effects use. Draw thread only (the sample arrays, which the host's
// thread fills, are their own record). ResetSceneToLoadState puts all of it back at once.
#include <cstdint>
#include <numbers>

#include "effects/effect_colour.h"

constexpr double kPi = std::numbers::pi;

// Drawing modes that reach DrawScene.
enum : int {
  kModePetalRing = 2,
  kModeScatterClouds = 21,
  kModeEmitterSwarmCentre = 22,  // also the three-emitter overlay in an overlay pass
  kModeClusterBloom = 23,
  kModeEmitterSwarmAnywhere = 24,
  kModeStarburst = 119,  // overlay pass only
};

struct PicturePoint {
  int x;
  int y;
};

struct Direction {
  double sine;
  double cosine;
};
// Entry k holds the angle (k - 2) * pi / 31, so the first two point slightly backwards.
constexpr int kDirectionCount = 63;

struct Emitter {
  float x;
  float y;
  float vx;  // direction, -1..+1
  float vy;
};
constexpr int kEmitterRecords = 255;

struct Star {
  double x;  // offset from the burst centre at depth 0
  double y;
  double z;  // depth: 7 at the start, 0.5 less each frame
};
constexpr int kStarCount = 255;

// Not 16000: a cursor wraps after 16001 reads.
constexpr int kRandomTableSize = 16001;

// Room for every band count a caller asks for; entries past a caller's count keep older levels.
constexpr int kBandLevelsSize = 1024;

struct SceneState {
  // Scene driver.
  int DrawingMode = kModePetalRing;
  int OverlayPass = 0;  // set while an overlay pass runs DrawScene
  int emitterOverlay = 0;
  int sparkFanEnabled = 0;
  int starburstAllowed = 0;
  int burstColourHeld = 1;  // the particle burst keeps the colour it started with
  int beatMultiplier = 1;   // 2 on a beat frame, else 1
  int beatHold = 0;         // 3 on a beat, then falls by one per main frame: dots stay wide
  double petalFrequency = 2.0;
  double ringPhase = 0.0;

  // Scene set-up: the drawing-surface size the scene is built for, directions, pens.
  int pictureWidth = 0;
  int pictureHeight = 0;
  Direction DirectionTable[kDirectionCount] = {};
  int normalPenWidth = 1;  // pens of the dots: the wide one while a beat is held
  int widePenWidth = 2;

  // Random sources: two pre-filled tables read in turn.
  double CubedRandomTable[kRandomTableSize] = {};    // u * u * u, crowding towards 0
  double UniformRandomTable[kRandomTableSize] = {};  // u, uniform in 0..1
  int cubedCursor = 0;
  int uniformCursor = 0;

  // Audio measures of the left sample arrays.
  int loudness = 0;          // peak * peak / 8 of the left waveform: 2048 in silence, 8128 at most
  int previousLoudness = 0;  // loudness of the frame before
  int beatFlag = 0;          // loudness jumped by more than 1000 since the frame before
  double sizeScale = 0.0;    // (width + height) / 600: radii and spreads grow with the picture
  int BandLevels[kBandLevelsSize] = {};

  // Frame colour.
  EffectColour FrameColour = {0, 0, 0};
  int bassCue = 0;  // red level * 31 / 10

  // Dot clouds: the particle burst, the scatter clouds and the cluster bloom.
  uint64_t cloudDotCount = 0;  // dots scattered; tests and benchmarks read its differences
  int particleBurstActive = 0;
  int burstSize = 0;  // dots of the burst this frame; 500 after every set-up
  PicturePoint burstCentre = {0, 0};
  EffectColour burstColour = {0, 0, 0};
  PicturePoint scatterCentre = {0, 0};
  int clusterSteps = 0;  // steps left in the cluster series
  EffectColour clusterColour = {0, 0, 0};

  // Emitter swarm.
  Emitter Emitters[kEmitterRecords] = {};
  int emitterCount = 0;  // emitters of a main pass: width / 8, at most 255
  float emitterSpeed = 0.0f;

  // Starburst.
  int starburstActive = 0;
  Star Stars[kStarCount] = {};
  int starburstOffsetX = 0;  // burst centre relative to the picture centre
  int starburstOffsetY = 0;
  EffectColour starburstColour = {0, 0, 0};

  // Spark fan: the next fan is centred at (hw - x, hh - y) and this fan's spot is drawn at
  // (hw + x, hh + y).
  int sparkCentreOffsetX = 0;
  int sparkCentreOffsetY = 0;
};
extern SceneState Scene;
