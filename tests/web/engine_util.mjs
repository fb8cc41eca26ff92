// What the web tests share: where the build is, and a worker engine driven
// line by line as a front end drives it.
import fs from 'node:fs';
import http from 'node:http';
import { createRequire } from 'node:module';
import path from 'node:path';
import { Worker } from 'node:worker_threads';
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

const Types = {
  '.html': 'text/html', '.js': 'text/javascript', '.mjs': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
  '.webmanifest': 'application/manifest+json', '.png': 'image/png', '.svg': 'image/svg+xml', '.txt': 'text/plain',
};

// build-web/ served on a local port, as a static host serves it.
export async function serveBuild() {
  const server = http.createServer((request, response) => {
    let name = path.join(buildWeb, path.normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname)));
    if (name.startsWith(buildWeb) && fs.existsSync(name) && fs.statSync(name).isDirectory()) name = path.join(name, 'index.html');
    if (!name.startsWith(buildWeb) || !fs.existsSync(name)) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': Types[path.extname(name)] || 'application/octet-stream' });
    fs.createReadStream(name).pipe(response);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return server;
}

// build-web/ served on a local port, and headless Chromium (the system's,
// driven by the pinned puppeteer-core) ready to open it.
export async function openBrowser() {
  const server = await serveBuild();
  const puppeteer = createRequire(path.join(root, 'web/package.json'))('puppeteer-core');
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: 'new',
    args: ['--no-sandbox', '--disable-gpu'],
  });
  return { server, browser, origin: `http://127.0.0.1:${server.address().port}` };
}

// Milliseconds from a new worker's start to its "uciok", on an open page.
export function workerStartInBrowser(page) {
  return page.evaluate(
    () =>
      new Promise((resolve) => {
        const started = performance.now();
        const worker = new Worker('quorvel-worker.js');
        worker.onmessage = (event) => {
          if (event.data !== 'uciok') return;
          resolve(performance.now() - started);
          worker.terminate();
        };
        worker.postMessage('uci');
      }),
  );
}

// The wasm bench run in a worker of an open page: its last line,
// "bench nodes N time T nps P".
export function benchInBrowser(page, origin, depth) {
  return page.evaluate(
    (where, depth) =>
      new Promise((resolve) => {
        const source = `self.Module = { arguments: ['${depth}'], locateFile: (name) => '${where}/' + name, print: (line) => postMessage(line) };
          importScripts('${where}/quorvel-bench.js');`;
        const worker = new Worker(URL.createObjectURL(new Blob([source], { type: 'text/javascript' })));
        worker.onmessage = (event) => {
          if (!event.data.startsWith('bench nodes')) return;
          resolve(event.data);
          worker.terminate();
        };
      }),
    origin,
    depth,
  );
}
