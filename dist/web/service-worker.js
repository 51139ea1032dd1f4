// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps the page's files, so that the calculator opens without a network once it has been
// opened. release/web-page.sh fills in the version and the files, in placeholders that parse
// as they stand, for the linters. A new version's worker takes the new files as it installs,
// replaces the old worker and its files at once, and the next load uses them.
const cacheName = 'tabulon2x2-@VERSION@';
const files = ['@FILES@'];

self.addEventListener('install', event => {
  event.waitUntil(
    caches
      .open(cacheName)
      .then(cache => cache.addAll(files))
      .then(() => self.skipWaiting())
  );
});

self.addEventListener('activate', event => {
  event.waitUntil(
    caches
      .keys()
      .then(keys =>
        Promise.all(keys.filter(key => key !== cacheName).map(key => caches.delete(key)))
      )
      .then(() => self.clients.claim())
  );
});

// The page's own files from the cache, anything else from the network. A request that asks
// for the file as it is now (help, read at each opening) goes to the network first and keeps
// what it gets; offline, the cache answers it.
self.addEventListener('fetch', event => {
  if (event.request.method !== 'GET') return;
  const kept = caches
    .open(cacheName)
    .then(cache => cache.match(event.request, {ignoreSearch: true}));
  if (event.request.cache !== 'no-cache')
    return event.respondWith(kept.then(response => response || fetch(event.request)));
  event.respondWith(
    fetch(event.request)
      .then(response => {
        if (response.ok) {
          const copy = response.clone();
          event.waitUntil(caches.open(cacheName).then(cache => cache.put(event.request, copy)));
        }
        return response;
      })
      .catch(() => kept.then(response => response || Promise.reject(new Error('offline'))))
  );
});
