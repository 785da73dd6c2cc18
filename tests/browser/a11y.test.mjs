// axe-core, with its default rules, on the sample page and on every
// generated page, run inside the loaded page.
import { describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { axeViolations, skeletonFindings } from './axe-check.mjs';
import { openPage, pages, useServerAndBrowser } from './harness.mjs';

const shared = useServerAndBrowser();

async function violations(url, accepted = {}) {
  const { page } = await openPage(shared.browser.context, url);
  try {
    return await axeViolations(page, accepted);
  } finally {
    await page.close();
  }
}

describe('axe finds no violations', () => {
  test('the sample page', async () => {
    assert.deepEqual(await violations(shared.server.sampleUrl), []);
  });

  for (const page of pages) {
    test(`${page.id} (${page.skeleton ? 'new-page skeleton' : 'user page'})`, async () => {
      assert.deepEqual(await violations(shared.server.urlOf(page), page.skeleton ? skeletonFindings : {}), []);
    });
  }
});
