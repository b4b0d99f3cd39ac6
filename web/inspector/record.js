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
  const field = (base, [at, length]) => (length === 1 ? doubles[base + at] : Array.from(doubles.subarray(base + at, base + at + length)));
  const header = (name) => field(0, format.header.at[name]);
  const calls = [];
  for (let i = 0; i < header('calls'); i++) {
    const base = format.header.size + i * format.call.size;
    const get = (name) => field(base, format.call.at[name]);
    const kind = format.calls[get('call')];
    const call = {
      index: i, name: kind.name, args: get('args').slice(0, kind.args.length), depth: get('depth'), modelview: get('modelview'),
      shape: get('shape'),
    };
    if (call.shape >= 0) {
      call.colour = get('colour');
      call.box = get('visible') ? get('box') : null;
    }
    calls.push(call);
  }
  return {
    calls, shapes: header('shapes'), truncated: header('truncated') === 1, start: header('start'),
    startDepth: header('startDepth'), viewport: header('viewport'), bufferHeight: header('bufferHeight'),
  };
}
