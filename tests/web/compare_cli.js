#!/usr/bin/env node
'use strict';
// Holds the WebAssembly core to the native gapwell: every argument list of the table runs on
// both, on generated ROMs, and stdout, stderr and the exit code must be the same bytes.
//   node tests/web/compare_cli.js NATIVE_GAPWELL SAMPLE_ROM
const { execFileSync, spawnSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { writeBuildFiles } = require('./BuildFileSamples.js');

const [native, sampleRom] = process.argv.slice(2);
const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'gapwell-web-'));

// A ROM of `size` pseudo-random bytes (never 0x00 or 0xFF) with filler runs and pointer words.
function writeRom(name, size, runs, pointers) {
  const rom = Buffer.alloc(size);
  let seed = 12345;
  for (let i = 0; i < size; ++i) {
    seed = (seed * 1103515245 + 12345) >>> 0;
    rom[i] = 1 + ((seed >>> 16) % 254);
  }
  for (const [offset, length, filler] of runs) rom.fill(filler, offset, offset + length);
  for (const [offset, value] of pointers) rom.writeUInt32LE(value, offset);
  const file = path.join(folder, name);
  fs.writeFileSync(file, rom);
  return file;
}

const sample = sampleRom;
const chunks = writeRom('chunks.bin', 0x200000,
  [[0xFFF80, 0x100, 0xFF], [0x40001, 0x2000, 0xFF], [0x180000, 0x900, 0x00]],
  [[0x100, 0x08040001], [0x104, 0x0A040011], [0x108, 0x0C180000], [0x10C, 0x08180101]]);
const thumb = writeRom('thumb.bin', 0x30000, [[0x1000, 0x400, 0xFF], [0x20003, 0x7FFD, 0xFF]],
  [[0x10, 0x08001001], [0x14, 0x08001000], [0x18, 0x08020004], [0x1C, 0x0A027000]]);
const short = writeRom('short.bin', 0xA8, [], []);
const empty = writeRom('empty.bin', 0, [], []);
const missing = path.join(folder, 'missing.gba');
const fifo = path.join(folder, 'fifo.gba');
execFileSync('mkfifo', [fifo]);
const buildFiles = writeBuildFiles(folder);

const cases = [
  ['find', sample],
  ['find', sample, '--needed', '512'],
  ['find', sample, '--needed', '1', '--byte', '0'],
  ['find', sample, '--byte', 'F', '--needed', '16'],
  ['find', sample, '--from', 'FFF00', '--needed', '256'],
  ['find', sample, '--count', '6', '--interval', '0', '--needed', '768'],
  ['find', sample, '--count', '40', '--interval', '100', '--refs'],
  ['find', sample, '--count', '5', '--align', '256', '--json'],
  ['find', sample, '--count', '3', '--align', '4', '--refs', '--json'],
  ['find', sample, '--needed', '1048577'],
  ['find', chunks, '--needed', '256'],
  ['find', chunks, '--needed', '128', '--count', '3', '--refs'],
  ['find', chunks, '--from', '7FFFFFFF'],
  ['find', thumb, '--needed', '16', '--count', '4', '--interval', '1024', '--refs', '--json'],
  ['find', empty],
  ['scan', sample],
  ['scan', sample, '--needed', '512', '--refs'],
  ['scan', sample, '--needed', '64', '--align', '16', '--refs', '--json'],
  ['scan', sample, '--byte', '00', '--needed', '1', '--json'],
  ['scan', chunks, '--needed', '1', '--refs'],
  ['scan', thumb, '--needed', '2', '--align', '4', '--refs'],
  ['scan', empty, '--refs', '--json'],
  ['info', sample],
  ['info', sample, '--json'],
  ['info', short],
  ['info', empty, '--json'],
  ['find', sample, '--needed', '0'],
  ['find', sample, '--needed', 'abc'],
  ['find', sample, '--byte', '100'],
  ['find', sample, '--from', '-1'],
  ['find', sample, '--count', '0'],
  ['scan', sample, '--align', '3'],
  ['scan', sample, '--needed', '2147483648'],
  ['find', missing],
  ['scan', missing, '--refs'],
  ['info', missing],
  ['info', folder],
  ['info', fifo],
  ['scan', '/dev/null'],
  ['seek', sample],
  ['find', sample, '--bogus'],
  ['find'],
  // Known data from each kind of build file (and a malformed one), one after another and together.
  ...Object.values(buildFiles).flatMap((file) => [
    ['find', sample, '--count', '8', '--interval', '0', '--needed', '512', '--refs', '--known', file],
    ['scan', sample, '--needed', '512', '--refs', '--json', '--known', file],
  ]),
  ['scan', sample, '--needed', '1', ...Object.values(buildFiles).slice(0, 4).flatMap((file) => ['--known', file])],
];

const wasm = path.join(__dirname, 'gapwell-wasm.js');
let passed = 0;
let failed = 0;
for (const args of cases) {
  const expected = spawnSync(native, args);
  const got = spawnSync(process.execPath, [wasm, ...args]);
  const same = ['stdout', 'stderr', 'status'].filter(
    (key) => !(key === 'status' ? expected.status === got.status : expected[key].equals(got[key])));
  const name = args.map((a) => a.replace(folder, '<tmp>')).join(' ');
  if (same.length === 0 && expected.error === undefined) {
    ++passed;
    console.log(`ok    ${name}`);
  } else {
    ++failed;
    console.log(`FAIL  ${name}: ${same.join(', ')} differ`);
    for (const key of same) console.log(`  native: ${expected[key]}\n  wasm:   ${got[key]}`);
  }
}
fs.rmSync(folder, { recursive: true, force: true });
console.log(`${passed} passed, ${failed} failed`);
process.exitCode = failed === 0 ? 0 : 1;
