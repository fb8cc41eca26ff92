// The npm package: packed, installed from its tarball into an empty folder,
// and playing a move from Node.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { buildWeb } from './engine_util.mjs';

test('npm pack, install the tarball, play a move from Node', () => {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'quorvel-package-'));
  try {
    const packed = JSON.parse(execFileSync('npm', ['pack', '--json', '--pack-destination', folder], { cwd: buildWeb, encoding: 'utf8' }));
    const files = packed[0].files.map((file) => file.path);
    for (const needed of ['quorvel-engine.mjs', 'quorvel-worker.js', 'quorvel.js', 'quorvel.wasm', 'qvr.bin'])
      assert.ok(files.includes(needed), `${needed} is not in the package`);
    const app = path.join(folder, 'app');
    fs.mkdirSync(app);
    execFileSync('npm', ['install', '--offline', '--no-audit', '--no-fund', path.join(folder, packed[0].filename)], { cwd: app });
    const script = `
      import { Quorvel } from 'quorvel';
      const engine = await Quorvel.start();
      engine.send('position startpos');
      engine.send('go depth 5');
      console.log(await engine.next('bestmove'));
      await engine.quit();`;
    const output = execFileSync(process.execPath, ['--input-type=module', '-e', script], { cwd: app, encoding: 'utf8', timeout: 30000 });
    assert.match(output, /^bestmove [a-i][0-9][a-i][0-9]/m);
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
});
