// Keeps the page working offline: at install it caches every file of the
// site (the list in site-files.txt), then answers from that cache first.
// build-web.sh stamps the version with a hash of the files, so a new build
// installs a new cache and the old one is dropped.
const Version = 'unbuilt';
const CacheName = 'quorvel-' + Version;

self.addEventListener('install', (event) => {
  event.waitUntil(
    (async () => {
      const list = await (await fetch('site-files.txt', { cache: 'no-store' })).text();
      const files = list.split('\n').map((name) => name.trim()).filter((name) => name && !name.startsWith('#'));
      const cache = await caches.open(CacheName);
      // Past the browser's own cache, so that a new version gets new files.
      await cache.addAll(files.map((name) => new Request(name, { cache: 'reload' })));
      await self.skipWaiting();
    })(),
  );
});

self.addEventListener('activate', (event) => {
  event.waitUntil(
    (async () => {
      for (const name of await caches.keys()) if (name.startsWith('quorvel-') && name !== CacheName) await caches.delete(name);
      await self.clients.claim();
    })(),
  );
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(
    (async () => {
      const cache = await caches.open(CacheName);
      const cached = (await cache.match(request, { ignoreSearch: true })) || (request.mode === 'navigate' && (await cache.match('index.html')));
      return cached || fetch(request);
    })(),
  );
});
