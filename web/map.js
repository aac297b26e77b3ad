// The free-space map: the run map of the core drawn as a grid of square cells, row by row from
// offset 0, each cell standing for the same number of bytes, as in the desktop map. Hovering or
// focusing a cell shows its offsets, its longest run and the words pointing at that run; a click
// (or Enter) on a usable cell searches from its run. The colours come from the style sheet, in a
// light and a dark set that follow the system; the canvas is drawn in device pixels, so it stays
// sharp at any zoom.
import { ids } from './texts.js';

const kCellPitch = 6;  // CSS pixels: a 5 × 5 cell and a one-pixel gap to its right and below
const kCellSize = 5;
const kRows = 64;
const CellClass = { data: 0, short: 1, referenced: 2, usable: 3 };

export class FreeSpaceMap {
  constructor({ canvas, tip, totals, alignment, texts, core, worker, searchFrom }) {
    Object.assign(this, { canvas, tip, totals, alignment, texts, core, worker, searchFrom });
    this.cells = new Uint8Array(0);
    this.columns = 1;
    this.bytesPerCell = 1;
    this.romSize = 0;
    this.filler = null;
    this.needed = 1;
    this.focused = -1;
    this.hovered = -1;
    canvas.addEventListener('mousemove', (event) => this.hover(this.cellAt(event)));
    canvas.addEventListener('mouseleave', () => this.hover(-1));
    canvas.addEventListener('click', (event) => this.activate(this.cellAt(event)));
    canvas.addEventListener('keydown', (event) => this.key(event));
    canvas.addEventListener('blur', () => this.hover(-1));
    alignment.addEventListener('change', () => this.layOut());
    new ResizeObserver(() => this.layOut()).observe(canvas.parentElement);
    matchMedia('(prefers-color-scheme: dark)').addEventListener('change', () => this.draw());
  }

  // The map of the opened ROM for these fields; the worker reads the runs again only for another
  // filler byte, so that other needed lengths and alignments only lay the cells out anew.
  async show(filler, needed) {
    this.filler = filler;
    this.needed = Math.max(1, needed);
    await this.layOut();
  }

  clear() {
    this.filler = null;
    this.romSize = 0;
    this.cells = new Uint8Array(0);
    this.totals.textContent = '';
    this.draw();
  }

  align() {
    return Number(this.alignment.value);
  }

  async layOut() {
    if (this.filler === null) return;
    this.columns = Math.max(1, Math.floor(this.canvas.parentElement.clientWidth / kCellPitch));
    const { romSize, bytesPerCell, cells, totals } = await this.worker.call(
      'mapCells', this.filler, this.columns * kRows, this.needed, this.align());
    this.romSize = romSize;
    this.bytesPerCell = bytesPerCell;
    this.cells = cells;
    // Where a cell is, for scripts that drive the page (and its tests).
    this.canvas.dataset.bytesPerCell = String(bytesPerCell);
    this.canvas.dataset.columns = String(this.columns);
    // The cells have moved: a tooltip shown before may name another cell now.
    this.hover(-1);
    this.showTotals(totals);
    this.draw();
  }

  showTotals(totals) {
    if (totals.usableRuns === 0) {
      this.totals.textContent = this.texts.format(ids.mapNoUsableRun, this.needed);
      return;
    }
    const share = (100 * totals.usableBytes) / this.romSize;
    this.totals.textContent = this.texts.format(ids.mapTotals, totals.usableRuns,
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
      focus: colour('focus'),
    };
  }

  draw() {
    const ratio = window.devicePixelRatio || 1;
    const rows = Math.ceil(this.cells.length / this.columns);
    const width = this.columns * kCellPitch;
    const height = rows * kCellPitch;
    this.canvas.style.width = `${width}px`;
    this.canvas.style.height = `${height}px`;
    this.canvas.width = Math.round(width * ratio);
    this.canvas.height = Math.round(height * ratio);
    const context = this.canvas.getContext('2d');
    const colours = this.colours();
    const device = (css) => Math.round(css * ratio);
    context.fillStyle = colours.background;
    context.fillRect(0, 0, this.canvas.width, this.canvas.height);
    const boxOf = (cell) => {
      const x = (cell % this.columns) * kCellPitch;
      const y = Math.floor(cell / this.columns) * kCellPitch;
      const left = device(x);
      const top = device(y);
      return { left, top, width: device(x + kCellSize) - left, height: device(y + kCellSize) - top };
    };
    for (let cell = 0; cell < this.cells.length; ++cell) {
      const kind = this.cells[cell];
      const box = boxOf(cell);
      context.fillStyle = colours[kind];
      context.fillRect(box.left, box.top, box.width, box.height);
      if (kind === CellClass.referenced) {
        const dot = Math.max(1, device(1));
        context.fillStyle = colours.referencedDot;
        context.fillRect(box.left + ((box.width - dot) >> 1), box.top + ((box.height - dot) >> 1), dot, dot);
      } else if (kind === CellClass.short) {
        context.strokeStyle = colours.shortStroke;
        context.lineWidth = Math.max(1, device(1));
        context.beginPath();
        context.moveTo(box.left, box.top + box.height);
        context.lineTo(box.left + box.width, box.top);
        context.stroke();
      }
    }
    if (this.focused >= 0 && this.focused < this.cells.length && document.activeElement === this.canvas) {
      const box = boxOf(this.focused);
      context.strokeStyle = colours.focus;
      context.lineWidth = Math.max(1, device(1));
      context.strokeRect(box.left - 0.5, box.top - 0.5, box.width + 1, box.height + 1);
    }
  }

  cellAt(event) {
    const bounds = this.canvas.getBoundingClientRect();
    const x = event.clientX - bounds.left;
    const y = event.clientY - bounds.top;
    const column = Math.floor(x / kCellPitch);
    if (x < 0 || y < 0 || column >= this.columns) return -1;
    const cell = Math.floor(y / kCellPitch) * this.columns + column;
    return cell < this.cells.length ? cell : -1;
  }

  range(cell) {
    const first = cell * this.bytesPerCell;
    return { first, end: first + this.bytesPerCell };
  }

  async tipText(cell) {
    const { first, end } = this.range(cell);
    const lines = [this.texts.format(ids.mapOffsets, this.core.toHex(first),
      this.core.toHex(Math.min(end, this.romSize) - 1))];
    if (this.cells[cell] === CellClass.data) return lines;
    const run = await this.worker.call('mapRun', this.filler, first, end, this.needed, this.align());
    if (run === null) return lines;
    if (run.length > 0) {
      lines.push(this.texts.format(ids.mapRun, this.core.toHex(run.offset),
        this.core.toHex(run.length), run.length));
    }
    if (run.atStartCount > 0) {
      const listed = run.atStart.map((offset) => this.core.toHex(offset));
      if (run.atStartCount > run.atStart.length) listed.push('…');
      lines.push(this.texts.format(ids.pointersAtStart, run.atStartCount, listed.join(', ')));
    }
    return lines;
  }

  async hover(cell) {
    this.hovered = cell;
    if (cell < 0) {
      this.tip.hidden = true;
      return;
    }
    const lines = await this.tipText(cell);
    if (this.hovered !== cell) return;
    this.tip.textContent = lines.join('\n');
    const columnX = (cell % this.columns) * kCellPitch;
    const rowY = Math.floor(cell / this.columns) * kCellPitch;
    this.tip.style.left = `${Math.min(columnX + 12, Math.max(0, this.canvas.clientWidth - 260))}px`;
    this.tip.style.top = `${rowY + 12}px`;
    this.tip.hidden = false;
  }

  async activate(cell) {
    const kind = this.cells[cell];
    if (cell < 0 || (kind !== CellClass.usable && kind !== CellClass.referenced)) return;
    const { first, end } = this.range(cell);
    const run = await this.worker.call('mapRun', this.filler, first, end, this.needed, this.align());
    if (run !== null && run.searchStart !== null) this.searchFrom(run.searchStart);
  }

  // Arrow keys move the focused cell, Enter or Space clicks it.
  key(event) {
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
    this.hover(this.focused);
  }
}
