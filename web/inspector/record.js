// Reading a recorded frame: the packed doubles the recorder writes
// (packed_record.h), by the format it gives with them, so that no field's
// place is written down twice.
const fieldsAt = (fields) => {
  const at = {};
  let size = 0;
  for (const [name, length] of fields) {
    at[name] = [size, length];
    size += length;
  }
  return { at, size };
};

// The format's JSON: the header's and a call's fields, and the calls by number.
export function readFormat(json) {
  const { header, call, calls } = JSON.parse(json);
  return {
    header: fieldsAt(header),
    call: fieldsAt(call),
    calls: calls.map(([name, args, words]) => ({ name, args: args.split(' ').filter(Boolean), words })),
  };
}

// The frame from its doubles (a Float64Array): its calls in order, each with
// its name and arguments, the stack's depth and the modelview matrix after
// it, and a shape's place in the painter's order (-1 for other calls), its
// colour and its box on the canvas (null where nothing of it is there).
export function readRecord(format, doubles) {
  const numbers = (at, [offset, length]) => {
    const values = new Array(length);
    for (let k = 0; k < length; k++) values[k] = doubles[at + offset + k];
    return values;
  };
  const header = (name) => {
    const [offset, length] = format.header.at[name];
    return length === 1 ? doubles[offset] : numbers(0, format.header.at[name]);
  };
  // Each field's place once, not looked up for each call.
  const { call: callAt, args, depth, modelview, shape, colour, visible, box } = format.call.at;
  const calls = [];
  for (let i = 0; i < header('calls'); i++) {
    const base = format.header.size + i * format.call.size;
    const kind = format.calls[doubles[base + callAt[0]]];
    const call = {
      index: i, name: kind.name, args: numbers(base, [args[0], kind.args.length]), depth: doubles[base + depth[0]],
      modelview: numbers(base, modelview), shape: doubles[base + shape[0]],
    };
    if (call.shape >= 0) {
      call.colour = numbers(base, colour);
      call.box = doubles[base + visible[0]] ? numbers(base, box) : null;
    }
    calls.push(call);
  }
  return {
    calls, shapes: header('shapes'), truncated: header('truncated') === 1, start: header('start'),
    startDepth: header('startDepth'), viewport: header('viewport'), bufferHeight: header('bufferHeight'),
  };
}
