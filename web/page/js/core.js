// The WebAssembly module of the program's core, one waiting call at a time: a call that waits on
// the device (connect, read data, settings, readings, the emulation) must end before the next
// begins. Calls that do not wait may be made meanwhile (a Stop, a set picked, the plot redrawn).
import createTevModule from '../tevusb.mjs';

export async function loadCore(link, handlers) {
  const module = await createTevModule({
    tevHid: link,
    onDownloadProgress: handlers.onDownloadProgress,
    onLiveTrace: handlers.onLiveTrace,
    onWarn: handlers.onWarn,
    onDeviceStatus: handlers.onDeviceStatus,
  });
  return new Core(module);
}

const typesOf = (args) => args.map((a) => (typeof a === 'string' ? 'string' : 'number'));
const utf8 = new TextEncoder();

class Core {
  constructor(module) {
    this.m = module;
    this.m.FS.mkdir('/page');
    this.m.FS.chdir('/page'); // files are named as the person named them, without a folder
  }

  // A call that may wait on the device; resolves to its number.
  async call(name, args = []) {
    return this.m.ccall(name, 'number', typesOf(args), args, { async: true });
  }

  text(name, args = []) { return this.m.UTF8ToString(this.direct(name, args)); }

  number(name, args = []) { return this.direct(name, args); }

  // A call that does not wait, made directly: this Emscripten's ccall takes a call made while
  // another waits on the device for part of that wait, and then neither ever returns.
  direct(name, args) {
    const m = this.m;
    const stack = m.stackSave();
    try {
      return m[`_${name}`](...args.map((a) => (typeof a === 'string' ? this.onStack(a) : a)));
    } finally {
      m.stackRestore(stack);
    }
  }

  onStack(text) {
    const bytes = utf8.encode(text);
    const at = this.m.stackAlloc(bytes.length + 1);
    this.m.HEAPU8.set(bytes, at);
    this.m.HEAPU8[at + bytes.length] = 0;
    return at;
  }

  // A file of the module's, made from bytes the person gave, under its own name.
  putFile(name, bytes) {
    const path = name.replace(/[\/\\]/g, '_') || 'flight.tev';
    this.m.FS.writeFile(path, bytes);
    return path;
  }

  readFile(path) { return this.m.FS.readFile(path); }

  // `tevtool stats` with `args`; { status, output, errors }.
  stats(args) {
    const status = this.number('tev_stats', [args.join('\n')]);
    return { status, output: this.text('tev_tool_output'), errors: this.text('tev_tool_errors') };
  }

  // `tevtool report` of the data file at `path` into the module's file `out`; `written`: the file's
  // time in milliseconds since 1970 (NaN when unknown); `simPath`: a simulation CSV or ''.
  // { ok, problem }: the problem is tevtool's message.
  report(path, written, simPath, feet, out) {
    const ok = this.number('tev_report', [path, written, simPath, feet ? 1 : 0, out]) === 1;
    return { ok, problem: this.text('tev_report_problem') };
  }

  plot(path, set, width, height, feet = false) {
    const svg = this.text('tev_plot', [path, set, feet ? 1 : 0, width, height]);
    return { svg, problem: this.text('tev_plot_problem') };
  }
}
