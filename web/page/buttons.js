// The on-screen keys: each button sends exactly its key (data-key, named as
// a keyboard event names it) through the same bridge as the keyboard, so the
// program cannot tell a button from a key. A click is one press: holding a
// button, by mouse or by finger, never repeats it. Before the program has
// started, a click does nothing.
'use strict';
for (const button of document.querySelectorAll('button[data-key]')) {
  button.addEventListener('click', () => window.Module?.walkerKey?.(button.dataset.key));
}
