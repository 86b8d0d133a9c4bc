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
    '.woff': 'font/woff',
    '.txt': 'text/plain; charset=utf-8',
    '.webmanifest': 'application/manifest+json',
};

createServer((request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
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
        const sent = encoding ? file + encoding[1] : file;
        const headers = {
            'Content-Type': types[extname(file)] ?? 'application/octet-stream',
            'Content-Length': statSync(sent).size,
            'Cache-Control': 'no-store',
            Vary: 'Accept-Encoding',
        };
        if (encoding) headers['Content-Encoding'] = encoding[0];
        response.writeHead(200, headers);
        createReadStream(sent).pipe(response);
    } catch {
        response.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found');
    }
}).listen(port, '127.0.0.1', () => console.log(`serving ${root} on http://127.0.0.1:${port}/`));
