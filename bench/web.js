#!/usr/bin/env node
'use strict';
// The browser version against the native gapwell: `scan --refs` of a typical 32 MiB ROM (random
// bytes, a 0xFF run every 256 KiB, pointers to every fourth run, 1 MiB of padding) by the native
// tool, by the WebAssembly core under node and by the page's own worker in headless Chromium, in
// turn, PAIRS times; the page's figure once with the opening (which reads the ROM whole into the
// worker) and once for the scan alone. Then the page itself opening the ROM through to its map
// drawn, the page's files compressed, the time until the page is ready, and the same start with
// the server gone, from the service worker's cache.
//   node bench/web.js NATIVE_GAPWELL [PAIRS] [MiB]     (bench/web.sh builds and runs it)
const { execFileSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const zlib = require('zlib');
const { launchBrowser } = require('../tests/web/Browser.js');
const { nodeRomFiles } = require('../tests/web/NodeRomFiles.js');
const { serve } = require('../tests/web/StaticServer.js');
const { writeTypicalRom } = require('./TypicalRom.js');

const [native, pairsText = '11', mibText = '32'] = process.argv.slice(2);
const pairs = Number(pairsText);
const site = path.resolve(process.env.GAPWELL_WEB_DIR || path.join(__dirname, '../build-web'));

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const ms = (value) => `${value.toFixed(1)} ms`;

async function nodeCore() {
  const out = [];
  const core = await require(path.join(site, 'gapwell-core.js'))({
    wasmBinary: fs.readFileSync(path.join(site, 'gapwell-core.wasm')),
    stdout: (byte) => out.push(byte),
  });
  core.romFiles = nodeRomFiles(core);
  return {
    scan(rom) {
      out.length = 0;
      const args = new core.StringList();
      for (const argument of ['scan', rom, '--refs']) args.push_back(argument);
      const start = performance.now();
      core.runGapwell(args);
      const time = performance.now() - start;
      args.delete();
      return { time, output: Buffer.from(out).toString() };
    },
  };
}

// The page's worker on the ROM: `open` (which reads a ROM-sized file whole into the worker) and
// `scan`, each timed from the page, messages included.
async function pageWorker(browser, url, rom) {
  const page = await browser.newPage();
  await page.goto(url);
  await page.evaluate(async () => {
    const { loadCore } = await import('./core.js');
    window.benchCore = await loadCore();
    document.body.innerHTML = '<input type="file" id="rom">';
  });
  await (await page.$('#rom')).uploadFile(rom);
  return {
    open: () => page.evaluate(async () => {
      const start = performance.now();
      await window.benchCore.worker.call('open', document.getElementById('rom').files[0]);
      return performance.now() - start;
    }),
    scan: () => page.evaluate(async () => {
      const start = performance.now();
      const json = await window.benchCore.worker.call('scan', 0xFF, 256, 1);
      return { time: performance.now() - start, runs: JSON.parse(json).length };
    }),
  };
}

// The page opening the ROM as a user does, from the file chosen to the list and the map drawn.
async function openToMapTimes(browser, url, rom, count) {
  const page = await browser.newPage();
  await page.goto(url);
  await page.waitForSelector('body[data-ready=true]');
  await page.evaluate(() => document.getElementById('rom-file').addEventListener('change', () => {
    window.benchOpened = performance.now();
  }, { capture: true }));
  const times = [];
  for (let i = 0; i < count; ++i) {
    await page.evaluate(() => { document.getElementById('download-json').disabled = true; });
    await (await page.$('#rom-file')).uploadFile(rom);
    const drawn = await page.waitForFunction(() => !document.getElementById('download-json').disabled &&
      document.getElementById('map').width > 0 && performance.now() - window.benchOpened, { polling: 'mutation' });
    times.push(await drawn.jsonValue());
  }
  await page.close();
  return times;
}

// Starts of the page after a first visit with the server gone: every file from the service
// worker's cache.
async function offlineReadyTimes(browser, count) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'gapwell-bench-offline-'));
  fs.cpSync(site, folder, { recursive: true });
  const server = await serve(folder);
  const page = await browser.newPage();
  await page.goto(server.url);
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
  await server.close();
  const times = [];
  for (let i = 0; i < count; ++i) {
    await page.reload();
    await page.waitForSelector('body[data-ready=true]');
    times.push(await page.evaluate(() => performance.now()));
  }
  await page.close();
  fs.rmSync(folder, { recursive: true, force: true });
  return times;
}

// Every file under `folder`, with its path.
function filesUnder(folder) {
  return fs.readdirSync(folder, { recursive: true, withFileTypes: true })
    .filter((entry) => entry.isFile()).map((entry) => path.join(entry.parentPath, entry.name));
}

async function readyTimes(browser, url, count) {
  const times = [];
  for (let i = 0; i < count; ++i) {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.goto(url);
    await page.waitForSelector('body[data-ready=true]');
    times.push(await page.evaluate(() => performance.now()));
    await context.close();
  }
  return times;
}

async function main() {
  const rom = writeTypicalRom(Number(mibText), 'gapwell_bench_web.gba');
  const server = await serve(site);
  const { browser, close } = await launchBrowser();
  const inNode = await nodeCore();
  const inPage = await pageWorker(browser, server.url, rom);
  const expected = execFileSync(native, ['scan', rom, '--refs'], { encoding: 'utf8' });
  const times = { native: [], node: [], page: [], opened: [] };
  for (let i = 0; i < pairs; ++i) {
    let start = performance.now();
    execFileSync(native, ['scan', rom, '--refs']);
    times.native.push(performance.now() - start);
    const fromNode = inNode.scan(rom);
    if (fromNode.output !== expected) throw new Error('the WebAssembly core printed another list');
    times.node.push(fromNode.time);
    const open = await inPage.open();
    const scan = (await inPage.scan()).time;
    times.page.push(open + scan);
    times.opened.push(scan);
  }
  const ratio = (name) => median(times[name].map((time, i) => time / times.native[i]));
  console.log(`scan --refs of ${mibText} MiB (${expected.split('\n').length - 1} runs), ${pairs} rounds, medians:`);
  console.log(`  native gapwell (whole process):       ${ms(median(times.native))}`);
  console.log(`  WebAssembly under node:               ${ms(median(times.node))}   ratio ${ratio('node').toFixed(2)}`);
  console.log(`  page worker in Chromium, open + scan: ${ms(median(times.page))}   ratio ${ratio('page').toFixed(2)}`);
  console.log(`  page worker in Chromium, scan alone:  ${ms(median(times.opened))}   ratio ${ratio('opened').toFixed(2)}`);
  console.log(`page opening the ROM to its map drawn: median ${ms(median(await openToMapTimes(browser, server.url, rom, pairs)))}`);
  const files = filesUnder(site);
  const compressed = files.reduce((sum, file) => sum + zlib.gzipSync(fs.readFileSync(file), { level: 9 }).length, 0);
  console.log(`page files: ${files.length}, ${(compressed / 1024).toFixed(0)} KiB compressed (gzip -9), icons included`);
  console.log(`ready after loading from ${server.url}: median ${ms(median(await readyTimes(browser, server.url, 5)))} (fresh profile context each time)`);
  console.log(`ready offline from the service worker's cache: median ${ms(median(await offlineReadyTimes(browser, 5)))}`);
  await close();
  await server.close();
  fs.rmSync(rom);
}

main();
