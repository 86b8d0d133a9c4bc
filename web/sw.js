// Keeps the whole site for use offline. scripts/web.sh writes the build's name (a hash of all
// its files) and the list of files in place of the two marks below, so a new build gets a cache
// of its own and the old one goes.
const build = '@CYCLAR_BUILD@';
const files = ["./", /* @CYCLAR_FILES@ */];
const cacheName = `cyclar-${build}`;

self.addEventListener('install', (event) => {
    // Every file or none: a build half cached would break offline. Each file is checked with
    // the server, which sends only what the browser does not hold already: the first visit
    // does not download the site twice.
    event.waitUntil(
        caches
            .open(cacheName)
            .then((cache) => cache.addAll(files.map((file) => new Request(file, { cache: 'no-cache' }))))
            .then(() => self.skipWaiting())
    );
});

self.addEventListener('activate', (event) => {
    event.waitUntil(
        caches
            .keys()
            .then((names) => Promise.all(names.filter((name) => name.startsWith('cyclar-') && name !== cacheName).map((name) => caches.delete(name))))
            .then(() => self.clients.claim())
    );
});

// From the cache first; what it does not hold (or a cache lost) comes from the network.
self.addEventListener('fetch', (event) => {
    const request = event.request;
    if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
    event.respondWith(
        caches
            .open(cacheName)
            .then((cache) => cache.match(request, { ignoreSearch: true }))
            .then((cached) => cached ?? fetch(request))
    );
});
