// Keeps the page working offline once loaded: every file it fetched is kept, and used when the
// network does not answer. Online, the network's copy is taken, so an update shows at once.
const kCache = 'tevusb-1.40';

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith((async () => {
    const cache = await caches.open(kCache);
    try {
      const response = await fetch(request);
      if (response.ok) await cache.put(request, response.clone());
      return response;
    } catch (error) {
      const kept = await cache.match(request);
      if (kept) return kept;
      throw error;
    }
  })());
});
