// A plain static server over the built site on the loopback address, as any
// web server would be; it remembers which files it served, and stop() also
// drops open connections, so that the site is gone at once (an offline reload).
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';

const TYPES = {
  '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.png': 'image/png',
  '.svg': 'image/svg+xml', '.webmanifest': 'application/manifest+json', '.json': 'application/json',
};

export function serve(site) {
  const served = new Map(); // path -> bytes, each file served
  const server = http.createServer((req, res) => {
    const name = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    const file = path.join(site, name === '/' ? 'index.html' : name);
    if (!file.startsWith(site) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404).end();
      return;
    }
    served.set(name, fs.statSync(file).size);
    res.writeHead(200, { 'content-type': TYPES[path.extname(file)] ?? 'application/octet-stream' });
    fs.createReadStream(file).pipe(res);
  });
  return new Promise((ok) => server.listen(0, '127.0.0.1', () => ok({
    url: `http://127.0.0.1:${server.address().port}/`,
    served,
    stop: () => new Promise((done) => {
      server.close(() => done());
      server.closeAllConnections();
    }),
  })));
}
