// Opens a generated homepage in headless Chromium and checks what a visitor sees: the column
// headings, the popup that follows the mouse, the preselected option and non-ASCII text.
// Usage: node check_page.mjs PAGE.html SCREENSHOT.png
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
  viewport: { width: 1000, height: 700 },
  args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync'],
});
try {
  const page = context.pages()[0] || await context.newPage();
  await page.goto(pathToFileURL(resolve(pagePath)).href);

  const headings = await page.$$eval('body > table > tbody > tr:first-child > th',
                                     cells => cells.map(cell => cell.textContent));
  check(JSON.stringify(headings) === JSON.stringify(['New Column', 'Another column']),
        'column headings in order', JSON.stringify(headings));

  const link = page.getByText('Hover me', { exact: true });
  const box = await link.boundingBox();
  const popup = page.locator('div[id^="quillomere_popup"]');
  check(await popup.count() === 1, 'one popup block');
  check(!(await popup.isVisible()), 'popup hidden before hovering');
  const x = Math.round(box.x + box.width / 2), y = Math.round(box.y + box.height / 2);
  await page.mouse.move(x, y);
  await popup.waitFor({ state: 'visible', timeout: 2000 }).catch(() => {});
  check(await popup.isVisible(), 'hovering the link shows its popup');
  const shown = await popup.boundingBox();
  const near = shown && Math.abs(shown.x - (x + 32)) <= 3 && Math.abs(shown.y - (y - 120)) <= 3;
  check(near, 'popup placed at mouse + (32, -120)',
        shown ? `at ${shown.x},${shown.y} for mouse ${x},${y}` : 'no box');
  check((await popup.innerText()).includes('Popup text with markup'), 'popup shows its content');
  await page.screenshot({ path: screenshotPath, fullPage: true });

  await page.mouse.move(5, 690);
  await popup.waitFor({ state: 'hidden', timeout: 2000 }).catch(() => {});
  check(!(await popup.isVisible()), 'moving away hides the popup');

  const selected = await page.$eval('select[name="n"]', select => ({
    value: select.value, text: select.options[select.selectedIndex].text }));
  check(selected.value === '2' && selected.text === 'Two', 'select shows the preselected option',
        JSON.stringify(selected));

  const text = await page.locator('body').innerText();
  check(text.includes('Příliš žluťoučký kůň'), 'non-ASCII group caption renders');
  check(text.includes('Úpěl ďábelské ódy'), 'non-ASCII link caption renders');
  check(await page.locator('input[name="q"]').inputValue() === 'google search',
        'search field pre-filled');
} finally {
  await context.close();
  rmSync(profile, { recursive: true, force: true });
}
console.log(failures ? `${failures} check(s) failed` : 'all browser checks passed');
process.exit(failures ? 1 : 0);
