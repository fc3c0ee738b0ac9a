// Times the search box of the Modern pages of 1,000 and 10,000 links in headless Chromium, from
// inside the page: each keystroke from its keydown to the page updated (the page's own input
// handler done and the layout it caused computed), the first keystroke of a word included; and
// the first contentful paint of the 10,000-link page, beside that of an older page when one is
// given (the runs interleaved). Prints figures; judges nothing. Run by hand after make_browser_page:
//   node time_search.mjs FOLDER [OLDER_10K_PAGE.html] [--rounds N]
import { chromium } from 'playwright-core';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

const args = process.argv.slice(2);
const roundsAt = args.indexOf('--rounds');
const rounds = roundsAt >= 0 ? Number(args.splice(roundsAt, 2)[1]) : 5;
const [folder, older] = args;
const words = ['number', '4242', 'link 77', 'nothing'];

const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync'],
});
const median = values => {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted.length ? sorted[Math.floor(sorted.length / 2)] : NaN;
};
const ms = value => `${value.toFixed(1)} ms`;

async function firstPaint(file) {
  const context = await browser.newContext({ viewport: { width: 1280, height: 800 } });
  const page = await context.newPage();
  await page.goto(pathToFileURL(file).href, { waitUntil: 'load' });
  const paint = await page.evaluate(() =>
    performance.getEntriesByType('paint').find(p => p.name === 'first-contentful-paint')?.startTime);
  await context.close();
  return paint;
}

async function keystrokes(file) {
  const context = await browser.newContext({ viewport: { width: 1280, height: 800 } });
  const page = await context.newPage();
  await page.goto(pathToFileURL(file).href, { waitUntil: 'load' });
  await page.evaluate(() => {
    window.times = [];
    let start = 0;
    document.addEventListener('keydown', () => { start = performance.now(); }, true);
    // Added after the page's own handler, so it runs after it; reading a size brings the style
    // and layout up to date, which the next frame would otherwise do.
    document.querySelector('[role=search] input').addEventListener('input', () => {
      document.body.offsetHeight;
      window.times.push(performance.now() - start);
    });
  });
  // Focusing the box builds the index, in the focus event's handler.
  const focus = await page.evaluate(() => {
    const start = performance.now();
    document.querySelector('[role=search] input').focus();
    return performance.now() - start;
  });
  const perWord = {};
  for (const word of words) {
    for (let round = 0; round < rounds; round += 1) {
      await page.evaluate(() => { window.times = []; });
      await page.keyboard.type(word);
      (perWord[word] ??= []).push(...await page.evaluate(() => window.times));
      await page.keyboard.press('Escape');
    }
  }
  const matches = await page.evaluate(() => document.querySelectorAll('main li').length);
  await context.close();
  return { focus, perWord, matches };
}

for (const name of ['modern-1k.html', 'modern-10k.html']) {
  const { focus, perWord, matches } = await keystrokes(join(resolve(folder), name));
  const all = Object.values(perWord).flat();
  console.log(`${name} (${matches} items): focusing the box (the index built) ${ms(focus)}; ` +
              `keystroke to updated page, median ${ms(median(all))}, slowest ${ms(Math.max(...all))}`);
  for (const [word, times] of Object.entries(perWord)) {
    const first = times.filter((_, i) => i % word.length === 0);
    console.log(`  "${word}": median ${ms(median(times))}, first keystroke median ${ms(median(first))}`);
  }
}

const tenK = join(resolve(folder), 'modern-10k.html');
const paints = { now: [], older: [] };
for (let round = 0; round < rounds; round += 1) {
  paints.now.push(await firstPaint(tenK));
  if (older) paints.older.push(await firstPaint(resolve(older)));
}
console.log(`modern-10k.html first contentful paint: median ${ms(median(paints.now))}` +
            (older ? `; the older page ${ms(median(paints.older))} (${rounds} runs each, interleaved)`
                   : ''));
await browser.close();
