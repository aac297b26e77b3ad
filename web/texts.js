// The page's texts from the program's own string tables (carried in the WebAssembly core): the
// browser's language by default, the selector's choice after that. Elements name their text by
// the string id's name (string-ids.js): data-text for the content, data-label for aria-label,
// data-title for the tooltip.

import { ids } from './string-ids.js';

const kEnglish = 1033;

// The id of a name from modLocalizedIDs.h; a name it lacks is a mistake in the page.
export function idNamed(name) {
  if (!Object.hasOwn(ids, name)) throw new Error(`No string id is named ${name}`);
  return ids[name];
}

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
        const text = this.text(idNamed(element.dataset[attribute]));
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
