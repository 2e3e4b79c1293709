// A stand-in for navigator.hid whose one device is the simulated altimeter, compiled to
// WebAssembly with the page's module: for tests and for trying the page without an altimeter.
// Loaded as a plain script before the page's own; window.tevStandin may set
// { unplugAfter: N } (unplug after N input reports), { plugged: false } and
// { emulationPeriod: MS } (the launch emulation asks for a reading every MS, not every 100 ms).
(() => {
  const options = Object.assign({ unplugAfter: -1, plugged: true, emulationPeriod: 0 }, window.tevStandin || {});
  const kFrameMs = 1; // a full-speed interrupt endpoint: one input report a 1 ms frame at most
  const hidListeners = { connect: [], disconnect: [] };
  let sim = null;
  let simReady = null;
  let plugged = options.plugged;
  let granted = false;

  function loadSim() {
    if (!simReady) {
      simReady = import(new URL('tevusb.mjs', document.baseURI).href)
        .then((m) => m.default())
        .then((module) => {
          sim = module;
          sim._sim_create(options.unplugAfter);
          sim._sim_set_emulation_period(options.emulationPeriod);
        });
    }
    return simReady;
  }

  class StandinDevice extends EventTarget {
    constructor() {
      super();
      this.vendorId = 0x1209;
      this.productId = 0x0002;
      this.productName = 'TEV USB altimeter (simulated)';
      this.collections = [];
      this.opened = false;
      this.oninputreport = null;
      this.queue = []; // { due, bytes } | { due, unplug }
      this.nextFrame = 0;
      this.pumping = false;
      this.channel = new MessageChannel();
      this.channel.port1.onmessage = () => this.pump();
    }

    async open() {
      await loadSim();
      if (!plugged) throw new DOMException('The device was disconnected.', 'NotFoundError');
      this.opened = true;
    }

    async close() { this.opened = false; }

    async sendReport(reportId, data) {
      await loadSim();
      if (!plugged || !this.opened) throw new DOMException('The device was disconnected.', 'NotFoundError');
      const bytes = new Uint8Array(data.byteLength + 1);
      bytes[0] = reportId;
      bytes.set(new Uint8Array(data.buffer || data, data.byteOffset || 0, data.byteLength), 1);
      const ptr = sim._malloc(bytes.length);
      sim.HEAPU8.set(bytes, ptr);
      const accepted = sim._sim_output(ptr, bytes.length) === 1;
      sim._free(ptr);
      this.schedule();
      // A report the device does not take stays pending, as on a real endpoint.
      if (!accepted) return new Promise(() => {});
    }

    // The reaction's input reports, each its delay after the one before, on the 1 ms frame grid.
    schedule() {
      let due = performance.now();
      for (let i = 0, n = sim._sim_input_count(); i < n; ++i) {
        due += sim._sim_input_delay(i);
        if (sim._sim_input_unplug(i)) {
          this.queue.push({ due, unplug: true });
          continue;
        }
        const length = sim._sim_input_length(i);
        const ptr = sim._sim_input_bytes(i);
        this.queue.push({ due, bytes: sim.HEAPU8.slice(ptr, ptr + length) });
      }
      if (!this.pumping) {
        this.pumping = true;
        this.channel.port2.postMessage(0);
      }
    }

    pump() {
      const now = performance.now();
      while (this.queue.length && this.queue[0].due <= now && this.nextFrame <= now) {
        const item = this.queue.shift();
        if (item.unplug) {
          this.queue.length = 0;
          unplug();
          break;
        }
        this.nextFrame = Math.max(now, this.nextFrame) + kFrameMs;
        if (!this.opened || !plugged) continue;
        const event = new Event('inputreport');
        event.device = this;
        event.reportId = item.bytes[0];
        event.data = new DataView(item.bytes.buffer, 1);
        this.dispatchEvent(event);
        if (this.oninputreport) this.oninputreport(event);
      }
      if (this.queue.length) this.channel.port2.postMessage(0);
      else this.pumping = false;
    }
  }

  const device = new StandinDevice();

  function fire(type) {
    const event = new Event(type);
    event.device = device;
    for (const listener of hidListeners[type]) listener(event);
  }

  function unplug() {
    if (!plugged) return;
    plugged = false;
    device.opened = false;
    fire('disconnect');
  }

  function plug() {
    if (plugged) return;
    plugged = true;
    fire('connect');
  }

  const standin = {
    async requestDevice({ filters = [] } = {}) {
      await loadSim();
      const match = filters.some((f) => (f.vendorId === undefined || f.vendorId === device.vendorId) &&
        (f.productId === undefined || f.productId === device.productId));
      if (!plugged || !match) return [];
      granted = true;
      return [device];
    },
    async getDevices() { return plugged && granted ? [device] : []; },
    addEventListener(type, listener) { if (hidListeners[type]) hidListeners[type].push(listener); },
    removeEventListener(type, listener) {
      if (hidListeners[type]) hidListeners[type] = hidListeners[type].filter((l) => l !== listener);
    },
  };
  Object.defineProperty(Navigator.prototype, 'hid', { get: () => standin, configurable: true });
  window.tevStandinControl = { plug, unplug, resets: () => (sim ? sim._sim_resets() : 0) };
})();
