// A .zip of files stored as they are (no compression: flight files are small, and every unzip
// reads stored members), so several flights leave the page as one download.

const kCrcTable = (() => {
  const table = new Uint32Array(256);
  for (let n = 0; n < 256; ++n) {
    let c = n;
    for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    table[n] = c >>> 0;
  }
  return table;
})();

function crc32(bytes) {
  let crc = 0xffffffff;
  for (const byte of bytes) crc = kCrcTable[(crc ^ byte) & 0xff] ^ (crc >>> 8);
  return (crc ^ 0xffffffff) >>> 0;
}

// MS-DOS date and time, as zip keeps them (local time, two-second steps, from 1980).
function dosDateTime(date) {
  const year = Math.min(Math.max(date.getFullYear(), 1980), 2107);
  return {
    time: (date.getHours() << 11) | (date.getMinutes() << 5) | (date.getSeconds() >> 1),
    day: ((year - 1980) << 9) | ((date.getMonth() + 1) << 5) | date.getDate(),
  };
}

const kUtf8Names = 0x0800; // general purpose flag: the names are UTF-8
const kMaxField = 0xffffffff; // sizes and offsets beyond this would need Zip64

// files: [{ name, bytes: Uint8Array }], in the order they are to be listed. Returns the archive.
export function zipStored(files, date = new Date()) {
  const encoder = new TextEncoder();
  const { time, day } = dosDateTime(date);
  const entries = files.map(({ name, bytes }) => ({ name: encoder.encode(name), bytes, crc: crc32(bytes) }));
  const localSize = entries.reduce((sum, e) => sum + 30 + e.name.length + e.bytes.length, 0);
  const centralSize = entries.reduce((sum, e) => sum + 46 + e.name.length, 0);
  if (entries.length > 0xffff || localSize + centralSize > kMaxField) {
    throw new RangeError('Too many or too large files for one .zip.');
  }
  const out = new Uint8Array(localSize + centralSize + 22);
  const view = new DataView(out.buffer);
  let at = 0;
  const u16 = (v) => { view.setUint16(at, v, true); at += 2; };
  const u32 = (v) => { view.setUint32(at, v, true); at += 4; };
  const put = (bytes) => { out.set(bytes, at); at += bytes.length; };

  // What the local and the central header share, from "version needed" to the name's length.
  const common = (e) => {
    u16(10); // version needed: 1.0, stored members
    u16(kUtf8Names);
    u16(0); // stored
    u16(time);
    u16(day);
    u32(e.crc);
    u32(e.bytes.length);
    u32(e.bytes.length);
    u16(e.name.length);
  };
  for (const e of entries) {
    e.offset = at;
    u32(0x04034b50);
    common(e);
    u16(0); // extra field length
    put(e.name);
    put(e.bytes);
  }
  const centralStart = at;
  for (const e of entries) {
    u32(0x02014b50);
    u16(20); // made by: MS-DOS attributes, version 2.0
    common(e);
    u16(0); // extra field length
    u16(0); // comment length
    u16(0); // disk number
    u16(0); // internal attributes
    u32(0); // external attributes
    u32(e.offset);
    put(e.name);
  }
  const centralEnd = at;
  u32(0x06054b50);
  u16(0); // this disk
  u16(0); // disk of the central directory
  u16(entries.length);
  u16(entries.length);
  u32(centralEnd - centralStart);
  u32(centralStart);
  u16(0); // comment length
  return out;
}
