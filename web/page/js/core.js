// The WebAssembly module of the program's core, one call at a time: a call that waits on the
// device (connect, read data, settings, readings) must end before the next begins.
import createTevModule from '../tevusb.mjs';

export async function loadCore(link, handlers) {
  const module = await createTevModule({
    tevHid: link,
    onDownloadProgress: handlers.onDownloadProgress,
    onLiveTrace: handlers.onLiveTrace,
    onWarn: handlers.onWarn,
  });
  return new Core(module);
}

const typesOf = (args) => args.map((a) => (typeof a === 'string' ? 'string' : 'number'));

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

  text(name, args = []) { return this.m.ccall(name, 'string', typesOf(args), args); }

  number(name, args = []) { return this.m.ccall(name, 'number', typesOf(args), args); }

  // A file of the module's, made from bytes the person gave, under its own name.
  putFile(name, bytes) {
    const path = name.replace(/[\/\\]/g, '_') || 'flight.tev';
    this.m.FS.writeFile(path, bytes);
    return path;
  }

  readFile(path) { return this.m.FS.readFile(path); }

  // `tevtool stats` with `args`; { status, output, errors }.
  stats(args) {
    const status = this.m.ccall('tev_stats', 'number', ['string'], [args.join('\n')]);
    return { status, output: this.text('tev_tool_output'), errors: this.text('tev_tool_errors') };
  }

  // `tevtool report` of the data file at `path` into the module's file `out`; `written`: the file's
  // time in milliseconds since 1970 (NaN when unknown); `simPath`: a simulation CSV or ''.
  // { ok, problem }: the problem is tevtool's message.
  report(path, written, simPath, feet, out) {
    const ok = this.m.ccall('tev_report', 'number', ['string', 'number', 'string', 'number', 'string'],
      [path, written, simPath, feet ? 1 : 0, out]) === 1;
    return { ok, problem: this.text('tev_report_problem') };
  }

  plot(path, set, width, height, feet = false) {
    const svg = this.m.ccall('tev_plot', 'string', ['string', 'number', 'number', 'number', 'number'],
      [path, set, feet ? 1 : 0, width, height]);
    return { svg, problem: this.text('tev_plot_problem') };
  }
}
