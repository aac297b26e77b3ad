'use strict';
// Joined before worker.js in the worker's blob: gapwell's own command line (runGapwell) on the
// opened ROM. The other files a command reads (blocks, ledger, patches, inserted files) are put
// into the module's in-memory file system, in a folder made for the one run, and the files it
// writes (the new ROM, the patch, the new ledger) are taken from there; the folder goes with the
// run. The ROM itself is read through Module.romFiles by its name, as every request reads it.

const kWorkFolder = '/run';
const kIsFolder = -3;

// What the command prints, byte by byte, as the native tool writes it.
const printed = { out: [], err: [] };
const commandLineOutput = {
  stdout: (byte) => printed.out.push(byte),
  stderr: (byte) => printed.err.push(byte),
};

// The files of the run's folder, for Module.romFiles: each opened file read whole from memory.
const workFiles = {
  core: null,
  opened: new Map(),
  nextHandle: 2,  // 1 is the ROM
  open(path) {
    const { FS } = this.core;
    let stat;
    try {
      stat = FS.stat(path);
    } catch {
      return kNoSuchFile;
    }
    if (FS.isDir(stat.mode)) return kIsFolder;
    const handle = this.nextHandle++;
    this.opened.set(handle, FS.readFile(path));
    return handle;
  },
  length(handle) {
    return this.opened.get(handle).length;
  },
  read(handle, offset, heapOffset, size) {
    const bytes = this.opened.get(handle);
    const end = Math.min(bytes.length, offset + size);
    if (offset >= end) return 0;
    this.core.HEAPU8.set(bytes.subarray(offset, end), heapOffset);
    return end - offset;
  },
  close(handle) {
    this.opened.delete(handle);
  },
};

function removeTree(FS, path) {
  for (const name of FS.readdir(path)) {
    if (name === '.' || name === '..') continue;
    const inner = `${path}/${name}`;
    if (FS.isDir(FS.lstat(inner).mode)) removeTree(FS, inner);
    else FS.unlink(inner);
  }
  FS.rmdir(path);
}

function writeInput(FS, path, bytes) {
  const parts = path.split('/');
  for (let depth = 1; depth < parts.length; ++depth) {
    const folder = parts.slice(0, depth).join('/');
    if (!FS.analyzePath(folder).exists) FS.mkdir(folder);
  }
  FS.writeFile(path, bytes);
}

// Runs `gapwell ...args` with `inputs` ({path: bytes or text}, relative to the run's folder) and
// returns {exitCode, out (bytes), err (text), files: {path: bytes or null}} for `outputs`.
function runCommandLine(core, args, inputs, outputs) {
  const { FS } = core;
  if (FS.analyzePath(kWorkFolder).exists) removeTree(FS, kWorkFolder);
  FS.mkdir(kWorkFolder);
  FS.chdir(kWorkFolder);
  // Handles are counted from 2 again for every run, so that they never reach the build files'.
  workFiles.opened.clear();
  workFiles.nextHandle = 2;
  printed.out = [];
  printed.err = [];
  const list = new core.StringList();
  try {
    for (const [path, bytes] of Object.entries(inputs)) writeInput(FS, path, bytes);
    for (const argument of args) list.push_back(argument);
    const exitCode = core.runGapwell(list);
    const files = {};
    for (const path of outputs) files[path] = FS.analyzePath(path).exists ? FS.readFile(path) : null;
    return {
      exitCode,
      out: Uint8Array.from(printed.out),
      err: new TextDecoder().decode(Uint8Array.from(printed.err)),
      files,
    };
  } finally {
    list.delete();
    FS.chdir('/');
    removeTree(FS, kWorkFolder);
  }
}

// The CRC-32 (the one of zip, PNG and the BPS and UPS patches) of `bytes`.
const crcTable = Uint32Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320 ^ (c >>> 1) : c >>> 1;
  return c;
});
function crc32(bytes) {
  let crc = 0xFFFFFFFF;
  for (let i = 0; i < bytes.length; ++i) crc = crcTable[(crc ^ bytes[i]) & 0xFF] ^ (crc >>> 8);
  return (crc ^ 0xFFFFFFFF) >>> 0;
}
