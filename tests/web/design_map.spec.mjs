// The Design panel as a class uses it: the Motion/Function switch both ways, the four-position
// solution map tapped to pick two pivots, the chosen linkage's dimensions and inputs, visible
// labels and units, Help, Chebyshev spacing, and the candidates in cyclar-export's order on the
// twenty tasks of tests/data/design_tasks.
import { expect, test } from '@playwright/test';
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { button, exportText, keys, openAnimation, repository } from './helpers.mjs';

const designPanel = (page) => page.getByRole('dialog', { name: 'Design', exact: true });
const reason = (page) => designPanel(page).getByRole('status');
const tasks = join(repository, 'tests/data/design_tasks');

// Opens a task file in the panel and waits for its design.
async function openTask(page, path) {
    const chooser = page.waitForEvent('filechooser');
    await button(designPanel(page), 'Open task…').click();
    await (await chooser).setFiles(path);
    await expect(reason(page)).toContainText(/the task\./);
}

// Where the view shows pixels of the colours given: page points, nearest the middle first.
async function pixelsOf(page, colours) {
    return page.evaluate((wanted) => {
        const canvas = document.querySelector('.window.design canvas.design-view');
        const { width, height } = canvas;
        const data = canvas.getContext('2d').getImageData(0, 0, width, height).data;
        const box = canvas.getBoundingClientRect();
        const found = [];
        for (let y = 0; y < height; ++y) {
            for (let x = 0; x < width; ++x) {
                const i = (y * width + x) * 4;
                if (wanted.some(([r, g, b]) => data[i] === r && data[i + 1] === g && data[i + 2] === b)) {
                    found.push([x, y, Math.hypot(x - width / 2, y - height / 2)]);
                }
            }
        }
        found.sort((p, q) => p[2] - q[2]);
        return found.map(([x, y]) => ({ x: box.left + ((x + 0.5) * box.width) / width, y: box.top + ((y + 0.5) * box.height) / height }));
    }, colours);
}

test('the kind switch works both ways, one radio checked at a time', async ({ page }) => {
    await openAnimation(page);
    await page.keyboard.press('F3');
    const panel = designPanel(page);
    const motion = panel.getByRole('radio', { name: 'Motion', exact: true });
    const function_ = panel.getByRole('radio', { name: 'Function', exact: true });
    await expect(motion).toBeChecked();
    for (const [on, off, column] of [
        [function_, motion, 'Input θ (°)'],
        [motion, function_, 'Longitude (°)'],
        [function_, motion, 'Output ψ (°)'],
    ]) {
        await on.check();
        await expect(on).toBeChecked();
        await expect(off).not.toBeChecked();
        await expect(panel.getByRole('columnheader', { name: column, exact: true }).first()).toBeVisible();
        await expect(reason(page)).toContainText(/the task\./);
    }
    // The function page's fields carry labels in view, with their units.
    await expect(panel.getByText('Ground f (°)', { exact: true })).toBeAttached();
    await expect(panel.getByText('θ from (°)', { exact: true })).toBeVisible();
    await expect(panel.getByText('Chebyshev spacing', { exact: true })).toBeVisible();
});

test('the solution map: two taps on the centre-point curve make a linkage, shown at once', async ({ page }, testInfo) => {
    test.skip(testInfo.project.name !== 'desktop', 'the same on every screen; run on the desktop');
    await openAnimation(page);
    await page.keyboard.press('F3');
    const panel = designPanel(page);
    await openTask(page, join(tasks, '20-readme-four.cyclar-task'));
    const hint = panel.locator('p.design-map-hint');
    await expect(panel.getByRole('checkbox', { name: 'Solution map' })).toBeChecked();
    await expect(hint).toContainText('Click the thick curve');
    // The curves' plain colour (on the near side) before a pick: a tap there picks the nearest
    // point of the centre-point curve.
    const view = panel.locator('canvas.design-view');
    const picks = () => view.getAttribute('data-picks');
    const plain = await pixelsOf(page, [[150, 60, 200]]);
    expect(plain.length, 'the map is drawn').toBeGreaterThan(0);
    let first = null;
    for (const at of plain.filter((_, i) => i % 7 === 0)) {
        await page.mouse.click(at.x, at.y);
        if ((await picks()) === '1') {
            first = at;
            break;
        }
    }
    expect(first, 'a tap on the curve picks it').not.toBeNull();
    await expect(hint).toContainText('green a usable linkage');
    // A second pick where the colours promise a usable linkage: it is shown at once, with its
    // words. A tap that lands on another point starts again from the first.
    const green = await pixelsOf(page, [[0, 160, 60]]);
    expect(green.length, 'some second pivot gives a usable linkage').toBeGreaterThan(0);
    let made = false;
    for (const at of green.filter((_, i) => i % 5 === 0).slice(0, 40)) {
        await page.mouse.click(at.x, at.y);
        if ((await picks()) === '2' && (await hint.textContent()).includes('usable')) {
            made = true;
            break;
        }
        if ((await picks()) === '2') await page.mouse.click(first.x, first.y);
    }
    expect(made, 'two picks made a usable linkage').toBe(true);
    await expect(hint).toContainText('The two picks make');
    const chosen = panel.locator('p.design-chosen');
    await expect(chosen).toContainText('Picked on the map');
    await expect(chosen).toContainText('Input θ at each position');
    // No candidate of the list is chosen while the map's linkage is shown; Use this linkage
    // takes the map's.
    await expect(panel.getByRole('radiogroup', { name: 'Candidates' }).getByRole('radio', { checked: true })).toHaveCount(0);
    const linkage = await page.evaluate(async () => (await window.cyclar.desk()).designMapLinkages().candidates[0].dims);
    await button(panel, 'Use this linkage').click();
    await expect.poll(() => page.evaluate(() => window.cyclar.app.state.animationCopy)).toEqual(linkage);
    // The map can be hidden; a tap then picks nothing.
    await panel.getByRole('checkbox', { name: 'Solution map' }).uncheck();
    expect(await page.evaluate(async () => (await window.cyclar.desk()).designPick(100, 100, 0, 0, 200))).toBe(0);
});

test('the chosen candidate\'s dimensions and inputs, the filters, Help and Chebyshev spacing', async ({ page }, testInfo) => {
    test.skip(testInfo.project.name !== 'desktop', 'the same on every screen; run on the desktop');
    await openAnimation(page);
    await page.keyboard.press('F3');
    const panel = designPanel(page);
    await openTask(page, join(tasks, '18-readme-five.cyclar-task'));
    await expect(reason(page)).toHaveText('6 mechanisms (192 candidates) do the task.');
    await expect(panel.locator('.design-candidates details')).toHaveCount(6);
    const chosen = panel.locator('p.design-chosen');
    await expect(chosen).toContainText(/^Candidate 1 \(mechanism 1, pivot 1 drives\): a = [\d.]+°, b = /);
    await expect(chosen).toContainText(/Input θ at each position: (-?[\d.]+° \(branch [12]\)(, )?){5}\./);
    // Usable only leaves the usable ones, as the core says they are.
    await panel.getByText('Filters', { exact: true }).click();
    await panel.getByRole('checkbox', { name: 'Usable only' }).check();
    const usable = await page.evaluate(async () => (await window.cyclar.desk()).designRows().filter((row) => row.usable).length);
    expect(await panel.locator('.design-candidates input[type="radio"]').count()).toBe(usable);
    await panel.getByRole('spinbutton', { name: 'Least transmission angle, degrees' }).fill('89');
    await expect(panel.locator('.design-candidates details')).toHaveCount(0);

    await button(panel, 'Help').click();
    const help = panel.getByRole('region', { name: 'Design help' });
    for (const heading of ['What to enter', 'The frame and the angles', 'Branch and circuit', 'Defects', 'Mechanisms and variants', 'The solution map']) {
        await expect(help.getByRole('heading', { name: heading })).toBeVisible();
    }
    await expect(help).toContainText('0° north');

    await panel.getByRole('radio', { name: 'Function', exact: true }).check();
    await panel.getByRole('textbox', { name: 'Spacing from, degrees' }).fill('0');
    await panel.getByRole('textbox', { name: 'Spacing to, degrees' }).fill('60');
    await panel.getByRole('spinbutton', { name: 'Number of precision points' }).fill('3');
    await button(panel, 'Space inputs').click();
    const half = 30 * Math.cos(Math.PI / 6);
    for (const [row, value] of [[1, 30 - half], [2, 30], [3, 30 + half]]) {
        const text = await panel.getByRole('textbox', { name: `Pair ${row} input angle`, exact: true }).inputValue();
        expect(Math.abs(Number(text) - value)).toBeLessThan(1e-12);
    }
    await expect(panel.getByRole('textbox', { name: 'Pair 3 output angle', exact: true })).toHaveValue('151');
    await expect(reason(page)).toHaveText('Inputs spaced; enter the output wanted at each.');
});

// cyclar-export's order, candidate by candidate, for every task of the set: the browser's
// module and the command line are one core. The numbers agree to the rounding of the two
// machines' trigonometry; a least-squares fit's minimum lies in a valley so flat that its arcs
// are settled only to some 1e-8 degrees.
test('the candidates come in cyclar-export\'s order on twenty tasks, ties among them', async ({ page }, testInfo) => {
    test.skip(testInfo.project.name !== 'desktop', 'the same on every screen; run on the desktop');
    await openAnimation(page);
    const names = readdirSync(tasks).filter((name) => name.endsWith('.cyclar-task')).sort();
    expect(names).toHaveLength(20);
    for (const name of names) {
        const path = join(tasks, name);
        const expected = JSON.parse(exportText(['design', '--task', path]));
        const got = await page.evaluate(async (text) => (await window.cyclar.desk()).design(text), readFileSync(path, 'utf8'));
        const tolerance = expected.kind === 'function' ? 1e-6 : 1e-9;
        expect(got.candidates.length, name).toBe(expected.candidates.length);
        got.candidates.forEach((c, i) => {
            expect(c.mechanism, `${name}: candidate ${i + 1}`).toBe(expected.candidates[i].mechanism);
            for (const key of keys) {
                expect(Math.abs(c.dims[key] - expected.candidates[i].dims[key]), `${name}: candidate ${i + 1}, ${key}`).toBeLessThan(tolerance);
            }
        });
    }
});
