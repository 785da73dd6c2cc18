// Update Published Pages as make_browser_pages ran it through the application:
// three pages that held the widget as first inserted now hold it once each,
// as it is after its colour and link changed. The browser checks of the other
// tests (size, states, focus, link followed) run on these pages too.
import { describe, test } from 'node:test';
import assert from 'node:assert/strict';

import { openPage, pageText, pages, useServerAndBrowser, widgetLocator } from './harness.mjs';

const shared = useServerAndBrowser();
const updated = pages.filter((p) => p.kind === 'updated');
const count = (text, what) => text.split(what).length - 1;

describe('pages rewritten by Update Published Pages', () => {
  test('three pages of one folder, described as the widget after its change', () => {
    assert.equal(updated.length, 3);
    assert.equal(new Set(updated.map((p) => p.path.split('/')[0])).size, 1);
    for (const page of updated) {
      const [widget] = page.widgets;
      assert.equal(page.widgets.length, 1);
      assert.notEqual(widget.linkUrl, page.before.linkUrl, 'the link changed');
      assert.notDeepEqual(widget.states.normal, page.before.states.normal, 'the colour changed');
    }
  });

  for (const page of updated) {
    const [widget] = page.widgets;
    test(`${page.id}: one block, its old code gone`, () => {
      const text = pageText(page);
      assert.equal(count(text, '<!--Insert By Mirovasta Glimmerkey-->'), 1);
      assert.equal(count(text, '<!--End of Glimmerkey-->'), 1);
      assert.ok(text.includes(widget.parts.cursor), 'the block holds the code as it is now');
      assert.ok(!text.includes(page.before.parts.cursor), 'the old code is gone');
    });

    test(`${page.id}: one widget in the browser, leading to the new link`, async () => {
      const { page: tab, seen } = await openPage(shared.browser.context, shared.server.urlOf(page));
      try {
        const marked = await tab.evaluate(() =>
          [...document.querySelectorAll('[data-tavolet-widget]')].map((el) => el.getAttribute('data-tavolet-widget')),
        );
        assert.equal(marked.length, 1, 'the old block was replaced, not added to');
        assert.equal(await widgetLocator(tab, widget).count(), 1);
        assert.equal(await widgetLocator(tab, widget).getAttribute('href'), widget.linkUrl);
        assert.deepEqual(seen.errors, []);
      } finally {
        await tab.close();
      }
    });
  }

  test('the three blocks name one widget', async () => {
    const identities = updated.map((page) => pageText(page).match(/data-tavolet-widget="([^"]*)"/)[1]);
    assert.equal(new Set(identities).size, 1);
  });
});
