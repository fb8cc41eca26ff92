// Renders web/icon.svg to the PNG icons of the web app manifest
// (web/icon-192.png, web/icon-512.png) in headless Chromium, which draws the
// piece's character in the system's Kai font (fonts-arphic-ukai). Run once
// after a change to the icon and commit the PNGs:
//   node scripts/web-icons.mjs
import fs from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');
const puppeteer = createRequire(path.join(root, 'web/package.json'))('puppeteer-core');
const svg = fs.readFileSync(path.join(root, 'web/icon.svg'), 'utf8');
const browser = await puppeteer.launch({ executablePath: process.env.CHROMIUM || '/usr/bin/chromium', headless: 'new', args: ['--no-sandbox', '--disable-gpu'] });
try {
  const page = await browser.newPage();
  for (const size of [192, 512]) {
    await page.setViewport({ width: size, height: size });
    await page.setContent(`<body style="margin:0">${svg.replace('<svg ', `<svg width="${size}" height="${size}" `)}</body>`);
    await page.screenshot({ path: path.join(root, `web/icon-${size}.png`), clip: { x: 0, y: 0, width: size, height: size } });
  }
} finally {
  await browser.close();
}
