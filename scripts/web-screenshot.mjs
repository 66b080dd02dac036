// Takes the README's picture of the page: State Plane 1983, zone 4204,
// one position converted, in Debian's chromium.
// Usage: node scripts/web-screenshot.mjs SITE_URL OUT.png [WIDTH]
import { createRequire } from 'node:module';

const require = createRequire(new URL('../tests/web/package.json', import.meta.url));
const { chromium } = require('playwright-core');
const [url, out, width = '1100'] = process.argv.slice(2);
const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
    '--disable-sync', '--no-first-run'],
});
const page = await browser.newPage({ viewport: { width: Number(width), height: 900 }, locale: 'en-US' });
await page.goto(url);
await page.waitForSelector('body[data-ready]');
await page.getByRole('radio', { name: 'US State Plane 1983' }).check();
await page.getByRole('combobox', { name: 'State Plane zone' }).selectOption('4204 Texas South Central');
await page.getByRole('button', { name: 'INITIALIZE' }).click();
await page.getByRole('textbox', { name: 'Latitude', exact: true }).fill('29 30 15.5 N');
await page.keyboard.press('Tab');
await page.getByRole('textbox', { name: 'Longitude', exact: true }).fill('98 15 30.25 W');
await page.keyboard.press('Tab');
await page.getByRole('button', { name: 'Convert >' }).click();
await page.getByRole('searchbox').fill('texas');
await page.locator('.calc').screenshot({ path: out });
await page.screenshot({ path: out.replace(/\.png$/, '-full.png'), fullPage: true });
await browser.close();
console.log(`wrote ${out}`);
