// html-validate configurations for the generated pages.

// Proper HTML5 documents: the user's own pages with the widget pasted or
// inserted, the sample page, and each widget's three code parts placed in a
// minimal HTML5 document. Nothing is turned off.
export const strict = {
  extends: ['html-validate:recommended', 'html-validate:document'],
};

// Pages New Page writes around the widget. The host's fixed skeleton
// "<HTML>\r\n<HEAD>\r\n<TITLE>..</TITLE>..</HEAD>\r\n<BODY>..</BODY>\r\n</HTML>"
// breaks these rules by itself; the widget's own code is held to `strict`
// above, so nothing it emits escapes a check.
export const skeleton = {
  extends: ['html-validate:recommended', 'html-validate:document'],
  rules: {
    // The skeleton has no <!DOCTYPE>.
    'missing-doctype': 'off',
    // The skeleton's tags are uppercase; relaxed rather than off, so mixed
    // case and mismatched start and end tags are still errors.
    'element-case': ['error', { style: ['lowercase', 'uppercase'] }],
    // <HTML> has no lang attribute.
    'element-required-attributes': 'off',
    // html-validate matches parents and children by exact tag name, so the
    // uppercase <HTML>, <HEAD>, <TITLE> and <BODY> are taken for strangers:
    // "<HEAD> requires a <html> element as parent", "<HTML> must have <head>".
    'element-permitted-content': 'off',
    'element-permitted-parent': 'off',
    'element-required-content': 'off',
  },
};
