// What a page costs and what it may do: hostile texts stay text, the code
// stays small, loading asks for nothing beyond the page's own files.
import { describe, test } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path/posix';

import { openPage, pageById, pages, sleep, tabTo, useServerAndBrowser, widgetLocator } from './harness.mjs';

const shared = useServerAndBrowser();

describe('a hostile caption, tooltip and link', () => {
  const page = pageById('hostile');
  const [widget] = page.widgets;

  test('are shown as text and run nothing', async () => {
    assert.match(widget.caption, /<script>/, 'the widget really carries markup in its caption');
    const { page: tab, seen } = await openPage(shared.browser.context, shared.server.urlOf(page));
    try {
      const button = widgetLocator(tab, widget);
      assert.equal(await button.innerText(), widget.caption);
      assert.equal(await button.getAttribute('title'), widget.tooltip);
      // Hover and focus would fire any handler smuggled in through an attribute.
      await button.hover();
      await tabTo(tab, button);
      await sleep(200);
      const found = await tab.evaluate(() => ({
        scripts: [...document.scripts].map((s) => s.textContent.slice(0, 18)),
        images: document.images.length,
        handlers: [...document.querySelectorAll('*')].flatMap((el) =>
          [...el.attributes].filter((a) => a.name.startsWith('on')).map((a) => `${el.tagName} ${a.name}`),
        ),
      }));
      assert.ok(found.scripts.length > 0);
      for (const start of found.scripts) assert.equal(start, 'window.Glimmerkey=', 'only the widget runtime runs');
      assert.equal(found.images, 0, 'no element made from the tooltip');
      assert.deepEqual(found.handlers, []);
      assert.deepEqual(seen.dialogs, []);
      assert.deepEqual(seen.errors, []);
    } finally {
      await tab.close();
    }
  });

  test('the link goes where it says and nowhere else', async () => {
    const { page: tab, seen } = await openPage(shared.browser.context, shared.server.urlOf(page));
    try {
      const expected = new URL(widget.linkUrl, shared.server.urlOf(page));
      await Promise.all([tab.waitForURL((url) => url.pathname === expected.pathname), widgetLocator(tab, widget).click()]);
      const reached = new URL(tab.url());
      assert.equal(decodeURIComponent(reached.search), decodeURIComponent(expected.search));
      assert.equal(decodeURIComponent(reached.hash), decodeURIComponent(expected.hash));
      assert.deepEqual(seen.dialogs, []);
    } finally {
      await tab.close();
    }
  });
});

describe('a widget without images or sounds weighs under 8 KB', () => {
  const seen = new Set();
  const plain = pages
    .flatMap((p) => p.widgets)
    .filter((w) => !w.hasIcon && !w.hoverSound && !w.clickSound && !seen.has(w.key) && seen.add(w.key));
  test('there are such widgets', () => assert.ok(plain.length >= 3, `${plain.length} widgets without media`));
  for (const widget of plain) {
    test(`${widget.name}: cursor, style and script together`, () => {
      const bytes = ['cursor', 'style', 'script'].reduce((n, part) => n + Buffer.byteLength(widget.parts[part], 'utf8'), 0);
      assert.ok(bytes < 8 * 1024, `${bytes} bytes`);
    });
  }
});

describe('loading a page asks for nothing beyond the page and its support files', () => {
  async function requestsOnLoad(url) {
    const from = shared.server.log.length;
    const offsiteFrom = shared.browser.offsite.length;
    const { page: tab } = await openPage(shared.browser.context, url);
    try {
      await tab.waitForLoadState('networkidle');
      // The browser asks for /favicon.ico on its own, whatever the page holds,
      // and sometimes only after the next page started.
      const local = shared.server.log.slice(from).filter((r) => r.path !== '/favicon.ico');
      return { local, offsite: shared.browser.offsite.slice(offsiteFrom) };
    } finally {
      await tab.close();
    }
  }

  for (const page of pages) {
    test(page.id, async () => {
      const pagePath = `/pages/${page.path}`;
      const allowed = new Set([pagePath]);
      for (const widget of page.widgets)
        for (const file of widget.supportFiles) allowed.add(path.join(path.dirname(pagePath), file));
      const { local, offsite } = await requestsOnLoad(shared.server.urlOf(page));
      assert.deepEqual(offsite, []);
      assert.equal(local[0]?.path, pagePath);
      for (const request of local) {
        assert.ok(allowed.has(request.path), `unexpected request for ${request.path}`);
        assert.equal(request.status, 200, `${request.path} is there`);
      }
    });
  }

  test('the sample page', async () => {
    const { local, offsite } = await requestsOnLoad(shared.server.sampleUrl);
    assert.deepEqual(offsite, []);
    for (const request of local) {
      assert.ok(
        request.path === new URL(shared.server.sampleUrl).pathname || request.path.startsWith('/sample/glimmerkey/'),
        `unexpected request for ${request.path}`,
      );
      assert.equal(request.status, 200, `${request.path} is there`);
    }
  });
});
