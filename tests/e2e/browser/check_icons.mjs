// Opens the pages with site icons, Classic and Modern, from disk in headless Chromium with the
// network off, and checks what a visitor sees: every icon shows (16x16, decoded from the page
// itself) right before its caption inside the main link, the link without an icon has none, the
// page asks nothing of the network, and axe-core finds nothing on the Modern page. Saves both
// pages side by side as screenshot-icons-page.png.
// Usage: node check_icons.mjs BUILD_FOLDER
import { chromium } from 'playwright-core';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

const folder = process.argv[2];
const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
let failures = 0;
function check(condition, what, detail = '') {
  console.log(`${condition ? 'ok  ' : 'FAIL'} ${what}${detail ? ` (${detail})` : ''}`);
  if (!condition) failures += 1;
}

const withIcons = ['Red PNG', 'Blue PNG, 32 pixels', 'Green GIF', 'Orange ICO', 'Purple SVG'];
const profile = mkdtempSync(join(tmpdir(), 'quillomere-chromium-'));
const context = await chromium.launchPersistentContext(profile, {
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  offline: true,
  viewport: { width: 560, height: 300 },
  args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync'],
});
const asked = [];
await context.route('**/*', route => {
  const url = route.request().url();
  if (!url.startsWith('file:')) asked.push(url);
  return url.startsWith('file:') ? route.continue() : route.abort();
});
const shots = [];
try {
  const page = context.pages()[0] || await context.newPage();
  for (const style of ['classic', 'modern']) {
    await page.goto(pathToFileURL(resolve(folder, `${style}-icons.html`)).href);
    const links = await page.$$eval('a', anchors => anchors.map(anchor => {
      const image = anchor.querySelector('img');
      const range = document.createRange();
      const text = [...anchor.childNodes].find(node => node.nodeType === 3 && node.textContent.trim());
      let textLeft = null;
      if (text) { range.selectNodeContents(text); textLeft = range.getBoundingClientRect().left; }
      const box = image && image.getBoundingClientRect();
      return {
        caption: anchor.textContent.trim(),
        image: image && {
          first: anchor.firstChild === image, alt: image.getAttribute('alt'),
          data: image.src.startsWith('data:'), loaded: image.complete && image.naturalWidth > 0,
          width: box.width, height: box.height, right: box.right,
          middle: box.top + box.height / 2,
        },
        textLeft,
        textMiddle: text ? (range.getBoundingClientRect().top + range.getBoundingClientRect().bottom) / 2 : null,
      };
    }));
    for (const caption of withIcons) {
      const link = links.find(l => l.caption === caption);
      const image = link && link.image;
      check(image && image.first && image.alt === '' && image.data,
            `${style}: ${caption} opens with its decorative data image`, JSON.stringify(image));
      if (!image) continue;
      check(image.loaded, `${style}: ${caption}'s icon decodes`);
      check(image.width === 16 && image.height === 16, `${style}: ${caption}'s icon is 16x16`,
            `${image.width}x${image.height}`);
      check(link.textLeft !== null && image.right <= link.textLeft + 0.5,
            `${style}: ${caption}'s icon stands before its caption`,
            `icon ends at ${image.right}, caption starts at ${link.textLeft}`);
      check(Math.abs(image.middle - link.textMiddle) <= 4,
            `${style}: ${caption}'s icon sits on the caption's line`,
            `middles ${image.middle} and ${link.textMiddle}`);
    }
    check(links.filter(l => l.image).length === withIcons.length,
          `${style}: no other link has an image (further links, the link without an icon)`);
    if (style === 'modern') {
      await page.addScriptTag({ content: axeSource });
      const violations = await page.evaluate(() => window.axe.run(document, {
        runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'best-practice'] },
      }).then(result => result.violations.map(v => v.id)));
      check(violations.length === 0, 'modern: axe finds no violation', violations.join(', '));
    }
    shots.push(await page.screenshot({ fullPage: true }));
  }
  check(asked.length === 0, 'the pages ask nothing of the network', asked.join(' '));

  // Both styles side by side in one picture.
  await page.setViewportSize({ width: 1140, height: 320 });
  await page.setContent('<body style="margin:0;display:flex;gap:20px;background:#888">' +
    shots.map(shot => `<img src="data:image/png;base64,${shot.toString('base64')}">`).join('') +
    '</body>');
  await page.screenshot({ path: join(folder, 'screenshot-icons-page.png'), fullPage: true });
} finally {
  await context.close();
  rmSync(profile, { recursive: true, force: true });
}
console.log(failures ? `${failures} check(s) failed` : 'all icon checks passed');
process.exit(failures ? 1 : 0);
