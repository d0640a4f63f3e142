// Keeps the files the game plays with under a name made from their contents: the game plays
// offline, and a new build, checked file by file, never mixes with the old. Nothing else in its
// folder is answered from here, a missing page neither.
const CACHE = '@CACHE@';
// Each file of the build and its SHA-256, as the build wrote it.
const FILES = {@FILES@};
// The page is kept once, under its folder's own address.
const PAGE = 'index.html';
const key = (name) => new URL(name === PAGE ? './' : name, self.registration.scope).href;

const hex = (buffer) => [...new Uint8Array(buffer)].map((b) => b.toString(16).padStart(2, '0')).join('');

// A download that is not the build's file (a proxy's or a cache's stale copy) is asked for once
// more past every cache; if that is not it either, the install fails and the old build stays.
async function download(name) {
  for (const cache of ['no-cache', 'reload']) {
    const response = await fetch(new Request(key(name), { cache }));
    if (response.ok && hex(await crypto.subtle.digest('SHA-256', await response.clone().arrayBuffer())) === FILES[name]) return response;
  }
  throw new Error(`${name} is not this build's: the old version stays`);
}

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const downloads = await Promise.all(Object.keys(FILES).map(async (name) => [name, await download(name)]));
    const cache = await caches.open(CACHE);
    await Promise.all(downloads.map(([name, response]) => cache.put(key(name), response)));
    await self.skipWaiting();
  })());
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys()) if (name !== CACHE && name.startsWith('namoro-')) await caches.delete(name);
    await self.clients.claim();
  })());
});

// The build's own files and the page's address, with or without index.html and whatever its query.
const ownKey = (url) => {
  const { origin, pathname } = new URL(url);
  const scope = new URL(self.registration.scope);
  if (origin !== scope.origin || !pathname.startsWith(scope.pathname)) return null;
  const name = pathname.slice(scope.pathname.length);
  return Object.hasOwn(FILES, name || PAGE) ? key(name || PAGE) : null;
};

self.addEventListener('fetch', (event) => {
  const { request } = event;
  const own = request.method === 'GET' ? ownKey(request.url) : null;
  if (!own) return;
  event.respondWith((async () => (await (await caches.open(CACHE)).match(own)) ?? fetch(request))());
});
