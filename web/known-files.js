'use strict';
// The worker's build files: the symbol files, ld maps and ELF files loaded for the opened ROM,
// each kept at a path of its own that the core reads through Module.romFiles like the ROM, so
// that every call of the core can name them as `gapwell --known PATH` does. The page joins this
// script to gapwell-core.js and worker.js in one blob.
//
// knownPaths() lists those paths; knownArguments() gives them as `--known PATH` arguments, to
// push into the StringList handed to runGapwell after ['alloc', file.name, ...].

// Handles of build files start here, far above the ROM's.
const kFirstKnownHandle = 1 << 20;

// {path, file, bytes, marks}: bytes is the copy read once the core took the file, null before.
let knownFiles = [];

function knownPaths() {
  return knownFiles.map((known) => known.path);
}

function knownArguments() {
  return knownPaths().flatMap((path) => ['--known', path]);
}

// Bytes [offset, end) of a build file: from its copy, or from the File while it is being checked.
function knownBytes(known, offset, end) {
  if (known.bytes !== null) return known.bytes.subarray(offset, end);
  return new Uint8Array(new FileReaderSync().readAsArrayBuffer(known.file.slice(offset, end)));
}

// The ROM's reader `romFiles` with the build files added.
function withKnownFiles(romFiles, core) {
  const knownOf = (handle) => knownFiles[handle - kFirstKnownHandle];
  return {
    open(path) {
      const index = knownFiles.findIndex((known) => known.path === path);
      return index < 0 ? romFiles.open(path) : kFirstKnownHandle + index;
    },
    length(handle) {
      return handle < kFirstKnownHandle ? romFiles.length(handle) : knownOf(handle).file.size;
    },
    read(handle, offset, heapOffset, size) {
      if (handle < kFirstKnownHandle) return romFiles.read(handle, offset, heapOffset, size);
      const known = knownOf(handle);
      const end = Math.min(known.file.size, offset + size);
      if (offset >= end) return 0;
      try {
        core.HEAPU8.set(knownBytes(known, offset, end), heapOffset);
      } catch {
        return -4;  // read failed
      }
      return end - offset;
    },
    close(handle) {
      if (handle < kFirstKnownHandle) romFiles.close(handle);
    },
  };
}

// The build files `entries` ([{path, file}]) replace those loaded before. Each new one is checked
// by the core and, when taken, read once into a copy, so that its marks stay as they were loaded;
// one loaded before is kept as it is. Returns for each entry its count of marks, or the core's
// one-line refusal (naming the file by its own name).
function setKnownFiles(core, entries) {
  const before = new Map(knownFiles.map((known) => [known.path, known]));
  knownFiles = [];
  return entries.map(({ path, file }) => {
    const known = before.get(path) ?? { path, file, bytes: null, marks: 0 };
    knownFiles.push(known);
    if (known.bytes !== null) return { marks: known.marks };
    try {
      known.marks = core.buildFileMarks(path);
      known.bytes = knownBytes(known, 0, file.size);
      return { marks: known.marks };
    } catch (error) {
      knownFiles.pop();
      return { error: String(error.message ?? error).split(path).join(file.name) };
    }
  });
}
