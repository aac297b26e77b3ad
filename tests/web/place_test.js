#!/usr/bin/env node
'use strict';
// The "Place blocks" panel in headless Chromium, served from 127.0.0.1 by the test itself, held
// to the native gapwell run on the same inputs: the plan, the "Placed" cells of the map, every
// download byte for byte, a block that does not fit, a dropped pair of patches and the ledger,
// remembered for the ROM.
//   node tests/web/place_test.js NATIVE_GAPWELL SAMPLE_ROM
const assert = require('assert/strict');
const { execFileSync, spawnSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const zlib = require('zlib');
const { launchBrowser } = require('./Browser.js');
const { serve } = require('./StaticServer.js');

const [nativeArgument, sampleRom] = process.argv.slice(2);
const native = path.resolve(nativeArgument);
const site = path.resolve(process.env.GAPWELL_WEB_DIR || path.join(__dirname, '../../build-web'));
const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'gapwell-place-'));
const downloads = path.join(folder, 'downloads');
const rom = path.join(folder, 'sample.gba');
fs.copyFileSync(sampleRom, rom);

// Runs the native gapwell in the test's folder; {out, err, status}.
function gapwell(...args) {
  const run = spawnSync(native, args, { cwd: folder });
  return { out: run.stdout, err: run.stderr.toString(), status: run.status };
}

const file = (name, bytes) => { fs.writeFileSync(path.join(folder, name), bytes); return path.join(folder, name); };
const font = file('font.bin', Buffer.alloc(1536, 0x46));
const names = file('names.bin', Buffer.alloc(136, 0x4E));
// The typed blocks, as the page's table and as gapwell's --block; the files in a --blocks list.
// A blank alignment is the search options' (1).
const typed = [['tiles', '0x800', '256'], ['table', '0x2E0', '4'], ['text', '200', '']];
const blockArgs = typed.flatMap(([name, size, align]) => ['--block', `${name}:${size}:${align || '1'}`]);
file('files.txt', 'font @font.bin 1\nnames @names.bin 1\n');
const allocArgs = ['alloc', 'sample.gba', ...blockArgs, '--blocks', 'files.txt'];

async function type(page, selector, value) {
  await page.$eval(selector, (input, text) => {
    input.value = text;
    input.dispatchEvent(new Event('input', { bubbles: true }));
  }, value);
}

// A click by the element itself, not at a point of the screen: the panel lies below the list and
// the map, which may still move it while they are laid out.
const press = (page, selector) => page.$eval(selector, (element) => element.click());

// Waits for the plan to be made for the inputs as they are.
const planned = (page) => page.waitForFunction(() => !document.body.classList.contains('plan-out-of-date'));
const planRows = (page) => page.$$eval('#plan tbody tr', (rows) => rows.map((row) => [...row.cells].map((cell) => cell.textContent)));
const expectedRows = (json) => JSON.parse(json).blocks.map((block) => [block.name, block.offset.toString(16).toUpperCase(),
  (0x08000000 + block.offset).toString(16).toUpperCase().padStart(8, '0'), String(block.size), block.moved ? 'yes' : 'no']);

async function downloaded(name) {
  const target = path.join(downloads, name);
  for (let tries = 0; !fs.existsSync(target) && tries < 100; ++tries) await new Promise((r) => setTimeout(r, 100));
  await new Promise((r) => setTimeout(r, 100));
  const bytes = fs.readFileSync(target);
  fs.rmSync(target);
  return bytes;
}

// Each download: the controls set, the button, the file's name and the native arguments that
// write the same file (null: the plan on stdout).
const plans = ['text', 'json', 'armips', 'ea', 'c', 'make', 'ld'].map((format) => [
  { 'plan-format': format }, 'download-plan',
  `sample-plan.${{ text: 'txt', json: 'json', armips: 'asm', ea: 'event', c: 'h', make: 'mk', ld: 'ld' }[format]}`,
  ['--format', format], null]);
const downloadCases = [...plans,
  [{ expand: '' }, 'download-rom', 'sample-placed.gba', ['--write', 'out.gba'], 'out.gba'],
  [{ expand: '33554432' }, 'download-rom', 'sample-placed.gba', ['--write', 'out.gba', '--expand', '33554432'], 'out.gba'],
  ...['bps', 'ups', 'ips'].map((format) => [{ expand: '16777216', 'patch-format': format }, 'download-patch',
    `sample-placed.${format}`, ['--write', 'out.gba', '--expand', '16777216', '--patch', `out.${format}`], `out.${format}`]),
];

// A refused value: the field, the text typed, where the sentence stands, and gapwell's arguments
// that refuse it with that sentence.
const refusals = [
  ['#margin', '1e3', '#margin-note', ['--block', 'a:1', '--margin', '1e3']],
  ['#reserved', '2000 1000', '#reserved-note', ['--block', 'a:1', '--reserve', 'reserved.txt']],
  ['#blocks tbody tr:nth-child(3) td:nth-child(2) input', '0', '#blocks tbody tr:nth-child(4) .field-note', ['--block', 'table:0:4']],
];
file('reserved.txt', '2000 1000');

const steps = [
  ['the plan equals gapwell alloc --format json', async ({ page }) => {
    await (await page.$('#rom-file')).uploadFile(rom);
    await page.waitForFunction(() => !document.getElementById('place-inputs').disabled);
    for (const [index, values] of typed.entries()) {
      await press(page, '#add-block');
      // Each block's row is followed by the row of its note.
      for (const [column, value] of values.entries()) await type(page, `#blocks tbody tr:nth-child(${2 * index + 1}) td:nth-child(${column + 1}) input`, value);
    }
    await (await page.$('#block-files')).uploadFile(font, names);
    await page.waitForFunction(() => document.querySelectorAll('#blocks tbody tr:not(.row-note)').length === 5);
    await planned(page);
    const plan = gapwell(...allocArgs, '--format', 'json');
    assert.equal(plan.status, 0, plan.err);
    assert.deepEqual(await planRows(page), expectedRows(plan.out));
  }],
  ['the map draws Placed cells where the plan says, and only there', async ({ page }) => {
    const blocks = JSON.parse(gapwell(...allocArgs, '--format', 'json').out).blocks;
    const placedCells = await page.$eval('#map', (canvas) => {
      const { bytesPerCell, columns, pitch, ruler } = Object.fromEntries(
        Object.entries(canvas.dataset).map(([key, value]) => [key, Number(value)]));
      const colour = getComputedStyle(canvas).getPropertyValue('--map-placed').trim();
      const probe = document.createElement('canvas').getContext('2d');
      probe.fillStyle = colour;
      probe.fillRect(0, 0, 1, 1);
      const wanted = [...probe.getImageData(0, 0, 1, 1).data].join();
      const ratio = canvas.width / canvas.clientWidth;
      const context = canvas.getContext('2d');
      const cells = [];
      for (let cell = 0; cell < columns * 64; ++cell) {
        const x = Math.round((ruler + (cell % columns) * pitch + 2) * ratio);
        const y = Math.round((Math.floor(cell / columns) * pitch + 2) * ratio);
        if (y < canvas.height && [...context.getImageData(x, y, 1, 1).data].join() === wanted) cells.push(cell * bytesPerCell);
      }
      return { cells, bytesPerCell };
    });
    const expected = [...new Set(blocks.flatMap((block) => {
      const first = Math.floor(block.offset / placedCells.bytesPerCell);
      const last = Math.floor((block.offset + block.size - 1) / placedCells.bytesPerCell);
      return Array.from({ length: last - first + 1 }, (_, n) => (first + n) * placedCells.bytesPerCell);
    }))].sort((a, b) => a - b);
    assert.deepEqual(placedCells.cells, expected);
  }],
  ['a plan keeps off the build symbols loaded for the ROM, as gapwell alloc --known does', async ({ page }) => {
    const plain = gapwell(...allocArgs, '--format', 'json').out;
    const first = JSON.parse(plain).blocks[0];
    const symbols = file('game.sym', `${(0x08000000 + first.offset).toString(16)} taken,00000100\n`);
    const plan = gapwell(...allocArgs, '--known', symbols, '--format', 'json');
    assert.equal(plan.status, 0, plan.err);
    assert.notDeepEqual(expectedRows(plan.out), expectedRows(plain));
    const shown = (rows) => page.waitForFunction((wanted) => JSON.stringify([...document.querySelectorAll('#plan tbody tr')]
      .map((row) => [...row.cells].map((cell) => cell.textContent))) === wanted, {}, JSON.stringify(rows));
    await (await page.$('#known-file')).uploadFile(symbols);
    await shown(expectedRows(plan.out));
    await press(page, '#clear-known');
    await shown(expectedRows(plain));
  }],
  ...downloadCases.map(([controls, button, name, args, output]) => [`${name} (${args.join(' ')}) as gapwell writes it`, async ({ page }) => {
    for (const [id, value] of Object.entries(controls)) await page.select(`#${id}`, value);
    await page.waitForFunction((id) => !document.getElementById(id).disabled, {}, button);
    await press(page, `#${button}`);
    const expected = gapwell(...allocArgs, ...args);
    assert.equal(expected.status, 0, expected.err);
    const wanted = output === null ? expected.out : fs.readFileSync(path.join(folder, output));
    const got = await downloaded(name);
    assert.ok(got.equals(wanted), `${name} differs`);
  }]),
  ...refusals.map(([field, value, note, args]) => [`${field} "${value}" is refused beside it as gapwell refuses it`, async ({ page }) => {
    const before = await page.$eval(field, (input) => input.value);
    await type(page, field, value);
    await planned(page);
    const expected = gapwell('alloc', 'sample.gba', ...args);
    assert.equal(expected.status, 2);
    assert.equal(await page.$eval(note, (shown) => shown.textContent), expected.err.trim().replace(/^gapwell: /, ''));
    assert.deepEqual(await planRows(page), []);
    await type(page, field, before);
    await planned(page);
  }]),
  ['a block that does not fit is named, and placed in the ROM expanded', async ({ page }) => {
    await page.select('#expand', '');
    await press(page, '#add-block');
    await type(page, '#blocks tbody tr:nth-last-child(2) td:nth-child(1) input', 'huge');
    await type(page, '#blocks tbody tr:nth-last-child(2) td:nth-child(2) input', '0x500000');
    await planned(page);
    const expected = gapwell(...allocArgs, '--block', 'huge:0x500000:1');
    assert.equal(expected.status, 1);
    assert.equal(await page.$eval('#plan-note', (note) => note.textContent), expected.err);
    assert.deepEqual(await planRows(page), []);
    assert.equal(await page.$eval('#download-plan', (button) => button.disabled), true);
    await page.select('#expand', '33554432');
    await planned(page);
    const grown = gapwell(...allocArgs, '--block', 'huge:0x500000:1', '--write', 'out.gba', '--expand', '33554432', '--format', 'json');
    assert.deepEqual(await planRows(page), expectedRows(grown.out));
    await page.select('#expand', '');
    await press(page, '#blocks tbody tr:nth-last-child(2) button');
    await planned(page);
  }],
  ['two dropped patches that overlap list their common range', async ({ page }) => {
    file('menu.bin', Buffer.alloc(1024, 0x4D));
    gapwell('alloc', 'sample.gba', '--insert', 'menu=menu.bin', '--write', 'a.gba', '--patch', 'a.ips');
    gapwell('alloc', 'sample.gba', '--insert', 'font=font.bin', '--write', 'b.gba', '--patch', 'b.bps');
    const expected = gapwell('patch', 'check', 'sample.gba', 'a.ips', 'b.bps');
    assert.equal(expected.status, 1);
    await page.$eval('#patch-check', (zone, patches) => {
      const transfer = new DataTransfer();
      for (const [name, base64] of patches) {
        transfer.items.add(new File([Uint8Array.from(atob(base64), (c) => c.charCodeAt(0))], name));
      }
      zone.dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
    }, ['a.ips', 'b.bps'].map((name) => [name, fs.readFileSync(path.join(folder, name)).toString('base64')]));
    await page.waitForFunction(() => document.getElementById('patch-check-result').textContent !== '');
    assert.equal(await page.$eval('#patch-check-result', (shown) => shown.textContent), expected.out.toString());
  }],
  ['a ledger imported, then imported again after a change, keeps the placed blocks in place', async ({ page }) => {
    const ledger = path.join(folder, 'sample.ledger');
    gapwell(...allocArgs, '--ledger', 'sample.ledger', '--update-ledger');
    const before = fs.readFileSync(ledger, 'utf8');
    await (await page.$('#ledger-file')).uploadFile(ledger);
    // A larger block would take the place of the earlier ones; with the ledger they stay.
    await press(page, '#add-block');
    await type(page, '#blocks tbody tr:nth-last-child(2) td:nth-child(1) input', 'extra');
    await type(page, '#blocks tbody tr:nth-last-child(2) td:nth-child(2) input', '0x1000');
    await planned(page);
    const withExtra = [...allocArgs, '--block', 'extra:0x1000:1'];
    const expected = expectedRows(gapwell(...withExtra, '--ledger', 'sample.ledger', '--format', 'json').out);
    assert.deepEqual(await planRows(page), expected);
    await (await page.$('#ledger-file')).uploadFile(ledger);
    await planned(page);
    assert.deepEqual(await planRows(page), expected);
    const kept = before.split('\n').filter((line) => /^[A-Za-z_]/.test(line)).map((line) => line.split(' ').slice(0, 2));
    for (const [name, offset] of kept) assert.ok(expected.some((row) => row[0] === name && row[1] === offset), name);
    assert.match(await page.$eval('#ledger-state', (state) => state.textContent), /sample\.ledger/);
  }],
  ['the ledger is remembered for the same ROM, and forgotten', async ({ page }) => {
    const state = () => page.$eval('#ledger-state', (shown) => shown.textContent);
    const crc = zlib.crc32(fs.readFileSync(rom)).toString(16).toUpperCase().padStart(8, '0');
    const { game_code: gameCode } = JSON.parse(gapwell('info', 'sample.gba', '--json').out);
    const blocks = fs.readFileSync(path.join(folder, 'sample.ledger'), 'utf8').split('\n').filter((line) => /^\w/.test(line)).length;
    await page.reload();
    await page.waitForSelector('body[data-ready=true]');
    await (await page.$('#rom-file')).uploadFile(rom);
    await page.waitForFunction(() => !document.getElementById('import-ledger').disabled);
    assert.equal(await state(), `Ledger sample.ledger (${blocks} blocks), remembered in this browser for the ROM ${gameCode} with CRC32 ${crc}.`);
    await press(page, '#forget-ledger');
    assert.equal(await state(), 'No ledger: every block is placed anew.');
    await page.reload();
    await page.waitForSelector('body[data-ready=true]');
    await (await page.$('#rom-file')).uploadFile(rom);
    await page.waitForFunction(() => !document.getElementById('import-ledger').disabled);
    assert.equal(await state(), 'No ledger: every block is placed anew.');
  }],
];

async function main() {
  fs.mkdirSync(downloads);
  const server = await serve(site);
  const { browser, close } = await launchBrowser();
  const page = await browser.newPage();
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  await page.setViewport({ width: 1200, height: 900 });
  await page.goto(server.url);
  await page.waitForSelector('body[data-ready=true]');
  let failed = 0;
  for (const [name, step] of steps) {
    try {
      await step({ page });
      console.log(`ok    ${name}`);
    } catch (error) {
      ++failed;
      console.log(`FAIL  ${name}: ${error.message}`);
    }
  }
  await close();
  await server.close();
  fs.rmSync(folder, { recursive: true, force: true });
  console.log(`${steps.length - failed} passed, ${failed} failed`);
  process.exitCode = failed === 0 ? 0 : 1;
}

main();
