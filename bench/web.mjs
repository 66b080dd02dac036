// The web page in Debian's chromium: how soon it is usable after it is
// opened, how many bytes it loads (gzip), and the worker's throughput on a
// file against the native tarvane-convert's on the same file.
// Usage: node bench/web.mjs SITE_DIR CONVERT FILE
// Prints Markdown rows for bench/RESULTS.md.
import { createRequire } from 'node:module';
import { spawnSync } from 'node:child_process';
import { readFileSync, statSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { extname, join } from 'node:path';
import { gzipSync } from 'node:zlib';
import { tmpdir } from 'node:os';

const require = createRequire(new URL('../tests/web/package.json', import.meta.url));
const { chromium } = require('playwright-core');
const [site, convert, file] = process.argv.slice(2);

const types = { '.html': 'text/html', '.js': 'text/javascript', '.mjs': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.svg': 'image/svg+xml', '.webmanifest': 'application/manifest+json' };
const server = createServer((request, response) => {
  const path = new URL(request.url, 'http://x').pathname.replace(/\.\./g, '');
  try {
    const body = readFileSync(join(site, path.endsWith('/') ? `${path}index.html` : path));
    response.writeHead(200, { 'content-type': types[extname(path) || '.html'] ?? 'text/plain' }).end(body);
  } catch {
    response.writeHead(404).end();
  }
});
await new Promise((done) => server.listen(0, '127.0.0.1', done));
const address = `http://127.0.0.1:${server.address().port}/`;
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox', '--disable-gpu',
  '--disable-background-networking', '--disable-component-update', '--disable-sync', '--no-first-run'] });

// Opening: a fresh profile each time (nothing cached), five times; the median.
const times = [];
const loaded = new Set();
for (let round = 0; round < 5; ++round) {
  const context = await browser.newContext({ serviceWorkers: 'block' });
  const page = await context.newPage();
  page.on('request', (r) => loaded.add(new URL(r.url()).pathname));
  await page.goto(address);
  await page.waitForSelector('body[data-ready]');
  await page.waitForFunction(() => !document.getElementById('txtSearch').disabled);  // the grids too
  times.push(await page.evaluate(() => performance.getEntriesByName('tarvane-ready')[0].startTime));
  await context.close();
}
times.sort((a, b) => a - b);
let gzip = 0, raw = 0;
for (const path of loaded) {
  const body = readFileSync(join(site, path.endsWith('/') ? `${path}index.html` : path));
  raw += body.length;
  gzip += gzipSync(body, { level: 9 }).length;
}
console.log(`| opened from localhost, fresh profile: usable after (median of 5) | ${times[2].toFixed(0)} ms (fastest ${times[0].toFixed(0)}, slowest ${times[4].toFixed(0)}) |`);
console.log(`| everything it loads, ${loaded.size} files | ${(gzip / 1024).toFixed(0)} KiB gzip (${(raw / 1024).toFixed(0)} KiB as they are) |`);

// The file: the page's worker against tarvane-convert, on zone 4204 of 1983.
const context = await browser.newContext({ acceptDownloads: true });
const page = await context.newPage();
await page.goto(address);
await page.waitForSelector('body[data-ready]');
await page.getByRole('radio', { name: 'US State Plane 1983' }).check();
await page.getByRole('combobox', { name: 'State Plane zone' }).selectOption('4204 Texas South Central');
await page.getByRole('button', { name: 'INITIALIZE' }).click();
const settings = join(tmpdir(), 'tarvane-bench.ini');  // the page's own settings, for tarvane-convert
await page.locator('#fileInput').setInputFiles(file);
let worker = Infinity;
for (let round = 0; round < 3; ++round) {
  const start = Date.now();
  await page.getByRole('button', { name: 'Convert file' }).click();
  await page.getByRole('link', { name: 'Download the result' }).waitFor();
  worker = Math.min(worker, (Date.now() - start) / 1000);
}
const [download] = await Promise.all([page.waitForEvent('download'), page.getByRole('button', { name: 'Save settings file' }).click()]);
writeFileSync(settings, readFileSync(await download.path()));
await browser.close();
server.close();

const native = (cores) => {
  let best = Infinity;
  for (let round = 0; round < 3; ++round) {
    const start = Date.now();
    spawnSync('taskset', ['-c', cores, convert, '--settings', settings, file], { stdio: ['ignore', 'ignore', 'ignore'] });
    best = Math.min(best, (Date.now() - start) / 1000);
  }
  return best;
};
const one = native('0'), two = native('0,1');
const lines = readFileSync(file, 'latin1').split('\n').length - 1;
const row = (name, s) => console.log(`| ${name} | ${s.toFixed(2)} s, ${Math.round(lines / s)} points/s | ${(one / s).toFixed(2)} |`);
console.log(`\n${lines} points, ${(statSync(file).size / 1e6).toFixed(1)} MB, forward (fastest of 3, wall time; the page's from the click to the download link):\n`);
console.log('| converter | time, throughput | against native on one core |');
console.log('|---|---|---|');
row('the page\'s worker (WebAssembly, one thread)', worker);
row('tarvane-convert, one core', one);
row('tarvane-convert, two cores', two);
