// Keyword search over the book's index. The index is a script
// (search-index.js, written at build time) because browsers refuse fetch()
// from file:// addresses, and the book is read straight from the disk.
(() => {
  const form = document.querySelector('.search-form');
  const input = document.getElementById('q');
  const status = document.getElementById('status');
  const results = document.getElementById('results');
  const topics = (window.HELP_INDEX || []).map((topic) => ({
    ...topic,
    titleKey: topic.title.toLowerCase(),
    textKey: topic.text.toLowerCase(),
  }));

  // Words as typed, lower case, with surrounding punctuation dropped but
  // inner dots kept, so ".tvt" and "file.htm" stay searchable.
  function termsOf(query) {
    return query
      .toLowerCase()
      .split(/\s+/)
      .map((word) => word.replace(/^[^\p{L}\p{N}.]+|[^\p{L}\p{N}]+$/gu, ''))
      .filter(Boolean);
  }

  // "templates" also finds "template".
  const variantsOf = (term) => (term.length > 3 && term.endsWith('s') ? [term, term.slice(0, -1)] : [term]);

  function occurrences(text, variant) {
    let count = 0;
    for (let at = text.indexOf(variant); at !== -1 && count < 5; at = text.indexOf(variant, at + variant.length)) ++count;
    return count;
  }

  // Every term must occur; a term in the title weighs more than in the text.
  function scoreOf(topic, terms) {
    let score = 0;
    for (const term of terms) {
      let best = 0;
      for (const variant of variantsOf(term)) {
        const inTitle = topic.titleKey.includes(variant) ? 10 : 0;
        best = Math.max(best, inTitle + occurrences(topic.textKey, variant));
      }
      if (best === 0) return 0;
      score += best;
    }
    return score;
  }

  function firstHit(topic, terms) {
    for (const variant of terms.flatMap(variantsOf)) {
      const at = topic.textKey.indexOf(variant);
      if (at !== -1) return at;
    }
    return 0;
  }

  // About two lines of text around the first hit, cut at blanks.
  function snippetOf(topic, terms) {
    const at = firstHit(topic, terms);
    const start = at < 60 ? 0 : topic.text.lastIndexOf(' ', at - 60) + 1;
    const end = topic.text.indexOf(' ', start + 180);
    const cut = end === -1 ? topic.text.slice(start) : `${topic.text.slice(start, end)} …`;
    return start > 0 ? `… ${cut}` : cut;
  }

  function show(query) {
    results.replaceChildren();
    const terms = termsOf(query);
    if (terms.length === 0) {
      status.textContent = 'Type a word to list the help topics about it.';
      return;
    }
    const found = topics
      .map((topic) => ({ topic, score: scoreOf(topic, terms) }))
      .filter((hit) => hit.score > 0)
      .sort((a, b) => b.score - a.score);
    const shown = query.trim();
    if (found.length === 0) {
      status.textContent = `No topics found for “${shown}”. Try another word, or browse the Help Topics.`;
      return;
    }
    status.textContent = `${found.length} ${found.length === 1 ? 'topic' : 'topics'} found for “${shown}”:`;
    for (const { topic } of found) {
      const item = document.createElement('li');
      const link = document.createElement('a');
      link.href = topic.url;
      link.textContent = topic.title;
      const where = document.createElement('span');
      where.className = 'where';
      where.textContent = ` (${topic.page})`;
      const snippet = document.createElement('p');
      snippet.textContent = snippetOf(topic, terms);
      item.append(link, where, snippet);
      results.append(item);
    }
  }

  // "?q=word" (the form's own address) or "#q=word" pre-fills the search.
  function queryFromAddress() {
    const fromSearch = new URLSearchParams(location.search).get('q');
    if (fromSearch !== null) return fromSearch;
    const fromHash = new URLSearchParams(location.hash.slice(1)).get('q');
    return fromHash ?? '';
  }

  function showAddressQuery() {
    input.value = queryFromAddress();
    show(input.value);
  }

  input.addEventListener('input', () => show(input.value));
  form.addEventListener('submit', (event) => {
    event.preventDefault();
    show(input.value);
  });
  window.addEventListener('hashchange', showAddressQuery);
  showAddressQuery();
})();
