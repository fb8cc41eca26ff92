// The board in SVG: grid, river and palaces, the file numbers, the
// traditional pieces, the marks (selection, legal targets, last move, a king
// in check), the engine's best move as an arrow, and the pointer: a press and
// a release on the points, a drag between them.

const NS = 'http://www.w3.org/2000/svg';
const Cell = 60;
// Room around the grid for the file numbers above and below the pieces.
const Margin = 56;
const Files = 'abcdefghi';
// Each side counts the files from its own right: red in Chinese numerals
// (file i is red's 一), black in figures (file a is black's 1).
const RedNumerals = '一二三四五六七八九';
const NumberGap = 38;
const ArrowHead = 24;
const ArrowHalfWidth = 14;

// FEN letter -> character and name; upper case red, lower case black.
const Pieces = {
  K: ['帥', 'king'], A: ['仕', 'advisor'], B: ['相', 'elephant'], N: ['傌', 'horse'],
  R: ['俥', 'chariot'], C: ['炮', 'cannon'], P: ['兵', 'soldier'],
  k: ['將', 'king'], a: ['士', 'advisor'], b: ['象', 'elephant'], n: ['馬', 'horse'],
  r: ['車', 'chariot'], c: ['砲', 'cannon'], p: ['卒', 'soldier'],
};

export function pieceName(letter) {
  return (letter === letter.toUpperCase() ? 'red ' : 'black ') + Pieces[letter][1];
}

// The pieces of a FEN's board field by square name (a0..i9).
export function piecesOfFen(fen) {
  const pieces = new Map();
  fen.split(' ')[0].split('/').forEach((row, index) => {
    let file = 0;
    for (const c of row) {
      if (c >= '1' && c <= '9') file += Number(c);
      else if (Pieces[c]) pieces.set(Files[file++] + (9 - index), c);
    }
  });
  return pieces;
}

function element(name, attributes, parent) {
  const node = document.createElementNS(NS, name);
  for (const [key, value] of Object.entries(attributes)) node.setAttribute(key, value);
  if (parent) parent.appendChild(node);
  return node;
}

export class BoardView {
  // onPress(square) on a press; onDrop(from, to) when a piece is dragged to another point.
  constructor(container, { onPress, onDrop }) {
    this.flipped = false;
    this.onPress = onPress;
    this.onDrop = onDrop;
    this.svg = element('svg', { viewBox: `0 0 ${2 * Margin + 8 * Cell} ${2 * Margin + 9 * Cell}`, role: 'grid' });
    container.appendChild(this.svg);
    this.drawWood();
    this.marks = element('g', {}, this.svg);
    this.pieceLayer = element('g', {}, this.svg);
    this.arrowLayer = element('g', { class: 'arrows' }, this.svg);
    this.arrow = null;
    this.arrowLabel = '';
    this.points = new Map();
    const pointLayer = element('g', {}, this.svg);
    for (let rank = 9; rank >= 0; rank--) {
      for (let file = 0; file < 9; file++) {
        const square = Files[file] + rank;
        const point = element('rect', { class: 'point', width: Cell, height: Cell, 'data-square': square, role: 'gridcell' }, pointLayer);
        this.points.set(square, point);
      }
    }
    this.drag = null;
    this.svg.addEventListener('pointerdown', (event) => this.press(event));
    this.svg.addEventListener('pointermove', (event) => this.move(event));
    this.svg.addEventListener('pointerup', (event) => this.release(event));
    this.svg.addEventListener('pointercancel', () => this.endDrag());
  }

  drawWood() {
    const width = 2 * Margin + 8 * Cell;
    const height = 2 * Margin + 9 * Cell;
    element('rect', { class: 'wood', x: 3, y: 3, width: width - 6, height: height - 6, rx: 10 }, this.svg);
    const grid = element('g', { class: 'grid' }, this.svg);
    const x = (file) => Margin + file * Cell;
    const y = (row) => Margin + row * Cell;
    for (let row = 0; row < 10; row++) element('line', { x1: x(0), y1: y(row), x2: x(8), y2: y(row) }, grid);
    for (let file = 0; file < 9; file++) {
      // Inner files stop at the river.
      const edge = file === 0 || file === 8;
      element('line', { x1: x(file), y1: y(0), x2: x(file), y2: edge ? y(9) : y(4) }, grid);
      if (!edge) element('line', { x1: x(file), y1: y(5), x2: x(file), y2: y(9) }, grid);
    }
    for (const top of [0, 7]) {
      element('line', { x1: x(3), y1: y(top), x2: x(5), y2: y(top + 2) }, grid);
      element('line', { x1: x(5), y1: y(top), x2: x(3), y2: y(top + 2) }, grid);
    }
    // The small crosses where cannons and soldiers start.
    const starts = [[1, 2], [7, 2], [1, 7], [7, 7], [0, 3], [2, 3], [4, 3], [6, 3], [8, 3], [0, 6], [2, 6], [4, 6], [6, 6], [8, 6]];
    for (const [file, row] of starts) {
      for (const dx of [-1, 1]) {
        if ((file === 0 && dx < 0) || (file === 8 && dx > 0)) continue;
        for (const dy of [-1, 1]) {
          const cx = x(file) + dx * 5;
          const cy = y(row) + dy * 5;
          element('polyline', { points: `${cx + dx * 10},${cy} ${cx},${cy} ${cx},${cy + dy * 10}` }, grid);
        }
      }
    }
    element('rect', { class: 'frame', x: x(0) - 6, y: y(0) - 6, width: 8 * Cell + 12, height: 9 * Cell + 12 }, this.svg);
    const river = element('g', { class: 'river' }, this.svg);
    const riverY = y(4.5);
    [['楚', 1.4], ['河', 2.4], ['漢', 5.6], ['界', 6.6]].forEach(([text, file]) => {
      const label = element('text', { x: x(file), y: riverY, 'text-anchor': 'middle', 'dominant-baseline': 'central' }, river);
      label.textContent = text;
    });
    this.coordinates = element('g', { class: 'coord' }, this.svg);
  }

  // Centre of a square in board coordinates, as seen with the board's orientation.
  centre(square) {
    let file = Files.indexOf(square[0]);
    let rank = Number(square[1]);
    if (this.flipped) {
      file = 8 - file;
      rank = 9 - rank;
    }
    return [Margin + file * Cell, Margin + (9 - rank) * Cell];
  }

  squareAt(event) {
    const box = this.svg.getBoundingClientRect();
    const scale = (2 * Margin + 8 * Cell) / box.width;
    let file = Math.round(((event.clientX - box.left) * scale - Margin) / Cell);
    let row = Math.round(((event.clientY - box.top) * scale - Margin) / Cell);
    if (file < 0 || file > 8 || row < 0 || row > 9) return null;
    if (this.flipped) {
      file = 8 - file;
      row = 9 - row;
    }
    return Files[file] + (9 - row);
  }

  // pieces: Map square -> FEN letter; marks: { selected, targets: [{square, capture}], last: [from, to], check }.
  render(pieces, marks) {
    this.pieces = pieces;
    for (const [square, point] of this.points) {
      const [cx, cy] = this.centre(square);
      point.setAttribute('x', cx - Cell / 2);
      point.setAttribute('y', cy - Cell / 2);
      point.setAttribute('aria-label', pieces.has(square) ? pieceName(pieces.get(square)) : 'empty');
    }
    this.drawFileNumbers();
    this.marks.replaceChildren();
    const ring = (square, className, radius) => {
      const [cx, cy] = this.centre(square);
      element('circle', { class: className, cx, cy, r: radius }, this.marks);
    };
    if (marks.last) for (const square of marks.last) ring(square, 'last', 29);
    if (marks.check) ring(marks.check, 'check', 28);
    if (marks.selected) ring(marks.selected, 'selected', 29);
    for (const target of marks.targets || []) ring(target.square, target.capture ? 'target capture' : 'target', target.capture ? 28 : 8);
    this.pieceLayer.replaceChildren();
    for (const [square, letter] of pieces) this.drawPiece(square, letter, this.pieceLayer);
    this.drawArrow();
  }

  // The numbers belong to the side whose edge they stand at, so they follow a flip.
  drawFileNumbers() {
    this.coordinates.replaceChildren();
    for (let file = 0; file < 9; file++) {
      for (const [rank, text, side] of [[0, RedNumerals[8 - file], 'red'], [9, String(file + 1), 'black']]) {
        const [cx, cy] = this.centre(Files[file] + rank);
        const outward = cy > Margin + 4.5 * Cell ? 1 : -1;
        const label = element('text', { x: cx, y: cy + outward * NumberGap, class: side, 'text-anchor': 'middle', 'dominant-baseline': 'central' }, this.coordinates);
        label.textContent = text;
      }
    }
  }

  // move: coordinates such as h2e2, or null for no arrow; label: its text for a person.
  setArrow(move, label = '') {
    this.arrow = move;
    this.arrowLabel = label;
    this.drawArrow();
  }

  drawArrow() {
    this.arrowLayer.replaceChildren();
    if (!this.arrow) return;
    const [x1, y1] = this.centre(this.arrow.slice(0, 2));
    const [x2, y2] = this.centre(this.arrow.slice(2, 4));
    const length = Math.hypot(x2 - x1, y2 - y1);
    const [ux, uy] = [(x2 - x1) / length, (y2 - y1) / length];
    const [bx, by] = [x2 - ux * ArrowHead, y2 - uy * ArrowHead];
    const group = element('g', { class: 'arrow', 'data-move': this.arrow }, this.arrowLayer);
    if (this.arrowLabel) element('title', {}, group).textContent = this.arrowLabel;
    element('line', { x1, y1, x2: bx, y2: by }, group);
    const corners = [[x2, y2], [bx - uy * ArrowHalfWidth, by + ux * ArrowHalfWidth], [bx + uy * ArrowHalfWidth, by - ux * ArrowHalfWidth]];
    element('polygon', { points: corners.map((corner) => corner.join(',')).join(' ') }, group);
  }

  drawPiece(square, letter, parent) {
    const [cx, cy] = this.centre(square);
    const group = element('g', { class: 'piece ' + (letter === letter.toUpperCase() ? 'red' : 'black'), transform: `translate(${cx} ${cy})` }, parent);
    element('circle', { class: 'disc', r: 26 }, group);
    element('circle', { class: 'ring', r: 21.5 }, group);
    element('text', {}, group).textContent = Pieces[letter][0];
    return group;
  }

  press(event) {
    const square = this.squareAt(event);
    if (!square) return;
    if (this.pieces.has(square)) {
      this.drag = { from: square, x: event.clientX, y: event.clientY, ghost: null };
      this.svg.setPointerCapture(event.pointerId);
    }
    this.onPress(square);
  }

  move(event) {
    if (!this.drag) return;
    if (!this.drag.ghost) {
      if (Math.hypot(event.clientX - this.drag.x, event.clientY - this.drag.y) < 8) return;
      this.drag.ghost = this.drawPiece(this.drag.from, this.pieces.get(this.drag.from), this.svg);
      this.drag.ghost.classList.add('dragging');
    }
    const box = this.svg.getBoundingClientRect();
    const scale = (2 * Margin + 8 * Cell) / box.width;
    const x = (event.clientX - box.left) * scale;
    const y = (event.clientY - box.top) * scale;
    this.drag.ghost.setAttribute('transform', `translate(${x} ${y})`);
  }

  release(event) {
    const drag = this.drag;
    this.endDrag();
    if (!drag || !drag.ghost) return;
    const to = this.squareAt(event);
    if (to && to !== drag.from) this.onDrop(drag.from, to);
  }

  endDrag() {
    if (this.drag && this.drag.ghost) this.drag.ghost.remove();
    this.drag = null;
  }

  flip() {
    this.flipped = !this.flipped;
  }
}
