// The program's source beside its frame: the lines a call's chain of
// routines passes through, and the calls of a frame that a line led to. A
// chain is the recorder's, outermost first: { routine, file, line }, the
// line being that routine's call that led on (record.js).

// The files the program's routines are in, in the order of the routines.
export const sourceFiles = (routines) => [...new Set(routines.map((r) => r.file))];

// The lines of a file that a chain passes through.
export const chainLines = (chain, file) => new Set(chain.filter((link) => link.file === file).map((link) => link.line));

// The calls of the frame that the line led to: those whose chain passes through it.
export const ledBy = (calls, file, line) =>
  calls.filter((call) => call.chain.some((link) => link.file === file && link.line === line));

// The routine that made the call, or undefined where none of the program's did.
export const madeIn = (call) => call.chain.at(-1)?.routine;

// The chain in words, the call at its end: each routine with its line, the
// file named where it changes.
export function chainText(chain, callName) {
  let file = null;
  const links = chain.map((link) => {
    const where = link.file === file ? `${link.line}` : `${link.file}:${link.line}`;
    file = link.file;
    return `${link.routine} (${where})`;
  });
  return [...links, callName].join(' → ');
}
