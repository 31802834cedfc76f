// The web page in a real browser: Debian's Chromium, driven by puppeteer-core, loads the built
// page from scripts/serve-web, is given a generated music file through the page's own file
// input, and must show moving pictures with the file's name as the title, obey F6, F4, Space and
// H as the plug-in does, and keep up at 1280 x 720. Saves a screenshot for a person to look at.
//
//   node tests/web/page_test.mjs --root build/web --out build/web-test
import { spawn } from 'node:child_process';
import { mkdtempSync, mkdirSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';

const here = path.dirname(fileURLToPath(import.meta.url));
const repo = path.resolve(here, '../..');
const args = Object.fromEntries(process.argv.slice(2).reduce((pairs, arg, i, all) => {
  if (arg.startsWith('--')) pairs.push([arg.slice(2), all[i + 1]]);
  return pairs;
}, []));
const root = path.resolve(args.root || path.join(repo, 'build/web'));
const outDir = path.resolve(args.out || path.join(repo, 'build/web-test'));
const WIDTH = 1280;
const HEIGHT = 720;
const SONG = 'Night Drive Test Song';

let failures = 0;
function check(ok, what, detail = '') {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}${detail ? ` (${detail})` : ''}`);
  if (!ok) failures++;
}

// 30 s of stereo music at 44.1 kHz: a kick on every beat, a bass line, a chord, a bright melody
// and a hi-hat of noise, so that every band of the spectrum moves.
function songWav(seconds = 30, rate = 44100) {
  const frames = seconds * rate;
  const data = Buffer.alloc(44 + frames * 4);
  data.write('RIFF', 0); data.writeUInt32LE(36 + frames * 4, 4); data.write('WAVEfmt ', 8);
  data.writeUInt32LE(16, 16); data.writeUInt16LE(1, 20); data.writeUInt16LE(2, 22);
  data.writeUInt32LE(rate, 24); data.writeUInt32LE(rate * 4, 28); data.writeUInt16LE(4, 32);
  data.writeUInt16LE(16, 34); data.write('data', 36); data.writeUInt32LE(frames * 4, 40);
  const notes = [220, 277.2, 329.6, 440, 329.6, 277.2, 246.9, 293.7];
  let noise = 1;
  for (let i = 0; i < frames; i++) {
    const t = i / rate;
    const beat = t % 0.5;
    const step = (t * 4) % 1;
    const root = notes[Math.floor(t / 2) % 8];
    noise = (noise * 1103515245 + 12345) & 0x7fffffff;
    const kick = Math.exp(-beat * 14) * Math.sin(2 * Math.PI * (50 + 90 * Math.exp(-beat * 30)) * beat);
    const bass = 0.3 * Math.sin(2 * Math.PI * root / 2 * t);
    const chord = 0.08 * (Math.sin(2 * Math.PI * root * 1.25 * t) + Math.sin(2 * Math.PI * root * 1.5 * t));
    const melody = 0.2 * Math.sin(2 * Math.PI * notes[Math.floor(t * 4) % 8] * 2 * t) * (1 - step);
    const hat = 0.25 * (noise / 0x3fffffff - 1) * Math.exp(-((t * 8) % 1) * 12);
    const left = Math.max(-1, Math.min(1, 0.7 * kick + bass + chord + melody + hat));
    const right = Math.max(-1, Math.min(1, 0.7 * kick + bass + chord + 0.7 * melody + 0.8 * hat));
    data.writeInt16LE(Math.round(left * 32000), 44 + i * 4);
    data.writeInt16LE(Math.round(right * 32000), 46 + i * 4);
  }
  return data;
}

function startServer() {
  return new Promise((resolve, reject) => {
    const server = spawn('python3', [path.join(repo, 'scripts/serve-web'), '--port', '0', '--root', root],
      { stdio: ['ignore', 'pipe', 'inherit'] });
    server.on('error', reject);
    server.on('exit', (code) => reject(new Error(`serve-web ended (${code})`)));
    server.stdout.once('data', (line) => resolve({ server, url: String(line).trim() }));
  });
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function waitFor(page, predicate, what, timeoutMs = 10000) {
  const until = Date.now() + timeoutMs;
  for (;;) {
    const state = await page.evaluate(() => window.vevirurPage && window.vevirurPage.state());
    if (state && predicate(state)) return state;
    if (Date.now() > until) throw new Error(`timed out waiting for ${what}: ${JSON.stringify(state)}`);
    await sleep(50);
  }
}

// Counts of the canvas's pixels in a rectangle: lit, white-ish and red-ish, and a hash.
function readCanvas(page, id, x, y, w, h) {
  return page.evaluate((id, x, y, w, h) => {
    const canvas = document.getElementById(id);
    const data = canvas.getContext('2d').getImageData(x, y, w, h).data;
    let lit = 0, white = 0, red = 0, hash = 2166136261;
    for (let i = 0; i < data.length; i += 4) {
      const [r, g, b, a] = [data[i], data[i + 1], data[i + 2], data[i + 3]];
      if (a > 0 && (r | g | b) > 24) lit++;
      if (a > 0 && r > 200 && g > 200 && b > 200) white++;
      if (a > 0 && r > 200 && g < 60 && b < 60) red++;
      hash = Math.imul(hash ^ r ^ (g << 8) ^ (b << 16), 16777619) >>> 0;
    }
    return { lit, white, red, hash, width: canvas.width, height: canvas.height };
  }, id, x, y, w, h);
}

async function main() {
  mkdirSync(outDir, { recursive: true });
  const work = mkdtempSync(path.join(tmpdir(), 'vevirur-web-'));
  const songPath = path.join(work, `${SONG}.wav`);
  writeFileSync(songPath, songWav());
  const { server, url } = await startServer();
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: path.join(work, 'profile'),
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--autoplay-policy=no-user-gesture-required', '--mute-audio',
      '--use-fake-device-for-media-stream'],
  });
  try {
    const page = await browser.newPage();
    const pageErrors = [];
    page.on('pageerror', (error) => pageErrors.push(String(error)));
    page.on('console', (message) => { if (message.type() === 'error') pageErrors.push(message.text()); });
    await page.setViewport({ width: WIDTH, height: HEIGHT + 100 });
    await page.goto(url, { waitUntil: 'load' });
    await waitFor(page, (s) => s.ready, 'the engine to load');
    // Make the stage exactly 1280 x 720 by giving the window the control bar's height on top.
    const bar = await page.evaluate(() => document.getElementById('bar').offsetHeight);
    await page.setViewport({ width: WIDTH, height: HEIGHT + bar });
    await waitFor(page, (s) => s.canvas.width === WIDTH && s.canvas.height === HEIGHT,
      'the picture size to follow the window');

    const about = await readCanvas(page, 'overlay', 85, 25, 200, 50);
    check(about.white > 50, 'before any sound the about screen shows', `${about.white} white pixels`);

    await (await page.$('#file')).uploadFile(songPath);
    let state = await waitFor(page, (s) => s.playing && s.engine.pictures > 10, 'pictures from the file');
    check(state.title === SONG, 'the title is the file\'s name', JSON.stringify(state.title));
    check(state.titleVisible, 'the title shows from the start');
    check(await page.title() === `${SONG} – Vevirur 2`, 'the tab shows the song too', await page.title());
    await sleep(1500);
    const titleText = await readCanvas(page, 'overlay', 15, HEIGHT - 20, 300, 18);
    check(titleText.white > 40, 'the title is drawn at the bottom left', `${titleText.white} white pixels`);

    const first = await readCanvas(page, 'picture', 0, 0, WIDTH, HEIGHT);
    check(first.width === WIDTH && first.height === HEIGHT, 'the picture is 1280 x 720', `${first.width} x ${first.height}`);
    check(first.lit > 2000, 'the picture is not black', `${first.lit} lit pixels`);
    await sleep(700);
    const second = await readCanvas(page, 'picture', 0, 0, WIDTH, HEIGHT);
    check(second.hash !== first.hash && second.lit > 2000, 'the picture changes over time');

    // F6: a new drawing is chosen.
    state = await waitFor(page, () => true, 'state');
    const changesBefore = state.engine.effectChanges;
    await page.keyboard.press('F6');
    state = await waitFor(page, (s) => s.engine.effectChanges > changesBefore, 'F6 to change the drawing', 3000);
    check(true, 'F6 changes the drawing', `changes ${changesBefore} -> ${state.engine.effectChanges}, mode ${state.engine.drawingMode}`);

    // F4: locked, with the red message at the bottom right; again: unlocked.
    await page.keyboard.press('F4');
    state = await waitFor(page, (s) => s.engine.effectLocked === 1, 'F4 to lock', 3000);
    check(state.message === 'Effect locked', 'F4 locks the effect and says so', state.message);
    await sleep(300);
    const lockText = await readCanvas(page, 'overlay', WIDTH - 200, HEIGHT - 20, 200, 20);
    check(lockText.red > 30, 'the message is drawn in red at the bottom right', `${lockText.red} red pixels`);
    const lockedMode = state.engine.drawingMode;
    const lockedChanges = state.engine.effectChanges;
    await page.keyboard.press('F6');
    state = await waitFor(page, (s) => s.engine.effectChanges > lockedChanges, 'F6 while locked', 3000);
    check(true, 'F6 still changes the drawing while locked', `mode ${lockedMode} -> ${state.engine.drawingMode}`);
    await page.keyboard.press('F4');
    state = await waitFor(page, (s) => s.engine.effectLocked === 0, 'F4 to unlock', 3000);
    check(state.message === 'Effect unlocked', 'F4 again unlocks it', state.message);

    // Space: the title goes, and comes back.
    await page.keyboard.press('Space');
    state = await waitFor(page, (s) => !s.titleVisible, 'Space to hide the title', 2000);
    await sleep(300);
    const noTitle = await readCanvas(page, 'overlay', 15, HEIGHT - 20, 300, 18);
    check(noTitle.white === 0, 'Space hides the title', `${noTitle.white} white pixels left`);
    await page.keyboard.press('Space');
    state = await waitFor(page, (s) => s.titleVisible, 'Space to show the title', 2000);
    check(true, 'Space shows it again');

    // H: the help page over the picture; again: gone.
    await page.keyboard.press('h');
    state = await waitFor(page, (s) => s.helpVisible, 'H to show the help', 2000);
    await sleep(300);
    const help = await readCanvas(page, 'overlay', 20, 125, 400, 180);
    check(help.white > 500, 'H shows the help page', `${help.white} white pixels`);
    await page.screenshot({ path: path.join(outDir, 'page-help.png') });
    await page.keyboard.press('h');
    state = await waitFor(page, (s) => !s.helpVisible, 'H to hide the help', 2000);
    await sleep(300);
    const noHelp = await readCanvas(page, 'overlay', 20, 125, 400, 180);
    check(noHelp.white < help.white / 10, 'H again hides it', `${noHelp.white} white pixels`);

    // The cost of a frame at 1280 x 720, measured while the music plays.
    await page.evaluate(() => window.vevirurPage.resetCost());
    await sleep(3000);
    state = await waitFor(page, () => true, 'state');
    const c = state.cost;
    const f = state.pageFrameMs;
    console.log(`frame cost at ${WIDTH}x${HEIGHT} in Chromium: engine drawing mean ${c.drawMean.toFixed(2)} ms,` +
      ` worst ${c.drawMax.toFixed(2)} ms; showing (read-out) mean ${c.callMean.toFixed(2)} ms, worst ${c.callMax.toFixed(2)} ms;` +
      ` page turn per shown picture mean ${f.mean.toFixed(2)} ms, 95th percentile ${f.p95.toFixed(2)} ms,` +
      ` worst ${f.max.toFixed(2)} ms over ${f.count} pictures; budget 33.3 ms`);
    // Wall-clock figures on a shared machine: only the mean is held to the budget.
    check(f.count > 15, 'pictures keep coming', `${f.count} in 3 s`);
    check(c.drawMean + c.callMean < 33.3, 'a frame costs less than the 33 ms budget',
      `${(c.drawMean + c.callMean).toFixed(2)} ms, ${((c.drawMean + c.callMean) / 33.3).toFixed(2)} of the budget`);

    await page.screenshot({ path: path.join(outDir, 'page.png') });
    console.log(`screenshots: ${path.join(outDir, 'page.png')}, ${path.join(outDir, 'page-help.png')}`);

    // The microphone: refused, the page says so; allowed (Chromium's fake device), it plays.
    await page.click('#stop');
    await waitFor(page, (s) => !s.playing, 'Stop');
    const origin = new URL(url).origin;
    const cdp = await page.createCDPSession();
    await cdp.send('Browser.setPermission', { origin, permission: { name: 'microphone' }, setting: 'denied' });
    await page.click('#mic');
    await page.waitForFunction(() => document.getElementById('message').classList.contains('error'), { timeout: 5000 });
    const refusal = await page.$eval('#message', (element) => element.textContent);
    check(/refused/.test(refusal), 'a refused microphone is explained', refusal);
    await cdp.send('Browser.setPermission', { origin, permission: { name: 'microphone' }, setting: 'granted' });
    const shownBefore = (await waitFor(page, () => true, 'state')).engine.pictures;
    await page.click('#mic');
    state = await waitFor(page, (s) => s.playing && s.engine.pictures > shownBefore + 20, 'pictures from the microphone');
    check(state.title === 'Microphone', 'the microphone plays, titled so', state.title);
    check(pageErrors.length === 0, 'no errors in the page', pageErrors.join(' | '));
  } finally {
    await browser.close();
    server.kill();
    rmSync(work, { recursive: true, force: true });
  }
}

main().then(() => {
  console.log(failures ? `${failures} check(s) failed` : 'all checks passed');
  process.exit(failures ? 1 : 0);
}, (error) => {
  console.error(`FAIL ${error.stack || error}`);
  process.exit(1);
});
