// The line naming the words that point at the start of a run or a result, the first of them
// listed ("…" for the others): the result list's mark and the map's tooltip show the same line.
import { ids } from './string-ids.js';

export function pointersAtStartLine(texts, core, { atStart, atStartCount }) {
  const listed = atStart.map((offset) => core.toHex(offset));
  if (atStartCount > atStart.length) listed.push('…');
  return texts.format(ids.kStrPointersAtStart, atStartCount, listed.join(', '));
}
