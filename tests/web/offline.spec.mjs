// Offline and installable: the service worker keeps the whole build (the tool panels' code and
// the desk's core with the rest), the manifest and its icons; the servers send precompressed
// files; a page that cannot run says what to do.
import { expect, test } from '@playwright/test';
import { spawn } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { get } from 'node:http';
import { join, resolve } from 'node:path';
import { gunzipSync } from 'node:zlib';
import { pathToFileURL } from 'node:url';
import { animationPage, button, dimensionsPage, openCyclar, repository, titlePage } from './helpers.mjs';

const site = process.env.CYCLAR_WEB_SITE ?? resolve(repository, 'build/web/site');

// Waits until the service worker has cached the build and controls the page.
async function installed(page) {
    await page.waitForFunction(async () => {
        const ready = await navigator.serviceWorker.ready;
        return ready.active?.state === 'activated' && navigator.serviceWorker.controller !== null;
    });
}

test('after one visit the pages work offline, buttons and all, and a new build replaces the old cache', async ({ page, context }) => {
    // A cache an earlier build left.
    await page.goto('manifest.webmanifest');
    await page.evaluate(async () => (await caches.open('cyclar-0123456789abcdef')).put('old', new Response('old')));
    await openCyclar(page);
    await installed(page);
    const cached = await page.evaluate(async () => {
        const names = await caches.keys();
        const held = await (await caches.open(names[0])).keys();
        return { names, held: held.map((request) => new URL(request.url).pathname) };
    });
    expect(cached.names).toHaveLength(1);
    const sw = readFileSync(join(site, 'sw.js'), 'utf8');
    expect(cached.names[0]).toBe(`cyclar-${sw.match(/const build = '([0-9a-f]{16})'/)[1]}`);
    for (const file of ['/index.html', '/cyclar-core.wasm', '/cyclar-desk.wasm', '/js/pages.js', '/js/design.js', '/art/bitmap-139.png', '/art/icon-512.png', '/fonts/cyclar-serif.woff2']) {
        expect(cached.held).toContain(file);
    }

    await context.setOffline(true);
    await page.reload();
    await expect(titlePage(page)).toBeVisible();
    await button(titlePage(page), 'Continue').click();
    await button(dimensionsPage(page), 'Submit').click();
    await expect(animationPage(page)).toBeVisible();
    await button(animationPage(page), 'Animate').click();
    await expect(page.locator('#picture')).not.toHaveAttribute('data-frame', '0');
    const broken = await page.evaluate(() =>
        [...document.querySelectorAll('img')].filter((image) => !image.complete || image.naturalWidth === 0).map((image) => image.src)
    );
    expect(broken).toEqual([]);
    // The tool panels too: the Design panel's code and the desk's core come from the copy.
    await page.keyboard.press('F3');
    await expect(page.getByRole('dialog', { name: 'Design', exact: true }).getByRole('radio').first()).toBeChecked();
    await context.setOffline(false);
});

test('the pictures are all loaded at the start: a network gone later breaks no button', async ({ browser }) => {
    const context = await browser.newContext({ serviceWorkers: 'block' });
    const page = await context.newPage();
    await openCyclar(page);
    await page.evaluate(() => window.cyclar.pictures);
    await context.setOffline(true);
    await button(titlePage(page), 'Continue').click();
    await button(dimensionsPage(page), 'Submit').click();
    await button(animationPage(page), 'Help').click();
    await page.keyboard.press('Escape');
    const images = await page.evaluate(() => [...document.querySelectorAll('img')].map((image) => image.complete && image.naturalWidth > 0));
    expect(images.length).toBeGreaterThanOrEqual(5);
    expect(images.every(Boolean)).toBe(true);
    await context.close();
});

test('the manifest names the app, its colours and its 192 and 512 px icons', async ({ page }) => {
    await page.goto('index.html');
    const href = await page.locator('link[rel="manifest"]').getAttribute('href');
    const manifest = await (await page.request.get(href)).json();
    expect(manifest.name).toContain('cyclar');
    expect(manifest.display).toBe('standalone');
    expect(manifest.theme_color).toMatch(/^#[0-9a-f]{6}$/);
    expect(manifest.background_color).toMatch(/^#[0-9a-f]{6}$/);
    for (const size of [192, 512]) {
        const icon = manifest.icons.find((i) => i.sizes === `${size}x${size}`);
        const png = await (await page.request.get(icon.src)).body();
        expect([png.readUInt32BE(16), png.readUInt32BE(20)]).toEqual([size, size]);
    }
});

test('opened from a file, the page says to serve it over http', async ({ page }) => {
    await page.goto(pathToFileURL(join(site, 'index.html')).href);
    const notice = page.getByRole('alert');
    await expect(notice).toBeVisible();
    await expect(notice).toContainText('over http');
    await expect(notice).toContainText('scripts/web.sh');
});

test('when a script cannot be loaded, the page says so and what to do', async ({ page }) => {
    await page.route('**/js/pages.js', (route) => route.abort());
    await page.goto('index.html');
    await expect(page.getByRole('alert')).toContainText('could not be loaded');
    await expect(page.getByRole('alert')).toContainText('scripts/web.sh');
});

// One GET from a server: its status, headers and the body as sent.
function fetchRaw(url, headers) {
    return new Promise((done, fail) => {
        get(url, { headers }, (response) => {
            const parts = [];
            response.on('data', (part) => parts.push(part));
            response.on('end', () => done({ status: response.statusCode, headers: response.headers, body: Buffer.concat(parts) }));
        }).on('error', fail);
    });
}

test('scripts/web.sh\'s server sends the precompressed copies with their Content-Encoding', async () => {
    const port = 8000 + Math.floor(Math.random() * 900);
    const server = spawn('python3', [resolve(repository, 'scripts/web-serve.py'), site, String(port)], { stdio: 'ignore' });
    try {
        let first;
        for (let i = 0; i < 50 && !first; ++i) {
            first = await fetchRaw(`http://127.0.0.1:${port}/`, {}).catch(() => null);
            if (!first) await new Promise((r) => setTimeout(r, 100));
        }
        expect(first.status).toBe(200);
        for (const file of ['cyclar-core.wasm', 'js/pages.js', 'index.html']) {
            const plain = readFileSync(join(site, file));
            const zipped = await fetchRaw(`http://127.0.0.1:${port}/${file}`, { 'Accept-Encoding': 'gzip, deflate' });
            expect(zipped.headers['content-encoding']).toBe('gzip');
            expect(zipped.body.length).toBeLessThan(plain.length);
            expect(gunzipSync(zipped.body).equals(plain)).toBe(true);
            const asIs = await fetchRaw(`http://127.0.0.1:${port}/${file}`, {});
            expect(asIs.headers['content-encoding']).toBeUndefined();
            expect(asIs.body.equals(plain)).toBe(true);
        }
        const wasm = await fetchRaw(`http://127.0.0.1:${port}/cyclar-core.wasm`, { 'Accept-Encoding': 'gzip' });
        expect(wasm.headers['content-type']).toBe('application/wasm');
        // A file the browser holds is checked, not sent again.
        const held = await fetchRaw(`http://127.0.0.1:${port}/cyclar-core.wasm`, { 'Accept-Encoding': 'gzip', 'If-Modified-Since': wasm.headers['last-modified'] });
        expect(held.status).toBe(304);
        expect(held.body.length).toBe(0);
        const png = await fetchRaw(`http://127.0.0.1:${port}/art/bitmap-139.png`, { 'Accept-Encoding': 'gzip' });
        expect(png.headers['content-encoding']).toBeUndefined();
        expect((await fetchRaw(`http://127.0.0.1:${port}/nothing.js`, { 'Accept-Encoding': 'gzip' })).status).toBe(404);
    } finally {
        server.kill();
    }
});
