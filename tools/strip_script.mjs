// A page script as the page is served it: its comments and layout left out
// by Debian's terser (node-terser), its names and statements as written, so
// that the page's bytes stay few while a stack trace still reads like the
// source.
// Usage: node tools/strip_script.mjs IN OUT [--module]
import { mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { dirname } from 'node:path';

const [input, output, kind] = process.argv.slice(2);
let minify;
try {
  ({ minify } = createRequire('/usr/share/nodejs/')('terser'));
} catch {
  console.error('strip_script: terser is missing (apt-get install node-terser)');
  process.exit(1);
}
const { code } = await minify(readFileSync(input, 'utf8'), { module: kind === '--module', compress: false, mangle: false });
mkdirSync(dirname(output), { recursive: true });
writeFileSync(output, `${code}\n`);
