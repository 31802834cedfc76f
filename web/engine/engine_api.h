#pragma once
// The engine's calls for the web page (exported from the WebAssembly module as _vv_*).
//
// The page starts the engine for a picture size, queues one analysed slice of audio per player
// call (call k stands for audio time 25 ms x k), lets it run, and after each run reads the
// status words and, when the picture count moved, the newest picture.
#include <cstdint>

// The status words of vv_status, in this order.
enum VvStatus : int {
  kVvPictures,    // pictures shown so far (the picture buffer holds the newest)
  kVvAboutShown,  // 1 while the newest thing shown is the about screen
  kVvDrawingMode,
  kVvEffectLocked,
  kVvEffectChanges,  // new effects chosen so far
  kVvSceneWidth,
  kVvSceneHeight,
  kVvFramesDrawn,
  kVvCallsDone,
  kVvVirtualNow,    // milliseconds of the engine's clock since the start
  kVvPictureWidth,  // size of the picture in the buffer
  kVvPictureHeight,
  kVvFrameDelay,  // the governor's least milliseconds between frames
  kVvStatusCount
};

extern "C" {

// Starts the engine afresh for pictures of width x height, as the plug-in starts with a new draw
// thread. Returns 1, or 0 when the size is not allowed (up to 3840 x 2160 pixels in all, neither
// side above 8192) or the events cannot be made.
int vv_start(int width, int height);
// A new picture size from the next player call on; the loop rebuilds its scene for it.
int vv_set_size(int width, int height);

// Where the page writes 1152 samples of each channel (left, then right) from a slice's start.
float* vv_pcm_buffer();
// Analyses the samples in the PCM buffer into the next player call's slice. 0 when 4000 slices
// wait already (or before vv_start).
int vv_queue_pcm_slice();
// The same with the bytes themselves: 576 spectrum bytes left, right, then 576 waveform bytes
// left, right.
int vv_queue_slice_bytes(const unsigned char* bytes);

// Runs the loop as far as the queued slices allow (while two calls wait: all a turn can need).
// Returns the number of pictures shown so far.
int vv_run();

// The newest picture: RGBA pixels, rows from the top, of the size in the status words.
const uint8_t* vv_picture();
// The status words (VvStatus), refreshed on each call.
const int32_t* vv_status();

// Wall-clock milliseconds: 0 mean and 1 worst drawing turn, 2 mean and 3 worst player call
// (picture read-out and sample copy), since the start or vv_reset_cost.
double vv_cost(int which);
void vv_reset_cost();

// The about screen's three lines (0, 1, 2), from the plug-in's own texts.
const char* vv_about_line(int line);

// The plug-in's commands: change drawing (F6), a new track (asks for a new effect unless
// locked), the effect lock (F4; returns the new state).
void vv_change_drawing();
void vv_new_track();
int vv_toggle_lock();

}  // extern "C"

// Called with every picture as it is shown (tests); null: nobody.
void vv_observe_pictures(void (*observer)(const uint8_t* rgba, int width, int height));
