// The WebAssembly engine as the page sees it: start it for a picture size, queue one 25 ms slice
// of audio per player call, let it run, and read the newest picture and the status words.
import createVevirurEngine from './vevirur_engine.js';

export const SLICE_MS = 25;
export const FFT_SIZE = 1152;  // samples per channel the analyser reads from a slice's start

// Order of the status words (web/engine/engine_glue.cpp).
const STATUS = ['pictures', 'aboutShown', 'drawingMode', 'effectLocked', 'effectChanges',
  'sceneWidth', 'sceneHeight', 'framesDrawn', 'callsDone', 'virtualNow', 'pictureWidth',
  'pictureHeight', 'frameDelay'];

export class Engine {
  static async load() {
    return new Engine(await createVevirurEngine());
  }

  constructor(module) {
    this.m = module;
    this.callsQueued = 0;
  }

  start(width, height) {
    this.callsQueued = 0;
    if (!this.m._vv_start(width, height)) throw new Error(`cannot start the engine at ${width}x${height}`);
  }

  setSize(width, height) { this.m._vv_set_size(width, height); }

  // First sample of the slice of call `k` (slices start every 25 ms of audio).
  static sliceStart(k, rate) { return Math.floor(k * rate * SLICE_MS / 1000); }

  // Queues the next call's slice from 1152 samples of each channel; `fill(left, right)` writes them
  // (Float32Arrays over the engine's buffer) and must write zeros where there is no sound.
  queueSlice(fill) {
    const at = this.m._vv_pcm_buffer() >> 2;
    const left = this.m.HEAPF32.subarray(at, at + FFT_SIZE);
    const right = this.m.HEAPF32.subarray(at + FFT_SIZE, at + 2 * FFT_SIZE);
    fill(left, right);
    if (this.m._vv_queue_pcm_slice()) this.callsQueued++;
  }

  // Runs the engine as far as the queued slices allow; returns the number of pictures shown.
  run() { return this.m._vv_run(); }

  status() {
    const at = this.m._vv_status() >> 2;
    const words = this.m.HEAP32.subarray(at, at + STATUS.length);
    const result = {};
    STATUS.forEach((name, i) => { result[name] = words[i]; });
    return result;
  }

  // The newest picture as RGBA bytes (a view into the engine's memory: copy before the next run).
  picture(width, height) {
    const at = this.m._vv_picture();
    return new Uint8ClampedArray(this.m.HEAPU8.buffer, at, width * height * 4);
  }

  cost() {
    return { drawMean: this.m._vv_cost(0), drawMax: this.m._vv_cost(1),
      callMean: this.m._vv_cost(2), callMax: this.m._vv_cost(3) };
  }
  resetCost() { this.m._vv_reset_cost(); }

  // The about screen's lines, as the plug-in has them.
  aboutLines() { return [0, 1, 2].map((i) => this.m.UTF8ToString(this.m._vv_about_line(i))); }

  changeDrawing() { this.m._vv_change_drawing(); }
  newTrack() { this.m._vv_new_track(); }
  toggleLock() { return this.m._vv_toggle_lock() !== 0; }
}
