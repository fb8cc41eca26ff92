// The browser build against the native one, in one run: the wasm bench in a
// worker of headless Chromium and build/quorvel-bench take turns, and the
// medians of their nodes per second and the ratio are printed, with the
// median time from a worker's start to "uciok".
//
// usage: node scripts/web-speed.mjs [DEPTH] [ROUNDS]   (defaults 8 and 7)
// Needs build-web/ (scripts/build-web.sh), build/ in Release, and `npm ci` in web/.
import { execFileSync } from 'node:child_process';
import path from 'node:path';
import { benchInBrowser, openBrowser, root, workerStartInBrowser } from '../tests/web/engine_util.mjs';

const depth = process.argv[2] || '8';
const rounds = Number(process.argv[3] || 7);
const nps = (line) => Number(line.match(/nps (\d+)/)[1]);
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

const { server, browser, origin } = await openBrowser();
try {
  const page = await browser.newPage();
  await page.goto(`${origin}/index.html`);
  const browserNps = [];
  const nativeNps = [];
  const starts = [];
  for (let round = 1; round <= rounds; round++) {
    starts.push(await workerStartInBrowser(page));
    browserNps.push(nps(await benchInBrowser(page, origin, depth)));
    const native = execFileSync(path.join(root, 'build/quorvel-bench'), [depth], { encoding: 'utf8' });
    nativeNps.push(nps(native.match(/^bench nodes.*$/m)[0]));
    console.log(`round ${round}: uciok ${starts.at(-1).toFixed(0)} ms, Chromium ${browserNps.at(-1)} nps, native ${nativeNps.at(-1)} nps`);
  }
  const ratio = median(browserNps) / median(nativeNps);
  console.log(
    `depth ${depth}, ${rounds} rounds: uciok median ${median(starts).toFixed(0)} ms (max ${Math.max(...starts).toFixed(0)}), ` +
      `Chromium median ${median(browserNps)} nps, native median ${median(nativeNps)} nps, ratio ${ratio.toFixed(3)}`,
  );
} finally {
  await browser.close();
  server.close();
}
