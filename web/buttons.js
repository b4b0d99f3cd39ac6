// The on-screen keys: each button sends exactly its key (data-key, named as
// a keyboard event names it) through the same bridge as the keyboard, so the
// program cannot tell a button from a key. A click is one press: holding a
// button, by mouse or by finger, never repeats it.
(function () {
  'use strict';
  document.querySelectorAll('button[data-key]').forEach(function (button) {
    button.addEventListener('click', function () {
      if (window.Module && Module.walkerKey) Module.walkerKey(button.dataset.key);
    });
  });
})();
