// The WebAssembly module against the native programs: the calculator on a
// few thousand random typed inputs, and files converted as tarvane-convert
// converts them. Both sides must give the same texts, messages and bytes.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { createRequire } from 'node:module';
import { mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

const env = (name) => process.env[name] ?? assert.fail(`${name} is not set`);
const module = await createRequire(import.meta.url)(env('TARVANE_NODE_MODULE'))();
assert.equal(module.loadGrids(readFileSync(env('TARVANE_GRIDS'), 'utf8')), '');

// --- The calculator -------------------------------------------------------------

// A small generator of its own (a linear congruence), so that every run plays the same scripts.
const random = (state) => () => (state = (Math.imul(state, 1103515245) + 12345) >>> 0) / 4294967296;

// What people type into the fields: angles in every shape, numbers with
// either mark, units, faults, letters beyond ASCII.
function typer(r) {
  const pick = (list) => list[Math.floor(r() * list.length)];
  const int = (n) => String(Math.floor(r() * n));
  const mark = () => pick(['.', ',']);
  const shapes = [
    () => `${int(95)} ${int(65)} ${int(62)}${mark()}${int(1000)} ${pick(['N', 'S', 'E', 'W', 'V', 'Ø', 'ø', 'x', ''])}`,
    () => `${pick(['', '-', '+'])}${int(200)}${pick(['°', ' ', ':', ''])}${int(70)}'${int(70)}${mark()}${int(10)}"${pick(['N', 'W', ''])}`,
    () => `${pick(['', '-'])}${int(100)}${mark()}${int(100000)}`,
    () => `${int(5000000)}${mark()}${int(100)}${pick(['', ' m', ' ft', 'e3', 'x'])}`,
    () => pick(['', ' ', '1.00', '0,9996', '0', '-1', 'abc', 'n/a', '90', '91', '180', '181', '1e400', '°', 'é€']),
    () => Array.from({ length: 1 + Math.floor(r() * 12) }, () => pick([...'0123456789 .,-+°\'"NSEWVØøé€x\t'])).join(''),
  ];
  return () => pick(shapes)();
}

// Settings file bytes: thirteen lines, indices now and then out of range,
// texts as typed, in the file's code page.
function settingsHex(r, type) {
  const index = (n) => String(Math.floor(r() * (n + 2)) - 1);
  const lines = [index(3), index(8), index(3), index(2), type(), type(), index(3), type(), type(), type(), type(), type(), type()];
  const text = lines.join('\r\n') + '\r\n';
  const latin = Uint8Array.from(text, (c) => (c.charCodeAt(0) < 256 ? c.charCodeAt(0) : 0x3f));
  return (r() < 0.2 ? Buffer.from(text, 'utf8') : Buffer.from(latin)).toString('hex');
}

function script(number, length) {
  const r = random(number);
  const type = typer(r);
  const lines = [`sep ${r() < 0.7 ? '.' : ','}`, r() < 0.5 ? 'start' : `start ${settingsHex(r, type)}`];
  const choices = ['system', 'zone', 'datum', 'unit', 'parallels'];
  for (let k = 0; k < length; ++k) {
    const roll = r();
    const field = Math.floor(r() * 10);
    if (roll < 0.35) lines.push(`edit ${field} ${type()}`);
    else if (roll < 0.55) lines.push(`leave ${field}`);
    else if (roll < 0.7) lines.push(`${choices[Math.floor(r() * 5)]} ${Math.floor(r() * 9) - 1}`);
    else if (roll < 0.8) lines.push('init');
    else if (roll < 0.97) lines.push(`convert ${Math.floor(r() * 2)}`);
    else lines.push('save');
  }
  return lines.join('\n') + '\n';
}

// The script on the module, printed as the native player prints it.
function play(text) {
  const out = [];
  let calc = null;
  const say = (messages) => messages.forEach((m) => out.push(`! ${m}`));
  for (const line of text.split('\n').filter((l) => l)) {
    out.push(`> ${line}`);
    const [command, arg = ''] = line.split(' ');
    if (command === 'sep') { calc = new module.Calculator(line[4]); continue; }
    if (command === 'start') say(calc.start(Buffer.from(arg, 'hex')));
    else if (command === 'edit') say(calc.edit(Number(arg), line.slice(7)));
    else if (command === 'save') out.push(`# ${Buffer.from(calc.settingsBytes()).toString('hex')}`);
    else if (command === 'init') say(calc.initialize());
    else say(calc[{ leave: 'leave', convert: 'convert' }[command] ?? `choose${command[0].toUpperCase()}${command.slice(1)}`](Number(arg)));
    const s = calc.state();
    const b = (v) => (v ? 1 : 0);
    out.push(`= ${s.coordSystem} ${s.zone} ${s.datum} ${s.unit} ${b(s.oneParallel)} ${b(s.initialized)} ` +
      `${b(s.parametersEnabled)} ${b(s.zoneListShown)} ${s.zoneListRow} ${b(s.northernRowShown)} [${s.unitTag}]` +
      `[${s.lblUnit}][${s.lblParallel1}][${s.lblTest}][${s.lblScaleFactor}][${s.lblMeridianRadius}][${s.lblNormalRadius}]`);
    s.text.forEach((t) => out.push(`  ${t}`));
  }
  return out.join('\n') + '\n';
}

test('the calculator gives the native texts and messages for random typing', () => {
  let commands = 0, messages = 0, results = 0;
  for (let n = 1; n <= 24; ++n) {
    const text = script(n, 150);
    const native = execFileSync(env('TARVANE_CALC_SCRIPT'), { input: text, encoding: 'utf8', maxBuffer: 1 << 26 });
    const wasm = play(text);
    const a = native.split('\n'), b = wasm.split('\n');
    const at = a.findIndex((line, i) => line !== b[i]);
    assert.equal(at, -1, `script ${n}, line ${at}:\n native: ${a[at]}\n module: ${b[at]}\n after: ${a.slice(Math.max(0, at - 12), at).join('\n')}`);
    assert.equal(a.length, b.length);
    commands += a.filter((l) => l.startsWith('> ')).length;
    messages += a.filter((l) => l.startsWith('! ')).length;
    results += a.filter((l) => /^= .*\]\[\d+[.,]\d{9}\]/.test(l)).length;
  }
  // The scripts reach what they are for: messages and conversions alike.
  assert.ok(commands > 3000 && messages > 300 && results > 300, `${commands} commands, ${messages} messages, ${results} results`);
});

// --- Files ----------------------------------------------------------------------

const work = mkdtempSync(join(tmpdir(), 'tarvane-web-'));
const zone4204 = (() => {
  const calc = new module.Calculator('.');
  calc.start(new Uint8Array());
  calc.chooseSystem(1);
  calc.chooseZone(5);
  return calc.settingsBytes();
})();
const settingsFile = join(work, 'TARVANE.ini');
writeFileSync(settingsFile, zone4204);

function convertInModule(input, options) {
  const bytes = Buffer.from(input);
  let at = 0;
  const out = [];
  let said = '';
  const all = { inverse: false, csv: false, dms: false, precision: -1, header: false, columns: '', pointFormat: '',
    geojson: false, height: '', epsg: 0, settings: zone4204, ...options };
  const status = module.convertFile(all, (address, size) => {
    const n = Math.min(size, bytes.length - at, 7);  // small reads: records cross them
    module.HEAPU8.set(bytes.subarray(at, at + n), address);
    at += n;
    return n;
  }, (address, size) => out.push(Buffer.from(module.HEAPU8.slice(address, address + size))), (text) => { said += text; });
  return { status, stdout: Buffer.concat(out).toString('latin1'), stderr: said };
}

// Each row: tarvane-convert's options (after the projection), the input, and
// the same choice for the module.
const rows = [
  ['a plain list, forward', ['--csv'], '29.5 -95.25\n29 30 15.5 N, 95 15 W\n# note\n\n91 0\n29.5 95.25\n', { csv: true }],
  ['a table with heights', [], 'id,lat,lon,height,code\n1,29.5,-95.25,30.5,CP1\n2,29 30 15.5 N,95 15 W,28.0,"CP2, rebar"\n3,x,1,2,bad\n', {}],
  ['a point file, inverse, in DMS', ['--inverse', '--format', 'pnezd', '--dms', '--precision', '2'],
    '1001,4190539.326,963513.049,12.40,IRON ROD\n1002,4191016.263,963497.750,11.85,"FENCE, NE CORNER"\n',
    { inverse: true, pointFormat: 'pnezd', dms: true, precision: 2 }],
  ['GeoJSON with a height and columns', ['--geojson', '--height', '12.5', '--columns', 'lat=2,lon=3'],
    'a;29,5;-95,25\nb;29,6;-95,1\n', { geojson: true, height: '12.5', columns: 'lat=2,lon=3' }],
  ['a grid of the registry on its own ellipsoid', ['--epsg', '27572'], '46.8 2.3\n48.85 2.35\n10 10\n', { epsg: 27572 }],
];

test('files convert to the bytes and messages of tarvane-convert', () => {
  const convert = join(env('TARVANE_CALC_SCRIPT'), '../../../cli/tarvane-convert');
  for (const [what, args, input, options] of rows) {
    const projection = options.epsg ? [] : ['--settings', settingsFile];
    const native = spawnSync(convert, [...projection, ...args], { input, encoding: 'latin1' });
    const wasm = convertInModule(input, options);
    assert.equal(wasm.stdout, native.stdout, what);
    assert.equal(wasm.stderr, native.stderr, what);
    assert.equal(wasm.status, native.status, what);
  }
});
