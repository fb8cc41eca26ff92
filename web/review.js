// A game's review: one plain record per position (the score from red's side,
// the best move there, and what the move that led there lost), the review's
// part of a saved game's comments, and the evaluation graph drawn from the records.

const NS = 'http://www.w3.org/2000/svg';
const Red = 0;

// Centipawns a move lost against the best move, from the mover's side.
export const Thresholds = [['blunder', 300], ['mistake', 100], ['inaccuracy', 50]];
// Ten pawns: past that (and for a mate) the game is decided, and a bigger
// figure would only flatten the graph and inflate the losses.
export const ScoreClip = 1000;

// { score: centipawns from red's side within ±ScoreClip, mate: moves to mate
// from red's side (negative: black mates) or null, best: the best move or null }
// for a search's last info (kind 'cp' or 'mate', value from the side to move's view).
export function searchedPosition(kind, value, side, best) {
  const sign = side === Red ? 1 : -1;
  if (kind === 'mate') return { score: Math.sign(value * sign) * ScoreClip, mate: value * sign, best };
  return { score: Math.max(-ScoreClip, Math.min(ScoreClip, value * sign)), mate: null, best };
}

// A position the game ended in, by its result: '1-0', '0-1' or '1/2-1/2'.
export function finalPosition(result) {
  const score = result === '1-0' ? ScoreClip : result === '0-1' ? -ScoreClip : 0;
  return { score, mate: result === '1/2-1/2' ? null : 0, best: null };
}

// Fills in loss and class of the move that led from before to after; the
// best move itself loses nothing, whatever the two searches say.
export function judgeMove(before, after, move, mover) {
  const drop = mover === Red ? before.score - after.score : after.score - before.score;
  after.loss = move === before.best ? 0 : Math.max(0, drop);
  const found = Thresholds.find(([, limit]) => after.loss >= limit);
  after.class = found ? found[0] : null;
}

// The review of a position as the comment of the move that led there begins
// with it: the score from red's side in pawns (or #N when red mates in N, #-N
// when black does), the depth searched, the engine's best move there in the
// file's notation, and the judgement of the move just played:
// "-2.10/12 best H2+3 blunder". Empty for a position not searched.
export function reviewComment(record, bestText) {
  if (!record) return '';
  const score = record.mate !== null ? `#${record.mate}` : (record.score > 0 ? '+' : '') + (record.score / 100).toFixed(2);
  const words = [score + (record.depth ? `/${record.depth}` : '')];
  if (bestText) words.push('best', bestText);
  if (record.class) words.push(record.class);
  return words.join(' ');
}

const CommentPattern = /^(#-?\d+|[+-]?\d+\.\d\d)(?:\/(\d+))?(?: best (\S+))?(?: (?:inaccuracy|mistake|blunder))?(?= |$) ?/;

// The review at the start of a comment: { record (score, mate, depth), best
// (the move's text, or null), rest (the comment after it) }, or null when it
// holds none. The judgement is left to judgeMove, which the scores decide.
export function readReviewComment(comment) {
  const found = comment.match(CommentPattern);
  if (!found) return null;
  const mate = found[1].startsWith('#') ? Number(found[1].slice(1)) : null;
  const score = mate !== null ? Math.sign(mate) * ScoreClip : Math.max(-ScoreClip, Math.min(ScoreClip, Math.round(Number(found[1]) * 100)));
  const record = { score, mate, depth: found[2] ? Number(found[2]) : null };
  return { record, best: found[3] || null, rest: comment.slice(found[0].length) };
}

export function scoreText(record) {
  if (record.mate !== null) return record.mate === 0 ? 'mate' : `${record.mate > 0 ? 'red' : 'black'} mates in ${Math.abs(record.mate)}`;
  const pawns = record.score / 100;
  return (pawns > 0 ? '+' : '') + pawns.toFixed(2);
}

const Width = 600;
const Height = 140;
const Pad = 8;

function element(name, attributes, parent) {
  const node = document.createElementNS(NS, name);
  for (const [key, value] of Object.entries(attributes)) node.setAttribute(key, value);
  parent.appendChild(node);
  return node;
}

// The graph of records[0..count-1] (a record may still be missing), with the
// current position marked; red's advantage above the middle line.
export function drawGraph(svg, records, count, current) {
  svg.setAttribute('viewBox', `0 0 ${Width} ${Height}`);
  svg.replaceChildren();
  const x = (ply) => Pad + (ply * (Width - 2 * Pad)) / Math.max(1, count - 1);
  const y = (score) => Height / 2 - (score / ScoreClip) * (Height / 2 - Pad);
  element('rect', { class: 'graph-back', width: Width, height: Height }, svg);
  element('line', { class: 'graph-middle', x1: 0, y1: y(0), x2: Width, y2: y(0) }, svg);
  const known = [];
  for (let ply = 0; ply < count; ply++) if (records[ply]) known.push([x(ply), y(records[ply].score)]);
  if (known.length > 1) {
    const points = known.map((point) => point.join(',')).join(' ');
    // One area, drawn twice: red where red stands better, light where black does.
    const defs = element('defs', {}, svg);
    for (const [side, top] of [['red', 0], ['black', y(0)]]) {
      const clip = element('clipPath', { id: `graph-${side}` }, defs);
      element('rect', { y: top, width: Width, height: Height / 2 }, clip);
      const area = `${known[0][0]},${y(0)} ${points} ${known[known.length - 1][0]},${y(0)}`;
      element('polygon', { class: `graph-area ${side}`, points: area, 'clip-path': `url(#graph-${side})` }, svg);
    }
    element('polyline', { class: 'graph-line', points }, svg);
  }
  element('line', { class: 'graph-current', x1: x(current), y1: 0, x2: x(current), y2: Height }, svg);
  for (let ply = 0; ply < count; ply++) {
    const record = records[ply];
    if (!record) continue;
    const point = element('circle', { cx: x(ply), cy: y(record.score), r: record.class ? 5 : 3, 'data-ply': ply }, svg);
    if (record.class) point.classList.add(record.class);
  }
}

// The position nearest to a click on the graph.
export function plyAt(svg, event, count) {
  const box = svg.getBoundingClientRect();
  const at = ((event.clientX - box.left) / box.width) * Width;
  return Math.max(0, Math.min(count - 1, Math.round(((at - Pad) / (Width - 2 * Pad)) * (count - 1))));
}
