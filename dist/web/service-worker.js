// Keeps the page's files, so that the calculator opens without a network once it has been
// opened. release/web-page.sh fills in the version and the files. A new version's worker
// takes the new files as it installs, replaces the old worker and its files at once, and
// the next load uses them.
const cacheName = 'tabulon2x2-@VERSION@';
const files = [@FILES@];

self.addEventListener('install', event => {
  event.waitUntil(caches.open(cacheName)
    .then(cache => cache.addAll(files))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', event => {
  event.waitUntil(caches.keys()
    .then(keys => Promise.all(keys.filter(key => key !== cacheName).map(key => caches.delete(key))))
    .then(() => self.clients.claim()));
});

// The page's own files from the cache, anything else from the network.
self.addEventListener('fetch', event => {
  if (event.request.method !== 'GET')
    return;
  event.respondWith(caches.open(cacheName)
    .then(cache => cache.match(event.request, {ignoreSearch: true}))
    .then(kept => kept || fetch(event.request)));
});
