// axe-core run inside a loaded page, shared by the tests that need it.
import axe from 'axe-core';

// New Page writes a fixed skeleton the widget cannot change:
// "<HTML><HEAD><TITLE>title</TITLE>...</HEAD><BODY>widget</BODY></HTML>".
// On those pages, and only there, these findings are accepted, and only where
// they point at the skeleton itself: the <html> element, or the widget as a
// direct child of <BODY>. Every other page is held to all rules.
export const skeletonFindings = {
  // The skeleton's <HTML> has no lang attribute and no place for one.
  'html-has-lang': 'document',
  // The skeleton's <BODY> holds the widget directly, with no <main> around it.
  'landmark-one-main': 'document',
  // The skeleton has no heading; the page holds only the widget.
  'page-has-heading-one': 'document',
  // Best-practice rule: content belongs in landmarks, and the skeleton has none.
  region: 'body child',
};

// The violations axe finds in an open page, less the accepted ones, each
// as a readable text.
export async function axeViolations(page, accepted = {}) {
  await page.addScriptTag({ content: axe.source });
  return page.evaluate(async (accepted) => {
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
}
