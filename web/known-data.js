// Known data on the page: the build files (symbol files, symbol lists, ld maps, ELF files) loaded
// for the opened ROM, picked with "Open build symbols..." or dropped next to the ROM. The worker's
// core reads and checks each (known-files.js); the page counts their marks as the window's label
// does, shows a refused file's one-line reason beside the button, and forgets them all when
// another ROM is opened. Search, Find next, the list and the map then skip the marks' bytes.
import { op } from './protocol.js';
import { kRomExtensions } from './rom-source.js';
import { ids } from './string-ids.js';

const isRomName = (name) => kRomExtensions.some((extension) => name.toLowerCase().endsWith(extension));

// Dropped entries ({handle, file}) split as the window takes a drop: files named like ROMs open as
// a ROM, and the others are build files for it or for the ROM already open. With no ROM among
// them and none open, the first file opens as the ROM whatever its name.
export function splitDropped(entries, romOpen) {
  const roms = entries.filter(({ file }) => file !== null && isRomName(file.name));
  if (roms.length === 0 && !romOpen) return { roms: entries, buildFiles: [] };
  const others = entries.filter((entry) => entry.file !== null && !roms.includes(entry));
  return { roms, buildFiles: others.map(({ file }) => file) };
}

export class BuildSymbols {
  // `onChange()` is called whenever the marks change.
  constructor({ button, input, count, clear, problem, texts, worker, onChange }) {
    Object.assign(this, { button, input, count, clearButton: clear, problem, texts, worker, onChange });
    this.entries = [];    // {path, file, marks}, in the order loaded
    this.refusal = '';    // the core's line for the last file refused
    this.loads = 0;       // makes each file's path its own
    this.loading = Promise.resolve();
    this.generation = 0;  // one more at each forget: answers to older requests are dropped
    button.addEventListener('click', () => input.click());
    input.addEventListener('change', () => {
      const files = [...input.files];
      input.value = '';
      this.load(files);
    });
    clear.addEventListener('click', () => {
      this.forget();
      this.onChange();
    });
  }

  enable(enabled) {
    this.button.disabled = !enabled;
  }

  // The build files `files` are read by the core and join those loaded; a file it refuses gets
  // its line beside the button, and the marks loaded before stay. Loads run one after another.
  load(files) {
    this.loading = this.loading.then(() => this.add(files));
    return this.loading;
  }

  async add(files) {
    if (files.length === 0) return;
    const generation = this.generation;
    const added = files.map((file) => ({ path: `known/${++this.loads}/${file.name}`, file }));
    const wanted = [...this.entries, ...added];
    let answers;
    try {
      answers = await this.send(wanted);
    } catch (error) {
      if (generation !== this.generation) return;
      // Cancelled: the fresh worker is given the files the page counts.
      this.send(this.entries).catch(() => {});
      this.refusal = String(error.message ?? error);
      this.render();
      return;
    }
    // Forgotten meanwhile: the worker was told so after this request.
    if (generation !== this.generation) return;
    this.entries = wanted.map((entry, i) => ({ ...entry, ...answers[i] })).filter((entry) => entry.error === undefined);
    this.refusal = answers.find((answer) => answer.error !== undefined)?.error ?? '';
    this.render();
    if (answers.slice(-added.length).some((answer) => answer.error === undefined)) this.onChange();
  }

  send(entries) {
    return this.worker.call(op.setKnown, entries.map(({ path, file }) => ({ path, file })));
  }

  // Forgets every mark (another ROM is opened, or Clear); returns the sentence that says so, ''
  // when there were none.
  forget() {
    const had = this.entries.length > 0;
    ++this.generation;
    this.entries = [];
    this.refusal = '';
    this.send([]).catch(() => {});
    this.render();
    return had ? this.texts.text(ids.kStrWebBuildSymbolsCleared) : '';
  }

  render() {
    const marks = this.entries.reduce((sum, entry) => sum + entry.marks, 0);
    this.count.textContent = this.texts.format(ids.kStrKnownCount, marks);
    this.count.hidden = this.entries.length === 0;
    this.clearButton.hidden = this.entries.length === 0;
    this.problem.textContent = this.refusal === '' ? '' : `${this.texts.text(ids.kStrBuildSymbolsUnreadable)} ${this.refusal}`;
    this.problem.hidden = this.refusal === '';
  }
}
