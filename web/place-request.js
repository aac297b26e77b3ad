// The panel's inputs as `gapwell alloc` takes them: the arguments and the files they name, in the
// folder of one run (see worker-command-line.js). Typed blocks go as --block NAME:SIZE:ALIGN,
// blocks made from files as the lines of a --blocks list (NAME @FILE ALIGN), so that the command
// line itself checks every value and names the one it refuses.

export const kFileList = 'files.txt';
const kReservedList = 'reserved.txt';

// A block name from a file's name: its name without the last extension, every character that is
// not a letter, digit or _ made _, and _ before a leading digit.
export function blockNameOf(fileName) {
  const stem = fileName.includes('.') ? fileName.slice(0, fileName.lastIndexOf('.')) : fileName;
  const name = (stem === '' ? fileName : stem).replace(/[^A-Za-z0-9_]/g, '_');
  return /^[0-9]/.test(name) ? `_${name}` : name;
}

export const ledgerPath = (ledger) => `ledger/${ledger.name}`;

// `inputs`: {rows: [{name, size, align, bytes, fileName}], filler, margin, from, to, reserved, prefix,
// ledger: {name, text or null} or null}; texts as typed, numbers as the page read them. Returns {args,
// files}; `extra` ends the arguments.
export function allocRequest(romName, inputs, extra = []) {
  const files = {};
  const args = ['alloc', romName];
  const listed = [];
  inputs.rows.forEach((row, index) => {
    if (row.bytes === null) {
      args.push('--block', row.blockValue);
      return;
    }
    // The file under its own name, so that gapwell's sentences about it name it; blanks and #
    // would end the list's word.
    const path = `files/${index + 1}/${row.fileName.replace(/[\s#]/g, '_')}`;
    files[path] = row.bytes;
    listed.push(`${row.name} @${path} ${row.align}\n`);
  });
  if (listed.length > 0) {
    files[kFileList] = listed.join('');
    args.push('--blocks', kFileList);
  }
  args.push('--byte', inputs.filler);
  if (inputs.margin !== '') args.push('--margin', inputs.margin);
  if (inputs.from !== '') args.push('--from', inputs.from);
  if (inputs.to !== '') args.push('--to', inputs.to);
  if (inputs.reserved.trim() !== '') {
    files[kReservedList] = inputs.reserved;
    args.push('--reserve', kReservedList);
  }
  if (inputs.prefix !== '') args.push('--prefix', inputs.prefix);
  if (inputs.ledger !== null) {
    // A ledger without text is one that does not exist yet, as gapwell alloc takes it.
    if (inputs.ledger.text !== null) files[ledgerPath(inputs.ledger)] = inputs.ledger.text;
    args.push('--ledger', ledgerPath(inputs.ledger));
  }
  return { args: [...args, ...extra], files };
}

// Where a refusal of the command line belongs: 'row' with its index, a field's id, or 'blocks'
// for what concerns the blocks as a whole (their names together, none given).
export function placeOfRefusal(message, inputs) {
  const typed = inputs.rows.findIndex((row) => row.bytes === null && message.startsWith(`--block "${row.blockValue}"`));
  if (typed >= 0) return { row: typed };
  const file = message.match(/files\/(\d+)\//);
  if (file !== null) return { row: Number(file[1]) - 1 };
  const line = message.match(new RegExp(`^${kFileList}:(\\d+):`));
  if (line !== null) {
    const fileRows = inputs.rows.flatMap((row, index) => (row.bytes === null ? [] : [index]));
    return { row: fileRows[Number(line[1]) - 1] };
  }
  // The mark named first: "block name int is a C or C++ keyword (give another, or --prefix)"
  // concerns a block, "bad value for --prefix: ..." the prefix.
  const marks = [['--margin', 'margin'], ['--from', 'place-from'], ['--to', 'place-to'],
    [kReservedList, 'reserved'], ['--prefix', 'prefix'], ['ledger', 'ledger-state'],
    ['--expand', 'expand'], ['block', 'blocks']];
  const found = marks.map(([mark, field]) => ({ at: message.indexOf(mark), field }))
    .filter(({ at }) => at >= 0).sort((a, b) => a.at - b.at);
  return { field: found[0]?.field ?? 'blocks' };
}
