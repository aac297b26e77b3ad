// What the page remembers between visits, in the browser's local storage: the option fields, the
// start choice, the map's alignment and the language. Reset forgets them and puts back the
// values the page was written with.

const kKey = 'gapwell.options';
const kFields = ['filler', 'needed', 'interval', 'offset', 'search-align', 'map-align'];
const kChoices = ['from-offset', 'from-beginning'];

const $ = (id) => document.getElementById(id);

function stored() {
  try {
    return JSON.parse(localStorage.getItem(kKey)) ?? {};
  } catch {
    return {};
  }
}

// The value the page was written with.
function reset(field) {
  field.value = field instanceof HTMLSelectElement
    ? [...field.options].find((option) => option.defaultSelected)?.value ?? field.options[0].value
    : field.defaultValue;
}

// The stored values put into the fields (a list keeps its own value for one it does not offer);
// returns the stored language id, null when none.
export function restore() {
  const values = stored();
  for (const id of kFields) {
    if (typeof values[id] !== 'string') continue;
    $(id).value = values[id];
    if ($(id).value !== values[id]) reset($(id));
  }
  if (kChoices.includes(values.start)) $(values.start).checked = true;
  return Number.isInteger(values.language) ? values.language : null;
}

export function remember(languageId) {
  const values = { start: kChoices.find((id) => $(id).checked), language: languageId };
  for (const id of kFields) values[id] = $(id).value;
  try {
    localStorage.setItem(kKey, JSON.stringify(values));
  } catch {
    // Storage refused (a private window, a full disk): the page works on, forgetting.
  }
}

export function forget() {
  try {
    localStorage.removeItem(kKey);
  } catch {
    // Nothing was stored.
  }
  for (const id of kFields) reset($(id));
  for (const id of kChoices) $(id).checked = $(id).defaultChecked;
}
