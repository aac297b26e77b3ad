// What the panel gives away, each made by gapwell alloc in the worker for the plan on screen: the
// plan in its seven formats, the ROM with the blocks' files inserted, its BPS, UPS or IPS patch,
// and the new ledger. The ledger is imported from a file, and the last one of each ROM is
// remembered in the browser (ledger-store.js) until it is forgotten.
import { download } from './download.js';
import { forgetLedger, rememberedLedger, rememberLedger } from './ledger-store.js';
import { ledgerPath } from './place-request.js';
import { op } from './protocol.js';
import { ids } from './string-ids.js';

const $ = (id) => document.getElementById(id);
const kExtensions = { text: 'txt', json: 'json', armips: 'asm', ea: 'event', c: 'h', make: 'mk', ld: 'ld' };
const kDownloads = ['download-plan', 'download-ledger', 'download-rom', 'download-patch'];

// The name's part before its last extension, and the extension with its dot.
function split(name) {
  const dot = name.lastIndexOf('.');
  return dot > 0 ? [name.slice(0, dot), name.slice(dot)] : [name, ''];
}

export class PlaceOutputs {
  constructor({ panel, texts, worker, say }) {
    Object.assign(this, { panel, texts, worker, say });
    this.remembered = false;
    panel.onPlan = () => this.enable();
    $('download-plan').addEventListener('click', () => this.downloadPlan());
    $('download-rom').addEventListener('click', () => this.downloadRom());
    $('download-patch').addEventListener('click', () => this.downloadPatch());
    $('download-ledger').addEventListener('click', () => this.downloadLedger());
    $('import-ledger').addEventListener('click', () => $('ledger-file').click());
    $('ledger-file').addEventListener('change', async () => {
      const [file] = $('ledger-file').files;
      $('ledger-file').value = '';
      if (file !== undefined) this.useLedger({ name: file.name, text: await file.text() });
    });
    $('forget-ledger').addEventListener('click', () => {
      forgetLedger(panel.rom);
      this.useLedger(null);
    });
  }

  async opened(name, gameCode) {
    const crc = await this.worker.call(op.romCrc32);
    const crc32 = crc === null ? null : crc.toString(16).toUpperCase().padStart(8, '0');
    const rom = { name, gameCode, crc32 };
    this.panel.ledger = rememberedLedger(rom);
    this.remembered = this.panel.ledger !== null;
    this.panel.opened(rom);
    $('import-ledger').disabled = false;
    this.render();
  }

  // `ledger` becomes the one the plan keeps to, remembered for the ROM; null for none.
  useLedger(ledger) {
    this.panel.ledger = ledger;
    this.remembered = ledger !== null && rememberLedger(this.panel.rom, ledger);
    this.render();
    this.panel.update();
  }

  render() {
    const { ledger, rom } = this.panel;
    const blocks = ledger?.text.split('\n').filter((line) => /^\s*[^#\s]/.test(line)).length;
    $('ledger-state').textContent = ledger === null ? this.texts.text(ids.kStrWebNoLedger)
      : this.remembered ? this.texts.format(ids.kStrWebLedgerRemembered, ledger.name, blocks, rom.gameCode, rom.crc32)
        : this.texts.format(ids.kStrWebLedgerNotRemembered, ledger.name, blocks);
    $('forget-ledger').disabled = ledger === null;
  }

  enable() {
    const planned = this.panel.plan !== null;
    const files = planned && this.panel.blocks.hasFiles();
    $('download-plan').disabled = !planned;
    $('download-ledger').disabled = !planned;
    $('download-rom').disabled = !files;
    $('download-patch').disabled = !files;
    $('need-files').hidden = !planned || files;
  }

  // Runs gapwell for a download; the output's bytes, or null after saying why there are none.
  async made(extra, output, ledger) {
    for (const id of kDownloads) $(id).disabled = true;
    let answer;
    try {
      answer = await this.panel.run(extra, output === null ? [] : [output], ledger);
    } catch (error) {
      this.say(error.message);
      return null;
    } finally {
      this.enable();
    }
    if (answer === null) return null;
    const { result, inputs } = answer;
    if (result.exitCode === 2) this.panel.showRefusal(result.err, inputs);
    else if (result.exitCode !== 0) this.say(result.err.trim());
    if (result.exitCode !== 0) return null;
    return output === null ? result.out : result.files[output];
  }

  async downloadPlan() {
    const format = $('plan-format').value;
    const plan = await this.made(['--format', format], null);
    if (plan !== null) download(`${split(this.panel.rom.name)[0]}-plan.${kExtensions[format]}`, 'text/plain', plan);
  }

  // The --write arguments, with the header fixed and the ROM expanded as chosen.
  writeArguments(path) {
    const args = ['--write', path];
    if ($('fix-header').checked) args.push('--fix-header');
    if ($('expand').value !== '') args.push('--expand', $('expand').value);
    return args;
  }

  async downloadRom() {
    const [stem, extension] = split(this.panel.rom.name);
    const name = `${stem}-placed${extension}`;
    const rom = await this.made(this.writeArguments(`out/${name}`), `out/${name}`);
    if (rom !== null) download(name, 'application/octet-stream', rom);
  }

  async downloadPatch() {
    const name = `${split(this.panel.rom.name)[0]}-placed.${$('patch-format').value}`;
    const extra = [...this.writeArguments('out/rom'), '--patch', `out/${name}`];
    const patch = await this.made(extra, `out/${name}`);
    if (patch !== null) download(name, 'application/octet-stream', patch);
  }

  // The ledger of the plan, which from now on is the one the plan keeps to.
  async downloadLedger() {
    const ledger = this.panel.ledger ?? { name: `${split(this.panel.rom.name)[0]}.ledger`, text: null };
    const bytes = await this.made(['--update-ledger'], ledgerPath(ledger), ledger);
    if (bytes === null) return;
    download(ledger.name, 'text/plain', bytes);
    this.useLedger({ name: ledger.name, text: new TextDecoder().decode(bytes) });
  }
}
