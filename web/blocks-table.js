// The table of blocks to place: a row typed (name, size, alignment) or made from a dropped or
// picked file (the name from the file's name, the size its length, the bytes to insert). Each row
// has a note for the sentence that refuses one of its values.
import { blockNameOf } from './place-request.js';
import { idNamed } from './texts.js';

export class BlocksTable {
  constructor(body, texts, onChange) {
    Object.assign(this, { body, texts, onChange });
    this.rows = [];  // {element, name, size, align, note, bytes}
  }

  // `labelName`: the name of the string id of the input's aria-label.
  cellInput(row, value, labelName, readOnly = false) {
    const input = document.createElement('input');
    Object.assign(input, { value, readOnly, autocomplete: 'off', spellcheck: false });
    input.dataset.label = labelName;
    input.setAttribute('aria-label', this.texts.text(idNamed(labelName)));
    input.addEventListener('input', () => this.onChange());
    const cell = row.insertCell();
    cell.append(input);
    return input;
  }

  add({ name = '', size = '', align = '', bytes = null, fileName = '' } = {}) {
    const element = this.body.insertRow();
    const row = { element, bytes, fileName };
    row.name = this.cellInput(element, name, 'kStrWebBlockName');
    row.size = this.cellInput(element, size, 'kStrWebBlockSize', bytes !== null);
    row.align = this.cellInput(element, align, 'kStrWebBlockAlignment');
    const remove = document.createElement('button');
    Object.assign(remove, { type: 'button', textContent: '×' });
    remove.dataset.label = 'kStrWebRemoveBlock';
    remove.setAttribute('aria-label', this.texts.text(idNamed('kStrWebRemoveBlock')));
    remove.addEventListener('click', () => this.remove(row));
    element.insertCell().append(remove);
    // The row's note on a row of its own below it, across the columns.
    row.noteRow = this.body.insertRow();
    row.noteRow.className = 'row-note';
    row.noteRow.hidden = true;
    const noteCell = row.noteRow.insertCell();
    noteCell.colSpan = 4;
    row.note = document.createElement('span');
    row.note.className = 'field-note';
    noteCell.append(row.note);
    this.rows.push(row);
    this.onChange();
    return row;
  }

  async addFiles(files) {
    const read = await Promise.all([...files].map(async (file) =>
      ({ file, bytes: new Uint8Array(await file.arrayBuffer()) })));
    for (const { file, bytes } of read) {
      this.add({ name: blockNameOf(file.name), size: String(bytes.length), bytes, fileName: file.name });
    }
  }

  remove(row) {
    row.element.remove();
    row.noteRow.remove();
    this.rows = this.rows.filter((other) => other !== row);
    this.onChange();
  }

  // The rows that say something: a row left blank is no block. `align` stands for a blank
  // alignment. Each {row, name, size, align, bytes, fileName, blockValue}, blockValue being the
  // NAME:SIZE:ALIGN that --block takes.
  filled(align) {
    return this.rows.filter((row) => [row.name, row.size, row.align].some((input) => input.value.trim() !== ''))
      .map((row) => {
        const values = {
          row, name: row.name.value.trim(), size: row.size.value.trim(),
          align: row.align.value.trim() || align, bytes: row.bytes, fileName: row.fileName,
        };
        return { ...values, blockValue: `${values.name}:${values.size}:${values.align}` };
      });
  }

  hasFiles() {
    return this.rows.some((row) => row.bytes !== null);
  }

  showNotes(noteOf) {
    for (const row of this.rows) {
      const note = noteOf(row);
      row.note.textContent = note;
      row.noteRow.hidden = note === '';
      for (const input of [row.name, row.size, row.align]) input.setAttribute('aria-invalid', String(note !== ''));
    }
  }
}
