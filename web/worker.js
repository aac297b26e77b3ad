'use strict';
// The page's worker: runs the WebAssembly core on the opened ROM, one request at a time, so that
// the page stays responsive. The page joins this script to gapwell-core.js in one blob; the core
// reads the ROM through Module.romFiles (src/search/ReadOnlyFileWeb.cpp), here slices of the File,
// never the whole of it.

const kNoSuchFile = -1;
const kReadFailed = -4;
const kProgressEveryMs = 100;
// FileReaderSync costs much per call: the core's small pieces come out of one block read ahead.
const kBlockSize = 4 << 20;
// The longest free-space list handed to the page: about 400 000 runs of JSON.
const kLongestList = 32 << 20;

let core = null;
let file = null;
let fileFailed = false;
let lastProgress = 0;
const reader = new FileReaderSync();
const block = { offset: 0, bytes: new Uint8Array(0) };
// The run map of the opened ROM, read again only for another filler byte.
const map = { model: null, filler: null };

function mapFor(filler) {
  if (map.filler !== filler) {
    map.filler = null;
    map.model.scan(file.name, filler);
    map.filler = filler;
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

const romFiles = {
  open(path) {
    if (file === null || path !== file.name) {
      fileFailed = true;
      return kNoSuchFile;
    }
    return 1;
  },
  length() {
    return file.size;
  },
  read(handle, offset, heapOffset, size) {
    const end = Math.min(file.size, offset + size);
    if (offset >= end) return 0;
    if (offset < block.offset || end > block.offset + block.bytes.length) {
      try {
        block.bytes = new Uint8Array(reader.readAsArrayBuffer(
          file.slice(offset, Math.max(end, Math.min(file.size, offset + kBlockSize)))));
      } catch (error) {
        fileFailed = true;
        return kReadFailed;
      }
      block.offset = offset;
    }
    core.HEAPU8.set(block.bytes.subarray(offset - block.offset, end - block.offset), heapOffset);
    reportProgress(end);
    return end - offset;
  },
  close() {},
};

const operations = {
  open(chosen) {
    file = chosen;
    map.model?.delete();
    map.model = new core.MapModel();
    map.filler = null;
    return core.romFacts(file.name);
  },
  search(filler, needed, start, align) {
    return withReferences(core.search(file.name, filler, needed, start, align), needed);
  },
  findNext(filler, needed, last, interval, align) {
    return withReferences(core.findNext(file.name, filler, needed, last, interval, align), needed);
  },
  scan(filler, needed, align) {
    return core.scanJson(file.name, filler, needed, align, kLongestList);
  },
  mapCells(filler, cellCount, needed, align) {
    const model = mapFor(filler);
    const bytesPerCell = model.bytesPerCell(cellCount);
    return {
      romSize: model.romSize(),
      bytesPerCell,
      cells: model.cells(bytesPerCell, needed, align),
      totals: model.totals(needed, align),
    };
  },
  mapRun(filler, first, end, needed, align) {
    return mapFor(filler).runIn(first, end, needed, align);
  },
};

// A result with the words pointing at it, the first eight listed, as the window marks it.
function withReferences(offset, needed) {
  return { offset, references: offset > 0 ? core.referencesOf(file.name, offset, needed, 8) : null };
}

async function start(wasmModule) {
  core = await createGapwellCore({
    instantiateWasm(imports, receive) {
      WebAssembly.instantiate(wasmModule, imports).then((instance) => receive(instance));
      return {};
    },
  });
  core.romFiles = romFiles;
}

let ready = null;
onmessage = async ({ data }) => {
  if (data.op === 'init') {
    ready = start(data.wasmModule);
    return;
  }
  await ready;
  // Each request reads the file afresh, as the core does: nothing is kept from the one before.
  block.bytes = new Uint8Array(0);
  fileFailed = false;
  lastProgress = Date.now();
  try {
    postMessage({ id: data.id, result: operations[data.op](...data.args) });
  } catch (error) {
    postMessage({ id: data.id, error: String(error.message ?? error), fileError: fileFailed });
  }
};
