// The program's sources as the page compiles them: a copy of each that tells
// the page's trace hooks which routine is running and from which line it
// makes each call (web/glut/routine_trace.h), and the table of those
// routines. Read from the compiler's own syntax tree (clang's JSON dump, by
// the compiler that builds the page), never from a list: each function
// defined in the file notes its entry, and each call in it is preceded by
// its line. Only text is added, and only within lines, so every line of a
// copy is the line of the same number in the source.
// Usage: node tools/trace_routines.mjs OUT_DIR COMPILER [FLAGS...] -- SOURCE...
import { execFileSync } from 'node:child_process';
import { mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { basename, resolve } from 'node:path';

// clang's JSON prints a location's file only where it differs from the
// location printed before it: the file is followed through the dump in its
// order. Each function defined in the source (not constexpr, whose calls
// may be made by the compiler itself), with its body's brace and every plain
// call in it, not one written by a macro.
export function routinesIn(tree, source) {
  let file = null;
  const note = (loc) => {
    if (!loc) return;
    if (loc.spellingLoc || loc.expansionLoc) {
      note(loc.spellingLoc);
      note(loc.expansionLoc);
    } else if (loc.file) {
      file = loc.file;
    }
  };
  const fromMacro = (loc) => Boolean(loc.spellingLoc || loc.expansionLoc);
  const routines = [];
  const visit = (node, routine, outerCall) => {
    note(node.loc);
    note(node.range?.begin);
    note(node.range?.end);
    const here = file === source;
    let call = outerCall;
    if (here && node.kind === 'FunctionDecl' && !node.isImplicit && !node.constexpr && node.inner?.at(-1)?.kind === 'CompoundStmt') {
      routine = { name: node.name, at: node.loc.offset, body: node.inner.at(-1).range.begin.offset, calls: [] };
      routines.push(routine);
    } else if (here && routine && node.kind === 'CallExpr' && !fromMacro(node.range.begin) && !fromMacro(node.range.end)) {
      call = { begin: node.range.begin.offset, end: node.range.end.offset + node.range.end.tokLen, outer: outerCall };
      routine.calls.push(call);
    }
    for (const inner of node.inner ?? []) visit(inner, routine, call);
  };
  visit(tree, null, null);
  return routines;
}

// The copy's text: the routine's entry after its body's brace, and each
// call's line before it, as (line, call) so that the call's value is kept.
export function tracedCopy(text, routines, firstId, lineAt) {
  const edits = [];
  routines.forEach((routine, k) => {
    edits.push([routine.body + 1, ` const RoutineEntered routineEntered_(${firstId + k});`]);
    for (const call of routine.calls) {
      const line = lineAt(call.begin);
      // An outer call's line is noted before its arguments are worked out:
      // an argument's call on another line would leave that line noted.
      if (call.outer && lineAt(call.outer.begin) !== line) {
        throw new Error(`line ${line}: a call inside the arguments of a call on line ${lineAt(call.outer.begin)}`);
      }
      edits.push([call.begin, `(routineAt(${line}), `], [call.end, ')']);
    }
  });
  // From the end, so that each offset still holds; a call's closing before
  // another's opening at the same place.
  edits.sort((a, b) => b[0] - a[0] || (a[1] === ')' ? 1 : -1));
  let out = text;
  for (const [at, insert] of edits) out = Buffer.concat([out.subarray(0, at), Buffer.from(insert), out.subarray(at)]);
  return out;
}

const lineFinder = (text) => {
  const starts = [0];
  for (let i = 0; i < text.length; i++) if (text[i] === 0x0a) starts.push(i + 1);
  return (offset) => {
    let [low, high] = [0, starts.length - 1];
    while (low < high) {
      const mid = (low + high + 1) >> 1;
      if (starts[mid] <= offset) low = mid;
      else high = mid - 1;
    }
    return low + 1;
  };
};

const main = () => {
  const args = process.argv.slice(2);
  const split = args.indexOf('--');
  const [outDir, compiler, ...flags] = args.slice(0, split);
  const sources = args.slice(split + 1).map((s) => resolve(s));
  mkdirSync(outDir, { recursive: true });
  const table = [];
  for (const source of sources) {
    const dump = execFileSync(compiler, [...flags, '-fsyntax-only', '-Xclang', '-ast-dump=json', source],
      { encoding: 'utf8', maxBuffer: 1 << 30 });
    const text = readFileSync(source);
    const lineAt = lineFinder(text);
    const routines = routinesIn(JSON.parse(dump), source);
    const copy = tracedCopy(text, routines, table.length, lineAt);
    for (const routine of routines) table.push([routine.name, basename(source), lineAt(routine.at)]);
    const head = `#include "routine_trace.h"\n#line 1 ${JSON.stringify(source)}\n`;
    writeFileSync(resolve(outDir, basename(source)), Buffer.concat([Buffer.from(head), copy]));
  }
  const rows = table.map(([name, file, line]) => `    {"${name}", "${file}", ${line}},`).join('\n');
  writeFileSync(resolve(outDir, 'routines.cpp'), `// Written by tools/trace_routines.mjs: the program's routines, numbered as its
// copies for the page name them.
#include "routine_trace.h"

const TracedRoutine TRACED_ROUTINES[] = {
${rows}
};
const int TRACED_ROUTINE_COUNT = ${table.length};
`);
};

if (process.argv[1] && resolve(process.argv[1]) === resolve(new URL(import.meta.url).pathname)) main();
