'use strict';
// The core's file reading (Module.romFiles, see src/search/ReadOnlyFileWeb.cpp) under node:
// files opened read-only, without waiting for a FIFO's writer, read piece by piece straight into
// the module's memory. Failures are the negative error kinds that the core turns into messages.
const fs = require('fs');

const kinds = { ENOENT: -1, ENOTDIR: -1, EACCES: -2, EPERM: -2, EISDIR: -3 };
const readFailed = -4;

function kindOfStats(stats) {
  if (stats.isDirectory()) return kinds.EISDIR;
  if (stats.isFIFO()) return -5;
  if (stats.isCharacterDevice()) return -6;
  if (stats.isBlockDevice()) return -7;
  if (stats.isSocket()) return -8;
  return 0;
}

function nodeRomFiles(module) {
  return {
    open(path) {
      let fd;
      try {
        fd = fs.openSync(path, fs.constants.O_RDONLY | fs.constants.O_NONBLOCK);
      } catch (error) {
        return kinds[error.code] ?? readFailed;
      }
      const kind = kindOfStats(fs.fstatSync(fd));
      if (kind !== 0) {
        fs.closeSync(fd);
        return kind;
      }
      return fd;
    },
    length(fd) {
      return fs.fstatSync(fd).size;
    },
    read(fd, offset, heapOffset, size) {
      try {
        return fs.readSync(fd, module.HEAPU8, heapOffset, size, offset);
      } catch (error) {
        return readFailed;
      }
    },
    close(fd) {
      fs.closeSync(fd);
    },
  };
}

module.exports = { nodeRomFiles };
