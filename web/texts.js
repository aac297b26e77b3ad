// The page's texts from the program's own string tables (carried in the WebAssembly core): the
// browser's language by default, the selector's choice after that. Elements name their text by
// string id: data-text for the content, data-label for aria-label, data-title for the tooltip.

export const ids = {
  searchOptions: 1, fillerByte: 2, neededBytes: 3, fromBeginning: 4, fromOffset: 5,
  search: 6, findNext: 7, copy: 8, note: 9, skipInterval: 10, openRom: 101,
  notEnoughFreeSpace: 1000, freeSpaceMap: 3000, mapTotals: 3002, mapNoUsableRun: 3003,
  mapOffsets: 3004, mapRun: 3005, usable: 3006, tooShort: 3007, data: 3008, pointedAt: 3009,
  alignment: 3010, pointersAtStart: 3011, pointersInside: 3012, mayBeInUse: 3013,
  cancel: 10010, introduction: 4000, copyAll: 4001, freeSpaceList: 4002, offset: 4003,
  length: 4004, startPointers: 4005, wordsInside: 4006, downloadJson: 4007, downloadCsv: 4008,
  language: 4009, reading: 4010, title: 4011, emptyFile: 4012,
  notAFile: 4014, cancelled: 4015, copied: 4016, results: 4017, showingRuns: 4018,
  listTooLong: 4019, readAgain: 4020, changedOnDisk: 4021, reopen: 4022, newVersion: 4023,
  reload: 4024, severalDropped: 4025, fromAddress: 4026, notHex: 4027, notDecimal: 4028,
  fileName: 4029, fileSize: 4030, makerCode: 4031, bytes: 4032, shortFile: 4033,
  wrongHeaderCheck: 4034, largerThanGba: 4035, resetOptions: 4036, foundAt: 4037, gbaRoms: 4038,
};

const kEnglish = 1033;

export class Texts {
  // `remembered`: the language chosen on an earlier visit, null for none.
  constructor(core, remembered) {
    this.core = core;
    this.languages = core.languages();
    this.onChange = () => {};
    const known = this.languages.some((language) => language.id === remembered);
    this.choose(known ? remembered : this.browserLanguage());
  }

  // The first of the browser's languages that has a table; English otherwise.
  browserLanguage() {
    for (const tag of navigator.languages ?? [navigator.language]) {
      const code = tag.split(/[-_]/)[0].toLowerCase();
      const language = this.languages.find((candidate) => candidate.code === code);
      if (language) return language.id;
    }
    return kEnglish;
  }

  choose(languageId) {
    this.language = this.languages.find((language) => language.id === languageId);
    this.table = this.core.strings(languageId);
    document.documentElement.lang = this.language.code;
    this.localize(document);
    this.onChange();
  }

  // The text of an id; empty when the table has none, as LoadString gives it.
  text(id) {
    return this.table[id] ?? '';
  }

  // The text with %1, %2 ... replaced by the arguments.
  format(id, ...args) {
    return this.text(id).replace(/%(\d)/g, (match, n) => String(args[n - 1] ?? match));
  }

  // A count with the language's digit grouping ("262,144").
  count(value) {
    return new Intl.NumberFormat(this.language.code).format(value);
  }

  // A fraction digit count in the language's own decimal separator.
  decimal(value, digits) {
    return value.toFixed(digits).replace('.', this.language.decimalSeparator);
  }

  // Elements without a text for their id keep the text they were written with.
  localize(root) {
    for (const [attribute, apply] of [
      ['text', (element, text) => { element.textContent = text; }],
      ['label', (element, text) => element.setAttribute('aria-label', text)],
      ['title', (element, text) => { element.title = text; }],
    ]) {
      for (const element of root.querySelectorAll(`[data-${attribute}]`)) {
        const text = this.text(Number(element.dataset[attribute]));
        if (text !== '') apply(element, text);
      }
    }
  }

  // The language's own name for itself ("Deutsch" for de).
  nameOf(language) {
    try {
      return new Intl.DisplayNames([language.code], { type: 'language' }).of(language.code);
    } catch {
      return language.code;
    }
  }
}
