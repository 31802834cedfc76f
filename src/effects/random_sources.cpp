#include "effects/random_sources.h"

#include <cmath>
#include <cstdint>

#include "effects/scene.h"

namespace {

// The nearest doubles to 1 / 32767 and 0.2 / 32767.
constexpr double kInverse32767 = 3.051850947599719e-05;
constexpr float kInverse32767Single = 3.0518509e-05f;
constexpr double kNudgeStep = 6.1037018951994385e-06;
constexpr double kAngleScale = 2000 * kPi;

// Sine and cosine of the angle RandomAngle would give at each uniform cursor, worked out when the
// tables are filled: a dot then costs two table reads and no trigonometry, with the same values.
double AngleSineTable[kRandomTableSize];
double AngleCosineTable[kRandomTableSize];

double AngleAt(int index) {
  return kAngleScale * Scene.UniformRandomTable[index] * 0.001;
}

int NextCursor(int cursor) {
  return cursor + 1 == kRandomTableSize ? 0 : cursor + 1;
}

}  // namespace

int RandomInt(int n) {
  // 64-bit product: pictures wider than 65536 pixels would overflow 32 bits.
  return int(int64_t(NextRandom15()) * n / 32767);
}

float RandomFloat(float x) {
  return float(NextRandom15()) * x * kInverse32767Single;
}

double RandomNudge() {
  return NextRandom15() * kNudgeStep - 0.1;
}

int RandomCubed(int n) {
  const int value = int(n * Scene.CubedRandomTable[Scene.cubedCursor]);
  Scene.cubedCursor = NextCursor(Scene.cubedCursor);
  return value;
}

double RandomUniform(double x) {
  const double value = x * Scene.UniformRandomTable[Scene.uniformCursor];
  Scene.uniformCursor = NextCursor(Scene.uniformCursor);
  return value;
}

double RandomAngle() {
  return RandomUniform(kAngleScale) * 0.001;
}

PicturePoint RandomRadiusPoint(int centreX, int centreY, int reach) {
  const int radius = RandomCubed(reach);
  const int angle = Scene.uniformCursor;
  Scene.uniformCursor = NextCursor(Scene.uniformCursor);
  return {int(AngleSineTable[angle] * radius) + centreX,
          int(AngleCosineTable[angle] * radius) + centreY};
}

void FillRandomTables() {
  for (int k = 0; k < kRandomTableSize; ++k) {
    const double u = NextRandom15() * kInverse32767;
    Scene.CubedRandomTable[k] = u * u * u;
    Scene.UniformRandomTable[k] = NextRandom15() * kInverse32767;
    AngleSineTable[k] = std::sin(AngleAt(k));
    AngleCosineTable[k] = std::cos(AngleAt(k));
  }
  Scene.cubedCursor = 0;
  Scene.uniformCursor = 0;
}
