// The npm package quorvel: the engine in a worker (Quorvel) and the rules of
// a game (Game), both from the engine's wasm.

/** The engine in a worker, speaking UCI one line at a time. */
export class Quorvel {
  /** Starts the engine; resolves after its `uciok`. */
  static start(): Promise<Quorvel>;
  /** Called with every line the engine prints. */
  onLine: ((line: string) => void) | null;
  /** The lines of the UCI handshake, up to `uciok`. */
  readonly handshake: string[];
  /** Sends one command line. */
  send(command: string): void;
  /** The next line that starts with prefix. */
  next(prefix: string): Promise<string>;
  /** Sends `quit` and waits for the worker to end. */
  quit(): Promise<void>;
}

/** The four notations: coordinates `h2e2`, ICCS `H2-E2`, WXF `C2=5`, Chinese `炮二平五`. */
export type Notation = 'coord' | 'iccs' | 'wxf' | 'chinese';

export type Side = 'red' | 'black';

/** A piece's kind by its FEN letter: king, advisor, elephant (b), horse (n), rook, cannon, pawn. */
export type PieceKind = 'k' | 'a' | 'b' | 'n' | 'r' | 'c' | 'p';

/** A move as move(), undo() and history({ verbose: true }) give it; frozen. */
export interface Move {
  readonly color: Side;
  /** The squares, file a..i from red's left and rank 0..9 from red's side: `h2`. */
  readonly from: string;
  readonly to: string;
  readonly piece: PieceKind;
  /** The piece taken, when the move takes one. */
  readonly captured?: PieceKind;
  readonly coord: string;
  readonly iccs: string;
  readonly wxf: string;
  /** In traditional characters. */
  readonly chinese: string;
}

export interface Outcome {
  result: '1-0' | '0-1' | '1/2-1/2';
  termination: 'checkmate' | 'stalemate' | 'perpetual check' | 'perpetual chase' | 'repetition' | '60-move rule' | 'insufficient material';
}

export interface TextOptions {
  /** 'coord' unless given. */
  notation?: Notation;
  /** Chinese in simplified characters (进, 后, 车, 马, 帅, 将). */
  simplified?: boolean;
}

/** The rules of a whole game, from the engine's own code: legal moves, the four notations, the judge, PGN and WXF files. */
export class Game {
  /** A new game from a FEN (the standard start when none); rejects with the reason for a FEN the rules refuse. */
  static start(fen?: string): Promise<Game>;
  /** The legal moves as texts; none once the side to move has none. */
  moves(options?: TextOptions): string[];
  /** Plays a move given in any notation, or by its squares; throws an Error saying why, the game unchanged. */
  move(move: string | { from: string; to: string }): Move;
  /** Takes the last move back and returns it; null when there is none. */
  undo(): Move | null;
  /** The moves played as texts, or as moves with verbose. */
  history(options?: TextOptions & { verbose?: false }): string[];
  history(options: TextOptions & { verbose: true }): Move[];
  /** The FEN of the position, `w` or `b` for the side to move. */
  fen(): string;
  /** The side to move. */
  turn(): Side;
  /** Whether the side to move is in check. */
  inCheck(): boolean;
  /** null while the game goes on; the judge's verdict (perpetual check and chase by the Asian rules) once it is over. */
  outcome(): Outcome | null;
  /** The game as PGN (moves in a notation, a Format tag naming it) or, with format 'wxf', as a WXF game file. */
  pgn(options?: TextOptions & { format?: 'pgn' | 'wxf' }): string;
  /** The WXF game file. */
  wxf(): string;
  /** Reads the first game of a PGN (moves in any notation) or WXF file in place of this one; returns how many games the text holds. Throws with the line and the reason, the game unchanged. */
  loadPgn(text: string): number;
  /** The comments: [0] before the first move, [i] after move i; '' for none. */
  comments(): string[];
  /** Sets the comment after move ply (0: before the first move). */
  setComment(ply: number, text: string): void;
  /** The tags in their order. */
  tags(): Record<string, string>;
  /** Sets a tag, or removes it with null; SetUp, FEN and Format come from the game itself. */
  setTag(name: string, value: string | null): void;
  /** Frees the game's memory now rather than when the object is collected. */
  free(): void;
}

export interface SkillLevel {
  /** 0 (weakest) to 20 (the full search), as `Skill Level` takes it. */
  level: number;
  /** Its Elo, as `UCI_Elo` names it. */
  elo: number;
}

/** The engine's skill levels with their Elo, weakest first. */
export function skillLevels(): Promise<SkillLevel[]>;
