// A game's two clocks (red 0, black 1) with an increment added after each
// move; only the side to move's clock runs.

export class GameClock {
  constructor(baseMs, incrementMs, now = () => performance.now()) {
    this.left = [baseMs, baseMs];
    this.increment = incrementMs;
    this.now = now;
    this.running = null;
    this.since = 0;
  }

  start(side) {
    this.running = side;
    this.since = this.now();
  }

  stop() {
    if (this.running === null) return;
    this.left[this.running] -= this.now() - this.since;
    this.running = null;
  }

  // The mover's time stops and gains the increment; the other side's starts.
  moved(mover) {
    this.stop();
    this.left[mover] += this.increment;
    this.start(1 - mover);
  }

  remaining(side) {
    return this.left[side] - (side === this.running ? this.now() - this.since : 0);
  }

  // The side whose time has run out, or null.
  fallen() {
    return this.running !== null && this.remaining(this.running) <= 0 ? this.running : null;
  }

  // The clocks as UCI's go gives them, in whole milliseconds.
  goCommand() {
    const ms = (side) => Math.max(0, Math.round(this.remaining(side)));
    return `go wtime ${ms(0)} btime ${ms(1)} winc ${this.increment} binc ${this.increment}`;
  }
}

// 5:03, and tenths in the last ten seconds: 0:07.4.
export function clockText(ms) {
  const tenths = Math.max(0, Math.floor(ms / 100));
  const seconds = Math.floor(tenths / 10);
  const text = `${Math.floor(seconds / 60)}:${String(seconds % 60).padStart(2, '0')}`;
  return seconds < 10 ? `${text}.${tenths % 10}` : text;
}
