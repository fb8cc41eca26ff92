// The page: a game against Quorvel or an analysis board. The rules (legal
// moves, check, the end of the game) come from the engine's core in a wasm
// instance of the page's own; the moves and the analysis from the engine in
// its worker.
import { BoardView, piecesOfFen } from './board.js';
import { Quorvel } from './quorvel-engine.mjs';

const $ = (id) => document.getElementById(id);
const Red = 0;
const Results = ['*', '1-0', '0-1', '1/2-1/2'];
// A position line longer than the engine's line buffer would be cut: past
// this many moves the engine gets the current position alone.
const MaxMovesSent = 700;

const core = await QuorvelModule({ quorvelHost: {} });
const game = {
  start: (fen) => core.ccall('quorvel_game_start', 'number', ['string'], [fen]) === 1,
  play: (move) => core.ccall('quorvel_game_play', 'number', ['string'], [move]) === 1,
  undo: () => core.ccall('quorvel_game_undo', 'number', [], []) === 1,
  state: () => JSON.parse(core.ccall('quorvel_game_state', 'string', [], [])),
};

const engine = await Quorvel.start();
let state = null;
let selected = null;
let analysing = false;
let search = null; // { token, done } while the engine searches
let searchToken = 0;
let human = Red;
const lines = [];

const board = new BoardView($('board'), { onPress: press, onDrop: drop });
engine.onLine = (line) => {
  if (analysing && search && line.startsWith('info ') && line.includes(' pv ')) showLine(line);
};

function notice(text) {
  $('notice').textContent = text;
}

function positionCommand() {
  if (state.moves.length > MaxMovesSent) return 'position fen ' + state.fen;
  return 'position fen ' + state.startFen + (state.moves.length ? ' moves ' + state.moves.join(' ') : '');
}

// Stops whatever the engine is doing and waits for its answer, which is dropped.
async function stopEngine() {
  searchToken++;
  if (!search) return;
  const running = search;
  engine.send('stop');
  await running.done;
}

function runSearch(goCommand) {
  const token = ++searchToken;
  const done = engine.next('bestmove');
  search = { token, done };
  done.then(() => {
    if (search && search.token === token) search = null;
  });
  engine.send(positionCommand());
  engine.send(goCommand);
  return done.then((line) => (token === searchToken ? line : null));
}

async function engineMove() {
  const line = await runSearch('go ' + $('level').value);
  if (!line) return;
  const move = line.split(' ')[1];
  if (!game.play(move)) return;
  update();
}

async function startAnalysis() {
  lines.length = 0;
  renderLines();
  await runSearch('go infinite');
}

// After every change of the position: draw it, then let the engine play or analyse.
async function update() {
  state = game.state();
  selected = null;
  render();
  await stopEngine();
  if (analysing) startAnalysis();
  else if (state.outcome === 0 && state.side !== human) engineMove();
  render();
}

function sideName(side) {
  return side === Red ? 'red' : 'black';
}

function statusText() {
  if (state.outcome !== 0) {
    const winner = state.outcome === 3 ? 'Draw' : state.outcome === 1 ? 'Red wins' : 'Black wins';
    return `${winner} by ${state.reason}`;
  }
  const check = state.check ? ' Check!' : '';
  if (analysing) return `Analysis: ${sideName(state.side)} to move.${check}`;
  if (state.side === human) return `Your move (${sideName(state.side)}).${check}`;
  return `Quorvel is thinking…${check}`;
}

function render() {
  const pieces = piecesOfFen(state.fen);
  const last = state.moves.length ? state.moves[state.moves.length - 1] : null;
  let check = null;
  if (state.check) for (const [square, letter] of pieces) if (letter === (state.side === Red ? 'K' : 'k')) check = square;
  const targets = selected
    ? state.legal.filter((move) => move.startsWith(selected)).map((move) => ({ square: move.slice(2), capture: pieces.has(move.slice(2)) }))
    : [];
  board.render(pieces, { selected, targets, last: last ? [last.slice(0, 2), last.slice(2)] : null, check });
  $('status').textContent = statusText();
  const list = $('moves');
  const blackFirst = state.startFen.split(' ')[1] === 'b';
  list.replaceChildren(
    ...state.moves.map((move, index) => {
      const item = document.createElement('li');
      item.textContent = move;
      item.dataset.ply = index + 1;
      const ply = index + (blackFirst ? 1 : 0);
      if (ply % 2 === 0) item.dataset.number = ply / 2 + 1;
      else if (index === 0) item.classList.add('black-first');
      if (index === state.moves.length - 1) item.classList.add('current');
      return item;
    }),
  );
  list.scrollTop = list.scrollHeight;
  if (document.activeElement !== $('fen')) $('fen').value = state.fen;
}

function myTurn() {
  return state.outcome === 0 && (analysing || state.side === human);
}

function ownPiece(square) {
  const letter = piecesOfFen(state.fen).get(square);
  return letter && (letter === letter.toUpperCase()) === (state.side === Red);
}

function tryMove(from, to) {
  const move = from + to;
  if (!state.legal.includes(move)) {
    notice(`Illegal move: ${move}.`);
    selected = null;
    render();
    return;
  }
  notice('');
  game.play(move);
  update();
}

function press(square) {
  if (!state) return;
  if (!myTurn()) {
    notice(state.outcome !== 0 ? 'The game is over.' : 'Wait for Quorvel’s move.');
    return;
  }
  if (selected && square !== selected && !ownPiece(square)) {
    tryMove(selected, square);
    return;
  }
  if (ownPiece(square)) {
    selected = square === selected ? null : square;
    notice('');
  } else if (piecesOfFen(state.fen).has(square)) {
    notice('That piece is not yours to move.');
  }
  render();
}

function drop(from, to) {
  if (!myTurn() || !ownPiece(from)) return;
  tryMove(from, to);
}

function parseInfo(line) {
  const words = line.split(' ');
  const info = { line: 1 };
  for (let i = 1; i < words.length; i++) {
    if (words[i] === 'depth') info.depth = Number(words[++i]);
    else if (words[i] === 'multipv') info.line = Number(words[++i]);
    else if (words[i] === 'score') {
      info.kind = words[++i];
      info.value = Number(words[++i]);
    } else if (words[i] === 'pv') {
      info.pv = words.slice(i + 1);
      break;
    }
  }
  return info;
}

// Scores in pawns from red's side; the engine gives them for the side to move.
function scoreText(info) {
  const sign = state.side === Red ? 1 : -1;
  if (info.kind === 'mate') {
    const moves = info.value * sign;
    return (moves > 0 ? 'red mates in ' : 'black mates in ') + Math.abs(moves);
  }
  const pawns = (info.value * sign) / 100;
  return (pawns > 0 ? '+' : '') + pawns.toFixed(2);
}

function showLine(line) {
  const info = parseInfo(line);
  if (!info.pv || info.line > 3) return;
  lines[info.line - 1] = `${scoreText(info)}  depth ${info.depth}  ${info.pv.join(' ')}`;
  renderLines();
}

function renderLines() {
  $('lines').replaceChildren(
    ...lines.filter(Boolean).map((text) => {
      const item = document.createElement('li');
      item.textContent = text;
      return item;
    }),
  );
}

async function setAnalysis(on) {
  analysing = on;
  $('analyse').setAttribute('aria-pressed', String(on));
  $('analysis').hidden = !on;
  await stopEngine();
  engine.send(`setoption name MultiPV value ${on ? 3 : 1}`);
  update();
}

async function newGame(fen) {
  await stopEngine();
  if (!game.start(fen)) return false;
  notice('');
  update();
  return true;
}

function takeBack(plies) {
  for (let i = 0; i < plies; i++) game.undo();
}

$('new-game').onclick = () => {
  engine.send('ucinewgame');
  newGame('');
};

$('undo').onclick = async () => {
  await stopEngine();
  const count = game.state().moves.length;
  if (analysing || state.side !== human) takeBack(1);
  else if (count >= 2) takeBack(2);
  else notice('Nothing to take back.');
  update();
};

$('flip').onclick = () => {
  board.flip();
  render();
};

$('analyse').onclick = () => setAnalysis(!analysing);

$('side').onchange = () => {
  human = Number($('side').value);
  if (board.flipped !== (human !== Red)) board.flip();
  update();
};

$('moves').onclick = async (event) => {
  const item = event.target.closest('li');
  if (!item) return;
  await stopEngine();
  takeBack(state.moves.length - Number(item.dataset.ply));
  update();
};

$('fen-form').onsubmit = async (event) => {
  event.preventDefault();
  const fen = $('fen').value.trim();
  $('fen').blur();
  if (!(await newGame(fen))) {
    notice('Not a valid Xiangqi FEN; the position is unchanged.');
    render();
  }
};

// ---- PGN ----------------------------------------------------------------

function pgnText() {
  const result = Results[state.outcome];
  const date = new Date().toISOString().slice(0, 10).replaceAll('-', '.');
  const players = human === Red ? ['You', 'Quorvel'] : ['Quorvel', 'You'];
  const tags = [
    ['Event', 'Quorvel in the browser'], ['Site', '?'], ['Date', date], ['Round', '-'],
    ['Red', analysing ? '?' : players[0]], ['Black', analysing ? '?' : players[1]], ['Result', result],
    ['Variant', 'xiangqi'],
  ];
  if (!state.startFen.startsWith('rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w')) tags.push(['SetUp', '1'], ['FEN', state.startFen]);
  if (state.outcome !== 0) tags.push(['Termination', state.reason]);
  const moves = [];
  const blackFirst = state.startFen.split(' ')[1] === 'b';
  state.moves.forEach((move, index) => {
    const ply = index + (blackFirst ? 1 : 0);
    if (ply % 2 === 0) moves.push(`${ply / 2 + 1}. ${move}`);
    else if (index === 0) moves.push(`1... ${move}`);
    else moves.push(move);
  });
  moves.push(result);
  const body = [];
  let row = '';
  for (const word of moves) {
    if (row.length + word.length > 78) {
      body.push(row.trimEnd());
      row = '';
    }
    row += word + ' ';
  }
  body.push(row.trimEnd());
  return tags.map(([key, value]) => `[${key} "${value.replaceAll('"', "'")}"]`).join('\n') + '\n\n' + body.join('\n') + '\n';
}

// Plays a PGN's moves from its FEN; on any fault the game stays as it was.
async function loadPgn(text) {
  const tags = Object.fromEntries([...text.matchAll(/\[(\w+)\s+"([^"]*)"\]/g)].map((m) => [m[1], m[2]]));
  const body = text.replace(/\[[^\]]*\]/g, ' ').replace(/\{[^}]*\}/g, ' ').replace(/;[^\n]*/g, ' ');
  const words = body.split(/\s+/).filter((word) => word && !/^\d+\.+$/.test(word) && !/^(1-0|0-1|1\/2-1\/2|\*)$/.test(word));
  const moves = words.map((word) => word.replace(/^\d+\.+/, '')).filter(Boolean);
  const saved = game.state();
  await stopEngine();
  const restore = (why) => {
    game.start(saved.startFen);
    for (const move of saved.moves) game.play(move);
    notice(why);
    update();
    return false;
  };
  if (tags.Variant && tags.Variant.toLowerCase() !== 'xiangqi') return restore(`Not a Xiangqi game (Variant ${tags.Variant}); nothing loaded.`);
  if (!game.start(tags.FEN || '')) return restore('The PGN’s FEN is not valid; nothing loaded.');
  for (const move of moves) {
    if (!game.play(move)) return restore(`The PGN’s move ${move} is not legal there; nothing loaded.`);
  }
  notice('');
  update();
  return true;
}

$('save-pgn').onclick = () => {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([pgnText()], { type: 'application/x-chess-pgn' }));
  link.download = 'quorvel-game.pgn';
  link.click();
  URL.revokeObjectURL(link.href);
};

$('load-pgn').onchange = async (event) => {
  const file = event.target.files[0];
  if (file) await loadPgn(await file.text());
  event.target.value = '';
};

// For tests and tools: the PGN of the game as the Save button writes it.
window.quorvelPage = { pgn: pgnText, loadPgn };

game.start('');
update();
