// The page in headless Chromium, used as a person uses it: a short game by
// clicks, going back and forth through it, the notation of its moves, games
// saved and loaded, a checkmate from a FEN, analysis, a bad FEN, the review
// of a game, the strength and the clock, the page offline, with no console
// error; and the engine's start-up and node total in the browser.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { benchInBrowser, buildWeb, openBrowser, root, serveBuild, workerStartInBrowser } from './engine_util.mjs';

const Mate = '4k4/R8/9/9/9/9/9/9/9/1R1K5 w - - 0 1';
// Black's fourth ply puts its cannon where red's cannon takes it over the horse; red to move at the end.
const Blunder = '[Variant "xiangqi"]\n\n1. h2e2 h9g7 2. h0g2 h7h2 3. e2h2 b9c7 *\n';

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
const moves = () => page.$$eval('#moves li', (items) => items.map((item) => item.dataset.move));
const current = () => page.$eval('#moves', (list) => Number(list.querySelector('.current')?.dataset.ply || 0));
const notice = () => page.$eval('#notice', (element) => element.textContent);
const waitForNotice = (start, timeout = 20000) =>
  page.waitForFunction((text) => document.getElementById('notice').textContent.startsWith(text), { timeout }, start);
// The file number printed nearest the board's bottom left corner.
const bottomLeftNumber = () =>
  page.$$eval('#board .coord text', (labels) => labels.reduce((best, label) => (Number(label.getAttribute('y')) - Number(label.getAttribute('x')) > Number(best.getAttribute('y')) - Number(best.getAttribute('x')) ? label : best)).textContent);
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
  assert.match(await page.$eval('#notice', (element) => element.textContent), /^Illegal move: e3e5: the pawn cannot move so/);
  assert.equal((await moves()).length, 6);
  // The numbers of the side at each edge: red's 九 at the bottom left, black's 9 once flipped.
  assert.equal(await bottomLeftNumber(), '九');
  await page.click('#flip');
  assert.equal(await bottomLeftNumber(), '9');
  await page.click('#flip');
});

test('undo takes back the pair; going back loses nothing until another move replaces the rest; a saved PGN loads again', async () => {
  const played = await moves();
  await page.click('#undo');
  await waitForStatus('Your move');
  assert.deepEqual(await moves(), played.slice(0, 4));
  await page.click('#moves li[data-ply="2"]');
  await waitForStatus('Your move');
  assert.deepEqual([await moves(), await current()], [played.slice(0, 4), 2]);
  await page.keyboard.press('ArrowLeft');
  assert.equal(await current(), 1);
  await page.click('#last');
  assert.equal(await current(), 4);
  await page.click('#first');
  await page.keyboard.press('ArrowRight');
  await page.keyboard.press('ArrowRight');
  assert.deepEqual([await moves(), await current()], [played.slice(0, 4), 2]);
  // Red's own next move just goes forward; another one replaces the moves after it.
  await click(played[2].slice(0, 2), played[2].slice(2));
  assert.deepEqual([await moves(), await current()], [played.slice(0, 4), 3]);
  await page.keyboard.press('ArrowLeft');
  const other = 'c3c4';
  await click(other.slice(0, 2), other.slice(2));
  assert.match(await notice(), /^P7\+1 replaces \S+ and the move after it/);
  await page.waitForFunction(() => document.querySelectorAll('#moves li').length === 4, { timeout: 20000 });
  await waitForStatus('Your move');
  assert.deepEqual((await moves()).slice(0, 3), [...played.slice(0, 2), other]);
  const pgn = await page.evaluate(() => window.quorvelPage.pgn());
  assert.match(pgn, /\[Variant "xiangqi"\]\n\[Format "WXF"\][\s\S]*1\. C2=5 \S+ 2\. P7\+1 \S+ \*/);
  await page.click('#new-game');
  await waitForStatus('Your move');
  const file = path.join(buildWeb, 'test-game.pgn');
  fs.writeFileSync(file, pgn);
  await (await page.$('#load-pgn')).uploadFile(file);
  await page.waitForFunction(() => document.querySelectorAll('#moves li').length === 4);
  assert.equal((await moves())[2], other);
  // A pasted game that does not read says where and why, and changes nothing.
  await page.click('#paste summary');
  await page.type('#pgn-text', '1. C2=5 H8+7 2. H2+3 R9+9 *');
  await page.click('#paste-form button');
  await waitForNotice('Nothing loaded: game 1, line 1: R9+9: the rook cannot move so');
  assert.equal((await moves()).length, 4);
});

test('the notation of the moves, kept across visits; a game saved in Chinese and in WXF loads back', async () => {
  const texts = () => page.$$eval('#moves li', (items) => items.map((item) => item.firstChild.textContent));
  const played = await moves();
  assert.equal(await page.$eval('#notation', (select) => select.value), 'wxf');
  assert.deepEqual((await texts()).slice(0, 1), ['C2=5']);
  await page.select('#notation', 'chinese');
  assert.deepEqual((await texts()).slice(0, 1), ['炮二平五']);
  const chinese = await page.evaluate(() => window.quorvelPage.pgn());
  assert.match(chinese, /\[Format "Chinese"\][\s\S]*1\. 炮二平五 /);
  await page.select('#notation', 'iccs');
  assert.deepEqual((await texts()).slice(0, 1), ['H2-E2']);
  await page.select('#notation', 'wxf');
  const wxf = await page.evaluate(() => window.quorvelPage.pgn());
  await page.select('#notation', 'chinese');
  await page.reload();
  await waitForStatus('Your move');
  assert.equal(await page.$eval('#notation', (select) => select.value), 'chinese');
  for (const file of [chinese, wxf]) {
    await page.evaluate((text) => window.quorvelPage.loadPgn(text), file);
    assert.deepEqual([await moves(), (await texts())[2]], [played, '兵七進一']);
  }
  await page.select('#notation', 'wxf');
  await page.select('#level', 'movetime 100');
});

test('a checkmate from a FEN ends the game with its result', async () => {
  await setFen(Mate);
  await waitForStatus('Your move');
  await click('b0', 'b9');
  await waitForStatus('Red wins by checkmate');
  assert.match(await page.evaluate(() => window.quorvelPage.pgn()), /\[Result "1-0"\][\s\S]*\[FEN "4k4\/R8[\s\S]*1\. R8\+9 1-0/);
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
  assert.match(await page.$eval('#lines li', (item) => item.textContent), /^[+-]?\d+\.\d\d {2}depth \d+ {2}[KAEHRCP][1-9][+=-][1-9]/);
  // After red's move every line starts with a black move, from rank 5 or above.
  await click('b0', 'c2');
  await page.waitForFunction(
    () => {
      const firstMoves = [...document.querySelectorAll('#lines li')].map((item) => item.dataset.pv.match(/^[a-i](\d)/));
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

test('a review: cancelled at once, then run to the end, draws the graph, marks the blunder with the best move, and goes where clicked', async () => {
  await page.evaluate((text) => window.quorvelPage.loadPgn(text), Blunder);
  await page.select('#review-time', 'movetime 2000');
  await page.click('#review');
  await page.waitForFunction(() => !document.getElementById('review-running').hidden);
  await page.click('#review-cancel');
  await waitForNotice('Review cancelled', 2000);
  await page.select('#review-time', 'depth 4');
  await page.click('#review');
  await waitForNotice('Review done', 30000);
  assert.deepEqual(await page.$$eval('#eval-graph circle', (points) => points.map((point) => Number(point.dataset.ply))), [0, 1, 2, 3, 4, 5, 6]);
  const marked = await page.$eval('#moves li[data-ply="4"]', (item) => [item.classList.contains('blunder'), item.querySelector('.best')?.textContent]);
  assert.equal(marked[0], true);
  assert.match(marked[1], /^[KAEHRCP][1-9+-][+=-][1-9]$/);
  assert.notEqual(marked[1], 'C8+5');
  assert.equal(await page.$eval('#eval-graph circle[data-ply="4"]', (point) => point.classList.contains('blunder')), true);
  // After the review the page is an analysis board: the best move is the arrow.
  await page.click('#eval-graph circle[data-ply="3"]');
  assert.equal(await current(), 3);
  await page.waitForSelector('#board .arrow[data-move]');
  fs.mkdirSync(buildWeb, { recursive: true });
  await page.screenshot({ path: path.join(buildWeb, 'screenshot.png') });
  // The review goes into the saved game's comments and comes back with it.
  const saved = await page.evaluate(() => window.quorvelPage.pgn());
  assert.match(saved, /C8\+5\s\{[+-]\d+\.\d\d\/\d+\sbest\s\S+\sblunder\}/);
  await page.evaluate((text) => window.quorvelPage.loadPgn(text), Blunder);
  assert.equal(await page.$eval('#moves li[data-ply="4"]', (item) => item.classList.contains('blunder')), false);
  await page.evaluate((text) => window.quorvelPage.loadPgn(text), saved);
  assert.equal(await page.$eval('#moves li[data-ply="4"]', (item) => item.classList.contains('blunder')), true);
  assert.equal((await page.$$('#eval-graph circle')).length, 7);
  await page.click('#analyse');
  await page.click('#new-game');
  await waitForStatus('Your move');
});

test('a game on the clock: the engine moves on its own clock, and a fallen flag ends the game on time', async () => {
  await page.$eval('#level', (select) => select.add(new Option('4 s', 'clock 4000 0')));
  await page.select('#level', 'clock 4000 0');
  const blackClock = () => page.$eval('#clock-black .time', (time) => time.textContent);
  assert.equal(await blackClock(), '0:04.0');
  // What the page tells the engine's worker.
  await page.evaluate(() => {
    const post = Worker.prototype.postMessage;
    window.sentToEngine = [];
    Worker.prototype.postMessage = function (message) {
      window.sentToEngine.push(message);
      return post.call(this, message);
    };
  });
  await click('h2', 'e2');
  await page.waitForFunction(() => document.querySelectorAll('#moves li').length === 2, { timeout: 20000 });
  assert.notEqual(await blackClock(), '0:04.0');
  assert.match((await page.evaluate(() => window.sentToEngine)).find((command) => command.startsWith('go')), /^go wtime [1-4]\d{3} btime [1-4]\d{3} winc 0 binc 0$/);
  await waitForStatus('Black wins on time', 8000);
  assert.equal(await page.$eval('#clock-red', (clock) => clock.classList.contains('fallen')), true);
  assert.match(await page.evaluate(() => window.quorvelPage.pgn()), /\[Result "0-1"\][\s\S]*\[Termination "time forfeit"\]/);
  await page.select('#level', 'movetime 100');
  await page.click('#new-game');
  await waitForStatus('Your move');
});

test('the strength chosen reaches the engine before its moves, and analysis runs at full strength', async () => {
  assert.match(await page.$eval('#strength', (select) => select.selectedOptions[0].textContent), /^Full strength \(~\d+\)$/);
  await page.select('#strength', '0');
  assert.match(await page.$eval('#strength', (select) => select.selectedOptions[0].textContent), /^Beginner \(level 0, ~\d+\)$/);
  assert.equal(await page.evaluate(() => localStorage.getItem('quorvel.strength')), '0');
  await page.evaluate(() => (window.sentToEngine = []));
  await click('h2', 'e2');
  await page.waitForFunction(() => document.querySelectorAll('#moves li').length === 2, { timeout: 20000 });
  let sent = await page.evaluate(() => window.sentToEngine);
  assert.ok(sent.indexOf('setoption name Skill Level value 0') >= 0, sent.join(' | '));
  assert.ok(sent.indexOf('setoption name Skill Level value 0') < sent.findIndex((command) => command.startsWith('go ')), sent.join(' | '));
  await page.click('#analyse');
  await page.waitForFunction(() => document.querySelectorAll('#lines li').length > 0, { timeout: 20000 });
  sent = await page.evaluate(() => window.sentToEngine);
  const full = sent.lastIndexOf('setoption name Skill Level value 20');
  assert.ok(full >= 0 && full < sent.lastIndexOf('go infinite'), sent.join(' | '));
  await page.click('#analyse');
  await page.select('#strength', '20');
  await page.click('#new-game');
  await waitForStatus('Your move');
});

test('offline after one visit: the page reloads from its cache and the engine plays', async () => {
  const server = await serveBuild();
  const offline = await browser.newPage();
  offline.on('pageerror', (error) => problems.push(`offline exception: ${error.message}`));
  try {
    await offline.goto(`http://127.0.0.1:${server.address().port}/`);
    await offline.waitForFunction(() => document.getElementById('status').textContent.startsWith('Your move'), { timeout: 20000 });
    await offline.evaluate(() => navigator.serviceWorker.ready.then(() => true));
    server.closeAllConnections();
    server.close();
    await offline.setOfflineMode(true);
    await offline.reload();
    await offline.waitForFunction(() => document.getElementById('status').textContent.startsWith('Your move'), { timeout: 20000 });
    const manifest = await offline.evaluate(() => fetch('manifest.webmanifest').then((response) => response.json()));
    assert.deepEqual(manifest.icons.map((icon) => icon.sizes).slice(0, 2), ['192x192', '512x512']);
    await offline.select('#level', 'movetime 100');
    for (const square of ['h2', 'e2']) await offline.click(`[data-square="${square}"]`);
    await offline.waitForFunction(() => document.querySelectorAll('#moves li').length === 2, { timeout: 20000 });
  } finally {
    await offline.close();
    server.close();
  }
});

test('the review judges both sides\' moves against the best one, mates at the edge; the clock adds its increment and tells the fallen side', async () => {
  const found = await page.evaluate(async () => {
    const { searchedPosition, judgeMove } = await import('./review.js');
    const { GameClock } = await import('./clock.js');
    // Red to move at +0.40; after red's move black (to move) stands at +1.60, that is red -1.60.
    const before = searchedPosition('cp', 40, 0, 'h2e2');
    const afterRed = searchedPosition('cp', 160, 1, null);
    judgeMove(before, afterRed, 'b0c2', 0);
    const afterBest = searchedPosition('cp', 160, 1, null);
    judgeMove(before, afterBest, 'h2e2', 0);
    // Black at -0.30 from its side plays a move after which red, to move, mates in 2: red's edge.
    const black = searchedPosition('cp', -30, 1, 'h9g7');
    const mated = searchedPosition('mate', 2, 0, null);
    judgeMove(black, mated, 'a9a8', 1);
    let now = 0;
    const clock = new GameClock(1000, 500, () => now);
    clock.start(0);
    now = 700;
    clock.moved(0);
    now = 2200;
    return { afterRed, afterBest, mated, red: clock.remaining(0), fallen: clock.fallen(), go: clock.goCommand() };
  });
  assert.deepEqual([found.afterRed.score, found.afterRed.loss, found.afterRed.class], [-160, 200, 'mistake']);
  assert.deepEqual([found.afterBest.loss, found.afterBest.class], [0, null]);
  assert.deepEqual([found.mated.score, found.mated.mate, found.mated.loss, found.mated.class], [1000, 2, 970, 'blunder']);
  assert.deepEqual([found.red, found.fallen, found.go], [800, 1, 'go wtime 800 btime 0 winc 500 binc 500']);
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
