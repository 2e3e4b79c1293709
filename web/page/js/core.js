// The WebAssembly module of the program's core, one call at a time: a call that waits on the
// device (connect, read data, settings, readings) must end before the next begins.
import createTevModule from '../tevusb.mjs';

export async function loadCore(link, handlers) {
  const module = await createTevModule({
    tevHid: link,
    onDownloadProgress: handlers.onDownloadProgress,
    onLiveTrace: handlers.onLiveTrace,
  });
  return new Core(module);
}

class Core {
  constructor(module) {
    this.m = module;
    this.m.FS.mkdir('/page');
  }

  async call(name, args = [], types = null) {
    const argTypes = types || args.map((a) => (typeof a === 'string' ? 'string' : 'number'));
    return this.m.ccall(name, 'number', argTypes, args, { async: true });
  }

  text(name, args = []) {
    return this.m.ccall(name, 'string', args.map((a) => (typeof a === 'string' ? 'string' : 'number')), args);
  }

  number(name, args = []) {
    return this.m.ccall(name, 'number', args.map(() => 'number'), args);
  }

  // A file of the module's, made from bytes the person gave, under its own name.
  putFile(name, bytes) {
    const path = `/page/${name.replace(/[\/\\]/g, '_') || 'flight.tev'}`;
    this.m.FS.writeFile(path, bytes);
    return path;
  }

  readFile(path) { return this.m.FS.readFile(path); }

  // The tevtool command `args`; { status, output, errors }.
  tool(args) {
    const status = this.m.ccall('tev_tool', 'number', ['string'], [args.join('\n')]);
    return { status, output: this.text('tev_tool_output'), errors: this.text('tev_tool_errors') };
  }

  plot(path, set, width, height, feet = false) {
    const svg = this.m.ccall('tev_plot', 'string', ['string', 'number', 'number', 'number', 'number'],
      [path, set, feet ? 1 : 0, width, height]);
    return { svg, problem: this.text('tev_plot_problem') };
  }
}
