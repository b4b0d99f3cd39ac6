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

// The format's JSON: the header's and a call's fields, the calls and the
// program's routines by number (a frame saved before there were routines
// has none).
export function readFormat(json) {
  const { header, call, calls, routines = [] } = JSON.parse(json);
  return {
    header: fieldsAt(header),
    call: fieldsAt(call),
    calls: calls.map(([name, args, words]) => ({ name, args: args.split(' ').filter(Boolean), words })),
    routines: routines.map(([name, file, line]) => ({ name, file, line })),
  };
}

// The frame from its doubles (a Float64Array): its calls in order, each with
// its name and arguments, the stack's depth and the modelview matrix after
// it, the chain of the program's routines that made it (outermost first,
// each routine with the line of its call that led on), and a shape's place
// in the painter's order (-1 for other calls), its colour and its box on the
// canvas (null where nothing of it is there).
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
  const { call: callAt, args, depth, modelview, shape, colour, visible, box, routines, chain } = format.call.at;
  const chainOf = (base) => {
    const links = [];
    for (let k = 0; routines && k < doubles[base + routines[0]]; k++) {
      const { name, file } = format.routines[doubles[base + chain[0] + 2 * k]];
      links.push({ routine: name, file, line: doubles[base + chain[0] + 2 * k + 1] });
    }
    return links;
  };
  const calls = [];
  for (let i = 0; i < header('calls'); i++) {
    const base = format.header.size + i * format.call.size;
    const kind = format.calls[doubles[base + callAt[0]]];
    const call = {
      index: i, name: kind.name, args: numbers(base, [args[0], kind.args.length]), depth: doubles[base + depth[0]],
      modelview: numbers(base, modelview), shape: doubles[base + shape[0]], chain: chainOf(base),
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
