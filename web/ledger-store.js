// The last ledger of each ROM, kept in the browser's local storage under the ROM's game code and
// CRC-32, so that opening the same ROM again places the blocks where they went before. A file too
// large for a GBA ROM has no CRC-32 here, and nothing is kept for it.

const key = (rom) => `gapwell.ledger.${rom.gameCode}.${rom.crc32}`;

// {name, text} or null.
export function rememberedLedger(rom) {
  if (rom.crc32 === null) return null;
  try {
    const ledger = JSON.parse(localStorage.getItem(key(rom)));
    return typeof ledger?.name === 'string' && typeof ledger?.text === 'string' ? ledger : null;
  } catch {
    return null;
  }
}

// Whether the browser kept it (a private window or a full disk refuses).
export function rememberLedger(rom, ledger) {
  if (rom.crc32 === null) return false;
  try {
    localStorage.setItem(key(rom), JSON.stringify(ledger));
    return true;
  } catch {
    return false;
  }
}

export function forgetLedger(rom) {
  try {
    localStorage.removeItem(key(rom));
  } catch {
    // Nothing was stored.
  }
}
