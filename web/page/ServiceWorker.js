// Keeps the build the page came from, every file of it, under a name made from those files'
// contents, so the game plays without a network and a new build never mixes with the old:
// the new worker fills its own cache with what the server confirms is current (a file already
// in the browser's HTTP cache costs a revalidation, not a second download), takes over and
// drops every older cache.
const CACHE = '@CACHE@';
const FILES = [@FILES@];

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(CACHE);
    await cache.addAll(FILES.map((file) => new Request(file, { cache: 'no-cache' })));
    await self.skipWaiting();
  })());
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys()) if (name !== CACHE && name.startsWith('namoro-')) await caches.delete(name);
    await self.clients.claim();
  })());
});

// The page itself is kept once, as the scope's own address, and answers any navigation in it
// (index.html, a query) that no other file does.
self.addEventListener('fetch', (event) => {
  const { request } = event;
  if (request.method !== 'GET') return;
  event.respondWith((async () => {
    const cache = await caches.open(CACHE);
    return (await cache.match(request, { ignoreSearch: true }))
      ?? (request.mode === 'navigate' ? await cache.match('./') : undefined)
      ?? fetch(request);
  })());
});
