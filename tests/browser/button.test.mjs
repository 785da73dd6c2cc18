// The button as a visitor meets it: size, states, focus ring, links, two
// widgets side by side, reduced motion.
import { describe, test } from 'node:test';
import assert from 'node:assert/strict';

import {
  configuredPaint,
  glimmerTransform,
  lookOf,
  openPage,
  pageById,
  pages,
  paintOf,
  runningAnimations,
  sleep,
  tabTo,
  useServerAndBrowser,
  widgetLocator,
  widgetPages,
} from './harness.mjs';

const shared = useServerAndBrowser();

// Runs `body` on a fresh tab of `page`, closing the tab whatever happens.
async function onPage(page, body, options) {
  const opened = await openPage(shared.browser.context, shared.server.urlOf(page), options);
  try {
    return await body(opened.page, opened.seen);
  } finally {
    await opened.page.close();
  }
}

// Links are compared decoded: the server writes %3e where the URL parser
// would write %3E, which is the same address.
// An empty fragment ("#") counts: following "#" is a navigation too.
function sameAddress(a, b) {
  const decode = (u) => decodeURIComponent(new URL(u).href);
  return decode(a) === decode(b);
}

describe('the button shows at its configured size', () => {
  for (const page of pages) {
    for (const widget of page.widgets) {
      test(`${page.id}: ${widget.name} is ${widget.width}x${widget.height}`, () =>
        onPage(page, async (tab) => {
          const button = widgetLocator(tab, widget);
          assert.ok(await button.isVisible(), 'the button is visible');
          assert.match(await button.getAttribute('class'), new RegExp(`\\bgk-${widget.key}\\b`));
          const box = await button.boundingBox();
          assert.ok(Math.abs(box.width - widget.width) < 0.5, `width ${box.width}, configured ${widget.width}`);
          assert.ok(Math.abs(box.height - widget.height) < 0.5, `height ${box.height}, configured ${widget.height}`);
          if (widget.caption) assert.equal(await button.innerText(), widget.caption);
          // Nothing drawn over the button (the glimmer band included) takes the pointer.
          const onTop = await button.evaluate((el) => {
            const r = el.getBoundingClientRect();
            return el.contains(document.elementFromPoint(r.x + r.width / 2, r.y + r.height / 2));
          });
          assert.ok(onTop, 'the button itself is hit at its centre');
        }));
    }
  }
});

describe("the caption keeps the button's typography whatever the page's CSS", () => {
  const inherited = ['color', 'fontFamily', 'fontSize', 'fontWeight', 'fontStyle', 'lineHeight', 'letterSpacing', 'wordSpacing', 'textTransform'];
  for (const page of widgetPages.filter((p) => p.widgets[0].caption)) {
    test(page.id, () =>
      onPage(page, async (tab) => {
        const differences = await widgetLocator(tab, page.widgets[0]).evaluate((el, props) => {
          const button = getComputedStyle(el);
          const caption = getComputedStyle(el.querySelector('span'));
          return props.filter((p) => button[p] !== caption[p]).map((p) => `${p}: button ${button[p]}, caption ${caption[p]}`);
        }, inherited);
        assert.deepEqual(differences, []);
      }));
  }
});

describe('hover, press and keyboard focus change the look as configured', () => {
  for (const page of widgetPages) {
    const [widget] = page.widgets;
    test(`${page.id}: hover and press`, () =>
      onPage(page, async (tab) => {
        const button = widgetLocator(tab, widget);
        const normal = paintOf(await lookOf(button));
        assert.deepEqual(normal, configuredPaint(widget, 'normal'), 'normal look');

        await button.hover();
        const hover = paintOf(await lookOf(button));
        assert.deepEqual(hover, configuredPaint(widget, 'hover'), 'hover look');
        assert.notDeepEqual(hover, normal, 'hover changes the look');

        await tab.mouse.down();
        const pressed = paintOf(await lookOf(button));
        // Released away from the button, so the press is no click.
        await tab.mouse.move(1, 1);
        await tab.mouse.up();
        assert.deepEqual(pressed, configuredPaint(widget, 'pressed'), 'pressed look');
        assert.notDeepEqual(pressed, normal, 'pressing changes the look');
      }));

    test(`${page.id}: keyboard focus shows the focus look and a visible ring`, () =>
      onPage(page, async (tab) => {
        const button = widgetLocator(tab, widget);
        const box = await button.boundingBox();
        // A strip just left of the button: only a ring drawn outside the box changes it.
        const strip = { x: box.x - 6, y: box.y, width: 6, height: box.height };
        assert.ok(strip.x >= 0, 'the button leaves room for its ring');
        await tab.mouse.move(1, 1);
        const unfocused = await tab.screenshot({ clip: strip });
        const normal = await lookOf(button);

        await tabTo(tab, button);
        const focused = await lookOf(button);
        assert.deepEqual(paintOf(focused), configuredPaint(widget, 'focus'), 'focus look');
        assert.notDeepEqual(focused, normal, 'focus changes the look');
        assert.notEqual(focused.outlineStyle, 'none', 'a focus outline is drawn');
        assert.ok(parseFloat(focused.outlineWidth) >= 2, `outline width ${focused.outlineWidth}`);
        const ringed = await tab.screenshot({ clip: strip });
        assert.ok(!unfocused.equals(ringed), 'the ring shows beside the button');
      }));
  }
});

describe('a link widget follows its link; a plain button stays', () => {
  for (const page of widgetPages) {
    const [widget] = page.widgets;
    if (!widget.linkUrl) {
      test(`${page.id}: click, Enter and Space on a plain button go nowhere`, () =>
        onPage(page, async (tab, seen) => {
          const button = widgetLocator(tab, widget);
          const url = tab.url();
          const requests = shared.server.log.length;
          await button.click();
          await tabTo(tab, button);
          await tab.keyboard.press('Enter');
          await tab.keyboard.press('Space');
          // Longer than the delay the runtime gives a click sound before leaving.
          await sleep(600);
          assert.equal(tab.url(), url);
          assert.deepEqual(seen.navigations, [url]);
          assert.deepEqual(shared.server.log.slice(requests), [], 'no request after the clicks');
        }));
      continue;
    }

    const target = () => new URL(widget.linkUrl, shared.server.urlOf(page)).href;
    const scheme = new URL(widget.linkUrl, 'http://127.0.0.1/').protocol;
    if (scheme === 'mailto:') {
      // Following it would start a mail program on this machine.
      test(`${page.id}: the mail link carries its address`, () =>
        onPage(page, async (tab) => {
          assert.equal(await widgetLocator(tab, widget).evaluate((el) => el.href), widget.linkUrl);
        }));
      continue;
    }
    if (widget.linkTarget === '_blank') {
      test(`${page.id}: a click opens the link in a new tab without a way back to the opener`, () =>
        onPage(page, async (tab) => {
          const [popup] = await Promise.all([shared.browser.context.waitForEvent('page'), widgetLocator(tab, widget).click()]);
          try {
            await popup.waitForLoadState();
            assert.ok(sameAddress(popup.url(), target()), `${popup.url()} is ${target()}`);
            assert.equal(await popup.evaluate(() => window.opener), null);
          } finally {
            await popup.close();
          }
        }));
      continue;
    }

    const follows = async (tab, act) => {
      const requests = shared.server.log.length;
      await Promise.all([tab.waitForURL((url) => sameAddress(url.href, target()), { timeout: 5000 }), act()]);
      const expected = new URL(target());
      const leavesPage = expected.pathname !== new URL(shared.server.urlOf(page)).pathname;
      if (leavesPage)
        assert.ok(
          shared.server.log.slice(requests).some((r) => r.path === expected.pathname && r.status === 200),
          `the server was asked for ${expected.pathname}`,
        );
    };
    test(`${page.id}: a click follows the link`, () =>
      onPage(page, (tab) => follows(tab, () => widgetLocator(tab, widget).click())));
    test(`${page.id}: Enter follows the link`, () =>
      onPage(page, async (tab) => {
        const button = widgetLocator(tab, widget);
        await tabTo(tab, button);
        await follows(tab, () => tab.keyboard.press('Enter'));
      }));
  }
});

describe('two widgets on one page keep their own looks', () => {
  const page = pageById('two');
  const [first, second] = page.widgets;

  test('each shows its own size and colours', () =>
    onPage(page, async (tab) => {
      assert.notDeepEqual(configuredPaint(first, 'normal'), configuredPaint(second, 'normal'), 'the page needs two looks');
      for (const widget of page.widgets) {
        const button = widgetLocator(tab, widget);
        const box = await button.boundingBox();
        assert.deepEqual([Math.round(box.width), Math.round(box.height)], [widget.width, widget.height], widget.name);
        assert.deepEqual(paintOf(await lookOf(button)), configuredPaint(widget, 'normal'), widget.name);
      }
    }));

  for (const [hovered, other] of [
    [first, second],
    [second, first],
  ]) {
    test(`hovering ${hovered.name} leaves ${other.name} alone`, () =>
      onPage(page, async (tab) => {
        await widgetLocator(tab, hovered).hover();
        assert.deepEqual(paintOf(await lookOf(widgetLocator(tab, hovered))), configuredPaint(hovered, 'hover'));
        assert.deepEqual(paintOf(await lookOf(widgetLocator(tab, other))), configuredPaint(other, 'normal'));
      }));
  }
});

describe('the glimmer moves only when motion is welcome', () => {
  for (const page of widgetPages) {
    const [widget] = page.widgets;
    // Brings about every state in which the glimmer would run.
    const provoke = async (tab, button) => {
      await tabTo(tab, button);
      await button.hover();
    };

    if (!widget.glimmer.enabled) {
      test(`${page.id}: without a glimmer nothing moves`, () =>
        onPage(page, async (tab) => {
          const button = widgetLocator(tab, widget);
          await provoke(tab, button);
          assert.deepEqual(await runningAnimations(button), []);
        }));
      continue;
    }

    test(`${page.id}: the glimmer runs (${widget.glimmer.trigger})`, () =>
      onPage(page, async (tab) => {
        const button = widgetLocator(tab, widget);
        await tab.mouse.move(1, 1);
        if (widget.glimmer.trigger === 'always') assert.notDeepEqual(await runningAnimations(button), []);
        else assert.deepEqual(await runningAnimations(button), [], 'a hover glimmer rests until hovered');
        await provoke(tab, button);
        assert.notDeepEqual(await runningAnimations(button), []);
        const before = await glimmerTransform(button);
        await sleep(250);
        assert.notEqual(await glimmerTransform(button), before, 'the band moves');
      }));

    test(`${page.id}: with reduced motion the glimmer stays still`, () =>
      onPage(
        page,
        async (tab) => {
          const button = widgetLocator(tab, widget);
          await provoke(tab, button);
          assert.deepEqual(await runningAnimations(button), []);
          const before = await glimmerTransform(button);
          await sleep(300);
          assert.equal(await glimmerTransform(button), before);
        },
        { reducedMotion: 'reduce' },
      ));
  }
});
