'use strict';
// The page's worker: runs the WebAssembly core on the opened ROM, one request at a time, so that
// the page stays responsive. The page joins this script to gapwell-core.js, known-files.js (the
// build files loaded for the ROM), worker-command-line.js, the operations' names (`op`, from
// protocol.js) and the page's loader of the core (`startCore`, from core.js) in one blob; the
// core reads the ROM through Module.romFiles (src/search/ReadOnlyFileWeb.cpp), here from the File.
// Reading a File costs far more than the core's work on it, so a file of ROM size is read whole
// once, when it is opened, and every request reads that copy; a larger one is read in blocks at
// every request, with progress.

const kNoSuchFile = -1;
const kReadFailed = -4;
const kProgressEveryMs = 100;
// FileReaderSync costs much per call (32 MiB in 4 MiB blocks take half as long again as in one
// call): the core's small pieces come out of one block read ahead, and a whole file is read in
// blocks this large, so that a GBA ROM takes one call.
const kBlockSize = 32 << 20;
// The largest file kept whole in the worker: twice the largest GBA ROM.
const kLargestKept = 64 << 20;
// The longest free-space list handed to the page: about 400 000 runs of JSON.
const kLongestList = 32 << 20;

let core = null;
let file = null;
let fileFailed = false;
let lastProgress = 0;
const reader = new FileReaderSync();
const block = { offset: 0, bytes: new Uint8Array(0) };
// The whole opened file, read when it was opened; null for a larger file or one that failed.
let kept = null;
// The run map of the opened ROM, read again only for another filler byte or other build files.
const map = { model: null, filler: null, known: null };

function mapFor(filler) {
  const known = knownPaths().join('\n');
  if (map.filler !== filler || map.known !== known) {
    map.filler = null;
    map.model.scan(file.name, filler, knownPaths());
    map.filler = filler;
    map.known = known;
  }
  return map.model;
}

function reportProgress(done) {
  const now = Date.now();
  if (now - lastProgress >= kProgressEveryMs) {
    lastProgress = now;
    postMessage({ progress: done / file.size });
  }
}

// Bytes [offset, end) of the File; throws when it cannot be read.
function readSlice(offset, end) {
  return new Uint8Array(reader.readAsArrayBuffer(file.slice(offset, end)));
}

// The whole file in blocks, with progress; null when memory for it is refused or a block cannot
// be read, so that the core reads the file itself, as a larger one, and reports any failure.
function readWhole() {
  let bytes;
  try {
    // One block is the whole file as it is read, without a copy.
    if (file.size <= kBlockSize) return readSlice(0, file.size);
    bytes = new Uint8Array(file.size);
    for (let offset = 0; offset < file.size; offset += kBlockSize) {
      const end = Math.min(file.size, offset + kBlockSize);
      bytes.set(readSlice(offset, end), offset);
      reportProgress(end);
    }
  } catch {
    return null;
  }
  return bytes;
}

// The copy stands for the file only while the file can still be read as it was chosen. Chromium
// refuses every read of a File whose file was changed or removed since, so one byte tells.
function keptStillValid() {
  try {
    readSlice(0, 1);
    return true;
  } catch {
    return false;
  }
}

// Bytes [offset, end) from the copy, or from the block read ahead (read again when outside it).
function bytesAt(offset, end) {
  if (kept !== null) return kept.subarray(offset, end);
  if (offset < block.offset || end > block.offset + block.bytes.length) {
    block.bytes = readSlice(offset, Math.max(end, Math.min(file.size, offset + kBlockSize)));
    block.offset = offset;
  }
  return block.bytes.subarray(offset - block.offset, end - block.offset);
}

const romFiles = {
  open(path) {
    // Any other file is one of a command's own (worker-command-line.js).
    if (file !== null && path === file.name) return 1;
    return workFiles.open(path);
  },
  length(handle) {
    return handle === 1 ? file.size : workFiles.length(handle);
  },
  read(handle, offset, heapOffset, size) {
    if (handle !== 1) return workFiles.read(handle, offset, heapOffset, size);
    const end = Math.min(file.size, offset + size);
    if (offset >= end) return 0;
    try {
      core.HEAPU8.set(bytesAt(offset, end), heapOffset);
    } catch {
      fileFailed = true;
      return kReadFailed;
    }
    reportProgress(end);
    return end - offset;
  },
  close(handle) {
    if (handle !== 1) workFiles.close(handle);
  },
};

const operations = {
  [op.open](chosen) {
    file = chosen;
    kept = null;
    if (file.size <= kLargestKept) kept = readWhole();
    map.model?.delete();
    map.model = new core.MapModel();
    map.filler = null;
    return core.romFacts(file.name);
  },
  [op.search](filler, needed, start, align) {
    return withReferences(core.search(file.name, filler, needed, start, align, knownPaths()), needed);
  },
  [op.findNext](filler, needed, last, interval, align) {
    return withReferences(
      core.findNext(file.name, filler, needed, last, interval, align, knownPaths()), needed);
  },
  [op.scan](filler, needed, align) {
    return core.scanJson(file.name, filler, needed, align, kLongestList, knownPaths());
  },
  [op.mapCells](filler, cellCount, needed, align) {
    const model = mapFor(filler);
    const bytesPerCell = model.bytesPerCell(cellCount);
    return {
      romSize: model.romSize(),
      bytesPerCell,
      cells: model.cells(bytesPerCell, needed, align),
      totals: model.totals(needed, align),
    };
  },
  [op.mapRun](filler, first, end, needed, align) {
    return mapFor(filler).runIn(first, end, needed, align);
  },
  [op.mapKnownName](filler, first, end) {
    return mapFor(filler).knownNameIn(first, end);
  },
  [op.setKnown](entries) {
    return setKnownFiles(core, entries);
  },
  // gapwell itself on the opened ROM, with the other files it reads in the module's memory.
  // A plan keeps off the known data of the loaded build files, as `gapwell alloc --known` does.
  [op.gapwell](args, inputs, outputs) {
    const withKnown = args[0] === 'alloc' ? [...args, ...knownArguments()] : args;
    return runCommandLine(core, withKnown, inputs, outputs);
  },
  // Of the copy of a ROM-sized file; null for a larger one, which is no GBA ROM.
  [op.romCrc32]() {
    return kept === null ? null : crc32(kept);
  },
};

// A result with the words pointing at it, the first eight listed, as the window marks it.
function withReferences(offset, needed) {
  return { offset, references: offset > 0 ? core.referencesOf(file.name, offset, needed, 8) : null };
}

async function start(wasmModule) {
  core = await startCore(createGapwellCore, wasmModule, commandLineOutput);
  core.romFiles = withKnownFiles(romFiles, core);
  workFiles.core = core;
}

let ready = null;
onmessage = async ({ data }) => {
  if (data.op === op.init) {
    ready = start(data.wasmModule);
    return;
  }
  await ready;
  // Each request reads the file afresh, or the copy while the file is unchanged; once the file
  // has changed, every request reads the file itself and fails as the core reports it.
  block.bytes = new Uint8Array(0);
  if (kept !== null && data.op !== op.open && !keptStillValid()) kept = null;
  fileFailed = false;
  lastProgress = Date.now();
  try {
    postMessage({ id: data.id, result: operations[data.op](...data.args) });
  } catch (error) {
    postMessage({ id: data.id, error: String(error.message ?? error), fileError: fileFailed });
  }
};
