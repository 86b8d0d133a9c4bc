// The circuit shown and the input's pace: the picture's menu, the picture against cyclar-export's,
// the Analysis panel's words and markers, the address and a saved file.
import { expect, test } from '@playwright/test';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import {
    animationPage,
    button,
    canvasPixels,
    compareRgba,
    dimensionsPage,
    message,
    nativePicture,
    openAnimation,
    openCyclar,
} from './helpers.mjs';

const crankRocker = [160, 105, 120, 100, 45, -35];

// A check item of the picture's menu, opened. (A checked item's name begins with its check
// mark, so the name is matched as a part.)
async function menuItem(page, name) {
    await animationPage(page).locator('#picture').click({ button: 'right' });
    return page.getByRole('menuitemcheckbox', { name });
}

async function choose(page, name) {
    await (await menuItem(page, name)).click();
}

// Stops the clock on a frame, as a tick of the page's own clock reaches it.
async function standOn(page, frame) {
    await button(animationPage(page), 'Stop').click();
    await page.evaluate((wanted) => {
        const top = window.cyclar.app.desk.top();
        top.scene.frameIndex = wanted - 1;
        top.OnTimer();
    }, frame);
    await expect(page.locator('#picture')).toHaveAttribute('data-frame', String(frame));
}

async function expectNativePicture(page, frame, options) {
    const native = nativePicture({ dims: crankRocker, frame, turn: -18, tilt: -18, options });
    const result = compareRgba(await canvasPixels(page), native.rgba);
    expect(result, `first differing pixel ${result.first}`).toEqual({ differing: 0, first: -1 });
}

test('a linkage with one circuit greys Other circuit out; Turn the input evenly is off', async ({ page }) => {
    await openAnimation(page);
    const other = await menuItem(page, 'Other circuit');
    await expect(other).toBeDisabled();
    await expect(other).toHaveAttribute('aria-checked', 'false');
    await expect(page.getByRole('menuitemcheckbox', { name: 'Turn the input evenly' })).toHaveAttribute('aria-checked', 'false');
    await page.keyboard.press('Escape');
});

test('Other circuit and the even input show what cyclar-export draws, and the address keeps them', async ({ page }) => {
    await openAnimation(page, crankRocker);
    await standOn(page, 137);
    await choose(page, 'Other circuit');
    await expect(page.locator('#picture')).toHaveAttribute('data-circuit', '2');
    await expect(page).toHaveURL(/#dims=160,105,120,100,45,-35&circuit=2$/);
    await expectNativePicture(page, 137, ['--circuit', '2']);

    await choose(page, 'Turn the input evenly');
    await expect(page).toHaveURL(/&circuit=2&evenInput=true$/);
    await expectNativePicture(page, 137, ['--circuit', '2', '--even-input']);
    await expect(await menuItem(page, 'Other circuit')).toHaveAttribute('aria-checked', 'true');
    await expect(page.getByRole('menuitemcheckbox', { name: 'Turn the input evenly' })).toHaveAttribute('aria-checked', 'true');
    await page.keyboard.press('Escape');

    // A reload comes back to the dimensions page, whose Submit shows the same motion.
    await page.reload();
    await button(dimensionsPage(page), 'Submit').click();
    await expect(page.locator('#picture')).toHaveAttribute('data-circuit', '2');
    await expectNativePicture(page, 1, ['--circuit', '2', '--even-input']);

    // Back: the next linkage starts on its circuit 1, at the pace chosen.
    await button(animationPage(page), 'Back').click();
    await expect(page).toHaveURL(/#dims=160,105,120,100,45,-35&evenInput=true$/);
    await button(dimensionsPage(page), 'Submit').click();
    await expect(page.locator('#picture')).toHaveAttribute('data-circuit', '1');
    await expectNativePicture(page, 1, ['--even-input']);
});

test('the Analysis panel says which circuit is shown and its markers follow it', async ({ page }) => {
    await openAnimation(page, crankRocker);
    await standOn(page, 200);
    await page.keyboard.press('F2');
    const circuits = page.locator('.analysis-texts p[data-name="circuits"]');
    await expect(circuits).toContainText('Two circuits');
    await expect(circuits).toContainText('Circuit 1 is shown');
    await choose(page, 'Other circuit');
    await expect(circuits).toContainText('Circuit 2 is shown; the other loop of the coupler curve belongs to circuit 1.');
    const [marker, expected] = await page.evaluate((dims) => {
        const top = window.cyclar.app.desk.top();
        const [a, b, c, f, h, k] = dims;
        const row = window.cyclar.core.angleTable({ a, b, c, f, h, k }, { circuit: 2 })[199];
        return [top.analysis.marker, row];
    }, crankRocker);
    expect(marker.theta).toBe(expected.theta);
    expect(marker.psi).toBe(expected.psi);
    expect(expected.branch).toBe(1);
});

test('a saved linkage keeps the circuit and the pace, and opening it shows them', async ({ page }) => {
    const folder = mkdtempSync(join(tmpdir(), 'cyclar-circuits-'));
    try {
        await openAnimation(page, crankRocker);
        await choose(page, 'Other circuit');
        await choose(page, 'Turn the input evenly');
        const download = page.waitForEvent('download');
        await page.keyboard.press('Control+S');
        const path = join(folder, 'circuit.cyclar');
        await (await download).saveAs(path);
        const text = readFileSync(path, 'utf8');
        expect(text).toContain('"circuit": 2');
        expect(text).toContain('"evenInput": true');

        // Back to circuit 1 at the sweep's pace, then the file brings both back.
        await choose(page, 'Other circuit');
        await choose(page, 'Turn the input evenly');
        await expect(page.locator('#picture')).toHaveAttribute('data-circuit', '1');
        const chooser = page.waitForEvent('filechooser');
        await animationPage(page).locator('#picture').click({ button: 'right' });
        await page.getByRole('menuitem', { name: 'Open linkage…', exact: true }).click();
        await (await chooser).setFiles(path);
        await expect(page.locator('#picture')).toHaveAttribute('data-circuit', '2');
        await expect(await menuItem(page, 'Turn the input evenly')).toHaveAttribute('aria-checked', 'true');
        await page.keyboard.press('Escape');
    } finally {
        rmSync(folder, { recursive: true, force: true });
    }
});

const badLinks = [
    { fragment: '#dims=20,50,45,40,45,-35&circuit=3', says: 'The link\'s circuit, "3", is not 1 or 2' },
    { fragment: '#dims=20,50,45,40,45,-35&evenInput=yes', says: 'The link\'s evenInput, "yes", is not true or false.' },
    { fragment: '#dims=20,50,45,40,45,-35&zoom=2', says: 'The link has a part it does not know, "zoom=2".' },
];

for (const { fragment, says } of badLinks) {
    test(`a link with a bad motion (${fragment.split('&')[1]}) is refused with its reason`, async ({ page }) => {
        await openCyclar(page, fragment);
        await expect(message(page)).toContainText(says);
        await button(message(page), 'OK').click();
    });
}
