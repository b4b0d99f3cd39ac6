// The canvas as the program's window.
// - The canvas's drawing buffer is its CSS size in device pixels, so the
//   picture is sharp at any pixel ratio: it follows the page's layout, full
//   screen and changes of the ratio (zoom, another screen), and the program's
//   reshape is told of each new size (Module._walkerResize), as a window
//   system tells GLUT. The program asks GLUT for a 400 x 400 window, which
//   on the page is 400 x 400 CSS pixels: the page's start-up script sizes the
//   buffer in device pixels before the program starts, and the program keeps
//   it (glut/window_size.js), so fit after its start-up changes nothing unless the
//   layout moved meanwhile.
// - The full-screen button puts the canvas on the whole screen and back.
'use strict';
window.walkerScreen = (() => {
  const box = document.getElementById('screen');
  const canvas = document.getElementById('canvas');
  const button = document.getElementById('fullscreen');

  const fit = () => {
    if (window.walkerSizeBuffer(canvas.getBoundingClientRect()) && window.Module?.calledRun) {
      Module._walkerResize(canvas.width, canvas.height);
    }
  };
  // A media query matches the current ratio only: each change sets up the next.
  const watchRatio = () => {
    matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`).addEventListener('change', () => {
      fit();
      watchRatio();
    }, { once: true });
  };
  watchRatio();
  new ResizeObserver(fit).observe(canvas);

  button.hidden = !document.fullscreenEnabled || canvas.hidden;
  button.addEventListener('click', () => {
    if (document.fullscreenElement) document.exitFullscreen();
    else box.requestFullscreen().catch((error) => console.warn(`No full screen: ${error.message}`));
  });
  document.addEventListener('fullscreenchange', () => {
    button.textContent = document.fullscreenElement === box ? 'Leave full screen' : 'Full screen';
    fit();
  });

  return { fit };
})();
