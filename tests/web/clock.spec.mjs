// The animation clock as the user drives it: Animate moves the linkage, Stop holds it.
import { expect, test } from '@playwright/test';
import { button, canvasPixels, compareRgba, openAnimation, slider } from './helpers.mjs';

const frameOf = async (page) => Number(await page.locator('#picture').getAttribute('data-frame'));

test('a new page stands still on frame 1 until Animate', async ({ page }) => {
    await openAnimation(page);
    const first = await canvasPixels(page);
    await page.waitForTimeout(400);
    expect(await frameOf(page)).toBe(1);
    expect(compareRgba(await canvasPixels(page), first).differing).toBe(0);
    await expect(page.locator('#picture')).not.toHaveAttribute('data-period');
});

test('Animate moves the picture; Stop holds it; Animate resumes after the held frame', async ({ page }) => {
    const animation = await openAnimation(page);
    await slider(animation, 'Speed').fill('100');
    await expect(page.locator('#picture')).toHaveAttribute('data-period', '90');
    await button(animation, 'Stop').click();
    const still = await canvasPixels(page);

    await button(animation, 'Animate').click();
    // Animate restores the speed saved by the Stop.
    await expect(page.locator('#picture')).toHaveAttribute('data-period', '90');
    const start = await frameOf(page);
    await expect.poll(() => frameOf(page)).toBeGreaterThan(start + 3);
    expect(compareRgba(await canvasPixels(page), still).differing).toBeGreaterThan(0);

    await button(animation, 'Stop').click();
    const held = await frameOf(page);
    const heldPixels = await canvasPixels(page);
    await page.waitForTimeout(500);
    expect(await frameOf(page)).toBe(held);
    expect(compareRgba(await canvasPixels(page), heldPixels).differing).toBe(0);

    await button(animation, 'Animate').click();
    await expect.poll(() => frameOf(page)).not.toBe(held);
    const next = await frameOf(page);
    // The first tick after Animate shows the frame after the held one (or later ones).
    expect((next - held + 360) % 360).toBeGreaterThan(0);
});

const speeds = [
    { position: 0, period: 1000 },
    { position: 9, period: 1000 },
    { position: 10, period: 500 },
    { position: 55, period: 166 },
    { position: 95, period: 100 },
    { position: 100, period: 90 },
];

test('the speed slider, let go by keyboard or pointer, sets the clock period of its table', async ({ page }) => {
    const animation = await openAnimation(page);
    const speed = slider(animation, 'Speed');
    for (const { position, period } of speeds) {
        await speed.fill(String(position));
        await expect(page.locator('#picture')).toHaveAttribute('data-period', String(period));
    }
    await button(animation, 'Stop').click();
    await speed.focus();
    await page.keyboard.press('ArrowLeft'); // 100 -> 99: one keyboard step is a release
    await expect(page.locator('#picture')).toHaveAttribute('data-period', '100');
});
