// The page as a user meets it, in Debian's chromium: by keyboard and mouse,
// controls found by their names, the result downloaded and compared with
// tarvane-convert's, the page reloaded with no network, and axe-core's
// WCAG 2.1 A and AA rules on every state.
import { test, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawn, spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { chromium } from 'playwright-core';

const site = process.env.TARVANE_SITE;
const convert = process.env.TARVANE_CONVERT;
const axe = readFileSync(join(import.meta.dirname, 'node_modules/axe-core/axe.min.js'), 'utf8');
const work = mkdtempSync(join(tmpdir(), 'tarvane-page-'));

// A plain static server, as any web host is: the one scripts/web runs.
const port = 20000 + (process.pid % 20000);
const server = spawn('python3', ['-m', 'http.server', String(port), '--bind', '127.0.0.1', '--directory', site]);
const address = `http://127.0.0.1:${port}/`;
for (let tries = 0; !(await fetch(address).then((r) => r.ok, () => false)); ++tries) {
  assert.ok(tries < 100, 'the server did not start');
  await new Promise((done) => setTimeout(done, 50));
}

const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
    '--disable-sync', '--no-first-run'],
});
const context = await browser.newContext({ acceptDownloads: true, locale: 'en-US' });
const page = await context.newPage();
after(async () => { await browser.close(); server.kill(); });

const field = (name) => page.getByRole('textbox', { name, exact: true });
const button = (name) => page.getByRole('button', { name, exact: true });
const announced = () => page.locator('#announce');

async function accessible(state) {
  await page.addScriptTag({ content: axe });
  const result = await page.evaluate(() => window.axe.run(document, {
    runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa'] } }));
  const found = result.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
  assert.deepEqual(found, [], `axe on ${state}`);
}

async function type(name, text) {
  await field(name).fill(text);
  await page.keyboard.press('Tab');
}

test('a worked example, both ways, on State Plane 1983', async () => {
  await page.goto(address);
  await page.waitForSelector('body[data-ready]');
  await accessible('the first start');
  await page.getByRole('radio', { name: 'US State Plane 1983' }).check();
  await page.getByRole('combobox', { name: 'State Plane zone' }).selectOption('4204 Texas South Central');
  await button('INITIALIZE').click();
  await type('Latitude', '29 30 15.5 N');
  await type('Longitude', '95 15 W');
  assert.equal(await field('Latitude').inputValue(), '29°30\'15.500"N');
  await button('Convert >').click();
  assert.equal(await field('Northing').inputValue(), '4191016.26');
  assert.equal(await field('Easting').inputValue(), '963497.75');
  await assert.doesNotReject(announced().filter({ hasText: 'Scale factor 0.999867597' }).waitFor());
  await type('Latitude', '0');
  await button('< Convert').click();
  assert.equal(await field('Latitude').inputValue(), '29°30\'15.500"N');
  assert.equal(await field('Longitude').inputValue(), '095°15\'00.000"W');
  await assert.doesNotReject(announced().filter({ hasText: /Iterations \d+\. Scale factor 0\.999867597/ }).waitFor());
  await accessible('a conversion');
});

test('a faulty angle gives the message and the rewrite, and the focus comes back', async () => {
  await type('Latitude', '91');
  const dialog = page.getByRole('alertdialog', { name: 'TARVANE' });
  await assert.doesNotReject(dialog.waitFor());
  assert.equal(await dialog.locator('p').textContent(), 'LATITUDE FORMAT ERROR. Max 90 deg allowed');
  assert.equal(await page.evaluate(() => document.activeElement.textContent), 'OK');
  await accessible('a message');
  await page.keyboard.press('Enter');
  assert.equal(await dialog.isVisible(), false);
  assert.equal(await field('Latitude').inputValue(), '90°00\'00.000"N');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'txtLon');
});

test('State Plane 1927 converts in US survey feet', async () => {
  await page.getByRole('radio', { name: 'US State Plane 1927' }).check();
  assert.equal(await page.locator('#lblUnit0').textContent(), 'USFeet');
  await button('INITIALIZE').click();
  await type('Latitude', '29 30 15.5 N');
  await button('Convert >').click();
  assert.equal(await field('Northing').inputValue(), '626669.69');
  assert.equal(await field('Easting').inputValue(), '3192599.28');
  await assert.doesNotReject(announced().filter({ hasText: 'Northing 626669.69 USFeet' }).waitFor());
  await accessible('State Plane 1927');
});

test('a grid of the EPSG registry, found by a search', async () => {
  await page.getByRole('searchbox', { name: 'Search by code or by any words of the name:' }).fill('nad83 texas south central');
  await page.getByRole('listbox', { name: 'Lambert conic grids of the EPSG registry' })
    .selectOption({ label: '32140  NAD83 / Texas South Central  (metre)' });
  await button('Use this grid').click();
  assert.equal(await page.getByRole('radio', { name: 'User Defined' }).isChecked(), true);
  assert.equal(await field('Cenral Meridian').inputValue(), '099°00\'00.000"W');
  assert.equal(await field('False Easting').inputValue(), '600000');
  assert.equal(await button('Convert >').isVisible(), true);
  await accessible('the EPSG search');
});

test('a file converted in the worker downloads as tarvane-convert writes it', async () => {
  const input = join(work, 'points.csv');
  // Over a MiB, so that the worker reads it in more than one slice.
  writeFileSync(input, `id,lat,lon,height\n0,x,1,2\n${'1,29.5,-95.25,30.5\n2,29 30 15.5 N,95 15 W,28.0\n'.repeat(25000)}`);
  await page.locator('#fileInput').setInputFiles(input);
  await button('Convert file').click();
  const link = page.getByRole('link', { name: 'Download the result' });
  await link.waitFor();
  const [download] = await Promise.all([page.waitForEvent('download'), link.click()]);
  const native = spawnSync(convert, ['--epsg', '32140', input], { maxBuffer: 1 << 28 });
  assert.deepEqual(readFileSync(await download.path()), native.stdout);
  const listed = await page.locator('#fileMessages li').allTextContents();
  assert.deepEqual(listed, native.stderr.toString().split('\n').filter((l) => l));
  await accessible('a converted file');
});

test('the page reloads and converts with the network off', async () => {
  await page.evaluate(() => navigator.serviceWorker.ready);
  server.kill();
  await context.setOffline(true);
  await page.reload();
  await page.waitForSelector('body[data-ready]');
  // The settings were kept: the grid's fields are back, the position with them.
  assert.equal(await field('False Easting').inputValue(), '600000');
  await button('Convert >').click();
  assert.equal(await field('Northing').inputValue(), '4191016.26');
});
