'use strict';
// The page's service worker: keeps every file of one version of the page in a cache named after
// that version (and the folder the page is served from, so that copies in other folders of one
// server keep theirs), and answers the page's requests from it, so that the page also starts
// without a network. A newer version waits until the page asks it to take over (its Reload
// button); on taking over it removes the caches of older versions. scripts/stamp_web_cache.sh
// writes the two lines below for each build: the version with a digest of the files, and the
// files.
const kVersion = 'unstamped';
const kFiles = [];

const cachePrefix = `gapwell ${self.registration.scope} `;
const cacheName = cachePrefix + kVersion;

self.addEventListener('install', (event) => {
  // Fetched past the browser's HTTP cache, so that a new version never keeps an old file.
  event.waitUntil(caches.open(cacheName).then((cache) =>
    cache.addAll(['./', ...kFiles].map((file) => new Request(file, { cache: 'reload' })))));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names
      .filter((name) => name.startsWith(cachePrefix) && name !== cacheName)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener('message', (event) => {
  if (event.data === 'take over') self.skipWaiting();
});

self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(caches.open(cacheName)
    .then((cache) => cache.match(event.request, { ignoreSearch: true }))
    .then((cached) => cached ?? fetch(event.request)));
});
