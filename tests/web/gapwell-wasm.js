#!/usr/bin/env node
'use strict';
// gapwell on the WebAssembly core: the same arguments, output bytes and exit codes as the
// native tool, because the module runs the command line's own code.
//   node tests/web/gapwell-wasm.js find ROM --needed 512
// GAPWELL_WEB_DIR names the folder with gapwell-core.js (default build-web/).
const fs = require('fs');
const path = require('path');
const { nodeRomFiles } = require('./NodeRomFiles.js');

const coreDir = path.resolve(process.env.GAPWELL_WEB_DIR || path.join(__dirname, '../../build-web'));
const createGapwellCore = require(path.join(coreDir, 'gapwell-core.js'));

// Collects what the module prints, byte by byte, for one raw write at the end.
function collector() {
  const bytes = [];
  const put = (byte) => bytes.push(byte);
  put.buffer = undefined;
  return { put, bytes: () => Buffer.from(bytes) };
}

async function main() {
  const out = collector();
  const err = collector();
  const options = {
    wasmBinary: fs.readFileSync(path.join(coreDir, 'gapwell-core.wasm')),
    stdout: out.put,
    stderr: err.put,
  };
  const core = await createGapwellCore(options);
  core.romFiles = nodeRomFiles(core);
  const args = new core.StringList();
  for (const argument of process.argv.slice(2)) args.push_back(argument);
  const exitCode = core.runGapwell(args);
  args.delete();
  fs.writeSync(1, out.bytes());
  fs.writeSync(2, err.bytes());
  process.exitCode = exitCode;
}

main();
