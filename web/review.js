// A game's review: one plain record per position (the score from red's side,
// the best move there, and what the move that led there lost), and the
// evaluation graph drawn from those records.

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

// A position the game ended in: outcome 1 red won, 2 black won, 3 drawn.
export function finalPosition(outcome) {
  const score = outcome === 1 ? ScoreClip : outcome === 2 ? -ScoreClip : 0;
  return { score, mate: outcome === 3 ? null : 0, best: null };
}

// Fills in loss and class of the move that led from before to after; the
// best move itself loses nothing, whatever the two searches say.
export function judgeMove(before, after, move, mover) {
  const drop = mover === Red ? before.score - after.score : after.score - before.score;
  after.loss = move === before.best ? 0 : Math.max(0, drop);
  const found = Thresholds.find(([, limit]) => after.loss >= limit);
  after.class = found ? found[0] : null;
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
