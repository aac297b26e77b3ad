// Loads the WebAssembly core once: an instance on the page for the string tables and the number
// readings, and a worker that does everything that reads the ROM. Everything is fetched while the
// page loads; a worker started again after Cancel is made from the same blob and compiled module,
// so no request leaves the page afterwards.

import { op } from './protocol.js';

export class Cancelled extends Error {}

export class CoreFailure extends Error {
  constructor(message, fileError) {
    super(message);
    this.fileError = fileError;
  }
}

async function compile(response) {
  try {
    return await WebAssembly.compileStreaming(response.clone());
  } catch {
    // A server that does not send application/wasm: compile the bytes instead.
    return WebAssembly.compile(await response.arrayBuffer());
  }
}

// Starts the glue's module factory on the module compiled once here, which the glue would
// otherwise fetch itself; `options` are the glue's other settings. The page starts its instance
// with it, and loadCore writes its text into the worker's script, where the worker starts its own,
// so it refers to nothing outside itself.
function startCore(createGapwellCore, wasmModule, options = {}) {
  return createGapwellCore({
    ...options,
    instantiateWasm(imports, receive) {
      WebAssembly.instantiate(wasmModule, imports).then((instance) => receive(instance));
      return {};
    },
  });
}

export async function loadCore() {
  const [coreText, knownText, commandLineText, workerText, wasmModule] = await Promise.all([
    fetch('gapwell-core.js').then((response) => response.text()),
    fetch('known-files.js').then((response) => response.text()),
    fetch('worker-command-line.js').then((response) => response.text()),
    fetch('worker.js').then((response) => response.text()),
    fetch('gapwell-core.wasm').then(compile),
  ]);
  const createGapwellCore = new Function(`${coreText}\nreturn createGapwellCore;`)();
  const texts = await startCore(createGapwellCore, wasmModule);
  // The worker's script: the glue, its own scripts and, before worker.js, the operations' names
  // and the loader.
  const sharedText = `const op = ${JSON.stringify(op)};\n${startCore}`;
  const workerUrl = URL.createObjectURL(new Blob(
    [coreText, '\n', knownText, '\n', commandLineText, '\n', sharedText, '\n', workerText],
    { type: 'text/javascript' }));
  return { texts, worker: new CoreWorker(workerUrl, wasmModule) };
}

// The requests whose last one a fresh worker is given again: the ROM and its build files.
const kReplayed = [op.open, op.setKnown];

// Requests to the worker, answered in order. `onBusy(fraction | null)` follows the work: a number
// from 0 to 1 while a request runs (NaN before the first progress), null when all are answered.
export class CoreWorker {
  constructor(url, wasmModule) {
    this.url = url;
    this.wasmModule = wasmModule;
    this.pending = new Map();
    this.nextId = 1;
    this.replayed = new Map();
    this.onBusy = () => {};
    this.start();
  }

  start() {
    this.worker = new Worker(this.url);
    this.worker.onmessage = ({ data }) => this.receive(data);
    this.worker.postMessage({ op: op.init, wasmModule: this.wasmModule });
    for (const [operation, args] of this.replayed) this.call(operation, ...args).catch(() => {});
  }

  receive(data) {
    if (data.progress !== undefined) {
      if (this.pending.size > 0) this.onBusy(data.progress);
      return;
    }
    const request = this.pending.get(data.id);
    this.pending.delete(data.id);
    if (this.pending.size === 0) this.onBusy(null);
    if (data.error !== undefined) request.reject(new CoreFailure(data.error, data.fileError));
    else request.resolve(data.result);
  }

  // `operation`: one of protocol.js's `op`.
  call(operation, ...args) {
    if (kReplayed.includes(operation)) this.replayed.set(operation, args);
    const id = this.nextId++;
    this.worker.postMessage({ id, op: operation, args });
    if (this.pending.size === 0) this.onBusy(Number.NaN);
    return new Promise((resolve, reject) => this.pending.set(id, { resolve, reject }));
  }

  // Stops whatever runs: the worker ends at once and a new one takes the same ROM and build files.
  cancel() {
    this.worker.terminate();
    const requests = [...this.pending.values()];
    this.pending.clear();
    this.onBusy(null);
    for (const request of requests) request.reject(new Cancelled());
    this.start();
  }
}
