// The field rules' messages, exactly as the desktop words them, and where the focus goes after.
import { expect, test } from '@playwright/test';
import { animationPage, button, dimensionsPage, field, message, openAnimation, openCyclar, slider, titlePage } from './helpers.mjs';

const cases = [
    { name: 'letters in a', field: 'a', text: 'abc', says: 'Please enter a number.' },
    { name: 'a above the sum of the others', field: 'a', text: '200', says: 'Please enter a number between 0 and 105.' },
    { name: 'a below zero', field: 'a', text: '-1', says: 'Please enter a number between 0 and 105.' },
    { name: 'an empty b', field: 'b', text: '', says: 'Please enter a number.' },
    { name: 'h above 1000', field: 'h', text: '1000.5', says: 'Please enter a number between -1000 and 1000.' },
];

for (const c of cases) {
    test(`dimensions page, ${c.name}: "${c.says}", then the field has the focus and its text selected`, async ({ page }) => {
        await openCyclar(page);
        await button(titlePage(page), 'Continue').click();
        const dimensions = dimensionsPage(page);
        await field(dimensions, c.field).fill(c.text);
        await button(dimensions, 'Submit').click();
        const box = message(page);
        await expect(box).toBeVisible();
        await expect(box).toContainText(c.says);
        await expect(box.locator('.body')).toHaveText(c.says);
        await button(box, 'OK').click();
        await expect(box).toHaveCount(0);
        const target = field(dimensions, c.field);
        await expect(target).toBeFocused();
        const selection = await target.evaluate((input) => [input.selectionStart, input.selectionEnd, input.value.length]);
        expect(selection).toEqual([0, c.text.length, c.text.length]);
        await expect(animationPage(page)).toHaveCount(0);
    });
}

test('a stored although out of range: the next bounds use it, and a corrected a passes', async ({ page }) => {
    await openCyclar(page);
    await button(titlePage(page), 'Continue').click();
    const dimensions = dimensionsPage(page);
    await field(dimensions, 'a').fill('200');
    await button(dimensions, 'Submit').click();
    await button(message(page), 'OK').click();
    // b is checked first, against a + c + f with the stored a of 200.
    await field(dimensions, 'b').fill('276');
    await button(dimensions, 'Submit').click();
    await expect(message(page)).toContainText('Please enter a number between 0 and 275.');
    await button(message(page), 'OK').click();
    await field(dimensions, 'b').fill('30');
    await field(dimensions, 'a').fill('50');
    await button(dimensions, 'Submit').click();
    await expect(animationPage(page)).toBeVisible();
});

test('animation page: letters in c and a turn slider release report it and keep the view', async ({ page }) => {
    const animation = await openAnimation(page);
    await field(animation, 'c').fill('x1');
    await slider(animation, 'Turn').fill('90');
    await expect(message(page)).toContainText('Please enter a number.');
    await button(message(page), 'OK').click();
    await expect(field(animation, 'c')).toBeFocused();
    const view = await page.evaluate(() => {
        const top = window.cyclar.app.desk.top();
        return [top.scene.turn, top.scene.tilt];
    });
    expect(view).toEqual([-18, -18]);
    // The clock runs all the same.
    await expect(page.locator('#picture')).toHaveAttribute('data-period', '166');
});
