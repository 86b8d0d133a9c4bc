// The pages on phones, tablets and desktops: they fit the screen whole, the desk's Menu button
// and a long press reach the picture's menu, the Analysis panel stays clear of the page.
import { expect, test } from '@playwright/test';
import { animationPage, button, dimensionsPage, openCyclar, titlePage, windowNamed } from './helpers.mjs';

const touch = () => Boolean(test.info().project.use.hasTouch);
// A tap on a touch screen, a click elsewhere.
const press = (locator) => (touch() ? locator.tap() : locator.click());

// The element's box on the screen, and whether all of it is on the screen.
async function screenBox(page, locator) {
    const box = await locator.boundingBox();
    const { width, height } = page.viewportSize();
    const inside = box.x >= -0.5 && box.y >= -0.5 && box.x + box.width <= width + 0.5 && box.y + box.height <= height + 0.5;
    return { ...box, inside };
}

const overlap = (a, b) => a.x < b.x + b.width - 0.5 && b.x < a.x + a.width - 0.5 && a.y < b.y + b.height - 0.5 && b.y < a.y + a.height - 0.5;

// The window and every control in it are on the screen; the window keeps its proportions;
// nothing scrolls sideways.
async function expectFits(page, window) {
    await expect(window).toBeVisible();
    // The pages are fitted to the screen on its resize event: a busy machine gets there late.
    await expect.poll(async () => (await screenBox(page, window)).inside,
        { message: `${await window.getAttribute('aria-label')} lies on the screen` }).toBe(true);
    const box = await screenBox(page, window);
    const natural = await window.evaluate((element) => element.offsetWidth / element.offsetHeight);
    expect(box.width / box.height).toBeCloseTo(natural, 2);
    for (const control of await window.locator('button, input, canvas').all()) {
        if (!(await control.isVisible())) continue;
        const part = await screenBox(page, control);
        expect(part.inside, `${await control.getAttribute('aria-label') ?? (await control.evaluate((e) => e.outerHTML)).slice(0, 60)} is on the screen`).toBe(true);
    }
    const sideways = await page.evaluate(() => document.scrollingElement.scrollWidth - document.documentElement.clientWidth);
    expect(sideways).toBeLessThanOrEqual(0);
}

test('every page fits the screen whole, also after the screen turns', async ({ page }) => {
    await openCyclar(page);
    await expectFits(page, titlePage(page));
    await press(button(titlePage(page), 'Help'));
    await expectFits(page, windowNamed(page, 'Help'));
    await page.keyboard.press('Escape');
    await press(button(titlePage(page), 'Continue'));
    await expectFits(page, dimensionsPage(page));
    await press(button(dimensionsPage(page), 'Submit'));
    await expectFits(page, animationPage(page));
    const picture = await screenBox(page, page.locator('#picture'));
    expect(picture.inside).toBe(true);

    // Turned a quarter: the page fits again.
    const { width, height } = page.viewportSize();
    await page.setViewportSize({ width: height, height: width });
    await expectFits(page, animationPage(page));
});

test('the desk\'s Menu button and a long press on the picture open the picture\'s menu', async ({ page }) => {
    await openCyclar(page);
    await press(button(titlePage(page), 'Continue'));
    await press(button(dimensionsPage(page), 'Submit'));
    const animation = animationPage(page);
    await expect(animation).toBeVisible();

    // The button is on the screen, outside the pages.
    const menuButton = page.getByRole('button', { name: 'Menu', exact: true });
    const buttonBox = await screenBox(page, menuButton);
    expect(buttonBox.inside).toBe(true);
    expect(overlap(buttonBox, await animation.boundingBox())).toBe(false);
    expect(buttonBox.width).toBeGreaterThanOrEqual(44);

    await press(menuButton);
    const menu = page.getByRole('menu');
    await expect(menu.getByRole('menuitem')).toHaveText([
        'Analysis…F2', 'Design…F3', 'Show the working…F4', 'Open linkage…Ctrl+O', 'Save linkage…Ctrl+S',
        'Copy linkCtrl+Shift+L', 'Export picture…', 'Export picture as SVG…', 'Export animation…', 'Open exercise…',
        'Help',
    ]);
    expect((await screenBox(page, menu)).inside).toBe(true);
    const items = await menu.getByRole('menuitem').count();
    await press(menu.getByRole('menuitem', { name: 'Analysis…' }));

    // The panel opens on the screen, clear of the page and its picture, and nothing scrolled.
    const panel = page.getByRole('dialog', { name: 'Analysis', exact: true });
    await expect(panel).toBeVisible();
    const panelBox = await screenBox(page, panel);
    const pageBox = await screenBox(page, animation);
    expect(panelBox.inside).toBe(true);
    expect(pageBox.inside).toBe(true);
    expect(overlap(panelBox, pageBox)).toBe(false);
    expect(await page.evaluate(() => [window.scrollX, window.scrollY])).toEqual([0, 0]);
    await page.keyboard.press('Escape');
    await expect(panel).toHaveCount(0);

    if (!touch()) return;
    // A finger held still on the picture.
    const picture = await page.locator('#picture').boundingBox();
    const at = { x: picture.x + picture.width / 2, y: picture.y + picture.height / 2 };
    const cdp = await page.context().newCDPSession(page);
    await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [at] });
    await page.waitForTimeout(800);
    await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
    // The same menu as the button's.
    await expect(page.getByRole('menu').getByRole('menuitem')).toHaveCount(items);
    await expect(page.getByRole('menu')).toHaveCount(1);
    // A short tap opens nothing.
    await page.keyboard.press('Escape');
    await page.locator('#picture').tap();
    await page.waitForTimeout(800);
    await expect(page.getByRole('menu')).toHaveCount(0);
});

test('at 1366 x 768 the Analysis panel opens beside the picture, both whole on the screen', async ({ page }) => {
    test.skip(touch(), 'a desktop screen');
    await page.setViewportSize({ width: 1366, height: 768 });
    await openCyclar(page);
    await button(titlePage(page), 'Continue').click();
    await button(dimensionsPage(page), 'Submit').click();
    await page.keyboard.press('F2');
    const panel = await screenBox(page, page.getByRole('dialog', { name: 'Analysis', exact: true }));
    const animation = await screenBox(page, animationPage(page));
    expect(panel.inside && animation.inside).toBe(true);
    expect(panel.x).toBeGreaterThanOrEqual(animation.x + animation.width);
    // Full size, side by side.
    expect(animation.width).toBe(await animationPage(page).evaluate((e) => e.offsetWidth));
    expect(panel.width).toBe(await page.getByRole('dialog', { name: 'Analysis', exact: true }).evaluate((e) => e.offsetWidth));
});

test('a window moves with its caption and stays on the screen as the browser shrinks', async ({ page }) => {
    test.skip(touch(), 'dragging with a mouse');
    await openCyclar(page);
    await button(titlePage(page), 'Continue').click();
    const dimensions = dimensionsPage(page);
    const before = await dimensions.boundingBox();
    const caption = dimensions.locator('.caption .title');
    const grip = await caption.boundingBox();
    await page.mouse.move(grip.x + 20, grip.y + 5);
    await page.mouse.down();
    await page.mouse.move(grip.x + 320, grip.y + 105, { steps: 5 });
    await page.mouse.up();
    const after = await dimensions.boundingBox();
    expect([after.x - before.x, after.y - before.y]).toEqual([300, 100]);

    // Dragged far beyond the edge, it stops at the edge.
    await page.mouse.move(after.x + 20, after.y + 5);
    await page.mouse.down();
    await page.mouse.move(after.x + 3000, after.y + 3000, { steps: 3 });
    await page.mouse.up();
    expect((await screenBox(page, dimensions)).inside).toBe(true);

    await page.setViewportSize({ width: 500, height: 400 });
    await expectFits(page, dimensions);
});
