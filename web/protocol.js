// The operations the page asks of its worker, by one name each for both sides: the page's modules
// call them through CoreWorker (core.js), and core.js writes this same table into the worker's
// script, whose handlers (worker.js) are keyed by it.
export const op = Object.freeze({
  init: 'init',
  open: 'open',
  search: 'search',
  findNext: 'findNext',
  scan: 'scan',
  mapCells: 'mapCells',
  mapRun: 'mapRun',
  mapKnownName: 'mapKnownName',
  setKnown: 'setKnown',
  gapwell: 'gapwell',
  romCrc32: 'romCrc32',
});
