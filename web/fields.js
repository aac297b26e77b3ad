// The option fields' editing rules, as the main window's boxes keep them: hexadecimal boxes take
// hex digits only (typed letters upper-cased, anything else refused), decimal boxes digits only,
// the count fields at most 65535, and the Dec / Hex converter. The texts are read into numbers
// by the core's own readers.

const kLargestCount = 65535;
const hexDigits = /^[0-9A-Fa-f]+$/;
const decimalDigits = /^[0-9]+$/;

// Refuses typed or pasted text that `allowed` does not match, and text beyond the box's length.
function filterInput(input, allowed, transform = (text) => text) {
  input.addEventListener('beforeinput', (event) => {
    if (event.data === null || !event.inputType.startsWith('insert')) return;
    event.preventDefault();
    if (!allowed.test(event.data)) return;
    const { selectionStart, selectionEnd, value } = input;
    const room = input.maxLength - (value.length - (selectionEnd - selectionStart));
    if (event.data.length > room) return;
    input.setRangeText(transform(event.data), selectionStart, selectionEnd, 'end');
    input.dispatchEvent(new Event('input', { bubbles: true }));
  });
}

export function hexBox(input) {
  filterInput(input, hexDigits, (text) => text.toUpperCase());
}

export function decimalBox(input) {
  filterInput(input, decimalDigits);
}

// A count field (needed bytes, skip interval): at most 65535, "1" when left empty.
export function countField(input, core) {
  decimalBox(input);
  input.addEventListener('input', () => {
    if (core.readDecimalLeading(input.value) > kLargestCount) input.value = String(kLargestCount);
  });
  input.addEventListener('blur', () => {
    if (input.value === '') input.value = '1';
  });
}

// The filler byte: "FF" when left empty, one digit padded to two.
export function fillerField(input) {
  hexBox(input);
  input.addEventListener('blur', () => {
    input.value = input.value === '' ? 'FF' : `0${input.value}`.slice(-2);
  });
}

// The converter: each box shows the other's number in its own base.
export function converter(hex, dec, core) {
  hexBox(hex);
  decimalBox(dec);
  hex.addEventListener('input', () => {
    dec.value = hex.value === '' ? '' : String(core.readHexLeading(hex.value));
  });
  dec.addEventListener('input', () => {
    hex.value = dec.value === '' ? '' : core.toHex(core.readDecimalLeading(dec.value));
  });
}
