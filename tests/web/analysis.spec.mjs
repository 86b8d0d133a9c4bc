// The Analysis panel: opened once from F2 or the picture's menu, its texts and numbers as
// cyclar-export analyse gives them, its markers on the frame's angles, closing with its page.
import { expect, test } from '@playwright/test';
import { animationPage, button, dimensionsPage, exportText, field, openAnimation } from './helpers.mjs';

// Equal to rounding, or both not a number (a pose that does not close).
const close = (x, y) => (Number.isNaN(x) && Number.isNaN(y)) || Math.abs(x - y) < 1e-9;

const analysisPanel = (page) => page.getByRole('dialog', { name: 'Analysis', exact: true });
const crankRocker = [160, 105, 120, 100, 45, -35]; // on the frame "Non-Grashof", on the sphere a crank-rocker

// The chart's geometry (440 x 320, margins 46, 14, 46, 38), as the desktop draws it.
const chartPoint = (theta, value) => [
    Math.round(46 + ((theta + 180) / 360) * 380),
    Math.round(46 + 236 - ((value + 180) / 360) * 236),
];

async function openPanelFromMenu(page) {
    await page.locator('#picture').click({ button: 'right' });
    await page.getByRole('menuitem', { name: 'Analysis…', exact: true }).click();
}

function markerOf(page) {
    return page.evaluate(() => window.cyclar.app.desk.top().analysis.marker);
}

// A pixel of the chart as shown: the markers' layer over the chart.
async function chartPixel(page, [x, y]) {
    return page.evaluate(([px, py]) => {
        const pixel = (selector) => [...document.querySelector(selector).getContext('2d').getImageData(px, py, 1, 1).data];
        const marker = pixel('canvas.analysis-markers');
        return marker[3] === 255 ? marker : pixel('canvas.analysis-chart');
    }, [x, y]);
}

test('F2 and the menu open one panel beside the page; Escape, the close box and the page ending close it', async ({ page }) => {
    const animation = await openAnimation(page);
    await page.locator('#picture').click();
    await page.keyboard.press('F2');
    await expect(analysisPanel(page)).toHaveCount(1);
    await openPanelFromMenu(page);
    await page.keyboard.press('F2');
    await expect(analysisPanel(page)).toHaveCount(1);

    // Beside the page, not over its picture.
    const picture = await page.locator('#picture').boundingBox();
    const panel = await analysisPanel(page).boundingBox();
    const apart = panel.x >= picture.x + picture.width || panel.x + panel.width <= picture.x || panel.y >= picture.y + picture.height;
    expect(apart, "the panel lies clear of the picture").toBe(true);

    // Escape in the panel closes the panel only; the page stays.
    await analysisPanel(page).press('Escape');
    await expect(analysisPanel(page)).toHaveCount(0);
    await expect(animation).toBeVisible();

    await openPanelFromMenu(page);
    await analysisPanel(page).getByRole('button', { name: 'Close', exact: true }).click();
    await expect(analysisPanel(page)).toHaveCount(0);
    await expect(animation).toBeVisible();

    // Back ends the page and the panel with it; the next animation page does not reopen it.
    await openPanelFromMenu(page);
    await button(animation, 'Back').click();
    await expect(dimensionsPage(page)).toBeVisible();
    await expect(analysisPanel(page)).toHaveCount(0);
    await button(dimensionsPage(page), 'Submit').click();
    await expect(animationPage(page)).toBeVisible();
    await expect(analysisPanel(page)).toHaveCount(0);
});

const linkages = [
    { name: 'the defaults', dims: [50, 30, 35, 40, 45, -35] },
    { name: 'a crank-rocker labelled Non-Grashof', dims: crankRocker },
    { name: 'a Grashof linkage', dims: [20, 50, 45, 40, 45, -35] },
    { name: 'a change-point linkage', dims: [40, 50, 60, 30, 45, -35] },
];

for (const { name, dims } of linkages) {
    test(`the panel's figures for ${name} are those of cyclar-export analyse`, async ({ page }) => {
        const expected = JSON.parse(exportText(['analyse', '--dims', dims.join(',')]));
        await openAnimation(page, dims);
        await page.locator('#picture').click();
        await page.keyboard.press('F2');
        const panel = analysisPanel(page);
        const shown = await page.evaluate((d) => {
            const [a, b, c, f, h, k] = d;
            return window.cyclar.core.analysis({ a, b, c, f, h, k });
        }, dims);
        // The module's answer is cyclar-export's, from the same writer.
        const core = shown.answer;
        for (const key of ['type', 'grashof', 'changePoint', 'inputRotates', 'outputRotates', 'reason']) {
            expect(core[key], key).toEqual(expected[key]);
        }
        // Numbers to rounding: the browser's trigonometry may differ from the C library's in the last bit.
        for (const key of ['T', 'inputLimits', 'outputLimits', 'transmission', 'swing', 'timeRatio']) {
            const mine = [core[key]].flat();
            const theirs = [expected[key]].flat();
            expect(mine.length, key).toBe(theirs.length);
            mine.forEach((value, i) => {
                if (theirs[i] === null) expect(value, `${key}[${i}]`).toBeNull();
                else expect(Math.abs(value - theirs[i]), `${key}[${i}]`).toBeLessThan(1e-9);
            });
        }
        // The panel shows the core's paragraphs, as the desktop's window does.
        for (const { name: key, text } of shown.paragraphs) await expect(panel.locator(`p[data-name="${key}"]`)).toHaveText(text);
        const paragraph = (key) => shown.paragraphs.find((p) => p.name === key)?.text;
        const degrees = (v) => `${v.toFixed(1)}\u00b0`;
        const type = expected.type === null ? 'No type' : expected.type[0].toUpperCase() + expected.type.slice(1);
        await expect(panel.locator('p.type')).toHaveText(type);
        await expect(panel.locator('p.values')).toContainText(`T1 = ${expected.T[0] > 0 ? '+' : ''}${degrees(expected.T[0])}`);
        await expect(panel).toContainText(paragraph('decision'));
        if (expected.type === null && !shown.assemblable) {
            await expect(panel.locator('p.motion')).toHaveCount(0);
            return;
        }
        const motion = panel.locator('p.motion');
        for (const limit of [...expected.inputLimits, ...expected.outputLimits]) await expect(motion).toContainText(degrees(limit));
        if (expected.inputRotates) await expect(motion).toContainText('Input a turns fully.');
        if (expected.swing !== null) await expect(motion).toContainText(`Rocker swing ${degrees(expected.swing)}, time ratio ${expected.timeRatio.toFixed(3)}.`);
        await expect(motion).toContainText(`Transmission angle \u03bc from ${degrees(expected.transmission[0])}`);
        if (paragraph('labelNote')) await expect(panel.locator('p.labelNote')).toContainText('Frame label:');
    });
}

test('the markers sit on the frame\'s angles, move tick by tick and hold when stopped', async ({ page }) => {
    const dims = crankRocker;
    const rows = exportText(['angles', '--dims', dims.join(',')]).trim().split('\n').slice(1).map((line) => line.split(',').map(Number));
    const animation = await openAnimation(page, dims);
    await button(animation, 'Stop').click();
    await page.locator('#picture').click();
    await page.keyboard.press('F2');

    // The wasm module's table is the native one: frames and branches exactly, the angles to
    // rounding (the browser's sine and arc tangent may differ from the C library's in the last bit).
    const table = await page.evaluate((d) => {
        const [a, b, c, f, h, k] = d;
        return window.cyclar.core.angleTable({ a, b, c, f, h, k }).map((r) => [r.frame, r.t, r.theta, r.psi, r.mu, r.branch]);
    }, dims);
    expect(table.length).toBe(rows.length);
    table.forEach((row, i) => {
        expect([row[0], row[5]], `frame ${i + 1}`).toEqual([rows[i][0], rows[i][5]]);
        for (let j = 1; j <= 4; ++j) expect(close(row[j], rows[i][j]), `frame ${i + 1} column ${j}: ${row[j]} ${rows[i][j]}`).toBe(true);
    });

    for (const frame of [1, 2, 20, 90, 160, 181, 200, 270, 360]) {
        await page.evaluate((n) => {
            const top = window.cyclar.app.desk.top();
            top.scene.frameIndex = n === 1 ? 360 : n - 1;
            top.OnTimer();
        }, frame);
        await expect(page.locator('#picture')).toHaveAttribute('data-frame', String(frame));
        const [, , theta, psi, mu] = rows[frame - 1];
        const marker = await markerOf(page);
        if (Number.isNaN(theta)) {
            // A pose that does not close has no markers.
            expect(marker, `frame ${frame}`).toBeNull();
            continue;
        }
        expect(Math.abs(marker.theta - theta), `frame ${frame}`).toBeLessThan(1e-9);
        expect(Math.abs(marker.psi - psi), `frame ${frame}`).toBeLessThan(1e-9);
        expect(Math.abs(marker.mu - mu), `frame ${frame}`).toBeLessThan(1e-9);
        expect(marker.disc).toEqual(chartPoint(marker.theta, marker.psi));
        expect(marker.square).toEqual(chartPoint(marker.theta, marker.mu));
        // The marker is drawn there, in its colour.
        for (const centre of [marker.disc, marker.square]) {
            expect(await chartPixel(page, centre), `frame ${frame} at ${centre}`).toEqual([200, 0, 40, 255]);
        }
    }

    // Animate: the markers move with the ticks; Stop: they hold.
    await button(animation, 'Animate').click();
    const first = await markerOf(page);
    await expect.poll(async () => (await markerOf(page)).theta).not.toBe(first.theta);
    await button(animation, 'Stop').click();
    const held = await markerOf(page);
    await page.waitForTimeout(400);
    expect(await markerOf(page)).toEqual(held);
    // Where the markers were, the chart shows through again: no trail is left, and the chart
    // itself is never drawn over.
    const covered = await page.evaluate(() => {
        const panel = window.cyclar.app.desk.top().analysis;
        const chart = panel.chart.getContext('2d').getImageData(0, 0, 440, 320).data;
        const shown = panel.context.getImageData(0, 0, 440, 320).data;
        const markers = panel.markers.getImageData(0, 0, 440, 320).data;
        let changed = 0;
        let painted = 0;
        for (let i = 0; i < chart.length; i += 4) {
            if (chart[i] !== shown[i] || chart[i + 1] !== shown[i + 1] || chart[i + 2] !== shown[i + 2]) ++changed;
            if (markers[i + 3] !== 0) ++painted;
        }
        return { changed, painted };
    });
    expect(covered.changed).toBe(0);
    expect(covered.painted).toBeGreaterThan(0);
    expect(covered.painted).toBeLessThanOrEqual(2 * 16 * 16);
});

test('Escape closes the panel first, even with the focus on the page', async ({ page }) => {
    const animation = await openAnimation(page);
    await page.keyboard.press('F2');
    await expect(analysisPanel(page)).toHaveCount(1);
    await field(animation, 'a').click();
    await page.keyboard.press('Escape');
    await expect(analysisPanel(page)).toHaveCount(0);
    await expect(animation).toBeVisible();
    // With nothing above the page, Escape is the page's own again.
    await page.keyboard.press('Escape');
    await expect(animation).toHaveCount(0);
});

test('the panel describes the linkage the picture shows, not a value only typed', async ({ page }) => {
    const animation = await openAnimation(page, crankRocker);
    // A typed a = 80 is stored by the slider's release, but the picture keeps its linkage.
    await field(animation, 'a').fill('80');
    const turn = animation.getByRole('slider', { name: 'Turn', exact: true });
    await turn.focus();
    await page.keyboard.press('ArrowRight');
    await page.keyboard.press('F2');
    expect(await page.evaluate(() => window.cyclar.app.state.animationCopy.a)).toBe(80);
    const expected = JSON.parse(exportText(['analyse', '--dims', crankRocker.join(',')]));
    await expect(analysisPanel(page).locator('p.type')).toHaveText(expected.type.charAt(0).toUpperCase() + expected.type.slice(1));
    await expect(analysisPanel(page).locator('p.values')).toContainText(`T1 = ${expected.T[0].toFixed(1)}\u00b0`);
});
