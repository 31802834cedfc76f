// Passes the sound of a live source (microphone, shared tab) to the page in blocks of 2048
// frames per channel; a mono source is sent as two equal channels.
const BLOCK = 2048;

class VevirurCapture extends AudioWorkletProcessor {
  constructor() {
    super();
    this.left = new Float32Array(BLOCK);
    this.right = new Float32Array(BLOCK);
    this.filled = 0;
  }

  process(inputs) {
    const input = inputs[0];
    if (!input || input.length === 0) return true;
    const left = input[0];
    const right = input.length > 1 ? input[1] : input[0];
    for (let i = 0; i < left.length; i++) {
      this.left[this.filled] = left[i];
      this.right[this.filled] = right[i];
      if (++this.filled === BLOCK) {
        this.port.postMessage({ left: this.left, right: this.right }, [this.left.buffer, this.right.buffer]);
        this.left = new Float32Array(BLOCK);
        this.right = new Float32Array(BLOCK);
        this.filled = 0;
      }
    }
    return true;
  }
}

registerProcessor('vevirur-capture', VevirurCapture);
