// The page in Debian's headless Chromium, the altimeter being the simulated one behind the
// stand-in navigator.hid. Needs the site (web/build.sh) and the native tools' reference files
// (reference.sh) in build/web; tests/web/run.sh makes both.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtemp, readFile, readdir, mkdir, rm } from 'node:fs/promises';
import { existsSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { connectAndRead, openPage, root, saveDownloadsIn, startBrowser } from './harness.mjs';

const reference = join(root, 'build/web/reference');
const shots = join(root, 'build/web/screenshots');
const kLoadError = 'Could not load file. Make sure the file is valid and not locked.';
const kDropNotDataFile =
  'Only TEV USB data files (*.tev) can be opened. Drop a .tev file on the window to show its flight.';
const kConnectBattery =
  'You may now connect the battery to the device if you want a real time launch. Click OK when connected or ignore.';
const kOpenWhileBusy = 'The altimeter is busy. Open the file again once it has finished.';
const kIncompleteQuestion = 'Data set 3 may be incomplete: the download stopped before its end. Save it anyway?';

let session;
before(async () => { session = await startBrowser(); await mkdir(shots, { recursive: true }); });
after(async () => { await session.close(); });

async function waitForFiles(folder, names, timeoutMs = 10000) {
  const end = Date.now() + timeoutMs;
  for (;;) {
    const present = await readdir(folder);
    if (names.every((n) => present.includes(n)) && !present.some((n) => n.endsWith('.crdownload'))) return present;
    if (Date.now() > end) assert.fail(`downloads: ${present.join(', ')}; wanted ${names.join(', ')}`);
    await new Promise((r) => setTimeout(r, 100));
  }
}

// The members of a .zip, in its order, read by Debian's unzip (which checks every CRC first).
async function unzipped(zip) {
  execFileSync('unzip', ['-tq', zip]);
  const names = execFileSync('unzip', ['-Z1', zip], { encoding: 'utf8' }).split('\n').filter(Boolean);
  const folder = await mkdtemp(join(tmpdir(), 'tev-zip-'));
  execFileSync('unzip', ['-q', zip, '-d', folder]);
  const files = new Map();
  for (const name of names) files.set(name, await readFile(join(folder, name)));
  return files;
}

// Drops a file with these bytes on the page, as a person drags one from a file manager.
async function drop(page, name, bytes) {
  await page.evaluate((fileName, data) => {
    const transfer = new DataTransfer();
    transfer.items.add(new File([new Uint8Array(data)], fileName));
    document.getElementById('plot').dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true }));
  }, name, [...bytes]);
}

test('a download saves every flight byte for byte as tevtool download --sim does, and plots as tevtool plot', async () => {
  const downloads = await mkdtemp(join(tmpdir(), 'tev-web-'));
  const page = await openPage(session, { downloads });
  const leaveQuestions = [];
  const text = await connectAndRead(page, async () => {
    // While the flights come in, the sets already read wait, as in the window.
    const strip = await page.waitForFunction(() => {
      const sets = [...document.querySelectorAll('#strip button')];
      return sets.length > 0 && !document.body.dataset.download && sets.map((b) => b.disabled);
    });
    assert.ok((await strip.jsonValue()).every((disabled) => disabled), 'a set could be picked mid-download');
    // Leaving the page mid-download asks first; staying loses nothing (the flights are checked below).
    page.once('dialog', (d) => { leaveQuestions.push(d.type()); return d.dismiss(); });
    await page.evaluate(() => { location.reload(); });
  });
  assert.deepEqual(leaveQuestions, ['beforeunload']);
  assert.match(text, /Device Connected\.\nCurrent device firmware version: 1\.40\n/);
  assert.match(text, /Data read successfully\./);
  assert.ok(await page.$('#live svg polyline'), 'a live trace was drawn');
  assert.equal(await page.$eval('#link-icon', (e) => e.getAttribute('src')), 'img/connected.png');

  const expected = (await readdir(join(reference, 'flights'))).sort();
  assert.deepEqual(expected, ['flight-1.tev', 'flight-2.tev', 'flight-3.tev', 'flight-4.tev']);
  await page.click('#save-all');
  await waitForFiles(downloads, ['flights.zip']);
  const all = await unzipped(join(downloads, 'flights.zip'));
  assert.deepEqual([...all.keys()], expected);
  for (const name of expected) assert.deepEqual(all.get(name), await readFile(join(reference, 'flights', name)), name);

  // Pick the second set: the plot is tevtool plot's picture of the same file, to the byte.
  await (await page.$$('#strip button'))[1].click();
  await page.waitForSelector('#plot svg');
  await page.click('#save');
  await waitForFiles(downloads, ['flight-2.tev']);
  assert.deepEqual(await readFile(join(downloads, 'flight-2.tev')), all.get('flight-2.tev'));
  await page.click('#save-plot');
  await waitForFiles(downloads, ['flight-2-1.svg']);
  assert.equal(await readFile(join(downloads, 'flight-2-1.svg'), 'utf8'), await readFile(join(reference, 'flight-2.svg'), 'utf8'));
  await page.click('#save-csv');
  await waitForFiles(downloads, ['flight-2.csv']);
  assert.match(await readFile(join(downloads, 'flight-2.csv'), 'utf8'), /^[^\n]+\n[-0-9.]/);
  // Its report is tevtool's of the file Save writes; dated the day of the download, which is the
  // reference file's day too unless midnight fell between them.
  await page.click('#save-report');
  await waitForFiles(downloads, ['flight-2-report.html']);
  const undated = (html) => html.replace(/<td class="text">\d{4}-\d\d-\d\d<\/td>/g, '<td class="text">(date)</td>');
  const saved = undated(await readFile(join(downloads, 'flight-2-report.html'), 'utf8'));
  assert.match(saved, /<td class="text">\(date\)<\/td>/);
  assert.equal(saved, undated(await readFile(join(reference, 'flight-2-report.html'), 'utf8')));

  for (const scale of [1, 2]) {
    await page.setViewport({ width: scale === 1 ? 1280 : 640, height: 1000, deviceScaleFactor: scale });
    await page.screenshot({ path: join(shots, `page-flight-${scale * 100}.png`), fullPage: true });
  }
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('an unplug mid-download ends with a message, and the cut-off set is never offered as whole', async () => {
  const downloads = await mkdtemp(join(tmpdir(), 'tev-web-'));
  // 1500 input reports: well into the third flight (about 35 reports a packet).
  const page = await openPage(session, { standin: { unplugAfter: 1500 }, downloads });
  const text = await connectAndRead(page);
  assert.match(text, /The altimeter was unplugged\./);
  assert.match(text, /Failed to read data\./);
  assert.match(text, /Data set 3 may be incomplete: the download stopped before its end\./);
  assert.equal(await page.$eval('body', (e) => e.dataset.link), 'disconnected');
  const strip = await page.$$eval('#strip button', (b) => b.map((e) => e.textContent));
  assert.equal(strip.length, 3);
  assert.match(strip[2], /may be incomplete/);

  const questions = [];
  let answer = true;
  page.on('dialog', (d) => { questions.push(d.message()); return answer ? d.accept() : d.dismiss(); });
  await page.click('#save-all');
  await waitForFiles(downloads, ['flights.zip']);
  const all = await unzipped(join(downloads, 'flights.zip'));
  assert.deepEqual([...all.keys()], ['flight-1.tev', 'flight-2.tev', 'flight-3.partial.tev']);
  assert.deepEqual(questions, [kIncompleteQuestion]);
  for (const name of ['flight-1.tev', 'flight-2.tev'])
    assert.deepEqual(all.get(name), await readFile(join(reference, 'flights', name)), name);
  assert.ok(all.get('flight-3.partial.tev').length < (await readFile(join(reference, 'flights', 'flight-3.tev'))).length);
  // Kept back when the person says no.
  answer = false;
  await rm(join(downloads, 'flights.zip'));
  await page.click('#save-all');
  await waitForFiles(downloads, ['flights.zip']);
  assert.deepEqual([...(await unzipped(join(downloads, 'flights.zip'))).keys()], ['flight-1.tev', 'flight-2.tev']);
  assert.deepEqual(questions, [kIncompleteQuestion, kIncompleteQuestion]);
  await page.screenshot({ path: join(shots, 'page-unplugged.png'), fullPage: true });
  await page.close();
});

test('opening a .tev shows its plot and the figures of tevtool stats; bad files get the program\'s messages', async () => {
  const page = await openPage(session, {});
  const input = await page.$('#open');
  await input.uploadFile(join(root, 'samples/hop.tev'));
  await page.waitForSelector('body[data-opened="hop.tev"]');
  assert.equal(await page.$eval('#stats', (e) => e.textContent), await readFile(join(reference, 'hop-stats.txt'), 'utf8'));
  assert.ok(await page.$('#plot svg'));

  const cases = [
    { name: 'truncated.tev', bytes: (await readFile(join(root, 'samples/hop.tev'))).subarray(0, 100), message: kLoadError },
    { name: 'empty.tev', bytes: Buffer.alloc(0), message: kLoadError },
    { name: 'notes.txt', bytes: Buffer.from('not a flight'), message: kDropNotDataFile },
  ];
  for (const c of cases) {
    await drop(page, c.name, c.bytes);
    await page.waitForFunction((m) => document.getElementById('file-message').textContent === m, { timeout: 5000 }, c.message);
    // The flight on display stays.
    assert.ok(await page.$('#plot svg'), c.name);
  }
  await page.screenshot({ path: join(shots, 'page-bad-file.png'), fullPage: true });
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('the launch-day report saved equals tevtool report\'s, with and without a simulation; a bad simulation gets its message', async () => {
  const page = await openPage(session, { standin: null });
  assert.equal(await page.$eval('#report', (e) => e.disabled), true, 'no report before a flight is on display');
  await (await page.$('#open')).uploadFile(join(root, 'samples/sport.tev'));
  await page.waitForSelector('body[data-opened="sport.tev"]');
  // The page's report is tevtool's of the same file (its date from the file's time, as the
  // browser gives it), and of the same simulation: saved, to the byte; shown, the same page.
  const cases = [
    { sim: null, reference: 'sport-report.html' },
    { sim: join(root, 'samples/sport-sim.csv'), reference: 'sport-sim-report.html' },
    { feet: true, reference: 'sport-sim-ft-report.html' },
  ];
  for (const c of cases) {
    const downloads = await mkdtemp(join(tmpdir(), 'tev-web-'));
    await saveDownloadsIn(page, downloads);
    if (c.sim) {
      await (await page.$('#sim')).uploadFile(c.sim);
      await page.waitForFunction(() => document.getElementById('sim-name').textContent === 'sport-sim.csv');
    }
    if (c.feet) await page.click('#feet');
    const expected = await readFile(join(reference, c.reference));
    await page.click('#save-report');
    await waitForFiles(downloads, ['sport-report.html']);
    assert.deepEqual(await readFile(join(downloads, 'sport-report.html')), expected, c.reference);
    await page.click('#report');
    await page.waitForSelector('body[data-report="shown"]');
    assert.equal(await page.$eval('#report-view', (e) => e.srcdoc), expected.toString('utf8'), c.reference);
  }
  const frame = page.frames().find((f) => f !== page.mainFrame());
  await frame.waitForSelector('table');
  assert.ok((await frame.$$('svg')).length >= 2, 'the flight\'s plot and the overlay are drawn');
  await page.$eval('#report-view', (e) => e.scrollIntoView());
  await page.screenshot({ path: join(shots, 'page-report.png'), fullPage: true });

  // A simulation it cannot read: tevtool's line, without the program's name; no report on show.
  await (await page.$('#sim')).uploadFile(join(reference, 'bad-sim.csv'));
  await page.waitForFunction(() => document.getElementById('sim-name').textContent === 'bad-sim.csv');
  await page.click('#report');
  const message = (await readFile(join(reference, 'bad-sim.err'), 'utf8')).replace(/^tevtool: /, '').trim();
  assert.equal(message, "bad-sim.csv line 3: the Altitude field is not a number: 'twelve'");
  await page.waitForFunction((m) => document.getElementById('report-message').textContent === m, { timeout: 5000 }, message);
  assert.equal(await page.$eval('#report-view', (e) => e.hidden), true);
  await page.screenshot({ path: join(shots, 'page-report-bad-simulation.png'), fullPage: true });
  // Without it, the report is made again.
  await page.click('#sim-remove');
  await page.click('#report');
  await page.waitForSelector('body[data-report="shown"]');
  assert.equal(await page.$eval('#report-message', (e) => e.textContent), '');
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('settings written are read back from the device, with the dialog\'s warnings and refusals; readings', async () => {
  const page = await openPage(session, {});
  const warnings = [];
  page.on('dialog', (d) => { warnings.push(d.message()); d.accept(); });
  await page.click('#connect');
  await page.waitForSelector('body[data-link="connected"]');
  const idle = () => page.waitForFunction(() => !document.getElementById('settings-read').disabled);
  const fill = (id, value) => page.$eval(id, (e, v) => { e.value = v; }, value);
  await idle();
  await page.select('#line-a-mode', '1');
  await fill('#line-a-time', '3');
  await page.select('#line-b-mode', '3');
  await fill('#line-b-alt', '150');
  await fill('#inhibit', '30');
  await page.click('#settings-write');
  await idle();
  assert.deepEqual(warnings, ['The inhibit setting is very large. Please make sure that it is the correct setting.']);
  for (const id of ['#line-a-time', '#line-b-alt', '#inhibit']) await fill(id, '');
  await page.click('#settings-read');
  await idle();
  const values = await page.$$eval('#settings select, #settings input', (all) => all.map((e) => e.value));
  assert.deepEqual([values[0], values[1], values[3], values[5], values[6]], ['1', '3', '3', '150', '30']);

  // A time the device cannot hold is refused, and nothing is written.
  await fill('#line-a-time', '7000');
  await page.click('#settings-write');
  await idle();
  await page.click('#battery');
  await idle();
  await page.click('#pressure');
  await idle();
  const status = await page.$eval('#device-status', (e) => e.textContent);
  assert.match(status, /Settings written successfully\.\n/);
  assert.match(status, /\nLine A Time \[s\] is too large: the device holds at most 6553 s\. Nothing was written\.\nCurrent Voltage/);
  assert.match(status, /Current Voltage: 9 Volts\n/);
  assert.match(status, /Current ADC: 836\n/);
  await page.screenshot({ path: join(shots, 'page-settings.png'), fullPage: true });
  await page.close();
});

test('Emulate Launch replays the flight on display; Stop resets the device mid-way, and it runs again to the end', async () => {
  // The device asks for a reading every 5 ms, twenty times the pace of a flight.
  const page = await openPage(session, { standin: { emulationPeriod: 5 } });
  const messages = [];
  page.on('dialog', (d) => { messages.push(d.message()); d.accept(); });
  const status = () => page.$eval('#device-status', (e) => e.textContent);
  const enabled = (id) => page.$eval(id, (e) => !e.disabled);
  // Its last line shown and the panel idle again.
  const ended = () => page.waitForFunction(() => !document.getElementById('emulate').disabled &&
    /(Done|Failed)\.\n$/.test(document.getElementById('device-status').textContent), { timeout: 60000 });
  const resets = () => page.evaluate(() => window.tevStandinControl.resets());
  // The status lines: the time lines count whole seconds from 0, the others are returned.
  const events = async () => {
    const lines = (await status()).trimEnd().split('\n');
    assert.equal(lines[0], 'Emulating...');
    const seconds = lines.filter((l) => l.startsWith('Launch Time (s): ')).map((l) => l.slice(17));
    assert.deepEqual(seconds, seconds.map((_, i) => String(i)));
    assert.ok(seconds.length >= 3, lines.join('|'));
    return lines.slice(1).filter((l) => !l.startsWith('Launch Time (s): '));
  };
  await page.click('#connect');
  await page.waitForSelector('body[data-link="connected"]');
  await page.waitForFunction(() => !document.getElementById('pressure').disabled);
  assert.equal(await enabled('#emulate'), false, 'no flight on display');
  await (await page.$('#open')).uploadFile(join(root, 'samples/hop.tev'));
  await page.waitForSelector('body[data-opened="hop.tev"]');
  assert.equal(await enabled('#emulate'), true);
  assert.equal(await enabled('#emulate-stop'), false);

  // The page answers while the module waits on the device: Stop is taken mid-way.
  await page.click('#emulate');
  await page.waitForFunction(() => /Launch Time \(s\): 2\n/.test(document.getElementById('device-status').textContent));
  assert.equal(await enabled('#pressure'), false);
  // Other sets, units, files: the plot answers, a file waits until the altimeter is free.
  const plot = await page.$eval('#plot', (e) => e.innerHTML);
  await page.click('#feet');
  await page.waitForFunction((before) => document.getElementById('plot').innerHTML !== before, {}, plot);
  await drop(page, 'park.tev', await readFile(join(root, 'samples/park.tev')));
  await page.waitForFunction(() => document.getElementById('file-message').textContent !== '');
  assert.equal(await page.$eval('#file-message', (e) => e.textContent), kOpenWhileBusy);
  const resetsBefore = await resets();
  await page.click('#emulate-stop');
  await ended();
  assert.deepEqual((await events()).slice(-2), ['User ended emulation.', 'Done.']);
  assert.doesNotMatch(await status(), /end of launch/);
  assert.equal(await resets(), resetsBefore + 1, 'the device was reset');
  assert.equal(await enabled('#emulate-stop'), false);

  // Free again: the file opens, and its flight is the one replayed.
  await drop(page, 'park.tev', await readFile(join(root, 'samples/park.tev')));
  await page.waitForSelector('body[data-opened="park.tev"]');
  assert.equal(await page.$eval('#file-message', (e) => e.textContent), '');
  await page.$eval('#device-status', (e) => { e.textContent = ''; });
  await page.click('#emulate');
  await ended();
  assert.deepEqual(await events(),
    ['Launch detected.', 'Apogee detected.', 'Line A fired.', 'Line B fired.', 'Device indicates end of launch.', 'Done.']);
  // park.tev's 451 readings, not hop.tev's 238.
  assert.match(await status(), /\nLaunch Time \(s\): 45\nDevice indicates end of launch\.\n/);
  assert.deepEqual(messages, [kConnectBattery, kConnectBattery]);
  await page.screenshot({ path: join(shots, 'page-emulation.png'), fullPage: true });

  // Unplugged mid-way: it fails at once, and the panel shows no altimeter.
  await page.$eval('#device-status', (e) => { e.textContent = ''; });
  await page.click('#emulate');
  await page.waitForFunction(() => /Launch Time \(s\): 1\n/.test(document.getElementById('device-status').textContent));
  await page.evaluate(() => window.tevStandinControl.unplug());
  await page.waitForFunction(() => /Failed\.\n$/.test(document.getElementById('device-status').textContent));
  await page.waitForSelector('body[data-link="disconnected"]');
  assert.equal(await enabled('#emulate'), false);
  assert.equal(await enabled('#emulate-stop'), false);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('without WebHID the page says which browsers have it, and still opens files', async () => {
  const page = await openPage(session, { standin: null });
  const warning = await page.$eval('#no-webhid', (e) => (e.hidden ? '' : e.textContent));
  assert.match(warning, /WebHID is missing.*Chrome, Edge or Opera/);
  assert.equal(await page.$eval('#connect', (e) => e.disabled), true);
  await (await page.$('#open')).uploadFile(join(root, 'samples/sport.tev'));
  await page.waitForSelector('#plot svg');
  await page.screenshot({ path: join(shots, 'page-no-webhid.png'), fullPage: true });
  await page.close();
});

test('once loaded, the page works offline', async () => {
  const page = await openPage(session, { standin: null });
  await page.evaluate(async () => { await navigator.serviceWorker.ready; });
  // Loaded once more under its service worker, which keeps what it fetches.
  await page.reload({ waitUntil: 'load' });
  await page.waitForSelector('body[data-ready="true"]');
  await page.setOfflineMode(true);
  await page.reload({ waitUntil: 'load' });
  await page.waitForSelector('body[data-ready="true"]', { timeout: 10000 });
  await (await page.$('#open')).uploadFile(join(root, 'samples/park.tev'));
  await page.waitForSelector('body[data-opened="park.tev"]');
  assert.ok(await page.$('#plot svg'));
  await page.setOfflineMode(false);
  await page.close();
});

test('the site holds what a web server needs', () => {
  for (const f of ['index.html', 'sw.js', 'tevusb.mjs', 'tevusb.wasm', 'js/app.js', 'img/connected.png'])
    assert.ok(existsSync(join(root, 'build/web/site', f)), f);
});
