// Where the sound comes from: a file the browser decodes and plays, or a live stream (the
// microphone, a shared tab). Each source gives the engine's player calls their slices: call j
// of the source (counted from its start) gets the audio from 25 ms x j on.
import { Engine, FFT_SIZE, SLICE_MS } from './engine.js';

// Copies FFT_SIZE samples of `channel` from `start` into `out`, zeros outside the channel.
function copySamples(channel, start, out) {
  for (let i = 0; i < FFT_SIZE; i++) {
    const at = start + i;
    out[i] = at >= 0 && at < channel.length ? channel[at] : 0;
  }
}

export class FileSource {
  // Decodes `file` (anything the browser can decode). Throws with a readable message if it can't.
  static async open(ctx, file) {
    let buffer;
    try {
      buffer = await ctx.decodeAudioData(await file.arrayBuffer());
    } catch (error) {
      throw new Error(`“${file.name}” cannot be played: the browser cannot decode its sound.`);
    }
    return new FileSource(ctx, buffer, file.name);
  }

  constructor(ctx, buffer, name) {
    this.ctx = ctx;
    this.buffer = buffer;
    this.name = name;
    this.rate = buffer.sampleRate;
    this.left = buffer.getChannelData(0);
    this.right = buffer.numberOfChannels > 1 ? buffer.getChannelData(1) : this.left;
    this.node = null;
    this.startTime = 0;
  }

  start() {
    this.node = this.ctx.createBufferSource();
    this.node.buffer = this.buffer;
    this.node.connect(this.ctx.destination);
    this.startTime = this.ctx.currentTime + 0.05;
    this.node.start(this.startTime);
  }

  stop() {
    if (this.node) {
      try { this.node.stop(); } catch (error) { /* never started */ }
      this.node.disconnect();
      this.node = null;
    }
  }

  // Seconds of the file heard so far.
  position() {
    return this.ctx.currentTime - this.startTime - (this.ctx.outputLatency || 0);
  }

  playing() {
    const t = this.position();
    return this.node !== null && t >= 0 && t < this.buffer.duration;
  }

  // Calls whose slices may be queued now: those due by the audio heard, and one ahead.
  callsReady() {
    const t = this.position();
    return t < 0 ? 0 : Math.floor(t * 1000 / SLICE_MS) + 2;
  }

  fillSlice(j, left, right) {
    const start = Engine.sliceStart(j, this.rate);
    copySamples(this.left, start, left);
    copySamples(this.right, start, right);
  }
}

// What the browser's refusals mean to the person who asked.
function explain(error, what) {
  switch (error && error.name) {
    case 'NotAllowedError':
    case 'SecurityError':
      return `Access to ${what} was refused. Allow it in the browser's address bar and try again.`;
    case 'NotFoundError':
      return `No ${what} was found.`;
    case 'NotReadableError':
      return `The ${what} is in use by another program or cannot be read.`;
    case 'NoSoundError':
      return 'No sound was shared. Pick a tab and tick “Share tab audio”.';
    case 'AbortError':
      return `Listening to ${what} was cancelled.`;
    default:
      return `Cannot listen to ${what}: ${error && error.message ? error.message : error}`;
  }
}

export class LiveSource {
  // kind: 'microphone' or 'tab'. Asks for permission; throws with a readable message when refused.
  static async open(ctx, kind) {
    const what = kind === 'microphone' ? 'the microphone' : "a tab's sound";
    const media = navigator.mediaDevices;
    if (!media || (kind === 'tab' && !media.getDisplayMedia) || (kind !== 'tab' && !media.getUserMedia)) {
      throw new Error(`This browser cannot give the page ${what} (it needs a secure page: https or localhost).`);
    }
    let stream;
    try {
      if (kind === 'tab') {
        // Chromium shares a tab's sound only together with its picture, which is dropped at once.
        stream = await media.getDisplayMedia({ video: true, audio: true });
        stream.getVideoTracks().forEach((track) => track.stop());
        if (stream.getAudioTracks().length === 0) {
          const error = new Error('no audio track');
          error.name = 'NoSoundError';
          throw error;
        }
      } else {
        stream = await media.getUserMedia({
          audio: { echoCancellation: false, noiseSuppression: false, autoGainControl: false },
        });
      }
    } catch (error) {
      if (stream) stream.getTracks().forEach((track) => track.stop());
      throw new Error(explain(error, what));
    }
    await ctx.audioWorklet.addModule(new URL('./capture-worklet.js', import.meta.url));
    return new LiveSource(ctx, stream, kind === 'tab' ? 'Tab sound' : 'Microphone');
  }

  constructor(ctx, stream, name) {
    this.ctx = ctx;
    this.stream = stream;
    this.name = name;
    this.rate = ctx.sampleRate;
    // The samples received so far, kept from `base` on (older ones are dropped as slices pass).
    this.capacity = this.rate * 4;
    this.left = new Float32Array(this.capacity);
    this.right = new Float32Array(this.capacity);
    this.base = 0;
    this.count = 0;
    this.ended = false;
    this.input = ctx.createMediaStreamSource(stream);
    this.node = new AudioWorkletNode(ctx, 'vevirur-capture', { numberOfInputs: 1, numberOfOutputs: 1 });
    this.node.port.onmessage = (event) => this.receive(event.data.left, event.data.right);
    // The node must reach the output to be run; silently.
    this.mute = ctx.createGain();
    this.mute.gain.value = 0;
    this.input.connect(this.node).connect(this.mute).connect(ctx.destination);
    stream.getAudioTracks().forEach((track) => track.addEventListener('ended', () => { this.ended = true; }));
  }

  receive(left, right) {
    if (this.count - this.base + left.length > this.capacity) {
      // Keep the newest three quarters of the store, enough for the slices still to come.
      const keep = Math.floor(this.capacity * 3 / 4);
      const drop = this.count - this.base - keep;
      this.left.copyWithin(0, drop, this.count - this.base);
      this.right.copyWithin(0, drop, this.count - this.base);
      this.base += drop;
    }
    this.left.set(left, this.count - this.base);
    this.right.set(right, this.count - this.base);
    this.count += left.length;
  }

  start() {}

  stop() {
    this.stream.getTracks().forEach((track) => track.stop());
    this.input.disconnect();
    this.node.disconnect();
    this.mute.disconnect();
    this.node.port.onmessage = null;
  }

  playing() { return !this.ended; }

  // Calls whose slices are complete: all FFT_SIZE samples of each have arrived.
  callsReady() {
    let j = Math.floor((this.count - FFT_SIZE) * 1000 / (this.rate * SLICE_MS));
    while (j >= 0 && Engine.sliceStart(j + 1, this.rate) + FFT_SIZE <= this.count) j++;
    while (j >= 0 && Engine.sliceStart(j, this.rate) + FFT_SIZE > this.count) j--;
    return j + 1;
  }

  fillSlice(j, left, right) {
    const start = Engine.sliceStart(j, this.rate) - this.base;
    for (let i = 0; i < FFT_SIZE; i++) {
      const at = start + i;
      const inside = at >= 0 && at < this.count - this.base;
      left[i] = inside ? this.left[at] : 0;
      right[i] = inside ? this.right[at] : 0;
    }
  }
}
