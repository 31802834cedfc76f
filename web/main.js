// The page: picks the sound, feeds the engine one slice per 25 ms of audio, shows each finished
// picture at one canvas pixel per picture pixel (scaled without smoothing), draws the texts over
// it and turns the plug-in's keys into its commands.
import { Engine } from './engine.js';
import { FileSource, LiveSource } from './audio.js';
import { TextOverlays, makerWebSite, setAboutLines } from './overlays.js';
import { commandForKey } from './keys.js';

const MOST_PIXELS = 1920 * 1080;   // larger windows get a picture of this many pixels, scaled up
const MOST_CALLS_PER_TURN = 16;    // player calls per animation frame when catching up
const RESIZE_SETTLE_MS = 250;

const stage = document.getElementById('stage');
const pictureCanvas = document.getElementById('picture');
const overlayCanvas = document.getElementById('overlay');
const pictureCtx = pictureCanvas.getContext('2d', { alpha: false });
const overlayCtx = overlayCanvas.getContext('2d');
const messageLine = document.getElementById('message');
const readout = document.getElementById('readout');
const fileInput = document.getElementById('file');
const stopButton = document.getElementById('stop');

const overlays = new TextOverlays();
let engine = null;
let audioCtx = null;
let source = null;     // the sound being played, or null
let firstCall = 0;     // the engine's call index at the source's start
let picturesSeen = 0;
let aboutDrawn = false;
let pictureImage = null;
let pendingSize = null;
let resizeTimer = 0;
const frameCosts = [];  // page milliseconds per shown picture: engine run + upload + texts
const shownTimes = [];  // when the last pictures were shown, for the pictures-per-second readout

// A 32-bit millisecond tick count like the player's machine's: it wraps, and times are compared
// by unsigned difference. (Counted from the epoch, so it is far from 0 as on a running machine.)
function now() {
  return Math.floor(performance.timeOrigin + performance.now()) >>> 0;
}

function say(text, isError = false) {
  messageLine.textContent = text;
  messageLine.classList.toggle('error', isError);
}

// The picture size for the stage: its device pixels, scaled down to at most MOST_PIXELS.
function wantedSize() {
  const ratio = window.devicePixelRatio || 1;
  let width = Math.max(1, Math.round(stage.clientWidth * ratio));
  let height = Math.max(1, Math.round(stage.clientHeight * ratio));
  if (width * height > MOST_PIXELS) {
    const scale = Math.sqrt(MOST_PIXELS / (width * height));
    width = Math.max(1, Math.floor(width * scale));
    height = Math.max(1, Math.floor(height * scale));
  }
  return { width, height };
}

function sizeCanvases(width, height) {
  if (pictureCanvas.width === width && pictureCanvas.height === height) return;
  pictureCanvas.width = overlayCanvas.width = width;
  pictureCanvas.height = overlayCanvas.height = height;
  pictureImage = pictureCtx.createImageData(width, height);
  aboutDrawn = false;
}

function ensureAudio() {
  if (!audioCtx) audioCtx = new AudioContext();
  if (audioCtx.state === 'suspended') audioCtx.resume();
  return audioCtx;
}

function stopSource() {
  if (source) source.stop();
  source = null;
  stopButton.disabled = true;
  document.title = 'Vevirur 2';
}

// A new sound: like a change of track in the player, its name shows as the title for 10 s and a
// new effect is asked for.
function startSource(newSource, title) {
  stopSource();
  source = newSource;
  firstCall = engine.callsQueued;
  overlays.setTitle(title);
  overlays.showTitle(true, now());
  engine.newTrack();
  source.start();
  stopButton.disabled = false;
  document.title = `${title} – Vevirur 2`;
}

async function playFile(file) {
  if (!file) return;
  say(`Opening “${file.name}”…`);
  try {
    const ctx = ensureAudio();
    const fileSource = await FileSource.open(ctx, file);
    startSource(fileSource, file.name.replace(/\.[^./]+$/, ''));
    say(`Playing “${file.name}”.`);
  } catch (error) {
    say(error.message, true);
  }
}

async function listen(kind) {
  say(kind === 'tab' ? 'Pick a tab and tick “Share tab audio”…' : 'Waiting for the microphone…');
  try {
    const ctx = ensureAudio();
    const live = await LiveSource.open(ctx, kind);
    startSource(live, live.name);
    say(`Listening to ${kind === 'tab' ? 'the shared tab' : 'the microphone'}.`);
  } catch (error) {
    say(error.message, true);
  }
}

// The plug-in's commands, as its window procedure carries them out.
function carryOut(command) {
  const t = now();
  switch (command) {
    case 'changeDrawing': engine.changeDrawing(); break;
    case 'nextEffect':
    case 'previousEffect': if (source && source.playing()) engine.changeDrawing(); break;
    case 'toggleLock':
      overlays.showMessage(engine.toggleLock() ? 'Effect locked' : 'Effect unlocked', t);
      break;
    case 'toggleTitle': overlays.toggleTitle(t); break;
    case 'toggleHelp': overlays.toggleHelp(t); break;
    case 'fullScreen': toggleFullScreen(); break;
    case 'leaveFullScreen': if (document.fullscreenElement) document.exitFullscreen(); break;
    default: break;
  }
}

function toggleFullScreen() {
  if (document.fullscreenElement) {
    document.exitFullscreen();
  } else if (stage.requestFullscreen) {
    stage.requestFullscreen().catch((error) => say(`Full screen was refused: ${error.message}`, true));
  }
}

function showPicture(status, started) {
  sizeCanvases(status.pictureWidth, status.pictureHeight);
  const { width, height } = pictureCanvas;
  pictureImage.data.set(engine.picture(width, height));
  pictureCtx.putImageData(pictureImage, 0, 0);
  overlays.drawOnPicture(overlayCtx, width, height, now(), status.effectLocked !== 0);
  aboutDrawn = false;
  frameCosts.push(performance.now() - started);
  if (frameCosts.length > 2000) frameCosts.shift();
  shownTimes.push(performance.now());
  while (shownTimes.length > 0 && shownTimes[0] < performance.now() - 1000) shownTimes.shift();
}

function showAbout() {
  if (aboutDrawn) return;
  const { width, height } = overlayCanvas;
  TextOverlays.drawAboutScreen(overlayCtx, width, height);
  aboutDrawn = true;
}

function turn() {
  requestAnimationFrame(turn);
  if (!engine) return;
  if (pendingSize) {
    engine.setSize(pendingSize.width, pendingSize.height);
    if (!source) sizeCanvases(pendingSize.width, pendingSize.height);
    pendingSize = null;
  }
  if (source && !source.playing() && source instanceof FileSource && source.position() > 0) {
    say(`Finished “${source.name}”. Drop or pick another file.`);
    stopSource();
  } else if (source && source.ended) {
    say('The shared sound has ended.');
    stopSource();
  }
  if (!source || !source.playing()) {
    showAbout();
    updateReadout();
    return;
  }
  const started = performance.now();
  const wanted = firstCall + source.callsReady();
  let queued = 0;
  while (engine.callsQueued < wanted && queued < MOST_CALLS_PER_TURN) {
    const j = engine.callsQueued - firstCall;
    engine.queueSlice((left, right) => source.fillSlice(j, left, right));
    queued++;
  }
  const pictures = engine.run();
  if (pictures !== picturesSeen) {
    picturesSeen = pictures;
    const status = engine.status();
    if (status.aboutShown) {
      showAbout();
    } else {
      showPicture(status, started);
    }
  }
  updateReadout();
}

let readoutShownAt = 0;
function updateReadout() {
  const t = performance.now();
  if (t - readoutShownAt < 250) return;
  readoutShownAt = t;
  const s = engine.status();
  const cost = engine.cost();
  readout.textContent = `effect ${s.drawingMode}${s.effectLocked ? ' (locked)' : ''} · ${s.pictureWidth}×${s.pictureHeight}` +
    ` · ${shownTimes.length} pictures/s · frame ${cost.drawMean.toFixed(1)} ms + show ${cost.callMean.toFixed(1)} ms`;
}

// What the browser test and a curious person can read.
window.vevirurPage = {
  state() {
    const s = engine ? engine.status() : {};
    const t = now();
    const sorted = [...frameCosts].sort((a, b) => a - b);
    const percentile = (p) => (sorted.length ? sorted[Math.min(sorted.length - 1, Math.floor(p * sorted.length))] : 0);
    return {
      ready: engine !== null,
      playing: !!(source && source.playing()),
      title: overlays.title,
      titleVisible: overlays.titleVisible(t),
      helpVisible: overlays.isHelpVisible(t),
      message: overlays.message,
      engine: s,
      canvas: { width: pictureCanvas.width, height: pictureCanvas.height },
      cost: engine ? engine.cost() : {},
      pageFrameMs: { mean: sorted.reduce((a, b) => a + b, 0) / (sorted.length || 1), p95: percentile(0.95),
        max: percentile(1), count: sorted.length },
    };
  },
  resetCost() {
    frameCosts.length = 0;
    if (engine) engine.resetCost();
  },
};

function watchResize() {
  const apply = () => {
    const size = wantedSize();
    if (size.width !== pictureCanvas.width || size.height !== pictureCanvas.height) pendingSize = size;
  };
  new ResizeObserver(() => {
    clearTimeout(resizeTimer);
    resizeTimer = setTimeout(apply, RESIZE_SETTLE_MS);
  }).observe(stage);
}

let doubleClicked = false;
let pressOnLink = false;
let lastSiteOpening = 0;

// Whether the pointer is on the about text, in picture pixels.
function onAboutText(event) {
  const box = overlayCanvas.getBoundingClientRect();
  const x = Math.floor((event.clientX - box.left) * overlayCanvas.width / box.width);
  const y = Math.floor((event.clientY - box.top) * overlayCanvas.height / box.height);
  return overlays.aboutHit(overlayCtx, x, y, !!(source && source.playing()), now());
}

function wireInput() {
  fileInput.addEventListener('click', () => ensureAudio());
  fileInput.addEventListener('change', () => playFile(fileInput.files[0]));
  document.getElementById('mic').addEventListener('click', () => listen('microphone'));
  document.getElementById('tab').addEventListener('click', () => listen('tab'));
  stopButton.addEventListener('click', () => {
    stopSource();
    say('Stopped.');
  });
  stage.addEventListener('dblclick', () => {
    doubleClicked = true;
    carryOut('fullScreen');
  });
  // The about text is a link to the maker's web site, as in the plug-in's window: a press and a
  // release on it open the site, at most once every 2 s, never on a double click.
  stage.addEventListener('pointerdown', (event) => {
    doubleClicked = false;
    pressOnLink = onAboutText(event);
  });
  stage.addEventListener('pointerup', (event) => {
    if (doubleClicked || ((now() - lastSiteOpening) >>> 0) < 2000) return;
    if (pressOnLink && onAboutText(event)) {
      lastSiteOpening = now();
      window.open(makerWebSite(), '_blank', 'noopener');
    }
  });
  stage.addEventListener('pointermove', (event) => {
    stage.style.cursor = onAboutText(event) ? 'pointer' : '';
  });
  const hint = document.getElementById('drop-hint');
  window.addEventListener('dragover', (event) => {
    event.preventDefault();
    hint.hidden = false;
  });
  window.addEventListener('dragleave', () => { hint.hidden = true; });
  window.addEventListener('drop', (event) => {
    event.preventDefault();
    hint.hidden = true;
    ensureAudio();
    playFile(event.dataTransfer.files[0]);
  });
  window.addEventListener('keydown', (event) => {
    const command = commandForKey(event);
    if (command === null) return;
    event.preventDefault();
    carryOut(command);
  });
  // A context that was not allowed to start plays from the next click or key.
  const wake = () => { if (audioCtx && audioCtx.state === 'suspended') audioCtx.resume(); };
  window.addEventListener('pointerdown', wake);
  window.addEventListener('keydown', wake);
}

async function main() {
  wireInput();
  const size = wantedSize();
  sizeCanvases(size.width, size.height);
  showAbout();
  try {
    engine = await Engine.load();
    engine.start(size.width, size.height);
    setAboutLines(engine.aboutLines());
    aboutDrawn = false;
  } catch (error) {
    say(`The engine cannot start in this browser: ${error.message}`, true);
    return;
  }
  watchResize();
  requestAnimationFrame(turn);
}

main();
