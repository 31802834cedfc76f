#pragma once
// Picture-size dependent set-up of the scene, run on start and on every resize.

extern int pictureWidth;  // drawing-surface size the scene is built for
extern int pictureHeight;

struct Direction {
  double sine;
  double cosine;
};
// Entry k holds the angle (k - 2) * pi / 31, so the first two point slightly backwards.
constexpr int kDirectionCount = 63;
extern Direction DirectionTable[kDirectionCount];

// Pens of the dots: the wide one while a beat is held.
extern int normalPenWidth;
extern int widePenWidth;
