// "Projection from EPSG": the registry's Lambert conic grids, narrowed by a
// search as the user types. A grid the form can hold is typed into it, as
// the window's dialog does; any other is taken for files alone, on its own
// ellipsoid and in its own unit, and says so.
const $ = (id) => document.getElementById(id);
const SHOWN = 400;  // rows in the list at most; a longer search narrows it

export class EpsgSearch {
  constructor(module, calc, form, separator, showMessages) {
    Object.assign(this, { module, calc, form, separator, showMessages });
    this.rows = [];
    this.grid = null;     // the grid chosen last: { code, name, unit, ellipsoid, usable }
    this.key = null;      // the calculator's projection right after that choice
    this.onChange = () => {};
    $('txtSearch').addEventListener('input', () => this.search());
    $('lstGrids').addEventListener('change', () => this.selected());
    $('lstGrids').addEventListener('dblclick', () => this.use());
    $('lstGrids').addEventListener('keydown', (e) => { if (e.key === 'Enter') this.use(); });
    $('txtSearch').addEventListener('keydown', (e) => { if (e.key === 'Enter') this.use(); });
    $('useGrid').addEventListener('click', () => this.use());
    $('txtSearch').disabled = true;
    $('gridNote').textContent = 'Loading the grids…';
  }

  load(text) {
    const error = this.module.loadGrids(text);
    if (error) return this.failed(new Error(error));
    $('txtSearch').disabled = false;
    this.search();
  }

  failed(error) {
    $('gridNote').textContent = `The grids of the EPSG registry cannot be loaded: ${error.message}.`;
  }

  search() {
    const query = $('txtSearch').value;
    this.rows = this.module.searchGrids(query, SHOWN, this.separator);
    const list = $('lstGrids');
    list.replaceChildren(...this.rows.map((g) => {
      const option = new Option(`${g.code}  ${g.name}  (${g.unit})`);
      if (!g.usable) option.textContent += ` — files only: ${g.reason}`;
      return option;
    }));
    // The first grid, so that a code and Return choose it.
    list.selectedIndex = this.rows.length ? 0 : -1;
    this.selected();
  }

  selected() {
    const g = this.rows[$('lstGrids').selectedIndex];
    $('useGrid').disabled = !g;
    const count = this.rows.length === SHOWN ? `the first ${SHOWN} grids` : `${this.rows.length} grids`;
    $('gridNote').textContent = !g ? 'No grid holds these words.'
      : `${count}; EPSG:${g.code} is on the ellipsoid ${g.ellipsoid}, in ${g.unit}.`;
  }

  use() {
    const g = this.rows[$('lstGrids').selectedIndex];
    if (!g) return;
    this.grid = g;
    if (g.usable) {
      this.form.run(() => this.calc.typeGrid(g.code));
    } else {
      this.showMessages([`EPSG:${g.code} (${g.name}) is on the ellipsoid ${g.ellipsoid}, in ${g.unit}: ` +
        `the calculator's form does not hold it (${g.reason}). Files are converted on it; the calculator stays as it is.`]);
    }
    this.key = this.projectionKey();
    this.onChange();
  }

  // The grid that files are converted on: the one chosen last, until the
  // calculator's projection changes.
  current() {
    if (this.grid && this.key !== this.projectionKey()) this.grid = null;
    return this.grid;
  }

  projectionKey() {
    const s = this.calc.state();
    return JSON.stringify([s.coordSystem, s.zone, s.datum, s.unit, s.oneParallel, s.text.slice(4)]);
  }
}
