// The rate chart in the Analysis panel and "Show rotation axis" on the picture's menu, against
// cyclar-export: the markers on the frame's rates, the overlay's pixels those of png.
import { expect, test } from '@playwright/test';
import { canvasPixels, compareRgba, exportText, openAnimation } from './helpers.mjs';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { exportTool } from './helpers.mjs';
import { readPng } from './png.mjs';

const analysisPanel = (page) => page.getByRole('dialog', { name: 'Analysis', exact: true });
const dims = [50, 30, 35, 40, 45, -35];

// Puts the page on frame n and paints it, as a tick would.
async function showFrame(page, frame) {
    await page.evaluate((n) => {
        const top = window.cyclar.app.desk.top();
        top.scene.frameIndex = n === 1 ? 360 : n - 1;
        top.OnTimer();
    }, frame);
    await expect(page.locator('#picture')).toHaveAttribute('data-frame', String(frame));
}

test('the Rates tab charts dψ/dθ and the speed of P, its markers on the frame\'s rates', async ({ page }) => {
    await openAnimation(page, dims);
    await page.locator('#picture').click();
    await page.keyboard.press('F2');
    const panel = analysisPanel(page);
    // The angle chart first, as always; the rates behind their tab.
    await expect(panel.getByRole('tab', { name: 'Angles' })).toHaveAttribute('aria-selected', 'true');
    await expect(panel.locator('canvas.rate-chart')).toBeHidden();
    await panel.getByRole('tab', { name: 'Rates' }).click();
    await expect(panel.locator('canvas.rate-chart')).toBeVisible();
    await expect(panel.locator('canvas.analysis-chart').first()).toBeHidden();

    const rows = exportText(['rates', '--dims', dims.join(',')]).trim().split('\n');
    const header = rows[0].split(',');
    const column = (name) => header.indexOf(name);
    for (const frame of [1, 45, 120, 200, 300]) {
        await showFrame(page, frame);
        const cells = rows[frame].split(',').map(Number);
        const marker = await page.evaluate(() => window.cyclar.app.desk.top().analysis.rateMarker);
        expect(Math.abs(marker.theta - cells[column('input')]), `frame ${frame}`).toBeLessThan(1e-9);
        expect(Math.abs(marker.outputRate - cells[column('outputRate')]), `frame ${frame}`).toBeLessThan(1e-9);
        expect(Math.abs(marker.pointSpeed - cells[column('pointSpeed')]), `frame ${frame}`).toBeLessThan(1e-9);
        // The marker layer holds the marker's colour at each centre, and nothing far from them.
        const pixels = await page.evaluate((centres) => {
            const layer = document.querySelectorAll('canvas.analysis-markers')[1].getContext('2d');
            return centres.map((c) => (c ? [...layer.getImageData(c[0], c[1], 1, 1).data] : null));
        }, [marker.disc, marker.square]);
        for (const pixel of pixels) if (pixel) expect(pixel, `frame ${frame}`).toEqual([200, 0, 40, 255]);
        const drawn = await page.evaluate(() => {
            const layer = document.querySelectorAll('canvas.analysis-markers')[1];
            const data = layer.getContext('2d').getImageData(0, 0, layer.width, layer.height).data;
            let count = 0;
            for (let i = 3; i < data.length; i += 4) count += data[i] > 0;
            return count;
        });
        expect(drawn, `frame ${frame}: only the two markers`).toBeLessThanOrEqual(2 * 16 * 16);
        expect(drawn).toBeGreaterThan(40);
    }
});

test('"Show rotation axis" draws the pixels of cyclar-export png --rotation-axis, and off again those without', async ({ page }) => {
    await openAnimation(page, dims);
    const folder = mkdtempSync(join(tmpdir(), 'cyclar-axis-'));
    const native = (extra) => {
        const file = join(folder, 'frame.png');
        execFileSync(exportTool, ['png', '--dims', dims.join(','), '--frame', '90', ...extra, '-o', file]);
        return readPng(file).rgba;
    };
    try {
        await showFrame(page, 90);
        const menuItem = () => page.getByRole('menuitemcheckbox', { name: 'Show rotation axis' });
        await page.locator('#picture').click({ button: 'right' });
        await expect(menuItem()).toHaveAttribute('aria-checked', 'false');
        await menuItem().click();
        await expect(page.locator('#picture')).toHaveAttribute('data-rotation-axis', 'true');
        let result = compareRgba(await canvasPixels(page), native(['--rotation-axis']));
        expect(result, `first differing pixel ${result.first}`).toEqual({ differing: 0, first: -1 });

        await page.locator('#picture').click({ button: 'right' });
        await expect(menuItem()).toHaveAttribute('aria-checked', 'true');
        await menuItem().click();
        result = compareRgba(await canvasPixels(page), native([]));
        expect(result, `first differing pixel ${result.first}`).toEqual({ differing: 0, first: -1 });
    } finally {
        rmSync(folder, { recursive: true, force: true });
    }
});
