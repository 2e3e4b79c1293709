// The JavaScript half of the module's WebHidBus: the devices the person allowed, each with an id
// of its own (a new one every time it is plugged), their input reports queued as the system's
// driver queues them, and transfers that give up at their time-out.
const kQueuedReports = 512; // as many unread reports as the program asks the system to keep

export class HidLink {
  constructor(hid) {
    this.hid = hid;
    this.devices = new Map(); // id -> HIDDevice
    this.idOf = new Map(); // HIDDevice -> id, while plugged
    this.queues = new Map(); // id -> [Uint8Array], report id byte first
    this.waiters = new Map(); // id -> resolve of a pending read
    this.opens = new Map(); // id -> open handles
    this.nextId = 1;
    this.onchange = () => {};
    hid.addEventListener('connect', (e) => { this.add(e.device); this.onchange(); });
    hid.addEventListener('disconnect', (e) => { this.remove(e.device); this.onchange(); });
  }

  add(device) {
    if (this.idOf.has(device)) return this.idOf.get(device);
    const id = this.nextId++;
    this.devices.set(id, device);
    this.idOf.set(device, id);
    this.queues.set(id, []);
    this.opens.set(id, 0);
    if (!device.tevListening) {
      device.tevListening = true;
      device.addEventListener('inputreport', (e) => this.push(device, e));
    }
    return id;
  }

  remove(device) {
    const id = this.idOf.get(device);
    if (id === undefined) return;
    this.idOf.delete(device);
    this.devices.delete(id);
    this.queues.delete(id);
    this.opens.delete(id);
    this.wake(id, null);
  }

  async refresh() {
    for (const device of await this.hid.getDevices()) this.add(device);
  }

  plugged() { return this.devices.size > 0; }

  push(device, event) {
    const id = this.idOf.get(device);
    if (id === undefined || !this.opens.get(id)) return;
    const data = new Uint8Array(event.data.buffer, event.data.byteOffset, event.data.byteLength);
    const report = new Uint8Array(data.length + 1);
    report[0] = event.reportId;
    report.set(data, 1);
    if (this.waiters.has(id)) { this.wake(id, report); return; }
    const queue = this.queues.get(id);
    queue.push(report);
    if (queue.length > kQueuedReports) queue.shift();
  }

  wake(id, report) {
    const resolve = this.waiters.get(id);
    if (!resolve) return;
    this.waiters.delete(id);
    resolve(report);
  }

  // The module's side.
  list() { return [...this.devices.keys()].map(String); }

  attributes(id) {
    const device = this.devices.get(id);
    return device ? { vendorId: device.vendorId, productId: device.productId } : null;
  }

  async open(id) {
    const device = this.devices.get(id);
    if (!device) return false;
    try {
      if (!device.opened) await device.open();
    } catch {
      return false;
    }
    if (!this.devices.has(id)) return false; // unplugged while opening
    this.opens.set(id, this.opens.get(id) + 1);
    return true;
  }

  close(id) {
    const device = this.devices.get(id);
    if (!device) return;
    const left = Math.max(0, this.opens.get(id) - 1);
    this.opens.set(id, left);
    if (left === 0) {
      this.queues.set(id, []);
      if (device.opened) device.close().catch(() => {});
    }
  }

  async write(id, bytes, timeoutMs) {
    const device = this.devices.get(id);
    if (!device || !this.opens.get(id)) return false;
    let timer;
    const timeout = new Promise((resolve) => { timer = setTimeout(() => resolve(false), timeoutMs); });
    const sent = device.sendReport(bytes[0], bytes.subarray(1)).then(() => true, () => false);
    const ok = await Promise.race([sent, timeout]);
    clearTimeout(timer);
    return ok;
  }

  read(id, timeoutMs) {
    const queue = this.queues.get(id);
    if (!queue) return Promise.resolve(null); // unplugged: fails at once, as the system's read does
    if (queue.length) return Promise.resolve(queue.shift());
    return new Promise((resolve) => {
      const timer = setTimeout(() => this.wake(id, null), timeoutMs);
      this.waiters.set(id, (report) => { clearTimeout(timer); resolve(report); });
    });
  }

  discard(id) {
    const queue = this.queues.get(id);
    if (queue) queue.length = 0;
  }
}
