// Figures of the web edition, printed for the record: the download, the first picture, a frame.
import { expect, test } from '@playwright/test';
import { execFileSync } from 'node:child_process';
import { existsSync } from 'node:fs';
import { resolve } from 'node:path';
import { openAnimation, repository } from './helpers.mjs';

const nativeBench = process.env.CYCLAR_FRAME_BENCH ?? resolve(repository, 'build/release/bench/bench_frame_cycle');

test('everything the page downloads fits in 1.5 MB; the first picture shows within a second', async ({ page }) => {
    let bytes = 0;
    const files = [];
    page.on('response', async (response) => {
        const body = await response.body().catch(() => Buffer.alloc(0));
        bytes += body.length;
        files.push(`${new URL(response.url()).pathname} ${body.length}`);
    });
    const firstPicture = async () => {
        await page.waitForFunction(() => performance.getEntriesByName('cyclar-first-picture').length > 0);
        return page.evaluate(() => performance.getEntriesByName('cyclar-first-picture')[0].startTime);
    };
    await page.goto('index.html');
    const cold = await firstPicture();
    await page.waitForLoadState('networkidle');
    // Every other window and page, so that whatever they fetch counts too.
    await page.getByRole('button', { name: 'Help', exact: true }).click();
    await page.keyboard.press('Escape');
    await page.getByRole('button', { name: 'Circular View', exact: true }).click();
    await page.keyboard.press('Escape');
    await page.getByRole('button', { name: 'Continue', exact: true }).click();
    await page.getByRole('button', { name: 'Submit', exact: true }).click();
    await page.locator('#picture').waitFor();
    await page.waitForLoadState('networkidle');
    console.log(`web: downloaded ${files.length} files, ${bytes} bytes:\n  ${files.join('\n  ')}`);
    expect(bytes).toBeLessThanOrEqual(1.5 * 1024 * 1024);

    // Loaded again, as a student opening the link a second time (the browser caches nothing:
    // the test server forbids it).
    await page.goto('about:blank');
    await page.goto('index.html');
    const again = await firstPicture();
    console.log(`web: first picture on screen ${cold.toFixed(0)} ms after navigation start (first load of a new browser), ${again.toFixed(0)} ms (next load)`);
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
