// Converts one file with tarvane-convert's pipeline, off the page's thread.
// The file is read in slices as the pipeline asks for it, so that its size
// costs no memory; the output goes back to the page in chunks.
import TarvaneModule from './tarvane.mjs';

const SLICE = 1 << 20;  // bytes read from the file at a time, and sent back at a time

const ready = (async () => {
  const module = await TarvaneModule();
  const grids = await fetch('grids.tsv').then((r) => (r.ok ? r.text() : ''));
  module.loadGrids(grids);
  return module;
})();

onmessage = async ({ data: { file, options } }) => {
  const module = await ready;
  const reader = new FileReaderSync();
  let read = 0;
  let buffer = new Uint8Array();
  let used = 0;
  let output = [];
  let outputBytes = 0;
  let messages = [];

  const send = (done) => {
    const chunk = new Uint8Array(outputBytes);
    let at = 0;
    for (const part of output) { chunk.set(part, at); at += part.length; }
    output = [];
    outputBytes = 0;
    postMessage({ output: chunk, read, messages, ...done }, [chunk.buffer]);
    messages = [];
  };
  const input = (address, size) => {
    if (used === buffer.length) {
      if (read >= file.size) return 0;
      const end = Math.min(file.size, read + SLICE);
      buffer = new Uint8Array(reader.readAsArrayBuffer(file.slice(read, end)));
      used = 0;
      read = end;
    }
    const n = Math.min(size, buffer.length - used);
    module.HEAPU8.set(buffer.subarray(used, used + n), address);
    used += n;
    return n;
  };
  const write = (address, size) => {
    output.push(module.HEAPU8.slice(address, address + size));
    outputBytes += size;
    if (outputBytes >= SLICE) send({});
  };
  const say = (text) => messages.push(...text.split('\n').filter((line) => line));
  const status = module.convertFile(options, input, write, say);
  send({ status });
};
