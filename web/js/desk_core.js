// The desk's WebAssembly core: the design of linkages and task files, the working and the
// exercises, behind the desk module's functions. It is loaded the first time a tool panel asks for it, and runs in the page or in a
// worker alike.
import createCyclarDesk from '../cyclar-desk.js';
import { bindApi } from '../cyclar-desk-api.js';
import { ModuleMemory, clampScale } from './module_memory.js';

const dimensionArgs = (d) => [d.a, d.b, d.c, d.f, d.h, d.k];
const workingFormats = { text: 0, markdown: 1, json: 2 };

export class DeskCore extends ModuleMemory {
    constructor(module) {
        super(module, bindApi);
    }

    // A design task's cell as a number, or null when the cell rules do not take it.
    cellNumber(text) {
        // The core reads text up to its first NUL; a text holding one is no number at all.
        if (text.includes('\0')) return null;
        const value = this.api.parseCellNumber(text);
        return Number.isNaN(value) ? null : value;
    }

    // The most of a task file worth reading: one byte past the limit tells the core the file is
    // over it.
    taskFileReadLimit() {
        return this.api.taskFileMaxBytes() + 1;
    }

    // Reads a task file's bytes with the core's one reader: { task } as the file states it
    // ({ kind, positions, fixedPivots, pairs, ground }, the optional ones absent when not
    // given), or { problem }, the sentence to show after the file's name.
    parseTaskFile(bytes) {
        const result = JSON.parse(this.api.readTaskFile(this.toFileBuffer(bytes)));
        return result.problem !== undefined ? { problem: result.problem } : { task: result.task };
    }

    // The text of a task, as the desktop writes it: { text }, or { problem } when the reader
    // would refuse it. The task: { kind: 'motion', positions: [{ longitude, latitude, heading }],
    // fixedPivots: [] or two { longitude, latitude } } or { kind: 'function', pairs: [{ input,
    // output }], ground: number or null }.
    taskText(task) {
        const motion = task.kind === 'motion';
        const rows = motion
            ? task.positions.map((p) => [p.longitude, p.latitude, p.heading])
            : task.pairs.map((p) => [p.input, p.output]);
        const extras = motion
            ? (task.fixedPivots ?? []).flatMap((p) => [p.longitude, p.latitude])
            : task.ground === null || task.ground === undefined ? [] : [task.ground];
        const numbers = [...rows.flat(), ...extras];
        const at = this.api.taskNumbers(numbers.length) / Float64Array.BYTES_PER_ELEMENT;
        this.module.HEAPF64.set(numbers, at);
        return JSON.parse(this.api.taskText(motion ? 0 : 1, rows.length, extras.length > 0 ? 1 : 0));
    }

    // Designs linkages for a task's text; the core keeps the task and the answer for the view.
    // What cyclar-export design prints ({ kind, candidates, reason }), or { problem } for a task
    // the reader or the design refuses.
    design(text) {
        return JSON.parse(this.api.design(this.toFileBuffer(text)));
    }

    // How many steps the animation of candidate i (from 0) of the last design goes through.
    designTourLength(i) {
        return this.api.designTourLength(i);
    }

    // The view (turn and tilt, degrees) that faces the last design's task.
    designFacingView() {
        const at = this.api.designFacingView() / Float64Array.BYTES_PER_ELEMENT;
        const held = this.module.HEAPF64;
        return { turn: held[at], tilt: held[at + 1] };
    }

    // The design view of the last design's task with candidate i (null: none) at a step of its
    // tour, the sphere turned and tilted (degrees), `size` picture pixels square (64 to 1024) at
    // `scale` device pixels per picture pixel; valid until the next call into the core.
    designView(i, step, turn, tilt, size, scale) {
        const k = clampScale(scale);
        const side = Math.min(1024, Math.max(64, Math.round(size))) * k;
        return this.imageAt(this.api.designView(i ?? -1, step, turn, tilt, side / k, k), side, side);
    }

    // The working of a linkage at theta on a branch, as cyclar-export explain prints it: 'text',
    // 'markdown' or 'json' (parsed).
    working(dims, theta, branch, format = 'text') {
        const text = this.api.working(...dimensionArgs(dims), theta, branch, workingFormats[format]);
        return format === 'json' ? JSON.parse(text) : text;
    }

    // The working as the HTML handout, its picture in the view turned and tilted so.
    workingHtml(dims, theta, branch, turn, tilt) {
        return this.api.workingHtml(...dimensionArgs(dims), theta, branch, turn, tilt);
    }

    // The most of an exercise file worth reading, as for task files.
    exerciseFileReadLimit() {
        return this.api.exerciseFileMaxBytes() + 1;
    }

    // Reads an exercise file with the core's one reader, which then holds it for the checks:
    // { exercise } with { title, dims, showWorking, questions: [{ id, kind, text, input, branch }] },
    // or { problem }, the sentence cyclar-export gives after the file's name.
    parseExerciseFile(bytes) {
        const result = JSON.parse(this.api.readExerciseFile(this.toFileBuffer(bytes)));
        return result.problem !== undefined ? { problem: result.problem } : { exercise: result };
    }

    // The marks of the answers typed, in the questions' order: { results: [{ id, correct, hint }],
    // score, of }, as cyclar-export check prints them.
    checkExercise(typed) {
        return JSON.parse(this.api.exerciseCheck(typed.map((text) => text.replace(/[\r\n\0]/g, ' ')).join('\n')));
    }

    // The held exercise's right values as a student reads them: { answers: [{ id, text }] },
    // none when the file forbids the working.
    exerciseKey() {
        return JSON.parse(this.api.exerciseKey());
    }

    // What the last design found, as the line over the list says it.
    designSaid() {
        return this.api.designSaid();
    }

    // The last design's candidates as the lists show them, in order: [{ mechanism, variant, a, b,
    // c, f, type, state, transmission, usable }], the angles as text with their unit.
    designRows() {
        return JSON.parse(this.api.designRows());
    }

    // The indices of the last design's candidates that pass the filters.
    designFilter({ usableOnly, leastTransmission, shortestLink, longestLink }) {
        return JSON.parse(this.api.designFilter(usableOnly ? 1 : 0, leastTransmission, shortestLink, longestLink));
    }

    // What the panel says of candidate i (-2: the linkage two picks on the map made).
    designChosen(i) {
        return this.api.designChosen(i);
    }

    // What the last design's solution map asks for or says ('' when its task has none).
    designMapHint() {
        return this.api.designMapHint();
    }

    designShowMap(shown) {
        this.api.designShowMap(shown ? 1 : 0);
    }

    // A tap at picture pixel (x, y) of a design view `size` pixels square, turned and tilted as
    // given: 0 when it picks nothing on the map, else how many picks there are (2: their
    // linkage is candidate -2).
    designPick(x, y, turn, tilt, size) {
        return this.api.designPick(x, y, turn, tilt, size);
    }

    // The linkages two picks on the map made, as design() gives candidates: { candidates }.
    designMapLinkages() {
        return JSON.parse(this.api.designMapLinkages());
    }

    // The Design section of Help: [{ heading, paragraphs }].
    designHelp() {
        return JSON.parse(this.api.designHelp());
    }

    // Chebyshev spacing: { inputs } or { problem }.
    chebyshevInputs(from, to, count) {
        return JSON.parse(this.api.chebyshevInputs(from, to, count));
    }
}

let loading = null;

// The desk's core, loaded once whoever asks first; a failed load is tried again at the next ask.
export function loadDesk() {
    loading ??= createCyclarDesk().then(
        (module) => new DeskCore(module),
        (error) => {
            loading = null;
            throw error;
        }
    );
    return loading;
}
