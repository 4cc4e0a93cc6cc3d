// maclab-run built for node against the native maclab-run: the same standard
// output, standard error and exit status on every golden scenario, with the
// script given as a file and on standard input, and on the program's own
// failures (a missing file, a directory, two arguments).
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const repo = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const webRunner = path.resolve(repo, process.env.MACLAB_WEB_DIR ?? 'build-web', 'maclab-run.js');
const nativeRunner = path.resolve(repo, process.env.MACLAB_NATIVE_RUNNER ?? 'build/maclab-run');
const scenarios = path.join(repo, 'tests/scenarios');

// Every script of the golden scenarios: the files, and one per scheme made
// from the template as the native build makes them.
function scripts() {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'maclab-web-'));
  const list = fs.readdirSync(scenarios).filter((f) => f.endsWith('.txt') && f !== 'CMakeLists.txt')
    .map((f) => path.join(scenarios, f));
  const template = fs.readFileSync(path.join(scenarios, 'send_scheme.txt.in'), 'utf8');
  const cmake = fs.readFileSync(path.join(scenarios, 'CMakeLists.txt'), 'utf8');
  for (const [, name, choose, scheme] of cmake.matchAll(/"([a-z_]+)\|(pick|edit)\|([^"]+)"/g)) {
    const file = path.join(dir, `send_${name}.txt`);
    fs.writeFileSync(file, template.replaceAll('@CHOOSE@', choose).replaceAll('@SCHEME@', scheme));
    list.push(file);
  }
  return list;
}

function run(command, args, input) {
  const r = spawnSync(command, args, { input, maxBuffer: 1 << 28 });
  return { status: r.status, stdout: r.stdout.toString('latin1'), stderr: r.stderr.toString('latin1') };
}
const node = (args, input) => run(process.execPath, [webRunner, ...args], input);
const native = (args, input) => run(nativeRunner, args, input);

test('both runners are built', () => {
  assert.ok(fs.existsSync(webRunner), `${webRunner} is missing: run scripts/build-web.sh`);
  assert.ok(fs.existsSync(nativeRunner), `${nativeRunner} is missing: build the native program`);
});

const all = scripts();
test('the scenarios include the golden set', () => {
  assert.ok(all.length >= 19, `only ${all.length} scripts`);
});

for (const script of all) {
  const name = path.basename(script, '.txt');
  test(`scenario ${name}: same output and status, from a file and from standard input`, () => {
    const expected = native([script]);
    const golden = path.join(scenarios, name + '.out');
    if (fs.existsSync(golden))
      assert.equal(expected.stdout, fs.readFileSync(golden, 'latin1'), 'native differs from golden');
    const fromFile = node([script]);
    assert.equal(fromFile.status, expected.status);
    assert.equal(fromFile.stderr, expected.stderr);
    assert.ok(fromFile.stdout === expected.stdout, 'standard output differs (file)');
    const text = fs.readFileSync(script);
    const fromStdin = node([], text);
    assert.equal(fromStdin.status, native([], text).status);
    assert.equal(fromStdin.stderr, expected.stderr);
    assert.ok(fromStdin.stdout === expected.stdout, 'standard output differs (stdin)');
  });
}

test('200,000 ticks of a busy 24-station Star end with the same totals and panel', () => {
  const script = ['pick cmbNodes  24', 'click cmdStart 0', 'edit cmbOT 2.0', 'toggle chkReliable',
    'toggle chkRandom', 'tick 200000', 'summary', 'show', ''].join('\n');
  const expected = native([], script);
  assert.equal(expected.status, 0, expected.stderr);
  assert.match(expected.stdout, /summary t=200000 q=[1-9]/);
  assert.ok(node([], script).stdout === expected.stdout, 'totals or panel differ');
});

test('the error scenarios fail with status 2', () => {
  const failing = all.filter((s) => fs.existsSync(s.replace(/\.txt$/, '.err')));
  assert.ok(failing.length >= 2);
  for (const s of failing) assert.equal(node([s]).status, 2, s);
});

test('a missing file, a directory and two arguments end with status 2 and a message', () => {
  for (const args of [[path.join(scenarios, 'no-such-script.txt')], [scenarios], ['a', 'b']]) {
    const r = node(args);
    assert.equal(r.status, 2, args.join(' '));
    assert.notEqual(r.stderr, '', args.join(' '));
    assert.equal(r.stdout, '', args.join(' '));
  }
});
