// Linkage files in the browser: saved as the desktop writes them, opened bit for bit, and every
// bad file refused with the reason cyclar-export gives for it, changing nothing.
import { expect, test } from '@playwright/test';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import {
    animationPage, button, canvasPixels, compareRgba, dimensionsPage, exportRun, exportText, field, keys,
    message, nativePicture, openAnimation, openCyclar, slider, titlePage,
} from './helpers.mjs';

let folder;
test.beforeAll(() => {
    folder = mkdtempSync(join(tmpdir(), 'cyclar-web-files-'));
});
test.afterAll(() => rmSync(folder, { recursive: true, force: true }));

// Values whose last digits the fields do not show: only a bit-exact path keeps them.
const fine = [50.00000000000001, 30.1, 35, 40.00000000000003, 45.123456789012344, -35.5];

function savedByExport(name, dims, extra = []) {
    const path = join(folder, name);
    exportText(['save', '--dims', dims.join(','), ...extra, '-o', path]);
    return path;
}

async function chooseInMenu(page, scope, item, path) {
    const chooser = page.waitForEvent('filechooser');
    await scope.click({ button: 'right', position: { x: 40, y: 40 } });
    await page.getByRole('menuitem', { name: item, exact: true }).click();
    await (await chooser).setFiles(path);
}

async function saveFromPage(page) {
    const download = page.waitForEvent('download');
    await page.keyboard.press('Control+S');
    const file = await download;
    const path = join(folder, `downloaded-${Date.now()}.cyclar`);
    await file.saveAs(path);
    return { path, name: file.suggestedFilename() };
}

async function fieldTexts(scope) {
    return Promise.all(keys.map((key) => field(scope, key).inputValue()));
}

test('a saved file is the one cyclar-export writes, and opens again bit for bit', async ({ page }) => {
    // The defaults, saved from a new page: the starting view and speed go with them.
    await openAnimation(page);
    const plain = await saveFromPage(page);
    expect(plain.name).toMatch(/\.cyclar$/);
    const expected = savedByExport('plain.cyclar', [50, 30, 35, 40, 45, -35], ['--turn', '-18', '--tilt', '-18', '--speed', '50']);
    expect(readFileSync(plain.path, 'utf8')).toBe(readFileSync(expected, 'utf8'));

    // A file with digits the fields do not show, a view and a speed.
    const original = savedByExport('fine.cyclar', fine, ['--turn', '9', '--tilt', '-36', '--speed', '70']);
    await chooseInMenu(page, page.locator('#picture'), 'Open linkage…', original);
    const animation = animationPage(page);
    await expect(field(animation, 'a')).toHaveValue('50');
    await expect(field(animation, 'h')).toHaveValue(await page.evaluate((h) => window.cyclar.core.formatNumber(h), fine[4]));
    await expect(slider(animation, 'Turn')).toHaveValue('55');
    await expect(slider(animation, 'Tilt')).toHaveValue('30');
    await expect(slider(animation, 'Speed')).toHaveValue('70');
    await expect(page.locator('#picture')).toHaveAttribute('data-frame', '1');
    // The picture is the native one of the file's linkage and view.
    const native = nativePicture({ dims: fine, frame: 1, turn: 9, tilt: -36 });
    const result = compareRgba(await canvasPixels(page), native.rgba);
    expect(result, `first differing pixel ${result.first}`).toEqual({ differing: 0, first: -1 });

    // Saved again: the same text, so the same doubles; cyclar-export reads the same model.
    const again = await saveFromPage(page);
    expect(readFileSync(again.path, 'utf8')).toBe(readFileSync(original, 'utf8'));
    expect(exportText(['model', '--file', again.path])).toBe(exportText(['model', '--dims', fine.join(',')]));

    // Back carries the file's values, whole, to the dimensions page and on to a new animation.
    await button(animation, 'Back').click();
    await button(dimensionsPage(page), 'Submit').click();
    const third = await saveFromPage(page);
    expect(JSON.parse(readFileSync(third.path, 'utf8')).dimensions).toEqual(JSON.parse(readFileSync(original, 'utf8')).dimensions);
});

test('the dimensions page opens a file with Ctrl+O and its menu', async ({ page }) => {
    await openCyclar(page);
    await button(titlePage(page), 'Continue').click();
    const dimensions = dimensionsPage(page);
    const path = savedByExport('grashof.cyclar', [20, 50, 45, 40, 45, -35]);
    const chooser = page.waitForEvent('filechooser');
    await field(dimensions, 'a').focus();
    await page.keyboard.press('Control+O');
    await (await chooser).setFiles(path);
    await expect.poll(() => fieldTexts(dimensions)).toEqual(['20', '50', '45', '40', '45', '-35']);

    const other = savedByExport('fine-dims.cyclar', fine);
    await chooseInMenu(page, dimensions.locator('.client'), 'Open linkage…', other);
    await expect(field(dimensions, 'f')).toHaveValue('40');
    await button(dimensions, 'Submit').click();
    await expect(animationPage(page)).toBeVisible();
    const saved = await saveFromPage(page);
    expect(JSON.parse(readFileSync(saved.path, 'utf8')).dimensions).toEqual({ a: fine[0], b: fine[1], c: fine[2], f: fine[3], h: fine[4], k: fine[5] });
});

const good = '"format": "cyclar-linkage", "version": 1';
const dims = '"dimensions": {"a": 50, "b": 30, "c": 35, "f": 40, "h": 45, "k": -35}';
// Bad files: the browser reads them with the same reader as cyclar-export, so each reason is
// the same word for word.
const badFiles = [
    { name: 'not-json.cyclar', text: '{"format": "cyclar-linkage", ' },
    { name: 'empty.cyclar', text: '' },
    { name: 'spaces.cyclar', text: ' \n ' },
    { name: 'syntax.cyclar', text: `{${good}, ${dims}, "speed": 5 6}` },
    { name: 'duplicate-key.cyclar', text: `{${good}, ${dims}, "speed": 5, "speed": 6}` },
    { name: 'duplicate-dimension.cyclar', text: `{${good}, "dimensions": {"a": 50, "b": 30, "c": 35, "f": 40, "h": 45, "k": -35, "a": 1}}` },
    { name: 'out-of-range.cyclar', text: `{${good}, "dimensions": {"a": 50, "b": 30, "c": 35, "f": 1e400, "h": 45, "k": -35}}` },
    { name: 'deep.cyclar', text: `{${good}, ${dims}, "x": ${'['.repeat(200)}${']'.repeat(200)}}` },
    { name: 'utf16.cyclar', bytes: Buffer.concat([Buffer.from([0xff, 0xfe]), Buffer.from(`{${good}, ${dims}}`, 'utf16le')]) },
    { name: 'binary.cyclar', bytes: Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0, 0, 0, 13]) },
    { name: 'nul.cyclar', bytes: Buffer.concat([Buffer.from(`{${good}, ${dims}`), Buffer.from([0]), Buffer.from('}')]) },
    { name: 'rotation-axis-text.cyclar', text: `{${good}, ${dims}, "view": {"turn": 0, "tilt": 0, "rotationAxis": "yes"}}` },
    { name: 'array.cyclar', text: '[1, 2, 3]' },
    { name: 'wrong-format.cyclar', text: `{"format": "cyclar-picture", "version": 1, ${dims}}` },
    { name: 'no-format.cyclar', text: `{"version": 1, ${dims}}` },
    { name: 'newer.cyclar', text: `{"format": "cyclar-linkage", "version": 2, ${dims}}` },
    { name: 'much-newer.cyclar', text: `{"format": "cyclar-linkage", "version": 12345678, ${dims}}` },
    { name: 'odd-version.cyclar', text: `{"format": "cyclar-linkage", "version": 0.5, ${dims}}` },
    { name: 'text-version.cyclar', text: `{"format": "cyclar-linkage", "version": "1", ${dims}}` },
    { name: 'unknown-keys.cyclar', text: `{${good}, ${dims}, "zoom": 2, "colour": "red"}` },
    { name: 'control-key.cyclar', text: `{${good}, ${dims}, "bad\\u0001key": 1}` },
    { name: 'no-dimensions.cyclar', text: `{${good}}` },
    { name: 'dimensions-list.cyclar', text: `{${good}, "dimensions": [50, 30, 35, 40, 45, -35]}` },
    { name: 'missing-k.cyclar', text: `{${good}, "dimensions": {"a": 50, "b": 30, "c": 35, "f": 40, "h": 45}}` },
    { name: 'text-b.cyclar', text: `{${good}, "dimensions": {"a": 50, "b": "30", "c": 35, "f": 40, "h": 45, "k": -35}}` },
    { name: 'null-h.cyclar', text: `{${good}, "dimensions": {"a": 50, "b": 30, "c": 35, "f": 40, "h": null, "k": -35}}` },
    { name: 'extra-dimension.cyclar', text: `{${good}, "dimensions": {"a": 50, "b": 30, "c": 35, "f": 40, "h": 45, "k": -35, "g": 1}}` },
    { name: 'view-list.cyclar', text: `{${good}, ${dims}, "view": [0, 0]}` },
    { name: 'view-far.cyclar', text: `{${good}, ${dims}, "view": {"turn": 120, "tilt": 0}}` },
    { name: 'view-half.cyclar', text: `{${good}, ${dims}, "view": {"turn": 0, "tilt": 4.5}}` },
    { name: 'view-extra.cyclar', text: `{${good}, ${dims}, "view": {"turn": 0, "tilt": 0, "roll": 0}}` },
    { name: 'speed-high.cyclar', text: `{${good}, ${dims}, "speed": 101}` },
    { name: 'speed-text.cyclar', text: `{${good}, ${dims}, "speed": "fast"}` },
    { name: 'emoji-key.cyclar', text: `{${good}, ${dims}, "\u{1F600}x": 1}` },
    { name: 'far-version.cyclar', text: `{"format": "cyclar-linkage", "version": 1e300, ${dims}}` },
    { name: 'trailing.cyclar', text: `{${good}, ${dims}} and more` },
    { name: 'not-utf8.cyclar', bytes: Buffer.concat([Buffer.from(`{${good}, ${dims}, "`), Buffer.from([0xff]), Buffer.from('": 1}')]) },
    { name: 'latin1-key.cyclar', bytes: Buffer.concat([Buffer.from(`{${good}, ${dims}, "caf`), Buffer.from([0xe9]), Buffer.from('": 1}')]) },
    { name: 'huge.cyclar', text: `{${good}, ${dims}}${' '.repeat(1024 * 1024)}` },
];

for (const bad of badFiles) {
    test(`${bad.name} is refused with cyclar-export's reason, and nothing changes`, async ({ page }) => {
        const path = join(folder, bad.name);
        writeFileSync(path, bad.bytes ?? bad.text);
        const run = exportRun(['analyse', '--file', path]);
        expect(run.status, run.stderr).toBe(2);
        expect(run.stdout).toBe('');
        const quoted = `cyclar-export: '${path}' `;
        expect(run.stderr.startsWith(quoted), run.stderr).toBe(true);
        const reason = run.stderr.slice(quoted.length).trimEnd();

        const animation = await openAnimation(page, [20, 50, 45, 40, 45, -35]);
        await field(animation, 'h').fill('46'); // typed, not yet taken
        await button(animation, 'Stop').click();
        const before = { texts: await fieldTexts(animation), pixels: await canvasPixels(page), state: await heldState(page) };

        await chooseInMenu(page, page.locator('#picture'), 'Open linkage…', path);
        const box = message(page);
        await expect(box).toBeVisible();
        const shown = await box.locator('.body').textContent();
        expect(shown.startsWith(`${bad.name} `) && shown.endsWith('.'), shown).toBe(true);
        const browserReason = shown.slice(bad.name.length + 1, -1);
        expect(browserReason).toBe(reason);
        await button(box, 'OK').click();
        await expect(box).toHaveCount(0);
        expect(await fieldTexts(animation)).toEqual(before.texts);
        expect(await heldState(page)).toEqual(before.state);
        expect(compareRgba(await canvasPixels(page), before.pixels).differing).toBe(0);
    });
}

// What the page holds beyond its controls: both copies of the dimensions, the clock, the view.
function heldState(page) {
    return page.evaluate(() => {
        const { app } = window.cyclar;
        const top = app.desk.top();
        return {
            entry: app.state.entryCopy,
            animation: app.state.animationCopy,
            frame: top.scene.frameIndex,
            saved: app.state.savedFrameIndex,
            view: [top.scene.turn, top.scene.tilt],
            speed: top.m_speedPos,
        };
    });
}

test('a zero written with a minus sign opens as 0, and the page goes on with it', async ({ page }) => {
    const path = join(folder, 'minus-zero.cyclar');
    writeFileSync(path, `{${good}, "dimensions": {"a": 50, "b": 30, "c": 35, "f": 40, "h": 45, "k": -0}}`);
    const animation = await openAnimation(page);
    await chooseInMenu(page, page.locator('#picture'), 'Open linkage…', path);
    await expect(field(animation, 'k')).toHaveValue('0');
    const saved = await saveFromPage(page);
    expect(readFileSync(saved.path, 'utf8')).toContain('"k": 0}');
    expect(exportText(['model', '--file', saved.path])).toBe(exportText(['model', '--dims', '50,30,35,40,45,0']));
});

test('a file whose values the page refuses gets the page\'s own message, and nothing changes', async ({ page }) => {
    const animation = await openAnimation(page);
    const before = { texts: await fieldTexts(animation), state: await heldState(page) };
    // The animation page takes links up to 360; h and k within -1000..1000.
    const path = savedByExport('far.cyclar', [50, 30, 35, 40, 45, -1500]);
    await chooseInMenu(page, page.locator('#picture'), 'Open linkage…', path);
    const box = message(page);
    const k = (await page.evaluate(() => window.cyclar.core.animationBounds('k')));
    await expect(box).toContainText(await page.evaluate(([lo, hi]) => window.cyclar.core.rangeMessage(lo, hi), k));
    await button(box, 'OK').click();
    await expect(field(animation, 'k')).toBeFocused();
    expect(await fieldTexts(animation)).toEqual(before.texts);
    expect(await heldState(page)).toEqual(before.state);

    // On the dimensions page a link longer than the other three together is refused there.
    await button(animation, 'Back').click();
    const dimensions = dimensionsPage(page);
    const texts = await fieldTexts(dimensions);
    const long = savedByExport('long.cyclar', [50, 30, 35, 200, 45, -35]);
    await chooseInMenu(page, dimensions.locator('.client'), 'Open linkage…', long);
    await expect(message(page)).toContainText('Please enter a number between');
    await button(message(page), 'OK').click();
    expect(await fieldTexts(dimensions)).toEqual(texts);
});

test('-0 in a file is read as 0: Submit takes it, Copy link and the address give 0', async ({ page, context }) => {
    await context.grantPermissions(['clipboard-read', 'clipboard-write']);
    const path = join(folder, 'minus-zero.cyclar');
    writeFileSync(path, '{"format": "cyclar-linkage", "version": 1, "dimensions": {"a": 50, "b": 30, "c": 35, "f": 40, "h": -0, "k": -0}}\n');
    await openCyclar(page);
    await button(titlePage(page), 'Continue').click();
    const dimensions = dimensionsPage(page);
    await chooseInMenu(page, dimensions, 'Open linkage…', path);
    await expect(field(dimensions, 'k')).toHaveValue('0');
    await expect(page).toHaveURL(/#dims=50,30,35,40,0,0$/);
    await button(dimensions, 'Submit').click();
    const animation = animationPage(page);
    await expect(animation).toBeVisible();

    await chooseInMenu(page, page.locator('#picture'), 'Open linkage…', path);
    await expect(field(animation, 'h')).toHaveValue('0');
    await page.keyboard.press('Control+Shift+L');
    expect(await page.evaluate(() => navigator.clipboard.readText())).toMatch(/#dims=50,30,35,40,0,0$/);
    await button(animation, 'Back').click();
    await expect(message(page)).toHaveCount(0);
    await expect(field(dimensionsPage(page), 'h')).toHaveValue('0');
});
