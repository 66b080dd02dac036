// The page: loads the module, starts the calculator from the settings kept
// in this browser (or the defaults), and wires the form, the EPSG search and
// the file conversion to it.
import TarvaneModule from './tarvane.mjs';
import { Form } from './form.js';
import { EpsgSearch } from './epsg.js';
import { FilePanel } from './files.js';

const $ = (id) => document.getElementById(id);
const STORED = 'TARVANE.ini';  // the settings file's bytes, one character a byte

// The region's decimal mark, as the window takes it from the system.
const separator = (1.5).toLocaleString(navigator.language).includes(',') ? ',' : '.';

// --- Messages: one modal box at a time, OK only, focus back where it was -------

const queue = [];
let returnFocus = null;

function showMessages(messages, focus = document.activeElement) {
  queue.push(...messages);
  const dialog = $('message');
  if (dialog.open) return;
  returnFocus = focus;
  next();
}

function next() {
  const dialog = $('message');
  if (!queue.length) {
    if (dialog.open) dialog.close();
    if (returnFocus && document.contains(returnFocus) && !returnFocus.hidden) returnFocus.focus();
    return;
  }
  $('messageText').textContent = queue.shift();
  if (!dialog.open) dialog.showModal();
  $('messageOk').focus();
}

$('messageOk').addEventListener('click', next);
$('message').addEventListener('cancel', (e) => { e.preventDefault(); next(); });

function announce(text) {
  // The same words twice are still news: empty the region first.
  const region = $('announce');
  region.textContent = '';
  requestAnimationFrame(() => { region.textContent = text; });
}

// --- Settings kept between visits -------------------------------------------

function storedBytes() {
  const text = localStorage.getItem(STORED);
  return text === null ? new Uint8Array() : Uint8Array.from(text, (c) => c.charCodeAt(0));
}

function keep(calc) {
  try {
    localStorage.setItem(STORED, String.fromCharCode(...calc.settingsBytes()));
  } catch {
    // A browser that keeps nothing (private mode, storage full) starts on the defaults next time.
  }
}

function download(bytes, name, type) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes], { type }));
  link.download = name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}

// --- Start --------------------------------------------------------------------

const module = await TarvaneModule();
const calc = new module.Calculator(separator);
let panel = null;
const form = new Form(calc, {
  showMessages,
  announce,
  changed: () => { keep(calc); panel?.formChanged(); },
});
showMessages(calc.start(storedBytes()));
form.refresh();
$('loading').remove();
for (const section of document.querySelectorAll('main > section')) section.hidden = false;
document.body.dataset.ready = 'true';
performance.mark('tarvane-ready');  // usable: the module compiled, the form started

$('saveSettings').addEventListener('click', () => download(calc.settingsBytes(), 'TARVANE.ini', 'text/plain'));
$('openSettings').addEventListener('click', () => $('settingsFile').click());
$('settingsFile').addEventListener('change', async (e) => {
  const file = e.target.files[0];
  e.target.value = '';
  if (!file) return;
  const bytes = new Uint8Array(await file.arrayBuffer());
  if (!module.Calculator.isSettingsFile(bytes)) {
    showMessages([`${file.name} is not a TARVANE settings file: TARVANE.ini holds thirteen lines as the window writes them.`]);
    return;
  }
  form.run(() => calc.start(bytes));
});

// The grids come after the form: the calculator is usable while they load.
const grids = fetch('grids.tsv').then((r) => (r.ok ? r.text() : Promise.reject(new Error(r.statusText))));
const search = new EpsgSearch(module, calc, form, separator, showMessages);
panel = new FilePanel(calc, search, showMessages);
grids.then((text) => search.load(text), (e) => search.failed(e));

if ('serviceWorker' in navigator && location.protocol !== 'file:') {
  navigator.serviceWorker.register('sw.js').catch(() => {});
}
