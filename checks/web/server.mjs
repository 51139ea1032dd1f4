// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The page's folder served from 127.0.0.1 as a web server sends it: gzipped where the
// browser asks, and asked for again at every use. Extra files may be served beside it and
// the help page replaced. For WebKitGTK, whose window is never narrower than 447 px,
// /frame?width=W holds the page in a frame of that width, as a phone would show it.
import {readFile} from 'node:fs/promises';
import {createServer} from 'node:http';
import path from 'node:path';
import {gzipSync} from 'node:zlib';

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.svg': 'image/svg+xml', '.png': 'image/png',
  '.webmanifest': 'application/manifest+json', '.txt': 'text/plain; charset=utf-8',
};

export async function serve(folder, extra = {}) {
  const site = {helpPage: null};
  const server = createServer(async (request, response) => {
    const url = new URL(request.url, 'http://localhost');
    const name = decodeURIComponent(url.pathname).slice(1) || 'index.html';
    let body = null;
    if (name === 'frame') {
      const width = Number(url.searchParams.get('width'));
      body = `<!doctype html><meta charset="utf-8"><body style="margin:0">` +
             `<iframe src="/" style="border:0;width:${width}px;height:740px"></iframe>`;
    } else if (name === 'readme.html' && site.helpPage !== null) {
      body = site.helpPage;
    } else if (!name.split('/').includes('..')) {
      body = await readFile(extra[name] ?? path.join(folder, name)).catch(() => null);
    }
    if (body === null) return response.writeHead(404).end();
    const gzipped = /\bgzip\b/.test(request.headers['accept-encoding'] ?? '');
    const content = gzipped ? gzipSync(body) : Buffer.from(body);
    response.writeHead(200, {
      'Content-Type': TYPES[path.extname(name)] ?? (name === 'frame' ? TYPES['.html'] :
                                                     'application/octet-stream'),
      'Content-Length': content.length, 'Cache-Control': 'no-cache',
      ...(gzipped ? {'Content-Encoding': 'gzip'} : {}),
    });
    response.end(request.method === 'HEAD' ? undefined : content);
  });
  await new Promise(resolve => server.listen(0, '127.0.0.1', resolve));
  site.url = `http://127.0.0.1:${server.address().port}/`;
  site.stop = () => new Promise(resolve => {
    server.closeAllConnections();
    server.close(resolve);
  });
  return site;
}
