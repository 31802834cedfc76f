#pragma once
// What the frame loop asks of the effect scene engine. Everything here runs on the draw thread;
// the state it works on is the scene record (the drawing mode, the overlay pass and the per-effect
// flags the frame loop reads among it).
#include "effects/scene_state.h"

// The scene set-up for a picture of width x height, run on start and on every change of picture
// size: the picture size, then InitDirectionTable, FillRandomTables, ResetEffectState and
// InitEmitters in this order.
void SetUpScene(int width, int height);

// The picture size the scene is set up for (the first step of SetUpScene).
void SetScenePictureSize(int width, int height);

// The steps of SetUpScene.
void InitDirectionTable();
void FillRandomTables();
void ResetEffectState();
void InitEmitters();

// Per frame.
void AnalyseAudioFrame();
void DrawScene();
void DrawSparkFan();
void DrawParticleBurst();

// Between frames, when a new effect is due.
void ChooseNewEffect();

// Puts every value of the scene engine back to what it is when the library loads (the draw
// thread's generator excepted), for a fresh start of the engine.
void ResetSceneToLoadState();
