// "Convert a file": tarvane-convert's pipeline in a worker, on the grid
// chosen from the EPSG registry or on the calculator's projection, with a
// progress bar, Cancel, the messages and the result to download.
const $ = (id) => document.getElementById(id);
const LISTED = 1000;  // messages listed at most; the count says how many more

export class FilePanel {
  constructor(calc, search, showMessages) {
    Object.assign(this, { calc, search, showMessages });
    this.file = null;
    this.worker = null;
    this.result = null;
    search.onChange = () => this.formChanged();
    for (let n = 0; n <= 12; ++n) $('precision').append(new Option(String(n)));
    $('fileInput').addEventListener('change', (e) => this.choose(e.target.files[0]));
    const drop = $('drop');
    drop.addEventListener('dragover', (e) => { e.preventDefault(); drop.classList.add('over'); });
    drop.addEventListener('dragleave', () => drop.classList.remove('over'));
    drop.addEventListener('drop', (e) => {
      e.preventDefault();
      drop.classList.remove('over');
      this.choose(e.dataTransfer.files[0]);
    });
    $('convertFile').addEventListener('click', () => this.start());
    $('cancelFile').addEventListener('click', () => this.cancel());
    for (const control of [$('outputKind'), $('dms'), ...document.querySelectorAll('input[name=direction]')])
      control.addEventListener('change', () => this.optionsChanged());
    this.optionsChanged();
    this.formChanged();
  }

  choose(file) {
    if (!file) return;
    this.file = file;
    $('convertFile').disabled = false;
    this.status(`${file.name}, ${file.size.toLocaleString()} bytes.`);
  }

  // Only the choices that go together, as tarvane-convert takes them: GeoJSON
  // positions are decimal degrees; a point file of grid co-ordinates converts
  // with the inverse, one of latitudes and longitudes without it; the inverse
  // writes degrees with 9 decimals, or with angle text up to 4 of the second.
  optionsChanged() {
    const geojson = $('outputKind').value === 'geojson';
    const inverse = document.querySelector('input[name=direction]:checked').value === 'inverse';
    $('dms').disabled = geojson;
    if (geojson) $('dms').checked = false;
    for (const option of $('pointFormat').options)
      option.disabled = option.value !== '' && (option.value === 'pyxzd') === inverse;
    if ($('pointFormat').selectedOptions[0].disabled) $('pointFormat').value = '';
    const dms = $('dms').checked;
    const most = dms ? 4 : inverse ? -1 : 12;
    for (const option of $('precision').options) option.disabled = Number(option.value) > most;
    if ($('precision').selectedOptions[0].disabled) $('precision').value = '-1';
  }

  formChanged() {
    const grid = this.search.current();
    $('fileProjection').textContent = grid
      ? `EPSG:${grid.code} (${grid.name}), on the ellipsoid ${grid.ellipsoid}, in ${grid.unit}`
      : "the calculator's, as its fields stand";
  }

  options() {
    const grid = this.search.current();
    return {
      inverse: document.querySelector('input[name=direction]:checked').value === 'inverse',
      csv: $('outputKind').value === 'csv',
      geojson: $('outputKind').value === 'geojson',
      dms: $('dms').checked,
      precision: Number($('precision').value),
      header: $('header').checked,
      columns: $('columns').value.trim(),
      pointFormat: $('pointFormat').value,
      height: $('height').value.trim(),
      epsg: grid ? grid.code : 0,
      settings: this.calc.settingsBytes(),
    };
  }

  start() {
    if (!this.file || this.worker) return;
    this.clear();
    const options = this.options();
    const name = this.file.name.replace(/(\.[^.]*)?$/, '');
    const extension = options.geojson ? '.geojson' : (this.file.name.match(/\.[^.]*$/) || ['.txt'])[0];
    // The output goes into the browser's store of blobs as it comes, which may
    // keep it on disk, so that a large result does not fill the page's memory.
    let chunks = [];
    let messages = 0;
    this.worker = new Worker(new URL('convert-worker.js', import.meta.url), { type: 'module' });
    this.running(true);
    this.status(`Converting ${this.file.name}…`);
    this.worker.onmessage = ({ data }) => {
      if (data.output) chunks.push(data.output);
      if (chunks.length > 64) chunks = [new Blob(chunks)];
      if (data.read !== undefined) $('fileProgress').value = this.file.size ? data.read / this.file.size : 1;
      for (const line of data.messages || []) {
        if (++messages <= LISTED) $('fileMessages').append(Object.assign(document.createElement('li'), { textContent: line }));
      }
      if (data.status === undefined) return;
      this.stop();
      if (messages > LISTED) this.listMore(messages - LISTED);
      $('fileProgress').value = 1;
      if (data.status === 2) {
        this.status(`${this.file.name} was not converted: see the messages.`);
        return;
      }
      this.result = URL.createObjectURL(new Blob(chunks, { type: options.geojson ? 'application/geo+json' : 'text/plain' }));
      const link = $('download');
      link.href = this.result;
      link.download = `${name}-converted${extension}`;
      link.hidden = false;
      this.status(data.status === 0 ? `${this.file.name}: every line converted.`
        : `${this.file.name}: converted, but some lines failed (ERROR in their rows; see the messages).`);
    };
    this.worker.onerror = (e) => {
      this.stop();
      this.status(`The conversion stopped: ${e.message || 'the worker failed'}.`);
    };
    this.worker.postMessage({ file: this.file, options });
  }

  // The worker is busy in one long call: Cancel ends it.
  cancel() {
    if (!this.worker) return;
    this.stop();
    this.status('Cancelled: nothing was written.');
    $('fileProgress').value = 0;
  }

  stop() {
    this.worker?.terminate();
    this.worker = null;
    this.running(false);
  }

  running(on) {
    $('convertFile').disabled = on;
    $('cancelFile').disabled = !on;
    (on ? $('cancelFile') : $('convertFile')).focus();
  }

  clear() {
    if (this.result) URL.revokeObjectURL(this.result);
    this.result = null;
    $('download').hidden = true;
    $('fileMessages').replaceChildren();
    $('fileProgress').value = 0;
  }

  listMore(count) {
    $('fileMessages').append(Object.assign(document.createElement('li'), { textContent: `… and ${count.toLocaleString()} more` }));
  }

  status(text) {
    $('fileStatus').textContent = text;
  }
}
