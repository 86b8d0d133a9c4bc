// Links that carry a linkage: #dims=... opens the dimensions page with it; Copy link makes one.
import { expect, test } from '@playwright/test';
import { animationPage, button, defaults, dimensionsPage, field, keys, message, openAnimation, openCyclar, titlePage } from './helpers.mjs';

test('a link with six numbers opens the dimensions page filled with them', async ({ page }) => {
    await openCyclar(page, '#dims=20,50,45,40,45.5,-35');
    const dimensions = dimensionsPage(page);
    await expect(dimensions).toBeVisible();
    await expect(titlePage(page)).toHaveCount(0);
    const shown = ['20', '50', '45', '40', '45.5', '-35'];
    for (let i = 0; i < keys.length; ++i) await expect(field(dimensions, keys[i])).toHaveValue(shown[i]);
    await button(dimensions, 'Submit').click();
    await expect(animationPage(page)).toBeVisible();
});

const badLinks = [
    { fragment: '#dims=1,2,3', says: 'The link gives 3 values; it needs six' },
    { fragment: '#dims=', says: 'it needs six' },
    { fragment: '#dims=50,30,abc,40,45,-35', says: 'The link\'s value for c, "abc", is not a number.' },
    { fragment: '#dims=50,30,35,40,inf,-35', says: 'The link\'s value for h, "inf", is not a number.' },
    { fragment: '#dims=50,30,35,40,45,%E0%A4%A', says: 'The link is damaged.' },
];

for (const { fragment, says } of badLinks) {
    test(`a bad link (${fragment}) shows the defaults and says why`, async ({ page }) => {
        await openCyclar(page, fragment);
        const box = message(page);
        await expect(box).toContainText(says);
        await expect(box).toContainText('The page shows the default dimensions.');
        await button(box, 'OK').click();
        const dimensions = dimensionsPage(page);
        for (let i = 0; i < keys.length; ++i) await expect(field(dimensions, keys[i])).toHaveValue(defaults[i]);
    });
}

test('Copy link on the animation page gives a link that brings the same values back', async ({ page, context }) => {
    await context.grantPermissions(['clipboard-read', 'clipboard-write']);
    const animation = await openAnimation(page, [20, 50, 45, 40, 45, -35]);
    // The link carries the values the page holds, typed ones included once they are stored.
    await field(animation, 'h').fill('12.25');
    await button(animation, 'Back').click();
    await button(dimensionsPage(page), 'Submit').click();
    await animationPage(page).locator('#picture').click({ button: 'right' });
    await page.getByRole('menuitem', { name: 'Copy link' }).click();
    await expect(page.getByRole('status')).toContainText('#dims=20,50,45,40,12.25,-35');
    const link = await page.evaluate(() => navigator.clipboard.readText());
    expect(link).toMatch(/index\.html#dims=20,50,45,40,12\.25,-35$/);

    await page.goto('about:blank');
    await page.goto(link);
    const dimensions = dimensionsPage(page);
    await expect(field(dimensions, 'h')).toHaveValue('12.25');
    await expect(field(dimensions, 'a')).toHaveValue('20');
});

const refusedLinks = [
    { name: 'a NUL and letters after a number', fragment: '#dims=50%00abc,30,35,40,45,-35', says: 'The link\'s value for a, "50?abc", is not a number: it has a control character at position 3.' },
    { name: 'a line break after a number', fragment: '#dims=50,30,35,40,45%0A7,-35', says: 'The link\'s value for h, "45?7", is not a number' },
];

for (const { name, fragment, says } of refusedLinks) {
    test(`a link with ${name} is refused with its reason`, async ({ page }) => {
        await openCyclar(page, fragment);
        await expect(message(page)).toContainText(says);
        await button(message(page), 'OK').click();
        for (let i = 0; i < keys.length; ++i) await expect(field(dimensionsPage(page), keys[i])).toHaveValue(defaults[i]);
    });
}

test('the address holds the linkage: Submit, Back, reload, the browser\'s Back and Forward, Start again', async ({ page }) => {
    const animation = await openAnimation(page, [20, 50, 45, 40, 45, -35]);
    await expect(page).toHaveURL(/#dims=20,50,45,40,45,-35$/);
    await field(animation, 'h').fill('12.5');
    await button(animation, 'Back').click();
    await expect(page).toHaveURL(/#dims=20,50,45,40,12\.5,-35$/);

    await page.reload();
    await expect(field(dimensionsPage(page), 'h')).toHaveValue('12.5');
    await expect(titlePage(page)).toHaveCount(0);

    await page.goto('about:blank');
    await page.goBack();
    await expect(field(dimensionsPage(page), 'h')).toHaveValue('12.5');
    await page.goForward();
    await page.goBack();
    await expect(field(dimensionsPage(page), 'h')).toHaveValue('12.5');

    // Submitted, then the program ends: Start again comes back with the same linkage.
    await field(dimensionsPage(page), 'b').fill('55');
    await button(dimensionsPage(page), 'Submit').click();
    await button(animationPage(page), 'Exit').click();
    await page.getByRole('button', { name: 'Start again', exact: true }).click();
    const dimensions = dimensionsPage(page);
    await expect(field(dimensions, 'b')).toHaveValue('55');
    await expect(field(dimensions, 'h')).toHaveValue('12.5');
});
