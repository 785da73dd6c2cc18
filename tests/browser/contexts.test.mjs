// The button in the display contexts visitors bring: a dark colour scheme,
// reduced motion, forced colours (high contrast) and a touch screen without
// hover. The sample page and the New Page of each template are opened in a
// browser context emulating each.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { chromium } from 'playwright-core';

import { axeViolations, skeletonFindings } from './axe-check.mjs';
import { chromiumPath, lookOf, pages, startServer, tabTo, widgetLocator } from './harness.mjs';

const contexts = {
  dark: { colorScheme: 'dark' },
  'reduced motion': { reducedMotion: 'reduce' },
  'forced colours': { forcedColors: 'active' },
  touch: { hasTouch: true },
};

// A New Page made from each shipped template.
const templatePages = pages.filter((p) => p.skeleton && p.widgets.length === 1 && p.id === p.widgets[0].name);

const shared = { server: null, browser: null, contexts: {} };
before(async () => {
  shared.server = await startServer();
  shared.browser = await chromium.launch({ executablePath: chromiumPath, args: ['--no-sandbox', '--disable-gpu'] });
  for (const [name, options] of Object.entries(contexts)) {
    const context = await shared.browser.newContext({ viewport: { width: 800, height: 600 }, ...options });
    // Nothing leaves 127.0.0.1.
    await context.route((url) => url.hostname !== '127.0.0.1', (route) => route.fulfill({ status: 200, body: '' }));
    shared.contexts[name] = context;
  }
});
after(async () => {
  await shared.browser?.close();
  await shared.server?.close();
});

async function onPage(contextName, url, body) {
  const page = await shared.contexts[contextName].newPage();
  try {
    await page.goto(url, { waitUntil: 'load' });
    return await body(page);
  } finally {
    await page.close();
  }
}

function luminance([r, g, b]) {
  const c = (v) => {
    const s = v / 255;
    return s <= 0.04045 ? s / 12.92 : ((s + 0.055) / 1.055) ** 2.4;
  };
  return 0.2126 * c(r) + 0.7152 * c(g) + 0.0722 * c(b);
}

function ratio(a, b) {
  const [la, lb] = [luminance(a), luminance(b)].sort((x, y) => y - x);
  return (la + 0.05) / (lb + 0.05);
}

const channels = (css) => css.match(/[\d.]+/g).slice(0, 3).map(Number);

// Pixels of a screenshot of `clip`, decoded by the browser: rows of [r, g, b].
async function pixels(page, clip) {
  const png = await page.screenshot({ clip, animations: 'disabled' });
  return page.evaluate(async (b64) => {
    const bitmap = await createImageBitmap(await (await fetch(`data:image/png;base64,${b64}`)).blob());
    const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
    const ctx = canvas.getContext('2d');
    ctx.drawImage(bitmap, 0, 0);
    const data = ctx.getImageData(0, 0, bitmap.width, bitmap.height).data;
    const rows = [];
    for (let y = 0; y < bitmap.height; ++y) {
      const row = [];
      for (let x = 0; x < bitmap.width; ++x) row.push([...data.slice((y * bitmap.width + x) * 4, (y * bitmap.width + x) * 4 + 3)]);
      rows.push(row);
    }
    return rows;
  }, png.toString('base64'));
}

// The best contrast against the page found in the button's outer pixels at
// the middle of its left side: its border, or its fill where it has none.
async function edgeContrast(page, button) {
  const box = await button.boundingBox();
  const border = await button.evaluate((el) => parseFloat(getComputedStyle(el).borderLeftWidth));
  const [row] = await pixels(page, { x: Math.round(box.x) - 4, y: Math.round(box.y + box.height / 2), width: Math.ceil(border) + 7, height: 1 });
  const pageColour = row[0];
  return Math.max(...row.slice(4).map((p) => ratio(p, pageColour)));
}

// The text against each fill the computed style paints.
async function textContrast(button) {
  const look = await lookOf(button);
  const fills = look.backgroundImage === 'none' ? [look.backgroundColor] : look.backgroundImage.match(/rgba?\([^)]*\)/g);
  return Math.min(...fills.map((f) => ratio(channels(look.color), channels(f))));
}

// The sample page holds every template, so it is checked in every context;
// a New Page alone only where its looks differ from the default context that
// a11y.test.mjs checks (reduced motion and touch change no colour at rest).
describe('axe finds no violations in any display context', { concurrency: 4 }, () => {
  for (const name of Object.keys(contexts)) {
    test(`the sample page, ${name}`, () =>
      onPage(name, shared.server.sampleUrl, async (page) => assert.deepEqual(await axeViolations(page), [])));
    if (name !== 'dark' && name !== 'forced colours') continue;
    for (const p of templatePages)
      test(`${p.id}, ${name}`, () =>
        onPage(name, shared.server.urlOf(p), async (page) => assert.deepEqual(await axeViolations(page, skeletonFindings), [])));
  }
});

describe('the edge stands out and the focus ring shows in every display context', { concurrency: 4 }, () => {
  for (const name of Object.keys(contexts)) {
    for (const p of templatePages) {
      const [widget] = p.widgets;
      test(`${p.id}, ${name}`, () =>
        onPage(name, shared.server.urlOf(p), async (page) => {
          const button = widgetLocator(page, widget);
          const edge = await edgeContrast(page, button);
          assert.ok(edge >= 3, `edge ${edge.toFixed(2)}:1 against the page`);

          const box = await button.boundingBox();
          const strip = { x: Math.round(box.x) - 6, y: Math.round(box.y + box.height / 2), width: 6, height: 1 };
          for (const background of ['#ffffff', '#121212']) {
            await page.evaluate((c) => (document.body.style.background = c), background);
            await page.mouse.move(1, 1);
            await button.evaluate((el) => el.blur());
            const [before] = await pixels(page, strip);
            await tabTo(page, button);
            const look = await button.evaluate((el) => getComputedStyle(el).outlineWidth);
            assert.ok(parseFloat(look) >= 2, `ring ${look} wide`);
            const [ringed] = await pixels(page, strip);
            // The ring changes what the page showed there by 3:1, and stands out from the button too.
            const change = Math.max(...ringed.map((px, i) => ratio(px, before[i])));
            assert.ok(change >= 3, `on ${background} the ring changes the page by ${change.toFixed(2)}:1`);
            const border = await button.evaluate((el) => parseFloat(getComputedStyle(el).borderLeftWidth));
            const fill = (await pixels(page, { ...strip, x: Math.round(box.x + border) + 2, width: 1 }))[0][0];
            const againstButton = Math.max(...ringed.map((px) => ratio(px, fill)));
            assert.ok(againstButton >= 3, `on ${background} the ring stands out from the button by ${againstButton.toFixed(2)}:1`);
          }
        }));
    }
  }
});

describe('each context gets what it asks for', { concurrency: 4 }, () => {
  for (const p of templatePages) {
    const [widget] = p.widgets;

    test(`${p.id}: with reduced motion nothing moves after hover and focus`, () =>
      onPage('reduced motion', shared.server.urlOf(p), async (page) => {
        const button = widgetLocator(page, widget);
        await tabTo(page, button);
        await button.hover();
        assert.deepEqual(await page.evaluate(() => document.getAnimations().map((a) => a.animationName ?? String(a))), []);
      }));

    test(`${p.id}: a tap on a touch screen leaves the normal look behind`, () =>
      onPage('touch', shared.server.urlOf(p), async (page) => {
        // The tap must not leave the page.
        await page.evaluate(() => document.addEventListener('click', (e) => e.preventDefault(), true));
        const button = widgetLocator(page, widget);
        const normal = await lookOf(button);
        await button.tap();
        // The pressed look lasts a moment after the finger lifts; a hover look would stay.
        let look;
        for (let waited = 0; waited <= 1500; waited += 100) {
          look = await lookOf(button);
          if (JSON.stringify(look) === JSON.stringify(normal)) break;
          await page.waitForTimeout(100);
        }
        assert.deepEqual(look, normal);
      }));

    test(`${p.id}: on a dark scheme every state keeps 4.5:1 text`, () =>
      onPage('dark', shared.server.urlOf(p), async (page) => {
        const button = widgetLocator(page, widget);
        await page.mouse.move(1, 1);
        const states = { normal: await textContrast(button) };
        await button.hover();
        states.hover = await textContrast(button);
        await page.mouse.down();
        states.pressed = await textContrast(button);
        await page.mouse.move(1, 1);
        await page.mouse.up();
        await tabTo(page, button);
        states.focus = await textContrast(button);
        for (const [state, r] of Object.entries(states)) assert.ok(r >= 4.5, `${state} ${r.toFixed(2)}:1`);
      }));

    if (widget.hasIcon)
      test(`${p.id}: with forced colours the icon stays visible`, () =>
        onPage('forced colours', shared.server.urlOf(p), async (page) => {
          const icon = widgetLocator(page, widget).locator('img');
          const box = await icon.boundingBox();
          const face = channels(await widgetLocator(page, widget).evaluate((el) => getComputedStyle(el).backgroundColor));
          const rows = await pixels(page, { x: Math.floor(box.x), y: Math.floor(box.y), width: Math.ceil(box.width), height: Math.ceil(box.height) });
          const best = Math.max(...rows.flat().map((px) => ratio(px, face)));
          assert.ok(best >= 3, `the icon differs from the button face by ${best.toFixed(2)}:1`);
        }));
  }
});
