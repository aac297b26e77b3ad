// The "Place blocks" panel: the blocks, the margin, the range, the reserved ranges and the name
// prefix, with the filler byte and the alignment of the search options, placed by gapwell alloc
// itself in the worker. The plan (a table, and "Placed" cells on the map) follows every change:
// while it is made again it is dimmed and nothing can be downloaded from it; only the answer to
// the newest inputs is shown, and a refusal clears it and stands next to the value refused.
import { BlocksTable } from './blocks-table.js';
import { allocRequest, placeOfRefusal } from './place-request.js';
import { PlanLayer } from './plan-layer.js';
import { op } from './protocol.js';
import { ids } from './string-ids.js';

const $ = (id) => document.getElementById(id);
const kGbaRom = 0x08000000;
const kLargestFrom = 0x7FFFFFFF;
const kExpandedRom = 'out/expanded';
// The plan's rows shown: laying out a table costs far more than making the plan (1,000 rows about
// 65 ms in headless Chromium), and the downloads hold every block.
const kShownRows = 200;
const kNoteIds = ['blocks', 'margin', 'place-from', 'place-to', 'reserved', 'prefix', 'ledger-state', 'expand'];

export class PlacePanel {
  // `fields`: the search options' number fields; `map`: the free-space map.
  constructor({ texts, core, worker, fields, map }) {
    Object.assign(this, { texts, core, worker, fields });
    this.rom = null;       // {name, gameCode, crc32} of the opened ROM
    this.ledger = null;    // {name, text}
    this.plan = null;      // the newest plan: {blocks, inputs}
    this.dirty = false;
    this.running = false;
    this.cleared = 0;      // clears so far: an answer asked for before the last one is old
    this.onPlan = () => {};
    this.layer = new PlanLayer(texts, core);
    map.addLayer(this.layer);
    this.blocks = new BlocksTable($('blocks').tBodies[0], texts, () => this.update());
    for (const id of ['margin', 'place-from', 'place-to', 'reserved', 'prefix', 'expand', 'filler', 'search-align']) {
      $(id).addEventListener('input', () => this.update());
    }
    $('add-block').addEventListener('click', () => this.blocks.add().name.focus());
    $('add-files').addEventListener('click', () => $('block-files').click());
    $('block-files').addEventListener('change', async () => {
      await this.addFiles($('block-files').files);
      $('block-files').value = '';
    });
    $('place-inputs').addEventListener('drop', (event) => {
      event.preventDefault();
      event.stopPropagation();
      if (!$('place-inputs').disabled) this.addFiles(event.dataTransfer.files);
    });
  }

  // Blocks from files; a folder among them (which cannot be read) adds none, and says so.
  async addFiles(files) {
    try {
      await this.blocks.addFiles(files);
    } catch {
      $('blocks-note').textContent = this.texts.text(ids.kStrWebNotAFile);
    }
  }

  // A hex field of the range: '' when blank (the whole ROM), the offset in hex, or null with the
  // sentence beside it. A GBA ROM address counts as its offset.
  rangeField(id, max) {
    const input = $(id);
    if (input.value.trim() === '') return '';
    const reading = this.core.readHexField(input.value, max, true);
    if (!reading.refused) return this.core.toHex(reading.value);
    const label = document.querySelector(`label[for="${id}"]`).textContent;
    this.notes[id] = this.texts.format(ids.kStrWebNotHex, label, this.core.toHex(max));
    return null;
  }

  // The inputs as gapwell alloc takes them; null when a field the page reads refuses its text.
  inputs(ledger) {
    this.notes = {};
    const filler = this.fields.filler.problem() === '' ? this.fields.filler.value() : null;
    if (filler === null) this.notes.blocks = this.fields.filler.problem();
    const from = this.rangeField('place-from', kLargestFrom);
    const to = this.rangeField('place-to', kLargestFrom + 1);
    if (filler === null || from === null || to === null) return null;
    return {
      rows: this.blocks.filled($('search-align').value),
      filler: this.core.toHex(filler).padStart(2, '0'),
      margin: $('margin').value.trim(),
      from,
      to,
      reserved: $('reserved').value,
      prefix: $('prefix').value,
      ledger,
    };
  }

  showNotes(rowNote = new Map()) {
    for (const id of kNoteIds) $(`${id}-note`).textContent = this.notes?.[id] ?? '';
    this.blocks.showNotes((row) => rowNote.get(row) ?? '');
  }

  // Runs gapwell with the panel's inputs, `ledger` and `extra` arguments; {inputs, result}, or
  // null when the inputs are refused (the sentences then stand next to their fields). A ROM
  // expanded as chosen has more free space, which gapwell counts only when it writes that ROM: a
  // run that writes none writes one here, unused, so that every plan is the one for that ROM.
  async run(extra, outputs = [], ledger = this.ledger) {
    const inputs = this.inputs(ledger);
    if (inputs === null) return null;
    const expand = $('expand').value;
    const grown = expand === '' || extra.includes('--write') ? [] : ['--write', kExpandedRom, '--expand', expand];
    const { args, files } = allocRequest(this.rom.name, inputs, [...extra, ...grown]);
    return { inputs, result: await this.worker.call(op.gapwell, args, files, outputs) };
  }

  // A refusal (exit 2, one line on stderr) beside the value it names, without the program's name
  // that begins the line.
  showRefusal(line, inputs) {
    const message = line.trim().replace(/^gapwell: /, '');
    const place = placeOfRefusal(message, inputs);
    const rowNote = new Map();
    if (place.row !== undefined) rowNote.set(inputs.rows[place.row].row, message);
    else this.notes[place.field] = message;
    this.showNotes(rowNote);
  }

  opened(rom) {
    this.rom = rom;
    $('place-inputs').disabled = false;
    this.update();
  }

  // No plan on screen: no table, no cells, no download.
  clear() {
    ++this.cleared;
    $('plan-note').textContent = '';
    this.display(null, null);
  }

  // `blocks` (null for none) as the plan on screen: the table, the map's cells, the downloads.
  display(blocks, inputs) {
    this.plan = blocks === null ? null : { blocks, inputs };
    // The map first: its drawing reads the style sheet, which is cheaper before the table changes.
    this.layer.show(blocks ?? []);
    this.showTable(blocks ?? []);
    document.body.classList.remove('plan-out-of-date');
    this.onPlan();
  }

  // The plan is made again for the inputs as they are now; while a plan is being made, one more
  // run follows it for whatever changed meanwhile.
  update() {
    if (this.rom === null) return;
    this.dirty = true;
    this.plan = null;
    this.onPlan();
    document.body.classList.add('plan-out-of-date');
    if (!this.running) this.makePlans();
  }

  async makePlans() {
    this.running = true;
    while (this.dirty) {
      this.dirty = false;
      const cleared = this.cleared;
      let answer;
      try {
        answer = await this.run(['--format', 'json']);
      } catch (error) {
        if (!this.dirty && cleared === this.cleared) {
          this.clear();
          $('plan-note').textContent = error.message;
        }
        continue;
      }
      if (!this.dirty && cleared === this.cleared) this.show(answer);
    }
    this.running = false;
  }

  show(answer) {
    $('plan-note').textContent = '';
    this.display(this.planOf(answer), answer?.inputs ?? null);
  }

  // The blocks placed for `answer`, or null after saying why there are none.
  planOf(answer) {
    if (answer === null) {
      this.showNotes();
      return null;
    }
    const { inputs, result } = answer;
    if (inputs.rows.length === 0) {
      this.showNotes();
      $('plan-note').textContent = this.texts.text(ids.kStrWebNoBlocks);
      return null;
    }
    if (result.exitCode === 2) {
      this.showRefusal(result.err, inputs);
      return null;
    }
    this.showNotes();
    // Blocks that do not fit and the largest free run left, moved blocks, known data: as gapwell
    // alloc says them.
    $('plan-note').textContent = result.err;
    return result.exitCode === 0 ? JSON.parse(new TextDecoder().decode(result.out)).blocks : null;
  }

  showTable(blocks) {
    const hex = (value) => this.core.toHex(value);
    const shown = blocks.slice(0, kShownRows);
    $('plan-more').textContent = shown.length < blocks.length
      ? this.texts.format(ids.kStrWebShowingBlocks, shown.length, blocks.length) : '';
    $('plan').tBodies[0].replaceChildren(...shown.map((block) => {
      const row = document.createElement('tr');
      for (const text of [block.name, hex(block.offset), hex(kGbaRom + block.offset).padStart(8, '0'),
        String(block.size), this.texts.text(block.moved ? ids.kStrWebYes : ids.kStrWebNo)]) {
        row.insertCell().textContent = text;
      }
      return row;
    }));
  }

  // The plan and its sentences in the chosen language.
  render() {
    if (this.rom !== null) this.update();
  }
}
