// The page's service worker: on the first visit it caches the page's own
// files, and from then on serves them from that cache, so that the page opens
// without a network. The build writes it with the list of those files and a
// hash of their contents (service_worker.cmake.in), so every build that
// changes a file is a new worker with a cache of its own: the browser
// installs it on the next visit, and it takes over at once and drops the
// caches of earlier builds.
'use strict';
const PAGE_FILES = '@PAGE_FILES@'.split(';');
const CACHE = 'walker-@PAGE_HASH@';
const OWN_CACHE = /^walker-/;

self.addEventListener('install', (event) => {
  // Past the browser's HTTP cache, which may still hold an earlier build's files.
  const requests = ['./', ...PAGE_FILES].map((file) => new Request(file, { cache: 'no-cache' }));
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(requests)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => OWN_CACHE.test(name) && name !== CACHE)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(event.request, { ignoreSearch: true }))
    .then((cached) => cached ?? fetch(event.request)));
});
