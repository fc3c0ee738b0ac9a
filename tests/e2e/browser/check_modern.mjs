// Opens the Modern pages that make_browser_page wrote in headless Chromium and checks what
// visitors meet: axe-core finds nothing (WCAG 2.0/2.1 A and AA, best practices) in light and
// dark; Tab reaches every link and visible form control in reading order; a popup shows on focus,
// hover and tap, hides with Escape and stays inside the window; a form sent untouched sends what
// the Classic page sends, with script on and off, and with script on a field's value shows as its
// hint; it all works with script off. Prints axe's figures for the Classic pages, the first
// paint and scrolling of a 10,000-link page, and saves screenshots.
// Usage: node check_modern.mjs FOLDER (where the pages are; the screenshots go there too)
import { chromium } from 'playwright-core';
import { readFileSync, statSync } from 'node:fs';
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
function note(what) {
  console.log(`note ${what}`);
}

const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync'],
});
const desktop = { viewport: { width: 1280, height: 800 } };
const phone = { viewport: { width: 360, height: 740 }, hasTouch: true, isMobile: true };

// Contexts are slow to make: one for a desktop window and one for a phone, their pages reused.
const contexts = new Map();
async function open(name, options = desktop, scheme = 'light') {
  if (!contexts.has(options)) {
    const context = await browser.newContext(options);
    contexts.set(options, { context, page: await context.newPage() });
  }
  const { page } = contexts.get(options);
  await page.emulateMedia({ colorScheme: scheme, media: 'screen' });
  await page.goto(pageUrl(name));
  return { context: { close: async () => {} }, page };
}

// ---- axe-core ----

const tags = ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'best-practice'];
async function axe(name, scheme) {
  const { context, page } = await open(name, desktop, scheme);
  await page.addScriptTag({ content: axeSource });
  const result = await page.evaluate(
    values => window.axe.run(document, { runOnly: { type: 'tag', values } }), tags);
  await context.close();
  return result.violations;
}
function describe(violations) {
  return violations.map(v => `${v.id} [${v.impact}] x${v.nodes.length}`).join(', ');
}
for (const name of ['modern-sample.html', 'modern-large.html']) {
  for (const scheme of ['light', 'dark']) {
    const violations = await axe(name, scheme);
    check(violations.length === 0, `axe: no violations on ${name} in ${scheme}`,
          describe(violations) || 'none');
    for (const v of violations)
      for (const node of v.nodes.slice(0, 3)) console.log(`     ${v.id}: ${node.target} ${node.failureSummary}`);
  }
}
for (const name of ['classic-sample.html', 'classic-large.html']) {
  const violations = await axe(name, 'light');
  const elements = violations.reduce((sum, v) => sum + v.nodes.length, 0);
  note(`axe on Classic ${name}: ${violations.length} kinds of violation, ${elements} elements: ` +
       describe(violations));
}

// ---- structure ----
{
  const { context, page } = await open('modern-sample.html');
  const outline = await page.evaluate(() => ({
    lang: document.documentElement.lang,
    h1: [...document.querySelectorAll('header h1')].map(h => h.textContent),
    h2: [...document.querySelectorAll('main > section > h2')].map(h => h.textContent),
    h3: [...document.querySelectorAll('main section section h3')].map(h => h.textContent),
    requests: performance.getEntriesByType('resource').length,
  }));
  check(outline.lang === 'en', 'html lang', outline.lang);
  check(JSON.stringify(outline.h1) === '["New project"]', 'title as h1 in the header');
  check(JSON.stringify(outline.h2) === '["New Column","Another column"]', 'columns as h2',
        JSON.stringify(outline.h2));
  check(JSON.stringify(outline.h3) === '["Search","Example group"]', 'groups as h3');
  check(outline.requests === 0, 'no request beyond the file', `${outline.requests}`);
  await context.close();
}

// ---- keyboard: Tab order ----

// Marks the elements Tab should reach, in document order (the page's reading order: column by
// column, top to bottom), and returns how many.
async function markTabStops(page) {
  return page.evaluate(() => {
    const stops = [...document.querySelectorAll('a[href], input, select, button')].filter(e =>
      !e.closest('.tip') && e.getAttribute('tabindex') !== '-1' && e.type !== 'hidden' &&
      !e.hidden);
    stops.forEach((e, i) => e.setAttribute('data-stop', String(i)));
    return stops.length;
  });
}
async function tabOrder(page, count) {
  await page.evaluate(() => {
    window.tabSeen = [];
    document.addEventListener('focusin', e => window.tabSeen.push(e.target.getAttribute('data-stop')));
  });
  for (let i = 0; i < count; i += 1) await page.keyboard.press('Tab');
  return page.evaluate(() => window.tabSeen);
}
for (const [name, options] of [['modern-large.html', desktop], ['modern-sample.html', phone]]) {
  const { context, page } = await open(name, options);
  const count = await markTabStops(page);
  const seen = await tabOrder(page, count);
  const expected = [...Array(count).keys()].map(String);
  const wrong = seen.findIndex((s, i) => s !== expected[i]);
  check(wrong === -1, `Tab reaches all ${count} links and controls of ${name} in reading order`,
        wrong === -1 ? '' : `stop ${wrong} was ${seen[wrong]}`);
  await context.close();
}

// ---- popups ----

async function tipVisible(page, link) {
  return link.evaluate(a => {
    const tip = a.closest('.pop').querySelector('.tip');
    return getComputedStyle(tip).display !== 'none';
  });
}
async function tipBox(page, link) {
  return link.evaluate(a => {
    const r = a.closest('.pop').querySelector('.tip').getBoundingClientRect();
    return { left: r.left, top: r.top, right: r.right, bottom: r.bottom };
  });
}

for (const [label, options] of [['1280x800', desktop], ['360x740', phone]]) {
  const { context, page } = await open('modern-large.html', options);
  const links = page.locator('.pop > a:first-child');
  const count = await links.count();
  // The first and last popup link of the first and last column, each scrolled to the top and to
  // the bottom of the window.
  const columns = await page.evaluate(() => document.querySelectorAll('section.col').length);
  const firstColumn = page.locator('section.col').first().locator('.pop > a:first-child');
  const lastColumn = page.locator('section.col').nth(columns - 1).locator('.pop > a:first-child');
  const corners = [['top-left', firstColumn.first()], ['bottom-left', firstColumn.last()],
                   ['top-right', lastColumn.first()], ['bottom-right', lastColumn.last()]];
  const frame = () => page.evaluate(() => new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r))));
  const inside = (box, view) => box.left >= 0 && box.top >= 0 && box.right <= view.width &&
                                box.bottom <= view.height;
  for (const [corner, link] of corners) {
    for (const edge of ['top', 'bottom']) {
      // Scrolled there, then focused.
      await link.evaluate((a, atBottom) => {
        document.activeElement?.blur();
        const item = a.closest('li').getBoundingClientRect();
        window.scrollBy(0, atBottom ? item.bottom - innerHeight : item.top);
      }, edge === 'bottom');
      await frame();
      await link.evaluate(a => a.focus({ preventScroll: true }));
      let box = await tipBox(page, link);
      check(await tipVisible(page, link) && inside(box, options.viewport),
            `${label}: ${corner} popup, item at the window's ${edge}: shown on focus and inside ` +
            'the window', JSON.stringify(box));
      // Focused, then scrolled to the other edge.
      await link.evaluate((a, atBottom) => {
        const item = a.closest('li').getBoundingClientRect();
        window.scrollBy(0, atBottom ? item.bottom - innerHeight : item.top);
      }, edge !== 'bottom');
      await frame();
      box = await tipBox(page, link);
      check(inside(box, options.viewport), `${label}: ${corner} popup stays inside the window ` +
            `when the page scrolls its item to the ${edge === 'bottom' ? 'top' : 'bottom'}`,
            JSON.stringify(box));
    }
  }
  // Escape hides the popup of the focused link; focus elsewhere and back shows it again.
  const first = links.first();
  await first.focus();
  check(await tipVisible(page, first), `${label}: focusing a link shows its popup`);
  await page.keyboard.press('Escape');
  check(!(await tipVisible(page, first)), `${label}: Escape hides it`);
  await page.keyboard.press('Tab');
  await page.keyboard.press('Shift+Tab');
  check(await tipVisible(page, first), `${label}: focusing it again shows it again`);
  const described = await first.evaluate(a =>
    document.getElementById(a.getAttribute('aria-describedby'))?.classList.contains('tip'));
  check(described, `${label}: the link is described by its popup`);
  await page.keyboard.press('Escape');
  check(count > 0, `${label}: ${count} popups on the page`);
  await context.close();
}
{
  // Hover, and a tap on the popup's button on a touch screen.
  const { context, page } = await open('modern-bookmarks.html');
  const link = page.locator('.pop > a:first-child').first();
  check(!(await tipVisible(page, link)), 'popup hidden at first');
  await link.hover();
  check(await tipVisible(page, link), 'hovering a link shows its popup');
  await page.keyboard.press('Escape');
  check(!(await tipVisible(page, link)), 'Escape hides a hovered popup');
  await page.mouse.move(1, 1);
  await link.hover();
  check(await tipVisible(page, link), 'hovering again shows it again');
  await page.screenshot({ path: join(folder, 'screenshot-modern-popup-1280-light.png') });
  await context.close();

  const touch = await open('modern-bookmarks.html', phone);
  const tapped = touch.page.locator('.pop > a:first-child').first();
  const button = touch.page.locator('.pop button').first();
  await button.tap();
  check(await tipVisible(touch.page, tapped), 'tapping the popup button shows the popup');
  check(await button.getAttribute('aria-expanded') === 'true', 'the button says it is expanded');
  const box = await tipBox(touch.page, tapped);
  check(box.left >= 0 && box.right <= 360, 'the tapped popup fits the phone\'s width',
        JSON.stringify(box));
  await touch.page.screenshot({ path: join(folder, 'screenshot-modern-popup-360-light.png') });
  await touch.page.locator('h1').tap();
  check(!(await tipVisible(touch.page, tapped)), 'tapping elsewhere hides it');
  await touch.context.close();
}
{
  // Script off: hover and focus still show popups.
  const context = await browser.newContext({ ...desktop, javaScriptEnabled: false });
  const page = await context.newPage();
  await page.goto(pageUrl('modern-large.html'));
  const link = page.locator('.pop > a:first-child').nth(3);
  await link.hover();
  check(await tipVisible(page, link), 'script off: hover shows a popup');
  await page.mouse.move(1, 1);
  await link.focus();
  check(await tipVisible(page, link), 'script off: focus shows a popup');
  await context.close();
}

// ---- forms ----
{
  const forms = async name => {
    const { context, page } = await open(name);
    const result = await page.evaluate(() => [...document.forms].map(form => ({
      labelled: [...form.querySelectorAll('input, select')].filter(e =>
        e.type !== 'hidden' && !e.hidden).every(e =>
        e.labels.length === 1 && e.labels[0].textContent.trim() !== '' &&
        e.labels[0].getBoundingClientRect().height > 0),
      hiddenShown: [...form.querySelectorAll('input[type=hidden], select[hidden]')].some(e =>
        e.getBoundingClientRect().height > 0),
      submit: form.querySelectorAll('button[type=submit]').length,
    })));
    await context.close();
    return result;
  };
  const modern = await forms('modern-large.html');
  check(modern.length > 0 && modern.every(f => f.labelled), 'every visible field has a visible label');
  check(modern.every(f => !f.hiddenShown), 'hidden fields stay hidden');
  check(modern.every(f => f.submit === 1), 'every form has a submit button');
}

// Opens a page whose requests to the web are caught: each is noted and answered with 204 No
// Content, so that a sent form leaves the page where it is.
async function catching(name, javaScriptEnabled = true) {
  const context = await browser.newContext({ ...desktop, javaScriptEnabled });
  const page = await context.newPage();
  const sent = [];
  await page.route(/^https?:/, route => {
    const request = route.request();
    sent.push(`${request.method()} ${request.url()} ${request.postData() ?? ''}`);
    return route.fulfill({ status: 204 });
  });
  await page.goto(pageUrl(name));
  const waitForRequest = async count => {
    for (let i = 0; i < 100 && sent.length < count; i += 1) await page.waitForTimeout(20);
  };
  return { context, page, sent, waitForRequest };
}
// Sends every form of a page untouched, one after the other, and returns what each sent: the
// Modern page's forms by a click on their button, the Classic page's (which have no button) as
// Enter in a field would.
async function sendUntouched(name, javaScriptEnabled = true) {
  const { context, page, sent, waitForRequest } = await catching(name, javaScriptEnabled);
  const count = await page.evaluate(() => document.forms.length);
  for (let i = 0; i < count; i += 1) {
    const form = page.locator('form').nth(i);
    if (name.startsWith('modern')) {
      await form.locator('button[type=submit]').click();
    } else {
      await form.evaluate(f => f.requestSubmit());
    }
    await waitForRequest(i + 1);
  }
  await context.close();
  return sent;
}
// The visible text inputs as [name, value, placeholder].
const textInputs = page => page.evaluate(() =>
  [...document.querySelectorAll('input:not([type=hidden]):not([type=search])')].map(e => [e.name, e.value, e.placeholder]));

for (const which of ['sample', 'large']) {
  const classic = await sendUntouched(`classic-${which}.html`);
  for (const script of [true, false]) {
    const modern = await sendUntouched(`modern-${which}.html`, script);
    const wrong = modern.findIndex((m, i) => m !== classic[i]);
    check(classic.length > 0 && modern.length === classic.length && wrong === -1,
          `script ${script ? 'on' : 'off'}: every form of modern-${which}.html sent untouched ` +
          'sends what the Classic page sends',
          wrong === -1 ? `${modern.length} forms` : `${modern[wrong]} against ${classic[wrong]}`);
  }
}
{
  const classic = await catching('classic-large.html');
  const values = await textInputs(classic.page);
  await classic.context.close();
  const withHint = values.filter(([, value]) => value !== '');
  for (const script of [true, false]) {
    const { context, page } = await catching('modern-large.html', script);
    const modern = await textInputs(page);
    const expected = script ? values.map(([name, value]) => [name, '', value])
                            : values.map(([name, value]) => [name, value, '']);
    check(withHint.length > 0 && JSON.stringify(modern) === JSON.stringify(expected),
          script ? `script on: ${withHint.length} fields show their value as a hint in an empty box`
                 : 'script off: fields show their value as text',
          JSON.stringify(modern.slice(0, 4)));
    await context.close();
  }
  // Typing replaces the hint; what was typed is sent; afterwards the hint is back.
  const { context, page, sent, waitForRequest } = await catching('modern-large.html');
  const field = page.locator('input[name=q]').first();
  await field.click();
  await page.keyboard.type('typed words');
  check(await field.inputValue() === 'typed words', 'typing into a field with a hint replaces it',
        await field.inputValue());
  await page.keyboard.press('Enter');
  await waitForRequest(1);
  check(sent.length === 1 && sent[0].includes('?q=typed+words&source=start'),
        'the typed text is sent', sent[0]);
  const send = page.locator('form').first().locator('button[type=submit]');
  await field.fill('');
  await send.click();
  await waitForRequest(2);
  check(sent.length === 2 && sent[1].includes('?q=what+to+look+for&source=start'),
        'a field emptied again sends its value as the Classic page does', sent[1]);
  await page.waitForTimeout(50);
  const after = await field.evaluate(e => [e.value, e.placeholder]);
  check(after[0] === '' && after[1] === 'what to look for',
        'after sending, the field shows its hint again', JSON.stringify(after));
  await context.close();
}

// ---- layout, colours, print ----
{
  const { context, page } = await open('modern-large.html');
  const wide = await page.evaluate(() =>
    [...document.querySelectorAll('section.col')].map(s => s.getBoundingClientRect()));
  const rows = new Set(wide.map(r => Math.round(r.top)));
  const narrowest = Math.min(...wide.map(r => r.width));
  check(narrowest >= 16 * 16 - 1, '1280 px: columns at least 16rem wide', `${narrowest}`);
  check(wide.filter(r => Math.round(r.top) === Math.round(wide[0].top)).length >= 4,
        '1280 px: columns side by side', `${rows.size} rows`);
  await page.emulateMedia({ media: 'print' });
  const print = await page.evaluate(() => {
    const link = document.querySelector('.grp a');
    return { color: getComputedStyle(document.body).color,
             background: getComputedStyle(document.body).backgroundColor,
             after: getComputedStyle(link, '::after').content,
             buttons: [...document.querySelectorAll('button')].every(b =>
               getComputedStyle(b).display === 'none') };
  });
  check(print.color === 'rgb(0, 0, 0)' && print.background === 'rgb(255, 255, 255)',
        'print: black on white', JSON.stringify(print));
  check(print.after.includes('attr(href)') || print.after.includes('https://'),
        'print: link addresses after links', print.after);
  await context.close();

  const narrow = await open('modern-large.html', phone);
  const lefts = await narrow.page.evaluate(() =>
    [...document.querySelectorAll('section.col')].map(s => Math.round(s.getBoundingClientRect().left)));
  const scrollWidth = await narrow.page.evaluate(() => document.documentElement.scrollWidth);
  check(new Set(lefts).size === 1, '360 px: one column', JSON.stringify(lefts));
  await page.emulateMedia({ media: 'screen' });
  for (const [label, view] of [['1280 px', page], ['360 px', narrow.page]]) {
    const outside = await view.evaluate(() => [...document.querySelectorAll('form *')].filter(e => {
      const box = e.getBoundingClientRect(), group = e.closest('.grp').getBoundingClientRect();
      return box.width > 0 && (box.left < group.left || box.right > group.right);
    }).map(e => e.outerHTML.slice(0, 60)));
    check(outside.length === 0, `${label}: form fields and buttons stay inside their group`,
          outside.slice(0, 2).join(' '));
  }
  check(scrollWidth <= 360, '360 px: nothing wider than the window', `${scrollWidth}`);
  await narrow.context.close();
}

// ---- 10,000 links: first paint and scrolling (figures, not judged) ----
{
  const context = await browser.newContext(desktop);
  const page = await context.newPage();
  const started = Date.now();
  await page.goto(pageUrl('modern-10k.html'), { waitUntil: 'load' });
  const loaded = Date.now() - started;
  const paint = await page.evaluate(() => Object.fromEntries(
    performance.getEntriesByType('paint').map(p => [p.name, Math.round(p.startTime)])));
  const links = await page.evaluate(() => document.querySelectorAll('a').length);
  const frames = await page.evaluate(() => new Promise(done => {
    const times = [];
    let last = performance.now();
    const step = now => {
      times.push(now - last);
      last = now;
      window.scrollBy(0, 400);
      if (times.length === 180) done(times); else requestAnimationFrame(step);
    };
    requestAnimationFrame(step);
  }));
  frames.shift();
  frames.sort((a, b) => a - b);
  const at = q => frames[Math.min(frames.length - 1, Math.floor(q * frames.length))].toFixed(1);
  const size = statSync(join(folder, 'modern-10k.html')).size;
  note(`10,000-link Modern page (${links} links, ${size} bytes): first contentful paint ` +
       `${paint['first-contentful-paint']} ms, first paint ${paint['first-paint']} ms, load ` +
       `${loaded} ms; scrolling 400 px a frame: median frame ${at(0.5)} ms, 95th ${at(0.95)} ms, ` +
       `worst ${at(1)} ms, ${frames.filter(f => f > 50).length} of ${frames.length} frames over 50 ms`);
  check(links >= 10000, 'the large page has its 10,000 links', `${links}`);
  await context.close();
}

// ---- screenshots ----
for (const name of ['sample', 'bookmarks']) {
  for (const [size, options] of [['1280', desktop], ['360', phone]]) {
    for (const scheme of ['light', 'dark']) {
      const { context, page } = await open(`modern-${name}.html`, options, scheme);
      await page.screenshot({ path: join(folder, `screenshot-modern-${name}-${size}-${scheme}.png`) });
      await context.close();
    }
  }
}

await browser.close();
console.log(failures ? `${failures} check(s) failed` : 'all Modern page checks passed');
process.exit(failures ? 1 : 0);
