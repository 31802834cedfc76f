// The web page in a real browser: Debian's Chromium, driven by puppeteer-core, loads the built
// page from scripts/serve-web, is given a generated music file through the page's own file
// input, and must show moving pictures titled with the file's name and obey F6, F4, Space and H
// as the plug-in does. Saves a screenshot for a person to look at.
//
//   node tests/web/page_test.mjs --root build/web --out build/web-test
import { spawn } from 'node:child_process';
import { mkdirSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';

const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const option = (name, otherwise) => {
  const at = process.argv.indexOf(`--${name}`);
  return path.resolve(at > 0 ? process.argv[at + 1] : path.join(repo, otherwise));
};
const [root, outDir] = [option('root', 'build/web'), option('out', 'build/web-test')];
const [WIDTH, HEIGHT, SONG] = [640, 360, 'Night Drive Test Song'];

let failures = 0;
function check(ok, what, detail = '') {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}${detail === '' ? '' : ` (${detail})`}`);
  if (!ok) failures++;
}

// 20 s of 16-bit stereo at 44.1 kHz: a kick on every beat, a moving bass and melody and a hi-hat
// of noise, so that every band of the spectrum moves.
function songWav(seconds = 20, rate = 44100) {
  const frames = seconds * rate;
  const data = Buffer.alloc(44 + frames * 4);
  data.write('RIFFxxxxWAVEfmt ', 0);
  data.writeUInt32LE(36 + frames * 4, 4);
  [16, 0x20001, rate, rate * 4, 0x100004].forEach((word, i) => data.writeUInt32LE(word, 16 + 4 * i));
  data.write('data', 36);
  data.writeUInt32LE(frames * 4, 40);
  let noise = 1;
  for (let i = 0; i < frames; i++) {
    const t = i / rate;
    const note = [220, 277.2, 329.6, 440, 329.6, 246.9][Math.floor(t * 4) % 6];
    noise = (noise * 1103515245 + 12345) & 0x7fffffff;
    const kick = Math.exp(-(t % 0.5) * 14) * Math.sin(2 * Math.PI * 60 * (t % 0.5));
    const tones = 0.3 * Math.sin(Math.PI * note * t) + 0.2 * Math.sin(4 * Math.PI * note * t);
    const hat = 0.25 * (noise / 0x3fffffff - 1) * Math.exp(-((t * 8) % 1) * 12);
    const sample = Math.round(Math.max(-1, Math.min(1, 0.7 * kick + tones + hat)) * 32000);
    data.writeInt16LE(sample, 44 + i * 4);
    data.writeInt16LE(sample, 46 + i * 4);
  }
  return data;
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function waitFor(page, predicate, what) {
  for (const until = Date.now() + 10000; ;) {
    const state = await page.evaluate(() => window.vevirurPage && window.vevirurPage.state());
    if (state && predicate(state)) return state;
    if (Date.now() > until) throw new Error(`timed out waiting for ${what}: ${JSON.stringify(state)}`);
    await sleep(50);
  }
}

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

async function main() {
  mkdirSync(outDir, { recursive: true });
  const work = mkdtempSync(path.join(tmpdir(), 'vevirur-web-'));
  const songPath = path.join(work, `${SONG}.wav`);
  writeFileSync(songPath, songWav());
  const server = spawn('python3', [path.join(repo, 'scripts/serve-web'), '--port', '0', '--root', root],
    { stdio: ['ignore', 'pipe', 'inherit'] });
  const url = await new Promise((resolve) => server.stdout.once('data', (line) => resolve(String(line).trim())));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    userDataDir: path.join(work, 'profile'),
    args: ['--no-sandbox', '--disable-gpu', '--autoplay-policy=no-user-gesture-required', '--mute-audio'],
  });
  try {
    const page = await browser.newPage();
    const pageErrors = [];
    page.on('pageerror', (error) => pageErrors.push(String(error)));
    await page.setViewport({ width: WIDTH, height: HEIGHT + 100 });
    await page.goto(url, { waitUntil: 'load' });
    await waitFor(page, (s) => s.ready, 'the engine to load');
    // The stage exactly WIDTH x HEIGHT: the window gets the control bar's height on top.
    const bar = await page.evaluate(() => document.getElementById('bar').offsetHeight);
    await page.setViewport({ width: WIDTH, height: HEIGHT + bar });
    await waitFor(page, (s) => s.canvas.width === WIDTH && s.canvas.height === HEIGHT, 'the picture size');
    const about = await readCanvas(page, 'overlay', 85, 25, 200, 50);
    check(about.white > 50, 'before any sound the about screen shows', about.white);

    await (await page.$('#file')).uploadFile(songPath);
    let state = await waitFor(page, (s) => s.playing && s.engine.pictures > 10, 'pictures from the file');
    check(state.title === SONG && state.titleVisible, 'the title is the file\'s name', state.title);
    check(await page.title() === `${SONG} – Vevirur 2`, 'the tab shows the song too');
    const first = await readCanvas(page, 'picture', 0, 0, WIDTH, HEIGHT);
    await sleep(700);
    const second = await readCanvas(page, 'picture', 0, 0, WIDTH, HEIGHT);
    check(first.lit > 500 && second.lit > 500 && second.hash !== first.hash, 'the picture moves',
      `${first.lit}, ${second.lit} lit pixels`);
    const title = await readCanvas(page, 'overlay', 15, HEIGHT - 20, 300, 18);
    check(title.white > 40, 'the title is drawn at the bottom left', title.white);

    // The keys as the plug-in's: each changes the state, and the overlay shows it.
    const press = async (key, predicate, what) => {
      await page.keyboard.press(key);
      state = await waitFor(page, predicate, what);
      await sleep(300);
    };
    const changes = state.engine.effectChanges;
    await press('F6', (s) => s.engine.effectChanges > changes, 'F6 to change the drawing');
    await press('F4', (s) => s.engine.effectLocked === 1 && s.message === 'Effect locked', 'F4 to lock');
    const lock = await readCanvas(page, 'overlay', WIDTH - 200, HEIGHT - 20, 200, 20);
    check(lock.red > 30, 'F4 locks, said in red at the bottom right', lock.red);
    await press('F6', (s) => s.engine.effectChanges > changes + 1, 'F6 while locked');
    await press('F4', (s) => s.engine.effectLocked === 0 && s.message === 'Effect unlocked', 'F4 again');
    await press('Space', (s) => !s.titleVisible, 'Space to hide the title');
    const noTitle = await readCanvas(page, 'overlay', 15, HEIGHT - 20, 300, 18);
    check(noTitle.white === 0, 'Space hides the title', noTitle.white);
    await press('h', (s) => s.helpVisible, 'H to show the help');
    const help = await readCanvas(page, 'overlay', 20, 125, 400, 180);
    check(help.white > 500, 'H shows the help page', help.white);
    await page.screenshot({ path: path.join(outDir, 'page-help.png') });
    await press('h', (s) => !s.helpVisible, 'H to hide the help');
    const noHelp = await readCanvas(page, 'overlay', 20, 125, 400, 180);
    check(noHelp.white < help.white / 10, 'H again hides it', noHelp.white);
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
