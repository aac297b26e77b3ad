#!/usr/bin/env node
'use strict';
// Drives the page in headless Chromium, served from 127.0.0.1 by the test itself: open and drop
// ROMs, Search, Find next, copy, the free-space list, the map, another language, and no request
// at all once the page has loaded. What the page shows is held to the native gapwell.
//   node tests/web/page_test.js NATIVE_GAPWELL SAMPLE_ROM
const assert = require('assert/strict');
const { execFileSync, spawnSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { launchBrowser } = require('./Browser.js');
const { writeBuildFiles } = require('./BuildFileSamples.js');
const { serve } = require('./StaticServer.js');

const [native, sampleRom] = process.argv.slice(2);
const buildFolder = fs.mkdtempSync(path.join(os.tmpdir(), 'gapwell-build-files-'));
const buildFiles = writeBuildFiles(buildFolder);
const site = path.resolve(process.env.GAPWELL_WEB_DIR || path.join(__dirname, '../../build-web'));
const tables = path.join(__dirname, '../../resources/strings');
const gapwell = (...args) => execFileSync(native, args, { encoding: 'utf8' });

// The text of a string id in a language's table.
function tableText(language, id) {
  const line = fs.readFileSync(path.join(tables, `${language}.txt`), 'utf8')
    .split('\n').find((candidate) => candidate.startsWith(`${id}\t`));
  return line.slice(line.indexOf('\t') + 1);
}

const text = (page, selector) => page.$eval(selector, (element) => element.textContent);
const resultOffsets = (page) =>
  page.$$eval('#results .offset', (items) => items.map((item) => item.textContent));

async function setField(page, selector, value) {
  await page.click(selector, { clickCount: 3 });
  await page.keyboard.press('Backspace');
  await page.type(selector, value);
}

// Drops files made in the page from [name, bytes] pairs (a text when there are none) on the page,
// as a drag from the desktop.
async function drop(page, ...files) {
  await page.evaluate((named) => {
    const transfer = new DataTransfer();
    if (named.length === 0) transfer.setData('text/plain', 'not a ROM');
    for (const [fileName, base64] of named) {
      transfer.items.add(new File([Uint8Array.from(atob(base64), (c) => c.charCodeAt(0))], fileName));
    }
    document.body.dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
  }, files.map(([name, bytes]) => [name, Buffer.from(bytes).toString('base64')]));
}
const sampleFile = () => [path.basename(sampleRom), fs.readFileSync(sampleRom)];

// Empties a field and types `value` into it, then leaves it, as a paste does.
async function enter(page, selector, value) {
  await page.$eval(selector, (input, text) => {
    input.value = text;
    input.dispatchEvent(new Event('input', { bubbles: true }));
    input.dispatchEvent(new Event('change', { bubbles: true }));
  }, value);
}

// What would look like a current answer: rows in the list, cells in the map, totals, a download.
const answerShown = (page) => page.evaluate(() => ({
  rows: document.querySelectorAll('#scan-table tbody tr').length,
  mapWidth: document.getElementById('map').width,
  totals: document.getElementById('map-totals').textContent,
  download: !document.getElementById('download-json').disabled,
}));
const noAnswer = { rows: 0, mapWidth: 0, totals: '', download: false };

// The free-space list's rows as "OFFSET LENGTH" lines, in offset order, once they are `wanted`.
async function listBecomes(page, wanted) {
  await page.waitForFunction((expected) => JSON.stringify([...document.querySelectorAll('#scan-table tbody tr')]
    .map((row) => `${row.cells[0].textContent} ${row.cells[1].firstChild.textContent}`).sort()) === expected,
  { timeout: 10000 }, JSON.stringify([...wanted].sort()));
}
const scanLines = (...args) => gapwell('scan', sampleRom, '--needed', '512', ...args).trim().split('\n');

async function openSample(page) {
  await (await page.$('#rom-file')).uploadFile(sampleRom);
  await listBecomes(page, scanLines());
}

// A point inside the map's cell `cellsAfter` cells after the one that holds `offset`.
const cellSpot = (page, offset, cellsAfter = 0) => page.$eval('#map', (canvas, at, after) => {
  const cell = Math.floor(at / Number(canvas.dataset.bytesPerCell)) + after;
  const { columns, pitch, ruler } = Object.fromEntries(
    Object.entries(canvas.dataset).map(([key, value]) => [key, Number(value)]));
  const bounds = canvas.getBoundingClientRect();
  return { x: bounds.left + ruler + (cell % columns) * pitch + 2, y: bounds.top + Math.floor(cell / columns) * pitch + 2 };
}, offset, cellsAfter);

// Hovers the map's cell that holds `offset` until its tooltip holds the line `wanted`.
async function tipAt(page, offset, wanted) {
  const spot = await cellSpot(page, offset);
  await page.mouse.move(spot.x, spot.y);
  await page.waitForFunction((line) => document.getElementById('map-tip').textContent.includes(line), {}, wanted);
  return text(page, '#map-tip');
}

// Writes `bytes` to a file of the origin's private file system; returns its handle.
function writeHandle(page, bytes) {
  return page.evaluateHandle(async (base64) => {
    const directory = await navigator.storage.getDirectory();
    const handle = await directory.getFileHandle('handle.gba', { create: true });
    const writable = await handle.createWritable();
    await writable.write(Uint8Array.from(atob(base64), (c) => c.charCodeAt(0)));
    await writable.close();
    return handle;
  }, Buffer.from(bytes).toString('base64'));
}

async function settled(page) {
  await page.waitForFunction(() => document.getElementById('progress').hidden);
  await new Promise((resolve) => setTimeout(resolve, 400));  // the list and map follow a field change
  await page.waitForFunction(() => document.getElementById('progress').hidden);
}

const steps = [
  ['a dropped empty file, a text and a picked ROM', async ({ page }) => {
    await drop(page, ['empty.gba', new Uint8Array(0)]);
    assert.equal(await text(page, '#message'), tableText(1033, 4012));
    await drop(page);
    assert.equal(await text(page, '#message'), tableText(1033, 4014));
    await (await page.$('#rom-file')).uploadFile(sampleRom);
    await page.waitForFunction(() => document.getElementById('rom-code').textContent !== 'ROM: ???');
    const facts = JSON.parse(gapwell('info', sampleRom, '--json'));
    assert.equal(await text(page, '#rom-code'), `ROM: ${facts.game_code}`);
    assert.equal(await text(page, '#title-value'), facts.title);
  }],
  ['Search and Find next give what gapwell find gives', async ({ page }) => {
    // Of two files dropped, the first is opened, and the page says which.
    await drop(page, sampleFile(), ['second.gba', new Uint8Array(16)]);
    await settled(page);
    assert.equal(await text(page, '#message'), tableText(1033, 4025).replace('%1', '2').replace('%2', path.basename(sampleRom)));
    await setField(page, '#needed', '512');
    await page.click('#from-beginning');
    await page.click('#search');
    await page.waitForSelector('#results .offset');
    await page.click('#find-next');
    await page.keyboard.press('F3');
    await page.waitForFunction(() => document.querySelectorAll('#results .offset').length === 3);
    const expected = gapwell('find', sampleRom, '--needed', '512', '--count', '3', '--refs');
    assert.deepEqual(await resultOffsets(page), expected.trim().split('\n').map((line) => line.split(' ')[0]));
    const pointers = expected.split('\n')[0].match(/refs (\S+)/)[1].split(',').join(', ');
    assert.match(await text(page, '#results li:first-child .pointers'), new RegExp(`\\(${pointers}\\)$`));
    assert.equal(await page.$$eval('#results .mark', (marks) => marks.length), 1);
    assert.equal(await page.$eval('#results li:last-child', (item) => item.getAttribute('aria-selected')), 'true');
  }],
  ['Copy and Copy all', async ({ page }) => {
    await page.click('#results li:first-child');
    await page.click('#copy');
    await page.waitForFunction(() => document.getElementById('message').textContent !== '');
    const offsets = await resultOffsets(page);
    assert.equal(await page.evaluate(() => navigator.clipboard.readText()), offsets[0]);
    await page.click('#copy-all');
    await page.waitForFunction((all) => navigator.clipboard.readText().then((t) => t === all), {}, offsets.join('\n'));
  }],
  ['the free-space list sorts and downloads as gapwell scan --refs --json', async ({ page, downloads }) => {
    await settled(page);
    const lines = gapwell('scan', sampleRom, '--needed', '512', '--refs').trim().split('\n');
    const column = () => page.$$eval('#scan-table tbody tr', (rows) => rows.map((row) => row.cells[0].textContent));
    assert.deepEqual(await column(), lines.map((line) => line.split(' ')[0]));
    await page.click('#scan-table th:nth-child(2) button');
    await page.click('#scan-table th:nth-child(2) button');
    const byLength = [...lines].sort((a, b) => parseInt(b.split(' ')[1], 16) - parseInt(a.split(' ')[1], 16));
    assert.deepEqual(await column(), byLength.map((line) => line.split(' ')[0]));
    assert.equal(await page.$eval('#scan-table th:nth-child(2)', (th) => th.getAttribute('aria-sort')), 'descending');
    await page.click('#download-json');
    const file = path.join(downloads, `${path.basename(sampleRom)}.free-space.json`);
    for (let tries = 0; !fs.existsSync(file) && tries < 50; ++tries) await new Promise((r) => setTimeout(r, 100));
    assert.equal(fs.readFileSync(file, 'utf8'), gapwell('scan', sampleRom, '--needed', '512', '--refs', '--json'));
  }],
  ['the map legend shows the window map\'s colours', async ({ page }) => {
    const palette = fs.readFileSync(path.join(__dirname, '../../src/mapwindow/MapPalette.h'), 'utf8');
    for (const [swatch, name] of [['usable', 'Usable'], ['data', 'Data']]) {
      const light = palette.match(new RegExp(`kMap${name}\\{0x([0-9A-F]{6}),`))[1];
      const rgb = light.match(/../g).map((pair) => parseInt(pair, 16)).join(', ');
      assert.equal(await page.$eval(`.swatch.${swatch}`, (element) => getComputedStyle(element).backgroundColor), `rgb(${rgb})`);
    }
  }],
  ['hovering a map cell, moving inside it and clicking it ask the worker for its run once', async ({ page }) => {
    const last = gapwell('scan', sampleRom, '--needed', '512').trim().split('\n').pop().split(' ')[0];
    const spot = await cellSpot(page, parseInt(last, 16), 1);
    const asked = () => page.evaluate(() => window.workerCalls.mapRun ?? 0);
    const before = await asked();
    for (const step of [0, 1, 2]) await page.mouse.move(spot.x + step, spot.y + step);
    await page.waitForFunction((run) => document.getElementById('map-tip').textContent.includes(run), {}, last);
    await page.mouse.click(spot.x, spot.y);
    await page.waitForFunction((run) => document.querySelector('#results .offset')?.textContent === run, {}, last);
    assert.equal(await asked() - before, 1);
  }],
  ['a click on the map searches from that run', async ({ page }) => {
    const last = gapwell('scan', sampleRom, '--needed', '512').trim().split('\n').pop().split(' ')[0];
    const spot = await cellSpot(page, parseInt(last, 16), 1);
    await page.mouse.move(spot.x, spot.y);
    await page.waitForFunction((run) => document.getElementById('map-tip').textContent.includes(run), {}, last);
    await page.mouse.click(spot.x, spot.y);
    await page.waitForFunction((run) => document.querySelector('#results .offset')?.textContent === run, {}, last);
    assert.equal(await page.$eval('#offset', (input) => input.value), last);
  }],
  // The worker keeps a copy of a ROM-sized file; a change after opening must still be noticed.
  ...[['went away', fs.unlinkSync], ['was rewritten', (file) => fs.writeFileSync(file, Buffer.alloc(fs.statSync(file).size, 0xFF))]]
    .map(([change, make]) => [`a file that ${change} after it was opened gets one sentence and Reopen`, async ({ page }) => {
      const copy = path.join(os.tmpdir(), `gapwell-changing-${process.pid}.gba`);
      fs.copyFileSync(sampleRom, copy);
      try {
        await (await page.$('#rom-file')).uploadFile(copy);
        await page.waitForFunction(() => document.getElementById('results').children.length === 0);
        await settled(page);
        make(copy);
        await page.click('#search');
        const sentence = tableText(1033, 4021).replace('%1', path.basename(copy));
        await page.waitForFunction((wanted) => document.getElementById('message').textContent === wanted, {}, sentence);
        assert.equal(await page.$eval('#reopen', (button) => button.hidden), false);
        assert.deepEqual(await answerShown(page), noAnswer);
      } finally {
        fs.rmSync(copy, { force: true });
      }
    }]),
  ['long work shows its progress and Cancel ends it', async ({ page }) => {
    const large = path.join(os.tmpdir(), `gapwell-large-${process.pid}.gba`);
    fs.writeFileSync(large, '');
    fs.truncateSync(large, 512 << 20);
    try {
      await (await page.$('#rom-file')).uploadFile(large);
      await page.waitForSelector('#progress:not([hidden])');
      await page.waitForFunction(() => document.getElementById('progress-bar').value > 0);
      await page.click('#cancel');
      // Reading 512 MiB for the list and the map takes many seconds; after Cancel only the fresh
      // worker's start remains.
      await page.waitForSelector('#progress[hidden]', { timeout: 3000 });
      assert.equal(await text(page, '#message'), tableText(1033, 4015));
    } finally {
      fs.rmSync(large);
    }
  }],
  ['pasted forms land as the same offset; Search, the list and the map refuse alike', async ({ page }) => {
    await page.click('#from-offset');
    for (const pasted of ['0x2000', '$2000', '2000h', ' 2000 ', '08002000', '0x08002000']) {
      await enter(page, '#offset', pasted);
      assert.equal(await page.$eval('#offset', (input) => input.value), '2000', pasted);
    }
    await enter(page, '#offset', '20 00');
    const refusal = tableText(1033, 4027).replace('%1', tableText(1033, 5)).replace('%2', '7FFFFFFF');
    assert.equal(await text(page, '#offset-note'), refusal);
    await page.click('#search');
    assert.equal(await text(page, '#message'), refusal);
    await page.click('#from-beginning');
    // Needed Bytes 0: the list and the map refuse it as Search does.
    await enter(page, '#needed', '0');
    const zero = tableText(1033, 4028).replace('%1', tableText(1033, 3)).replace('%2', '1').replace('%3', '65535');
    await page.waitForFunction((sentence) => document.getElementById('message').textContent === sentence, {}, zero);
    assert.deepEqual(await answerShown(page), noAnswer);
    await page.click('#search');
    assert.equal(await text(page, '#message'), zero);
    await enter(page, '#needed', '512');
  }],
  ...[[1024, 1280], [390, 1024]].map(([narrow, wide]) => [`the map follows the width from ${wide} to ${narrow} px`, async ({ page }) => {
    await page.setViewport({ width: wide, height: 900 });
    await drop(page, sampleFile());
    await page.waitForFunction(() => document.getElementById('map').width > 0);
    await page.setViewport({ width: narrow, height: 900 });
    // The map and the page both fit the narrower window: nothing scrolls sideways.
    await page.waitForFunction((width) => document.getElementById('map').getBoundingClientRect().right <= width &&
      document.documentElement.scrollWidth <= width, { timeout: 5000 }, narrow);
    await page.setViewport({ width: 1200, height: 900 });
  }]),
  ['a ROM changed through a handle is read again', async ({ page }) => {
    const changedRom = Buffer.from(fs.readFileSync(sampleRom));
    const first = parseInt(gapwell('find', sampleRom), 16);
    changedRom.fill(0, first, first + 0x100);
    const changedCopy = path.join(os.tmpdir(), `gapwell-handle-${process.pid}.gba`);
    fs.writeFileSync(changedCopy, changedRom);
    const expected = gapwell('find', changedCopy).trim();
    fs.rmSync(changedCopy);
    const write = (bytes) => writeHandle(page, bytes);
    await page.evaluate((handle) => window.gapwellOpenHandles([handle]), await write(fs.readFileSync(sampleRom)));
    await settled(page);
    await write(changedRom);
    await page.click('#search');
    await page.waitForFunction((offset) => document.querySelector('#results .offset')?.textContent === offset, {}, expected);
    assert.ok((await text(page, '#message')).startsWith(tableText(1033, 4020)));
  }],
  // The large file takes seconds to scan: long enough to press Cancel while it runs.
  ...[['cancelled', 256 << 20, async (page) => {
    await page.waitForSelector('#progress:not([hidden])');
    await page.click('#cancel');
  }], ['failed', 0, async (page, file) => fs.unlinkSync(file)]]
    .map(([end, size, stop]) => [`a ${end} update leaves no list, map or download`, async ({ page }) => {
      const file = path.join(os.tmpdir(), `gapwell-${end}-${process.pid}.gba`);
      fs.copyFileSync(sampleRom, file);
      if (size > 0) fs.truncateSync(file, size);
      try {
        await (await page.$('#rom-file')).uploadFile(file);
        await page.waitForFunction(() => !document.getElementById('download-json').disabled, { timeout: 60000 });
        await enter(page, '#filler', '00');
        await stop(page, file);
        await page.waitForFunction(() => document.getElementById('message').textContent !== '');
        await page.waitForFunction(() => document.getElementById('progress').hidden);
        assert.deepEqual(await answerShown(page), noAnswer);
      } finally {
        fs.rmSync(file, { force: true });
        await enter(page, '#filler', 'FF');
      }
    }]),
  // Build files of each format, picked for the opened ROM: the same list as gapwell scan --known,
  // the same results as find --known from the first mark on (Find next meets the second), and the
  // count of marks the window's label shows.
  ...[['symbols.sym', 3, '3C8000'], ['symbols.txt', 3, '3D0000'], ['game.map', 3, '3E8000'], ['game.elf', 3, '3F0000']]
    .map(([name, marks, from]) => [`build symbols from ${name} are skipped as gapwell --known skips them`, async ({ page }) => {
      await enter(page, '#needed', '512');
      await page.click('#from-offset');
      await enter(page, '#offset', from);
      await enter(page, '#interval', '4096');
      await openSample(page);
      await (await page.$('#known-file')).uploadFile(buildFiles[name]);
      await listBecomes(page, scanLines('--known', buildFiles[name]));
      assert.equal(await text(page, '#known-count'), tableText(1033, 5002).replace('%1', marks));
      await page.click('#search');
      await page.waitForSelector('#results .offset');  // Find next is enabled by the first result
      await page.click('#find-next');
      await page.waitForFunction(() => document.querySelectorAll('#results .offset').length === 2);
      const found = gapwell('find', sampleRom, '--needed', '512', '--count', '2', '--from', from,
        '--interval', '4096', '--known', buildFiles[name]);
      assert.deepEqual(await resultOffsets(page), found.trim().split('\n'));
    }]),
  ['a malformed build file gets the core line beside the button, and the marks stay', async ({ page }) => {
    await (await page.$('#known-file')).uploadFile(buildFiles['broken.sym']);
    await page.waitForSelector('#known-problem:not([hidden])');
    const refusal = spawnSync(native, ['info', sampleRom, '--known', buildFiles['broken.sym']], { encoding: 'utf8' })
      .stderr.trim().replace('gapwell: ', '').replace(`${buildFolder}${path.sep}`, '');
    assert.equal(await text(page, '#known-problem'), `${tableText(1033, 5005)} ${refusal}`);
    assert.equal(await text(page, '#known-count'), tableText(1033, 5002).replace('%1', 3));
  }],
  ['the map shows known data where the marks are, with their names', async ({ page }) => {
    // The smallest mark names the cell: the symbol, not the section around it.
    await tipAt(page, 0x3F0100, tableText(1033, 5004).replace('%1', 'gTiles'));
    // Past the section the run is free again.
    const free = await tipAt(page, 0x3F8000, tableText(1033, 3005).split(' %')[0]);
    assert.ok(!free.includes(tableText(1033, 5003)), free);
  }],
  ['a ROM read again keeps its build symbols; another ROM clears them and says so', async ({ page }) => {
    await page.click('#from-beginning');
    // Dropped next to the ROM, the build file is read for it.
    const elf = buildFiles['game.elf'];
    await drop(page, sampleFile(), [path.basename(elf), fs.readFileSync(elf)]);
    await listBecomes(page, scanLines('--known', elf));
    await page.evaluate((handle) => window.gapwellOpenHandles([handle]), await writeHandle(page, fs.readFileSync(sampleRom)));
    await listBecomes(page, scanLines());
    await (await page.$('#known-file')).uploadFile(elf);
    await listBecomes(page, scanLines('--known', elf));
    const changed = Buffer.from(fs.readFileSync(sampleRom));
    changed.fill(0, 0x2000, 0x2200);
    const changedCopy = path.join(buildFolder, 'changed.gba');
    fs.writeFileSync(changedCopy, changed);
    await writeHandle(page, changed);
    await page.click('#search');
    await listBecomes(page, gapwell('scan', changedCopy, '--needed', '512', '--known', elf).trim().split('\n'));
    const found = gapwell('find', changedCopy, '--needed', '512', '--known', elf).trim();
    await page.waitForFunction((offset) => document.querySelector('#results .offset')?.textContent === offset, {}, found);
    assert.equal(await text(page, '#known-count'), tableText(1033, 5002).replace('%1', 3));
    await openSample(page);
    assert.equal(await page.$eval('#known-count', (count) => count.hidden), true);
    assert.equal(await text(page, '#message'), tableText(1033, 4201));
  }],
  ['German from the same string tables', async ({ page }) => {
    await page.select('#language', '1031');
    assert.equal(await text(page, '#search'), tableText(1031, 6));
    assert.equal(await text(page, '#map-heading'), tableText(1031, 3000));
    assert.equal(await page.$eval('html', (html) => html.lang), 'de');
  }],
];

// The installed app, on a copy of the page served by a server of its own, without request
// interception (which keeps service workers out): its manifest, what it remembers, a new version
// on the server, and a start without the server.
const appSteps = [
  ['the manifest parses without errors and its icons load', async ({ page, cdp }) => {
    const { errors, data } = await cdp.send('Page.getAppManifest');
    assert.deepEqual(errors, []);
    const sizes = await page.evaluate(async (manifest) => Promise.all(JSON.parse(manifest).icons.map(async (icon) => {
      const image = await createImageBitmap(await (await fetch(icon.src)).blob());
      return [icon.sizes, `${image.width}x${image.height}`];
    })), data);
    for (const [declared, loaded] of sizes) assert.equal(loaded, declared);
  }],
  ['remembered options survive a reload', async ({ page }) => {
    await (await page.$('#rom-file')).uploadFile(sampleRom);
    await settled(page);
    await enter(page, '#needed', '512');
    await enter(page, '#filler', '0');
    await page.click('#from-offset');
    await page.select('#language', '2052');
    await page.reload();
    await page.waitForSelector('body[data-ready=true]');
    assert.deepEqual(await page.evaluate(() => [document.getElementById('needed').value,
      document.getElementById('filler').value, document.getElementById('from-offset').checked,
      document.documentElement.lang]), ['512', '00', true, 'zh']);
  }],
  ['changed files on the server lead to the new-version sentence', async ({ page, folder }) => {
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
    fs.appendFileSync(path.join(folder, 'style.css'), '\n/* changed */\n');
    execFileSync('bash', [path.join(__dirname, '../../scripts/stamp_web_cache.sh'), folder]);
    await page.reload();
    await page.waitForSelector('#update:not([hidden])');
    assert.equal(await text(page, '#update span'), tableText(2052, 4023));
    // Reload lets the new version take over; the older version's cache goes.
    await Promise.all([page.waitForNavigation(), page.click('#reload')]);
    await page.waitForSelector('body[data-ready=true]');
    assert.equal(await page.$eval('#update', (banner) => banner.hidden), true);
    assert.equal((await page.evaluate(() => caches.keys())).length, 1);
  }],
  ['with the server gone the page starts, opens a ROM and searches', async ({ page, server }) => {
    await server.close();
    await page.reload();
    await page.waitForSelector('body[data-ready=true]');
    await (await page.$('#rom-file')).uploadFile(sampleRom);
    await settled(page);
    await page.click('#from-beginning');
    await page.click('#search');
    await page.waitForSelector('#results .offset');
    // With the options remembered before.
    assert.equal(await text(page, '#results .offset'), gapwell('find', sampleRom, '--byte', '00', '--needed', '512').trim());
  }],
];

async function runSteps(list, context) {
  let failed = 0;
  for (const [name, step] of list) {
    try {
      await step(context);
      console.log(`ok    ${name}`);
    } catch (error) {
      ++failed;
      console.log(`FAIL  ${name}: ${error.message}`);
    }
  }
  return { passed: list.length - failed, failed };
}

// The page in a folder of the server, as the unpacked zip is served.
async function testApp(browser) {
  const root = fs.mkdtempSync(path.join(os.tmpdir(), 'gapwell-app-'));
  const folder = path.join(root, 'gapwell-web');
  fs.cpSync(site, folder, { recursive: true });
  const server = await serve(root);
  const page = await browser.newPage();
  const cdp = await page.createCDPSession();
  await page.goto(`${server.url}gapwell-web/`);
  await page.waitForSelector('body[data-ready=true]');
  try {
    return await runSteps(appSteps, { page, cdp, folder, server });
  } finally {
    await page.close();
    await server.close();
    fs.rmSync(root, { recursive: true, force: true });
  }
}

async function main() {
  const server = await serve(site);
  const { browser, close } = await launchBrowser();
  const downloads = fs.mkdtempSync(path.join(os.tmpdir(), 'gapwell-downloads-'));
  const context = browser.defaultBrowserContext();
  await context.overridePermissions(server.url.slice(0, -1),
    ['clipboard-read', 'clipboard-write', 'clipboard-sanitized-write']);
  const page = await browser.newPage();
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  let loaded = false;
  const lateRequests = [];
  await page.setRequestInterception(true);
  page.on('request', (request) => {
    if (loaded && !/^(blob|data):/.test(request.url())) lateRequests.push(request.url());
    request.continue();
  });
  // Counts the page's requests to its worker by operation.
  await page.evaluateOnNewDocument(() => {
    window.workerCalls = {};
    const post = Worker.prototype.postMessage;
    Worker.prototype.postMessage = function count(message, ...rest) {
      window.workerCalls[message.op] = (window.workerCalls[message.op] ?? 0) + 1;
      return post.call(this, message, ...rest);
    };
  });
  await page.setViewport({ width: 1200, height: 900 });
  await page.goto(server.url);
  await page.waitForSelector('body[data-ready=true]');
  loaded = true;

  const pageResults = await runSteps([...steps, ['no request after the page loaded', async () => {
    assert.deepEqual(lateRequests, []);
  }]], { page, downloads });
  const app = await testApp(browser);
  const passed = pageResults.passed + app.passed;
  const failed = pageResults.failed + app.failed;
  await close();
  await server.close();
  fs.rmSync(downloads, { recursive: true, force: true });
  fs.rmSync(buildFolder, { recursive: true, force: true });
  console.log(`${passed} passed, ${failed} failed`);
  process.exitCode = failed === 0 ? 0 : 1;
}

main();
