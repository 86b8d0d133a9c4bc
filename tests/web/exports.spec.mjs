// Export picture… and Export animation… against cyclar-export, and the picture drawn at the
// device pixel ratio.
import { expect, test } from '@playwright/test';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { canvasPixels, compareRgba, exportTool, openAnimation, openCyclar } from './helpers.mjs';
import { readPng } from './png.mjs';

const dims = [20, 50, 45, 40, 45, -35];

// Runs cyclar-export with `args` and "-o" a file of the folder; returns the file's path.
function exported(args, folder, name) {
    const file = join(folder, name);
    execFileSync(exportTool, [...args, '-o', file], { stdio: ['ignore', 'pipe', 'pipe'] });
    return file;
}

// Chooses a menu item of the picture's menu and returns the downloaded file's path.
async function downloadFromMenu(page, item, folder, timeout = 30_000) {
    await page.locator('#picture').click({ button: 'right' });
    const downloading = page.waitForEvent('download', { timeout });
    await page.getByRole('menuitem', { name: item }).click();
    const download = await downloading;
    const path = join(folder, download.suggestedFilename());
    await download.saveAs(path);
    return path;
}

test.describe('exports', () => {
    let folder;
    test.beforeEach(() => {
        folder = mkdtempSync(join(tmpdir(), 'cyclar-downloads-'));
    });
    test.afterEach(() => rmSync(folder, { recursive: true, force: true }));

    test('Export picture… gives the pixels of cyclar-export png; as SVG, its very bytes', async ({ page }) => {
        await openAnimation(page, dims);
        const ours = readPng(await downloadFromMenu(page, 'Export picture…', folder));
        const theirs = readPng(exported(['png', '--dims', dims.join(',')], folder, 'native.png'));
        expect([ours.width, ours.height]).toEqual([480, 480]);
        const result = compareRgba(ours.rgba, theirs.rgba);
        expect(result, `first differing pixel ${result.first}`).toEqual({ differing: 0, first: -1 });

        const svg = readFileSync(await downloadFromMenu(page, 'Export picture as SVG…', folder), 'utf8');
        expect(svg).not.toContain('<text');
        expect(svg).toBe(readFileSync(exported(['svg', '--dims', dims.join(',')], folder, 'native.svg'), 'utf8'));
    });

    test('Export animation… gives the bytes of cyclar-export gif, with progress shown', async ({ page }) => {
        test.setTimeout(120_000);
        await openAnimation(page, dims);
        const gif = await downloadFromMenu(page, 'Export animation…', folder, 100_000);
        await expect(page.getByRole('status')).toContainText('Export animation');
        const ours = readFileSync(gif);
        const theirs = readFileSync(exported(['gif', '--dims', dims.join(','), '--speed', '50'], folder, 'native.gif'));
        expect(ours.subarray(0, 6).toString('latin1')).toBe('GIF89a');
        expect(ours.length).toBe(theirs.length);
        expect(Buffer.compare(ours, theirs)).toBe(0);
    });
});

test.describe('at three device pixels per CSS pixel', () => {
    test.use({ deviceScaleFactor: 3 });

    test('the picture is drawn at 1440 x 1440, shown at 480 x 480, equal to png --scale 3', async ({ page }) => {
        await openAnimation(page, dims);
        const size = await page.evaluate(() => {
            const canvas = document.querySelector('#picture');
            const box = canvas.getBoundingClientRect();
            return [canvas.width, canvas.height, box.width, box.height];
        });
        expect(size).toEqual([1440, 1440, 480, 480]);
        const folder = mkdtempSync(join(tmpdir(), 'cyclar-native-'));
        try {
            const native = readPng(exported(['png', '--dims', dims.join(','), '--scale', '3'], folder, 'large.png'));
            const result = compareRgba(await canvasPixels(page), native.rgba);
            expect(result, `first differing pixel ${result.first}`).toEqual({ differing: 0, first: -1 });
        } finally {
            rmSync(folder, { recursive: true, force: true });
        }
    });

    test('the title clip is drawn at three times its pixels in its own box', async ({ page }) => {
        await openCyclar(page);
        const sizes = await page.evaluate(() => {
            const canvas = document.querySelector('canvas.clip');
            return [canvas.width, canvas.height, canvas.clientWidth, canvas.clientHeight];
        });
        expect(sizes[0]).toBe(3 * sizes[2]);
        expect(sizes[1]).toBe(3 * sizes[3]);
        expect(sizes[2]).toBeGreaterThan(0);
    });
});
