// The page flow, walked as a user walks the desktop program.
import { expect, test } from '@playwright/test';
import {
    animationPage, button, defaults, dimensionsPage, field, keys, message, openAnimation,
    openCyclar, slider, titlePage, windowNamed,
} from './helpers.mjs';

test('title page: its clip plays, Help, Circular View and About open over it and close', async ({ page }) => {
    await openCyclar(page);
    const title = titlePage(page);
    await expect(title).toBeVisible();
    for (const name of ['Continue', 'Help', 'Circular View']) await expect(button(title, name)).toBeVisible();
    const clip = page.locator('canvas.clip');
    await expect(clip).toHaveJSProperty('width', 449);
    await expect(clip).toHaveJSProperty('height', 452);
    await expect.poll(() => clip.getAttribute('data-frame')).not.toBe('0');

    await button(title, 'Help').click();
    const help = windowNamed(page, 'Help');
    await expect(help).toContainText('click "continue" button to enter the second page.');
    await page.keyboard.press('Enter'); // closes only the help page
    await expect(help).toHaveCount(0);
    await expect(title).toBeVisible();

    await button(title, 'Circular View').click();
    const circular = windowNamed(page, 'Circular View');
    const circularClip = circular.locator('canvas.clip');
    await expect(circularClip).toHaveJSProperty('width', 240);
    await expect.poll(() => circularClip.getAttribute('data-frame')).not.toBe('0');
    await button(circular, 'Close').click();
    await expect(circular).toHaveCount(0);
    // Opened again, its clip starts from the first frame.
    await button(title, 'Circular View').click();
    await expect(circular.locator('canvas.clip')).toHaveAttribute('data-frame', '0');
    await page.keyboard.press('Escape');

    await title.locator('canvas.clip').click({ button: 'right' });
    await page.getByRole('menuitem', { name: 'About cyclar...' }).click();
    const about = windowNamed(page, 'About Orbiqua');
    await expect(about).toContainText('Orbiqua Version 1.0');
    await button(about, 'OK').click();
    await expect(about).toHaveCount(0);
    await expect(button(title, 'Continue')).toBeVisible();
});

test('Continue, Submit, Back with a typed value, Submit, Back, Exit: the program ends', async ({ page }) => {
    await openCyclar(page);
    await button(titlePage(page), 'Continue').click();
    await expect(titlePage(page)).toHaveCount(0);
    const dimensions = dimensionsPage(page);
    for (let i = 0; i < keys.length; ++i) await expect(field(dimensions, keys[i])).toHaveValue(defaults[i]);

    await button(dimensions, 'Submit').click();
    const animation = animationPage(page);
    await expect(animation).toBeVisible();
    await expect(dimensions).toHaveCount(0);
    for (let i = 0; i < keys.length; ++i) await expect(field(animation, keys[i])).toHaveValue(defaults[i]);
    await expect(slider(animation, 'Speed')).toHaveValue('50');
    await expect(slider(animation, 'Turn')).toHaveValue('40');
    await expect(slider(animation, 'Tilt')).toHaveValue('40');

    // A value typed here travels with Back.
    await field(animation, 'a').fill('60');
    await button(animation, 'Back').click();
    await expect(dimensionsPage(page)).toBeVisible();
    await expect(field(dimensionsPage(page), 'a')).toHaveValue('60');
    await expect(animation).toHaveCount(0);

    await button(dimensionsPage(page), 'Submit').click();
    await expect(field(animationPage(page), 'a')).toHaveValue('60');
    await button(animationPage(page), 'Back').click();
    await button(dimensionsPage(page), 'Exit').click();
    await expect(page.getByText('cyclar has ended.')).toBeVisible();
    await expect(page.getByRole('dialog')).toHaveCount(0);
});

test('Enter with passing fields ends the dimensions page without opening the animation page', async ({ page }) => {
    await openCyclar(page);
    await button(titlePage(page), 'Continue').click();
    await field(dimensionsPage(page), 'c').press('Enter');
    await expect(page.getByText('cyclar has ended.')).toBeVisible();
    await expect(animationPage(page)).toHaveCount(0);
});

test('Back with letters in a field: the message once, then the animation page waits beneath', async ({ page }) => {
    const animation = await openAnimation(page);
    await field(animation, 'c').fill('xyz');
    await button(animation, 'Back').click();
    await expect(message(page)).toContainText('Please enter a number.');
    await button(message(page), 'OK').click();
    // The dimensions page opens over the animation page, which failed to end.
    const dimensions = dimensionsPage(page);
    await expect(dimensions).toBeVisible();
    await expect(message(page)).toHaveCount(0);
    await button(dimensions, 'Exit').click();
    await expect(animation).toBeVisible();
    await expect(field(animation, 'c')).toHaveValue('xyz');
    await button(animation, 'Exit').click();
    await expect(page.getByText('cyclar has ended.')).toBeVisible();
});

test('Help from a running animation page: the linkage goes on moving beneath it', async ({ page }) => {
    const animation = await openAnimation(page);
    await slider(animation, 'Speed').fill('100');
    await button(animation, 'Help').click();
    const picture = page.locator('#picture');
    const before = Number(await picture.getAttribute('data-frame'));
    await expect.poll(async () => Number(await picture.getAttribute('data-frame'))).toBeGreaterThan(before + 2);
    await page.keyboard.press('Escape');
    await expect(button(animation, 'Stop')).toBeVisible();
});

test('controls stand where their dialog units put them, rounded to the nearest pixel as on the desktop', async ({ page }) => {
    await openAnimation(page);
    const placed = await page.evaluate(async () => {
        const { DialogUnits, TemplateFont } = await import('./js/windows.js');
        const units = new DialogUnits(TemplateFont.tahoma8, window.cyclar.core);
        const a = window.cyclar.app.desk.top().fields.a;
        return { averageCharWidth: units.averageCharWidth, charHeight: units.charHeight, left: a.offsetLeft, top: a.offsetTop };
    });
    // The field a is at 339, 10 units: with units six pixels wide that is 508.5 pixels across,
    // a half that rounds away from zero (truncating it gave 508).
    const nearest = (units, base, per) => Math.floor((units * base) / per + 0.5);
    expect(placed.left).toBe(nearest(339, placed.averageCharWidth, 4));
    expect(placed.top).toBe(nearest(10, placed.charHeight, 8));
});
