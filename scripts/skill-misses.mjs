// node --no-experimental-fetch scripts/skill-misses.mjs [POSITIONS] [SEEDS]
// Shows what the weakest skill level gives away: positions from random play
// where a rook, horse or cannon hangs (taken, nothing can take back) and the
// full engine takes it; for each, how often level 0 does not, over SEEDS seeds.
// Needs build/quorvel-uci and the browser build (scripts/build-web.sh) for the rules.
import { spawn } from 'node:child_process';
import { createInterface } from 'node:readline';
import { fileURLToPath } from 'node:url';
import { Game } from '../build-web/quorvel-engine.mjs';

const root = fileURLToPath(new URL('..', import.meta.url));
const wanted = Number(process.argv[2] || 5);
const seeds = Number(process.argv[3] || 20);
const Valuable = new Set(['r', 'n', 'c']);

// A small seeded generator, so that the same positions come back every run.
let state = 12345;
function random(n) {
  state = (state * 1103515245 + 12345) % 2147483648;
  return state % n;
}

function engine() {
  const child = spawn(root + 'build/quorvel-uci');
  const waiting = [];
  createInterface({ input: child.stdout }).on('line', (line) => {
    if (waiting.length && line.startsWith(waiting[0].prefix)) waiting.shift().resolve(line);
  });
  const send = (line) => child.stdin.write(line + '\n');
  const until = (prefix) => new Promise((resolve) => waiting.push({ prefix, resolve }));
  return {
    send,
    async best(fen, level, seed) {
      send(`setoption name Skill Level value ${level}`);
      send(`setoption name Seed value ${seed}`);
      send('ucinewgame');
      send(`position fen ${fen}`);
      send('go depth 8');
      return (await until('bestmove')).split(' ')[1];
    },
    quit: () => send('quit'),
  };
}

// The captures of a valuable piece that nothing can answer by taking back.
function hanging(game) {
  const free = [];
  for (const text of game.moves()) {
    const move = game.move(text);
    const answered = game.moves().some((reply) => reply.slice(2, 4) === move.to);
    if (move.captured && Valuable.has(move.captured) && !answered) free.push({ text, piece: move.captured });
    game.undo();
  }
  return free;
}

const uci = engine();
uci.send('uci');
uci.send('setoption name OwnBook value false');
const shown = [];
for (let tries = 0; shown.length < wanted && tries < 2000; tries++) {
  const game = await Game.start();
  const plies = 12 + random(30);
  for (let i = 0; i < plies && !game.outcome(); i++) {
    const moves = game.moves();
    game.move(moves[random(moves.length)]);
  }
  if (game.outcome() || game.inCheck()) continue;
  const free = hanging(game);
  if (free.length === 0) continue;
  const fen = game.fen();
  const full = await uci.best(fen, 20, 1);
  if (!free.some((capture) => capture.text === full)) continue;
  let missed = 0;
  for (let seed = 1; seed <= seeds; seed++) {
    const move = await uci.best(fen, 0, seed);
    if (!free.some((capture) => capture.text === move)) missed++;
  }
  shown.push({ fen, free: free.map((c) => `${c.text} (${c.piece})`).join(', '), full, missed });
  game.free();
}
uci.quit();
console.log(`| FEN | Free capture | Level 20 plays | Level 0 misses it |`);
console.log(`|---|---|---|---|`);
for (const row of shown) console.log(`| \`${row.fen}\` | ${row.free} | ${row.full} | ${row.missed} of ${seeds} |`);
