// The number fields, read by the core's own field readings (src/web/FieldBindings.cpp): blanks
// around a number, "0x", "$" and "h" on a hexadecimal one, and a GBA ROM address in the offset
// field are taken; anything else gets a note beside the field, and the field gives no value
// until it is mended. On leaving a field its text is written back in the page's own form.
import { ids } from './string-ids.js';

const kLargestCount = 65535;
const kLargestOffset = 0x7FFFFFFF;

export class NumberField {
  // `kind`: {hex: true, max, takesAddress, width} or {hex: false, min, max}; `whenEmpty`: the
  // text an empty field takes on leaving it, as the window's boxes do; `onAddress(address,
  // offset)`: told when a GBA address was read as an offset.
  constructor(input, kind, { texts, core, whenEmpty = null, onAddress = () => {} }) {
    Object.assign(this, { input, kind, texts, core, whenEmpty, onAddress });
    this.note = document.getElementById(input.getAttribute('aria-describedby'));
    input.addEventListener('input', () => this.showNote());
    input.addEventListener('change', () => this.normalise());
  }

  // {value}, {value, address} for a GBA address read as an offset, or {refused: true}.
  reading() {
    const { hex, min, max, takesAddress } = this.kind;
    return hex ? this.core.readHexField(this.input.value, max, takesAddress === true)
      : this.core.readDecimalField(this.input.value, min, max);
  }

  // The field's label as the page shows it.
  label() {
    const labelled = this.input.getAttribute('aria-labelledby');
    const label = labelled ? document.getElementById(labelled)
      : document.querySelector(`label[for="${this.input.id}"]`);
    return label.textContent.replace(/:$/, '');
  }

  // The sentence refusing the field's text; '' when it is taken.
  problem() {
    if (this.input.disabled || !this.reading().refused) return '';
    const { hex, min, max } = this.kind;
    return hex ? this.texts.format(ids.kStrWebNotHex, this.label(), this.core.toHex(max))
      : this.texts.format(ids.kStrWebNotDecimal, this.label(), min, max);
  }

  showNote() {
    const problem = this.problem();
    this.note.textContent = problem;
    this.input.setAttribute('aria-invalid', String(problem !== ''));
  }

  // A text written back counts as an input, so that what follows the field sees it.
  normalise() {
    const typed = this.input.value;
    if (typed.trim() === '' && this.whenEmpty !== null) this.input.value = this.whenEmpty;
    const reading = this.reading();
    if (reading.address !== undefined) this.onAddress(reading.address, reading.value);
    if (!reading.refused) {
      const text = this.kind.hex ? this.core.toHex(reading.value) : String(reading.value);
      this.input.value = text.padStart(this.kind.width ?? 0, '0');
    }
    if (this.input.value !== typed) this.input.dispatchEvent(new Event('input', { bubbles: true }));
    this.showNote();
  }

  value() {
    return this.reading().value;
  }
}

export function optionFields(texts, core, onAddress) {
  const field = (id, kind, whenEmpty = null) =>
    new NumberField(document.getElementById(id), kind, { texts, core, whenEmpty, onAddress });
  return {
    filler: field('filler', { hex: true, max: 0xFF, width: 2 }, 'FF'),
    needed: field('needed', { hex: false, min: 1, max: kLargestCount }, '1'),
    interval: field('interval', { hex: false, min: 0, max: kLargestCount }, '1'),
    offset: field('offset', { hex: true, max: kLargestOffset, takesAddress: true }),
  };
}

// The converter: each box shows the other's number in its own base, nothing while refused.
export function converter(hex, dec, core) {
  hex.addEventListener('input', () => {
    const reading = core.readHexField(hex.value, Number.MAX_SAFE_INTEGER, false);
    dec.value = reading.refused ? '' : String(reading.value);
  });
  dec.addEventListener('input', () => {
    const reading = core.readDecimalField(dec.value, 0, Number.MAX_SAFE_INTEGER);
    hex.value = reading.refused ? '' : core.toHex(reading.value);
  });
}
