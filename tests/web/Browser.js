'use strict';
// Debian's headless Chromium, started by puppeteer-core for the page's tests and benchmark: no
// sandbox (CI runs as root), no GPU, nothing fetched in the background, a fresh profile.
const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');

const kChromium = process.env.GAPWELL_CHROMIUM || '/usr/bin/chromium-headless-shell';

async function launchBrowser() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'gapwell-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: kChromium,
    headless: true,
    args: ['--no-sandbox', '--headless', '--disable-gpu', '--disable-background-networking',
      '--disable-component-update', '--no-first-run', `--user-data-dir=${profile}`],
  });
  return {
    browser,
    close: async () => {
      await browser.close();
      fs.rmSync(profile, { recursive: true, force: true });
    },
  };
}

module.exports = { launchBrowser };
