// The web page in a real browser: Debian's Chromium, driven by puppeteer-core, loads the built
// page from scripts/serve-web, is given a generated music file through the page's own file
// input, and must show moving pictures titled with the file's name and obey F6, F4, Space and H
// as the plug-in does. Saves a screenshot for a person to look at.
//
//   node tests/web/page_test.mjs --root build/web --out build/web-test
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { mkdirSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const [root, outDir] = ['--root', '--out'].map((name) =>
  path.resolve(process.argv[process.argv.indexOf(name) + 1]));
const [WIDTH, HEIGHT, SONG] = [640, 360, 'Night Drive Test Song'];

// 20 s of 16-bit stereo at 44.1 kHz: a kick on every beat, a moving melody and a hi-hat of
// noise, so that every band of the spectrum moves.
function songWav(seconds = 20, rate = 44100) {
  const data = Buffer.alloc(44 + seconds * rate * 4);
  data.write('RIFF\0\0\0\0WAVEfmt ', 0);
  [16, 0x20001, rate, rate * 4, 0x100004].forEach((word, i) => data.writeUInt32LE(word, 16 + 4 * i));
  data.write('data', 36);
  data.writeUInt32LE(data.length - 44, 40);
  data.writeUInt32LE(data.length - 8, 4);
  for (let i = 0, noise = 1; i < seconds * rate; i++) {
    const t = i / rate;
    noise = (noise * 1103515245 + 12345) & 0x7fffffff;
    const note = [220, 277.2, 329.6, 440, 329.6, 246.9][Math.floor(t * 4) % 6];
    const sample = Math.exp(-(t % 0.5) * 14) * Math.sin(120 * Math.PI * (t % 0.5)) +
      0.3 * Math.sin(Math.PI * note * t) + 0.2 * Math.sin(4 * Math.PI * note * t) +
      0.25 * (noise / 0x3fffffff - 1) * Math.exp(-((t * 8) % 1) * 12);
    data.writeInt16LE(Math.round(Math.max(-1, Math.min(1, sample)) * 32000), 44 + i * 4);
    data.copy(data, 46 + i * 4, 44 + i * 4, 46 + i * 4);
  }
  return data;
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// White, red and lit pixels of a canvas rectangle, and a hash of them.
function readCanvas(page, id, x, y, w, h) {
  return page.evaluate((id, x, y, w, h) => {
    const data = document.getElementById(id).getContext('2d').getImageData(x, y, w, h).data;
    const counts = { lit: 0, white: 0, red: 0, hash: 2166136261 };
    for (let i = 0; i < data.length; i += 4) {
      const [r, g, b] = data.subarray(i, i + 3);
      counts.lit += (r | g | b) > 24;
      counts.white += r > 200 && g > 200 && b > 200;
      counts.red += r > 200 && g < 60 && b < 60;
      counts.hash = Math.imul(counts.hash ^ r ^ (g << 8) ^ (b << 16), 16777619) >>> 0;
    }
    return counts;
  }, id, x, y, w, h);
}

const work = mkdtempSync(path.join(tmpdir(), 'vevirur-web-'));
const server = spawn('python3', [new URL('../../scripts/serve-web', import.meta.url).pathname, '--port', '0', '--root', root],
  { stdio: ['ignore', 'pipe', 'inherit'] });
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  userDataDir: path.join(work, 'profile'),
  args: ['--no-sandbox', '--disable-gpu', '--autoplay-policy=no-user-gesture-required', '--mute-audio'],
});
try {
  const page = await browser.newPage();
  const pageErrors = [];
  page.on('pageerror', (error) => pageErrors.push(String(error)));
  // Waits for the page's state to pass `predicate`; returns it.
  const waitFor = async (predicate, what) => {
    for (const until = Date.now() + 10000; ; await sleep(50)) {
      const state = await page.evaluate(() => window.vevirurPage && window.vevirurPage.state());
      if (state && predicate(state)) return state;
      assert.ok(Date.now() < until, `timed out waiting for ${what}: ${JSON.stringify(state)}`);
    }
  };
  await page.setViewport({ width: WIDTH, height: HEIGHT + 100 });
  await page.goto(await new Promise((resolve) => server.stdout.once('data', (line) => resolve(String(line).trim()))));
  await waitFor((s) => s.ready, 'the engine to load');
  // The stage exactly WIDTH x HEIGHT: the window gets the control bar's height on top.
  const bar = await page.evaluate(() => document.getElementById('bar').offsetHeight);
  await page.setViewport({ width: WIDTH, height: HEIGHT + bar });
  await waitFor((s) => s.canvas.width === WIDTH && s.canvas.height === HEIGHT, 'the picture size');
  assert.ok((await readCanvas(page, 'overlay', 85, 25, 200, 50)).white > 50, 'the about screen before any sound');

  writeFileSync(path.join(work, `${SONG}.wav`), songWav());
  await (await page.$('#file')).uploadFile(path.join(work, `${SONG}.wav`));
  let state = await waitFor((s) => s.playing && s.engine.pictures > 10, 'pictures from the file');
  assert.ok(state.title === SONG && state.titleVisible && await page.title() === `${SONG} – Vevirur 2`, 'the title');
  const first = await readCanvas(page, 'picture', 0, 0, WIDTH, HEIGHT);
  await sleep(700);
  const second = await readCanvas(page, 'picture', 0, 0, WIDTH, HEIGHT);
  assert.ok(first.lit > 500 && second.lit > 500 && second.hash !== first.hash, 'the picture moves');
  assert.ok((await readCanvas(page, 'overlay', 15, HEIGHT - 20, 300, 18)).white > 40, 'the title at the bottom left');

  // The keys as the plug-in's: each changes the state; the overlay shows it.
  const press = async (key, predicate, what) => {
    await page.keyboard.press(key);
    state = await waitFor(predicate, what);
    await sleep(300);
  };
  const changes = state.engine.effectChanges;
  await press('F6', (s) => s.engine.effectChanges > changes, 'F6 to change the drawing');
  await press('F4', (s) => s.engine.effectLocked === 1 && s.message === 'Effect locked', 'F4 to lock');
  const lock = await readCanvas(page, 'overlay', WIDTH - 200, HEIGHT - 20, 200, 20);
  assert.ok(lock.red > 30, `F4's message in red at the bottom right (${lock.red} red pixels)`);
  await press('F6', (s) => s.engine.effectChanges > changes + 1, 'F6 while locked');
  await press('F4', (s) => s.engine.effectLocked === 0 && s.message === 'Effect unlocked', 'F4 again');
  await press('Space', (s) => !s.titleVisible, 'Space to hide the title');
  assert.equal((await readCanvas(page, 'overlay', 15, HEIGHT - 20, 300, 18)).white, 0, 'Space hides the title');
  await press('h', (s) => s.helpVisible, 'H to show the help');
  const help = await readCanvas(page, 'overlay', 20, 125, 400, 180);
  assert.ok(help.white > 500, `H shows the help page (${help.white} white pixels)`);
  mkdirSync(outDir, { recursive: true });
  await page.screenshot({ path: path.join(outDir, 'page-help.png') });
  await press('h', (s) => !s.helpVisible, 'H to hide the help');
  assert.ok((await readCanvas(page, 'overlay', 20, 125, 400, 180)).white < help.white / 10, 'H again hides it');
  assert.deepEqual(pageErrors, [], 'no errors in the page');
  console.log(`all checks passed; screenshot ${path.join(outDir, 'page-help.png')}`);
} finally {
  await browser.close();
  server.kill();
  rmSync(work, { recursive: true, force: true });
}
