// The served page keeps itself for offline use: the service worker beside it (sw.js) stores it at
// the first visit. From file:// there is no service worker, and the page runs as it is.
if ("serviceWorker" in navigator && /^https?:$/.test(location.protocol)) {
  addEventListener("load", function () {
    navigator.serviceWorker.register("sw.js").catch(function (error) {
      console.warn("The page cannot be kept for offline use:", error);
    });
  });
}
