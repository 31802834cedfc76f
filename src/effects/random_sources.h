#pragma once
// Random sources of the scene engine: bounded draws from the draw thread's 15-bit generator, and
// two pre-filled tables read in turn, which is how every cloud of dots is scattered cheaply.
#include "effects/scene_state.h"
#include "raster/random15.h"

// (rand() * n) / 32767: 0..n, n itself only for rand() = 32767.
int RandomInt(int n);
// rand() * x / 32767 in single precision: 0..x.
float RandomFloat(float x);
// -0.1..+0.1 in steps of 0.2 / 32767.
double RandomNudge();
// trunc(n * next cubed value).
int RandomCubed(int n);
// x * next uniform value.
double RandomUniform(double x);
// An angle 0..2*pi from the uniform table.
double RandomAngle();
// A point around the centre: cubed radius first, then the angle; x takes the sine, y the cosine.
PicturePoint RandomRadiusPoint(int centreX, int centreY, int reach);
