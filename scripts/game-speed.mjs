// The time of 10,000 move/undo pairs of the JavaScript Game in Node, for
// each notation, taking turns between builds and notations round by round,
// and the median of each.
//
// usage: node scripts/game-speed.mjs [ROUNDS] [BUILD_WEB ...]   (defaults 9 and build-web)
// Two loops for each notation: "same", each move one of the legal moves of a
// middlegame position in turn, taken back at once (the position's legal
// moves are found once and kept); "walk", a game of 200 plies drawn at random
// from the start, played forward and taken back to the start again, so that
// every move meets a new position. A warm-up pass first gives the JIT its turn.
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { root } from '../tests/web/engine_util.mjs';

const Pairs = 10000;
const Notations = ['coord', 'iccs', 'wxf', 'chinese'];
// A middlegame with every kind of piece still on the board.
const Fen = '2bakab1r/6r2/1cn4c1/p1p1p3p/9/2P3p2/PC2P1n1P/2N1B1NC1/R4R3/3AKAB2 w - - 0 1';

const rounds = Number(process.argv[2] || 9);
const builds = process.argv.length > 3 ? process.argv.slice(3) : [path.join(root, 'build-web')];
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

const WalkPlies = 200;
const Loops = ['same', 'walk'];

// The same random game for every build: a small linear congruential generator.
function randomGame(game) {
  let seed = 12345;
  for (let ply = 0; ply < WalkPlies && !game.outcome(); ply++) {
    const moves = game.moves();
    seed = (seed * 1103515245 + 12345) % 2147483648;
    game.move(moves[seed % moves.length]);
  }
  const played = game.history({ verbose: true });
  while (game.undo());
  return played;
}

const games = [];
for (const build of builds) {
  const { Game } = await import(pathToFileURL(path.join(path.resolve(build), 'quorvel-game.mjs')).href);
  const same = await Game.start(Fen);
  const walk = await Game.start();
  const sameTexts = Object.fromEntries(Notations.map((notation) => [notation, same.moves({ notation })]));
  const played = randomGame(walk);
  const walkTexts = Object.fromEntries(Notations.map((notation) => [notation, played.map((move) => move[notation])]));
  games.push({ build, same: { game: same, texts: sameTexts }, walk: { game: walk, texts: walkTexts } });
}

function pairs({ game, texts }, notation, loop) {
  const list = texts[notation];
  const started = performance.now();
  if (loop === 'same') {
    for (let i = 0; i < Pairs; i++) {
      game.move(list[i % list.length]);
      game.undo();
    }
  } else {
    for (let done = 0; done < Pairs; ) {
      const plies = Math.min(list.length, Pairs - done);
      for (let ply = 0; ply < plies; ply++) game.move(list[ply]);
      for (let ply = 0; ply < plies; ply++) game.undo();
      done += plies;
    }
  }
  return performance.now() - started;
}

const runs = [];
for (let which = 0; which < games.length; which++)
  for (const loop of Loops) for (const notation of Notations) runs.push({ which, loop, notation, times: [] });
for (const run of runs) pairs(games[run.which][run.loop], run.notation, run.loop);
for (let round = 0; round < rounds; round++) {
  // Each round starts with another run, so that none always goes first.
  for (let k = 0; k < runs.length; k++) {
    const run = runs[(k + round) % runs.length];
    run.times.push(pairs(games[run.which][run.loop], run.notation, run.loop));
  }
}
for (let which = 0; which < games.length; which++) {
  for (const loop of Loops) {
    const row = runs
      .filter((run) => run.which === which && run.loop === loop)
      .map((run) => `${run.notation} ${median(run.times).toFixed(1)} ms`)
      .join(', ');
    console.log(`${games[which].build} ${loop}: ${Pairs} move/undo pairs, median of ${rounds}: ${row}`);
  }
}
