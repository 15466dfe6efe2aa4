// Keeps the page and the program in the browser's cache at the first visit, so that the page opens again
// with no network at all. The build writes the files a visit needs and a hash of the site's contents
// below: a new release is a new service worker, which caches the new files and then drops the old cache.
// The licence texts are left to the network, and kept once read.
"use strict";

const SITE_FILES = [/* site files */];
const CACHE = "vostrel-" + "/* site hash */";

self.addEventListener("install", (event) => {
    event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(SITE_FILES)).then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => {
    event.waitUntil(caches.keys()
        .then((names) => Promise.all(names.filter((name) => name !== CACHE).map((name) => caches.delete(name))))
        .then(() => self.clients.claim()));
});

// The cache first: the files of one release belong together, and the network is only asked for what the
// cache does not hold.
self.addEventListener("fetch", (event) => {
    if (event.request.method !== "GET")
        return;
    event.respondWith(caches.open(CACHE).then((cache) =>
        cache.match(event.request, { ignoreSearch: true }).then((cached) => cached || fetch(event.request).then(
            (response) => {
                if (response.ok && new URL(event.request.url).pathname.includes("/licences/"))
                    cache.put(event.request, response.clone());
                return response;
            }))));
});
