// The page's policy (tools/page_policy.mjs): the hashes it fills in are those
// of the inline scripts and styles as they stand, and markup no hash can
// allow fails.
import assert from 'node:assert/strict';
import { createHash } from 'node:crypto';
import { test } from 'node:test';
import { withPolicy } from '../../tools/page_policy.mjs';

const hash = (text) => `'sha256-${createHash('sha256').update(text).digest('base64')}'`;
const page = (body) => `<meta content="script-src %SCRIPT_HASHES%; style-src %STYLE_HASHES%">${body}`;

test('the policy allows each inline script and style by its own hash, and nothing else', () => {
  const [script, other, style] = ['\nstart();\n', 'if (a < b) go("é");', ' p { color: red; } '];
  const html = withPolicy(page(`<script data-x="1">${script}</script><script src="a.js"></script><style>${style}</style><script>${other}</script>`));
  assert.match(html, new RegExp(`script-src ${[hash(script), hash(other)].join(' ').replace(/[+/]/g, '\\$&')};`));
  assert.ok(html.includes(`style-src ${hash(style)}"`));
  assert.equal(html.match(/sha256-/g).length, 3, 'the external script has no hash');
});

test('a handler in an attribute, a javascript: address or a page with no policy fails', () => {
  for (const body of ['<img src="x.png" onerror="go()">', '<a href="javascript:go()">go</a>', '<body onload=go()>']) {
    assert.throws(() => withPolicy(page(body)), /no policy allows/, body);
  }
  assert.throws(() => withPolicy('<script>go()</script>'), /no policy/);
  assert.doesNotThrow(() => withPolicy(page('<p>Turn on the view = nearer</p><button data-on="x">on</button>')));
});
