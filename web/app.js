// The page: a game against Quorvel (with a clock or a time a move), an
// analysis board, and the review of a game. The rules (legal moves, check,
// the end of the game) come from the engine's core in a wasm instance of the
// page's own; the moves, the analysis and the review from the engine in its
// worker.
import { BoardView, piecesOfFen } from './board.js';
import { GameClock, clockText } from './clock.js';
import { Quorvel } from './quorvel-engine.mjs';
import { drawGraph, finalPosition, judgeMove, plyAt, scoreText, searchedPosition } from './review.js';

const $ = (id) => document.getElementById(id);
const Red = 0;
const Results = ['*', '1-0', '0-1', '1/2-1/2'];
// A position line longer than the engine's line buffer would be cut: past
// this many moves the engine gets the current position alone.
const MaxMovesSent = 700;
// Often enough for tenths on the clock and a prompt flag.
const ClockTickMs = 100;
const LowTimeMs = 10000;
const Glyphs = { inaccuracy: '?!', mistake: '?', blunder: '??' };

const core = await QuorvelModule({ quorvelHost: {} });
const game = {
  start: (fen) => core.ccall('quorvel_game_start', 'number', ['string'], [fen]) === 1,
  play: (move) => core.ccall('quorvel_game_play', 'number', ['string'], [move]) === 1,
  undo: () => core.ccall('quorvel_game_undo', 'number', [], []) === 1,
  state: () => JSON.parse(core.ccall('quorvel_game_state', 'string', [], [])),
};

const engine = await Quorvel.start();
// The whole game line; the board shows the position after `cursor` of its
// moves, and going back loses nothing until a different move is played.
const line = { startFen: '', moves: [] };
let cursor = 0;
let state = null; // the rules' state of the position shown
let ending = null; // the rules' state at the end of the line
let selected = null;
let analysing = false;
// The latest search asked for, { token, key, onInfo, stopping }, until it has
// answered; running is the one whose go the engine has. A go is sent only
// after the answer to the one before (idle), so that each bestmove answers
// its own go and info lines reach the search they belong to.
let search = null;
let running = null;
let idle = Promise.resolve();
let searchToken = 0;
let human = Red;
const lines = [];
let liveBest = null; // the first move of the analysis's best line
let clock = null; // the GameClock of a game on the clock
let clockTimer = null;
let flagFallen = null; // the side whose time ran out
// One record per position of the line (see review.js), kept for the PGN's comments.
let review = [];
let reviewRun = null; // { cancelled, finished } while a review runs

const board = new BoardView($('board'), { onPress: press, onDrop: drop });
engine.onLine = (text) => {
  if (running && running.onInfo && running.token === searchToken && text.startsWith('info ') && text.includes(' score ')) running.onInfo(text);
};

function notice(text) {
  $('notice').textContent = text;
}

// Every move's text on the page comes from here.
function moveLabel(ply) {
  return line.moves[ply - 1];
}

const atEnd = () => cursor === line.moves.length;
const gameOver = () => ending.outcome !== 0 || flagFallen !== null;
// A clock stops for good when its game ends; play that goes on after it is untimed.
const clockRunning = () => clock !== null && clock.running !== null;

// Moves the rules' game to the position after ply moves of the line.
function goTo(ply) {
  while (cursor > ply) {
    game.undo();
    cursor--;
  }
  while (cursor < ply) game.play(line.moves[cursor++]);
}

function startLine(fen) {
  if (!game.start(fen)) return false;
  line.startFen = game.state().startFen;
  line.moves = [];
  cursor = 0;
  review = [];
  flagFallen = null;
  return true;
}

function positionCommand(ply, fen) {
  if (ply > MaxMovesSent) return 'position fen ' + fen;
  return 'position fen ' + line.startFen + (ply ? ' moves ' + line.moves.slice(0, ply).join(' ') : '');
}

// A move on the board at the position shown: the line's own next move goes
// forward, any other replaces the rest of the line.
function playMove(move) {
  const mover = state.side;
  if (!game.play(move)) return false;
  if (line.moves[cursor] === move) {
    cursor++;
    return true;
  }
  const replaced = line.moves.slice(cursor);
  line.moves.length = cursor;
  line.moves.push(move);
  cursor++;
  review.length = Math.min(review.length, cursor);
  if (replaced.length) {
    const rest = replaced.length - 1;
    notice(`${move} replaces ${replaced[0]}${rest ? ` and the ${rest === 1 ? 'move' : rest + ' moves'} after it` : ''}.`);
  }
  if (clockRunning()) {
    clock.moved(mover);
  } else {
    dropClock();
    flagFallen = null;
  }
  return true;
}

// The engine's move goes at the end of the line, wherever the player is looking.
function appendMove(move) {
  const shown = cursor;
  goTo(line.moves.length);
  if (!game.play(move)) return;
  line.moves.push(move);
  cursor++;
  if (clockRunning()) clock.moved(ending.side);
  if (shown < cursor - 1) goTo(shown);
}

// Drops every search asked for so far, and stops the one running.
function halt() {
  searchToken++;
  if (running && !running.stopping) {
    running.stopping = true;
    engine.send('stop');
  }
}

// Stops whatever the engine is doing and waits for its answer, which is dropped.
async function stopEngine() {
  halt();
  await idle;
}

// The answer ("bestmove ..."), or null when the search was dropped first.
function runSearch(key, position, goCommand, onInfo = null) {
  halt();
  const entry = { token: searchToken, key, onInfo, stopping: false };
  search = entry;
  const answer = idle.then(async () => {
    if (entry.token !== searchToken) return null;
    const done = engine.next('bestmove');
    running = entry;
    engine.send(position);
    engine.send(goCommand);
    const bestmove = await done;
    running = null;
    return entry.token === searchToken ? bestmove : null;
  });
  idle = answer.then(() => {
    if (search === entry) search = null;
  });
  return answer;
}

// What the engine should be searching now, as a key that names it.
function wantedSearch() {
  if (analysing) return state.outcome === 0 ? 'analyse ' + positionCommand(cursor, state.fen) : null;
  if (gameOver() || ending.side === human) return null;
  return 'move ' + positionCommand(line.moves.length, ending.fen);
}

// Starts what the engine should be doing, keeping a search still wanted (the
// engine thinks on while the player looks back through the game).
function settleEngine() {
  if (reviewRun) return;
  const key = wantedSearch();
  if (search && search.token === searchToken && search.key === key) return;
  if (!key) halt();
  else if (analysing) startAnalysis(key);
  else engineMove(key);
}

async function engineMove(key) {
  const goCommand = clockRunning() ? clock.goCommand() : 'go ' + $('level').value;
  const answer = await runSearch(key, key.slice('move '.length), goCommand);
  if (!answer || checkFlag()) return;
  appendMove(answer.split(' ')[1]);
  update();
}

function startAnalysis(key) {
  lines.length = 0;
  renderLines();
  runSearch(key, key.slice('analyse '.length), 'go infinite', showLine);
}

// After every change of the position or the line: draw it, then let the
// engine play, analyse or go on.
function update() {
  state = game.state();
  if (atEnd()) ending = state;
  if (clock && gameOver()) clock.stop();
  selected = null;
  liveBest = null;
  render();
  settleEngine();
}

function sideName(side) {
  return side === Red ? 'red' : 'black';
}

function statusText() {
  const total = line.moves.length;
  const where = atEnd() ? '' : ` — move ${cursor} of ${total}`;
  if (atEnd() && flagFallen !== null) return `${flagFallen === Red ? 'Black' : 'Red'} wins on time`;
  if (state.outcome !== 0) {
    const winner = state.outcome === 3 ? 'Draw' : state.outcome === 1 ? 'Red wins' : 'Black wins';
    return `${winner} by ${state.reason}`;
  }
  const check = state.check ? ' Check!' : '';
  if (reviewRun) return `Reviewing the game: ${review.length} of ${total + 1} positions searched.`;
  if (analysing) return `Analysis: ${sideName(state.side)} to move${where}.${check}`;
  if (!atEnd()) {
    if (clockRunning()) return `Move ${cursor} of ${total}: the game goes on at the last move.`;
    if (gameOver() || state.side !== human) return `Move ${cursor} of ${total}, ${sideName(state.side)} to move.${check}`;
    return `Your move (${sideName(state.side)})${where}: a move here replaces the moves after it.${check}`;
  }
  if (state.side === human) return `Your move (${sideName(state.side)}).${check}`;
  return `Quorvel is thinking…${check}`;
}

function arrow() {
  if (analysing && liveBest) return liveBest;
  return review[cursor] ? review[cursor].best : null;
}

function render() {
  const pieces = piecesOfFen(state.fen);
  const last = cursor ? line.moves[cursor - 1] : null;
  let check = null;
  if (state.check) for (const [square, letter] of pieces) if (letter === (state.side === Red ? 'K' : 'k')) check = square;
  const targets = selected
    ? state.legal.filter((move) => move.startsWith(selected)).map((move) => ({ square: move.slice(2), capture: pieces.has(move.slice(2)) }))
    : [];
  board.arrow = arrow();
  board.render(pieces, { selected, targets, last: last ? [last.slice(0, 2), last.slice(2)] : null, check });
  $('status').textContent = statusText();
  renderMoves();
  renderReview();
  renderClocks();
  $('first').disabled = $('back').disabled = cursor === 0;
  $('forward').disabled = $('last').disabled = atEnd();
  if (document.activeElement !== $('fen')) $('fen').value = state.fen;
}

function renderMoves() {
  const list = $('moves');
  const blackFirst = line.startFen.split(' ')[1] === 'b';
  list.replaceChildren(
    ...line.moves.map((move, index) => {
      const ply = index + 1;
      const item = document.createElement('li');
      item.textContent = moveLabel(ply);
      item.dataset.ply = ply;
      item.dataset.move = move;
      const counted = index + (blackFirst ? 1 : 0);
      if (counted % 2 === 0) item.dataset.number = counted / 2 + 1;
      else if (index === 0) item.classList.add('black-first');
      if (ply === cursor) item.classList.add('current');
      const judged = review[ply];
      if (judged && judged.class && review[index].best) {
        item.classList.add(judged.class);
        item.title = `${judged.class}: ${(judged.loss / 100).toFixed(2)} lost; best ${review[index].best}`;
        const glyph = document.createElement('span');
        glyph.className = 'glyph';
        glyph.textContent = Glyphs[judged.class];
        const best = document.createElement('span');
        best.className = 'best';
        best.textContent = review[index].best;
        item.append(glyph, best);
      }
      return item;
    }),
  );
  // Scrolls the list alone (scrollIntoView would move the page on a phone).
  const current = list.querySelector('.current');
  if (!current) list.scrollTop = 0;
  else if (current.offsetTop < list.scrollTop || current.offsetTop + current.offsetHeight > list.scrollTop + list.clientHeight) {
    list.scrollTop = current.offsetTop - list.clientHeight / 2;
  }
}

function myTurn() {
  if (state.outcome !== 0 || (atEnd() && flagFallen !== null)) return false;
  if (analysing) return true;
  if (clockRunning() && !atEnd()) return false;
  return state.side === human;
}

function ownPiece(square) {
  const letter = piecesOfFen(state.fen).get(square);
  return letter && (letter === letter.toUpperCase()) === (state.side === Red);
}

async function tryMove(from, to) {
  const move = from + to;
  if (!state.legal.includes(move)) {
    notice(`Illegal move: ${move}.`);
    selected = null;
    render();
    return;
  }
  notice('');
  if (line.moves[cursor] !== move) await cancelReview();
  if (checkFlag()) return;
  playMove(move);
  update();
}

function press(square) {
  if (!state) return;
  if (!myTurn()) {
    if (gameOver() && atEnd()) notice('The game is over.');
    else if (clockRunning() && !atEnd()) notice('On the clock, moves go at the last position (▶▶ or End).');
    else if (!atEnd()) notice('Quorvel’s move here: go on, or back to a move of yours.');
    else notice('Wait for Quorvel’s move.');
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

function parseInfo(text) {
  const words = text.split(' ');
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

function showLine(text) {
  const info = parseInfo(text);
  if (!info.pv || info.line > 3) return;
  lines[info.line - 1] = `${scoreText(searchedPosition(info.kind, info.value, state.side, null))}  depth ${info.depth}  ${info.pv.join(' ')}`;
  renderLines();
  if (info.line === 1 && info.pv[0] !== liveBest) {
    liveBest = info.pv[0];
    board.setArrow(liveBest);
  }
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

function setAnalysing(on) {
  analysing = on;
  $('analyse').setAttribute('aria-pressed', String(on));
  $('analysis').hidden = !on;
  engine.send(`setoption name MultiPV value ${on ? 3 : 1}`);
}

async function setAnalysis(on) {
  if (on && clockRunning()) {
    notice('Analysis waits for the end of the game on the clock.');
    return;
  }
  setAnalysing(on);
  if (!on) await cancelReview();
  await stopEngine();
  update();
}

// ---- navigation ---------------------------------------------------------

function navigate(ply) {
  const target = Math.max(0, Math.min(line.moves.length, ply));
  if (target === cursor) return;
  goTo(target);
  notice('');
  update();
}

$('first').onclick = () => navigate(0);
$('back').onclick = () => navigate(cursor - 1);
$('forward').onclick = () => navigate(cursor + 1);
$('last').onclick = () => navigate(line.moves.length);

const Keys = { ArrowLeft: -1, ArrowRight: 1, ArrowUp: -Infinity, Home: -Infinity, ArrowDown: Infinity, End: Infinity };
document.addEventListener('keydown', (event) => {
  if (!(event.key in Keys) || event.altKey || event.ctrlKey || event.metaKey) return;
  if (event.target.closest('input, select, textarea')) return;
  event.preventDefault();
  const step = Keys[event.key];
  navigate(step === -Infinity ? 0 : step === Infinity ? line.moves.length : cursor + step);
});

$('moves').onclick = (event) => {
  const item = event.target.closest('li');
  if (item) navigate(Number(item.dataset.ply));
};

// ---- the clock ----------------------------------------------------------

// 'clock BASE_MS INCREMENT_MS' as the level's value, or null.
function clockLevel() {
  const words = $('level').value.split(' ');
  return words[0] === 'clock' ? { base: Number(words[1]), increment: Number(words[2]) } : null;
}

function startClock() {
  const level = clockLevel();
  clock = level ? new GameClock(level.base, level.increment) : null;
  if (clock) clock.start(game.state().side);
  clearInterval(clockTimer);
  clockTimer = clock ? setInterval(tickClock, ClockTickMs) : null;
}

function tickClock() {
  renderClocks();
  checkFlag();
  if (!clockRunning()) clearInterval(clockTimer);
}

function dropClock() {
  clock = null;
  clearInterval(clockTimer);
}

// Ends the game when the side to move's time has run out; true if so.
function checkFlag() {
  if (!clock || flagFallen !== null || gameOver()) return flagFallen !== null;
  const side = clock.fallen();
  if (side === null) return false;
  flagFallen = side;
  clock.stop();
  goTo(line.moves.length);
  stopEngine().then(update);
  return true;
}

function renderClocks() {
  $('clocks').hidden = !clock;
  if (!clock) return;
  for (const side of [Red, 1]) {
    const element = $(side === Red ? 'clock-red' : 'clock-black');
    const left = clock.remaining(side);
    element.querySelector('.time').textContent = clockText(left);
    element.querySelector('.who').textContent = `${side === Red ? 'Red' : 'Black'}${side === human ? ' (you)' : ''}`;
    element.classList.toggle('running', clock.running === side);
    element.classList.toggle('low', left < LowTimeMs);
    element.classList.toggle('fallen', flagFallen === side);
    // The clock of the side at the top edge of the board comes first.
    element.style.order = (side === Red) === board.flipped ? 0 : 1;
  }
}

$('level').onchange = async () => {
  if (!clockLevel()) {
    if (clockRunning()) notice('The game goes on without a clock.');
    dropClock();
    render();
    return;
  }
  if (line.moves.length > 0 || analysing) {
    notice('The clock starts with the next new game.');
    return;
  }
  await stopEngine();
  startClock();
  update();
};

// ---- review -------------------------------------------------------------

function renderReview() {
  const graph = $('eval-graph');
  graph.toggleAttribute('hidden', review.length === 0);
  if (review.length) drawGraph(graph, review, line.moves.length + 1, cursor);
  const record = review[cursor];
  const before = review[cursor - 1];
  let text = '';
  if (record) {
    text = `${cursor ? moveLabel(cursor) : 'Start'}: ${scoreText(record)}`;
    if (record.class) text += `, ${record.class}`;
    if (before && before.best && before.best !== moveLabel(cursor)) text += `; best was ${before.best}`;
    if (record.best) text += `. Best now: ${record.best}`;
  }
  $('review-note').textContent = text;
}

async function cancelReview() {
  const run = reviewRun;
  if (!run) return;
  run.cancelled = true;
  await stopEngine();
  await run.finished;
}

// Searches every position of the line at the chosen time and judges each move.
async function runReview() {
  if (reviewRun) return;
  if (clockRunning()) {
    notice('The review waits for the end of the game on the clock.');
    return;
  }
  if (line.moves.length === 0) {
    notice('No moves to review yet.');
    return;
  }
  let finish;
  reviewRun = { cancelled: false, finished: new Promise((resolve) => (finish = resolve)) };
  await stopEngine();
  if (!analysing) setAnalysing(true);
  engine.send('setoption name MultiPV value 1');
  engine.send('setoption name OwnBook value false');
  const shown = cursor;
  const positions = [];
  for (let ply = 0; ply <= line.moves.length; ply++) {
    goTo(ply);
    positions.push(game.state());
  }
  goTo(shown);
  review = [];
  const goCommand = 'go ' + $('review-time').value;
  $('review-progress').max = positions.length;
  $('review-progress').value = 0;
  $('review-running').hidden = false;
  $('review').disabled = true;
  notice('');
  for (let ply = 0; ply < positions.length && !reviewRun.cancelled; ply++) {
    const position = positions[ply];
    let record;
    if (position.outcome !== 0) {
      record = finalPosition(position.outcome);
    } else {
      let last = null;
      const answer = await runSearch('review', positionCommand(ply, position.fen), goCommand, (text) => {
        const info = parseInfo(text);
        if (info.line === 1 && info.kind) last = info;
      });
      if (!answer) break;
      const best = answer.split(' ')[1];
      record = last ? searchedPosition(last.kind, last.value, position.side, best) : { ...(review[ply - 1] || finalPosition(3)), best };
    }
    if (ply > 0) judgeMove(review[ply - 1], record, line.moves[ply - 1], positions[ply - 1].side);
    review[ply] = record;
    $('review-progress').value = ply + 1;
    render();
  }
  engine.send('setoption name OwnBook value true');
  engine.send(`setoption name MultiPV value ${analysing ? 3 : 1}`);
  const cancelled = reviewRun.cancelled;
  reviewRun = null;
  $('review-running').hidden = true;
  $('review').disabled = false;
  if (cancelled) notice('Review cancelled.');
  else {
    const count = (name, plural) => {
      const found = review.filter((record) => record.class === name).length;
      return `${found} ${found === 1 ? name : plural}`;
    };
    notice(`Review done: ${count('blunder', 'blunders')}, ${count('mistake', 'mistakes')}, ${count('inaccuracy', 'inaccuracies')}.`);
  }
  finish();
  update();
}

$('review').onclick = runReview;
$('review-cancel').onclick = cancelReview;
$('eval-graph').onclick = (event) => navigate(plyAt($('eval-graph'), event, line.moves.length + 1));

// ---- games --------------------------------------------------------------

async function newGame(fen, withClock) {
  await cancelReview();
  await stopEngine();
  if (!startLine(fen)) return false;
  if (withClock && !analysing) startClock();
  else dropClock();
  notice('');
  update();
  return true;
}

$('new-game').onclick = () => {
  engine.send('ucinewgame');
  newGame('', true);
};

$('undo').onclick = async () => {
  if (clockRunning()) {
    notice('No take-backs in a game on the clock.');
    return;
  }
  await cancelReview();
  await stopEngine();
  goTo(line.moves.length);
  const plies = analysing || game.state().side !== human ? 1 : 2;
  if (line.moves.length < plies) {
    notice('Nothing to take back.');
  } else {
    goTo(line.moves.length - plies);
    line.moves.length = cursor;
    review.length = Math.min(review.length, cursor + 1);
    flagFallen = null;
    dropClock();
  }
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

$('fen-form').onsubmit = async (event) => {
  event.preventDefault();
  const fen = $('fen').value.trim();
  $('fen').blur();
  if (!(await newGame(fen, false))) {
    notice('Not a valid Xiangqi FEN; the position is unchanged.');
    render();
  }
};

// ---- PGN ----------------------------------------------------------------

// The result of the whole line, however far back the board shows.
function pgnText() {
  const outcome = flagFallen !== null ? 2 - flagFallen : ending.outcome;
  const result = Results[outcome];
  const date = new Date().toISOString().slice(0, 10).replaceAll('-', '.');
  const players = human === Red ? ['You', 'Quorvel'] : ['Quorvel', 'You'];
  const tags = [
    ['Event', 'Quorvel in the browser'], ['Site', '?'], ['Date', date], ['Round', '-'],
    ['Red', analysing ? '?' : players[0]], ['Black', analysing ? '?' : players[1]], ['Result', result],
    ['Variant', 'xiangqi'],
  ];
  if (!line.startFen.startsWith('rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w')) tags.push(['SetUp', '1'], ['FEN', line.startFen]);
  if (flagFallen !== null) tags.push(['Termination', 'time forfeit']);
  else if (ending.outcome !== 0) tags.push(['Termination', ending.reason]);
  const moves = [];
  const blackFirst = line.startFen.split(' ')[1] === 'b';
  line.moves.forEach((move, index) => {
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
  await cancelReview();
  await stopEngine();
  const saved = { startFen: line.startFen, moves: line.moves, cursor, review, flagFallen };
  const restore = (why) => {
    game.start(saved.startFen);
    Object.assign(line, { startFen: saved.startFen, moves: saved.moves });
    cursor = 0;
    goTo(saved.cursor);
    ({ review, flagFallen } = saved);
    notice(why);
    update();
    return false;
  };
  if (tags.Variant && tags.Variant.toLowerCase() !== 'xiangqi') return restore(`Not a Xiangqi game (Variant ${tags.Variant}); nothing loaded.`);
  if (!startLine(tags.FEN || '')) return restore('The PGN’s FEN is not valid; nothing loaded.');
  for (const move of moves) {
    if (!game.play(move)) return restore(`The PGN’s move ${move} is not legal there; nothing loaded.`);
    line.moves.push(move);
    cursor++;
  }
  dropClock();
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

// After one visit the page works offline and can be installed.
if ('serviceWorker' in navigator) navigator.serviceWorker.register('service-worker.js').catch(() => {});

startLine('');
update();
