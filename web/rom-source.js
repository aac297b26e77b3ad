// The opened ROM and what it came from. A file handle (the File System Access picker, a drop that
// gives one, a file the system opened the page with) shows when the file changes: its size and
// last-modified time are compared with those of the bytes read, and a changed file can be read
// again. A File alone is what was read: once its file changes the browser refuses to read it, and
// only opening the file again helps.

export class RomSource {
  constructor(file, handle = null) {
    this.file = file;
    this.handle = handle;
  }

  get name() {
    return this.file.name;
  }

  // The file as it is now when it changed on disk since it was read, null when it did not (or
  // when only a File is held); throws when the file is gone.
  async changedFile() {
    if (this.handle === null) return null;
    const now = await this.handle.getFile();
    return now.size === this.file.size && now.lastModified === this.file.lastModified ? null : now;
  }
}

// The extensions of GBA ROMs, as the picker offers them.
export const kRomExtensions = ['.gba', '.agb', '.bin'];

// The first file of dropped or launched handles and files, with how many there were; null when
// there is no file among them. Handles must be asked for while the drop event runs.
export async function firstOf(entries) {
  const count = entries.length;
  for (const { handle, file } of entries) {
    const resolved = await handle;
    if (resolved?.kind === 'file') return { source: new RomSource(await resolved.getFile(), resolved), count };
    if (resolved?.kind === 'directory') continue;
    if (file !== null) return { source: new RomSource(file), count };
  }
  return null;
}

// The picker for a ROM: GBA ROMs first, all files second. Where the browser has no File System
// Access picker, the page's file input is clicked instead (`fallback`) and null returned; null
// too when the choice is cancelled.
export async function pickRom(description, fallback) {
  if (typeof window.showOpenFilePicker !== 'function') {
    fallback();
    return null;
  }
  try {
    const [handle] = await window.showOpenFilePicker({
      types: [{ description, accept: { 'application/x-gba-rom': kRomExtensions } }],
    });
    return new RomSource(await handle.getFile(), handle);
  } catch (error) {
    if (error.name === 'AbortError') return null;
    throw error;
  }
}
