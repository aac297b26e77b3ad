// The free-space map: the run map of the core drawn as a grid of square cells, row by row from
// offset 0, each cell standing for the same power of two of bytes and each row for a power of two
// of cells, so that every row starts at a round offset, which the ruler on the left names. It
// lays itself out again whenever its width changes. Hovering or focusing a cell shows its
// offsets, its longest run and the words pointing at that run, or the name of its mark of known
// data (the arrow keys' cell is also announced); a click (or Enter) on a usable cell searches from
// its run. The colours come from the style sheets (the cells' from map-colours.css, the window's
// own), in a light and a dark set that follow the system; the canvas is drawn in device pixels,
// so it stays sharp at any zoom.
import { pointersAtStartLine } from './pointer-lines.js';
import { op } from './protocol.js';
import { ids } from './string-ids.js';

const kSmallestPitch = 6;  // CSS pixels from a cell to the next: the cell and a one-pixel gap
const kLargestPitch = 12;
const kRows = 64;          // the rows the cells are counted for; a ROM may need fewer
const kRulerWidth = 64;    // room for a seven-digit offset left of the rows
const kRulerSpacing = 40;  // CSS pixels at least between two of the ruler's offsets
const kMarkSize = 3;       // the "Pointed at" mark, CSS pixels square at least
const CellClass = { data: 0, short: 1, referenced: 2, usable: 3, known: 4 };

// The largest power of two not above `value` (at least 1).
function powerOfTwoBelow(value) {
  return 2 ** Math.max(0, Math.floor(Math.log2(Math.max(1, value))));
}

export class FreeSpaceMap {
  constructor({ canvas, tip, totals, alignment, texts, core, worker, searchFrom, announce, onFailure }) {
    Object.assign(this, { canvas, tip, totals, alignment, texts, core, worker, searchFrom, announce, onFailure });
    this.cells = new Uint8Array(0);
    this.columns = 1;
    this.pitch = kSmallestPitch;
    this.bytesPerCell = 1;
    this.romSize = 0;
    this.filler = null;
    this.needed = 1;
    this.focused = -1;
    this.hovered = -1;
    this.runs = new Map();
    // Kinds of cells drawn over the run map's, each with its own colour and tooltip lines:
    // {draw(context, {cellCount, bytesPerCell, boxOf}), tipLines(first, end)}.
    this.layers = [];
    canvas.addEventListener('mousemove', (event) => this.hover(this.cellAt(event)));
    canvas.addEventListener('mouseleave', () => this.hover(-1));
    canvas.addEventListener('click', (event) => this.activate(this.cellAt(event)));
    canvas.addEventListener('keydown', (event) => this.key(event));
    canvas.addEventListener('blur', () => this.hover(-1));
    alignment.addEventListener('change', () => this.layOut());
    let width = 0;
    new ResizeObserver(() => {
      if (canvas.parentElement.clientWidth === width) return;
      width = canvas.parentElement.clientWidth;
      this.layOut();
    }).observe(canvas.parentElement);
    matchMedia('(prefers-color-scheme: dark)').addEventListener('change', () => this.draw());
  }

  // The map of the opened ROM for these fields; the worker reads the runs again only for another
  // filler byte, so that other needed lengths and alignments only lay the cells out anew. Throws
  // the failure when there is no map.
  async show(filler, needed) {
    this.filler = filler;
    this.needed = needed;
    const failure = await this.layOut();
    if (failure !== null) throw failure;
  }

  clear() {
    this.filler = null;
    this.romSize = 0;
    this.cells = new Uint8Array(0);
    this.runs = new Map();
    this.totals.textContent = '';
    this.draw();
  }

  addLayer(layer) {
    this.layers.push(layer);
    layer.redraw = () => this.draw();
  }

  align() {
    return Number(this.alignment.value);
  }

  // Lays the cells out for the frame's width; on a failure (a cancel, a file gone) the map is
  // cleared, so that it never shows cells of another ROM or other options, the failure reported
  // and returned (null when there was none).
  async layOut() {
    if (this.filler === null) return null;
    this.runs = new Map();
    const room = this.canvas.parentElement.clientWidth - kRulerWidth;
    this.columns = powerOfTwoBelow(room / kSmallestPitch);
    this.pitch = Math.max(kSmallestPitch, Math.min(kLargestPitch, Math.floor(room / this.columns)));
    let laidOut;
    try {
      laidOut = await this.worker.call(op.mapCells, this.filler, this.columns * kRows, this.needed, this.align());
    } catch (error) {
      this.clear();
      this.onFailure(error);
      return error;
    }
    const { romSize, bytesPerCell, cells, totals } = laidOut;
    this.romSize = romSize;
    this.bytesPerCell = bytesPerCell;
    this.cells = cells;
    // Where a cell is, for scripts that drive the page (and its tests).
    Object.assign(this.canvas.dataset, {
      bytesPerCell: String(bytesPerCell), columns: String(this.columns), pitch: String(this.pitch),
      ruler: String(kRulerWidth),
    });
    // The cells have moved: a tooltip shown before may name another cell now.
    this.hover(-1);
    this.showTotals(totals);
    this.draw();
    return null;
  }

  showTotals(totals) {
    if (totals.usableRuns === 0) {
      this.totals.textContent = this.texts.format(ids.kStrMapNoUsableRun, this.needed);
      return;
    }
    const share = (100 * totals.usableBytes) / this.romSize;
    this.totals.textContent = this.texts.format(ids.kStrMapTotals, totals.usableRuns,
      totals.usableBytes, this.texts.decimal(share, 1), totals.largestLength,
      this.core.toHex(totals.largestOffset));
  }

  colours() {
    const style = getComputedStyle(this.canvas);
    const colour = (name) => style.getPropertyValue(`--map-${name}`).trim();
    return {
      background: colour('background'),
      [CellClass.usable]: colour('usable'),
      [CellClass.referenced]: colour('referenced'),
      referencedDot: colour('referenced-dot'),
      [CellClass.short]: colour('short'),
      shortStroke: colour('short-stroke'),
      [CellClass.data]: colour('data'),
      [CellClass.known]: colour('known'),
      knownStroke: colour('known-stroke'),
      focus: colour('focus'),
      ruler: colour('ruler'),
    };
  }

  draw() {
    const ratio = window.devicePixelRatio || 1;
    const rows = Math.ceil(this.cells.length / this.columns);
    const width = this.cells.length === 0 ? 0 : kRulerWidth + this.columns * this.pitch;
    const height = rows * this.pitch;
    this.canvas.style.width = `${width}px`;
    this.canvas.style.height = `${height}px`;
    this.canvas.width = Math.round(width * ratio);
    this.canvas.height = Math.round(height * ratio);
    const context = this.canvas.getContext('2d');
    const colours = this.colours();
    const device = (css) => Math.round(css * ratio);
    context.fillStyle = colours.background;
    context.fillRect(0, 0, this.canvas.width, this.canvas.height);
    this.drawRuler(context, colours, rows, device);
    for (let cell = 0; cell < this.cells.length; ++cell) {
      const kind = this.cells[cell];
      const box = this.boxOf(cell, device);
      context.fillStyle = colours[kind];
      context.fillRect(box.left, box.top, box.width, box.height);
      if (kind === CellClass.referenced) {
        const mark = Math.max(device(kMarkSize), Math.round(box.width * 0.45));
        context.fillStyle = colours.referencedDot;
        context.fillRect(box.left + ((box.width - mark) >> 1), box.top + ((box.height - mark) >> 1), mark, mark);
      } else if (kind === CellClass.short) {
        context.strokeStyle = colours.shortStroke;
        context.lineWidth = Math.max(1, device(1));
        context.beginPath();
        context.moveTo(box.left, box.top + box.height);
        context.lineTo(box.left + box.width, box.top);
        context.stroke();
      } else if (kind === CellClass.known) {
        this.strokeKnown(context, colours, box, device);
      }
    }
    const boxOf = (cell) => this.boxOf(cell, device);
    for (const layer of this.layers) {
      layer.draw(context, { cellCount: this.cells.length, bytesPerCell: this.bytesPerCell, boxOf });
    }
    if (this.focused >= 0 && this.focused < this.cells.length && document.activeElement === this.canvas) {
      // A ring two pixels wide in the focus colour around a one-pixel ring of the background, so
      // that it shows on every kind of cell.
      const box = this.boxOf(this.focused, device);
      const ring = (inset, colour, lineWidth) => {
        context.strokeStyle = colour;
        context.lineWidth = lineWidth;
        context.strokeRect(box.left - inset, box.top - inset, box.width + 2 * inset, box.height + 2 * inset);
      };
      ring(device(2), colours.focus, device(2));
      ring(device(0.5), colours.background, Math.max(1, device(1)));
    }
  }

  // Known data: a horizontal stroke across the middle, as the window's map draws it.
  strokeKnown(context, colours, box, device) {
    const thickness = Math.max(1, device(1));
    context.fillStyle = colours.knownStroke;
    context.fillRect(box.left + thickness, box.top + ((box.height - thickness) >> 1), box.width - thickness, thickness);
  }

  // The cell's square in device pixels.
  boxOf(cell, device) {
    const x = kRulerWidth + (cell % this.columns) * this.pitch;
    const y = Math.floor(cell / this.columns) * this.pitch;
    const left = device(x);
    const top = device(y);
    const size = this.pitch - 1;
    return { left, top, width: device(x + size) - left, height: device(y + size) - top };
  }

  // The offset of every few rows' first byte, beside that row.
  drawRuler(context, colours, rows, device) {
    const every = 2 ** Math.ceil(Math.log2(Math.max(1, kRulerSpacing / this.pitch)));
    context.fillStyle = colours.ruler;
    context.font = `${device(10)}px ui-monospace, monospace`;
    context.textAlign = 'right';
    context.textBaseline = 'top';
    for (let row = 0; row < rows; row += every) {
      const offset = row * this.columns * this.bytesPerCell;
      context.fillText(this.core.toHex(offset), device(kRulerWidth - 6), device(row * this.pitch));
      context.fillRect(device(kRulerWidth - 4), device(row * this.pitch), device(3), Math.max(1, device(1)));
    }
  }

  cellAt(event) {
    const bounds = this.canvas.getBoundingClientRect();
    const x = event.clientX - bounds.left - kRulerWidth;
    const y = event.clientY - bounds.top;
    const column = Math.floor(x / this.pitch);
    if (x < 0 || y < 0 || column >= this.columns) return -1;
    const cell = Math.floor(y / this.pitch) * this.columns + column;
    return cell < this.cells.length ? cell : -1;
  }

  range(cell) {
    const first = cell * this.bytesPerCell;
    return { first, end: first + this.bytesPerCell };
  }

  // The answer for the run of a cell, asked of the worker once per cell until the map is laid out
  // again, so that hovering and clicking a cell share it; a failed request is asked again.
  runOf(cell) {
    const { runs } = this;
    if (!runs.has(cell)) {
      const { first, end } = this.range(cell);
      const answer = this.worker.call(op.mapRun, this.filler, first, end, this.needed, this.align());
      answer.catch(() => {
        if (runs.get(cell) === answer) runs.delete(cell);
      });
      runs.set(cell, answer);
    }
    return runs.get(cell);
  }

  async tipText(cell) {
    const { first, end } = this.range(cell);
    const lines = [this.texts.format(ids.kStrMapOffsets, this.core.toHex(first),
      this.core.toHex(Math.min(end, this.romSize) - 1))];
    lines.push(...this.layers.flatMap((layer) => layer.tipLines(first, end)));
    if (this.cells[cell] === CellClass.known) return [...lines, ...await this.knownLines(first, end)];
    if (this.cells[cell] === CellClass.data) return lines;
    let run;
    try {
      run = await this.runOf(cell);
    } catch {
      return lines;  // the request was cancelled or the file is gone: the offsets still hold
    }
    if (run === null) return lines;
    if (run.length > 0) {
      lines.push(this.texts.format(ids.kStrMapRun, this.core.toHex(run.offset),
        this.core.toHex(run.length), run.length));
    }
    if (run.atStartCount > 0) lines.push(pointersAtStartLine(this.texts, this.core, run));
    return lines;
  }

  // The tooltip's line naming the smallest mark of known data in [first, end).
  async knownLines(first, end) {
    try {
      const name = await this.worker.call(op.mapKnownName, this.filler, first, end);
      return name === null ? [] : [this.texts.format(ids.kStrMapKnownName, name)];
    } catch {
      return [];  // as for a run: the offsets still hold
    }
  }

  async hover(cell) {
    this.hovered = cell;
    if (cell < 0) {
      this.tip.hidden = true;
      return null;
    }
    const lines = await this.tipText(cell);
    if (this.hovered !== cell) return null;
    this.tip.textContent = lines.join('\n');
    const columnX = kRulerWidth + (cell % this.columns) * this.pitch;
    const rowY = Math.floor(cell / this.columns) * this.pitch;
    this.tip.style.left = `${Math.min(columnX + 12, Math.max(0, this.canvas.clientWidth - 360))}px`;
    this.tip.hidden = false;
    // Below the cell, or above it where the map ends too soon (the frame clips what passes it).
    const below = rowY + 12;
    const fits = below + this.tip.offsetHeight <= this.canvas.clientHeight;
    this.tip.style.top = `${fits ? below : Math.max(0, rowY - this.tip.offsetHeight - 4)}px`;
    return lines;
  }

  async activate(cell) {
    const kind = this.cells[cell];
    if (cell < 0 || (kind !== CellClass.usable && kind !== CellClass.referenced)) return;
    let run;
    try {
      run = await this.runOf(cell);
    } catch (error) {
      this.onFailure(error);
      return;
    }
    if (run !== null && run.searchStart !== null) this.searchFrom(run.searchStart);
  }

  // Arrow keys move the focused cell, Enter or Space clicks it.
  async key(event) {
    const steps = { ArrowLeft: -1, ArrowRight: 1, ArrowUp: -this.columns, ArrowDown: this.columns };
    if (event.key === 'Enter' || event.key === ' ') {
      event.preventDefault();
      this.activate(this.focused);
      return;
    }
    if (steps[event.key] === undefined || this.cells.length === 0) return;
    event.preventDefault();
    const next = Math.max(0, this.focused) + (this.focused < 0 ? 0 : steps[event.key]);
    this.focused = Math.min(this.cells.length - 1, Math.max(0, next));
    this.draw();
    const lines = await this.hover(this.focused);
    if (lines !== null) this.announce(lines.join('. '));
  }
}
