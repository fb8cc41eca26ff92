// What the web tests share: where the build is, and a worker engine driven
// line by line as a front end drives it.
import { Worker } from 'node:worker_threads';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

export const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
export const buildWeb = process.env.QUORVEL_BUILD_WEB || path.join(root, 'build-web');

// A worker running the engine, with every line it has posted and a way to
// wait (boundedly) for the next line that starts with a word.
export function startEngine() {
  const worker = new Worker(path.join(buildWeb, 'quorvel-worker.js'));
  const engine = { worker, lines: [], waiters: [], started: performance.now() };
  worker.on('message', (line) => {
    engine.lines.push(line);
    for (const waiter of engine.waiters.splice(0)) {
      if (line.startsWith(waiter.prefix)) waiter.resolve(line);
      else engine.waiters.push(waiter);
    }
  });
  engine.send = (...commands) => commands.forEach((command) => worker.postMessage(command));
  engine.next = (prefix, timeout = 20000) =>
    new Promise((resolve, reject) => {
      const timer = setTimeout(() => reject(new Error(`no "${prefix}" within ${timeout} ms`)), timeout);
      engine.waiters.push({ prefix, resolve: (line) => (clearTimeout(timer), resolve(line)) });
    });
  engine.end = () => worker.terminate();
  return engine;
}
