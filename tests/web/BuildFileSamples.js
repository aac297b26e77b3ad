'use strict';
// Small build files of each format the core reads, marking data in the free runs of
// scripts/make_sample_rom.py's ROM (0x2000, 0x10001 and 0x3C0000 on), and a malformed one. In the
// last run each marks 0x1000 bytes and, 0x1000 bytes after them, 0x800 more.
const fs = require('fs');
const path = require('path');

// A 32-bit little-endian ARM ELF file: .rodata and .text in ROM and one sized symbol in .rodata,
// with the section headers (no program headers) after the string tables.
function elfFile() {
  const sectionNames = '\0.rodata\0.text\0.symtab\0.strtab\0.shstrtab\0';
  const symbolNames = '\0gTiles\0';
  const symbols = Buffer.alloc(32);  // entry 0 stays empty
  symbols.writeUInt32LE(1, 16);
  symbols.writeUInt32LE(0x083F0100, 20);
  symbols.writeUInt32LE(0x100, 24);
  symbols.writeUInt8(0x11, 28);      // a global object
  symbols.writeUInt16LE(1, 30);      // in .rodata
  const symbolsAt = 52;
  const symbolNamesAt = symbolsAt + symbols.length;
  const sectionNamesAt = symbolNamesAt + symbolNames.length;
  const headersAt = sectionNamesAt + sectionNames.length;
  // name, type, flags, address, offset, size, link
  const sections = [[0, 0, 0, 0, 0, 0, 0], [1, 1, 2, 0x083F0000, 0, 0x1000, 0], [9, 1, 6, 0x083F2000, 0, 0x800, 0],
    [15, 2, 0, 0, symbolsAt, symbols.length, 4], [23, 3, 0, 0, symbolNamesAt, symbolNames.length, 0],
    [31, 3, 0, 0, sectionNamesAt, sectionNames.length, 0]];
  const elf = Buffer.alloc(headersAt + 40 * sections.length);
  elf.write('\x7FELF\x01\x01\x01', 0, 'latin1');
  elf.writeUInt16LE(2, 16);   // an executable
  elf.writeUInt16LE(40, 18);  // for ARM
  elf.writeUInt32LE(headersAt, 32);
  elf.writeUInt16LE(52, 40);
  elf.writeUInt16LE(32, 42);
  elf.writeUInt16LE(40, 46);
  elf.writeUInt16LE(sections.length, 48);
  elf.writeUInt16LE(5, 50);   // .shstrtab
  symbols.copy(elf, symbolsAt);
  elf.write(symbolNames + sectionNames, symbolNamesAt, 'latin1');
  sections.forEach((fields, i) => fields.forEach((value, f) => elf.writeUInt32LE(value, headersAt + 40 * i + 4 * f)));
  return elf;
}

const samples = {
  // no$gba symbols as armips writes them: a size after a comma, a data directive, a bare label.
  'symbols.sym': '083C8000 blank_tiles,00001000\r\n08010400 font_end\r\n083CA000 .byt:0800\r\n',
  // A decompilation's symbol list; the RAM variable lies outside the ROM.
  'symbols.txt': '083D0000 g 00001000 gBlankTiles\n083D2000 g 00000800 gPalette\n' +
    '08002100 l 00000010 sPad\n03000000 l 00000010 gRam\n',
  'game.map': 'Linker script and memory map\n\n.rodata         0x083e8000     0x1000\n' +
    ' .rodata        0x083e8000      0x800 build/data.o\n\n.text           0x083ea000      0x800\n',
  'game.elf': elfFile(),
  'broken.sym': '08000000 start\n0800ZZZZ broken\n',
};

// Writes the samples into `folder`; returns their paths by name.
function writeBuildFiles(folder) {
  return Object.fromEntries(Object.entries(samples).map(([name, content]) => {
    const file = path.join(folder, name);
    fs.writeFileSync(file, content);
    return [name, file];
  }));
}

module.exports = { writeBuildFiles };
