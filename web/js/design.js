// The Design panel: a task (orientations a body is to be guided through, or pairs of shaft
// angles to coordinate), the mechanisms the core designs for it with their variants, the
// four-position solution map, and a view of the chosen linkage moving through the task. "Use
// this linkage" puts it on the animation page as opening a linkage file would. Every number,
// row and sentence comes from the core, in the order it gives.
import { devicePictureScale } from './core.js';
import { chooseFile, downloadBlob, readTaskFile, taskFiles } from './files.js';
import { SidePanel } from './side_panel.js';
import { clampIntoArea, deskArea, fitScale, setScale } from './windows.js';

// Each kind of task: the table's columns (key, heading with its unit, words read with a cell),
// what a row is called, and the task a new panel starts with.
const kinds = {
    motion: {
        label: 'Motion',
        columns: [
            ['longitude', 'Longitude (\u00b0)', 'longitude'],
            ['latitude', 'Latitude (\u00b0)', 'latitude'],
            ['heading', 'Heading (\u00b0)', 'heading'],
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
            ['input', 'Input \u03b8 (\u00b0)', 'input angle'],
            ['output', 'Output \u03c8 (\u00b0)', 'output angle'],
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
// The candidate the core calls the linkage two picks on the map made.
const mapLinkage = -2;

// The core's reasons are written to follow a file's name or to stand in a list: as a sentence
// of their own they start with a capital and end with a full stop.
const sentence = (text) => (text ? `${text.charAt(0).toUpperCase()}${text.slice(1)}${text.endsWith('.') ? '' : '.'}` : '');

// A name for a group of radios, one per group and panel.
let groups = 0;
const groupName = (what) => `design-${what}-${++groups}`;

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

function textField(value, name) {
    const input = element('input');
    input.type = 'text';
    input.inputMode = 'decimal';
    input.autocomplete = 'off';
    input.spellcheck = false;
    input.value = value;
    if (name) input.setAttribute('aria-label', name);
    return input;
}

// A labelled field: the label's words stay in view beside it.
function labelled(words, field) {
    const label = element('label', 'design-field');
    label.append(element('span', '', words), field);
    return label;
}

// A mechanism's row or a variant's, in words: its links, type, state and transmission.
const rowWords = (row) => `a ${row.a}, b ${row.b}, c ${row.c}, f ${row.f} \u2014 ${row.type} \u2014 ${row.state} \u2014 \u03bc ${row.transmission}`;

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
        // The last design: its answer (null before one), its rows, the candidate shown (an index,
        // mapLinkage, or null), the tour's step.
        this.result = null;
        this.rows = [];
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
        this.spacing = this.makeSpacing();
        const actions = element('div', 'design-actions');
        this.designButton = pushButton('Design', () => this.design());
        this.helpButton = pushButton('Help', () => this.toggleHelp());
        this.helpButton.setAttribute('aria-expanded', 'false');
        actions.append(
            this.designButton,
            pushButton('Open task\u2026', () => this.openTask()),
            pushButton('Save task\u2026', () => this.saveTask()),
            this.helpButton
        );
        this.help = this.makeHelp();
        this.reason = element('p', 'design-reason');
        this.reason.setAttribute('role', 'status');
        this.filters = this.makeFilters();
        this.list = element('div', 'design-candidates');
        this.list.setAttribute('role', 'radiogroup');
        this.list.setAttribute('aria-label', 'Candidates');
        this.list.hidden = true;
        this.chosenText = element('p', 'design-chosen');
        this.chosenText.setAttribute('aria-live', 'polite');
        this.picture = element('canvas', 'design-view');
        this.picture.setAttribute('role', 'img');
        this.picture.setAttribute('aria-label', 'The task\u2019s positions on the sphere, the solution map, and the chosen linkage moving through them');
        this.picture.addEventListener('click', (event) => this.tapView(event));
        this.context = this.picture.getContext('2d', { alpha: false });
        this.mapRow = element('div', 'design-map');
        this.mapShown = element('input');
        this.mapShown.type = 'checkbox';
        this.mapShown.checked = true;
        this.mapShown.addEventListener('change', () => {
            this.core.designShowMap(this.mapShown.checked);
            this.paint();
        });
        const mapToggle = element('label');
        mapToggle.append(this.mapShown, ' Solution map');
        this.mapHint = element('p', 'design-map-hint');
        this.mapRow.append(mapToggle, this.mapHint);
        this.mapRow.hidden = true;
        this.sliders = element('div', 'design-sliders');
        this.viewSliders = {};
        for (const [key, name, range] of [['turn', 'Turn', 180], ['tilt', 'Tilt', 90]]) {
            const label = element('label', '', `${name} `);
            const slider = element('input');
            this.viewSliders[key] = slider;
            slider.type = 'range';
            slider.min = String(-range);
            slider.max = String(range);
            slider.step = '1';
            slider.value = String(this.view[key]);
            slider.setAttribute('aria-label', `View ${name.toLowerCase()}, degrees`);
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
        // The task and the list on the left, the view on the right; one column on a narrow screen.
        const columns = element('div', 'design-columns');
        const left = element('div', 'design-left');
        const right = element('div', 'design-right');
        left.append(this.kindSwitch, this.table, rows, this.spacing, actions, this.help, this.reason, this.filters, this.list, this.chosenText);
        right.append(this.picture, this.mapRow, this.sliders);
        columns.append(left, right);
        this.client.append(columns);
        this.showTable();
    }

    makeKindSwitch() {
        const group = element('div', 'design-kind');
        group.setAttribute('role', 'radiogroup');
        group.setAttribute('aria-label', 'Task');
        this.kindRadios = {};
        // One name for the group: checking one radio unchecks the other, both ways round.
        const name = groupName('kind');
        for (const [kind, { label }] of Object.entries(kinds)) {
            const option = element('label');
            const radio = element('input');
            radio.type = 'radio';
            radio.name = name;
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

    // Chebyshev spacing of a function task's inputs: a range and a count.
    makeSpacing() {
        const row = element('div', 'design-spacing');
        this.spacingFrom = textField('-40', 'Spacing from, degrees');
        this.spacingTo = textField('40', 'Spacing to, degrees');
        this.spacingCount = element('input');
        this.spacingCount.type = 'number';
        this.spacingCount.min = '3';
        this.spacingCount.max = '50';
        this.spacingCount.value = '5';
        this.spacingCount.setAttribute('aria-label', 'Number of precision points');
        row.append(
            element('span', 'design-spacing-title', 'Chebyshev spacing'),
            labelled('\u03b8 from (\u00b0)', this.spacingFrom),
            labelled('to (\u00b0)', this.spacingTo),
            labelled('points', this.spacingCount),
            pushButton('Space inputs', () => this.spaceInputs())
        );
        return row;
    }

    // The filters, folded away until wanted: usable only, a least transmission angle, a range
    // of link lengths.
    makeFilters() {
        const folder = element('details', 'design-filter-folder');
        folder.append(element('summary', '', 'Filters'));
        const row = element('div', 'design-filters');
        folder.append(row);
        this.usableOnly = element('input');
        this.usableOnly.type = 'checkbox';
        const usable = element('label');
        usable.append(this.usableOnly, ' Usable only');
        const number = (value, max, name) => {
            const input = element('input');
            input.type = 'number';
            input.min = '0';
            input.max = String(max);
            input.value = String(value);
            input.setAttribute('aria-label', name);
            input.addEventListener('input', () => this.showList());
            return input;
        };
        this.leastTransmission = number(0, 89, 'Least transmission angle, degrees');
        this.shortestLink = number(0, 180, 'Shortest link, degrees');
        this.longestLink = number(180, 180, 'Longest link, degrees');
        this.usableOnly.addEventListener('change', () => this.showList());
        row.append(
            usable,
            labelled('Least \u03bc (\u00b0)', this.leastTransmission),
            labelled('Links (\u00b0)', this.shortestLink),
            labelled('to', this.longestLink)
        );
        folder.hidden = true;
        return folder;
    }

    makeHelp() {
        const help = element('section', 'design-help');
        help.setAttribute('aria-label', 'Design help');
        for (const { heading, paragraphs } of this.core.designHelp()) {
            help.append(element('h3', '', heading));
            for (const paragraph of paragraphs) help.append(element('p', '', paragraph));
        }
        help.hidden = true;
        return help;
    }

    toggleHelp() {
        this.help.hidden = !this.help.hidden;
        this.helpButton.setAttribute('aria-expanded', String(!this.help.hidden));
        if (this.element.isConnected) this.onResize();
    }

    onPanelKey(event) {
        // Enter in a cell designs; on a button it is the button's own.
        if (event.key === 'Enter' && event.target instanceof HTMLInputElement && event.target.type === 'text') {
            event.preventDefault();
            this.design();
            return;
        }
        if (event.key === 'Enter' && event.target instanceof HTMLButtonElement) return;
        if (event.key === 'F1') {
            event.preventDefault();
            this.toggleHelp();
            return;
        }
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
        this.spacing.hidden = this.kind !== 'function';
    }

    appendRow(body, texts) {
        const kind = kinds[this.kind];
        const row = body.insertRow();
        const number = element('th');
        number.scope = 'row';
        row.append(number);
        kind.columns.forEach(([key], i) => {
            const input = textField(texts[i] ?? '');
            input.dataset.key = key;
            row.insertCell().append(input);
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

    // The optional parts: two fixed pivots (a small table of their own, its headings in view),
    // or the ground; each field with a label in view.
    showExtras() {
        const held = this.tables[this.kind];
        this.extras.replaceChildren();
        const toggle = element('label');
        const check = element('input');
        check.type = 'checkbox';
        check.checked = held.extra;
        toggle.append(check, this.kind === 'motion' ? ' Fixed pivots given' : ' Ground given');
        this.extras.append(toggle);
        let cells;
        if (this.kind === 'motion') {
            cells = element('table', 'design-table design-extra-cells');
            const head = cells.createTHead().insertRow();
            for (const heading of ['', 'Longitude (\u00b0)', 'Latitude (\u00b0)']) {
                const th = element('th', '', heading);
                th.scope = 'col';
                head.append(th);
            }
            const body = cells.createTBody();
            for (const pivot of [1, 2]) {
                const row = body.insertRow();
                const name = element('th', '', `Pivot ${pivot}`);
                name.scope = 'row';
                row.append(name);
                ['longitude', 'latitude'].forEach((what, j) => {
                    row.insertCell().append(textField(held.extras[(pivot - 1) * 2 + j] ?? '', `Pivot ${pivot} ${what}`));
                });
            }
        } else {
            cells = element('div', 'design-extra-cells');
            cells.append(labelled('Ground f (\u00b0)', textField(held.extras[0] ?? '', 'Ground f')));
        }
        cells.hidden = !check.checked;
        check.addEventListener('change', () => {
            cells.hidden = !check.checked;
        });
        this.extras.append(cells);
    }

    // Fills the pairs' inputs with the Chebyshev spacing of the range and count given: the
    // outputs typed so far stay, new rows' are empty to fill in.
    spaceInputs() {
        const from = this.core.cellNumber(this.spacingFrom.value);
        const to = this.core.cellNumber(this.spacingTo.value);
        const count = Number(this.spacingCount.value);
        const spaced = from === null || to === null ? { problem: 'the spacing needs two numbers: the input range\u2019s ends in degrees' } : this.core.chebyshevInputs(from, to, count);
        if (spaced.problem !== undefined) {
            this.say(sentence(spaced.problem));
            return;
        }
        this.readTable();
        const held = this.tables.function;
        held.rows = spaced.inputs.map((input, i) => [String(input), held.rows[i]?.[1] ?? '']);
        this.showTable();
        this.showResult(null, 'Inputs spaced; enter the output wanted at each.');
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
        this.showResult(result, this.core.designSaid());
    }

    // The candidates (none for a refused task) and the sentence to show with them.
    showResult(result, words) {
        this.result = result;
        this.rows = result ? this.core.designRows() : [];
        this.say(words);
        this.filters.hidden = this.rows.length === 0;
        this.chosen = null;
        this.showList();
        const hint = result ? this.core.designMapHint() : '';
        this.mapRow.hidden = hint === '';
        this.mapHint.textContent = hint;
        if (this.chosen === null) this.choose(this.rows.length > 0 ? 0 : null);
        // The panel's height follows what it shows: it stays whole on the screen.
        if (this.element.isConnected) this.onResize();
    }

    // The list, mechanism by mechanism, each a disclosure holding its variants, of the
    // candidates that pass the filters; the chosen one's mechanism open.
    showList() {
        const shown = this.rows.length === 0 ? [] : this.core.designFilter({
            usableOnly: this.usableOnly.checked,
            leastTransmission: Number(this.leastTransmission.value) || 0,
            shortestLink: Number(this.shortestLink.value) || 0,
            longestLink: this.longestLink.value === '' ? 180 : Number(this.longestLink.value),
        });
        this.list.replaceChildren();
        const name = groupName('candidate');
        let mechanism = null;
        let body = null;
        for (const i of shown) {
            const row = this.rows[i];
            if (!mechanism || Number(mechanism.dataset.mechanism) !== row.mechanism) {
                mechanism = element('details', row.usable ? 'usable' : 'defective');
                mechanism.dataset.mechanism = String(row.mechanism);
                const summary = element('summary');
                summary.append(element('strong', '', `Mechanism ${row.mechanism}`), ` ${rowWords(row)}`);
                mechanism.append(summary);
                body = element('div', 'design-variants');
                mechanism.append(body);
                this.list.append(mechanism);
            }
            const option = element('label', row.usable ? 'usable' : 'defective');
            const radio = element('input');
            radio.type = 'radio';
            radio.name = name;
            radio.value = String(i);
            radio.checked = i === this.chosen;
            radio.addEventListener('change', () => {
                if (radio.checked) this.choose(i);
            });
            option.append(radio, ` Candidate ${i + 1}: ${row.variant} \u2014 ${rowWords(row)}`);
            body.append(option);
        }
        this.list.hidden = shown.length === 0;
        this.openChosen();
    }

    openChosen() {
        for (const details of this.list.querySelectorAll('details')) {
            if (details.querySelector('input:checked')) details.open = true;
        }
    }

    // Shows candidate i (null: none; mapLinkage: the map's) moving through the task from its
    // first position.
    choose(i) {
        this.chosen = i;
        for (const radio of this.list.querySelectorAll('input')) radio.checked = Number(radio.value) === i;
        this.openChosen();
        this.useButton.disabled = i === null;
        this.chosenText.textContent = i === null ? '' : this.core.designChosen(i);
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

    // A tap on the view picks the solution map's nearest point: the second pick shows the
    // linkage the two make.
    tapView(event) {
        if (this.mapRow.hidden) return;
        const box = this.picture.getBoundingClientRect();
        if (!(box.width > 0 && box.height > 0)) return;
        const x = ((event.clientX - box.left) * viewSize) / box.width;
        const y = ((event.clientY - box.top) * viewSize) / box.height;
        const picks = this.core.designPick(x, y, this.view.turn, this.view.tilt, viewSize);
        if (picks === 0) return;
        this.mapHint.textContent = this.core.designMapHint();
        this.picture.dataset.picks = String(picks);
        if (picks === 2 && this.core.designTourLength(mapLinkage) > 0) this.choose(mapLinkage);
        else this.paint();
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
        if (this.chosen === null) return null;
        return this.chosen === mapLinkage ? this.core.designMapLinkages().candidates[0] : this.result.candidates[this.chosen];
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
    faceTask() {
        this.view = this.core.designFacingView();
        for (const [key, slider] of Object.entries(this.viewSliders)) slider.value = String(this.view[key]);
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
