// The engine in a Node worker: the UCI conversation of quorvel-uci, commands
// during a search, bad input, the table size and the bench signature.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';
import { buildWeb, root, startEngine } from './engine_util.mjs';

test('handshake, a search to a depth, a ponder search released by ponderhit', async () => {
  const engine = startEngine();
  engine.send('uci');
  await engine.next('uciok');
  console.log(`uciok ${Math.round(performance.now() - engine.started)} ms after the worker's start`);
  assert.ok(engine.lines.includes('id name Quorvel 1.1'));
  assert.ok(engine.lines.some((line) => line.startsWith('option name MultiPV')));
  engine.send('position startpos moves h2e2', 'go depth 6');
  const best = await engine.next('bestmove');
  assert.match(best, /^bestmove [a-i][0-9][a-i][0-9]/);
  assert.ok(engine.lines.some((line) => /^info depth 6 .* pv /.test(line)));
  // A ponder search keeps its answer until ponderhit, however long it has run.
  engine.send('position fen 2bakab1r/6r2/1cn4c1/p1p1p3p/9/2P3p2/PC2P1n1P/2N1B1NC1/R4R3/3AKAB2 w - - 0 1', 'go ponder movetime 100');
  await new Promise((resolve) => setTimeout(resolve, 500));
  assert.equal(engine.lines.filter((line) => line.startsWith('bestmove')).length, 1);
  engine.send('ponderhit');
  await engine.next('bestmove');
  engine.end();
});

test('commands during a search: isready at once, stop within 100 ms, the rest after it in order', async () => {
  const engine = startEngine();
  engine.send('uci', 'position startpos', 'go infinite');
  await engine.next('info depth 8');
  engine.send('isready');
  await engine.next('readyok');
  // A second go and a d arrive during the search: they run after it, in order.
  engine.send('go depth 3', 'd');
  await new Promise((resolve) => setTimeout(resolve, 300));
  const stopped = engine.next('bestmove');
  const sent = performance.now();
  engine.send('stop');
  await stopped;
  const answer = performance.now() - sent;
  console.log(`stop answered in ${answer.toFixed(1)} ms`);
  assert.ok(answer < 100, `bestmove came ${answer} ms after stop`);
  await engine.next('bestmove');
  await engine.next('Fen:');
  const order = engine.lines.filter((line) => line.startsWith('bestmove') || line.startsWith('Fen:'));
  assert.equal(order.length, 3);
  assert.ok(order[2].startsWith('Fen:'));
  engine.end();
});

test('bad input is answered by info string and changes nothing', async () => {
  const engine = startEngine();
  engine.send('uci', 'frobnicate', 'position fen this is no fen', 'position startpos moves h2e2 h2e2', 'go depth 1');
  await engine.next('bestmove');
  const said = engine.lines.filter((line) => line.startsWith('info string'));
  assert.ok(said.some((line) => line.includes('unknown command: frobnicate')));
  assert.ok(said.some((line) => line.includes('unreadable FEN')));
  assert.ok(said.some((line) => line.includes('illegal move h2e2')));
  engine.end();
});

test('a 256 MB table is there to use', async () => {
  const engine = startEngine();
  engine.send('uci');
  await engine.next('uciok');
  const before = process.memoryUsage().rss;
  engine.send('setoption name Hash value 256', 'isready');
  await engine.next('readyok');
  const grown = (process.memoryUsage().rss - before) / (1 << 20);
  // A table that fell back to a smaller size would be 128 MB at most.
  assert.ok(grown > 192, `memory grew by ${grown.toFixed(0)} MB`);
  engine.send('position startpos', 'go depth 5');
  await engine.next('bestmove');
  engine.end();
});

test('the bench in wasm counts the signature at depth 8', () => {
  const signature = fs.readFileSync(path.join(root, 'tools/bench/signature.txt'), 'utf8').match(/^8 (\d+)/m)[1];
  const output = execFileSync(process.execPath, ['--no-experimental-fetch', path.join(buildWeb, 'quorvel-bench.js'), '8'], { encoding: 'utf8' });
  const total = output.match(/^bench nodes (\d+)/m);
  assert.ok(total, output);
  assert.equal(total[1], signature);
});
