// Pictures for the help book's accessibility page: the New Page of one
// template in each display context a visitor may bring, cropped to the
// button and a margin and written as small palette PNGs. Run by hand after
// a change to the button's code, not by the test suite:
//
//   cd tests/browser && node help-screenshots.mjs ../../build/dev/tests/browser/pages ../../help/images
//
// The pages folder is the one make_browser_pages writes (ctest's
// browser_tests leaves it in build/dev/tests/browser/pages).
import { writeFileSync, mkdirSync } from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { deflateSync } from 'node:zlib';

const [pagesArgument, outArgument = fileURLToPath(new URL('../../help/images', import.meta.url))] = process.argv.slice(2);
if (!pagesArgument) {
  console.error('usage: node help-screenshots.mjs PAGES_FOLDER [OUT_FOLDER]');
  process.exit(2);
}
process.env.GLIMMERKEY_PAGES = path.resolve(pagesArgument);
// The harness serves the sample page's folder too; no picture uses it.
process.env.GLIMMERKEY_SAMPLE_PAGE ??= path.join(process.env.GLIMMERKEY_PAGES, 'unused', 'sample.htm');
const { chromium } = await import('playwright-core');
const { chromiumPath, pageById, startServer, tabTo, widgetLocator } = await import('./harness.mjs');

// Blue gradient, an arrow icon, a glimmer on hover and "Automatic" colours
// for dark pages: every context changes something on it.
const template = 'Azure';
// DarkColors' dark page, on which the dark colours are worked out.
const darkPage = '#121212';
const size = { width: 300, height: 120 };

// What each picture shows: a browser context, then what the visitor does.
const shots = {
  default: { context: {}, act: async () => {} },
  'default-focus': { context: {}, act: async ({ page, button }) => tabTo(page, button) },
  'default-hover': {
    context: {},
    act: async ({ page, button }) => {
      await button.hover();
      // The glimmer's band stopped a little before the middle of its sweep.
      await page.evaluate(() =>
        document.getAnimations().forEach((a) => {
          a.pause();
          a.currentTime = a.effect.getComputedTiming().duration * 0.45;
        }),
      );
    },
  },
  dark: {
    context: { colorScheme: 'dark' },
    act: async ({ page }) => page.evaluate((c) => (document.body.style.background = c), darkPage),
  },
  'forced-colours': { context: { forcedColors: 'active' }, act: async () => {} },
  'forced-colours-focus': { context: { forcedColors: 'active' }, act: async ({ page, button }) => tabTo(page, button) },
  'reduced-motion': {
    context: { reducedMotion: 'reduce' },
    act: async ({ page, button }) => {
      await button.hover();
      const running = await page.evaluate(() => document.getAnimations().length);
      if (running) throw new Error(`${running} animations run under reduced motion`);
    },
  },
  // Chromium shows the pressed look from the tap until a moment after the
  // finger lifts; the picture counts only if the look lasted until it was taken.
  'touch-pressed': {
    context: { hasTouch: true },
    act: async ({ page, button }) => {
      await page.evaluate(() => document.addEventListener('click', (e) => e.preventDefault(), true));
      await button.tap();
    },
    holds: ({ page }) => page.evaluate(() => document.querySelector(':active') !== null),
  },
  'touch-after': {
    context: { hasTouch: true },
    act: async ({ page, button }) => {
      await page.evaluate(() => document.addEventListener('click', (e) => e.preventDefault(), true));
      await button.tap();
      await page.waitForFunction(() => document.querySelector(':active') === null);
      // Time for a hover look to show, if one were to stay.
      await page.waitForTimeout(500);
    },
  },
};

// A palette PNG encoder: a button on a plain page needs few colours, so 256
// of them look the same to the eye at a fraction of the size.

const crcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});
function crc32(bytes) {
  let c = 0xffffffff;
  for (const b of bytes) c = crcTable[(c ^ b) & 255] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}
function chunk(type, data) {
  const out = Buffer.alloc(12 + data.length);
  out.writeUInt32BE(data.length, 0);
  out.write(type, 4, 'latin1');
  data.copy(out, 8);
  out.writeUInt32BE(crc32(out.subarray(4, 8 + data.length)), 8 + data.length);
  return out;
}

// Colours to at most 256 by median cut: the box of colours spread widest
// along one channel is split at its pixel-weighted median until there are
// 256 boxes; each box's entry is the mean of its pixels. A picture of 256
// colours or fewer keeps them exactly.
function palettise(rgb, width, height) {
  const counts = new Map();
  const keys = new Uint32Array(width * height);
  for (let i = 0; i < keys.length; ++i) {
    keys[i] = (rgb[i * 3] << 16) | (rgb[i * 3 + 1] << 8) | rgb[i * 3 + 2];
    counts.set(keys[i], (counts.get(keys[i]) ?? 0) + 1);
  }
  const channel = (key, c) => (key >> (16 - 8 * c)) & 255;
  const spread = (box) => {
    let best = { c: 0, range: -1 };
    for (let c = 0; c < 3; ++c) {
      const values = box.map((k) => channel(k, c));
      const range = Math.max(...values) - Math.min(...values);
      if (range > best.range) best = { c, range };
    }
    return best;
  };
  const boxes = [[...counts.keys()]];
  while (boxes.length < 256) {
    const widest = boxes
      .map((box, i) => ({ i, ...spread(box) }))
      .filter(({ i }) => boxes[i].length > 1)
      .sort((x, y) => y.range - x.range)[0];
    if (!widest) break;
    const box = boxes[widest.i].sort((x, y) => channel(x, widest.c) - channel(y, widest.c));
    const total = box.reduce((n, k) => n + counts.get(k), 0);
    let cut = 1;
    for (let seen = counts.get(box[0]); cut < box.length - 1 && seen < total / 2; ++cut) seen += counts.get(box[cut]);
    boxes.splice(widest.i, 1, box.slice(0, cut), box.slice(cut));
  }
  const indexOf = new Map();
  const palette = Buffer.alloc(boxes.length * 3);
  boxes.forEach((box, i) => {
    const sum = [0, 0, 0];
    let n = 0;
    for (const k of box) {
      const w = counts.get(k);
      for (let c = 0; c < 3; ++c) sum[c] += channel(k, c) * w;
      n += w;
      indexOf.set(k, i);
    }
    palette.set(sum.map((v) => Math.round(v / n)), i * 3);
  });
  return { palette, indices: Uint8Array.from(keys, (k) => indexOf.get(k)) };
}

function palettePng(rgb, width, height) {
  const { palette, indices } = palettise(rgb, width, height);
  const rows = Buffer.alloc((width + 1) * height);
  for (let y = 0; y < height; ++y) rows.set(indices.subarray(y * width, (y + 1) * width), y * (width + 1) + 1);
  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0);
  header.writeUInt32BE(height, 4);
  header.set([8, 3, 0, 0, 0], 8); // 8-bit indices, palette colour, no interlace
  return Buffer.concat([
    Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
    chunk('IHDR', header),
    chunk('PLTE', palette),
    chunk('IDAT', deflateSync(rows, { level: 9 })),
    chunk('IEND', Buffer.alloc(0)),
  ]);
}

// The RGB pixels of a screenshot, decoded by the browser itself.
async function pixels(page, png) {
  const data = await page.evaluate(async (b64) => {
    const bitmap = await createImageBitmap(await (await fetch(`data:image/png;base64,${b64}`)).blob());
    const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
    const ctx = canvas.getContext('2d');
    ctx.drawImage(bitmap, 0, 0);
    const rgba = ctx.getImageData(0, 0, bitmap.width, bitmap.height).data;
    return Array.from({ length: rgba.length / 4 * 3 }, (_, i) => rgba[Math.floor(i / 3) * 4 + (i % 3)]);
  }, png.toString('base64'));
  return Uint8Array.from(data);
}

const outFolder = path.resolve(outArgument);
mkdirSync(outFolder, { recursive: true });
const server = await startServer();
const browser = await chromium.launch({ executablePath: chromiumPath, args: ['--no-sandbox', '--disable-gpu'] });
try {
  const source = pageById(template);
  const [widget] = source.widgets;
  for (const [name, { context: options, act, holds = async () => true }] of Object.entries(shots)) {
    const context = await browser.newContext({ viewport: { width: 800, height: 600 }, ...options });
    // Nothing leaves 127.0.0.1.
    await context.route((url) => url.hostname !== '127.0.0.1', (route) => route.fulfill({ status: 200, body: '' }));
    let png;
    for (let attempt = 0; !png && attempt < 5; ++attempt) {
      const page = await context.newPage();
      await page.goto(server.urlOf(source), { waitUntil: 'load' });
      // The button alone in the middle of the picture.
      await page.addStyleTag({ content: 'body{margin:0;min-height:100vh;display:grid;place-items:center}' });
      const button = widgetLocator(page, widget);
      await page.evaluate(() => document.fonts.ready);
      const box = await button.boundingBox();
      const clip = {
        x: Math.round(box.x + box.width / 2 - size.width / 2),
        y: Math.round(box.y + box.height / 2 - size.height / 2),
        ...size,
      };
      await act({ page, button });
      const shot = await page.screenshot({ clip, animations: 'allow', caret: 'hide' });
      if (await holds({ page })) png = palettePng(await pixels(page, shot), size.width, size.height);
      await page.close();
    }
    if (!png) throw new Error(`${name}: the look did not last until the picture was taken`);
    const file = path.join(outFolder, `accessibility-${name}.png`);
    writeFileSync(file, png);
    console.log(`${file}: ${png.length} bytes`);
    await context.close();
  }
} finally {
  await browser.close();
  await server.close();
}
