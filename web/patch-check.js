// Check patches: two or more BPS, UPS or IPS patches dropped on the panel (or picked) are applied
// to the opened ROM by gapwell patch check, which lists the bytes that more than one of them
// changes and, with the panel's ledger, the bytes of a ledger block that one of them changes.
import { ledgerPath } from './place-request.js';
import { op } from './protocol.js';
import { ids } from './string-ids.js';

const $ = (id) => document.getElementById(id);

export class PatchCheck {
  constructor({ panel, texts, worker }) {
    Object.assign(this, { panel, texts, worker });
    const zone = $('patch-check');
    zone.addEventListener('drop', (event) => {
      event.preventDefault();
      event.stopPropagation();
      this.check(event.dataTransfer.files);
    });
    $('choose-patches').addEventListener('click', () => $('patch-files').click());
    $('patch-files').addEventListener('change', async () => {
      await this.check($('patch-files').files);
      $('patch-files').value = '';
    });
  }

  async check(fileList) {
    const files = [...fileList];
    const shown = $('patch-check-result');
    if (this.panel.rom === null) return;
    if (files.length < 2) {
      shown.textContent = this.texts.text(ids.kStrWebTwoPatches);
      return;
    }
    // Each patch under its own name, so that the lines name it as the command line does; a
    // folder among them cannot be read.
    let inputs;
    try {
      inputs = Object.fromEntries(await Promise.all(files.map(async (file) =>
        [file.name, new Uint8Array(await file.arrayBuffer())])));
    } catch {
      shown.textContent = this.texts.text(ids.kStrWebNotAFile);
      return;
    }
    const args = ['patch', 'check', this.panel.rom.name, ...files.map((file) => file.name)];
    const { ledger } = this.panel;
    if (ledger !== null) {
      inputs[ledgerPath(ledger)] = ledger.text;
      args.push('--ledger', ledgerPath(ledger));
    }
    shown.textContent = '';
    try {
      const result = await this.worker.call(op.gapwell, args, inputs, []);
      shown.textContent = new TextDecoder().decode(result.out) + result.err;
    } catch (error) {
      shown.textContent = error.message;
    }
  }
}
