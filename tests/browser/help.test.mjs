// The help book as the program opens it: straight from the disk by file://
// address. Every page is valid and accessible, every link and every context
// page leads to a file and anchor that exist, and the search page finds
// topics with no server behind it.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { existsSync, readdirSync, readFileSync } from 'node:fs';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import axe from 'axe-core';
import { HtmlValidate } from 'html-validate';

import { launchBrowser } from './harness.mjs';
import { strict } from './validate-config.mjs';

// The sample page's rule set. Only require-sri narrows, to cross-origin
// resources: Chromium blocks a file:// style sheet or script that carries an
// integrity attribute, since it cannot check it without CORS, so the book's
// own files go without. A resource from elsewhere is still an error here, and
// the last test below sees that none is ever asked for.
const bookRules = { ...strict, rules: { 'require-sri': ['error', { target: 'crossorigin' }] } };

const book = process.env.GLIMMERKEY_HELP_BOOK;
if (!book) throw new Error('GLIMMERKEY_HELP_BOOK is not set: run the browser tests through ctest (browser_tests)');
if (!existsSync(path.join(book, 'index.html'))) throw new Error(`no help book in ${book}: build the help_book target`);

const htmlIn = (folder) => readdirSync(path.join(book, folder)).filter((f) => f.endsWith('.html')).sort();
const topicPages = htmlIn('.');
const contextPages = htmlIn('context').map((f) => `context/${f}`);
const bookUrl = `${pathToFileURL(book).href}/`;
// A file://, with any query or anchor, of the book.
const urlOf = (relative) => new URL(relative, bookUrl).href;
const textOf = (relative) => readFileSync(path.join(book, relative), 'utf8');

// The contexts the program opens the book at: its own topic numbers, 65536 +
// the ID of each menu command F1 reaches, 131072 + the resource ID of the
// main window and of each dialog.
const commandIds = [
  57600, 57601, 57603, 57604, 32777, 32775, 32800, 32802, 32801, 57616, 57665, 32771, 32776, 32781, 32778, 57667, 32793,
  32783, 32792, 32794, 32790, 32791, 57664,
];
const resourceIds = [128, 100, 130, 131, 132, 134, 135, 141, 142, 147, 155];
const contextNumbers = [43, ...commandIds.map((id) => 65536 + id), ...resourceIds.map((id) => 131072 + id)];
// The program's own topics, whose page is fixed.
const topicOfContext = {
  43: 'main-form.html',
  98329: 'tutorial.html',
  98319: 'vellwick.html',
  98326: 'faq.html',
  131200: 'index.html',
};

// The only addresses outside the book that its pages may link to.
const outsideLinks = new Set([
  'https://www.vellwick.example/',
  'https://www.vellwick.example/order.html',
  'mailto:support@vellwick.example',
]);

let browser;
const strays = [];
// Ids and outgoing addresses of each topic page, read from the loaded DOM.
const topics = new Map();

before(async () => {
  browser = await launchBrowser();
  // The harness stubs every address off 127.0.0.1, file:// included; the book
  // is read from disk, and anything outside its folder counts as a stray.
  await browser.context.route(
    (url) => url.protocol === 'file:',
    (route) => {
      const url = route.request().url();
      if (url.startsWith(bookUrl)) return route.continue();
      strays.push(url);
      return route.abort();
    },
  );
  for (const file of topicPages) {
    const page = await browser.context.newPage();
    await page.goto(urlOf(file));
    topics.set(
      file,
      await page.evaluate(() => ({
        ids: [...document.querySelectorAll('[id]')].map((el) => el.id),
        sections: [...document.querySelectorAll('section[id]')].map((el) => el.id),
        addresses: [
          ...[...document.querySelectorAll('a[href], link[href]')].map((el) => el.href),
          ...[...document.querySelectorAll('script[src], img[src]')].map((el) => el.src),
        ],
      })),
    );
    await page.close();
  }
});

after(() => browser?.close());

// Why `address` does not lead to an existing file and anchor of the book, or
// null when it does.
function brokenTarget(address) {
  if (outsideLinks.has(address)) return null;
  const url = new URL(address);
  if (url.protocol !== 'file:') return `${address} leaves the book`;
  const file = path.relative(book, fileURLToPath(url));
  if (file.startsWith('..') || !existsSync(path.join(book, file))) return `${address}: no such file in the book`;
  const anchor = decodeURIComponent(url.hash.slice(1));
  if (anchor && !topics.get(file)?.ids.includes(anchor)) return `${address}: no #${anchor} in ${file}`;
  return null;
}

function redirectOf(file) {
  const text = textOf(file);
  const refresh = /<meta http-equiv="refresh" content="0; url=([^"]+)">/.exec(text)?.[1];
  const link = /<main>[\s\S]*<a href="([^"]+)">/.exec(text)?.[1];
  return { refresh, link, target: refresh && new URL(refresh, urlOf(file)).href };
}

describe('every page of the help book is valid HTML5', () => {
  const validator = new HtmlValidate(bookRules);
  for (const file of [...topicPages, ...contextPages]) {
    test(file, async () => {
      const report = await validator.validateString(textOf(file), file);
      const problems = report.results.flatMap((r) => r.messages.map((m) => `${m.line}:${m.column} ${m.ruleId}: ${m.message}`));
      assert.deepEqual(problems, []);
    });
  }
});

describe('axe finds no violations in the help book', () => {
  async function violations(file) {
    const page = await browser.context.newPage();
    try {
      // A context page moves on at once; served without its refresh, so that
      // axe sees the page itself, with its own style sheet.
      if (file.startsWith('context/')) {
        const body = textOf(file).replace(/<meta http-equiv="refresh"[^>]*>/, '');
        await page.route(urlOf(file), (route) => route.fulfill({ contentType: 'text/html; charset=utf-8', body }));
      }
      await page.goto(urlOf(file));
      await page.addScriptTag({ content: axe.source });
      return await page.evaluate(async () =>
        (await window.axe.run(document)).violations.map(
          (v) => `${v.id} (${v.impact}): ${v.help}\n${v.nodes.map((n) => `    ${n.html}`).join('\n')}`,
        ),
      );
    } finally {
      await page.close();
    }
  }
  for (const file of [...topicPages, ...contextPages]) {
    test(file, async () => assert.deepEqual(await violations(file), []));
  }
});

describe('links of the help book', () => {
  test('every link, style sheet and script of a page leads to a file and anchor of the book', () => {
    const broken = [...topics].flatMap(([file, { addresses }]) =>
      addresses.map(brokenTarget).filter(Boolean).map((why) => `${file}: ${why}`),
    );
    assert.deepEqual(broken, []);
  });

  test('the contents link every page of the book', () => {
    const linked = new Set(topics.get('index.html').addresses.map((a) => path.basename(new URL(a).pathname)));
    assert.deepEqual(
      topicPages.filter((file) => !linked.has(file)),
      [],
    );
  });

  test('there is a context page for every context the program opens, and no other', () => {
    assert.deepEqual(contextPages, contextNumbers.map((n) => `context/${n}.html`).sort());
  });

  test('each context page refreshes to the page its visible link names, and that page and anchor exist', () => {
    const wrong = contextPages.flatMap((file) => {
      const { refresh, link, target } = redirectOf(file);
      if (!refresh) return [`${file}: no meta refresh`];
      if (refresh !== link) return [`${file}: refreshes to ${refresh} but links to ${link}`];
      const why = brokenTarget(target);
      return why ? [`${file}: ${why}`] : [];
    });
    assert.deepEqual(wrong, []);
  });

  test("the program's own topics open their pages", () => {
    for (const [number, file] of Object.entries(topicOfContext)) {
      assert.equal(redirectOf(`context/${number}.html`).target, urlOf(file), `context ${number}`);
    }
  });

  test('opened in the browser, each context page arrives at its target', async () => {
    const page = await browser.context.newPage();
    try {
      for (const file of contextPages) {
        const { target } = redirectOf(file);
        await page.goto(urlOf(file));
        await page.waitForURL(target, { timeout: 5000 });
        const anchor = decodeURIComponent(new URL(target).hash.slice(1));
        if (anchor) assert.ok(await page.locator(`[id="${anchor}"]`).count(), `${file}: #${anchor} is missing`);
      }
    } finally {
      await page.close();
    }
  });
});

describe('the search page, opened from file://', () => {
  let page;
  before(async () => {
    page = await browser.context.newPage();
  });
  after(() => page?.close());

  const box = () => page.getByRole('searchbox', { name: 'Search the help for' });
  const results = () => page.locator('#results li > a');
  const status = () => page.getByRole('status');

  async function listed() {
    return results().evaluateAll((links) => links.map((a) => ({ title: a.textContent, href: a.href })));
  }

  test('every topic of its index leads to a section of the book, and every section is a topic', async () => {
    await page.goto(urlOf('search.html'));
    const index = await page.evaluate(() => window.HELP_INDEX.map((t) => t.url));
    const sections = [...topics].flatMap(([file, { sections }]) => sections.map((id) => `${file}#${id}`));
    assert.deepEqual([...index].sort(), [...sections].sort());
    assert.deepEqual(index.map((u) => brokenTarget(urlOf(u))).filter(Boolean), []);
  });

  for (const [word, expected] of [
    ['template', 'templates.html#save-as-template'],
    ['support', 'support-files.html#dialog'],
  ]) {
    test(`typing "${word}" lists the topics about it`, async () => {
      await page.goto(urlOf('search.html'));
      await box().pressSequentially(word);
      await results().first().waitFor();
      const found = await listed();
      assert.ok(found.some((t) => t.href === urlOf(expected)), `${expected} among ${found.map((t) => t.href).join(', ')}`);
      assert.ok(found.every((t) => !brokenTarget(t.href)));
      assert.match(await status().textContent(), new RegExp(`^${found.length} topics? found for “${word}”`));
    });
  }

  test('a listed topic opens its section', async () => {
    await page.goto(urlOf('search.html'));
    await box().fill('restvt');
    await results().first().click();
    // The question about the file outweighs the pages that mention it.
    await page.waitForURL(urlOf('faq.html#restvt'));
    assert.equal(await page.locator('#restvt:target').count(), 1);
  });

  for (const suffix of ['?q=template', '#q=template']) {
    test(`${suffix} in the address pre-fills the search`, async () => {
      await page.goto(urlOf(`search.html${suffix}`));
      assert.equal(await box().inputValue(), 'template');
      assert.ok((await listed()).some((t) => t.href.startsWith(urlOf('templates.html'))));
    });
  }

  test('nonsense finds no topics, and says so', async () => {
    await page.goto(urlOf('search.html?q=template'));
    await box().fill('qzxvjwk');
    assert.equal(await results().count(), 0);
    assert.match(await status().textContent(), /^No topics found for “qzxvjwk”/);
  });
});

test('the help book asks for nothing outside its folder', () => {
  assert.deepEqual(strays, []);
  assert.deepEqual(browser.offsite, []);
});
