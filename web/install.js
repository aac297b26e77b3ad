// The installed app's side of the page: registers the service worker (web/sw.js), which keeps the
// page's files for offline starts, and tells when a newer version of the page is waiting. The
// page never reloads by itself: `onNewVersion(takeOver)` is called once, and `takeOver()`, from
// the user's Reload, lets the new version take over and reloads.

export async function installServiceWorker(onNewVersion) {
  if (!('serviceWorker' in navigator)) return;
  let registration;
  try {
    registration = await navigator.serviceWorker.register('sw.js');
  } catch {
    return;  // no service worker here (a file: URL, a browser that refuses): the page works on
  }
  let told = false;
  const tellWhenWaiting = () => {
    // Without a controller this is the first version installed, not a newer one.
    if (told || registration.waiting === null || navigator.serviceWorker.controller === null) return;
    told = true;
    onNewVersion(() => {
      navigator.serviceWorker.addEventListener('controllerchange', () => window.location.reload());
      registration.waiting.postMessage('take over');
    });
  };
  registration.addEventListener('updatefound', () => {
    const worker = registration.installing;
    worker.addEventListener('statechange', () => {
      if (worker.state === 'installed') tellWhenWaiting();
    });
  });
  tellWhenWaiting();
}
