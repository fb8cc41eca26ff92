// Game: the rules of a whole game of Xiangqi for JavaScript, from the
// engine's own wasm (src/web/game_exports.cpp over src/game), in Node and in
// browsers. The legal moves, the notations, the judge and the game files are
// the engine's; this file only carries texts in and out. One module instance
// serves every game, and each game is a record in its heap, freed by free()
// or, failing that, when the Game object is collected.
//   const game = await Game.start();
//   game.move('C2=5');                       // any notation
//   game.history({ notation: 'chinese' });   // ['炮二平五']

const inNode = typeof process === 'object' && !!process.versions && !!process.versions.node && typeof window === 'undefined';
const Sides = ['red', 'black'];
// The notations by the wasm's numbers for them.
const Notations = ['coord', 'iccs', 'wxf', 'chinese'];
// Texts up to this many UTF-16 units go through one buffer kept for them;
// longer ones (a whole file) get a buffer of their own.
const ShortText = 1024;
// Bytes of UTF-8 one UTF-16 unit can take.
const BytesPerUnit = 3;

const encoder = new TextEncoder();
const decoder = new TextDecoder();
let shared = null;

async function loadGlue() {
  const url = new URL('./quorvel.js', import.meta.url);
  if (inNode) {
    const { createRequire } = await import('node:module');
    return createRequire(import.meta.url)('./quorvel.js');
  }
  if (typeof globalThis.QuorvelModule === 'function') return globalThis.QuorvelModule;
  if (typeof document === 'object') {
    await new Promise((resolve, reject) => {
      const script = document.createElement('script');
      script.src = url.href;
      script.onload = resolve;
      script.onerror = () => reject(new Error(`${url.href} did not load`));
      document.head.appendChild(script);
    });
  } else {
    try {
      importScripts(url.href);
    } catch {
      // A module worker has no importScripts: the glue, a classic script, is run as one.
      const source = await (await fetch(url)).text();
      globalThis.QuorvelModule = new Function(`${source}\nreturn QuorvelModule;`)();
    }
  }
  return globalThis.QuorvelModule;
}

async function loadWasm() {
  const url = new URL('./quorvel.wasm', import.meta.url);
  if (inNode) {
    const fs = await import('node:fs');
    return fs.readFileSync(url);
  }
  const response = await fetch(url);
  if (!response.ok) throw new Error(`${url.href}: ${response.status}`);
  return response.arrayBuffer();
}

// The module with the means to hand it texts and read its answers.
class Core {
  constructor(module) {
    this.module = module;
    this.scratch = module._malloc(ShortText * BytesPerUnit);
    this.notations = new Map();
    this.games = new FinalizationRegistry((handle) => module._quorvel_game_delete(handle));
  }

  // Calls call(pointer, length, ...) with each text in the heap as UTF-8.
  withTexts(texts, call) {
    const m = this.module;
    const owned = [];
    try {
      const args = [];
      let at = this.scratch;
      let room = ShortText * BytesPerUnit;
      for (const text of texts) {
        if (text.length <= ShortText && text.length * BytesPerUnit <= room) {
          const { written } = encoder.encodeInto(text, m.HEAPU8.subarray(at, at + room));
          args.push(at, written);
          at += written;
          room -= written;
        } else {
          const bytes = encoder.encode(text);
          const pointer = m._malloc(Math.max(1, bytes.length));
          if (!pointer) throw new Error('no memory for the text');
          owned.push(pointer);
          m.HEAPU8.set(bytes, pointer);
          args.push(pointer, bytes.length);
        }
      }
      return call(...args);
    } finally {
      for (const pointer of owned) m._free(pointer);
    }
  }

  // The text of the module's latest answer.
  out() {
    const m = this.module;
    const pointer = m._quorvel_out();
    return decoder.decode(m.HEAPU8.subarray(pointer, pointer + m._quorvel_out_length()));
  }

  notation(name) {
    const key = String(name);
    let code = this.notations.get(key);
    if (code === undefined) {
      code = this.withTexts([key], (pointer, length) => this.module._quorvel_notation(pointer, length));
      if (code < 0) throw new Error(`${key}: ${this.out()}`);
      this.notations.set(key, code);
    }
    return code;
  }
}

function core() {
  if (!shared) {
    shared = (async () => {
      const [createModule, wasmBinary] = await Promise.all([loadGlue(), loadWasm()]);
      const module = await createModule({ wasmBinary, quorvelHost: {}, print: () => {}, printErr: () => {} });
      return new Core(module);
    })();
    shared.catch(() => (shared = null));
  }
  return shared;
}

// A move from the wasm's record of it: its texts in the four notations, the
// side, and the letters of its piece and of the piece it takes, a tab between.
function moveOfRecord(text) {
  const [coord, iccs, wxf, chinese, side, piece, captured] = text.split('\t');
  const move = { color: Sides[Number(side)], from: coord.slice(0, 2), to: coord.slice(2, 4), piece, coord, iccs, wxf, chinese };
  if (captured) move.captured = captured;
  return Object.freeze(move);
}

function lines(text, count) {
  return count > 0 ? text.split('\n') : [];
}

export class Game {
  // Use Game.start().
  constructor(core, handle) {
    this.core = core;
    this.handle = handle;
    // The moves played as move() returned them, one for each move of the record.
    this.played = [];
    core.games.register(this, handle, this);
  }

  // A new game from a FEN (the standard start when none); rejects with the
  // reason when the FEN is refused.
  static async start(fen = '') {
    const c = await core();
    const handle = c.withTexts([String(fen ?? '').trim()], (pointer, length) => c.module._quorvel_game_new(pointer, length));
    if (!handle) throw new Error(c.out());
    return new Game(c, handle);
  }

  id() {
    if (!this.handle) throw new Error('this game has been freed');
    return this.handle;
  }

  // Frees the game's record now rather than when the object is collected.
  free() {
    if (!this.handle) return;
    this.core.games.unregister(this);
    this.core.module._quorvel_game_delete(this.handle);
    this.handle = 0;
  }

  // Plays a move given in any notation ('h2e2', 'H2-E2', 'C2=5', '炮二平五')
  // or as { from, to }; returns the move. Throws an Error saying why, with
  // the game unchanged, for a text that names no legal move or several.
  move(text) {
    const handle = this.id();
    const given = typeof text === 'object' && text !== null ? `${text.from}${text.to}` : String(text);
    const code = this.core.withTexts([given], (pointer, length) => this.core.module._quorvel_game_move(handle, pointer, length));
    if (code !== 0) throw new Error(`${given}: ${this.core.out()}`);
    const move = moveOfRecord(this.core.out());
    this.played.push(move);
    return move;
  }

  // Takes the last move back and returns it; null when there is none.
  undo() {
    return this.core.module._quorvel_game_undo(this.id()) ? this.played.pop() : null;
  }

  // The legal moves as texts in a notation: 'coord' (the default), 'iccs', 'wxf' or 'chinese'.
  moves({ notation = 'coord', simplified = false } = {}) {
    const code = this.core.notation(notation);
    const count = this.core.module._quorvel_game_moves(this.id(), code, simplified ? 1 : 0);
    return lines(this.core.out(), count);
  }

  // The moves played, as texts in a notation, or with verbose as moves (as move() returns them).
  history({ notation = 'coord', simplified = false, verbose = false } = {}) {
    const code = this.core.notation(notation);
    if (verbose) return [...this.played];
    if (!simplified) return this.played.map((move) => move[Notations[code]]);
    const count = this.core.module._quorvel_game_history(this.id(), code, 1, 0);
    return lines(this.core.out(), count);
  }

  fen() {
    this.core.module._quorvel_game_fen(this.id());
    return this.core.out();
  }

  // 'red' or 'black': the side to move.
  turn() {
    return Sides[this.core.module._quorvel_game_turn(this.id()) & 1];
  }

  inCheck() {
    return (this.core.module._quorvel_game_turn(this.id()) & 2) !== 0;
  }

  // null while the game goes on; once the rules end it, { result, termination }.
  outcome() {
    if (this.core.module._quorvel_game_outcome(this.id()) === 0) return null;
    const [result, termination] = this.core.out().split('\t');
    return { result, termination };
  }

  // The game as PGN, moves in a notation (a Format tag names it), with its
  // tags and comments; format 'wxf' writes the WXF game file instead.
  pgn({ notation = 'coord', simplified = false, format = 'pgn' } = {}) {
    if (format !== 'pgn' && format !== 'wxf') throw new Error(`${format}: a game file is 'pgn' or 'wxf'`);
    const code = this.core.notation(notation);
    const written = this.core.module._quorvel_game_pgn(this.id(), code, simplified ? 1 : 0, format === 'wxf' ? 1 : 0);
    if (!written) throw new Error(this.core.out());
    return this.core.out().replace(/\n+$/, '\n');
  }

  // The WXF game file.
  wxf() {
    return this.pgn({ format: 'wxf' });
  }

  // Reads the first game of a PGN (moves in any notation) or WXF game file in
  // place of this one, with its tags and comments; returns how many games the
  // text holds. Throws an Error with the game, line and reason, the game unchanged.
  loadPgn(text) {
    const handle = this.id();
    const games = this.core.withTexts([String(text)], (pointer, length) => this.core.module._quorvel_game_load(handle, pointer, length));
    if (!games) throw new Error(this.core.out());
    const count = this.core.module._quorvel_game_history(handle, 0, 0, 1);
    this.played = lines(this.core.out(), count).map(moveOfRecord);
    return games;
  }

  // The comments: [0] before the first move, [i] after move i; '' for none.
  comments() {
    this.core.module._quorvel_game_comments(this.id());
    return this.core.out().split('\0');
  }

  // Sets the comment after move ply (0: before the first move).
  setComment(ply, text) {
    const handle = this.id();
    const done = this.core.withTexts([String(text ?? '')], (pointer, length) => this.core.module._quorvel_game_set_comment(handle, ply, pointer, length));
    if (!done) throw new Error(`no move ${ply} in the game`);
  }

  // The tags in their order, { Event: '...', Red: '...' }.
  tags() {
    const count = this.core.module._quorvel_game_tags(this.id());
    const strings = this.core.out().split('\0');
    const tags = {};
    for (let i = 0; i < count; i++) tags[strings[2 * i]] = strings[2 * i + 1];
    return tags;
  }

  // Sets a tag, or removes it when value is null. SetUp, FEN and Format come
  // from the game itself; a Result is 1-0, 0-1, 1/2-1/2 or *, and the rules'
  // verdict, once the game is over, is written in its place.
  setTag(name, value) {
    const handle = this.id();
    const remove = value === null || value === undefined;
    const done = this.core.withTexts([String(name), remove ? '' : String(value)], (namePointer, nameLength, valuePointer, valueLength) =>
      this.core.module._quorvel_game_set_tag(handle, namePointer, nameLength, valuePointer, remove ? -1 : valueLength),
    );
    if (!done) throw new Error(this.core.out());
  }
}

// The engine's skill levels with their Elo, weakest first: [{ level: 0, elo: 705 }, ...];
// the last is the full search.
export async function skillLevels() {
  const c = await core();
  const count = c.module._quorvel_skill_elo();
  return lines(c.out(), count).map((elo, level) => ({ level, elo: Number(elo) }));
}
