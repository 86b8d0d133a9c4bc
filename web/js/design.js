// The Design panel: a task (orientations a body is to be guided through, or pairs of shaft
// angles to coordinate), the linkages the core designs for it, and a view of the chosen one
// moving through the task. "Use this linkage" puts it on the animation page as opening a
// linkage file would.
import { devicePictureScale } from './core.js';
import { chooseFile, downloadBlob, readTaskFile, taskFiles } from './files.js';
import { SidePanel } from './side_panel.js';
import { clampIntoArea, deskArea, fitScale, setScale } from './windows.js';

// Each kind of task: the table's columns (key, heading, words read with a cell), what a row is
// called, and the task a new panel starts with.
const kinds = {
    motion: {
        label: 'Motion',
        columns: [
            ['longitude', 'Longitude', 'longitude'],
            ['latitude', 'Latitude', 'latitude'],
            ['heading', 'Heading', 'heading'],
        ],
        row: 'Position',
        // Three orientations of a coupler, with its two fixed pivots: the desktop's example.
        start: [
            [84.0, 19.7, -127.5],
            [90.5, -19.3, -113.6],
            [76.8, -39.5, -123.4],
        ],
        startExtras: ['0', '0', '40', '0'],
    },
    function: {
        label: 'Function',
        columns: [
            ['input', 'Input \u03b8', 'input angle'],
            ['output', 'Output \u03c8', 'output angle'],
        ],
        row: 'Pair',
        start: [
            [-30, 7.1],
            [-10, 66],
            [15, 151],
            [40, 160.3],
        ],
        startExtras: [''],
    },
};

// The view's starting orientation, as the animation page's.
const startTurn = -18;
const startTilt = -18;
// The view's side in picture pixels.
const viewSize = 200;
// Milliseconds per step of a candidate's tour: a degree of its input.
const stepPeriod = 40;

const degrees = (value) => `${value.toFixed(1)}\u00b0`;

// The core's reasons are written to follow a file's name or to stand in a list: as a sentence
// of their own they start with a capital and end with a full stop.
const sentence = (text) => (text ? `${text.charAt(0).toUpperCase()}${text.slice(1)}${text.endsWith('.') ? '' : '.'}` : '');

function element(tag, className, text) {
    const made = document.createElement(tag);
    if (className) made.className = className;
    if (text !== undefined) made.textContent = text;
    return made;
}

function pushButton(text, action) {
    const button = element('button', 'push', text);
    button.type = 'button';
    button.addEventListener('click', action);
    return button;
}

// A candidate in one line, as the desktop lists it: its number, type, defects or "usable", and
// the range of its transmission angle.
export function candidateText(candidate, i) {
    const type = candidate.type ? `${candidate.type.charAt(0).toUpperCase()}${candidate.type.slice(1)}` : 'No type';
    const state = candidate.defects.length === 0 ? 'usable' : candidate.defects.join(', ');
    const angle = (value) => (value === null ? '\u2013' : degrees(value));
    const [least, greatest] = candidate.transmission;
    return `${i + 1}. ${type} \u2014 ${state} \u2014 \u03bc ${angle(least)} \u2013 ${angle(greatest)}`;
}

export class DesignPanel extends SidePanel {
    // `core`: the desk's core (desk_core.js), which designs and reads task files.
    constructor(page, core) {
        super(page, 'Design', 'design');
        this.core = core;
        // The tables' texts of each kind, kept while the other kind is shown.
        this.tables = {
            motion: { rows: kinds.motion.start.map((row) => row.map(String)), extra: true, extras: kinds.motion.startExtras },
            function: { rows: kinds.function.start.map((row) => row.map(String)), extra: false, extras: kinds.function.startExtras },
        };
        this.kind = 'motion';
        // The last design: its answer (null before one), the candidate shown, the tour's step.
        this.result = null;
        this.chosen = null;
        this.step = 0;
        this.tourLength = 0;
        this.timer = null;
        this.view = { turn: startTurn, tilt: startTilt };

        this.kindSwitch = this.makeKindSwitch();
        this.table = element('table', 'design-table');
        this.extras = element('div', 'design-extras');
        this.addButton = pushButton('Add row', () => this.addRow());
        const rows = element('div', 'design-row');
        rows.append(this.addButton, this.extras);
        const actions = element('div', 'design-actions');
        this.designButton = pushButton('Design', () => this.design());
        actions.append(
            this.designButton,
            pushButton('Open task\u2026', () => this.openTask()),
            pushButton('Save task\u2026', () => this.saveTask())
        );
        this.reason = element('p', 'design-reason');
        this.reason.setAttribute('role', 'status');
        this.list = element('div', 'design-candidates');
        this.list.setAttribute('role', 'radiogroup');
        this.list.setAttribute('aria-label', 'Candidates');
        this.list.hidden = true;
        this.picture = element('canvas', 'design-view');
        this.picture.setAttribute('role', 'img');
        this.picture.setAttribute('aria-label', 'The task\u2019s positions on the sphere and the chosen linkage moving through them');
        this.context = this.picture.getContext('2d', { alpha: false });
        this.sliders = element('div', 'design-sliders');
        this.viewSliders = {};
        for (const [key, name, range] of [[ 'turn', 'Turn', 180 ], [ 'tilt', 'Tilt', 90 ]]) {
            const label = element('label', '', `${name} `);
            const slider = element('input');
            this.viewSliders[key] = slider;
            slider.type = 'range';
            slider.min = String(-range);
            slider.max = String(range);
            slider.step = '1';
            slider.value = String(this.view[key]);
            slider.setAttribute('aria-label', `View ${name.toLowerCase()}`);
            slider.addEventListener('input', () => {
                this.view[key] = Number(slider.value);
                this.paint();
            });
            label.append(slider);
            this.sliders.append(label);
        }
        this.useButton = pushButton('Use this linkage', () => this.useLinkage());
        this.useButton.disabled = true;
        this.sliders.append(this.useButton);
        this.client.append(this.kindSwitch, this.table, rows, actions, this.reason, this.list, this.picture, this.sliders);
        this.showTable();
    }

    makeKindSwitch() {
        const group = element('div', 'design-kind');
        group.setAttribute('role', 'radiogroup');
        group.setAttribute('aria-label', 'Task');
        this.kindRadios = {};
        for (const [kind, { label }] of Object.entries(kinds)) {
            const option = element('label');
            const radio = element('input');
            radio.type = 'radio';
            radio.name = `design-kind-${Math.random().toString(36).slice(2)}`;
            radio.value = kind;
            radio.checked = kind === this.kind;
            radio.addEventListener('change', () => {
                if (radio.checked) this.switchKind(kind);
            });
            option.append(radio, ` ${label}`);
            group.append(option);
            this.kindRadios[kind] = radio;
        }
        return group;
    }

    onPanelKey(event) {
        // Enter in a cell designs; on a button it is the button's own.
        if (event.key === 'Enter' && event.target instanceof HTMLInputElement && event.target.type === 'text') {
            event.preventDefault();
            this.design();
            return;
        }
        if (event.key === 'Enter' && event.target instanceof HTMLButtonElement) return;
        super.onPanelKey(event);
    }

    // --- the task's table ------------------------------------------------------------------

    // Shows the other kind's table, designed at once: the candidates and the view are always
    // those of the table in view.
    switchKind(kind) {
        if (kind === this.kind) return;
        this.readTable();
        this.kind = kind;
        this.kindRadios[kind].checked = true;
        this.showTable();
        this.design();
    }

    // The tables' texts as typed, kept in this.tables.
    readTable() {
        const held = this.tables[this.kind];
        held.rows = [...this.table.tBodies[0].rows].map((row) => [...row.querySelectorAll('input')].map((cell) => cell.value));
        const extra = this.extras.querySelector('input[type="checkbox"]');
        held.extra = extra.checked;
        held.extras = [...this.extras.querySelectorAll('input[type="text"]')].map((cell) => cell.value);
    }

    showTable() {
        const kind = kinds[this.kind];
        const held = this.tables[this.kind];
        this.table.replaceChildren();
        const caption = element('caption', 'visually-hidden', this.kind === 'motion' ? 'Positions of the guided body, in degrees' : 'Pairs of shaft angles, in degrees');
        const head = this.table.createTHead().insertRow();
        const corner = element('th', '', '#');
        corner.scope = 'col';
        head.append(corner);
        for (const [, heading] of kind.columns) {
            const th = element('th', '', heading);
            th.scope = 'col';
            head.append(th);
        }
        const last = element('th');
        last.append(element('span', 'visually-hidden', 'Remove'));
        last.scope = 'col';
        head.append(last);
        this.table.prepend(caption);
        const body = this.table.createTBody();
        held.rows.forEach((texts) => this.appendRow(body, texts));
        this.numberRows();
        this.showExtras();
    }

    appendRow(body, texts) {
        const kind = kinds[this.kind];
        const row = body.insertRow();
        const number = element('th');
        number.scope = 'row';
        row.append(number);
        kind.columns.forEach(([key], i) => {
            const cell = row.insertCell();
            const input = element('input');
            input.type = 'text';
            input.inputMode = 'decimal';
            input.autocomplete = 'off';
            input.spellcheck = false;
            input.dataset.key = key;
            input.value = texts[i] ?? '';
            cell.append(input);
        });
        const remove = element('button', 'push remove', '\u2212');
        remove.type = 'button';
        remove.addEventListener('click', () => this.removeRow(row));
        row.insertCell().append(remove);
        return row;
    }

    // Numbers the rows and names their cells after the numbers.
    numberRows() {
        const kind = kinds[this.kind];
        [...this.table.tBodies[0].rows].forEach((row, i) => {
            row.cells[0].textContent = String(i + 1);
            row.querySelectorAll('input').forEach((input, j) => {
                input.setAttribute('aria-label', `${kind.row} ${i + 1} ${kind.columns[j][2]}`);
            });
            row.querySelector('button.remove').setAttribute('aria-label', `Remove ${kind.row.toLowerCase()} ${i + 1}`);
        });
    }

    // A new row starts as a copy of the one above, or at zeros.
    addRow() {
        const last = this.table.tBodies[0].rows[this.table.tBodies[0].rows.length - 1];
        const texts = last ? [...last.querySelectorAll('input')].map((cell) => cell.value) : kinds[this.kind].columns.map(() => '0');
        const row = this.appendRow(this.table.tBodies[0], texts);
        this.numberRows();
        row.querySelector('input').focus();
    }

    removeRow(row) {
        const rows = [...this.table.tBodies[0].rows];
        const at = rows.indexOf(row);
        row.remove();
        this.numberRows();
        // The focus goes to the next row's remove button, or the previous one's, or Add row.
        const left = [...this.table.tBodies[0].rows];
        const next = left[Math.min(at, left.length - 1)];
        (next?.querySelector('button.remove') ?? this.addButton).focus();
    }

    // The optional parts: two fixed pivots, or the ground.
    showExtras() {
        const held = this.tables[this.kind];
        this.extras.replaceChildren();
        const toggle = element('label');
        const check = element('input');
        check.type = 'checkbox';
        check.checked = held.extra;
        toggle.append(check, this.kind === 'motion' ? ' Fixed pivots' : ' Ground f');
        this.extras.append(toggle);
        const cells = element('div', 'design-extra-cells');
        const names =
            this.kind === 'motion'
                ? ['Pivot 1 longitude', 'Pivot 1 latitude', 'Pivot 2 longitude', 'Pivot 2 latitude']
                : ['Ground f'];
        names.forEach((name, i) => {
            const input = element('input');
            input.type = 'text';
            input.inputMode = 'decimal';
            input.autocomplete = 'off';
            input.spellcheck = false;
            input.value = held.extras[i] ?? '';
            input.setAttribute('aria-label', name);
            input.placeholder = name.replace('Pivot ', 'G').replace(' longitude', ' lon').replace(' latitude', ' lat');
            cells.append(input);
        });
        cells.hidden = !check.checked;
        check.addEventListener('change', () => {
            cells.hidden = !check.checked;
        });
        this.extras.append(cells);
    }

    // The table as a task of numbers, or { problem, cell } for the first cell that is not one.
    tableTask() {
        const kind = kinds[this.kind];
        const numberOf = (input, what) => {
            const value = this.core.cellNumber(input.value);
            if (value === null) throw { problem: `${what}: '${input.value.trim()}' is not a number.`, cell: input };
            return value;
        };
        try {
            const rows = [...this.table.tBodies[0].rows].map((row, i) => {
                const values = {};
                row.querySelectorAll('input').forEach((input, j) => {
                    values[input.dataset.key] = numberOf(input, `${kind.row} ${i + 1}, ${kind.columns[j][2]}`);
                });
                return values;
            });
            const check = this.extras.querySelector('input[type="checkbox"]');
            const extras = check.checked
                ? [...this.extras.querySelectorAll('input[type="text"]')].map((input) => numberOf(input, input.getAttribute('aria-label')))
                : [];
            if (this.kind === 'motion') {
                const fixedPivots = extras.length ? [0, 2].map((i) => ({ longitude: extras[i], latitude: extras[i + 1] })) : [];
                return { task: { kind: 'motion', positions: rows, fixedPivots } };
            }
            return { task: { kind: 'function', pairs: rows, ground: extras.length ? extras[0] : null } };
        } catch (failure) {
            if (failure.problem === undefined) throw failure;
            return failure;
        }
    }

    // The table's task as the core writes it: { text } or { problem } (a sentence, with the cell
    // at fault if one is).
    taskText() {
        const made = this.tableTask();
        if (!made.task) return made;
        const written = this.core.taskText(made.task);
        // The reader's reasons follow what they are about.
        return written.problem === undefined ? written : { problem: `The task ${written.problem}.` };
    }

    // Fills the tables from a task the core read: its kind is shown.
    showTask(task) {
        // Every digit the file gives: the table designs (and saves) the very task that was read.
        const text = (value) => String(value);
        const kind = task.kind === 'function' ? 'function' : 'motion';
        if (kind === 'motion') {
            const pivots = task.fixedPivots ?? [];
            this.tables.motion = {
                rows: task.positions.map((p) => [p.longitude, p.latitude, p.heading].map(text)),
                extra: pivots.length > 0,
                extras: pivots.length > 0 ? pivots.flatMap((p) => [p.longitude, p.latitude]).map(text) : ['', '', '', ''],
            };
        } else {
            const ground = task.ground ?? null;
            this.tables.function = {
                rows: task.pairs.map((p) => [p.input, p.output].map(text)),
                extra: ground !== null,
                extras: [ground === null ? '' : text(ground)],
            };
        }
        this.kind = kind;
        this.kindRadios[kind].checked = true;
        this.showTable();
    }

    say(text) {
        this.reason.textContent = text;
        this.reason.hidden = text === '';
    }

    // --- designing ---------------------------------------------------------------------------

    design() {
        const made = this.taskText();
        if (made.problem !== undefined) {
            this.showResult(null, made.problem);
            made.cell?.focus();
            made.cell?.select();
            return;
        }
        const result = this.core.design(made.text);
        if (result.problem !== undefined) {
            this.showResult(null, sentence(result.problem));
            return;
        }
        const count = result.candidates.length;
        const note = sentence(result.reason ?? '');
        if (count === 0) this.showResult(result, note);
        else this.showResult(result, `${count === 1 ? '1 linkage does' : `${count} linkages do`} the task.${note ? ` ${note}` : ''}`);
    }

    // The candidates (none for a refused task) and the sentence to show with them.
    showResult(result, sentence) {
        this.result = result;
        this.say(sentence);
        this.list.replaceChildren();
        const candidates = result?.candidates ?? [];
        const name = `design-candidate-${Math.random().toString(36).slice(2)}`;
        candidates.forEach((candidate, i) => {
            const option = element('label', candidate.defects.length === 0 ? 'usable' : 'defective');
            const radio = element('input');
            radio.type = 'radio';
            radio.name = name;
            radio.value = String(i);
            radio.addEventListener('change', () => {
                if (radio.checked) this.choose(i);
            });
            option.append(radio, ` ${candidateText(candidate, i)}`);
            this.list.append(option);
        });
        this.list.hidden = candidates.length === 0;
        this.choose(candidates.length > 0 ? 0 : null);
        // The panel's height follows what it shows: it stays whole on the screen.
        if (this.element.isConnected) this.onResize();
    }

    // Shows candidate i (null: none) moving through the task from its first position.
    choose(i) {
        this.chosen = i;
        const radio = i === null ? null : this.list.querySelectorAll('input')[i];
        if (radio) radio.checked = true;
        this.useButton.disabled = i === null;
        this.step = 0;
        this.tourLength = i === null ? 0 : this.core.designTourLength(i);
        clearInterval(this.timer);
        this.timer = null;
        // Where the system asks for less motion, the candidate stands at its first position (its
        // path drawn through the others).
        if (this.tourLength > 1 && !matchMedia('(prefers-reduced-motion: reduce)').matches) {
            this.timer = setInterval(() => {
                this.step = (this.step + 1) % this.tourLength;
                this.paint();
            }, stepPeriod);
        }
        this.paint();
    }

    paint() {
        // A panel that has not designed yet shows the bare sphere: the core holds no task then.
        const scale = devicePictureScale();
        if (this.picture.width !== viewSize * scale) {
            this.picture.width = viewSize * scale;
            this.picture.height = viewSize * scale;
        }
        const image = this.core.designView(this.chosen, this.step, this.view.turn, this.view.tilt, viewSize, scale);
        this.context.putImageData(image, 0, 0);
        this.picture.dataset.step = String(this.step);
    }

    candidate() {
        return this.chosen === null ? null : this.result.candidates[this.chosen];
    }

    // The chosen candidate on the animation page, as opening a linkage file puts one there.
    useLinkage() {
        const candidate = this.candidate();
        if (candidate) return this.page.takeLinkage({ dimensions: { ...candidate.dims }, view: null, speed: null });
        return Promise.resolve(false);
    }

    // --- task files --------------------------------------------------------------------------

    async openTask() {
        const chosen = await chooseFile(taskFiles);
        if (!chosen || this.ended) return false;
        const { task, problem } = await readTaskFile(this.core, chosen);
        if (problem) {
            this.say(`${chosen.name} ${problem}.`);
            return false;
        }
        this.showTask(task);
        this.design();
        this.faceTask();
        return true;
    }

    saveTask() {
        const made = this.taskText();
        if (made.problem !== undefined) {
            this.say(`Not saved: ${made.problem}`);
            made.cell?.focus();
            return false;
        }
        downloadBlob('task.cyclar-task', new Blob([made.text], { type: 'application/x-cyclar-task' }));
        return true;
    }

    // --- the window --------------------------------------------------------------------------

    // Opens with the starting task designed, so that there is a linkage to look at at once
    // (and the panel is placed at the size it then has).
    open() {
        this.design();
        this.faceTask();
        super.open();
    }

    // Turns the view to face the task designed, as the desktop's Design window does when it
    // is given a task.
    faceTask()
    {
        this.view = this.core.designFacingView();
        for (const [key, slider] of Object.entries(this.viewSliders))
            slider.value = String(this.view[key]);
        this.paint();
    }

    // Beside the page where it fits there at full size; else over the page, as large as the
    // screen allows (its fields and buttons shrunk no further than they must).
    place() {
        super.place();
        const area = deskArea();
        const whole = fitScale(this.element.offsetWidth, this.element.offsetHeight, area);
        if ((this.element.scale ?? 1) >= whole) {
            this.element.style.zIndex = '5';
            return;
        }
        // Over the page, beneath whatever the desk opens over the page.
        this.element.style.zIndex = this.page.element.style.zIndex;
        setScale(this.element, whole);
        const w = this.element.offsetWidth * whole;
        const h = this.element.offsetHeight * whole;
        clampIntoArea(this.element, (area.width - w) / 2, (area.height - h) / 2, area);
    }

    end() {
        clearInterval(this.timer);
        this.timer = null;
        super.end();
    }
}
