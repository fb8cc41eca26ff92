// The page in headless Chromium, used as a person uses it: a short game by
// clicks, a checkmate from a FEN, analysis, a bad FEN, with no console error;
// and the engine's start-up and node total in the browser.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { benchInBrowser, buildWeb, openBrowser, root, workerStartInBrowser } from './engine_util.mjs';

const Mate = '4k4/R8/9/9/9/9/9/9/9/1R1K5 w - - 0 1';

let server;
let browser;
let page;
let origin;
const problems = [];

before(async () => {
  ({ server, browser, origin } = await openBrowser());
  page = await browser.newPage();
  page.on('console', (message) => {
    if (message.type() === 'error') problems.push(`console: ${message.text()}`);
  });
  page.on('pageerror', (error) => problems.push(`exception: ${error.message}`));
  await page.setViewport({ width: 420, height: 1000 });
  await page.goto(`${origin}/index.html`);
  await waitForStatus('Your move');
});

after(async () => {
  if (browser) await browser.close();
  if (server) server.close();
  assert.deepEqual(problems, []);
});

const status = () => page.$eval('#status', (element) => element.textContent);
const moves = () => page.$$eval('#moves li', (items) => items.map((item) => item.textContent));
const waitForStatus = (start) =>
  page.waitForFunction((text) => document.getElementById('status').textContent.startsWith(text), { timeout: 20000 }, start);

async function click(...squares) {
  for (const square of squares) await page.click(`[data-square="${square}"]`);
}

// Drags the piece of one point to another, as a person does with a mouse or a finger.
async function drag(from, to) {
  const centre = async (square) => {
    const box = await (await page.$(`[data-square="${square}"]`)).boundingBox();
    return [box.x + box.width / 2, box.y + box.height / 2];
  };
  const [fromX, fromY] = await centre(from);
  const [toX, toY] = await centre(to);
  await page.mouse.move(fromX, fromY);
  await page.mouse.down();
  await page.mouse.move(toX, toY, { steps: 8 });
  await page.mouse.up();
}

async function setFen(fen) {
  await page.$eval('#fen', (input, text) => (input.value = text), fen);
  await page.click('#fen-form button');
}

test('a short game by clicks, each move answered by the engine', async () => {
  await page.select('#level', 'movetime 100');
  assert.equal(await page.$eval('[data-square="e0"]', (point) => point.getAttribute('aria-label')), 'red king');
  for (const [from, to] of [['h2', 'e2'], ['h0', 'g2'], ['i0', 'h0']]) {
    const count = (await moves()).length;
    if (from === 'h0') {
      await drag(from, to);
    } else {
      await click(from);
      assert.ok((await page.$$('.target')).length > 0, 'the legal targets are shown');
      await click(to);
    }
    await page.waitForFunction((n) => document.querySelectorAll('#moves li').length === n + 2, { timeout: 20000 }, count);
    await waitForStatus('Your move');
  }
  assert.equal((await moves()).slice(0, 1)[0], 'h2e2');
  // A move the rules refuse says so and changes nothing.
  await click('e3', 'e5');
  assert.match(await page.$eval('#notice', (element) => element.textContent), /Illegal move/);
  assert.equal((await moves()).length, 6);
  fs.mkdirSync(buildWeb, { recursive: true });
  await page.screenshot({ path: path.join(buildWeb, 'screenshot.png') });
});

test('undo takes back the pair, the move list goes back, a saved PGN loads again', async () => {
  const played = await moves();
  await page.click('#undo');
  await waitForStatus('Your move');
  assert.deepEqual(await moves(), played.slice(0, 4));
  await page.click('#moves li[data-ply="2"]');
  await waitForStatus('Your move');
  assert.deepEqual(await moves(), played.slice(0, 2));
  const pgn = await page.evaluate(() => window.quorvelPage.pgn());
  assert.match(pgn, /\[Variant "xiangqi"\][\s\S]*1\. h2e2 \S+ \*/);
  await page.click('#new-game');
  await waitForStatus('Your move');
  const file = path.join(buildWeb, 'test-game.pgn');
  fs.writeFileSync(file, pgn);
  await (await page.$('#load-pgn')).uploadFile(file);
  await page.waitForFunction(() => document.querySelectorAll('#moves li').length === 2);
  assert.deepEqual(await moves(), played.slice(0, 2));
});

test('a checkmate from a FEN ends the game with its result', async () => {
  await setFen(Mate);
  await waitForStatus('Your move');
  await click('b0', 'b9');
  await waitForStatus('Red wins by checkmate');
  assert.match(await page.evaluate(() => window.quorvelPage.pgn()), /\[Result "1-0"\][\s\S]*\[FEN "4k4\/R8[\s\S]*1\. b0b9 1-0/);
});

test('a bad FEN is refused and changes nothing', async () => {
  await page.click('#new-game');
  await waitForStatus('Your move');
  const fen = await page.$eval('#fen', (input) => input.value);
  await setFen('rnbakabnr/9/banana w');
  await page.waitForFunction(() => document.getElementById('notice').textContent.includes('FEN'));
  assert.equal(await status(), 'Your move (red).');
  assert.equal((await page.evaluate(() => window.quorvelPage.pgn())).includes('[FEN'), false);
  assert.equal(await page.$eval('[data-square="e0"]', (point) => point.getAttribute('aria-label')), 'red king');
  await page.click('#new-game');
  assert.equal(await page.$eval('#fen', (input) => input.value), fen);
});

test('analysis shows three lines from red\'s side, follows the moves, and stops for the game to go on', async () => {
  await page.click('#analyse');
  await page.waitForFunction(() => document.querySelectorAll('#lines li').length === 3, { timeout: 20000 });
  assert.match(await page.$eval('#lines li', (item) => item.textContent), /^[+-]?\d+\.\d\d {2}depth \d+ {2}[a-i]\d[a-i]\d/);
  // After red's move every line starts with a black move, from rank 5 or above.
  await click('b0', 'c2');
  await page.waitForFunction(
    () => {
      const firstMoves = [...document.querySelectorAll('#lines li')].map((item) => item.textContent.match(/depth \d+ {2}[a-i](\d)/));
      return firstMoves.length === 3 && firstMoves.every((found) => found && Number(found[1]) >= 5);
    },
    { timeout: 20000 },
  );
  // Out of analysis the game goes on: black is the engine's to move.
  await page.click('#analyse');
  assert.equal(await page.$eval('#analysis', (element) => element.hidden), true);
  await waitForStatus('Your move');
  assert.equal((await moves()).length, 2);
  assert.equal((await moves())[0], 'b0c2');
});

test('in Chromium: the worker starts, and the bench gives the native node total', async () => {
  // How soon, and how fast against native, is measured by scripts/web-speed.mjs.
  const started = await workerStartInBrowser(page);
  assert.ok(started < 10000, `uciok after ${started} ms`);
  const depth = process.env.QUORVEL_WEB_BENCH_DEPTH || '8';
  const bench = await benchInBrowser(page, origin, depth);
  const signature = fs.readFileSync(path.join(root, 'tools/bench/signature.txt'), 'utf8').match(new RegExp(`^${depth} (\\d+)`, 'm'))[1];
  assert.equal(bench.match(/nodes (\d+)/)[1], signature);
});
