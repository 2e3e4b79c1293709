// Figures of the page, from one run (not a test: nothing here passes or fails on a time):
// the module's size, the time to interactive with and without it, the download against the
// physical limit, and a 65,535-packet file opened in the page against the native tevtool.
// node tests/web/benchmark.mjs PORT NATIVE_TEVTOOL
import { execFileSync } from 'node:child_process';
import { mkdtemp, readFile, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';
import { openPage, root, site, startBrowser } from './harness.mjs';

const [port, tevtool] = process.argv.slice(2);
process.env.TEV_WEB_PORT = port;
const kFramesPerPacket = 35; // 1 ms frames: two commands, 32 words, the completion
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];
const ms = (x) => `${x.toFixed(0)} ms`;

const wasm = await readFile(join(site, 'tevusb.wasm'));
const glue = await readFile(join(site, 'tevusb.mjs'));
console.log(`module: tevusb.wasm ${wasm.length} bytes (gzip ${gzipSync(wasm, { level: 9 }).length}), ` +
  `tevusb.mjs ${glue.length} bytes (gzip ${gzipSync(glue, { level: 9 }).length})`);

const session = await startBrowser();
try {
  // Time to interactive: navigation to the page's ready mark, against the same page whose module
  // is a stand-in that loads at once.
  const stub = 'export default async () => ({ FS: { mkdir() {}, chdir() {} } });';
  const timeReady = async (withModule) => {
    const page = await session.browser.newPage();
    await page.setRequestInterception(true);
    page.on('request', (r) => {
      if (!withModule && r.url().endsWith('/tevusb.mjs')) r.respond({ contentType: 'text/javascript', body: stub });
      else r.continue();
    });
    await page.setCacheEnabled(false);
    const start = Date.now();
    await page.goto(session.url, { waitUntil: 'domcontentloaded' });
    await page.waitForSelector('body[data-ready="true"]');
    const took = Date.now() - start;
    await page.close();
    return took;
  };
  const withModule = [], without = [];
  for (let i = 0; i < 5; ++i) {
    withModule.push(await timeReady(true));
    without.push(await timeReady(false));
  }
  console.log(`time to interactive (median of 5): ${ms(median(withModule))} with the module, ` +
    `${ms(median(without))} without: ${(median(withModule) / median(without)).toFixed(2)}x`);

  // The download of the four sample flights through the stand-in, against 35 frames of 1 ms a packet.
  const page = await openPage(session, {});
  await page.click('#connect');
  await page.waitForSelector('body[data-link="connected"]');
  await page.waitForFunction(() => !document.getElementById('read').disabled);
  const start = Date.now();
  await page.click('#read');
  await page.waitForSelector('body[data-download]', { timeout: 120000 });
  const took = Date.now() - start;
  const packets = Number((await page.$eval('#status', (e) => e.textContent)).match(/Packets Read: (\d+)/)[1]);
  const limit = (packets + 1) * kFramesPerPacket; // the erased packet that ends the memory is read too
  console.log(`download: ${packets} packets in ${ms(took)}; physical limit ${ms(limit)}: ${(took / limit).toFixed(2)}x`);

  // A file of 65,535 packets (the sample hop's flight, its packets repeated) opened and plotted.
  const hop = await readFile(join(root, 'samples/hop.tev'));
  const count = hop.readUInt16LE(24);
  const big = Buffer.alloc(26 + 64 * 65535 + 16);
  hop.copy(big, 0, 0, 26);
  big.writeUInt16LE(65535, 24);
  for (let i = 0; i < 65535; ++i) {
    const from = i === 0 ? 0 : 1 + ((i - 1) % (count - 1));
    hop.copy(big, 26 + 64 * i, 26 + 64 * from, 26 + 64 * (from + 1));
  }
  hop.copy(big, 26 + 64 * 65535, 26 + 64 * count, 26 + 64 * count + 16);
  const folder = await mkdtemp(join(tmpdir(), 'tev-bench-'));
  const file = join(folder, 'long.tev');
  await writeFile(file, big);
  const open = Date.now();
  await (await page.$('#open')).uploadFile(file);
  await page.waitForSelector('body[data-opened="long.tev"]', { timeout: 300000 });
  const inPage = Date.now() - open;
  const nativeStart = Date.now();
  execFileSync(tevtool, ['plot', file, '1', '-o', join(folder, 'long.svg')]);
  execFileSync(tevtool, ['stats', file, '1'], { stdio: 'ignore' });
  const native = Date.now() - nativeStart;
  console.log(`65,535-packet file, plot and figures: ${ms(inPage)} in the page, ${ms(native)} natively ` +
    `(tevtool plot + stats): ${(inPage / native).toFixed(2)}x`);
} finally {
  await session.close();
}
