// The browser's picture against cyclar-export's, pixel for pixel.
import { expect, test } from '@playwright/test';
import { button, canvasPixels, compareRgba, nativePicture, openAnimation, slider } from './helpers.mjs';

const defaultsDims = [50, 30, 35, 40, 45, -35];
const grashof = [20, 50, 45, 40, 45, -35];
const symmetric = [40, 30, 30, 40, 20, 10]; // a = f and b = c
const pastHalfTurn = [160, 105, 120, 100, 45, -35]; // both link pairs sum past 180 degrees

// Frames, views (as slider positions) and linkages; positions 40 give the starting view.
const cases = [
    { dims: defaultsDims, frame: 1, turnPos: 40, tiltPos: 40 },
    { dims: defaultsDims, frame: 90, turnPos: 50, tiltPos: 50 },
    { dims: defaultsDims, frame: 360, turnPos: 0, tiltPos: 100 },
    { dims: grashof, frame: 137, turnPos: 61, tiltPos: 27 },
    { dims: grashof, frame: 271, turnPos: 100, tiltPos: 0 },
    { dims: symmetric, frame: 45, turnPos: 33, tiltPos: 72 },
    { dims: symmetric, frame: 200, turnPos: 40, tiltPos: 40 },
    { dims: pastHalfTurn, frame: 120, turnPos: 40, tiltPos: 40 },
];

const sliderAngle = (p) => Math.trunc(((p - 50) * 9) / 5);

test('the first picture of a new animation page is the native one', async ({ page }) => {
    await openAnimation(page);
    const native = nativePicture({ dims: defaultsDims, frame: 1, turn: -18, tilt: -18 });
    const result = compareRgba(await canvasPixels(page), native.rgba);
    expect(result, `first differing pixel ${result.first}`).toEqual({ differing: 0, first: -1 });
});

for (const c of cases) {
    const turn = sliderAngle(c.turnPos);
    const tilt = sliderAngle(c.tiltPos);
    test(`dims ${c.dims.join(',')}, frame ${c.frame}, turn ${turn}, tilt ${tilt}: equal to cyclar-export`, async ({ page }) => {
        const animation = await openAnimation(page, c.dims);
        // The view sliders, let go at their positions; then Stop holds the clock.
        await slider(animation, 'Turn').fill(String(c.turnPos));
        await slider(animation, 'Tilt').fill(String(c.tiltPos));
        await button(animation, 'Stop').click();
        // The frame before the wanted one, then one tick of the page's own clock.
        await page.evaluate((frame) => {
            const top = window.cyclar.app.desk.top();
            top.scene.frameIndex = frame - 1;
            top.OnTimer();
        }, c.frame);
        await expect(page.locator('#picture')).toHaveAttribute('data-frame', String(c.frame));
        const native = nativePicture({ dims: c.dims, frame: c.frame, turn, tilt });
        const result = compareRgba(await canvasPixels(page), native.rgba);
        expect(result, `first differing pixel ${result.first}`).toEqual({ differing: 0, first: -1 });
    });
}
