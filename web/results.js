// The result list of Search and Find next: one offset a line in hexadecimal, a warning mark on a
// result that a word points at exactly, with the pointers named; one item selected, moved by the
// arrow keys, Home, End, PageUp and PageDown; Ctrl+C copies it.
import { pointersAtStartLine } from './pointer-lines.js';
import { ids } from './string-ids.js';

export class ResultList {
  constructor(list, texts, core) {
    this.list = list;
    this.texts = texts;
    this.core = core;
    this.items = [];
    this.selected = -1;
    list.addEventListener('click', (event) => {
      const item = event.target.closest('[role=option]');
      if (item) this.select(Number(item.dataset.index));
    });
    list.addEventListener('keydown', (event) => this.key(event));
    this.onCopy = () => {};
  }

  // The items one page of the list shows.
  pageSize() {
    const item = this.list.firstElementChild;
    return item === null ? 1 : Math.max(1, Math.floor(this.list.clientHeight / item.offsetHeight) - 1);
  }

  key(event) {
    if ((event.ctrlKey || event.metaKey) && event.key === 'c') {
      if (this.selected >= 0) this.onCopy();
      event.preventDefault();
      return;
    }
    const last = this.items.length - 1;
    const targets = {
      ArrowDown: this.selected + 1, ArrowUp: this.selected - 1, Home: 0, End: last,
      PageDown: this.selected + this.pageSize(), PageUp: this.selected - this.pageSize(),
    };
    if (targets[event.key] === undefined || this.items.length === 0) return;
    event.preventDefault();
    this.select(Math.min(last, Math.max(0, targets[event.key])));
  }

  clear() {
    this.items = [];
    this.selected = -1;
    this.render();
  }

  // `result`: {offset, references: {atStart, atStartCount, inside}}, found for `needed` bytes.
  add(result, needed) {
    this.items.push({ ...result, needed });
    this.render();
  }

  select(index) {
    this.selected = index;
    this.render();
  }

  offsetTexts() {
    return this.items.map((item) => this.core.toHex(item.offset));
  }

  selectedText() {
    return this.selected >= 0 ? this.offsetTexts()[this.selected] : '';
  }

  allText() {
    return this.offsetTexts().join('\n');
  }

  // The lines the desktop's tooltip shows for a marked result.
  pointerLines(item) {
    return [
      pointersAtStartLine(this.texts, this.core, item.references),
      this.texts.format(ids.kStrPointersInside, item.needed, item.references.inside),
      this.texts.text(ids.kStrMayBeInUse),
    ];
  }

  render() {
    this.list.replaceChildren(...this.items.map((item, index) => {
      const element = document.createElement('li');
      element.role = 'option';
      element.id = `result-${index}`;
      element.dataset.index = String(index);
      element.setAttribute('aria-selected', String(index === this.selected));
      const offset = document.createElement('span');
      offset.className = 'offset';
      offset.textContent = this.core.toHex(item.offset);
      element.append(offset);
      if (item.references?.atStartCount > 0) {
        const lines = this.pointerLines(item);
        const mark = document.createElement('span');
        mark.className = 'mark';
        mark.textContent = '⚠';
        mark.setAttribute('aria-hidden', 'true');
        const pointers = document.createElement('span');
        pointers.className = 'pointers';
        pointers.textContent = lines[0];
        element.title = lines.join('\n');
        element.append(mark, pointers);
      }
      return element;
    }));
    if (this.selected >= 0) {
      this.list.setAttribute('aria-activedescendant', `result-${this.selected}`);
      this.list.children[this.selected].scrollIntoView({ block: 'nearest' });
    } else {
      this.list.removeAttribute('aria-activedescendant');
    }
  }
}
