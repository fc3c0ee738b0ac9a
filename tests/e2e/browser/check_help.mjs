// Opens the help page in headless Chromium and checks what a reader sees: the sections, every
// key, the files' places as text, and nothing left unfilled.
// Usage: node check_help.mjs HELP.html SCREENSHOT.png
import { chromium } from 'playwright-core';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

const [pagePath, screenshotPath] = process.argv.slice(2);
let failures = 0;
function check(condition, what, detail = '') {
  console.log(`${condition ? 'ok  ' : 'FAIL'} ${what}${detail ? ` (${detail})` : ''}`);
  if (!condition) failures += 1;
}

const profile = mkdtempSync(join(tmpdir(), 'quillomere-chromium-'));
const context = await chromium.launchPersistentContext(profile, {
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  viewport: { width: 900, height: 700 },
  args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync'],
});
try {
  const page = context.pages()[0] || await context.newPage();
  await page.goto(pathToFileURL(resolve(pagePath)).href);
  check(await page.title() === 'Quillomere Help', 'title', await page.title());
  const sections = await page.$$eval('h2', headings => headings.map(h => h.textContent));
  check(JSON.stringify(sections) === JSON.stringify(
          ['What Quillomere does', 'The window', 'Keys', 'Where the files are',
           'Bookmarks in and out']),
        'sections in order', JSON.stringify(sections));
  const keys = await page.$$eval('kbd', cells => cells.map(cell => cell.textContent));
  for (const key of ['Ctrl+S', 'F5', 'Ctrl+F5', 'Alt+X', 'Ctrl+Z', 'Ctrl+Y', 'Ctrl+Shift+Z',
                     'Ctrl+F', 'F3', 'Shift+F3', 'F2', 'Ctrl+N', 'Ctrl+Up', 'Ctrl+Down', 'Delete',
                     'Ctrl+Del', 'Ctrl+R', 'F6', 'Shift+F6', 'Tab', 'Shift+Tab', 'Esc', 'F1',
                     'Ctrl+X', 'Ctrl+C', 'Ctrl+V', 'Ctrl+L']) {
    check(keys.includes(key), `key ${key} explained`);
  }
  const text = await page.locator('body').innerText();
  check(text.includes('C:\\Users\\Zoë & Bo\\Documents\\Quillomere.quil'),
        'the project file\'s place, escaped text shown as written');
  check(text.includes('C:\\Users\\Zoë & Bo\\Documents\\Quillomere.html'), 'the homepage\'s place');
  check(!text.includes('{{'), 'nothing left unfilled');
  check(/Quillomere \d+\.\d+\.\d+/.test(text), 'the version');
  await page.screenshot({ path: screenshotPath, fullPage: true });
} finally {
  await context.close();
  rmSync(profile, { recursive: true, force: true });
}
console.log(failures ? `${failures} check(s) failed` : 'all help page checks passed');
process.exit(failures ? 1 : 0);
