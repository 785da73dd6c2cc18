// html-validate on every generated page and on each widget's own code.
import { describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { HtmlValidate } from 'html-validate';

import { pageText, pages, samplePage } from './harness.mjs';
import { skeleton, strict } from './validate-config.mjs';

const validators = { strict: new HtmlValidate(strict), skeleton: new HtmlValidate(skeleton) };

async function problems(text, config) {
  const report = await validators[config].validateString(text);
  return report.results.flatMap((r) => r.messages.map((m) => `${m.line}:${m.column} ${m.ruleId}: ${m.message}`));
}

// The three parts where a page author would put them, in a minimal document.
function widgetDocument(widget) {
  return [
    '<!DOCTYPE html>',
    '<html lang="en">',
    '<head>',
    '<meta charset="utf-8">',
    '<title>Widget</title>',
    widget.parts.style,
    widget.parts.script,
    '</head>',
    '<body>',
    '<main>',
    widget.parts.cursor,
    '</main>',
    '</body>',
    '</html>',
    '',
  ].join('\n');
}

describe("each widget's own code is valid HTML5", () => {
  const seen = new Set();
  for (const widget of pages.flatMap((p) => p.widgets)) {
    if (seen.has(widget.key)) continue;
    seen.add(widget.key);
    test(widget.name, async () => assert.deepEqual(await problems(widgetDocument(widget), 'strict'), []));
  }
});

describe('the pages are valid', () => {
  test('the sample page', async () => {
    assert.deepEqual(await problems(readFileSync(samplePage, 'utf8'), 'strict'), []);
  });
  for (const page of pages) {
    const config = page.skeleton ? 'skeleton' : 'strict';
    test(`${page.id} (${config})`, async () => assert.deepEqual(await problems(pageText(page), config), []));
  }
});
