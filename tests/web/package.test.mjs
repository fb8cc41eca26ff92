// The npm package: packed, installed from its tarball into an empty folder,
// and used from Node by its name: the engine plays a move, and Game plays,
// writes and reads games.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { buildWeb } from './engine_util.mjs';

let folder;
let app;

before(() => {
  folder = fs.mkdtempSync(path.join(os.tmpdir(), 'quorvel-package-'));
  const packed = JSON.parse(execFileSync('npm', ['pack', '--json', '--pack-destination', folder], { cwd: buildWeb, encoding: 'utf8' }));
  const files = packed[0].files.map((file) => file.path);
  for (const needed of ['quorvel-engine.mjs', 'quorvel-engine.d.ts', 'quorvel-game.mjs', 'quorvel-worker.js', 'quorvel.js', 'quorvel.wasm', 'qvr.bin'])
    assert.ok(files.includes(needed), `${needed} is not in the package`);
  app = path.join(folder, 'app');
  fs.mkdirSync(app);
  execFileSync('npm', ['install', '--offline', '--no-audit', '--no-fund', path.join(folder, packed[0].filename)], { cwd: app });
});

after(() => fs.rmSync(folder, { recursive: true, force: true }));

// Runs an ES module in the installed folder, as a program of its own would.
function run(script) {
  return execFileSync(process.execPath, ['--input-type=module', '-e', script], { cwd: app, encoding: 'utf8', timeout: 30000 });
}

test('the engine plays a move from Node', () => {
  const output = run(`
    import { Quorvel } from 'quorvel';
    const engine = await Quorvel.start();
    engine.send('position startpos');
    engine.send('go depth 5');
    console.log(await engine.next('bestmove'));
    await engine.quit();`);
  assert.match(output, /^bestmove [a-i][0-9][a-i][0-9]/m);
});

test('Game: a perpetual check in every notation, a refused move, PGN and WXF written and read back with comments, a foreign PGN and a bad one', () => {
  const output = run(`
    import assert from 'node:assert/strict';
    import { Game, skillLevels } from 'quorvel';

    // Red checks with the rook from a9 and a8 while black's king steps between f9 and f8.
    const game = await Game.start('5k3/9/5a3/9/9/9/9/9/R8/3K5 w - - 0 1');
    const first = game.move('R9+8');
    assert.deepEqual({ ...first }, { color: 'red', from: 'a1', to: 'a9', piece: 'r', coord: 'a1a9', iccs: 'A1-A9', wxf: 'R9+8', chinese: '俥九進八' });
    assert.deepEqual([game.turn(), game.inCheck()], ['black', true]);
    for (const text of ['將６進１', 'A9-A8', 'f8f9']) game.move(text);
    const fen = game.fen();
    assert.throws(() => game.move('R9+5'), { message: 'R9+5: the rook cannot move so' });
    assert.throws(() => game.move('C2=5'), { message: 'C2=5: no cannon on file 2' });
    assert.equal(game.fen(), fen);
    assert.equal(game.undo().coord, 'f8f9');
    game.move({ from: 'f8', to: 'f9' });
    for (const text of ['R9+1', 'k6+1', 'R9-1', 'K6-1']) game.move(text);
    assert.equal(game.outcome(), null);
    game.move('R9+1');
    assert.deepEqual(game.outcome(), { result: '0-1', termination: 'perpetual check' });
    assert.deepEqual(game.history({ notation: 'wxf' }), ['R9+8', 'K6+1', 'R9-1', 'K6-1', 'R9+1', 'K6+1', 'R9-1', 'K6-1', 'R9+1']);
    assert.deepEqual(game.history({ notation: 'chinese', simplified: true }).slice(0, 2), ['车九进八', '将６进１']);

    game.setComment(1, 'the rook checks');
    game.setTag('White', 'Lü');
    const chinese = game.pgn({ notation: 'chinese' });
    assert.match(chinese, /\\[Result "0-1"\\]\\n\\[Termination "perpetual check"\\][\\s\\S]*\\[Format "Chinese"\\]\\n\\n1\\. 俥九進八 \\{the rook checks\\} 將６進１/);
    for (const file of [chinese, game.pgn({ notation: 'wxf' }), game.wxf()]) {
      const copy = await Game.start();
      assert.equal(copy.loadPgn(file), 1);
      assert.deepEqual([copy.history(), copy.comments()[1], copy.tags().White, copy.outcome()], [game.history(), 'the rook checks', 'Lü', game.outcome()]);
      copy.free();
    }

    // Another site's style: WXF with playOK's '.' for '=' and black's letters in lower case.
    const other = await Game.start();
    other.loadPgn('[Event "Club"]\\n[Format "WXF"]\\n\\n1. C2.5 h8+7 2. H2+3 r9.8 3. R1.2 c8+4 *\\n');
    assert.deepEqual(other.history({ notation: 'wxf' }), ['C2=5', 'H8+7', 'H2+3', 'R9=8', 'R1=2', 'C8+4']);
    assert.throws(() => other.loadPgn('[Event "Bad"]\\n\\n1. C2=5 H5+3 *\\n'), { message: 'game 1, line 3: H5+3: no horse on file 5' });
    assert.deepEqual([other.history().length, other.tags().Event], [6, 'Club']);
    assert.deepEqual((await skillLevels()).map(({ level }) => level), [...Array(21).keys()]);
    console.log('ok');`);
  assert.equal(output.trim(), 'ok');
});
