// The page's service worker: it keeps a copy of every file of the page, so
// that the page opens without a network once it has been visited.  The
// network comes first while there is one (a new build is seen at once); the
// copy answers when there is none.
const CACHE = 'maclab-1';
const FILES = [
  './', 'index.html', 'style.css', 'maclab.js', 'app.js', 'program.js', 'colours.js', 'controls.js',
  'medium.js', 'charts.js', 'input.js', 'layout.js', 'announce.js', 'symbols.js', 'sweep-worker.js', 'manifest.webmanifest',
  'icon.svg', 'icon-192.png', 'icon-512.png', 'icon-maskable.png',
];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((n) => n !== CACHE).map((n) => caches.delete(n))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith((async () => {
    const cache = await caches.open(CACHE);
    try {
      const response = await fetch(request);
      if (response.ok) await cache.put(request, response.clone());
      return response;
    } catch (error) {
      const copy = await cache.match(request, { ignoreSearch: true }) ??
        (request.mode === 'navigate' ? await cache.match('./') : undefined);
      if (copy) return copy;
      throw error;
    }
  })());
});
