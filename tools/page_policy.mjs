// The page's Content-Security-Policy allows its own inline script and style
// by their hashes, which this computes from the page as built, so that the
// hashes cannot drift from what they stand for: every %SCRIPT_HASHES% and
// %STYLE_HASHES% in the page becomes the list of its inline scripts' and
// styles' 'sha256-...' sources. A handler in an attribute (onerror=...) or a
// javascript: address has no hash a policy can allow, and fails the build.
// Usage: node tools/page_policy.mjs IN.html OUT.html
import { createHash } from 'node:crypto';
import { readFileSync, writeFileSync } from 'node:fs';

const INLINE = { script: /<script\b([^>]*)>([\s\S]*?)<\/script\s*>/gi, style: /<style\b([^>]*)>([\s\S]*?)<\/style\s*>/gi };

const hashOf = (text) => `'sha256-${createHash('sha256').update(text, 'utf8').digest('base64')}'`;

export function withPolicy(html) {
  const hashes = {};
  let markup = html;
  for (const [tag, pattern] of Object.entries(INLINE)) {
    const found = [...html.matchAll(pattern)].filter(([, attributes]) => !/\ssrc\s*=/i.test(attributes));
    hashes[tag] = [...new Set(found.map(([, , body]) => hashOf(body)))].join(' ');
    markup = markup.replace(pattern, `<${tag}$1></${tag}>`);
  }
  const handler = /<[a-z][^>]*?\s(on[a-z]+)\s*=/i.exec(markup) ?? /<[a-z][^>]*?=\s*["']?\s*(javascript:)/i.exec(markup);
  if (handler) throw new Error(`the page has ${handler[1]} in its markup, which no policy allows by hash`);
  if (!html.includes('%SCRIPT_HASHES%')) throw new Error('the page has no policy to fill in (%SCRIPT_HASHES%)');
  return html.replaceAll('%SCRIPT_HASHES%', hashes.script).replaceAll('%STYLE_HASHES%', hashes.style);
}

if (process.argv[1] === new URL(import.meta.url).pathname) {
  const [input, output] = process.argv.slice(2);
  try {
    writeFileSync(output, withPolicy(readFileSync(input, 'utf8')));
  } catch (error) {
    console.error(`${input}: ${error.message}`);
    process.exit(1);
  }
}
