// The engine in a worker: new Worker('quorvel-worker.js'), then post UCI
// commands as strings; every line the engine prints comes back as one message.
// Runs as a browser Web Worker or as a Node worker_threads worker.
'use strict';

const inNode = typeof importScripts !== 'function';
const port = inNode ? require('worker_threads').parentPort : self;
const post = (line) => port.postMessage(line);

// The text posted so far and not yet read by the engine, as UTF-8 bytes.
const encoder = new TextEncoder();
let queue = new Uint8Array(0);
let wakeIdle = null;

function receive(data) {
  let text = String(data);
  if (!text.endsWith('\n')) text += '\n';
  const bytes = encoder.encode(text);
  const joined = new Uint8Array(queue.length + bytes.length);
  joined.set(queue);
  joined.set(bytes, queue.length);
  queue = joined;
  if (wakeIdle) wakeIdle();
}

// A turn of the event loop that ends as soon as the messages posted before it
// have been received: setImmediate in Node, a message to ourselves in the
// browser (a timer would be held back to 4 ms or more).
const selfChannel = inNode ? null : new MessageChannel();
const turnsWaiting = [];
if (selfChannel) selfChannel.port1.onmessage = () => turnsWaiting.shift()();

const host = {
  queuedBytes: () => queue.length,
  take(size) {
    const bytes = queue.subarray(0, size);
    queue = queue.subarray(bytes.length);
    return bytes;
  },
  waitForMessage(milliseconds) {
    if (queue.length > 0) return Promise.resolve();
    return new Promise((resolve) => {
      const timer = setTimeout(done, milliseconds);
      function done() {
        clearTimeout(timer);
        wakeIdle = null;
        resolve();
      }
      wakeIdle = done;
    });
  },
  yieldTurn() {
    if (inNode) return new Promise((resolve) => setImmediate(resolve));
    return new Promise((resolve) => {
      turnsWaiting.push(resolve);
      selfChannel.port2.postMessage(0);
    });
  },
  post,
  finished() {
    if (inNode) process.exit(0);
    else self.close();
  },
};

// The wasm and the book lie beside this script.
function loadFile(name) {
  if (inNode) return Promise.resolve(require('fs').readFileSync(require('path').join(__dirname, name)));
  return fetch(new URL(name, self.location.href)).then((response) => {
    if (!response.ok) throw new Error(name + ': ' + response.status);
    return response.arrayBuffer();
  });
}

if (inNode) port.on('message', receive);
else self.onmessage = (event) => receive(event.data);

const createEngine = inNode ? require('./quorvel.js') : (importScripts('quorvel.js'), self.QuorvelModule);
const book = loadFile('qvr.bin').catch(() => null);

loadFile('quorvel.wasm')
  .then((wasmBinary) =>
    createEngine({
      wasmBinary,
      quorvelHost: host,
      thisProgram: '/quorvel',
      print: post,
      printErr: (text) => post('info string ' + text),
    }),
  )
  .then(async (engine) => {
    const bytes = await book;
    if (bytes) engine.FS.writeFile('/qvr.bin', new Uint8Array(bytes));
    engine.callMain([]);
  })
  .catch((error) => post('info string the engine failed to start: ' + error));
