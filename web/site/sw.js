// The site's service worker. It keeps the page, its manifest and its icons in a cache named for
// this build and answers from it, so the page opens offline once it has been visited. A new build
// brings a new sw.js (site.py writes the build's digest into VERSION); the browser finds it on the
// next visit, stores the new files and deletes the caches of earlier builds.
const VERSION = "@VERSION@";
const CACHE = "kepler-laws-" + VERSION;
const FILES = ["index.html", "manifest.webmanifest", "icon-192.png", "icon-512.png",
               "apple-touch-icon.png"];

self.addEventListener("install", (event) => {
  // Straight from the server: the browser's HTTP cache may still hold the last build's files.
  const requests = FILES.map((file) => new Request(file, {cache: "reload"}));
  event.waitUntil(caches.open(CACHE)
    .then((cache) => cache.addAll(requests))
    .then(() => self.skipWaiting()));
});

// Taking over at once is safe: an open page asks for nothing more once it runs.
self.addEventListener("activate", (event) => {
  const old = (name) => name.startsWith("kepler-laws-") && name !== CACHE;
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter(old).map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener("fetch", (event) => {
  const request = event.request;
  if (request.method !== "GET") return;
  // The site's folder and its index.html, whatever switches follow (?trace), are the page.
  const url = new URL(request.url);
  const scope = new URL(self.registration.scope);
  const page = url.origin === scope.origin &&
    (url.pathname === scope.pathname || url.pathname === scope.pathname + "index.html");
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(page ? "index.html" : request))
    .then((stored) => stored || fetch(request)));
});
