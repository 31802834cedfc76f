#pragma once
// The petal ring (drawing mode 2): a closed rippled ring round the picture centre whose radius
// follows the loudness, turning slowly.

constexpr int kRingSegments = 109;

void DrawPetalRing();
