// Serves the built web folder on a loopback port for the browser tests, as scripts/web.sh's
// server does: a precompressed copy (FILE.br, FILE.gz) goes to a browser that accepts it.
// Usage: node serve.mjs DIR PORT
import { createReadStream, existsSync, statSync } from 'node:fs';
import { createServer } from 'node:http';
import { extname, join, normalize, resolve, sep } from 'node:path';

const [root, port] = [resolve(process.argv[2] ?? '.'), Number(process.argv[3] ?? 8099)];
const types = {
    '.html': 'text/html; charset=utf-8',
    '.css': 'text/css; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.mjs': 'text/javascript; charset=utf-8',
    '.wasm': 'application/wasm',
    '.png': 'image/png',
    '.woff2': 'font/woff2',
    '.txt': 'text/plain; charset=utf-8',
    '.webmanifest': 'application/manifest+json',
};

// Bytes sent so far, bodies and headers, for the tests that measure a visit: GET /__sent.
let sent = 0;

createServer((request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    if (path === '/__sent') {
        response.writeHead(200, { 'Content-Type': 'text/plain', 'Cache-Control': 'no-store' }).end(String(sent));
        return;
    }
    request.socket.sentBefore ??= 0;
    response.on('finish', () => {
        sent += request.socket.bytesWritten - request.socket.sentBefore;
        request.socket.sentBefore = request.socket.bytesWritten;
    });
    let file = normalize(join(root, path));
    if (file !== root && !file.startsWith(root + sep)) {
        response.writeHead(403).end();
        return;
    }
    try {
        if (statSync(file).isDirectory()) file = join(file, 'index.html');
        statSync(file);
        const accepted = (request.headers['accept-encoding'] ?? '').split(',').map((part) => part.split(';')[0].trim());
        const encoding = [['br', '.br'], ['gzip', '.gz']].find(([name, suffix]) => accepted.includes(name) && existsSync(file + suffix));
        const body = encoding ? file + encoding[1] : file;
        // Checked on every use, as scripts/web.sh's server does: a file the browser holds is
        // answered with 304 and not sent again.
        const modified = Math.floor(statSync(body).mtimeMs / 1000);
        const since = Date.parse(request.headers['if-modified-since'] ?? '');
        if (Number.isFinite(since) && since / 1000 >= modified) {
            response.writeHead(304, { 'Cache-Control': 'no-cache', Vary: 'Accept-Encoding' }).end();
            return;
        }
        const headers = {
            'Content-Type': types[extname(file)] ?? 'application/octet-stream',
            'Content-Length': statSync(body).size,
            'Cache-Control': 'no-cache',
            'Last-Modified': new Date(modified * 1000).toUTCString(),
            Vary: 'Accept-Encoding',
        };
        if (encoding) headers['Content-Encoding'] = encoding[0];
        response.writeHead(200, headers);
        createReadStream(body).pipe(response);
    } catch {
        response.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found');
    }
}).listen(port, '127.0.0.1', () => console.log(`serving ${root} on http://127.0.0.1:${port}/`));
