// axe-core, with its default rules, on the sample page and on every
// generated page, run inside the loaded page.
import { describe, test } from 'node:test';
import assert from 'node:assert/strict';
import axe from 'axe-core';

import { openPage, pages, useServerAndBrowser } from './harness.mjs';

// New Page writes a fixed skeleton the widget cannot change:
// "<HTML><HEAD><TITLE>title</TITLE>...</HEAD><BODY>widget</BODY></HTML>".
// On those pages, and only there, these findings are accepted, and only where
// they point at the skeleton itself: the <html> element, or the widget as a
// direct child of <BODY>. Every other page is held to all rules.
const skeletonFindings = {
  // The skeleton's <HTML> has no lang attribute and no place for one.
  'html-has-lang': 'document',
  // The skeleton's <BODY> holds the widget directly, with no <main> around it.
  'landmark-one-main': 'document',
  // The skeleton has no heading; the page holds only the widget.
  'page-has-heading-one': 'document',
  // Best-practice rule: content belongs in landmarks, and the skeleton has none.
  region: 'body child',
};

const shared = useServerAndBrowser();

async function violations(url, accepted = {}) {
  const { page } = await openPage(shared.browser.context, url);
  try {
    await page.addScriptTag({ content: axe.source });
    return await page.evaluate(async (accepted) => {
      const result = await window.axe.run(document);
      const fromSkeleton = (id, node) => {
        const el = document.querySelector(node.target[0]);
        if (accepted[id] === 'document') return el === document.documentElement;
        if (accepted[id] === 'body child') return el?.parentElement === document.body;
        return false;
      };
      return result.violations
        .map((v) => ({ ...v, nodes: v.nodes.filter((n) => !fromSkeleton(v.id, n)) }))
        .filter((v) => v.nodes.length > 0)
        .map((v) => `${v.id} (${v.impact}): ${v.help}\n${v.nodes.map((n) => `    ${n.html}\n      ${n.failureSummary}`).join('\n')}`);
    }, accepted);
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
