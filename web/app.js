// The page: opens a ROM, runs Search and Find next, the free-space list and the map through the
// WebAssembly core in a worker, and shows what the core returns in the chosen language.
import { Cancelled, loadCore } from './core.js';
import { converter, countField, fillerField, hexBox } from './fields.js';
import { FreeSpaceMap } from './map.js';
import { ResultList } from './results.js';
import { ScanTable } from './scan-table.js';
import { Texts, ids } from './texts.js';

const $ = (id) => document.getElementById(id);
const kProgressDelayMs = 150;

const { texts: core, worker } = await loadCore();
const texts = new Texts(core);
const results = new ResultList($('results'), texts, core);
const scanTable = new ScanTable($('scan-table'), $('scan-note'), texts, core);
const freeSpaceMap = new FreeSpaceMap({
  canvas: $('map'), tip: $('map-tip'), totals: $('map-totals'), alignment: $('map-align'),
  texts, core, worker, searchFrom,
});
let rom = null;          // the opened File
let lastResult = 0;      // the base of "Find next", as the window keeps it in the list's tag

function say(text) {
  $('message').textContent = text;
}

// One sentence for a failure: a file that cannot be read, or the core's own description.
function failure(error) {
  if (error instanceof Cancelled) return texts.text(ids.cancelled);
  return error.fileError ? texts.format(ids.unreadable, error.message) : error.message;
}

function report(error) {
  say(failure(error));
}

// The search fields as the window reads them.
function fields() {
  return {
    filler: core.readHexLeading($('filler').value),
    needed: core.readDecimalLeading($('needed').value),
    interval: core.readDecimalLeading($('interval').value),
    start: $('from-beginning').checked ? 0 : core.readHexLeading($('offset').value),
    align: Number($('search-align').value),
  };
}

function enableResultButtons(enabled) {
  for (const id of ['find-next', 'copy', 'copy-all']) $(id).disabled = !enabled;
}

// Search and Find next run one after the other, as in the window, where a search blocks the
// window: a Find next pressed while another runs starts from that one's result.
let searching = Promise.resolve();
function doSearch(findNext) {
  searching = searching.then(() => runSearch(findNext));
  return searching;
}

async function runSearch(findNext) {
  const f = fields();
  say('');
  if (!findNext) {
    enableResultButtons(false);
    results.clear();
  }
  try {
    const result = findNext
      ? await worker.call('findNext', f.filler, f.needed, lastResult, f.interval, f.align)
      : await worker.call('search', f.filler, f.needed, f.start, f.align);
    if (result.offset === 0) {
      say(texts.text(ids.notEnoughFreeSpace));
      return;
    }
    results.add(result, f.needed);
    lastResult = result.offset;
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
  doSearch(false);
}

async function copy(text) {
  try {
    await navigator.clipboard.writeText(text);
    say(texts.text(ids.copied));
  } catch (error) {
    say(String(error.message ?? error));
  }
}

function download(name, type, content) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([content], { type }));
  link.download = name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 0);
}

// The free-space list and the map for the current fields.
async function analyse() {
  if (rom === null) return;
  const f = fields();
  try {
    const list = await worker.call('scan', f.filler, Math.max(1, f.needed), f.align);
    scanTable.show(list.tooLong ? '' : list);
    $('download-json').disabled = list.tooLong === true;
    $('download-csv').disabled = list.tooLong === true;
    if (list.tooLong) say(texts.text(ids.listTooLong));
    await freeSpaceMap.show(f.filler, f.needed);
  } catch (error) {
    report(error);
  }
}

let analyseTimer = 0;
function analyseSoon() {
  clearTimeout(analyseTimer);
  analyseTimer = setTimeout(analyse, 300);
}

async function open(file) {
  say('');
  if (file.size === 0) {
    say(texts.text(ids.emptyFile));
    return;
  }
  try {
    const facts = await worker.call('open', file);
    rom = file;
    lastResult = 0;
    results.clear();
    enableResultButtons(false);
    scanTable.show('');
    freeSpaceMap.clear();
    $('options').disabled = false;
    $('search').disabled = false;
    $('offset').disabled = $('from-beginning').checked;
    $('filler').value = 'FF';
    $('offset').value = core.toHex(Math.floor(facts.length / 2));
    $('rom-code').textContent = `ROM: ${facts.gameCode}`;
    $('title-value').textContent = facts.title;
    $('rom-title').hidden = false;
    await analyse();
  } catch (error) {
    report(error);
  }
}

// A drop of something else than one file (a folder, a text, a link) is refused in one sentence.
function droppedFile(transfer) {
  const item = [...transfer.items].find((candidate) => candidate.kind === 'file');
  const entry = item?.webkitGetAsEntry?.();
  if (item === undefined || (entry && !entry.isFile)) return null;
  return item.getAsFile();
}

function showProgress(fraction) {
  clearTimeout(showProgress.timer);
  if (fraction === null) {
    $('progress').hidden = true;
    return;
  }
  if (Number.isNaN(fraction)) {
    $('progress-bar').removeAttribute('value');
    showProgress.timer = setTimeout(() => { $('progress').hidden = false; }, kProgressDelayMs);
  } else {
    $('progress-bar').value = fraction;
    $('progress').hidden = false;
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
  select.addEventListener('change', () => texts.choose(Number(select.value)));
}

function wire() {
  fillerField($('filler'));
  countField($('needed'), core);
  countField($('interval'), core);
  hexBox($('offset'));
  converter($('hex'), $('dec'), core);
  for (const radio of [$('from-offset'), $('from-beginning')]) {
    radio.addEventListener('change', () => { $('offset').disabled = $('from-beginning').checked; });
  }
  for (const id of ['filler', 'needed', 'search-align']) $(id).addEventListener('input', analyseSoon);
  $('search').addEventListener('click', () => doSearch(false));
  $('find-next').addEventListener('click', () => doSearch(true));
  $('copy').addEventListener('click', () => copy(results.selectedText()));
  $('copy-all').addEventListener('click', () => copy(results.allText()));
  $('cancel').addEventListener('click', () => worker.cancel());
  $('download-json').addEventListener('click',
    () => download(`${rom.name}.free-space.json`, 'application/json', scanTable.json));
  $('download-csv').addEventListener('click',
    () => download(`${rom.name}.free-space.csv`, 'text/csv', scanTable.csv()));
  $('open').addEventListener('click', () => $('rom-file').click());
  $('rom-file').addEventListener('change', () => {
    if ($('rom-file').files.length > 0) open($('rom-file').files[0]);
    $('rom-file').value = '';
  });
  document.addEventListener('dragover', (event) => event.preventDefault());
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    const file = droppedFile(event.dataTransfer);
    if (file === null) say(texts.text(ids.notAFile));
    else open(file);
  });
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
    freeSpaceMap.layOut();
  };
  fillLanguages();
  const about = core.about();
  document.title = `${about.title} - ${about.product}`;
  $('product').textContent = about.product;
  $('about').textContent = `${about.product} ${about.version} · ${about.copyright}`;
  $('open').disabled = false;
}

wire();
document.body.dataset.ready = 'true';
