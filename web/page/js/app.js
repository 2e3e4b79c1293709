// The page: Capture Data over WebHID, the flight on display with its figures, and the device's
// settings and readings, all through the program's own core in WebAssembly.
import { HidLink } from './hid-link.js';
import { loadCore } from './core.js';
import * as T from './texts.js';
import { offerFile } from './offer-file.js';
import { zipStored } from './zip.js';

const $ = (id) => document.getElementById(id);
const kLiveWidth = 640;
const kLiveHeight = 240;
const kPlotWidth = 1200;
const kPlotHeight = 800;
const kAllFlightsName = 'flights.zip';

const hid = 'hid' in navigator ? navigator.hid : null;
const link = hid ? new HidLink(hid) : null;
let core = null;
let busy = false;
let connected = false;
let sets = 0;
let incompleteSet = -1;
let chosen = -1;
let shown = null; // { path, set, svg } of the flight on display
let openedPath = null; // the file whose sets the strip shows; null for a download
let closeWhenIdle = false; // an unplug during a call: the device is closed once the call has ended
let openedWritten = NaN; // when the opened file was last written, as the browser says (ms since 1970)
let downloadEnded = NaN; // when the last download ended: the time of the sets it gives
let simulation = null; // { name, path } of the simulation CSV given for the report
let emulating = false;

function status(line) {
  const box = $('status');
  box.textContent += `${line}\n`;
  box.scrollTop = box.scrollHeight;
}

function deviceStatus(line) {
  const box = $('device-status');
  box.textContent += `${line}\n`;
  box.scrollTop = box.scrollHeight;
}

function deviceLines(text) {
  for (const line of text.split(/\r?\n/)) if (line) deviceStatus(line);
}

function showLink() {
  $('link-icon').src = connected ? 'img/connected.png' : 'img/disconnected.png';
  $('link-text').textContent = connected ? 'Connected' : 'Not connected';
  document.body.dataset.link = connected ? 'connected' : 'disconnected';
  const idle = connected && !busy;
  for (const id of ['read', 'settings-read', 'settings-write', 'calibrate', 'battery', 'pressure', 'fire']) $(id).disabled = !idle;
  // As in the window: a flight on display to replay.
  $('emulate').disabled = !(idle && shown && shown.svg);
  if (!emulating) $('emulate-stop').disabled = true;
  $('connect').disabled = busy || !hid;
  const picked = chosen >= 0 && !busy;
  $('save').disabled = !picked;
  $('save-csv').disabled = !picked;
  $('save-all').disabled = busy || sets === 0;
  $('save-plot').disabled = !shown || !shown.svg;
  $('report').disabled = busy || !shown;
  $('save-report').disabled = busy || !shown;
  $('sim-remove').disabled = !simulation;
  for (const button of $('strip').children) button.disabled = busy;
}

async function run(work) {
  if (busy || !core) return;
  busy = true;
  showLink();
  try {
    await work();
  } finally {
    busy = false;
    if (closeWhenIdle) {
      closeWhenIdle = false;
      core.number('tev_disconnect');
    }
    showLink();
  }
}

function lines(text) {
  for (const line of text.split('\r\n')) if (line) status(line);
}

async function connect() {
  status(T.kAttemptingToConnect);
  await link.refresh();
  connected = (await core.call('tev_connect')) === 1;
  lines(core.text('tev_text'));
  if (connected) document.body.dataset.deviceVersion = '1.40';
}

function showStrip() {
  const strip = $('strip');
  strip.textContent = '';
  for (let set = 0; set < sets; ++set) {
    const button = document.createElement('button');
    button.type = 'button';
    const packets = core.number('tev_set_packets', [set]);
    button.textContent = `Data set ${set + 1} (${packets} packets)${set === incompleteSet ? ' — may be incomplete' : ''}`;
    if (set === incompleteSet) button.classList.add('incomplete');
    button.setAttribute('aria-pressed', String(set === chosen));
    // As in the window, the sets wait while the altimeter is busy.
    button.disabled = busy;
    button.addEventListener('click', () => pick(set));
    strip.appendChild(button);
  }
}

function setFileName(set, extension) {
  return `flight-${set + 1}${set === incompleteSet ? '.partial' : ''}${extension}`;
}

function pick(set) {
  if (busy) return;
  chosen = set;
  showStrip();
  if (openedPath) {
    showFlight(openedPath, set);
  } else {
    // The set as its own data file, as Save writes it: there it is set 0.
    const path = setFileName(set, '.tev');
    if (core.number('tev_save_set', [set, path]) !== 1) {
      window.alert(T.kSaveError);
      return;
    }
    showFlight(path, 0);
  }
  showLink();
}

async function readData() {
  status(T.kReadingData);
  openedPath = null;
  sets = 0;
  chosen = -1;
  incompleteSet = -1;
  showStrip();
  $('progress').value = 0;
  const result = await core.call('tev_read_data', [kLiveWidth, kLiveHeight]);
  sets = core.number('tev_set_count');
  incompleteSet = core.number('tev_incomplete_set');
  status(T.packetsReadLine(core.number('tev_packet_count')));
  if (result === 0) {
    status(T.kDataRead);
  } else {
    status(T.kDataReadFailed);
    const incomplete = core.text('tev_incomplete_line');
    if (incomplete) lines(incomplete);
  }
  if (result === 0) $('progress').value = $('progress').max;
  downloadEnded = Date.now();
  document.body.dataset.download = result === 0 ? 'done' : 'failed';
  showStrip();
}

function onDownloadProgress(packet, live) {
  if (live) return;
  $('progress').value = packet + 1;
  status(T.packetReadLine(packet));
  sets = core.number('tev_set_count');
  showStrip();
}

function onLiveTrace(svg) {
  $('live').innerHTML = svg;
}

// One set's data file, named as Save names it; null when the person keeps a cut-off set back.
function setFile(set) {
  if (set === incompleteSet && !window.confirm(T.saveIncompleteQuestion(set))) return null;
  const name = setFileName(set, '.tev');
  if (core.number('tev_save_set', [set, name]) !== 1) {
    window.alert(T.kSaveError);
    return null;
  }
  return { name, bytes: core.readFile(name) };
}

function saveSet(set) {
  const file = setFile(set);
  if (file) offerFile(file.name, file.bytes, 'application/octet-stream');
}

// Every set in one .zip, each as Save would write it.
function saveAll() {
  const files = [];
  for (let set = 0; set < sets; ++set) {
    const file = setFile(set);
    if (file) files.push(file);
  }
  if (files.length) offerFile(kAllFlightsName, zipStored(files), 'application/zip');
}

function saveCsv(set) {
  const path = setFileName(set, '.csv');
  if (core.number('tev_save_csv', [set, path]) !== 1) {
    window.alert(T.kCsvError);
    return;
  }
  offerFile(setFileName(set, '.csv'), core.readFile(path), 'text/csv');
}

function showFlight(path, set) {
  hideReport();
  const feet = $('feet').checked;
  const { svg, problem } = core.plot(path, set, kPlotWidth, kPlotHeight, feet);
  shown = { path, set, svg };
  $('plot').innerHTML = svg || `<p class="hint">${problem}</p>`;
  const stats = core.stats([path, String(set + 1), '--units', feet ? 'ft' : 'm']);
  $('stats').textContent = stats.status === 0 ? stats.output : stats.errors;
}

async function openFile(file) {
  const message = $('file-message');
  message.textContent = '';
  if (!/\.tev$/i.test(file.name)) {
    message.textContent = T.kDropNotDataFile;
    return;
  }
  const bytes = new Uint8Array(await file.arrayBuffer());
  // Opened now, it would replace the flights under a running download.
  if (busy) {
    message.textContent = T.kOpenWhileBusy;
    return;
  }
  const path = core.putFile(file.name, bytes);
  if (core.number('tev_open_file', [path]) !== 1) {
    message.textContent = T.kLoadError;
    return;
  }
  sets = core.number('tev_set_count');
  openedPath = path;
  openedWritten = file.lastModified;
  incompleteSet = -1;
  chosen = 0;
  showStrip();
  showFlight(path, 0);
  showLink();
  document.body.dataset.opened = file.name;
}

// The report of tevtool report for the file on display (an opened file with all its sets, or the
// downloaded set picked), written into the module's files; null after showing why not.
function makeReport() {
  const message = $('report-message');
  message.textContent = '';
  const [path, written] = openedPath ? [openedPath, openedWritten] : [shown.path, downloadEnded];
  const out = `${path.replace(/\.tev$/i, '')}-report.html`;
  const { ok, problem } = core.report(path, written, simulation ? simulation.path : '', $('feet').checked, out);
  if (!ok) {
    // The page is not tevtool: its messages without the program's name before them.
    message.textContent = problem.replace(/^tevtool: /gm, '').trim();
    hideReport();
    return null;
  }
  return { name: out, bytes: core.readFile(out) };
}

// A report no longer of what is on display is not left showing.
function hideReport() {
  const view = $('report-view');
  view.hidden = true;
  view.removeAttribute('srcdoc');
  delete document.body.dataset.report;
}

function showReport() {
  const report = makeReport();
  if (!report) return;
  const view = $('report-view');
  view.srcdoc = new TextDecoder().decode(report.bytes);
  view.hidden = false;
  document.body.dataset.report = 'shown';
}

function saveReport() {
  const report = makeReport();
  if (report) offerFile(report.name, report.bytes, 'text/html');
}

async function chooseSimulation(file) {
  $('report-message').textContent = '';
  simulation = file ? { name: file.name, path: core.putFile(file.name, new Uint8Array(await file.arrayBuffer())) } : null;
  $('sim-name').textContent = simulation ? simulation.name : 'No simulation';
  hideReport();
  showLink();
}

const kEntryFields = ['line-a-mode', 'line-a-time', 'line-a-alt', 'line-b-mode', 'line-b-time', 'line-b-alt', 'inhibit'];

// The settings as the dialog's entries show them, one a line.
function showEntries() {
  core.text('tev_settings_entries').split('\n').forEach((value, i) => { $(kEntryFields[i]).value = value; });
}

function entries() { return kEntryFields.map((id) => $(id).value).join('\n'); }

function wire() {
  $('connect').addEventListener('click', () => run(async () => {
    try {
      const granted = await hid.requestDevice({ filters: [{ vendorId: T.kVendorId, productId: T.kApplicationProductId }] });
      for (const device of granted) link.add(device);
    } catch {
      // The person closed the chooser: look for what was allowed before.
    }
    await connect();
  }));
  $('read').addEventListener('click', () => run(readData));
  $('save').addEventListener('click', () => saveSet(chosen));
  $('save-csv').addEventListener('click', () => saveCsv(chosen));
  $('save-all').addEventListener('click', saveAll);
  $('open').addEventListener('change', (e) => { if (e.target.files[0]) openFile(e.target.files[0]); e.target.value = ''; });
  $('save-plot').addEventListener('click', () => {
    const name = shown.path.slice(shown.path.lastIndexOf('/') + 1).replace(/\.tev$/i, '');
    offerFile(`${name}-${shown.set + 1}.svg`, shown.svg, 'image/svg+xml');
  });
  $('feet').addEventListener('change', () => { if (shown) showFlight(shown.path, shown.set); });
  $('sim').addEventListener('change', (e) => { if (e.target.files[0]) chooseSimulation(e.target.files[0]); e.target.value = ''; });
  $('sim-remove').addEventListener('click', () => chooseSimulation(null));
  $('report').addEventListener('click', showReport);
  $('save-report').addEventListener('click', saveReport);
  const plot = $('plot');
  document.addEventListener('dragover', (e) => { e.preventDefault(); plot.classList.add('drop'); });
  document.addEventListener('dragleave', () => plot.classList.remove('drop'));
  document.addEventListener('drop', (e) => {
    e.preventDefault();
    plot.classList.remove('drop');
    const file = e.dataTransfer.files[0];
    if (file) openFile(file);
  });
  const deviceWork = (work) => run(async () => {
    await work();
    showEntries();
  });
  $('settings-read').addEventListener('click', () => deviceWork(() => core.call('tev_settings_read')));
  $('settings-write').addEventListener('click', () => deviceWork(() => core.call('tev_settings_write', [entries()])));
  $('calibrate').addEventListener('click', () => deviceWork(() => core.call('tev_calibrate', [$('ground-alt').value, entries()])));
  $('pressure').addEventListener('click', () => deviceWork(() => core.call('tev_control', [0])));
  $('battery').addEventListener('click', () => deviceWork(() => core.call('tev_control', [1])));
  $('fire').addEventListener('click', () => deviceWork(() => core.call('tev_control', [2])));
  $('emulate').addEventListener('click', () => {
    if (busy || !shown) return;
    window.alert(T.kConnectBattery); // its answer does not matter, as in the window
    emulate(shown);
  });
  // The same flag closing the dialog sets: the device is reset at its next request for a reading.
  $('emulate-stop').addEventListener('click', () => {
    $('emulate-stop').disabled = true;
    if (emulating) core.number('tev_emulation_stop');
  });
}

// The flight on display replayed to the device; its lines come as the device reports.
function emulate(flight) {
  return run(async () => {
    emulating = true;
    $('emulate-stop').disabled = false;
    try {
      await core.call('tev_emulate', [flight.path, flight.set]);
    } finally {
      emulating = false;
    }
  });
}

async function start() {
  wire();
  if (!hid) {
    $('no-webhid').textContent = T.kNoWebHid;
    $('no-webhid').hidden = false;
  } else {
    link.onchange = () => {
      if (connected && !link.plugged()) {
        connected = false;
        status(T.kUnplugged);
        // The module is waiting inside the call: its reads now fail, and it closes afterwards.
        if (busy) closeWhenIdle = true;
        else core.number('tev_disconnect');
      }
      showLink();
    };
  }
  // Leaving mid-download loses the flights read so far; mid-emulation it leaves the altimeter emulating.
  window.addEventListener('beforeunload', (event) => {
    if (!busy) return;
    event.preventDefault();
    event.returnValue = true; // browsers before the standard way
  });
  if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js').catch(() => {});
  core = await loadCore(link, {
    onDownloadProgress, onLiveTrace, onWarn: (id) => window.alert(T.kWarnings[id]), onDeviceStatus: deviceLines,
  });
  // The device link's diagnostics go to the console only when asked for (page?log): a long file
  // would otherwise write a line a packet.
  core.number('tev_debug_log', [new URLSearchParams(location.search).has('log') ? 1 : 0]);
  showEntries();
  showLink();
  document.body.dataset.ready = 'true';
}

start();
