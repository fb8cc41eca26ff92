// The page: a game against Quorvel (with a clock or a time a move, at a
// strength), an analysis board, and the review of a game. The rules (legal
// moves, check, the end of the game), the move texts in every notation and the
// game files come from the engine's core through Game, in a wasm instance of
// the page's own; the moves, the analysis and the review from the engine in
// its worker.
import { BoardView, piecesOfFen } from './board.js';
import { GameClock, clockText } from './clock.js';
import { Quorvel } from './quorvel-engine.mjs';
import { Game, skillLevels } from './quorvel-game.mjs';
import { drawGraph, finalPosition, judgeMove, plyAt, readReviewComment, reviewComment, scoreText, searchedPosition } from './review.js';

const $ = (id) => document.getElementById(id);
const Red = 0;
const Black = 1;
// A position line longer than the engine's line buffer would be cut: past
// this many moves the engine gets the current position alone.
const MaxMovesSent = 700;
// Often enough for tenths on the clock and a prompt flag.
const ClockTickMs = 100;
const LowTimeMs = 10000;
const Glyphs = { inaccuracy: '?!', mistake: '?', blunder: '??' };
// The choices kept across visits.
const Stored = { notation: 'quorvel.notation', strength: 'quorvel.strength' };
// A strength's name by its Elo, below each bound; the top level is the full search.
const StrengthNames = [[1000, 'Beginner'], [1300, 'Casual'], [1700, 'Club player'], [2100, 'Strong club player'], [Infinity, 'Expert']];

// The rules' game at the position shown.
let game = await Game.start();
const levels = await skillLevels();
const FullStrength = levels[levels.length - 1].level;
const engine = await Quorvel.start();
// The whole game line, its moves as Game's move objects; the board shows the
// position after `cursor` of them, and going back loses nothing until a
// different move is played. notes holds what the comments of a loaded game
// said besides the review; loaded, that the game came from a file, whose tags
// it keeps; fromFile, that the line is still the file's, whose result and
// termination tags then stand.
const line = { startFen: '', moves: [], notes: [], loaded: false, fromFile: false };
let cursor = 0;
let state = null; // the rules' state of the position shown
let ending = null; // the rules' state at the end of the line
let sentLevel = FullStrength; // the Skill Level the engine has
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

const notation = () => $('notation').value;

// Every move's text on the page comes from here.
function moveLabel(ply) {
  return line.moves[ply - 1][notation()];
}

// The moves of a line from the position shown, in the chosen notation, as far as they are legal there.
function lineLabels(moves) {
  const labels = [];
  try {
    for (const move of moves) labels.push(game.move(move)[notation()]);
  } catch {
    // A line that no longer fits the position ends where it stops fitting.
  }
  for (let i = 0; i < labels.length; i++) game.undo();
  return labels;
}

// The move (as Game gives it) of a coordinate text at position ply of the line.
function moveAt(ply, coord) {
  const shown = cursor;
  goTo(ply);
  let found = null;
  try {
    found = game.move(coord);
    game.undo();
  } catch {
    found = null;
  }
  goTo(shown);
  return found;
}

// The label of the engine's best move at position ply of the review.
function bestLabel(ply) {
  const record = review[ply];
  if (!record || !record.best) return '';
  if (!record.bestMove || record.bestMove.coord !== record.best) record.bestMove = moveAt(ply, record.best);
  return record.bestMove ? record.bestMove[notation()] : record.best;
}

const atEnd = () => cursor === line.moves.length;
const gameOver = () => ending.outcome !== null || flagFallen !== null;
// A clock stops for good when its game ends; play that goes on after it is untimed.
const clockRunning = () => clock !== null && clock.running !== null;

// Moves the rules' game to the position after ply moves of the line.
function goTo(ply) {
  while (cursor > ply) {
    game.undo();
    cursor--;
  }
  while (cursor < ply) game.move(line.moves[cursor++].coord);
}

// The rules' state of the position shown: its FEN, the side to move (0 red,
// 1 black), check, the outcome (null, or { result, termination }) and the
// legal moves, none once the game is over.
function positionState() {
  const outcome = game.outcome();
  return { fen: game.fen(), side: game.turn() === 'red' ? Red : Black, check: game.inCheck(), outcome, legal: outcome ? [] : game.moves() };
}

// A new line from a FEN (the standard start when empty); false, and nothing changed, for a FEN the rules refuse.
async function startLine(fen) {
  let fresh;
  try {
    fresh = await Game.start(fen);
  } catch {
    return false;
  }
  game.free();
  game = fresh;
  Object.assign(line, { startFen: game.fen(), moves: [], notes: [], loaded: false, fromFile: false });
  cursor = 0;
  review = [];
  flagFallen = null;
  return true;
}

function positionCommand(ply, fen) {
  if (ply > MaxMovesSent) return 'position fen ' + fen;
  return 'position fen ' + line.startFen + (ply ? ' moves ' + line.moves.slice(0, ply).map((move) => move.coord).join(' ') : '');
}

// A move on the board at the position shown: the line's own next move goes
// forward, any other replaces the rest of the line.
function playMove(coord) {
  const mover = state.side;
  let move;
  try {
    move = game.move(coord);
  } catch {
    return false;
  }
  if (line.moves[cursor] && line.moves[cursor].coord === coord) {
    cursor++;
    return true;
  }
  const replaced = line.moves.slice(cursor);
  line.moves.length = cursor;
  line.moves.push(move);
  line.fromFile = false;
  cursor++;
  review.length = Math.min(review.length, cursor);
  line.notes.length = Math.min(line.notes.length, cursor);
  if (replaced.length) {
    const rest = replaced.length - 1;
    const label = move[notation()];
    notice(`${label} replaces ${replaced[0][notation()]}${rest ? ` and the ${rest === 1 ? 'move' : rest + ' moves'} after it` : ''}.`);
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
function appendMove(coord) {
  const shown = cursor;
  goTo(line.moves.length);
  let move;
  try {
    move = game.move(coord);
  } catch {
    goTo(shown);
    return;
  }
  line.moves.push(move);
  line.fromFile = false;
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

// The answer ("bestmove ..."), or null when the search was dropped first. The
// engine plays at the skill level given; analysis and review at full strength.
function runSearch(key, position, goCommand, onInfo = null, level = FullStrength) {
  halt();
  const entry = { token: searchToken, key, onInfo, stopping: false };
  search = entry;
  const answer = idle.then(async () => {
    if (entry.token !== searchToken) return null;
    const done = engine.next('bestmove');
    running = entry;
    if (level !== sentLevel) {
      engine.send(`setoption name Skill Level value ${level}`);
      sentLevel = level;
    }
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
  if (analysing) return state.outcome === null ? 'analyse ' + positionCommand(cursor, state.fen) : null;
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
  const answer = await runSearch(key, key.slice('move '.length), goCommand, null, Number($('strength').value));
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
  state = positionState();
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
  if (state.outcome) {
    const { result, termination } = state.outcome;
    const winner = result === '1/2-1/2' ? 'Draw' : result === '1-0' ? 'Red wins' : 'Black wins';
    return `${winner} by ${termination}`;
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

// The best move to draw as an arrow, and its label.
function arrow() {
  if (analysing && liveBest) return [liveBest, lineLabels([liveBest])[0] || liveBest];
  return review[cursor] && review[cursor].best ? [review[cursor].best, bestLabel(cursor)] : [null, ''];
}

function render() {
  const pieces = piecesOfFen(state.fen);
  const last = cursor ? line.moves[cursor - 1].coord : null;
  let check = null;
  if (state.check) for (const [square, letter] of pieces) if (letter === (state.side === Red ? 'K' : 'k')) check = square;
  const targets = selected
    ? state.legal.filter((move) => move.startsWith(selected)).map((move) => ({ square: move.slice(2), capture: pieces.has(move.slice(2)) }))
    : [];
  [board.arrow, board.arrowLabel] = arrow();
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
  list.dataset.notation = notation();
  const blackFirst = line.startFen.split(' ')[1] === 'b';
  list.replaceChildren(
    ...line.moves.map((move, index) => {
      const ply = index + 1;
      const item = document.createElement('li');
      item.textContent = moveLabel(ply);
      item.dataset.ply = ply;
      item.dataset.move = move.coord;
      const counted = index + (blackFirst ? 1 : 0);
      if (counted % 2 === 0) item.dataset.number = counted / 2 + 1;
      else if (index === 0) item.classList.add('black-first');
      if (ply === cursor) item.classList.add('current');
      const judged = review[ply];
      if (judged && judged.class && review[index].best) {
        item.classList.add(judged.class);
        item.title = `${judged.class}: ${(judged.loss / 100).toFixed(2)} lost; best ${bestLabel(index)}`;
        const glyph = document.createElement('span');
        glyph.className = 'glyph';
        glyph.textContent = Glyphs[judged.class];
        const best = document.createElement('span');
        best.className = 'best';
        best.textContent = bestLabel(index);
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
  if (state.outcome || (atEnd() && flagFallen !== null)) return false;
  if (analysing) return true;
  if (clockRunning() && !atEnd()) return false;
  return state.side === human;
}

function ownPiece(square) {
  const letter = piecesOfFen(state.fen).get(square);
  return letter && (letter === letter.toUpperCase()) === (state.side === Red);
}

// Why the rules refuse a move on the board ("the horse cannot move so").
function refusal(move) {
  try {
    game.move(move);
    game.undo();
    return 'the game is over';
  } catch (error) {
    return error.message;
  }
}

async function tryMove(from, to) {
  const move = from + to;
  if (!state.legal.includes(move)) {
    notice(`Illegal move: ${refusal(move)}.`);
    selected = null;
    render();
    return;
  }
  notice('');
  if (!line.moves[cursor] || line.moves[cursor].coord !== move) await cancelReview();
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
  lines[info.line - 1] = { head: `${scoreText(searchedPosition(info.kind, info.value, state.side, null))}  depth ${info.depth}`, pv: info.pv };
  renderLines();
  if (info.line === 1 && info.pv[0] !== liveBest) {
    liveBest = info.pv[0];
    board.setArrow(...arrow());
  }
}

function renderLines() {
  $('lines').replaceChildren(
    ...lines.filter(Boolean).map(({ head, pv }) => {
      const item = document.createElement('li');
      item.textContent = `${head}  ${lineLabels(pv).join(' ')}`;
      item.dataset.pv = pv.join(' ');
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
  if (clock) clock.start(positionState().side);
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
    if (before && before.best && before.best !== line.moves[cursor - 1].coord) text += `; best was ${bestLabel(cursor - 1)}`;
    if (record.best) text += `. Best now: ${bestLabel(cursor)}`;
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
    positions.push(positionState());
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
    if (position.outcome) {
      record = finalPosition(position.outcome.result);
    } else {
      let last = null;
      const answer = await runSearch('review', positionCommand(ply, position.fen), goCommand, (text) => {
        const info = parseInfo(text);
        if (info.line === 1 && info.kind) last = info;
      });
      if (!answer) break;
      const best = answer.split(' ')[1];
      record = last ? searchedPosition(last.kind, last.value, position.side, best) : { ...(review[ply - 1] || finalPosition('1/2-1/2')), best };
      record.depth = last ? last.depth : null;
    }
    if (ply > 0) judgeMove(review[ply - 1], record, line.moves[ply - 1].coord, positions[ply - 1].side);
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
  if (!(await startLine(fen))) return false;
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
  const plies = analysing || positionState().side !== human ? 1 : 2;
  if (line.moves.length < plies) {
    notice('Nothing to take back.');
  } else {
    goTo(line.moves.length - plies);
    line.moves.length = cursor;
    line.fromFile = false;
    review.length = Math.min(review.length, cursor + 1);
    line.notes.length = Math.min(line.notes.length, cursor + 1);
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

// The whole line as PGN in the chosen notation, however far back the board
// shows, with the review in its comments. A loaded game keeps its file's
// tags; a game of the page's own gets the page's.
function pgnText() {
  const shown = cursor;
  goTo(line.moves.length);
  if (!line.loaded) {
    const players = analysing ? ['?', '?'] : human === Red ? ['You', 'Quorvel'] : ['Quorvel', 'You'];
    const own = [['Event', 'Quorvel in the browser'], ['Site', '?'], ['Date', new Date().toISOString().slice(0, 10).replaceAll('-', '.')],
      ['Round', '-'], ['White', players[0]], ['Black', players[1]]];
    for (const [name, value] of own) game.setTag(name, value);
  }
  if (flagFallen !== null) {
    game.setTag('Result', flagFallen === Red ? '0-1' : '1-0');
    game.setTag('Termination', 'time forfeit');
  } else if (!line.fromFile) {
    // The rules' verdict, when there is one, is written in their place.
    game.setTag('Result', null);
    game.setTag('Termination', null);
  }
  for (let ply = 0; ply <= line.moves.length; ply++) {
    const judged = reviewComment(reviewAt(ply), bestLabel(ply));
    game.setComment(ply, [judged, line.notes[ply] || ''].filter(Boolean).join(' '));
  }
  const text = game.pgn({ notation: notation() });
  goTo(shown);
  return text;
}

// The review's record of a position as saved: only a position searched.
function reviewAt(ply) {
  const record = review[ply];
  return record && record.best ? record : null;
}

// Reads a PGN (moves in any notation) or WXF game file, with a review saved
// in its comments; on any fault the game stays as it was and the notice says
// which line and why.
async function loadPgn(text) {
  await cancelReview();
  await stopEngine();
  let games;
  try {
    games = game.loadPgn(text);
  } catch (error) {
    notice(`Nothing loaded: ${error.message}.`);
    update();
    return false;
  }
  line.moves = game.history({ verbose: true });
  const comments = game.comments();
  cursor = line.moves.length;
  goTo(0);
  line.startFen = game.fen();
  line.loaded = true;
  line.fromFile = true;
  line.notes = [];
  review = [];
  for (let ply = 0; ply <= line.moves.length; ply++) {
    goTo(ply);
    const found = readReviewComment(comments[ply] || '');
    line.notes[ply] = found ? found.rest : comments[ply] || '';
    if (!found) continue;
    const best = found.best ? moveAt(ply, found.best) : null;
    review[ply] = { ...found.record, best: best ? best.coord : null, bestMove: best };
  }
  goTo(line.moves.length);
  const outcome = game.outcome();
  if (review.length && outcome) review[line.moves.length] = finalPosition(outcome.result);
  const first = line.startFen.split(' ')[1] === 'b' ? Black : Red;
  for (let ply = 1; ply < review.length; ply++) {
    const mover = ply % 2 === 1 ? first : 1 - first;
    if (review[ply] && review[ply - 1]) judgeMove(review[ply - 1], review[ply], line.moves[ply - 1].coord, mover);
  }
  flagFallen = null;
  dropClock();
  notice(games > 1 ? `The first of the file's ${games} games.` : '');
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

$('paste-form').onsubmit = async (event) => {
  event.preventDefault();
  if (await loadPgn($('pgn-text').value)) {
    $('pgn-text').value = '';
    $('paste').open = false;
  }
};

// ---- choices kept across visits -------------------------------------------

// Storage may be refused (a private window, a sandbox): the choice is then
// forgotten, and the page works on.
function stored(key) {
  try {
    return localStorage.getItem(key);
  } catch {
    return null;
  }
}

function store(key, value) {
  try {
    localStorage.setItem(key, value);
  } catch {
    // forgotten, as above
  }
}

function keep(select, key) {
  const value = stored(key);
  if (value !== null && [...select.options].some((option) => option.value === value)) select.value = value;
  select.addEventListener('change', () => store(key, select.value));
}

// The strengths by name and Elo, the full search first.
function strengthText({ level, elo }) {
  if (level === FullStrength) return `Full strength (~${elo})`;
  const name = StrengthNames.find(([below]) => elo < below)[1];
  return `${name} (level ${level}, ~${elo})`;
}

$('strength').replaceChildren(...[...levels].reverse().map((entry) => new Option(strengthText(entry), String(entry.level))));
keep($('strength'), Stored.strength);
keep($('notation'), Stored.notation);
$('notation').addEventListener('change', () => {
  render();
  renderLines();
});

// For tests and tools: the PGN of the game as the Save button writes it.
window.quorvelPage = { pgn: pgnText, loadPgn };

// After one visit the page works offline and can be installed.
if ('serviceWorker' in navigator) navigator.serviceWorker.register('service-worker.js').catch(() => {});

await startLine('');
update();
