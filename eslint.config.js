// ESLint's checks for every JavaScript file of the tree (scripts/lint runs
// them): its recommended rules, and one modern style for the page's scripts,
// the tools and the tests alike.
import { readFileSync } from 'node:fs';
import js from '@eslint/js';
import globals from 'globals';

// The program's object on the page, which the page's scripts and the
// functions the tools and tests run in the page reach.
const PAGE = { Module: 'readonly' };

const MODERN = {
  'no-var': 'error',
  'prefer-const': 'error',
  'prefer-arrow-callback': 'error',
  'prefer-template': 'error',
  'object-shorthand': 'error',
  eqeqeq: 'error',
};

// Emscripten's --js-library files are templates, not JavaScript: the
// compiler expands their {{{ makeDynCall(...) }}} macros and merges them into
// its own runtime, so no parser reads them as written. The build checks them
// when it links the page. Each is known by that merge, wherever it is listed.
const isJsLibrary = (path) => path.endsWith('.js') && readFileSync(path, 'utf8').includes('mergeInto(LibraryManager.library');

export default [
  {
    ignores: ['build/', 'node_modules/', isJsLibrary],
  },
  js.configs.recommended,
  { rules: MODERN },
  {
    // The page's own scripts: classic scripts in the browser, beside the
    // program's Module object.
    files: ['web/**/*.js'],
    languageOptions: {
      sourceType: 'script',
      globals: { ...globals.browser, ...PAGE },
    },
  },
  {
    // The frame inspector's modules and the link's: ES modules in the
    // browser, and pure ones in Node's tests too.
    files: ['web/inspector/**/*.js', 'web/page/link.js', 'web/page/open_link.js'],
    languageOptions: { sourceType: 'module' },
  },
  {
    // Node's ES modules; the functions they hand to the page run in the browser.
    files: ['**/*.mjs', 'eslint.config.js'],
    languageOptions: {
      sourceType: 'module',
      globals: { ...globals.node, ...globals.browser, ...PAGE },
    },
  },
];
