// The plug-in's texts over the pictures, with its timings: the track title (10 s), the status
// message at the bottom right that erases itself letter by letter, the help page (15 s) and the
// about screen. Times are millisecond tick counts of the page's own clock. Drawn on a canvas of
// the picture's size laid over it, so the texts sit where the plug-in puts them on the picture.

const LINE_SPACING = 20;
const HELP_INDENT = 5;
const TITLE_MS = 10000;
const HELP_MS = 15000;
const MESSAGE_WHOLE_MS = 3000;
const MESSAGE_SHRINK_MS = 50;

// The about screen's lines; the engine hands over the plug-in's own (setAboutLines).
let aboutLines = ['Vevirur 2.5', '', ''];
export function setAboutLines(lines) { aboutLines = lines.slice(0, 3); }
export function makerWebSite() { return aboutLines[1]; }

export const HELP_LINES = [
  'Keyboard shortcuts:',
  'H - Help',
  'F4 - Lock effect',
  'F6 - Change drawing',
  'Alt+Enter - Go full screen',
  'Space - Show title',
  'S - Save effect',
  'L - Load effect',
  'Alt+Left - Previous effect',
  'Alt+Right - Next effect',
  'PLUS and MINUS - Gamma Correction (Full Screeen only)',
];

const FONT = 'bold 13px "DejaVu Sans", Verdana, sans-serif';

export class TextOverlays {
  constructor() {
    this.title = '';
    this.titleClock = 0;      // 0: no title shown
    this.message = '';
    this.messageDeadline = -1;  // -1: the message does not shrink
    this.helpClock = 0;
  }

  setTitle(text) { this.title = String(text).slice(0, 255); }
  // on: the title shows from `now` for 10 s; off: hidden at once.
  showTitle(on, now) { this.titleClock = on ? (now >>> 0) || 1 : 0; }
  toggleTitle(now) { this.showTitle(this.titleClock === 0, now); }

  showMessage(text, now) {
    this.message = String(text).slice(0, 127);
    this.messageDeadline = (now + MESSAGE_WHOLE_MS) >>> 0;
  }

  isHelpVisible(now) {
    if (((now - this.helpClock) >>> 0) >= HELP_MS + 1) {
      this.helpClock = 0;
      return false;
    }
    return true;
  }
  toggleHelp(now) { this.helpClock = this.isHelpVisible(now) ? 0 : (now >>> 0); }

  // Whether the title is on at `now` (drops one whose time is over).
  titleVisible(now) {
    if (this.titleClock !== 0 && ((now - this.titleClock) >>> 0) > TITLE_MS) this.titleClock = 0;
    return this.titleClock !== 0;
  }

  // Each shown picture: the title, the about lines and help page while the help is visible, and
  // the status message (which shrinks one letter per shown picture once its time is up).
  drawOnPicture(ctx, width, height, now, effectLocked) {
    ctx.clearRect(0, 0, width, height);
    ctx.font = FONT;
    ctx.textBaseline = 'top';
    if (this.titleVisible(now)) text(ctx, this.title, 15, height - LINE_SPACING, '#fff');
    if (this.isHelpVisible(now)) {
      drawAboutLines(ctx);
      HELP_LINES.forEach((line, i) => {
        text(ctx, line, i === 0 ? HELP_INDENT : HELP_INDENT + 15, 25 + (4 + i) * LINE_SPACING, '#fff', '#000');
      });
    }
    this.drawMessage(ctx, width, height, now, effectLocked);
  }

  drawMessage(ctx, width, height, now, effectLocked) {
    if (this.message.length === 0) return;
    const w = Math.ceil(ctx.measureText(this.message).width);
    const h = 16;
    text(ctx, this.message, width - w - 5, height - h, this.message.length > 1 ? '#f00' : '#808080');
    if (this.messageDeadline <= 0) return;
    const late = (now - this.messageDeadline) | 0;
    if (late <= 0 || late < MESSAGE_SHRINK_MS) return;
    this.messageDeadline = now >>> 0;
    this.message = this.message.slice(0, -1);
    if (this.message.length <= 1 && effectLocked) {
      this.messageDeadline = -1;
      this.message = 'L';
    } else if (this.message.length === 0) {
      this.messageDeadline = -1;
    }
  }

  // Whether picture point (x, y) lies on the about text: the rectangle from the top left corner
  // to the right end of the third line and its bottom edge. The text is on screen while nothing
  // plays or the help page shows.
  aboutHit(ctx, x, y, playing, now) {
    if (playing && !this.isHelpVisible(now)) return false;
    ctx.font = FONT;
    const width = Math.ceil(ctx.measureText(aboutLines[2]).width);
    return x < width + 85 && y < 16 + 2 * LINE_SPACING + 25;
  }

  // Whenever nothing plays: black, the about lines and the logo.
  static drawAboutScreen(ctx, width, height) {
    ctx.fillStyle = '#000';
    ctx.fillRect(0, 0, width, height);
    ctx.font = FONT;
    ctx.textBaseline = 'top';
    drawAboutLines(ctx);
    drawLogo(ctx, 25, 30);
  }
}

function text(ctx, line, x, y, colour, background) {
  if (background) {
    ctx.fillStyle = background;
    ctx.fillRect(x, y, Math.ceil(ctx.measureText(line).width), 16);
  }
  ctx.fillStyle = colour;
  ctx.fillText(line, x, y);
}

function drawAboutLines(ctx) {
  aboutLines.forEach((line, i) => text(ctx, line, 85, 25 + i * LINE_SPACING, '#fff', '#000'));
}

// The 48 x 48 logo: two glowing rings.
function drawLogo(ctx, left, top) {
  const image = ctx.createImageData(48, 48);
  for (let y = 0; y < 48; y++) {
    for (let x = 0; x < 48; x++) {
      const r = Math.hypot(x - 23.5, y - 23.5);
      const ring = Math.min(1, Math.max(0, 1 - Math.abs(r - 19) / 3) + Math.max(0, 1 - Math.abs(r - 9) / 2.5));
      const p = (y * 48 + x) * 4;
      image.data[p] = 255 * ring;
      image.data[p + 1] = 140 * ring;
      image.data[p + 2] = 40 + (r < 14 ? 200 * ring : 0);
      image.data[p + 3] = 255;
    }
  }
  ctx.putImageData(image, left, top);
}
