// The working and exercise panels: the working word for word cyclar-export explain's, following
// the frame or held at a typed angle and branch; its handout the one cyclar-export writes, and
// printable on A4 and Letter; an exercise opened from its file, checked as cyclar-export check
// marks it, its values shown only after "Show the working" and never where the file forbids it;
// the panels on every screen, axe-core, and both working offline.
import { expect, test } from '@playwright/test';
import { createRequire } from 'node:module';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { animationPage, button, dimensionsPage, exportRun, exportText, message, openAnimation } from './helpers.mjs';

const workingPanel = (page) => page.getByRole('dialog', { name: 'The working', exact: true });
const workingText = (page) => workingPanel(page).getByRole('region', { name: 'The working', exact: true });
const exercisePanel = (page, title) => page.getByRole('dialog', { name: title, exact: true });

let folder;
test.beforeAll(() => {
    folder = mkdtempSync(join(tmpdir(), 'cyclar-web-working-'));
});
test.afterAll(() => rmSync(folder, { recursive: true, force: true }));

function desktopOnly(testInfo) {
    test.skip(testInfo.project.name !== 'desktop', 'the same on every screen; run on the desktop');
}

// A crank-rocker: every frame has a pose, and the frames go round both branches' values.
const crankRocker = [20, 50, 45, 40, 45, -35];

// What cyclar-export explain prints for the linkage at theta on the branch.
const explained = (dims, theta, branch, format = 'text') =>
    exportText(['explain', '--dims', dims.join(','), '--input', String(theta), '--branch', String(branch), '--format', format]);

// Where the working stands, as the panel says it on its element.
const standing = (page) =>
    workingPanel(page).evaluate((panel) => ({ theta: Number(panel.dataset.theta), branch: Number(panel.dataset.branch) }));

// The page's clock stopped, so that the test moves the frames itself.
async function stopClock(page) {
    await page.evaluate(() => window.cyclar.app.desk.top().KillTimer());
}
async function tick(page, count) {
    await page.evaluate((n) => {
        const top = window.cyclar.app.desk.top();
        for (let i = 0; i < n; ++i) top.OnTimer();
    }, count);
}

// An exercise file from cyclar-export exercise, with its key: { path, title, key: { id: answer } }.
function generatedExercise(seed, extra = {}) {
    const out = join(folder, `seed-${seed}`);
    exportText(['exercise', '--seed', String(seed), '--count', '1', '-o', out]);
    const path = join(out, 'exercise-01.cyclar-exercise');
    const file = { ...JSON.parse(readFileSync(path, 'utf8')), ...extra };
    if (Object.keys(extra).length > 0) writeFileSync(path, JSON.stringify(file));
    const key = {};
    for (const line of readFileSync(join(out, 'answers.csv'), 'utf8').trim().split('\n').slice(1)) {
        const [, id, , ...answer] = line.split(',');
        key[id] = answer.join(',');
    }
    return { path, title: file.title, file, key };
}

async function openExercise(page, path) {
    const chooser = page.waitForEvent('filechooser');
    await page.getByRole('button', { name: 'Menu', exact: true }).click();
    await page.getByRole('menuitem', { name: 'Open exercise…', exact: true }).click();
    await (await chooser).setFiles(path);
}

test('F4 and the menu open one panel following the frame, word for word cyclar-export explain; Escape closes it', async ({ page }, testInfo) => {
    desktopOnly(testInfo);
    await openAnimation(page, crankRocker);
    await stopClock(page);
    await tick(page, 40);
    await page.keyboard.press('F4');
    await expect(workingPanel(page)).toHaveCount(1);
    await page.getByRole('button', { name: 'Menu', exact: true }).click();
    await page.getByRole('menuitem', { name: 'Show the working…', exact: true }).click();
    await expect(workingPanel(page)).toHaveCount(1);

    // The frame's input angle and branch, as the Analysis panel's markers have them.
    const frameInput = () => page.evaluate(() => window.cyclar.app.desk.top().scene.input);
    const first = await standing(page);
    expect(first).toEqual(await frameInput());
    expect(await workingText(page).textContent()).toBe(explained(crankRocker, first.theta, first.branch));
    await tick(page, 150);
    const later = await standing(page);
    expect(later.theta).not.toBe(first.theta);
    expect(later).toEqual(await frameInput());
    expect(await workingText(page).textContent()).toBe(explained(crankRocker, later.theta, later.branch));

    await workingPanel(page).press('Escape');
    await expect(workingPanel(page)).toHaveCount(0);
    await expect(animationPage(page)).toBeVisible();
    expect(await page.evaluate(() => window.cyclar.app.desk.top().working)).toBe(null);
});

test('a typed angle and branch hold whatever the frame does; text that is no angle is said', async ({ page }, testInfo) => {
    desktopOnly(testInfo);
    await openAnimation(page);
    await stopClock(page);
    await page.keyboard.press('F4');
    const panel = workingPanel(page);
    const angle = panel.getByRole('textbox', { name: 'input angle θ to hold, in degrees', exact: true });
    await angle.fill('\u221230');
    await panel.getByRole('combobox', { name: 'branch', exact: true }).selectOption('2');
    await angle.press('Enter');
    await expect(panel.getByRole('radio', { name: 'Hold θ =', exact: true })).toBeChecked();
    await expect.poll(() => standing(page)).toEqual({ theta: -30, branch: 2 });
    await tick(page, 25);
    expect(await standing(page)).toEqual({ theta: -30, branch: 2 });
    expect(await workingText(page).textContent()).toBe(explained([50, 30, 35, 40, 45, -35], -30, 2));

    await angle.fill('north');
    await angle.press('Enter');
    await expect(panel.getByRole('alert')).toHaveText('Type the input angle θ in degrees, such as 30 or -12.5, then press Enter.');
    await expect(angle).toBeFocused();
    expect(await standing(page)).toEqual({ theta: -30, branch: 2 });

    // Following again: the frame shown now, and on with it.
    await panel.getByRole('radio', { name: 'Follow the animation', exact: true }).check();
    await expect(panel.getByRole('alert')).toBeHidden();
    await tick(page, 1);
    expect(await standing(page)).toEqual(await page.evaluate(() => window.cyclar.app.desk.top().scene.input));
});

test('Copy, Save as HTML and Print… give the text and the handout cyclar-export writes, which prints on A4 and Letter', async ({ page, context }, testInfo) => {
    desktopOnly(testInfo);
    await context.grantPermissions(['clipboard-read', 'clipboard-write']);
    await openAnimation(page);
    await page.keyboard.press('F4');
    const panel = workingPanel(page);
    const angle = panel.getByRole('textbox', { name: 'input angle θ to hold, in degrees', exact: true });
    await angle.fill('30');
    await angle.press('Enter');
    await expect.poll(() => standing(page)).toEqual({ theta: 30, branch: 1 });
    const dims = [50, 30, 35, 40, 45, -35];

    await button(panel, 'Copy').click();
    await expect.poll(() => page.evaluate(() => navigator.clipboard.readText())).toBe(explained(dims, 30, 1));

    // The handout in the page's view, which is the one cyclar-export starts from.
    const handout = explained(dims, 30, 1, 'html');
    const download = page.waitForEvent('download');
    await button(panel, 'Save as HTML…').click();
    const saved = await download;
    expect(saved.suggestedFilename()).toBe('working.html');
    expect(readFileSync(await saved.path(), 'utf8')).toBe(handout);

    // Printed from a frame of its own that holds the same page; the print itself is the
    // browser's, so it is only counted.
    await page.evaluate(() => {
        window.printed = 0;
        const original = HTMLIFrameElement.prototype.addEventListener;
        HTMLIFrameElement.prototype.addEventListener = function (type, listener, options) {
            original.call(this, type, type === 'load' ? () => {
                this.contentWindow.print = () => ++window.printed;
                listener();
            } : listener, options);
        };
    });
    await button(panel, 'Print…').click();
    await expect.poll(() => page.evaluate(() => window.printed)).toBe(1);
    expect(await page.locator('iframe.working-print').getAttribute('srcdoc')).toBe(handout);

    // The handout on paper: nothing wider than the page, the figures and every section there.
    const paper = await context.newPage();
    await paper.setContent(handout);
    await paper.emulateMedia({ media: 'print' });
    for (const [format, width] of [['A4', 210], ['Letter', 215.9]]) {
        // The printable width at 96 px an inch, within the 15 mm margins the handout asks for.
        await paper.setViewportSize({ width: Math.floor(((width - 30) / 25.4) * 96), height: 1000 });
        const widest = await paper.evaluate(() => Math.max(...[...document.body.querySelectorAll('*')].map((e) => e.getBoundingClientRect().right)));
        expect(widest).toBeLessThanOrEqual(await paper.evaluate(() => document.documentElement.clientWidth));
        const pdf = await paper.pdf({ format });
        expect(pdf.subarray(0, 4).toString()).toBe('%PDF');
    }
    expect(await paper.locator('svg').count()).toBeGreaterThanOrEqual(2);
    for (const section of ['Classification', 'Position at θ', 'Limits', 'Velocity at θ', 'Acceleration at θ']) {
        await expect(paper.getByRole('heading', { level: 2, name: section })).toHaveCount(1);
    }
    await paper.close();
});

test.describe(() => {
    // The service worker would answer from its copy, out of the test's reach.
    test.use({ serviceWorkers: 'block' });
    test('the panel\'s code is loaded when it first opens; a failed load is said, and the next opening loads it', async ({ page }, testInfo) => {
        desktopOnly(testInfo);
        await page.route('**/js/working.js', (route) => route.abort());
        await openAnimation(page);
        await page.keyboard.press('F4');
        const box = message(page);
        await expect(box).toContainText('The working panel could not be loaded');
        await button(box, 'OK').click();
        await expect(workingPanel(page)).toHaveCount(0);
        await page.unroute('**/js/working.js');
        await page.keyboard.press('F4');
        await expect(workingText(page)).toContainText('The working for a = 50°');
    });
});

test('an exercise answered and checked: its key correct, an answer off by twice its tolerance not yet with the step named, as cyclar-export check marks them', async ({ page }, testInfo) => {
    desktopOnly(testInfo);
    await openAnimation(page);
    const { path, title, file, key } = generatedExercise(7);
    await openExercise(page, path);
    const panel = exercisePanel(page, title);
    await expect(panel).toBeVisible();
    // The exercise's linkage is on the page.
    const dims = file.linkage.dimensions;
    expect(await page.evaluate(() => window.cyclar.app.desk.top().modelDims)).toEqual(dims);
    const answer = (id) => panel.getByRole('textbox', { name: `answer to ${id}`, exact: true });

    // No value is shown before the working is asked for.
    await expect(panel.locator('.exercise-answer:visible')).toHaveCount(0);
    for (const question of file.questions) await answer(question.id).fill(key[question.id]);
    await button(panel, 'Check').click();
    await expect(panel.getByText(`${file.questions.length} of ${file.questions.length} correct`)).toBeVisible();
    await expect(panel.getByText('correct', { exact: true })).toHaveCount(file.questions.length);

    // One number moved by twice its tolerance, one word wrong, one left out: each not yet, with
    // the hint cyclar-export check gives.
    const numeric = file.questions.find((q) => q.kind === 'output');
    const moved = String(Number(key[numeric.id]) + 2 * numeric.tolerance);
    await answer(numeric.id).fill(moved);
    await answer('q1').fill('Hooke\'s joint');
    await answer('q2').fill('');
    await answer('q2').press('Enter');
    const answers = Object.fromEntries(file.questions.map((q) => [q.id, key[q.id]]));
    answers[numeric.id] = Number(moved);
    answers.q1 = 'Hooke\'s joint';
    delete answers.q2;
    for (const [id, text] of Object.entries(answers)) {
        if (/^-?[0-9.e+-]+$/.test(text)) answers[id] = Number(text);
        else if (/^-?[0-9.e+-]+ -?[0-9.e+-]+$/.test(text)) answers[id] = text.split(' ').map(Number);
    }
    const answersPath = join(folder, 'answers.json');
    writeFileSync(answersPath, JSON.stringify(answers));
    const marks = JSON.parse(exportRun(['check', '--exercise', path, '--answers', answersPath]).stdout);
    expect(marks.score).toBe(file.questions.length - 3);
    for (const result of marks.results) {
        const mark = panel.locator(`li:has(input[data-id="${result.id}"]) .exercise-mark`);
        await expect(mark).toHaveText(result.correct ? 'correct' : `not yet: ${result.hint}`);
    }
    await expect(panel.getByText(`${marks.score} of ${marks.of} correct`)).toBeVisible();
    // No right value anywhere on the page yet.
    expect(await panel.textContent()).not.toContain(key[numeric.id]);

    // Show the working: the values, and the working held at the questions' input angle.
    await button(panel, 'Show the working').click();
    await expect(panel.locator('.exercise-answer:visible')).toHaveCount(file.questions.length);
    await expect.poll(() => standing(page)).toEqual({ theta: numeric.input, branch: numeric.branch });
    const dimsList = ['a', 'b', 'c', 'f', 'h', 'k'].map((k) => dims[k]);
    expect(await workingText(page).textContent()).toBe(explained(dimsList, numeric.input, numeric.branch));
    await expect(panel.locator(`li:has(input[data-id="${numeric.id}"]) .exercise-answer`)).toContainText('Answer: ');
});

test('an exercise that forbids the working shows no value and no working; a file the reader refuses is said as cyclar-export says it', async ({ page }, testInfo) => {
    desktopOnly(testInfo);
    await openAnimation(page);
    await page.keyboard.press('F4');
    await expect(workingPanel(page)).toBeVisible();
    const { path, title } = generatedExercise(11, { title: 'A test', showWorking: false });
    await openExercise(page, path);
    const panel = exercisePanel(page, title);
    await expect(panel).toBeVisible();
    // The open working panel goes, and F4 says why it does not open.
    await expect(workingPanel(page)).toHaveCount(0);
    await expect(button(panel, 'Show the working')).toBeDisabled();
    await page.keyboard.press('F4');
    await expect(page.getByRole('status')).toHaveText('This exercise does not show the working.');
    await expect(workingPanel(page)).toHaveCount(0);
    // The core gives no values for it either.
    expect(await page.evaluate(async () => (await window.cyclar.desk()).exerciseKey())).toEqual({ answers: [] });

    // A refused file: the sentence cyclar-export gives, after the file's name; the exercise open
    // stays open and checked as before.
    const bad = join(folder, 'newer.cyclar-exercise');
    writeFileSync(bad, '{"format": "cyclar-exercise", "version": 2}');
    const none = join(folder, 'none.json');
    writeFileSync(none, '{}');
    const run = exportRun(['check', '--exercise', bad, '--answers', none]);
    expect(run.status).not.toBe(0);
    await openExercise(page, bad);
    const box = message(page);
    await expect(box).toContainText('newer.cyclar-exercise ');
    const said = (await box.textContent()).match(/newer\.cyclar-exercise (.*)\./)[1];
    expect(run.stderr).toContain(said);
    await button(box, 'OK').click();
    await expect(panel).toBeVisible();
    await button(panel, 'Check').click();
    await expect(panel.getByText(/^0 of \d+ correct$/)).toBeVisible();
});

test('both panels fit the screen and axe-core finds nothing serious in them', async ({ page }) => {
    await openAnimation(page);
    const { path, title } = generatedExercise(3);
    await openExercise(page, path);
    const exercise = exercisePanel(page, title);
    await expect(exercise).toBeVisible();
    await button(exercise, 'Check').click();
    await button(exercise, 'Show the working').click();
    await expect(workingText(page)).toContainText('The working for');
    const view = page.viewportSize();
    for (const panel of [exercise, workingPanel(page)]) {
        const box = await panel.boundingBox();
        expect(box.x).toBeGreaterThanOrEqual(0);
        expect(box.y).toBeGreaterThanOrEqual(0);
        expect(box.x + box.width).toBeLessThanOrEqual(view.width + 0.5);
        expect(box.y + box.height).toBeLessThanOrEqual(view.height + 0.5);
    }

    const axePath = createRequire(import.meta.url).resolve('axe-core/axe.min.js');
    await page.addScriptTag({ path: axePath });
    const result = await page.evaluate(() =>
        window.axe.run(
            { include: [['.window.working'], ['.window.exercise']] },
            { runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22aa'] } }
        )
    );
    expect(result.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`)).toEqual([]);
});

test('after one visit both panels work offline', async ({ page, context }, testInfo) => {
    desktopOnly(testInfo);
    const { path, title, file, key } = generatedExercise(5);
    await openAnimation(page);
    await page.waitForFunction(async () => {
        const ready = await navigator.serviceWorker.ready;
        return ready.active?.state === 'activated' && navigator.serviceWorker.controller !== null;
    });
    await context.setOffline(true);
    // The address holds the linkage: the reload comes back to its dimensions.
    await page.reload();
    await button(dimensionsPage(page), 'Submit').click();
    await expect(animationPage(page)).toBeVisible();
    // Neither panel's code nor the desk's core was fetched before: they come from the copy.
    expect(await page.evaluate(() => performance.getEntriesByType('resource').some((r) => /working\.js|cyclar-desk/.test(r.name)))).toBe(false);
    await page.keyboard.press('F4');
    await expect(workingText(page)).toContainText('The working for a = 50°');
    await openExercise(page, path);
    const panel = exercisePanel(page, title);
    for (const question of file.questions) await panel.getByRole('textbox', { name: `answer to ${question.id}`, exact: true }).fill(key[question.id]);
    await button(panel, 'Check').click();
    await expect(panel.getByText(`${file.questions.length} of ${file.questions.length} correct`)).toBeVisible();
    await context.setOffline(false);
});
