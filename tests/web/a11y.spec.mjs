// Accessibility: axe-core on every page with the described colours and with more contrast,
// the focus ring, the menu on the keyboard, names, descriptions and values in words, the
// document's title, the frame's label as text, and a title clip that can be paused.
import { expect, test } from '@playwright/test';
import { createRequire } from 'node:module';
import { animationPage, button, dimensionsPage, field, openCyclar, slider, titlePage } from './helpers.mjs';

const axePath = createRequire(import.meta.url).resolve('axe-core/axe.min.js');

// axe-core's serious and critical findings on the page as it stands, WCAG 2.x A and AA rules.
async function axeFindings(page, { exceptContrast }) {
    if (!(await page.evaluate(() => 'axe' in window))) await page.addScriptTag({ path: axePath });
    const result = await page.evaluate(() =>
        window.axe.run(document, { runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22aa'] } })
    );
    // A page shrunk to fit a phone shrinks its controls with it: their size is the described
    // layout's, and the desk's Menu button (44 px) offers the page's commands at full size.
    const shrunk = await page.evaluate(() => [...document.querySelectorAll('.window')].some((w) => (w.scale ?? 1) < 1));
    return result.violations
        .filter((v) => v.impact === 'serious' || v.impact === 'critical')
        .filter((v) => !(exceptContrast && v.id === 'color-contrast'))
        .filter((v) => !(shrunk && v.id === 'target-size'))
        .map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
}

// Title page, Help over it, dimensions page, animation page with the panel and the menu.
async function walk(page, check) {
    await openCyclar(page);
    await check('title page');
    await button(titlePage(page), 'Help').click();
    await check('help');
    await page.keyboard.press('Escape');
    await button(titlePage(page), 'Continue').click();
    await check('dimensions page');
    await field(dimensionsPage(page), 'a').fill('x');
    await button(dimensionsPage(page), 'Submit').click();
    await check('message box');
    await page.keyboard.press('Enter');
    await field(dimensionsPage(page), 'a').fill('50');
    await button(dimensionsPage(page), 'Submit').click();
    await expect(animationPage(page)).toBeVisible();
    await page.keyboard.press('F2');
    await check('animation page and panel');
    await page.keyboard.press('F3');
    await expect(page.getByRole('dialog', { name: 'Design', exact: true })).toBeVisible();
    await check('design panel');
    await page.getByRole('button', { name: 'Menu', exact: true }).click();
    await check('menu');
}

const looks = [
    { name: 'described colours', media: {}, exceptContrast: true },
    { name: 'more contrast', media: { contrast: 'more' }, exceptContrast: false },
    { name: 'forced colours', media: { forcedColors: 'active' }, exceptContrast: false },
];

for (const { name, media, exceptContrast } of looks) {
    test(`axe-core finds nothing serious with the ${name}`, async ({ page }) => {
        await page.emulateMedia(media);
        const found = [];
        await walk(page, async (where) => {
            for (const finding of await axeFindings(page, { exceptContrast })) found.push(`${where}: ${finding}`);
        });
        expect(found).toEqual([]);
    });
}

test('more contrast changes the page colours to ones that pass', async ({ page }) => {
    const colours = async () =>
        page.evaluate(() => {
            const style = getComputedStyle(document.querySelector('.window .client'));
            return [style.color, getComputedStyle(document.querySelector('.window')).backgroundColor];
        });
    await openCyclar(page);
    await button(titlePage(page), 'Continue').click();
    expect(await colours()).toEqual(['rgb(200, 20, 30)', 'rgb(180, 180, 230)']);
    await page.emulateMedia({ contrast: 'more' });
    expect(await colours()).not.toEqual(['rgb(200, 20, 30)', 'rgb(180, 180, 230)']);
});

test('the keyboard: a 2 px focus ring, the menu on the arrow keys', async ({ page }) => {
    await openCyclar(page);
    await button(titlePage(page), 'Continue').click();
    await page.keyboard.press('Tab');
    for (let i = 0; i < 8; ++i) {
        const ring = await page.evaluate(() => {
            const style = getComputedStyle(document.activeElement);
            return { what: document.activeElement.getAttribute('aria-label'), style: style.outlineStyle, width: Number.parseFloat(style.outlineWidth) };
        });
        expect(ring.style, `${ring.what} shows a ring`).not.toBe('none');
        expect(ring.width, `${ring.what}'s ring`).toBeGreaterThanOrEqual(2);
        await page.keyboard.press('Tab');
    }

    await button(dimensionsPage(page), 'Submit').click();
    await page.getByRole('button', { name: 'Menu', exact: true }).focus();
    await page.keyboard.press('Enter');
    const focused = () => page.evaluate(() => document.activeElement.textContent);
    expect(await focused()).toBe('Analysis…F2');
    await page.keyboard.press('ArrowDown');
    expect(await focused()).toBe('Design…F3');
    await page.keyboard.press('ArrowDown');
    expect(await focused()).toBe('Show the working…F4');
    await page.keyboard.press('ArrowDown');
    expect(await focused()).toBe('Show rotation axis');
    // Other circuit is greyed out for the defaults, which have one circuit: the keys pass it.
    await page.keyboard.press('ArrowDown');
    expect(await focused()).toBe('Turn the input evenly');
    await page.keyboard.press('ArrowDown');
    expect(await focused()).toBe('Open linkage…Ctrl+O');
    for (let i = 0; i < 6; ++i) await page.keyboard.press('ArrowUp');
    expect(await focused()).toBe('Help');
    await page.keyboard.press('Home');
    expect(await focused()).toBe('Analysis…F2');
    await page.keyboard.press('End');
    await page.keyboard.press('Enter');
    await expect(page.getByRole('dialog', { name: 'Help', exact: true })).toBeVisible();
});

test('fields and sliders: their names, descriptions and values in words', async ({ page }) => {
    await openCyclar(page);
    await button(titlePage(page), 'Continue').click();
    await expect(field(dimensionsPage(page), 'a')).toHaveAccessibleDescription('left link, in degrees');
    await expect(field(dimensionsPage(page), 'f')).toHaveAccessibleDescription('ground link, in degrees');
    await button(dimensionsPage(page), 'Submit').click();
    const animation = animationPage(page);
    await expect(field(animation, 'k')).toHaveAccessibleDescription('angular position of the coupler point on the coupler sphere, in degrees');
    await expect(slider(animation, 'Speed')).toHaveAccessibleDescription('speed of the animation, from slow to fast');
    await expect(slider(animation, 'Speed')).toHaveAttribute('aria-valuetext', /^speed 50 of 100, a frame every \d+ ms$/);
    const turn = slider(animation, 'Turn');
    await expect(turn).toHaveAttribute('aria-valuetext', 'turn -18 degrees');
    await expect(slider(animation, 'Tilt')).toHaveAttribute('aria-valuetext', 'tilt -18 degrees');
    await turn.focus();
    await page.keyboard.press('End');
    await expect(turn).toHaveAttribute('aria-valuetext', 'turn 90 degrees');
});

test('the document\'s title follows the page, and the frame\'s label is text', async ({ page }) => {
    await openCyclar(page);
    await expect(page).toHaveTitle('cyclar: Animation of Spherical Four-bar Linkages');
    await button(titlePage(page), 'Continue').click();
    await expect(page).toHaveTitle('cyclar: Dimensions of Spherical Four-bar Linkages');
    await button(dimensionsPage(page), 'Submit').click();
    await expect(page).toHaveTitle('cyclar: Animation of Four-bar Linkages');
    const label = await page.evaluate(() => window.cyclar.app.desk.top().scene.label);
    expect(label.length).toBeGreaterThan(0);
    await expect(page.locator('#picture')).toHaveAccessibleDescription(label);
    await expect(animationPage(page).getByText(label, { exact: true })).toHaveCount(1);
    await button(animationPage(page), 'Exit').click();
    await expect(page).toHaveTitle('cyclar has ended');
});

test('with less motion asked for, the title clip waits for its Play button', async ({ page }) => {
    await page.emulateMedia({ reducedMotion: 'reduce' });
    await openCyclar(page);
    const clip = titlePage(page).locator('canvas.clip');
    await page.waitForTimeout(400);
    await expect(clip).toHaveAttribute('data-frame', '0');
    await page.getByRole('button', { name: 'Play animation', exact: true }).click();
    await expect(clip).not.toHaveAttribute('data-frame', '0');
    await page.getByRole('button', { name: 'Pause animation', exact: true }).click();
    const frame = await clip.getAttribute('data-frame');
    await page.waitForTimeout(300);
    await expect(clip).toHaveAttribute('data-frame', frame);
});
