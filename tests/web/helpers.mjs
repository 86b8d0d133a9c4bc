// Shared steps of the browser tests: opening the page, walking to a page, reading the picture.
import { expect } from '@playwright/test';
import { execFileSync, spawnSync } from 'node:child_process';
import { existsSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { readPng } from './png.mjs';

export const repository = fileURLToPath(new URL('../..', import.meta.url));
export const exportTool =
    process.env.CYCLAR_EXPORT ?? resolve(repository, 'build/release/tools/cyclar-export');

export const keys = ['a', 'b', 'c', 'f', 'h', 'k'];
export const defaults = ['50', '30', '35', '40', '45', '-35'];

export const windowNamed = (page, caption) => page.getByRole('dialog', { name: caption, exact: true });
export const titlePage = (page) => windowNamed(page, 'Animation of Spherical Four-bar Linkages');
export const dimensionsPage = (page) => windowNamed(page, 'Dimensions of Spherical Four-bar Linkages');
export const animationPage = (page) => windowNamed(page, 'Animation of Four-bar Linkages');
export const message = (page) => page.getByRole('alertdialog', { name: 'cyclar', exact: true });
export const field = (scope, name) => scope.getByRole('textbox', { name, exact: true });
export const button = (scope, name) => scope.getByRole('button', { name, exact: true });
export const slider = (scope, name) => scope.getByRole('slider', { name, exact: true });

// Loads the page and waits until its first window is up.
export async function openCyclar(page, fragment = '') {
    await page.goto(`index.html${fragment}`);
    await page.waitForFunction(() => window.cyclar !== undefined && window.cyclar.app.desk.stack.length > 0);
}

// Title page, Continue, the given dimensions (if any) typed in, Submit.
export async function openAnimation(page, dims) {
    await openCyclar(page);
    await button(titlePage(page), 'Continue').click();
    const dimensions = dimensionsPage(page);
    if (dims) {
        for (let i = 0; i < keys.length; ++i) await field(dimensions, keys[i]).fill(String(dims[i]));
    }
    await button(dimensions, 'Submit').click();
    await expect(animationPage(page)).toBeVisible();
    return animationPage(page);
}

// The canvas's pixels, RGBA, as the page holds them.
export async function canvasPixels(page, selector = '#picture') {
    const base64 = await page.evaluate((sel) => {
        const canvas = document.querySelector(sel);
        const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
        let text = '';
        for (let i = 0; i < data.length; i += 0x8000) text += String.fromCharCode(...data.subarray(i, i + 0x8000));
        return btoa(text);
    }, selector);
    return Buffer.from(base64, 'base64');
}

// The picture cyclar-export draws natively for the same linkage, frame and view (and `options`,
// more of its arguments, such as ['--circuit', '2']).
export function nativePicture({ dims, frame, turn, tilt, options = [] }) {
    if (!existsSync(exportTool)) throw new Error(`${exportTool} is missing: build the desktop program first`);
    const folder = mkdtempSync(join(tmpdir(), 'cyclar-web-'));
    try {
        const file = join(folder, 'frame.png');
        execFileSync(exportTool, [
            'png', '--dims', dims.join(','), '--frame', String(frame),
            '--turn', String(turn), '--tilt', String(tilt), ...options, '-o', file,
        ], { stdio: ['ignore', 'pipe', 'pipe'] });
        return readPng(file);
    } finally {
        rmSync(folder, { recursive: true, force: true });
    }
}

// How many pixels differ, and the first one that does.
export function compareRgba(actual, expected) {
    let differing = 0;
    let first = -1;
    for (let i = 0; i < expected.length; i += 4) {
        if (actual[i] !== expected[i] || actual[i + 1] !== expected[i + 1] || actual[i + 2] !== expected[i + 2] || actual[i + 3] !== expected[i + 3]) {
            if (first < 0) first = i / 4;
            ++differing;
        }
    }
    return { differing, first };
}

// What cyclar-export prints on stdout for these arguments (it must succeed).
export function exportText(args) {
    if (!existsSync(exportTool)) throw new Error(`${exportTool} is missing: build the desktop program first`);
    return execFileSync(exportTool, args, { encoding: 'utf8', stdio: ['ignore', 'pipe', 'pipe'] });
}

// cyclar-export's exit status, stdout and stderr for these arguments, whatever the outcome.
export function exportRun(args) {
    if (!existsSync(exportTool)) throw new Error(`${exportTool} is missing: build the desktop program first`);
    const run = spawnSync(exportTool, args, { encoding: 'utf8', maxBuffer: 1 << 24 });
    return { status: run.status, stdout: run.stdout, stderr: run.stderr };
}
