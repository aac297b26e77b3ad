#!/usr/bin/env node
'use strict';
// The page's "Place blocks" panel in headless Chromium on a typical 32 MiB ROM: 1,000 typed
// blocks, from the last value typed to the plan drawn (its table's first rows and the map's
// "Placed" cells); then 100 blocks from files, from "Download patch" pressed to the patch handed
// to the browser (gapwell alloc making the patched ROM and its BPS patch in the worker). The
// native gapwell's whole process on the same inputs is given beside each, for scale.
//   node bench/web_place.js NATIVE_GAPWELL [ROUNDS]     (bench/web.sh builds and runs it)
const { execFileSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { launchBrowser } = require('../tests/web/Browser.js');
const { serve } = require('../tests/web/StaticServer.js');
const { writeTypicalRom } = require('./TypicalRom.js');

const [native, roundsText = '11'] = process.argv.slice(2);
const rounds = Number(roundsText);
const site = path.resolve(process.env.GAPWELL_WEB_DIR || path.join(__dirname, '../build-web'));
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const ms = (value) => `${value.toFixed(1)} ms`;
const sizeOf = (n) => 16 + ((n * 7919) % 241);  // 16 to 256 bytes, the same every run

function nativeTime(args) {
  const times = [];
  for (let i = 0; i < rounds; ++i) {
    const start = performance.now();
    execFileSync(native, args, { stdio: 'ignore' });
    times.push(performance.now() - start);
  }
  return median(times);
}

// 1,000 rows typed, then the last row's size typed again and again: the time to the plan drawn.
async function typedTimes(page) {
  await page.evaluate(async (count) => {
    for (let n = 0; n < count; ++n) {
      document.getElementById('add-block').click();
      const inputs = document.querySelectorAll('#blocks tbody tr:nth-last-child(2) input');
      inputs[0].value = `block${n}`;
      inputs[1].value = String(16 + ((n * 7919) % 241));
    }
  }, 1000);
  const times = [];
  for (let i = 0; i < rounds; ++i) {
    times.push(await page.evaluate((size) => new Promise((resolve) => {
      const start = performance.now();
      const input = document.querySelector('#blocks tbody tr:nth-last-child(2) td:nth-child(2) input');
      input.value = String(size);
      input.dispatchEvent(new Event('input', { bubbles: true }));
      const drawn = () => {
        if (document.body.classList.contains('plan-out-of-date')) requestAnimationFrame(drawn);
        else if (document.getElementById('plan-more').textContent === '') throw new Error('no plan of 1,000 blocks');
        else resolve(performance.now() - start);
      };
      requestAnimationFrame(drawn);
    }), 100 + i));
  }
  return times;
}

// "Download patch" with 100 blocks from files: the time until the patch is handed over.
async function patchTimes(page, files) {
  await page.evaluate(() => {
    for (const button of document.querySelectorAll('#blocks tbody button')) button.click();
  });
  await (await page.$('#block-files')).uploadFile(...files);
  await page.waitForFunction(() => !document.getElementById('download-patch').disabled, { timeout: 60000 });
  const times = [];
  for (let i = 0; i < rounds; ++i) {
    times.push(await page.evaluate(() => new Promise((resolve) => {
      const click = HTMLAnchorElement.prototype.click;
      const start = performance.now();
      HTMLAnchorElement.prototype.click = function handed() {
        HTMLAnchorElement.prototype.click = click;
        resolve(performance.now() - start);
      };
      document.getElementById('download-patch').click();
    })));
  }
  return times;
}

async function main() {
  const rom = writeTypicalRom(32, 'gapwell_bench_place.gba');
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'gapwell-bench-place-'));
  const files = Array.from({ length: 100 }, (_, n) => {
    const file = path.join(folder, `file${n}.bin`);
    fs.writeFileSync(file, Buffer.alloc(256 + ((n * 613) % 3841), n));
    return file;
  });
  const server = await serve(site);
  const { browser, close } = await launchBrowser();
  const page = await browser.newPage();
  await page.goto(server.url);
  await page.waitForSelector('body[data-ready=true]');
  await (await page.$('#rom-file')).uploadFile(rom);
  await page.waitForFunction(() => !document.getElementById('place-inputs').disabled, { timeout: 60000 });
  const typed = await typedTimes(page);
  const blocks = Array.from({ length: 1000 }, (_, n) => ['--block', `block${n}:${n === 999 ? 100 : sizeOf(n)}:1`]).flat();
  console.log(`1,000 blocks on 32 MiB, last value typed to plan drawn: median ${ms(median(typed))} ` +
    `(min ${ms(Math.min(...typed))}, max ${ms(Math.max(...typed))}; goal 100 ms); ` +
    `native gapwell alloc --format json: ${ms(nativeTime(['alloc', rom, ...blocks, '--format', 'json']))}`);
  const patch = await patchTimes(page, files);
  const inserts = files.flatMap((file, n) => ['--insert', `file${n}=${file}`]);
  const out = path.join(folder, 'out');
  console.log(`100 files inserted, patched ROM and BPS made: median ${ms(median(patch))} ` +
    `(min ${ms(Math.min(...patch))}, max ${ms(Math.max(...patch))}; goal 300 ms); native gapwell alloc ` +
    `--write --patch: ${ms(nativeTime(['alloc', rom, ...inserts, '--write', `${out}.gba`, '--patch', `${out}.bps`]))}`);
  await close();
  await server.close();
  fs.rmSync(folder, { recursive: true, force: true });
  fs.rmSync(rom);
}

main();
