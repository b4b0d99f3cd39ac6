// The page as an app: where there are service workers, one caches the page's
// files once the page has loaded (service-worker.js), and the page opens
// without a network afterwards.
'use strict';
if ('serviceWorker' in navigator) {
  const register = () => {
    navigator.serviceWorker.register('service-worker.js')
      .catch((error) => console.warn(`No offline use: ${error.message}`));
  };
  // This script is loaded after the program's first frame, which may be
  // after the page's load.
  if (document.readyState === 'complete') register();
  else window.addEventListener('load', register);
}
