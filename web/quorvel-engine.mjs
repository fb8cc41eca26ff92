// The npm package: the engine in a worker, in the browser or in Node, and
// the rules of a game (Game, from quorvel-game.mjs).
//   const engine = await Quorvel.start();
//   engine.onLine = (line) => console.log(line);
//   engine.send('position startpos');
//   engine.send('go depth 10');
// start() resolves after the UCI handshake; its lines are in engine.handshake.

const workerUrl = new URL('./quorvel-worker.js', import.meta.url);
const inNode = typeof process === 'object' && !!process.versions && !!process.versions.node && typeof window === 'undefined';

async function startWorker(onMessage) {
  if (!inNode) {
    const worker = new Worker(workerUrl);
    worker.onmessage = (event) => onMessage(event.data);
    return { post: (text) => worker.postMessage(text), end: () => worker.terminate(), exited: null };
  }
  const threads = await import('node:worker_threads');
  const { fileURLToPath } = await import('node:url');
  const worker = new threads.Worker(fileURLToPath(workerUrl));
  worker.on('message', onMessage);
  const exited = new Promise((resolve) => worker.once('exit', resolve));
  return { post: (text) => worker.postMessage(text), end: () => worker.terminate(), exited };
}

export class Quorvel {
  constructor() {
    this.onLine = null;
    this.handshake = [];
    this.waiters = [];
  }

  static async start() {
    const engine = new Quorvel();
    engine.worker = await startWorker((line) => engine.receive(line));
    const ready = engine.next('uciok');
    engine.send('uci');
    await ready;
    return engine;
  }

  receive(line) {
    if (this.handshake.length === 0 || this.handshake[this.handshake.length - 1] !== 'uciok') this.handshake.push(line);
    const waiting = this.waiters.filter((waiter) => line.startsWith(waiter.prefix));
    this.waiters = this.waiters.filter((waiter) => !line.startsWith(waiter.prefix));
    for (const waiter of waiting) waiter.resolve(line);
    if (this.onLine) this.onLine(line);
  }

  send(command) {
    this.worker.post(command);
  }

  // The next line that starts with prefix.
  next(prefix) {
    return new Promise((resolve) => this.waiters.push({ prefix, resolve }));
  }

  // Sends quit and waits for the worker to end (in the browser it ends it).
  async quit() {
    this.send('quit');
    if (this.worker.exited) await this.worker.exited;
    else this.worker.end();
  }
}

export { Game, skillLevels } from './quorvel-game.mjs';
