// The plan on the free-space map: "Placed", a kind of cell of its own drawn over the run map's,
// for every cell that a placed block takes a byte of; the tooltip names the blocks in the cell.
import { ids } from './string-ids.js';

const kNamedInTip = 4;  // blocks named in one tooltip; more are counted as "…"

export class PlanLayer {
  constructor(texts, core) {
    Object.assign(this, { texts, core });
    this.blocks = [];  // {name, offset, size} in offset order
    this.redraw = () => {};
  }

  show(blocks) {
    this.blocks = blocks;
    this.redraw();
  }

  draw(context, { cellCount, bytesPerCell, boxOf }) {
    if (this.blocks.length === 0 || cellCount === 0) return;
    context.fillStyle = getComputedStyle(context.canvas).getPropertyValue('--map-placed').trim();
    let lastCell = -1;
    for (const { offset, size } of this.blocks) {
      const first = Math.max(lastCell + 1, Math.floor(offset / bytesPerCell));
      lastCell = Math.min(cellCount - 1, Math.floor((offset + size - 1) / bytesPerCell));
      for (let cell = first; cell <= lastCell; ++cell) {
        const box = boxOf(cell);
        context.fillRect(box.left, box.top, box.width, box.height);
      }
    }
  }

  tipLines(first, end) {
    const inside = this.blocks.filter(({ offset, size }) => offset < end && offset + size > first);
    const lines = inside.slice(0, kNamedInTip).map(({ name, offset, size }) =>
      this.texts.format(ids.kStrWebPlacedAt, name, this.core.toHex(offset), size));
    if (inside.length > kNamedInTip) lines.push('…');
    return lines;
  }
}
