// The calculator's form on the page: a view of the C++ calculator, as the
// desktop window is. Each control's handler passes the texts in, runs the
// calculator's command and shows the state it leaves; every rule is the
// calculator's.

// The ten text boxes in the calculator's order of fields.
const FIELDS = ['txtLat', 'txtLon', 'txtNorthing', 'txtEasting', 'txtParallel0', 'txtParallel1', 'txtParallel2',
  'txtCentralMeridian', 'txtFalseNorthing', 'txtFalseEasting'];
const ANGLE_FIELDS = new Set([0, 1, 4, 5, 6, 7]);
const PARAMETER_FIELDS = new Set([4, 5, 6, 7, 8, 9]);

const $ = (id) => document.getElementById(id);

export class Form {
  // `showMessages(list)` shows each message in turn; `announce(text)` says
  // a result aloud; `changed()` runs after every command.
  constructor(calc, { showMessages, announce, changed }) {
    this.calc = calc;
    this.showMessages = showMessages;
    this.announce = announce;
    this.changed = changed;
    this.boxes = FIELDS.map($);
    this.systems = [...document.querySelectorAll('input[name=system]')];
    this.parallels = [...document.querySelectorAll('input[name=parallels]')];
    this.wire();
  }

  // Runs a command of the calculator with the boxes' texts and shows what
  // it leaves; its messages, if any, hand the focus back to `focus` after.
  run(command, focus = document.activeElement) {
    this.boxes.forEach((box, i) => this.calc.edit(i, box.value));
    const messages = command ? command() : [];
    this.refresh();
    this.changed();
    if (messages.length) this.showMessages(messages, focus);
  }

  refresh() {
    const s = this.calc.state();
    const zone = $('cmbZone');
    if (zone.options.length !== s.zoneList.length) zone.replaceChildren(...s.zoneList.map((t) => new Option(t)));
    this.systems[s.coordSystem].checked = true;
    this.parallels[s.oneParallel ? 0 : 1].checked = true;
    zone.selectedIndex = s.zone;
    $('cmbDatum').selectedIndex = s.datum;
    $('cmbUnit').selectedIndex = s.unit;
    this.boxes.forEach((box, i) => { if (box.value !== s.text[i]) box.value = s.text[i]; });
    for (let i = 0; i < 4; ++i) $(`lblUnit${i}`).textContent = s.lblUnit;
    $('lblParallel1').textContent = s.lblParallel1;
    $('lblTest').textContent = s.lblTest;
    $('lblScaleFactor').textContent = s.lblScaleFactor;
    $('lblMeridianRadius').textContent = s.lblMeridianRadius;
    $('lblNormalRadius').textContent = s.lblNormalRadius;
    for (const control of [$('cmbDatum'), $('cmbUnit'), ...this.parallels, ...this.boxes.slice(4)])
      control.disabled = !s.parametersEnabled;
    zone.hidden = !s.zoneListShown;
    zone.className = `row${s.zoneListRow}`;
    $('lblParallel2').hidden = $('txtParallel2').hidden = !s.northernRowShown;
    // A button that goes while it has the focus hands it to the one that comes.
    const focused = document.activeElement;
    $('cmdInit').hidden = s.initialized;
    $('cmdConvert0').hidden = $('cmdConvert1').hidden = !s.initialized;
    if (focused && focused.hidden) (s.initialized ? $('cmdConvert0') : $('cmdInit')).focus();
  }

  wire() {
    $('cmdInit').addEventListener('click', () => this.run(() => this.calc.initialize()));
    [0, 1].forEach((i) => $(`cmdConvert${i}`).addEventListener('click', () => {
      this.run(() => this.calc.convert(i));
      this.announceResults(i);
    }));
    this.systems.forEach((option, i) => option.addEventListener('change', () => this.run(() => this.calc.chooseSystem(i))));
    this.parallels.forEach((option, i) => option.addEventListener('change', () => this.run(() => this.calc.chooseParallels(i))));
    $('cmbZone').addEventListener('change', (e) => this.run(() => this.calc.chooseZone(e.target.selectedIndex)));
    $('cmbDatum').addEventListener('change', (e) => this.run(() => this.calc.chooseDatum(e.target.selectedIndex)));
    $('cmbUnit').addEventListener('change', (e) => this.run(() => this.calc.chooseUnit(e.target.selectedIndex)));
    this.boxes.forEach((box, i) => {
      if (PARAMETER_FIELDS.has(i)) box.addEventListener('input', () => this.run());
      if (ANGLE_FIELDS.has(i)) box.addEventListener('focusout', (e) => this.left(i, e));
      // Entering a box selects its whole text, so that typing replaces it;
      // the mouse press that brought the focus must not undo the selection.
      let entered = false;
      box.addEventListener('focus', () => { box.select(); entered = true; });
      box.addEventListener('mouseup', (e) => { if (entered) e.preventDefault(); entered = false; });
    });
  }

  // A box is left when the focus goes to another control of the page: a
  // message box, another window or another tab is no leaving.
  left(i, event) {
    const to = event.relatedTarget;
    if (to && to.closest('dialog')) return;
    if (!to && !document.hasFocus()) return;
    this.run(() => this.calc.leave(i), to);
  }

  // The results of a conversion, as a screen reader names them in the window.
  announceResults(index) {
    const s = this.calc.state();
    const parts = index === 0
      ? [`Northing ${s.text[2]} ${s.lblUnit}`, `Easting ${s.text[3]} ${s.lblUnit}`]
      : [`Latitude ${s.text[0]}`, `Longitude ${s.text[1]}`, `Iterations ${s.lblTest}`];
    parts.push(`Scale factor ${s.lblScaleFactor}`, `Radius of curvature in the meridian ${s.lblMeridianRadius}`,
      `Radius of curvature in the prime vertical ${s.lblNormalRadius}`);
    this.announce(parts.join('. '));
  }
}
