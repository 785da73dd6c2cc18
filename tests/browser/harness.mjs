// Shared by the browser tests: the pages make_browser_pages wrote, a static
// server that logs every request, and Debian's Chromium driven through
// playwright-core.
import { createServer } from 'node:http';
import { after, before } from 'node:test';
import { existsSync, readFileSync } from 'node:fs';
import { mkdtemp, readFile, rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { chromium } from 'playwright-core';

function requiredEnv(name) {
  const value = process.env[name];
  if (!value) throw new Error(`${name} is not set: run the browser tests through ctest (browser_tests)`);
  return value;
}

export const pagesFolder = requiredEnv('GLIMMERKEY_PAGES');
export const samplePage = requiredEnv('GLIMMERKEY_SAMPLE_PAGE');
export const manifest = JSON.parse(readFileSync(path.join(pagesFolder, 'manifest.json'), 'utf8'));

export const pages = manifest.pages;
export const pageById = (id) => {
  const page = pages.find((p) => p.id === id);
  if (!page) throw new Error(`no page ${id} in the manifest`);
  return page;
};
export const widgetPages = pages.filter((p) => p.widgets.length === 1);

export function pageText(page) {
  return readFileSync(path.join(pagesFolder, page.path), 'utf8');
}

const contentTypes = {
  '.htm': 'text/html; charset=utf-8',
  '.html': 'text/html; charset=utf-8',
  '.svg': 'image/svg+xml',
  '.png': 'image/png',
  '.gif': 'image/gif',
  '.jpg': 'image/jpeg',
  '.wav': 'audio/wav',
  '.mp3': 'audio/mpeg',
  '.ogg': 'audio/ogg',
};

// Serves /pages/ from the generated folder and /sample/ from the server's
// sample folder; every request lands in `log`, nothing is cached.
export async function startServer() {
  const roots = { pages: path.resolve(pagesFolder), sample: path.resolve(path.dirname(samplePage)) };
  const log = [];
  const server = createServer(async (request, response) => {
    const url = new URL(request.url, 'http://127.0.0.1');
    const entry = { method: request.method, path: url.pathname, search: url.search, status: 404 };
    log.push(entry);
    const [, root, ...rest] = decodeURIComponent(url.pathname).split('/');
    const base = roots[root];
    const file = base && path.resolve(base, ...rest);
    try {
      if (!file || !file.startsWith(base + path.sep)) throw new Error('outside');
      const body = await readFile(file);
      entry.status = 200;
      response.writeHead(200, {
        'Content-Type': contentTypes[path.extname(file).toLowerCase()] ?? 'application/octet-stream',
        'Cache-Control': 'no-store',
      });
      response.end(body);
    } catch {
      response.writeHead(404, { 'Content-Type': 'text/plain' });
      response.end('not found');
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const origin = `http://127.0.0.1:${server.address().port}`;
  return {
    origin,
    log,
    urlOf: (page) => `${origin}/pages/${page.path}`,
    sampleUrl: `${origin}/sample/${path.basename(samplePage)}`,
    close: () => new Promise((resolve) => server.close(resolve)),
  };
}

export const chromiumPath = '/usr/bin/chromium';

// A fresh profile each run. Requests that would leave 127.0.0.1 are answered
// with a stub and recorded, so no test ever reaches the network.
export async function launchBrowser() {
  if (!existsSync(chromiumPath)) throw new Error(`${chromiumPath} is missing: install Debian's chromium package`);
  const profile = await mkdtemp(path.join(tmpdir(), 'glimmerkey-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: chromiumPath,
    headless: true,
    args: [
      '--headless',
      '--no-sandbox',
      '--disable-gpu',
      '--disable-quic',
      '--no-first-run',
      '--disable-background-networking',
      '--disable-component-update',
      '--disable-sync',
    ],
    viewport: { width: 800, height: 600 },
  });
  const offsite = [];
  await context.route(
    (url) => url.hostname !== '127.0.0.1',
    (route) => {
      offsite.push(route.request().url());
      return route.fulfill({ status: 200, contentType: 'text/html', body: '<title>offsite</title>' });
    },
  );
  return {
    context,
    offsite,
    close: async () => {
      await context.close();
      await rm(profile, { recursive: true, force: true, maxRetries: 3 });
    },
  };
}

// Opens `url` in a new tab and records what the page does: dialogs
// (dismissed), main-frame navigations, script errors.
export async function openPage(context, url, { reducedMotion = 'no-preference' } = {}) {
  const page = await context.newPage();
  const seen = { dialogs: [], navigations: [], errors: [] };
  page.on('dialog', (dialog) => {
    seen.dialogs.push(`${dialog.type()}: ${dialog.message()}`);
    dialog.dismiss().catch(() => {});
  });
  page.on('framenavigated', (frame) => {
    if (frame === page.mainFrame()) seen.navigations.push(frame.url());
  });
  page.on('pageerror', (error) => seen.errors.push(String(error)));
  await page.emulateMedia({ reducedMotion });
  await page.goto(url, { waitUntil: 'load' });
  return { page, seen };
}

// The widget as a visitor meets it: by its role and accessible name.
export function widgetLocator(page, widget) {
  return page.getByRole(widget.linkUrl ? 'link' : 'button', { name: widget.accessibleName, exact: true });
}

// Moves keyboard focus with Tab until it reaches `locator`.
export async function tabTo(page, locator, limit = 20) {
  await page.mouse.move(1, 1);
  for (let i = 0; i < limit; ++i) {
    await page.keyboard.press('Tab');
    if (await locator.evaluate((el) => el === document.activeElement)) return;
  }
  throw new Error('Tab never reached the widget');
}

// The computed look of an element.
export function lookOf(locator) {
  return locator.evaluate((el) => {
    const s = getComputedStyle(el);
    return {
      color: s.color,
      backgroundColor: s.backgroundColor,
      backgroundImage: s.backgroundImage,
      outlineStyle: s.outlineStyle,
      outlineWidth: s.outlineWidth,
      outlineColor: s.outlineColor,
      boxShadow: s.boxShadow,
    };
  });
}

export function rgb(hex) {
  const n = parseInt(hex.slice(1), 16);
  return `rgb(${(n >> 16) & 255}, ${(n >> 8) & 255}, ${n & 255})`;
}

// Text colour and fill colours, in order, as a computed look shows them.
export function paintOf(look) {
  const fills = look.backgroundImage === 'none' ? [look.backgroundColor] : look.backgroundImage.match(/rgba?\([^)]*\)/g);
  return { text: look.color, fills };
}

// The same for a configured state of `widget`.
export function configuredPaint(widget, state) {
  const c = widget.states[state];
  return { text: rgb(c.text), fills: widget.fill === 'solid' ? [rgb(c.fill)] : [rgb(c.fill), rgb(c.fill2)] };
}

// Running animations of the element and its pseudo-elements.
export function runningAnimations(locator) {
  return locator.evaluate((el) =>
    el
      .getAnimations({ subtree: true })
      .filter((a) => a.playState === 'running')
      .map((a) => `${a.animationName ?? a.id} on ${a.effect?.pseudoElement ?? 'element'}`),
  );
}

export function glimmerTransform(locator) {
  return locator.evaluate((el) => getComputedStyle(el, '::after').transform);
}

// One page server and one browser for a test file, started before its first
// test and closed after its last; read them through the returned object.
export function useServerAndBrowser() {
  const shared = { server: null, browser: null };
  before(async () => {
    shared.server = await startServer();
    shared.browser = await launchBrowser();
  });
  after(async () => {
    await shared.browser?.close();
    await shared.server?.close();
  });
  return shared;
}

export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
