'use strict';
// A typical ROM for the page's benchmarks: `mib` MiB of random bytes, a 0xFF run of 64 to 8191
// bytes every 256 KiB, pointers to every fourth run, 1 MiB of padding at the end; written to the
// system's temporary folder under `name`, whose path is returned.
const fs = require('fs');
const os = require('os');
const path = require('path');

function writeTypicalRom(mib, name) {
  const rom = Buffer.alloc(mib << 20);
  let seed = 1;
  const random = () => { seed = (seed * 1103515245 + 12345) >>> 0; return seed >>> 8; };
  for (let i = 0; i < rom.length; ++i) rom[i] = random() & 0xFF;
  for (let offset = 0x1000; offset + 0x2000 < rom.length; offset += 0x40000) {
    rom.fill(0xFF, offset, offset + 64 + (random() % 8128));
    if (offset % 0x100000 === 0x1000) rom.writeUInt32LE(0x08000000 + offset, 0x200 + Math.floor(offset / 0x40000));
  }
  rom.fill(0xFF, rom.length - (1 << 20));
  const file = path.join(os.tmpdir(), name);
  fs.writeFileSync(file, rom);
  return file;
}

module.exports = { writeTypicalRom };
