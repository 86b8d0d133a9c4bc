// Figures of the web edition, printed for the record: the downloads, the first picture, a frame.
import { expect, test } from '@playwright/test';
import { execFileSync } from 'node:child_process';
import { existsSync } from 'node:fs';
import { resolve } from 'node:path';
import { openAnimation, repository } from './helpers.mjs';

const nativeBench = process.env.CYCLAR_FRAME_BENCH ?? resolve(repository, 'build/release/bench/bench_frame_cycle');

// Bytes as sent (compressed where the server compresses), counted by the browser itself with
// its cache disabled.
async function countTransfer(page) {
    const cdp = await page.context().newCDPSession(page);
    await cdp.send('Network.enable');
    await cdp.send('Network.setCacheDisabled', { cacheDisabled: true });
    const sent = { bytes: 0, files: [] };
    const urls = new Map();
    cdp.on('Network.responseReceived', (event) => urls.set(event.requestId, event.response));
    cdp.on('Network.loadingFinished', (event) => {
        const response = urls.get(event.requestId);
        if (!response || response.url.startsWith('data:') || response.url.startsWith('blob:')) return;
        sent.bytes += event.encodedDataLength;
        sent.files.push(`${new URL(response.url).pathname} ${event.encodedDataLength}${response.headers['Content-Encoding'] ? ` (${response.headers['Content-Encoding']})` : ''}`);
    });
    return sent;
}

// The budgets, compressed: what the described pages fetch on a first visit, and the whole site
// the service worker keeps for use offline (the pages, the tool panels' code and the desk's core,
// with room for the panels still to come).
const pageBudget = 300 * 1024;
const siteBudget = 600 * 1024;
// What opening the Design panel the first time may fetch: its own code and the desk's core.
const designFiles = ['/js/design.js', '/js/desk_core.js', '/cyclar-desk.js', '/cyclar-desk-api.js', '/cyclar-desk.wasm'];
// What the working panel's first opening adds once the desk's core is in: its own code.
const workingFiles = ['/js/working.js'];

test('the page comes in 300 kB and the whole site in 600 kB, compressed; the Design and working panels fetch only their own files; the first picture\'s time', async ({ browser }) => {
    // The page's own downloads, as a first visit makes them, the worker's copy aside.
    const context = await browser.newContext({ serviceWorkers: 'block' });
    const page = await context.newPage();
    const sent = await countTransfer(page);
    const firstPicture = async () => {
        await page.waitForFunction(() => performance.getEntriesByName('cyclar-first-picture').length > 0);
        return page.evaluate(() => performance.getEntriesByName('cyclar-first-picture')[0].startTime);
    };
    await page.goto('index.html');
    const cold = await firstPicture();
    await page.waitForLoadState('networkidle');
    // Every described window and page, so that whatever they fetch counts too.
    await page.getByRole('button', { name: 'Help', exact: true }).click();
    await page.keyboard.press('Escape');
    await page.getByRole('button', { name: 'Circular View', exact: true }).click();
    await page.keyboard.press('Escape');
    await page.getByRole('button', { name: 'Continue', exact: true }).click();
    await page.getByRole('button', { name: 'Submit', exact: true }).click();
    await page.locator('#picture').waitFor();
    await page.keyboard.press('F2');
    await page.getByRole('dialog', { name: 'Analysis', exact: true }).waitFor();
    await page.waitForLoadState('networkidle');
    console.log(`web: the pages downloaded ${sent.files.length} files, ${sent.bytes} bytes as sent:\n  ${sent.files.join('\n  ')}`);
    expect(sent.bytes).toBeLessThanOrEqual(pageBudget);
    expect(sent.files.filter((file) => [...designFiles, ...workingFiles].some((own) => file.startsWith(`${own} `)))).toEqual([]);

    // The Design panel's first opening: its own files, nothing else.
    const pages = sent.files.length;
    const beforePanel = sent.bytes;
    await page.keyboard.press('F3');
    await page.getByRole('dialog', { name: 'Design', exact: true }).getByRole('radio').first().waitFor();
    await page.waitForLoadState('networkidle');
    const panel = sent.files.slice(pages);
    console.log(`web: the Design panel's first opening downloaded ${panel.length} files, ${sent.bytes - beforePanel} bytes as sent:\n  ${panel.join('\n  ')}`);
    expect(panel.map((file) => file.split(' ')[0]).sort()).toEqual([...designFiles].sort());

    // The working panel's first opening, the desk's core already in: its own code alone.
    const beforeWorking = sent.files.length;
    await page.keyboard.press('F4');
    await page.getByRole('dialog', { name: 'The working', exact: true }).getByRole('region').waitFor();
    await page.waitForLoadState('networkidle');
    const working = sent.files.slice(beforeWorking);
    console.log(`web: the working panel's first opening downloaded ${working.join(', ')}`);
    expect(working.map((file) => file.split(' ')[0])).toEqual(workingFiles);

    // Every file of the build once, as the service worker keeps them on the first visit.
    const all = await page.evaluate(async () => {
        const text = await (await fetch('sw.js', { cache: 'no-store' })).text();
        const files = JSON.parse(`[${text.match(/const files = \[([^\]]*)\]/)[1]}]`);
        return files;
    });
    const before = sent.bytes;
    await page.evaluate(async (files) => {
        await Promise.all(files.map((file) => fetch(file, { cache: 'no-store' }).then((r) => r.arrayBuffer())));
    }, all);
    await page.waitForLoadState('networkidle');
    const site = sent.bytes - before;
    console.log(`web: the whole site, ${all.length} files, ${site} bytes as sent`);
    expect(site).toBeLessThanOrEqual(siteBudget);

    // Loaded again, as a student opening the link a second time (the browser caches nothing).
    await page.goto('about:blank');
    await page.goto('index.html');
    const again = await firstPicture();
    console.log(`web: first picture on screen ${cold.toFixed(0)} ms after navigation start (first load of a new browser), ${again.toFixed(0)} ms (next load), cache disabled`);
    await context.close();
});

test('a first visit, the service worker\'s copy of the whole site included, comes in the site\'s 600 kB', async ({ browser, baseURL }) => {
    const sentSoFar = async () => Number(await (await fetch(new URL('__sent', baseURL))).text());
    const context = await browser.newContext();
    const page = await context.newPage();
    const before = await sentSoFar();
    await page.goto('index.html');
    await page.waitForFunction(async () => {
        const ready = await navigator.serviceWorker.ready;
        return ready.active?.state === 'activated' && (await caches.keys()).length === 1;
    });
    await page.getByRole('button', { name: 'Continue', exact: true }).click();
    await page.getByRole('button', { name: 'Submit', exact: true }).click();
    await page.locator('#picture').waitFor();
    await page.waitForLoadState('networkidle');
    const visit = (await sentSoFar()) - before;
    console.log(`web: a first visit with the worker keeping the site: ${visit} bytes sent by the server`);
    expect(visit).toBeLessThanOrEqual(siteBudget);
    await context.close();
});

test('a frame in the browser (compose and putImageData) against the native frame, over 360 frames', async ({ page }) => {
    await openAnimation(page);
    const perFrame = await page.evaluate(() => {
        const top = window.cyclar.app.desk.top();
        const scene = top.scene;
        const context = top.picture.getContext('2d');
        const runs = [];
        for (let run = 0; run < 5; ++run) {
            const start = performance.now();
            for (let i = 0; i < 360; ++i) {
                scene.advance();
                context.putImageData(scene.compose(), 0, 0);
            }
            runs.push((performance.now() - start) / 360);
        }
        runs.sort((x, y) => x - y);
        return runs[2];
    });
    console.log(`web: one frame ${(perFrame * 1000).toFixed(0)} us (median of 5 runs of 360 frames)`);
    expect(perFrame).toBeGreaterThan(0);
    if (!existsSync(nativeBench)) {
        console.log(`web: no native benchmark at ${nativeBench}; build the release flavour to compare`);
        return;
    }
    const report = JSON.parse(
        execFileSync(nativeBench, [
            '--benchmark_filter=BM_FrameCycle360$', '--benchmark_format=json',
            '--benchmark_repetitions=5', '--benchmark_report_aggregates_only=true',
        ], { stdio: ['ignore', 'pipe', 'pipe'] }).toString()
    );
    const median = report.benchmarks.find((b) => b.aggregate_name === 'median');
    if (!median) {
        console.log('web: the native benchmark gave no median');
        return;
    }
    const nativeFrame = median.real_time / 360 / (median.time_unit === 'ms' ? 1 : median.time_unit === 'us' ? 1e3 : 1e6);
    const ratio = perFrame / nativeFrame;
    console.log(`web: native frame ${(nativeFrame * 1000).toFixed(0)} us; browser / native = ${ratio.toFixed(2)} (at most 2 asked)`);
});

test('the Analysis panel\'s share of a tick: the pose\'s angles and the markers, over 360 ticks', async ({ page }) => {
    await openAnimation(page);
    await page.keyboard.press('F2');
    await page.getByRole('dialog', { name: 'Analysis', exact: true }).waitFor();
    const figures = await page.evaluate(() => {
        const top = window.cyclar.app.desk.top();
        top.KillTimer();
        const panel = top.analysis;
        const cycle = () => {
            const start = performance.now();
            for (let i = 0; i < 360; ++i) top.OnTimer();
            return (performance.now() - start) / 360;
        };
        // Warmed up, then the two kinds of run taken in turn, so that neither gets the colder start.
        cycle();
        const runs = { withPanel: [], withoutPanel: [] };
        for (let run = 0; run < 5; ++run) {
            top.analysis = null;
            runs.withoutPanel.push(cycle());
            top.analysis = panel;
            runs.withPanel.push(cycle());
        }
        const median = (values) => values.sort((x, y) => x - y)[2];
        return { withPanel: median(runs.withPanel), withoutPanel: median(runs.withoutPanel) };
    });
    const share = figures.withPanel / figures.withoutPanel - 1;
    console.log(`web: a tick ${(figures.withoutPanel * 1000).toFixed(0)} us, with the Analysis panel open ${(figures.withPanel * 1000).toFixed(0)} us (+${(share * 100).toFixed(0)}%; medians of 5 runs of 360 ticks)`);
    expect(figures.withPanel).toBeGreaterThan(0);
});
