// The whole free-space list, as `gapwell scan --refs --json` prints it for the current options:
// a table sortable by each column (the order given by aria-sort alone), and the list to download
// as that JSON or as CSV.
import { ids } from './string-ids.js';

const kShownRows = 1000;

export class ScanTable {
  constructor(table, note, texts, core) {
    this.body = table.tBodies[0];
    this.headers = [...table.tHead.rows[0].cells];
    this.note = note;
    this.texts = texts;
    this.core = core;
    this.json = '';
    this.runs = [];
    this.sortKey = 'offset';
    this.ascending = true;
    for (const header of this.headers) {
      const button = header.querySelector('button');
      button.addEventListener('click', () => this.sortBy(button.dataset.key));
    }
  }

  show(json) {
    this.json = json;
    this.runs = json === '' ? [] : JSON.parse(json);
    this.render();
  }

  // The same column again turns the order round.
  sortBy(key) {
    this.ascending = key === this.sortKey ? !this.ascending : true;
    this.sortKey = key;
    this.render();
  }

  valueOf(run, key) {
    const value = run[key];
    return Array.isArray(value) ? value.length : value;
  }

  sorted() {
    const direction = this.ascending ? 1 : -1;
    return this.runs
      .map((run, index) => ({ run, index }))
      .sort((a, b) => direction * (this.valueOf(a.run, this.sortKey) - this.valueOf(b.run, this.sortKey)) ||
        a.index - b.index)
      .map(({ run }) => run);
  }

  hexList(offsets) {
    return offsets.map((offset) => this.core.toHex(offset)).join(', ');
  }

  render() {
    for (const header of this.headers) {
      const key = header.querySelector('button').dataset.key;
      header.setAttribute('aria-sort',
        key !== this.sortKey ? 'none' : this.ascending ? 'ascending' : 'descending');
    }
    const rows = this.sorted().slice(0, kShownRows).map((run) => {
      const row = document.createElement('tr');
      for (const text of [this.core.toHex(run.offset), this.core.toHex(run.length),
        this.hexList(run.start_references), String(run.inside_references)]) {
        row.insertCell().textContent = text;
      }
      // The length also in decimal bytes, beside its hexadecimal.
      const bytes = document.createElement('span');
      bytes.className = 'bytes';
      bytes.textContent = this.texts.format(ids.kStrWebBytes, this.texts.count(run.length));
      row.cells[1].append(' ', bytes);
      return row;
    });
    this.body.replaceChildren(...rows);
    this.note.textContent = this.runs.length > kShownRows
      ? this.texts.format(ids.kStrWebShowingRuns, kShownRows, this.runs.length) : '';
  }

  // One line per run: offset and length in hexadecimal, the pointers at its start in
  // hexadecimal separated by blanks, the count of words pointing inside in decimal.
  csv() {
    const lines = ['offset,length,start_references,inside_references'];
    for (const run of this.runs) {
      lines.push([this.core.toHex(run.offset), this.core.toHex(run.length),
        run.start_references.map((offset) => this.core.toHex(offset)).join(' '),
        run.inside_references].join(','));
    }
    return `${lines.join('\r\n')}\r\n`;
  }
}
