// The Design panel: opened from the picture's menu and F3, its candidates those cyclar-export
// design gives for the same task file, "Use this linkage", refused tasks and their reasons, task
// files opened and saved, the phone's screen, axe-core, and the browser's time for a
// five-position design.
import { expect, test } from '@playwright/test';
import { createRequire } from 'node:module';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { animationPage, button, exportRun, exportText, field, keys, message, openAnimation } from './helpers.mjs';

const designPanel = (page) => page.getByRole('dialog', { name: 'Design', exact: true });
const reason = (page) => designPanel(page).getByRole('status');
const candidates = (page) => designPanel(page).getByRole('radiogroup', { name: 'Candidates' }).getByRole('radio');
// The list's mechanisms: one disclosure each, its variants inside.
const mechanisms = (page) => designPanel(page).getByRole('radiogroup', { name: 'Candidates' }).locator('details');

let folder;
test.beforeAll(() => {
    folder = mkdtempSync(join(tmpdir(), 'cyclar-web-design-'));
});
test.afterAll(() => rmSync(folder, { recursive: true, force: true }));

// A turn of the whole task: a rotation from a unit quaternion, so that the task's frame is
// nothing like the linkage's own.
function rotation(w, x, y, z) {
    const n = Math.hypot(w, x, y, z);
    [w, x, y, z] = [w / n, x / n, y / n, z / n];
    return [
        [1 - 2 * (y * y + z * z), 2 * (x * y - w * z), 2 * (x * z + w * y)],
        [2 * (x * y + w * z), 1 - 2 * (x * x + z * z), 2 * (y * z - w * x)],
        [2 * (x * z - w * y), 2 * (y * z + w * x), 1 - 2 * (x * x + y * y)],
    ];
}
const turned = (m, v) => m.map((row) => row[0] * v[0] + row[1] * v[1] + row[2] * v[2]);
const dot = (u, v) => u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
const degrees = (radians) => (radians * 180) / Math.PI;

// A motion task from a linkage: its coupler point and a heading `offset` degrees off the arc
// toward A1, in the poses cyclar-export gives at the sweep parameters ts, turned by m.
function motionTask(dims, ts, m, offset = 25) {
    const positions = ts.map((t) => {
        const pose = JSON.parse(exportText(['pose', '--dims', dims.join(','), '--t', String(t)]));
        const p = turned(m, pose.P);
        const a = turned(m, pose.A1);
        const along = a.map((value, i) => value - dot(a, p) * p[i]);
        const latitude = Math.asin(p[2]);
        const longitude = Math.atan2(p[1], p[0]);
        const north = [-Math.sin(latitude) * Math.cos(longitude), -Math.sin(latitude) * Math.sin(longitude), Math.cos(latitude)];
        const east = [-Math.sin(longitude), Math.cos(longitude), 0];
        const towardA = Math.atan2(dot(along, east), dot(along, north));
        return { longitude: degrees(longitude), latitude: degrees(latitude), heading: degrees(towardA) + offset };
    });
    return { format: 'cyclar-task', version: 1, kind: 'motion', positions };
}

function taskFile(name, task) {
    const path = join(folder, name);
    writeFileSync(path, typeof task === 'string' ? task : JSON.stringify(task));
    return path;
}

// From the desk's Menu button, which the panel never covers.
async function openPanel(page) {
    await page.getByRole('button', { name: 'Menu', exact: true }).click();
    await page.getByRole('menuitem', { name: 'Design…', exact: true }).click();
    await expect(designPanel(page)).toBeVisible();
}

// Opens a task file in the panel; with `firstCell` ([name, text]), waits until the table shows it.
async function openTaskFile(page, path, firstCell) {
    const chooser = page.waitForEvent('filechooser');
    await button(designPanel(page), 'Open task…').click();
    await (await chooser).setFiles(path);
    if (firstCell) await expect(designPanel(page).getByRole('textbox', { name: firstCell[0], exact: true })).toHaveValue(firstCell[1]);
}

const defaults = [50, 30, 35, 40, 45, -35];
const crankRocker = [40, 70, 60, 80, 30, 20];
const sameDims = (mine, theirs, tolerance) => keys.every((key) => Math.abs(mine[key] - theirs[key]) < tolerance);

// The task's logic is the same on every screen: the phone and tablet run the panel's opening,
// one whole design flow and its fit, and leave the rest to the desktop.
function desktopOnly(testInfo) {
    test.skip(testInfo.project.name !== 'desktop', 'the same on every screen; run on the desktop');
}

test('F3 and the menu open one panel; Escape and the page ending close it', async ({ page }) => {
    const animation = await openAnimation(page);
    await page.keyboard.press('F3');
    await expect(designPanel(page)).toHaveCount(1);
    await openPanel(page);
    await expect(designPanel(page)).toHaveCount(1);
    // It opens with its starting task designed: a linkage moving in the view.
    await expect(candidates(page).first()).toBeChecked();
    const step = () => designPanel(page).locator('canvas.design-view').getAttribute('data-step');
    const first = await step();
    await expect.poll(step).not.toBe(first);

    await designPanel(page).press('Escape');
    await expect(designPanel(page)).toHaveCount(0);
    await expect(animation).toBeVisible();
    // The clock stops with the panel.
    expect(await page.evaluate(() => window.cyclar.app.desk.top().design)).toBe(null);

    await page.keyboard.press('F3');
    // On a phone the panel lies over the page: Back is clicked where it is, under the panel.
    await button(animation, 'Back').dispatchEvent('click');
    await expect(designPanel(page)).toHaveCount(0);
});

test.describe(() => {
    // The service worker would answer from its copy, out of the test's reach.
    test.use({ serviceWorkers: 'block' });
    test('the desk\'s core is loaded when the panel first opens; a failed load is said, and the next opening loads it', async ({ page }, testInfo) => {
        desktopOnly(testInfo);
        await page.route('**/cyclar-desk.wasm', (route) => route.abort());
        await openAnimation(page);
        await page.keyboard.press('F3');
        const box = message(page);
        await expect(box).toContainText('The Design panel could not be loaded');
        await button(box, 'OK').click();
        await expect(designPanel(page)).toHaveCount(0);
        await page.unroute('**/cyclar-desk.wasm');
        await page.keyboard.press('F3');
        await expect(candidates(page).first()).toBeChecked();
    });
});

test('the desk\'s core runs in a worker: the same answer there as in the page', async ({ page }, testInfo) => {
    desktopOnly(testInfo);
    await openAnimation(page);
    const text = readFileSync(taskFile('worker.cyclar-task', motionTask(crankRocker, [-3.0, -1.9, -0.7, 0.5, 1.8], rotation(1, 0, 0, 0))), 'utf8');
    const [inPage, inWorker] = await page.evaluate(async (taskText) => {
        const desk = new URL('js/desk_core.js', location.href).href;
        const source = `import { loadDesk } from '${desk}';
            onmessage = async ({ data }) => postMessage((await loadDesk()).design(data));`;
        const worker = new Worker(URL.createObjectURL(new Blob([source], { type: 'text/javascript' })), { type: 'module' });
        const answer = new Promise((resolve, reject) => {
            worker.onmessage = ({ data }) => resolve(data);
            worker.onerror = (event) => reject(new Error(event.message));
        });
        worker.postMessage(taskText);
        const there = await answer;
        worker.terminate();
        return [(await window.cyclar.desk()).design(taskText), there];
    }, text);
    expect(inPage.candidates.length).toBeGreaterThan(0);
    expect(inWorker).toEqual(inPage);
});

for (const { name, dims, ts, quaternion } of [
    { name: 'the defaults', dims: defaults, ts: [-2.4, -1.4, -0.4, 0.6, 1.6], quaternion: [0.3, -0.5, 0.7, 0.4] },
    { name: 'a crank-rocker', dims: crankRocker, ts: [-3.0, -1.9, -0.7, 0.5, 1.8], quaternion: [-0.2, 0.9, 0.1, -0.6] },
]) {
    test(`five positions of ${name}: cyclar-export's candidates, the linkage among them, and Use this linkage`, async ({ page }, testInfo) => {
        if (dims !== defaults) {
            desktopOnly(testInfo);
        }
        const task = motionTask(dims, ts, rotation(...quaternion));
        const path = taskFile(`five-${name.replace(/ /g, '-')}.cyclar-task`, task);
        const expected = JSON.parse(exportText(['design', '--task', path]));
        expect(expected.candidates.length).toBeGreaterThan(0);

        await openAnimation(page);
        await page.keyboard.press('F3');
        await openTaskFile(page, path, ['Position 5 heading', String(task.positions[4].heading)]);
        // The table holds the file's numbers exactly: what the panel designs is the file's task.
        const result = await page.evaluate(() => window.cyclar.app.desk.top().design.result);
        expect(result.candidates.length).toBe(expected.candidates.length);
        // Numbers to rounding: the browser's trigonometry may differ from the C library's in the
        // last bit. The order is the same, candidate by candidate, mechanism by mechanism.
        result.candidates.forEach((c, i) => {
            expect(sameDims(c.dims, expected.candidates[i].dims, 1e-9), `candidate ${i + 1}`).toBe(true);
            expect(c.mechanism).toBe(expected.candidates[i].mechanism);
        });
        expect(result.candidates[0].type).toBe(expected.candidates[0].type);
        expect(result.candidates[0].defects).toEqual(expected.candidates[0].defects);
        const count = expected.candidates.at(-1).mechanism;
        await expect(mechanisms(page)).toHaveCount(count);
        await expect(reason(page)).toHaveText(`${count} mechanism${count === 1 ? '' : 's'} (${expected.candidates.length} candidates) do${count === 1 ? 'es' : ''} the task.`);

        // The generating linkage is among them; used, it is the animation page's.
        const generating = Object.fromEntries(keys.map((key, i) => [key, dims[i]]));
        const at = result.candidates.findIndex((c) => sameDims(c.dims, generating, 1e-6));
        expect(at, 'the linkage the task was taken from is a candidate').toBeGreaterThanOrEqual(0);
        const holder = mechanisms(page).nth(result.candidates[at].mechanism - 1);
        if (!(await holder.evaluate((details) => details.open))) await holder.locator('summary').click();
        const option = holder.getByRole('radio', { name: new RegExp(`^Candidate ${at + 1}: `) });
        await option.check();
        await expect(designPanel(page).locator('p.design-chosen')).toContainText(`Candidate ${at + 1} (mechanism`);
        await button(designPanel(page), 'Use this linkage').click();
        const chosen = result.candidates[at].dims;
        await expect.poll(() => page.evaluate(() => window.cyclar.app.state.animationCopy)).toEqual(chosen);
        const animation = animationPage(page);
        for (const key of keys) {
            await expect(field(animation, key)).toHaveValue(await page.evaluate((v) => window.cyclar.core.formatNumber(v), chosen[key]));
        }
        // As a file's linkage: the page starts again from its first frame, with the starting view.
        expect(await page.evaluate(() => [window.cyclar.app.state.savedFrameIndex, window.cyclar.app.scene.turn, window.cyclar.app.scene.tilt])).toEqual([0, -18, -18]);
    });
}

test('a function task: the generating linkage from four pairs, and the task saved as the core writes it', async ({ page }, testInfo) => {
    desktopOnly(testInfo);
    await openAnimation(page);
    await page.keyboard.press('F3');
    const panel = designPanel(page);
    await panel.getByRole('radio', { name: 'Function' }).check();
    // The linkage's own output angles at four inputs, from its angle table.
    // Four inputs of one lap: a crank-rocker's frames 181 to 360 repeat frames 1 to 180.
    const rows = exportText(['angles', '--dims', crankRocker.join(',')]).trim().split('\n').slice(1).map((line) => line.split(',').map(Number));
    const pairs = [20, 70, 110, 160].map((frame) => rows[frame - 1]).map(([, , input, output]) => ({ input, output }));
    const path = taskFile('four-pairs.cyclar-task', { format: 'cyclar-task', version: 1, kind: 'function', pairs });
    await openTaskFile(page, path, ['Pair 4 output angle', String(pairs[3].output)]);
    const expected = JSON.parse(exportText(['design', '--task', path]));
    const result = await page.evaluate(() => window.cyclar.app.desk.top().design.result);
    expect(result.kind).toBe('function');
    expect(result.candidates.length).toBe(expected.candidates.length);
    const generating = Object.fromEntries(keys.slice(0, 4).map((key, i) => [key, crankRocker[i]]));
    expect(result.candidates.some((c) => ['a', 'b', 'c', 'f'].every((key) => Math.abs(c.dims[key] - generating[key]) < 1e-6))).toBe(true);

    // Saved, the table is the same task, written with every digit.
    const download = page.waitForEvent('download');
    await button(panel, 'Save task…').click();
    const file = await download;
    expect(file.suggestedFilename()).toBe('task.cyclar-task');
    const saved = join(folder, 'saved.cyclar-task');
    await file.saveAs(saved);
    const text = readFileSync(saved, 'utf8');
    expect(JSON.parse(text)).toEqual({ format: 'cyclar-task', version: 1, kind: 'function', pairs });
    // And it designs the same in cyclar-export.
    expect(JSON.parse(exportText(['design', '--task', saved]))).toEqual(expected);
});

// Tasks the table makes that are refused, with the sentence the panel shows; cyclar-export
// refuses the same task with the same sentence after the file's name.
const refused = [
    { name: 'a latitude at the pole', cell: 'Position 2 latitude', text: '90' },
    { name: 'two positions the same', cell: 'Position 3 longitude', copyRow: 1 },
    { name: 'a row removed, leaving two', remove: 1 },
];

for (const { name, cell, text, copyRow, remove } of refused) {
    test(`a bad task is refused with its reason: ${name}`, async ({ page }, testInfo) => {
        desktopOnly(testInfo);
        await openAnimation(page);
        await page.keyboard.press('F3');
        const panel = designPanel(page);
        await expect(candidates(page).first()).toBeChecked();
        if (text !== undefined) await panel.getByRole('textbox', { name: cell, exact: true }).fill(text);
        if (copyRow !== undefined) {
            for (const column of ['longitude', 'latitude', 'heading']) {
                const value = await panel.getByRole('textbox', { name: `Position ${copyRow} ${column}`, exact: true }).inputValue();
                await panel.getByRole('textbox', { name: `Position 3 ${column}`, exact: true }).fill(value);
            }
        }
        if (remove !== undefined) {
            for (let i = 0; i < remove; ++i) await button(panel, 'Remove position 1').click();
        }
        await button(panel, 'Design').click();
        await expect(reason(page)).toBeVisible();
        const sentence = await reason(page).textContent();
        expect(sentence.length).toBeGreaterThan(0);
        await expect(candidates(page)).toHaveCount(0);
        await expect(button(panel, 'Use this linkage')).toBeDisabled();

        // The same task as a file: cyclar-export refuses it with the same sentence.
        const task = await page.evaluate(() => window.cyclar.app.desk.top().design.tableTask().task);
        const path = taskFile('refused.cyclar-task', { format: 'cyclar-task', version: 1, ...task });
        const run = exportRun(['design', '--task', path]);
        expect(run.status).toBe(2);
        // The panel says it as a sentence of its own.
        const said = sentence.replace(/^The task /, '').replace(/\.$/, '');
        expect(run.stderr.toLowerCase()).toContain(said.toLowerCase());
    });
}

test('a cell that is not a number, and a task file the reader refuses, are said in the panel', async ({ page }, testInfo) => {
    desktopOnly(testInfo);
    await openAnimation(page);
    await page.keyboard.press('F3');
    const panel = designPanel(page);
    const cell = panel.getByRole('textbox', { name: 'Position 3 heading', exact: true });
    await cell.fill(' north ');
    await cell.press('Enter');
    await expect(reason(page)).toHaveText("Position 3, heading: 'north' is not a number.");
    await expect(cell).toBeFocused();
    // The desktop's rule, from the same function: a group separator is no part of a number, and
    // an exponent and blanks around are.
    await cell.fill('1,000');
    await cell.press('Enter');
    await expect(reason(page)).toHaveText("Position 3, heading: '1,000' is not a number.");
    await cell.fill(' -1.234e2\t');
    await cell.press('Enter');
    await expect(reason(page)).toContainText(/does? the task\./);
    await cell.fill(' north ');

    const path = taskFile('newer.cyclar-task', '{"format": "cyclar-task", "version": 2, "kind": "motion", "positions": []}');
    const run = exportRun(['design', '--task', path]);
    expect(run.status).toBe(2);
    await openTaskFile(page, path);
    await expect(reason(page)).toContainText('newer.cyclar-task');
    const shown = await reason(page).textContent();
    expect(shown.startsWith('newer.cyclar-task ')).toBe(true);
    // cyclar-export: 'PATH' sentence.
    expect(run.stderr).toContain(shown.slice('newer.cyclar-task '.length, -1));
    // The table is as it was.
    await expect(cell).toHaveValue(' north ');

    // The core reads no more rows than it was given numbers for, however many it is told of
    // (three times this count wraps round a 32-bit size to 2).
    const told = await page.evaluate(async () => {
        const core = await window.cyclar.desk();
        core.api.taskNumbers(3);
        return [JSON.parse(core.api.taskText(0, 1431655766, 0)), JSON.parse(core.api.taskText(1, -1, 1))];
    });
    expect(told).toEqual([{ problem: 'The table does not make a task.' }, { problem: 'The table does not make a task.' }]);
});

test('rows added and removed: a new row copies the one above, the table numbers them, a sixth position is refused', async ({ page }, testInfo) => {
    desktopOnly(testInfo);
    await openAnimation(page);
    await page.keyboard.press('F3');
    const panel = designPanel(page);
    const cell = (name) => panel.getByRole('textbox', { name, exact: true });
    await button(panel, 'Add row').click();
    await expect(cell('Position 4 longitude')).toBeFocused();
    await expect(cell('Position 4 longitude')).toHaveValue('76.8');
    await button(panel, 'Add row').click();
    await button(panel, 'Add row').click();
    await button(panel, 'Design').click();
    await expect(reason(page)).toHaveText('The task has 6 positions; a motion task takes at most five.');
    await expect(candidates(page)).toHaveCount(0);
    for (const row of [6, 5, 4]) await button(panel, `Remove position ${row}`).click();
    await button(panel, 'Remove position 2').click();
    await expect(cell('Position 2 longitude')).toHaveValue('76.8');
    await expect(cell('Position 3 longitude')).toHaveCount(0);
    // Saving a task the reader would refuse saves nothing, and says why.
    await button(panel, 'Save task…').click();
    await expect(reason(page)).toHaveText('Not saved: The task has 2 positions; a motion task needs three to five.');
});

test('the panel fits the screen and axe-core finds nothing serious in it', async ({ page }) => {
    await openAnimation(page);
    await page.getByRole('button', { name: 'Menu', exact: true }).click();
    await page.getByRole('menuitem', { name: 'Design…', exact: true }).click();
    const panel = designPanel(page);
    await expect(candidates(page).first()).toBeChecked();
    const box = await panel.boundingBox();
    const view = page.viewportSize();
    expect(box.x).toBeGreaterThanOrEqual(0);
    expect(box.y).toBeGreaterThanOrEqual(0);
    expect(box.x + box.width).toBeLessThanOrEqual(view.width);
    expect(box.y + box.height).toBeLessThanOrEqual(view.height);
    // At full size where the screen has room for it: its fields and buttons keep their size.
    expect(box.width / (await panel.evaluate((e) => e.offsetWidth))).toBeCloseTo(1, 3);
    await button(panel, 'Use this linkage').click();
    await expect(animationPage(page)).toBeVisible();

    const axePath = createRequire(import.meta.url).resolve('axe-core/axe.min.js');
    await page.addScriptTag({ path: axePath });
    const result = await page.evaluate(() =>
        window.axe.run('.window.design', { runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22aa'] } })
    );
    expect(result.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`)).toEqual([]);
});

test('the browser\'s time for a five-position design', async ({ page }, testInfo) => {
    test.skip(testInfo.project.name !== 'desktop', 'timed on the desktop only');
    await openAnimation(page);
    // The native benchmark's task (bench_design): five positions of a crank-rocker's coupler,
    // heading along the arc toward A1, in the linkage's own frame.
    const task = motionTask([20, 60, 70, 75, 30, 110], [-2.5, -1.2, 0.3, 1.4, 2.6], rotation(1, 0, 0, 0), 0);
    const text = readFileSync(taskFile('timed.cyclar-task', task), 'utf8');
    const times = await page.evaluate(async (taskText) => {
        const core = await window.cyclar.desk();
        const time = (call) => {
            // The first calls run on the engine's baseline code while it compiles the optimised;
            // the runs timed are those after.
            for (let i = 0; i < 10; ++i) {
                call();
            }
            const runs = [];
            for (let i = 0; i < 11; ++i) {
                const start = performance.now();
                call();
                runs.push(performance.now() - start);
            }
            return runs.sort((x, y) => x - y)[5];
        };
        // The wasm call (the design and its answer's JSON text), and with the page reading it.
        return {
            call: time(() => core.api.design(core.toFileBuffer(taskText))),
            read: time(() => core.design(taskText)),
            candidates: core.design(taskText).candidates.length,
        };
    }, text);
    console.log(`web: a five-position design (${times.candidates} candidates) ${times.call.toFixed(2)} ms in the wasm call, ${times.read.toFixed(2)} ms with the page reading its answer (medians of 11)`);
    testInfo.annotations.push({ type: 'five-position design (ms, median)', description: times.call.toFixed(2) });
});
