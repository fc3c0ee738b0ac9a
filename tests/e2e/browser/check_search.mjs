// Opens the Modern pages that make_browser_page wrote in headless Chromium and checks the search
// box and the tabs as visitors use them: typing filters by every word, whatever the case and the
// accents, with the count said and the words marked; "/" and typing anywhere reach the box; Down,
// Up and Enter open the chosen match (Ctrl and Shift as on a link), Escape empties the box and
// then leaves it; the web search entry sends the page's search form; the tab bar works by
// keyboard, by the address and keeps the last tab; columns without a tab show on every tab and
// the search looks through every tab; without script everything shows and there is no box. axe-core
// finds nothing on every test page, light and dark, with the search open and with a tab chosen.
// Saves screenshots of the search and of the tabs.
// Usage: node check_search.mjs FOLDER (where the pages are; the screenshots go there too)
import { chromium } from 'playwright-core';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

const folder = resolve(process.argv[2]);
const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
const pageUrl = name => pathToFileURL(join(folder, name)).href;

let failures = 0;
function check(condition, what, detail = '') {
  console.log(`${condition ? 'ok  ' : 'FAIL'} ${what}${detail ? ` (${detail})` : ''}`);
  if (!condition) failures += 1;
}
const same = (a, b) => JSON.stringify(a) === JSON.stringify(b);

const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync'],
});
const desktop = { viewport: { width: 1280, height: 800 } };
const phone = { viewport: { width: 360, height: 740 }, hasTouch: true, isMobile: true };

// A context of its own (fresh local storage) whose requests to the web are caught: each is noted
// and answered with 204 No Content, so that a link or form sent leaves the page where it is
// unless the test lets it go.
async function visit(name, options = desktop, scheme = 'light') {
  const context = await browser.newContext(options);
  const sent = [];
  await context.route(/^https?:/, route => {
    sent.push(route.request().url());
    return route.fulfill({ status: 204 });
  });
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', error => errors.push(error.message));
  await page.emulateMedia({ colorScheme: scheme });
  await page.goto(pageUrl(name));
  const waitForRequest = async count => {
    for (let i = 0; i < 100 && sent.length < count; i += 1) await page.waitForTimeout(20);
  };
  return { context, page, sent, errors, waitForRequest };
}

// What the search shows: the box's text, the count said, the captions of the link items shown,
// the texts marked, the chosen entry, and whether the box has the focus.
const state = page => page.evaluate(() => {
  const box = document.querySelector('[role=search] input');
  const marks = CSS.highlights.get('q');
  return {
    value: box.value,
    count: document.querySelector('[role=search] [role=status]').textContent,
    shown: [...document.querySelectorAll('main li')].filter(l => l.checkVisibility())
      .map(l => l.querySelector('a')?.textContent ?? 'form'),
    // The marks in captions, in page order (a popup's text is marked too, but hidden).
    marked: marks ? [...marks].filter(r => r.startContainer.parentNode.closest('a') &&
                                           !r.startContainer.parentNode.closest('.tip'))
      .sort((a, b) => a.startContainer === b.startContainer ? a.startOffset - b.startOffset
        : a.startContainer.compareDocumentPosition(b.startContainer) & 4 ? -1 : 1)
      .map(r => r.startContainer.data.slice(r.startOffset, r.endOffset)) : [],
    chosen: document.querySelector('.sel')?.textContent ?? null,
    focused: document.activeElement === box,
  };
});
const typeFresh = async (page, text) => {
  await page.locator('[role=search] input').fill('');
  await page.locator('[role=search] input').focus();
  await page.keyboard.type(text);
};

// ---- filtering: every word, case and accents, count, marks ----
{
  const { context, page, sent, errors } = await visit('modern-tabs.html');
  check(await page.locator('[role=search] label').textContent() === 'Search links ',
        'the box is labelled "Search links"');
  await typeFresh(page, 'ar');
  let s = await state(page);
  check(s.count === '9 links match' && same(s.shown, ['Calendar', 'Issue board', 'Build status',
        'Chess club', 'Library', 'Poetry', 'Film archive', 'Dictionary', 'Maps']),
        'a word filters the items of every tab, forms hidden', `${s.count}: ${s.shown}`);
  check(s.chosen === 'Calendar', 'the first match is chosen at once', s.chosen);
  check(s.marked.length === 9 && s.marked.every(m => m.toLowerCase() === 'ar'),
        'the word is marked in the captions', JSON.stringify(s.marked));
  await typeFresh(page, 'CAFÉ LI');
  s = await state(page);
  check(same(s.shown, ['Café des livres']) && s.count === '1 link matches' &&
        same(s.marked, ['Café', 'li']), 'every word must match, case ignored', JSON.stringify(s));
  await typeFresh(page, 'cafe');
  check(same((await state(page)).marked, ['Café']), 'accents ignored: "cafe" marks "Café"');
  await typeFresh(page, 'about sudoku');
  check(same((await state(page)).shown, ['Sudoku']), 'the popup text is searched');
  await typeFresh(page, 'site13.example');
  check(same((await state(page)).shown, ['Café des livres']), 'the host is searched');
  await typeFresh(page, 'archive.example/9');
  check(same((await state(page)).shown, ['Chess club']), 'a further link\'s address is searched');
  await typeFresh(page, 'archive nature');
  check(same((await state(page)).shown, []), 'words of two items match neither');
  await typeFresh(page, 'zzz');
  s = await state(page);
  check(s.count === '0 links match' && s.shown.length === 0 &&
        await page.locator('section.col:visible').count() === 0,
        'no match: every group and column hidden', s.count);
  check(sent.length === 0, 'typing sends nothing', sent.join(' '));
  check(errors.length === 0, 'no script errors', errors.join(' '));
  await context.close();
}
{
  const { context, page, errors } = await visit('modern-awkward.html');
  await typeFresh(page, 'ecole OSTERREICH naive');
  let s = await state(page);
  check(same(s.shown, ['École Österreich naïve']) &&
        same(s.marked, ['École', 'Österreich', 'naïve']),
        'accents and case ignored for every word', JSON.stringify(s.marked));
  await typeFresh(page, 'empty.example/path');
  s = await state(page);
  check(same(s.shown, ['empty.example/path']), 'a caption-less link shows and finds its address',
        JSON.stringify(s.shown));
  check(errors.length === 0, 'no script errors on a page of empty groups and columns',
        errors.join(' '));
  await context.close();
}

// ---- focus: "/" and typing anywhere ----
{
  const { context, page } = await visit('modern-sample.html');
  await page.keyboard.type('q');
  let s = await state(page);
  check(s.focused && s.value === 'q' && same(s.shown, ['Quillomere']),
        'a letter typed while nothing has the focus goes into the box', JSON.stringify(s));
  await page.keyboard.press('Escape');
  await page.keyboard.press('Escape');
  check(!(await state(page)).focused, 'two Escapes leave the box');
  await page.keyboard.press('/');
  s = await state(page);
  check(s.focused && s.value === '', '"/" focuses the box and is not typed', JSON.stringify(s));
  const field = page.locator('input[name=q]');
  await field.focus();
  await page.keyboard.type('a/b');
  check(await field.inputValue() === 'a/b' && !(await state(page)).focused,
        '"/" and letters typed into a field stay in the field', await field.inputValue());
  await page.locator('a').first().focus();
  await page.keyboard.press('x');
  check(!(await state(page)).focused, 'a letter typed on a focused link does not move the focus');
  await page.keyboard.press('/');
  check((await state(page)).focused, '"/" on a focused link focuses the box');
  await context.close();
}

// ---- keys: Down, Up, Enter, Ctrl+Enter, Shift+Enter, Escape twice, the web search ----
{
  const { context, page, sent, waitForRequest } = await visit('modern-tabs.html');
  await page.evaluate(() => {
    window.clicks = [];
    document.addEventListener('click', e => window.clicks.push(
      [e.target.getAttribute('href') ?? e.target.textContent, e.ctrlKey, e.shiftKey]), true);
  });
  await typeFresh(page, 'ar');
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('ArrowUp');
  let s = await state(page);
  check(s.chosen === 'Issue board' && s.count === 'Issue board',
        'Down and Up move through the matches; the chosen one is said', JSON.stringify(s));
  await page.keyboard.press('ArrowUp');
  await page.keyboard.press('ArrowUp');
  s = await state(page);
  check(s.chosen === 'Search Web for "ar"', 'Up from the first goes to the last entry, the web search',
        s.chosen);
  await page.keyboard.press('ArrowDown');
  for (const [keys, what, ctrl, shift] of [['Control+Enter', 'a new tab', true, false],
                                           ['Shift+Enter', 'a new window', false, true]]) {
    const [opened] = await Promise.all([context.waitForEvent('page'), page.keyboard.press(keys)]);
    const clicks = await page.evaluate(() => window.clicks.splice(0));
    check(same(clicks, [['https://site1.example/1', ctrl, shift]]) && opened !== page &&
          page.url().startsWith('file:'), `${keys} opens the chosen link in ${what}`,
          JSON.stringify(clicks));
    await opened.close();
  }
  // Escape twice: everything back, then the focus leaves.
  await page.keyboard.press('Escape');
  s = await state(page);
  check(s.value === '' && s.count === '' && s.chosen === null && s.focused &&
        s.shown.length === await page.locator('main li:visible').count() && s.shown.length >= 12,
        'Escape empties the box and shows everything again', JSON.stringify(s).slice(0, 120));
  await page.keyboard.press('Escape');
  check(!(await state(page)).focused, 'a second Escape leaves the box');
  // Enter on the web search entry sends the search form with the words typed.
  await typeFresh(page, 'hello world');
  s = await state(page);
  check(s.chosen === 'Search Web for "hello world"' && s.count === '0 links match',
        'with no match the web search entry is chosen', s.chosen);
  await page.keyboard.press('Enter');
  await waitForRequest(1);
  check(same(sent, ['https://search.example/find?q=hello+world&source=start']),
        'Enter sends the search form with the typed text in its field', sent.join(' '));
  check(await page.locator('input[name=q]').inputValue() === '', 'the form\'s field keeps its own value');
  await typeFresh(page, 'poetry');
  await page.keyboard.press('ArrowUp');
  await page.keyboard.press('Enter');
  await waitForRequest(2);
  check(sent[1] === 'https://search.example/find?q=poetry&source=start',
        'Enter on the last entry sends the form even when links match', sent[1]);
  // Enter on a link follows it.
  await page.goto(pageUrl('modern-tabs.html'));
  await typeFresh(page, 'crosswords');
  const [request] = await Promise.all([page.waitForRequest(/site10/), page.keyboard.press('Enter')]);
  check(request.url() === 'https://site10.example/10', 'Enter opens the chosen link', request.url());
  await context.close();
}

// ---- tabs ----
const tabState = page => page.evaluate(() => ({
  selected: [...document.querySelectorAll('[role=tab]')].filter(t => t.ariaSelected === 'true')
    .map(t => t.textContent),
  stops: [...document.querySelectorAll('[role=tab]')].filter(t => t.tabIndex === 0).length,
  focus: document.activeElement.textContent,
  columns: [...document.querySelectorAll('section.col')].filter(c => c.checkVisibility())
    .map(c => c.querySelector('h2,h3').textContent),
  hash: decodeURIComponent(location.hash),
}));
{
  const { context, page, errors } = await visit('modern-tabs.html');
  let t = await tabState(page);
  check(same(t.selected, ['Work']) && same(t.columns, ['Every day', 'Projects', 'Reference', 'Search']),
        'the first tab opens first; columns without a tab show with it', JSON.stringify(t.columns));
  const wiring = await page.evaluate(() => [...document.querySelectorAll('[role=tab]')].map(tab =>
    tab.getAttribute('aria-controls').split(' ').map(id => {
      const panel = document.getElementById(id);
      return `${panel.getAttribute('role')}:${panel.getAttribute('aria-labelledby') === tab.id}`;
    }).join(' ')));
  check(same(wiring, ['tabpanel:true', 'tabpanel:true tabpanel:true', 'tabpanel:true']),
        'each tab controls its panels, which it labels', JSON.stringify(wiring));
  // The box, then the bar is one Tab stop, then the page.
  await page.locator('[role=search] input').focus();
  await page.keyboard.press('Tab');
  t = await tabState(page);
  check(t.focus === 'Work' && t.stops === 1, 'Tab reaches the chosen tab, the bar being one stop');
  const keys = [['ArrowRight', 'Play & fun', ['Every day', 'Games', 'Videos', 'Search']],
                ['ArrowRight', 'Reading', ['Every day', 'Books', 'Search']],
                ['ArrowRight', 'Work'], ['ArrowLeft', 'Reading'], ['Home', 'Work'],
                ['End', 'Reading']];
  for (const [key, name, columns] of keys) {
    await page.keyboard.press(key);
    t = await tabState(page);
    check(same(t.selected, [name]) && t.focus === name && t.stops === 1 && t.hash === `#${name}` &&
          (!columns || same(t.columns, columns)),
          `${key} chooses and focuses ${name}, in the address${columns ? ', with its columns' : ''}`,
          JSON.stringify(t));
  }
  await page.keyboard.press('Tab');
  check(await page.evaluate(() => document.activeElement.textContent) === 'Mail',
        'Tab from the bar goes on to the first link');
  // A click, and the address.
  await page.locator('[role=tab]', { hasText: 'Play' }).click();
  check(same((await tabState(page)).selected, ['Play & fun']), 'a click chooses a tab');
  await page.evaluate(() => { location.hash = '#Work'; });
  await page.waitForFunction(() => document.querySelector('[aria-selected=true]').textContent === 'Work');
  check(true, 'a changed address chooses its tab');
  // The last tab is kept: a visit without a tab in the address opens it.
  await page.locator('[role=tab]', { hasText: 'Reading' }).click();
  await page.goto(pageUrl('modern-tabs.html'));
  check(same((await tabState(page)).selected, ['Reading']), 'the page opens the last tab used');
  await page.goto(pageUrl('modern-tabs.html') + '#Play%20%26%20fun');
  check(same((await tabState(page)).selected, ['Play & fun']), 'the address\'s tab comes first');
  await page.goto(pageUrl('modern-tabs.html') + '#No%20such%20tab');
  check(same((await tabState(page)).selected, ['Play & fun']),
        'an address naming no tab opens the last one');
  // The search looks through every tab and names the other tabs.
  await typeFresh(page, 'o');
  const labels = await page.evaluate(() => Object.fromEntries([...document.querySelectorAll('main li')]
    .filter(l => l.checkVisibility()).map(l => [l.querySelector('a').textContent,
      getComputedStyle(l, '::after').content])));
  check(labels['Poetry'] === '"Reading"' && labels['Issue board'] === '"Work"' &&
        labels['Concerts'] === 'none' && labels['Dictionary'] === 'none',
        'a match from another tab shows that tab\'s name beside it', JSON.stringify(labels));
  await page.keyboard.press('Escape');
  check(same((await tabState(page)).columns, ['Every day', 'Games', 'Videos', 'Search']),
        'after the search the chosen tab shows again');
  check(errors.length === 0, 'no script errors', errors.join(' '));
  await context.close();
}

// ---- without script ----
{
  const context = await browser.newContext({ ...desktop, javaScriptEnabled: false });
  const page = await context.newPage();
  for (const name of ['modern-tabs.html', 'modern-sample.html']) {
    await page.goto(pageUrl(name));
    const seen = await page.evaluate(() => ({
      box: document.querySelectorAll('input[type=search]').length,
      bar: [...document.querySelectorAll('[role=tablist]')].some(b => b.checkVisibility()),
      columns: [...document.querySelectorAll('section.col')].every(c => c.checkVisibility()),
      tabHeadings: [...document.querySelectorAll('.tab > h2')].filter(h => h.checkVisibility())
        .map(h => h.textContent),
    }));
    check(seen.box === 0 && !seen.bar && seen.columns, `script off: ${name} shows every column and ` +
          'no box or tab bar', JSON.stringify(seen));
    if (name === 'modern-tabs.html') {
      check(same(seen.tabHeadings, ['Work', 'Play & fun', 'Reading', 'Play & fun']),
            'script off: each tab\'s name is a heading above its columns', JSON.stringify(seen));
    }
  }
  await context.close();
}

// ---- axe-core: every test page, light and dark, search open, tab chosen ----
const tags = ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'best-practice'];
async function axe(page) {
  await page.addScriptTag({ content: axeSource });
  const result = await page.evaluate(values =>
    window.axe.run(document, { runOnly: { type: 'tag', values } }), tags);
  return result.violations;
}
const describe = violations => violations.map(v => `${v.id} [${v.impact}] x${v.nodes.length}: ` +
  v.nodes.slice(0, 2).map(n => n.target).join(' ')).join(', ');
// check_modern.mjs runs axe on the sample and the large page as they open; here every page with
// a word typed (the matches marked, one chosen), in both schemes, the pages of no other check
// also as they open, and the tabs page with a tab chosen.
const axePages = [['modern-sample.html', 'e', false], ['modern-large.html', 'link 1', false],
                  ['modern-bookmarks.html', 'work', true], ['modern-icons.html', 'png', false],
                  ['modern-awkward.html', 'a', true], ['modern-tabs.html', 'ar', true]];
for (const scheme of ['light', 'dark']) {
  const { context, page } = await visit('modern-sample.html', desktop, scheme);
  for (const [name, word, opened] of axePages) {
    await page.goto(pageUrl(name));
    let violations;
    if (opened) {
      violations = await axe(page);
      check(violations.length === 0, `axe: ${name} in ${scheme}`, describe(violations) || 'none');
    }
    if (name === 'modern-tabs.html') {
      await page.locator('[role=tab]', { hasText: 'Reading' }).click();
      violations = await axe(page);
      check(violations.length === 0, `axe: ${name} in ${scheme} with a tab chosen`,
            describe(violations) || 'none');
    }
    await typeFresh(page, word);
    violations = await axe(page);
    check(violations.length === 0, `axe: ${name} in ${scheme} with "${word}" searched`,
          describe(violations) || 'none');
  }
  await context.close();
}

// ---- the awkward project: nothing without a name, no skipped heading level ----
{
  const { context, page } = await visit('modern-awkward.html', phone);
  const seen = await page.evaluate(() => ({
    nameless: [...document.querySelectorAll('a')].filter(a => a.checkVisibility() &&
      a.textContent.trim() === '').length,
    levels: [...document.querySelectorAll('h1,h2,h3,h4,h5,h6')].filter(h => h.checkVisibility({
      visibilityProperty: true }) || h.classList.contains('vh')).map(h => +h.tagName[1]),
    echo: [...document.querySelectorAll('h3.vh')].map(h => h.textContent),
    wide: document.documentElement.scrollWidth,
  }));
  const skips = seen.levels.filter((level, i) => i > 0 && level > seen.levels[i - 1] + 1);
  check(seen.nameless === 0, 'every link shows text, a caption-less one its address');
  check(seen.levels[0] === 1 && skips.length === 0, 'headings start at 1 and skip no level',
        JSON.stringify(seen.levels));
  check(same(seen.echo, ['Work']), 'a group captioned as its column is not shown twice',
        JSON.stringify(seen.echo));
  check(seen.wide <= 360, '360 px: 5,000-character captions stay inside the window', `${seen.wide}`);
  await context.close();
}

// ---- screenshots, looked at by a person ----
{
  const { context, page } = await visit('modern-sample.html');
  await typeFresh(page, 'quillo');
  await page.screenshot({ path: join(folder, 'screenshot-search-sample-1280-light.png') });
  await context.close();
  const large = await visit('modern-10k.html');
  await typeFresh(large.page, 'number 42');
  await large.page.screenshot({ path: join(folder, 'screenshot-search-10k-1280-light.png') });
  await large.context.close();
  for (const [size, options] of [['1280', desktop], ['360', phone]]) {
    for (const scheme of ['light', 'dark']) {
      const { context: tabs, page: shown } = await visit('modern-tabs.html', options, scheme);
      await shown.locator('[role=tab]', { hasText: 'Play' }).click();
      await shown.screenshot({ path: join(folder, `screenshot-tabs-${size}-${scheme}.png`) });
      await tabs.close();
    }
  }
}

await browser.close();
console.log(failures ? `${failures} check(s) failed` : 'all search and tab checks passed');
process.exit(failures ? 1 : 0);
