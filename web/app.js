// The page: opens a ROM, runs Search and Find next, the free-space list and the map through the
// WebAssembly core in a worker, and shows what the core returns in the chosen language. The list,
// the map, the totals and the downloads always belong to the ROM's current bytes and the current
// options: while they are being made again they are marked out of date, and when that fails or is
// cancelled they are cleared.
import { Cancelled, CoreFailure, loadCore } from './core.js';
import { download } from './download.js';
import { converter, optionFields } from './fields.js';
import { installServiceWorker } from './install.js';
import { BuildSymbols, splitDropped } from './known-data.js';
import { FreeSpaceMap } from './map.js';
import { PatchCheck } from './patch-check.js';
import { PlaceOutputs } from './place-outputs.js';
import { PlacePanel } from './place-panel.js';
import { op } from './protocol.js';
import { forget, remember, restore } from './remembered.js';
import { ResultList } from './results.js';
import { firstOf, pickRom, RomSource } from './rom-source.js';
import { ScanTable } from './scan-table.js';
import { ids } from './string-ids.js';
import { Texts } from './texts.js';

const $ = (id) => document.getElementById(id);
const kProgressDelayMs = 150;
const kMiB = 1024 * 1024;

const { texts: core, worker } = await loadCore();
const texts = new Texts(core, restore());
const fields = optionFields(texts, core, (address, offset) =>
  say(texts.format(ids.kStrWebFromAddress, core.toHex(address), core.toHex(offset))));
const results = new ResultList($('results'), texts, core);
const scanTable = new ScanTable($('scan-table'), $('scan-note'), texts, core);
const freeSpaceMap = new FreeSpaceMap({
  canvas: $('map'), tip: $('map-tip'), totals: $('map-totals'), alignment: $('map-align'),
  texts, core, worker, searchFrom, announce, onFailure: outOfDate,
});
const buildSymbols = new BuildSymbols({
  button: $('open-known'), input: $('known-file'), count: $('known-count'), clear: $('clear-known'),
  problem: $('known-problem'), texts, worker, onChange: () => { analyseSoon(); placePanel.render(); },
});
const placePanel = new PlacePanel({ texts, core, worker, fields, map: freeSpaceMap });
const placeOutputs = new PlaceOutputs({ panel: placePanel, texts, worker, say });
new PatchCheck({ panel: placePanel, texts, worker });
let source = null;       // the opened RomSource
let lastResult = 0;      // the base of "Find next", as the window keeps it in the list's tag

function say(text) {
  $('message').textContent = text;
  $('reopen').hidden = true;
}

function announce(text) {
  $('announce').textContent = text;
}

// One sentence for a failure: a file that changed or went away since it was read (the browser
// then refuses to read it), or the core's own description.
function failure(error) {
  if (error instanceof Cancelled) return texts.text(ids.kStrWebCancelled);
  return error.fileError ? texts.format(ids.kStrWebChangedOnDisk, source.name) : error.message;
}

// A file that changed or went away also takes every answer about its old bytes with it, the
// results of Search too.
function report(error) {
  if (error.fileError) {
    clearAnswers();
    clearResults();
  }
  say(failure(error));
  $('reopen').hidden = !error.fileError;
}

// The first option field that refuses its text, as a sentence; '' when all are taken.
function fieldProblem() {
  return Object.values(fields).map((field) => field.problem()).find((problem) => problem !== '') ?? '';
}

// The search fields' values, read by the core.
function options() {
  return {
    filler: fields.filler.value(),
    needed: fields.needed.value(),
    interval: fields.interval.value(),
    start: $('from-beginning').checked ? 0 : fields.offset.value(),
    align: Number($('search-align').value),
  };
}

function enableResultButtons(enabled) {
  for (const id of ['find-next', 'copy', 'copy-all']) $(id).disabled = !enabled;
}

function enableDownloads(enabled) {
  for (const id of ['download-json', 'download-csv']) $(id).disabled = !enabled;
}

// The list, the map and the totals stay in sight, dimmed, while new ones are made; nothing of
// them can be downloaded meanwhile.
function markOutOfDate() {
  enableDownloads(false);
  document.body.classList.add('out-of-date');
}

function clearResults() {
  results.clear();
  enableResultButtons(false);
}

// The list, the map, the totals and the downloads.
function clearAnswers() {
  enableDownloads(false);
  scanTable.show('');
  freeSpaceMap.clear();
  placePanel.clear();
  document.body.classList.remove('out-of-date');
}

// A failed or cancelled update leaves no list, map, totals or download behind.
function outOfDate(error) {
  clearAnswers();
  if (error !== undefined) report(error);
}

// Before each request: a ROM held through a handle that changed on disk is read again, without
// asking; one that is gone gets the sentence to open it again. Returns null when the request
// cannot go on, else the sentence to say before its answer ('' when nothing was read again).
// Requests made while a check runs share it, so that a changed file is read again only once.
let checking = null;
function current() {
  checking ??= checkCurrent().finally(() => { checking = null; });
  return checking;
}

async function checkCurrent() {
  if (source === null) return null;
  let changed;
  try {
    changed = await source.changedFile();
  } catch {
    outOfDate(new CoreFailure('', true));
    return null;
  }
  if (changed === null) return '';
  const readAgain = texts.text(ids.kStrWebReadAgain);
  return (await open(new RomSource(changed, source.handle), readAgain, true)) ? readAgain : null;
}

// Search and Find next run one after the other, as in the window, where a search blocks the
// window: a Find next pressed while another runs starts from that one's result.
let searching = Promise.resolve();
function doSearch(findNext) {
  searching = searching.then(() => runSearch(findNext));
  return searching;
}

async function runSearch(findNext) {
  const problem = fieldProblem();
  if (problem !== '') {
    say(problem);
    return;
  }
  const readAgain = await current();
  if (readAgain === null) return;
  const f = options();
  if (!findNext) clearResults();
  try {
    const result = findNext
      ? await worker.call(op.findNext, f.filler, f.needed, lastResult, f.interval, f.align)
      : await worker.call(op.search, f.filler, f.needed, f.start, f.align);
    const sayAfter = (...sentences) => say([readAgain, ...sentences].filter((text) => text !== '').join(' '));
    if (result.offset === 0) {
      sayAfter(texts.text(ids.kStrNotEnoughFreeSpace));
      return;
    }
    results.add(result, f.needed);
    lastResult = result.offset;
    const pointers = result.references?.atStartCount > 0 ? results.pointerLines(results.items.at(-1))[0] : '';
    sayAfter(texts.format(ids.kStrWebFoundAt, core.toHex(result.offset)), pointers);
    if (findNext) {
      results.select(results.selected + 1);
      return;
    }
    enableResultButtons(true);
    results.select(0);
  } catch (error) {
    report(error);
  }
}

// A click on the map: Search from the start of that run.
function searchFrom(offset) {
  $('from-offset').checked = true;
  $('offset').disabled = false;
  $('offset').value = core.toHex(offset);
  fields.offset.showNote();
  doSearch(false);
}

async function copy(text) {
  try {
    await navigator.clipboard.writeText(text);
    say(texts.text(ids.kStrWebCopied));
  } catch (error) {
    say(String(error.message ?? error));
  }
}

// The free-space list and the map for the current fields; a newer analysis makes an older one's
// answer worthless, so only the latest is shown.
let analysis = 0;
async function analyse() {
  if (source === null) return;
  const id = ++analysis;
  markOutOfDate();
  const problem = fieldProblem();
  if (problem !== '') {
    outOfDate();
    say(problem);
    return;
  }
  const f = options();
  try {
    const list = await worker.call(op.scan, f.filler, f.needed, f.align);
    if (id !== analysis) return;
    scanTable.show(list.tooLong ? '' : list);
    if (list.tooLong) say(texts.text(ids.kStrWebListTooLong));
    await freeSpaceMap.show(f.filler, f.needed);
    if (id !== analysis) return;
    document.body.classList.remove('out-of-date');
    enableDownloads(list.tooLong !== true);
  } catch (error) {
    if (id === analysis) outOfDate(error);
  }
}

let analyseTimer = 0;
async function analyseSoon() {
  clearTimeout(analyseTimer);
  markOutOfDate();
  analyseTimer = setTimeout(async () => {
    if ((await current()) === '') analyse();
  }, 300);
}

// What the page shows of the opened ROM: name, size, the header's fields and check, and one
// warning for a file that may not be a GBA ROM.
function showFacts(facts) {
  $('rom-code').textContent = `ROM: ${facts.gameCode}`;
  $('title-value').textContent = facts.title;
  $('rom-title').hidden = false;
  $('rom-name').textContent = texts.format(ids.kStrWebFileName, source.name);
  $('rom-size').textContent = texts.format(ids.kStrWebFileSize, core.toHex(facts.length),
    texts.decimal(facts.length / kMiB, 2));
  $('rom-maker').textContent = texts.format(ids.kStrWebMakerCode, facts.makerCode);
  $('rom-check').textContent = facts.headerCheck;
  $('rom-check').hidden = facts.headerCheck === '';
  $('rom-facts').hidden = false;
  const warning = !facts.headerComplete ? ids.kStrWebShortFile
    : facts.largerThanGba ? ids.kStrWebLargerThanGba : !facts.headerCheckOk ? ids.kStrWebWrongHeaderCheck : null;
  $('rom-warning').textContent = warning === null ? '' : texts.text(warning);
  $('rom-warning').hidden = warning === null;
}

// One progress bar for an open, from its first byte to the map drawn: the requests' own progress
// moves it forward only, and it is hidden once, at the end.
const progress = { opening: false, timer: 0 };

function showProgress(fraction) {
  if (fraction === null && progress.opening) return;
  clearTimeout(progress.timer);
  if (fraction === null) {
    $('progress').hidden = true;
    return;
  }
  if (Number.isNaN(fraction)) {
    if (!$('progress').hidden) return;
    $('progress-bar').value = 0;
    progress.timer = setTimeout(() => { $('progress').hidden = false; }, kProgressDelayMs);
    return;
  }
  $('progress-bar').value = progress.opening ? Math.max($('progress-bar').value, fraction) : fraction;
  $('progress').hidden = false;
}

// Opens `next`, says `sentence` once it is read; returns whether it could be read. The build
// symbols stay for the same ROM read again (`readAgain`), and go for another.
async function open(next, sentence = '', readAgain = false) {
  say('');
  if (next.file.size === 0) {
    say(texts.text(ids.kStrWebEmptyFile));
    return false;
  }
  $('search').disabled = true;
  progress.opening = true;
  source = next;
  const cleared = readAgain ? '' : buildSymbols.forget();
  lastResult = 0;
  clearResults();
  outOfDate();
  let opened = false;
  try {
    const facts = await worker.call(op.open, next.file);
    showFacts(facts);
    $('options').disabled = false;
    $('search').disabled = false;
    buildSymbols.enable(true);
    $('offset').disabled = $('from-beginning').checked;
    say([sentence, cleared].filter((text) => text !== '').join(' '));
    await analyse();
    await placeOutputs.opened(next.name, facts.gameCode);
    opened = true;
  } catch (error) {
    report(error);
  } finally {
    progress.opening = false;
    showProgress(null);
  }
  return opened;
}

// Opens the first of dropped or launched files, saying which when there were several; returns
// whether it could be read.
async function openFirst(entries) {
  const first = await firstOf(entries);
  if (first === null) {
    say(texts.text(ids.kStrWebNotAFile));
    return false;
  }
  const several = first.count > 1 ? texts.format(ids.kStrWebSeveralDropped, first.count, first.source.name) : '';
  return open(first.source, several);
}

// A drop: a ROM among the files opens, and the others are read as its build symbols (or those of
// the ROM already open).
async function openDropped(entries) {
  const { roms, buildFiles } = splitDropped(entries, source !== null);
  if (roms.length === 0 && buildFiles.length === 0) {
    await openFirst(entries);
    return;
  }
  if (roms.length > 0 && !(await openFirst(roms))) return;
  await buildSymbols.load(buildFiles);
}

// The dropped files' handles where the browser gives them (asked for while the event runs) and
// Files; a folder is no file.
function droppedEntries(transfer) {
  return [...transfer.items].filter((item) => item.kind === 'file').map((item) => {
    const entry = item.webkitGetAsEntry?.();
    return {
      handle: item.getAsFileSystemHandle?.() ?? null,
      file: entry && !entry.isFile ? null : item.getAsFile(),
    };
  });
}

// File handles handed over as a launch does: the system's "Open with", or a script that drives
// the page (its tests hand it a handle of the origin's private file system).
function openLaunched(handles) {
  return openFirst(handles.map((handle) => ({ handle, file: null })));
}

async function chooseRom() {
  try {
    const picked = await pickRom(texts.text(ids.kStrWebGbaRoms), () => $('rom-file').click());
    if (picked !== null) await open(picked);
  } catch (error) {
    say(String(error.message ?? error));
  }
}

function fillLanguages() {
  const select = $('language');
  select.replaceChildren(...texts.languages.map((language) => {
    const option = new Option(texts.nameOf(language), String(language.id));
    option.lang = language.code;
    return option;
  }));
  select.value = String(texts.language.id);
  select.addEventListener('change', () => {
    texts.choose(Number(select.value));
    remember(texts.language.id);
  });
}

function resetOptions() {
  forget();
  texts.choose(texts.browserLanguage());
  $('language').value = String(texts.language.id);
  $('offset').disabled = $('from-beginning').checked;
  for (const field of Object.values(fields)) field.showNote();
  analyseSoon();
}

function showNewVersion(takeOver) {
  $('update').hidden = false;
  $('reload').addEventListener('click', takeOver, { once: true });
}

function wire() {
  converter($('hex'), $('dec'), core);
  for (const radio of [$('from-offset'), $('from-beginning')]) {
    radio.addEventListener('change', () => {
      $('offset').disabled = $('from-beginning').checked;
      fields.offset.showNote();
    });
  }
  for (const id of ['filler', 'needed', 'search-align']) $(id).addEventListener('input', analyseSoon);
  // Every change of an option is remembered.
  for (const element of [$('options'), $('map-align')]) {
    element.addEventListener('change', () => remember(texts.language.id));
  }
  $('reset-options').addEventListener('click', resetOptions);
  $('search').addEventListener('click', () => doSearch(false));
  $('find-next').addEventListener('click', () => doSearch(true));
  $('copy').addEventListener('click', () => copy(results.selectedText()));
  $('copy-all').addEventListener('click', () => copy(results.allText()));
  results.onCopy = () => copy(results.selectedText());
  $('cancel').addEventListener('click', () => worker.cancel());
  $('download-json').addEventListener('click',
    () => download(`${source.name}.free-space.json`, 'application/json', scanTable.json));
  $('download-csv').addEventListener('click',
    () => download(`${source.name}.free-space.csv`, 'text/csv', scanTable.csv()));
  $('open').addEventListener('click', chooseRom);
  $('reopen').addEventListener('click', chooseRom);
  $('rom-file').addEventListener('change', () => {
    if ($('rom-file').files.length > 0) open(new RomSource($('rom-file').files[0]));
    $('rom-file').value = '';
  });
  document.addEventListener('dragover', (event) => event.preventDefault());
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    openDropped(droppedEntries(event.dataTransfer));
  });
  if ('launchQueue' in window) {
    window.launchQueue.setConsumer((launch) => openLaunched(launch.files));
  }
  window.gapwellOpenHandles = openLaunched;
  // Ctrl+F and F3, as the window's Edit menu has them.
  document.addEventListener('keydown', (event) => {
    const command = event.key === 'F3' ? 'find-next'
      : (event.ctrlKey || event.metaKey) && event.key === 'f' ? 'search' : null;
    if (command === null || $(command).disabled) return;
    event.preventDefault();
    $(command).click();
  });
  worker.onBusy = showProgress;
  texts.onChange = () => {
    results.render();
    scanTable.render();
    buildSymbols.render();
    freeSpaceMap.layOut();
    placePanel.render();
    placeOutputs.render();
    for (const field of Object.values(fields)) field.showNote();
  };
  fillLanguages();
  const about = core.about();
  $('product').textContent = about.product;
  $('about').textContent = `${about.product} ${about.version} · ${about.copyright}`;
  $('offset').disabled = $('from-beginning').checked;
  for (const field of Object.values(fields)) field.showNote();
  $('open').disabled = false;
}

wire();
installServiceWorker(showNewVersion);
document.body.dataset.ready = 'true';
