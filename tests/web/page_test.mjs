// The web page in a real browser: Debian's Chromium, driven by puppeteer-core, loads the built
// page from scripts/serve-web, is given a generated music file through the page's own file
// input, and must show moving pictures titled with the file's name and obey F6, F4, Space and H
// as the plug-in does. Saves a screenshot for a person to look at.
//
//   node tests/web/page_test.mjs --root build/web --out build/web-test
import assert from 'node:assert/strict';
import { execFileSync, spawn } from 'node:child_process';
import { mkdirSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const [root, outDir] = ['--root', '--out'].map((name) =>
  path.resolve(process.argv[process.argv.indexOf(name) + 1]));
const [WIDTH, HEIGHT, SONG] = [640, 360, 'Night Drive Test Song'];

// 30 s of music for both channels: a kick on every beat, a melody and a hi-hat of noise, so that
// every band of the spectrum moves.
const music = ['exp(-mod(t,0.5)*14)*sin(120*PI*mod(t,0.5))', '0.3*sin(PI*(220+55*mod(floor(t*4),6))*t)',
  '0.25*(2*random(0)-1)*exp(-mod(t*8,1)*12)'].join('+').replaceAll(',', '\\,');

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// White and red pixels of a canvas rectangle, and a hash of them.
function readCanvas(page, id, x, y, w, h) {
  return page.evaluate((id, x, y, w, h) => {
    const data = document.getElementById(id).getContext('2d').getImageData(x, y, w, h).data;
    const counts = { white: 0, red: 0, hash: 2166136261 };
    for (let i = 0; i < data.length; i += 4) {
      const [r, g, b] = data.subarray(i, i + 3);
      counts.white += r > 200 && g > 200 && b > 200;
      counts.red += r > 200 && g < 60 && b < 60;
      counts.hash = Math.imul(counts.hash ^ r ^ (g << 8) ^ (b << 16), 16777619) >>> 0;
    }
    return counts;
  }, id, x, y, w, h);
}

const work = mkdtempSync(path.join(tmpdir(), 'vevirur-web-'));
const serveWeb = new URL('../../scripts/serve-web', import.meta.url).pathname;
const server = spawn('python3', [serveWeb, '--port', '0', '--root', root], { stdio: ['ignore', 'pipe', 'inherit'] });
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

  const song = path.join(work, `${SONG}.wav`);
  execFileSync('ffmpeg', ['-v', 'error', '-f', 'lavfi', '-i', `aevalsrc=${music}|${music}:d=30`, song]);
  await (await page.$('#file')).uploadFile(song);
  let state = await waitFor((s) => s.playing && s.engine.pictures > 10, 'pictures from the file');
  assert.ok(state.title === SONG && state.titleVisible && await page.title() === `${SONG} – Vevirur 2`, 'the title');
  const first = await readCanvas(page, 'picture', 0, 0, WIDTH, HEIGHT);
  await sleep(700);
  const second = await readCanvas(page, 'picture', 0, 0, WIDTH, HEIGHT);
  assert.notEqual(second.hash, first.hash, 'the picture moves');
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
} finally {
  await browser.close();
  server.kill();
  rmSync(work, { recursive: true, force: true });
}
