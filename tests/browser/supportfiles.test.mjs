// Copy Code pasted into a page, then Support Files' Copy to... the page's
// folder: the widget's icon loads from where the pasted code looks for it.
import { test } from 'node:test';
import assert from 'node:assert/strict';

import { openPage, pageById, useServerAndBrowser, widgetLocator } from './harness.mjs';

const shared = useServerAndBrowser();

test('support files copied beside a pasted widget are found by its code', async () => {
  const page = pageById('app-support');
  const [widget] = page.widgets;
  assert.ok(widget.supportFiles.some((file) => file.endsWith('.svg')), 'the widget has an icon');
  const { page: tab } = await openPage(shared.browser.context, shared.server.urlOf(page));
  try {
    const icons = widgetLocator(tab, widget).locator('img');
    assert.equal(await icons.count(), 1);
    const loaded = await icons.first().evaluate((img) => img.complete && img.naturalWidth > 0);
    assert.ok(loaded, 'the icon loads');
  } finally {
    await tab.close();
  }
});
