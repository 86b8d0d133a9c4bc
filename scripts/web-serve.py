#!/usr/bin/env python3
"""Serves cyclar's built browser folder on the loopback address. A file with a precompressed
copy beside it (FILE.br, FILE.gz) is sent compressed to a browser that accepts it, with the
right Content-Encoding. Usage: web-serve.py DIR PORT"""
import email.utils
import functools
import http.server
import os
import sys

TYPES = {
    '.wasm': 'application/wasm',
    '.webmanifest': 'application/manifest+json',
    '.js': 'text/javascript; charset=utf-8',
    '.css': 'text/css; charset=utf-8',
    '.html': 'text/html; charset=utf-8',
    '.txt': 'text/plain; charset=utf-8',
    '.woff2': 'font/woff2',
    '.png': 'image/png',
}


class Handler(http.server.SimpleHTTPRequestHandler):
    def send_head(self):
        path = self.translate_path(self.path)
        if os.path.isdir(path):
            if not self.path.split('?', 1)[0].endswith('/'):
                return super().send_head()
            path = os.path.join(path, 'index.html')
        if not os.path.isfile(path):
            return super().send_head()
        accepted = {part.split(';')[0].strip() for part in self.headers.get('Accept-Encoding', '').split(',')}
        for encoding, suffix in (('br', '.br'), ('gzip', '.gz')):
            if encoding in accepted and os.path.isfile(path + suffix):
                sent, content_encoding = path + suffix, encoding
                break
        else:
            sent, content_encoding = path, None
        try:
            f = open(sent, 'rb')
        except OSError:
            self.send_error(404, 'File not found')
            return None
        # Every file is checked on each use (no-cache); one the browser holds is not sent again.
        modified = int(os.fstat(f.fileno()).st_mtime)
        since = self.headers.get('If-Modified-Since')
        if since:
            try:
                unchanged = email.utils.parsedate_to_datetime(since).timestamp() >= modified
            except (TypeError, ValueError):
                unchanged = False
            if unchanged:
                f.close()
                self.send_response(304)
                self.send_header('Vary', 'Accept-Encoding')
                self.send_header('Cache-Control', 'no-cache')
                self.end_headers()
                return None
        self.send_response(200)
        self.send_header('Last-Modified', self.date_time_string(modified))
        self.send_header('Content-Type', TYPES.get(os.path.splitext(path)[1], self.guess_type(path)))
        self.send_header('Content-Length', str(os.fstat(f.fileno()).st_size))
        self.send_header('Vary', 'Accept-Encoding')
        self.send_header('Cache-Control', 'no-cache')
        if content_encoding:
            self.send_header('Content-Encoding', content_encoding)
        self.end_headers()
        return f


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    handler = functools.partial(Handler, directory=sys.argv[1])
    with http.server.ThreadingHTTPServer(('127.0.0.1', int(sys.argv[2])), handler) as server:
        server.serve_forever()


main()
