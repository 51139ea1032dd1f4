// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The page's folder served from 127.0.0.1, gzipped where asked and never cached, with extra
// files beside it, help replaceable (site.helpPage), and /frame?width=W, the page in a frame
// that narrow (WebKitGTK's window is never narrower than 447 px).
import {readFile} from 'node:fs/promises';
import {createServer} from 'node:http';
import path from 'node:path';
import {gzipSync} from 'node:zlib';

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript',
  '.css': 'text/css',
  '.wasm': 'application/wasm',
  '.svg': 'image/svg+xml',
  '.png': 'image/png',
  '.webmanifest': 'application/manifest+json',
  '.txt': 'text/plain; charset=utf-8'
};

export async function serve(folder, extra = {}) {
  const site = {helpPage: null};
  const server = createServer(async (request, response) => {
    const url = new URL(request.url, 'http://localhost');
    let name = decodeURIComponent(url.pathname).slice(1) || 'index.html',
      body = null;
    if (name === 'frame') {
      body =
        '<!doctype html><meta charset="utf-8"><body style="margin:0"><iframe src="/" ' +
        `style="border:0;width:${Number(url.searchParams.get('width'))}px;height:740px"></iframe>`;
      name = 'frame.html';
    } else if (name === 'readme.html' && site.helpPage !== null) {
      body = site.helpPage;
    } else if (!name.split('/').includes('..')) {
      body = await readFile(extra[name] ?? path.join(folder, name)).catch(() => null);
    }
    if (body === null) return response.writeHead(404).end();
    const gzipped = /\bgzip\b/.test(request.headers['accept-encoding'] ?? '');
    const content = gzipped ? gzipSync(body) : Buffer.from(body);
    response.writeHead(200, {
      'Content-Type': TYPES[path.extname(name)] ?? 'application/octet-stream',
      'Content-Length': content.length,
      'Cache-Control': 'no-cache',
      ...(gzipped ? {'Content-Encoding': 'gzip'} : {})
    });
    response.end(request.method === 'HEAD' ? undefined : content);
  });
  await new Promise(resolve => server.listen(0, '127.0.0.1', resolve));
  site.url = `http://127.0.0.1:${server.address().port}/`;
  site.stop = () => new Promise(resolve => server.close(resolve).closeAllConnections());
  return site;
}
