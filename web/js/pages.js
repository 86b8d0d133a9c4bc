// The pages and windows of cyclar in the browser: title, dimensions, animation, Help, About and
// Circular View. The rules, numbers and pictures all come from the core.
import { AnalysisPanel } from './analysis.js';
import { devicePictureScale } from './core.js';
import { ClipPlayer } from './clip.js';
import { exportAnimation, exportPicture } from './exports.js';
import { chooseFile, downloadFile, exerciseFiles, readExerciseFile, readLinkageFile } from './files.js';
import { DialogWindow, Layout, TemplateFont, messageBox, onLongPress, popupMenu, toast } from './windows.js';
import { shareLink } from './share.js';

// Builds a page's controls from the core's layout table (pagelayout/page_layouts.h), in
// template order (the tab order). Clips, the icon and push buttons are the page's own elements:
// `make(control, layout)` places them. Returns the layout, the page's template and its controls
// by id.
function buildPage(client, core, page, make = () => null) {
    const template = core.pageLayout(page);
    const layout = new Layout(client, TemplateFont[template.font], core);
    const controls = new Map();
    for (const control of template.controls) {
        const [x, y, w, h] = control.box;
        let element;
        switch (control.kind) {
            case 'edit': element = layout.edit(x, y, w, h, control.name); break;
            case 'bitmapButton': element = layout.bitmapButton(x, y, control.bitmap); break;
            case 'picture': element = layout.picture(x, y, control.bitmap); break;
            case 'sunkenPicture': element = layout.picture(x, y, control.bitmap, true); break;
            case 'text': element = layout.text(x, y, w, h, control.text); break;
            case 'centredText': element = layout.centredText(x, y, w, h, control.text); break;
            case 'topCentredText': element = layout.centredText(x, y, w, h, control.text, false); break;
            case 'trackbar': element = layout.trackbar(x, y, w, h, control.name); break;
            default: element = make(control, layout);
        }
        if (control.id) controls.set(control.id, [...(controls.get(control.id) ?? []), element]);
    }
    const [width, height] = template.size;
    return {
        layout,
        width,
        height,
        control: (id) => controls.get(id)?.[0],
        all: (id) => controls.get(id) ?? [],
    };
}

// A field exchange that failed: the field, and the message to show for it.
class ExchangeFailure {
    constructor(field, message) {
        this.field = field;
        this.message = message;
    }
}

// Moves values between a page's controls and the dimensions it holds, in the page's order.
// A saving exchange stores each number as soon as it parses, before its range test, and stops
// at the first field that fails. A checking exchange reads no control: it runs the range tests
// on the values held now (values from a file pass the same rules as typed ones).
class DataExchange {
    constructor(core, saving, checking = false) {
        this.core = core;
        this.saving = saving || checking;
        this.checking = checking;
    }

    text(field, dims, key) {
        if (this.checking) return;
        if (!this.saving) {
            field.value = this.core.formatNumber(dims[key]);
            return;
        }
        const value = this.core.parseNumber(field.value);
        if (value === null) throw new ExchangeFailure(field, this.core.notNumberMessage());
        // A field still showing the text its value was shown as keeps that value, with all the
        // digits the text leaves out: a value opened from a file is saved again bit for bit.
        if (field.value === this.core.formatNumber(dims[key])) return;
        // A typed "-0" is the number 0, as the desktop stores it.
        dims[key] = value === 0 ? 0 : value;
    }

    minMax(field, value, [lower, upper]) {
        if (this.saving && !this.core.inRange(value, lower, upper)) {
            throw new ExchangeFailure(field, this.core.rangeMessage(lower, upper));
        }
    }

    // A field's number and, right after, its range test against the range of the moment.
    number(field, dims, key, rangeOf) {
        this.text(field, dims, key);
        this.minMax(field, dims[key], rangeOf(key));
    }

    slider(slider, holder, key) {
        if (this.checking) return;
        if (this.saving) holder[key] = Number.parseInt(slider.value, 10);
        else slider.value = String(holder[key]);
        slider.showValue?.();
    }
}

// A page of the chain, or one of the small windows over it.
class Page extends DialogWindow {
    constructor(app, caption, options) {
        super(app.desk, caption, options);
        this.app = app;
    }

    DoDataExchange() {}

    // Returns whether every field passed; a failure shows its message first, then puts the
    // focus on its field with the text selected.
    async UpdateData(saving) {
        return this.runExchange(new DataExchange(this.app.core, saving));
    }

    // The range tests on the values held now, with the page's messages; no control is read.
    async CheckHeldValues() {
        return this.runExchange(new DataExchange(this.app.core, true, true));
    }

    async runExchange(dx) {
        try {
            this.DoDataExchange(dx);
            return true;
        } catch (failure) {
            if (!(failure instanceof ExchangeFailure)) throw failure;
            await messageBox(this.desk, failure.message, this);
            failure.field.focus();
            failure.field.select();
            return false;
        }
    }

    async OnOK() {
        if (await this.UpdateData(true)) this.end();
    }

    onOK() {
        this.OnOK();
    }

    // The page's own keyboard focus when it is first shown; pages without fields take none.
    OnInitDialog() {
        this.UpdateData(false);
    }

    onAttached() {
        if (!this.initialised) {
            this.initialised = true;
            this.OnInitDialog();
        }
    }

    // Shows the help page over this one.
    OnShowHelp() {
        this.desk.open(new HelpPage(this.app), this);
    }

    // Asks for a linkage file and shows it with `show(file)` (which says itself when the page's
    // rules refuse a value); a file that cannot be read gets a message naming it. Nothing
    // changes unless the whole file is taken.
    async OnOpenLinkage(show) {
        const chosen = await chooseFile();
        if (!chosen || this.ended) return false;
        const { file, problem } = await readLinkageFile(this.app.core, chosen);
        if (problem) {
            await messageBox(this.desk, `${chosen.name} ${problem}.`, this);
            this.restoreFocus();
            return false;
        }
        return show(file);
    }

    // Takes the file's dimensions into `copy` ('entryCopy' or 'animationCopy') if the page's
    // rules pass them; else the page's message is shown and the copy is as it was.
    async takeFileDimensions(copy, file) {
        const state = this.app.state;
        const before = state[copy];
        state[copy] = { ...file.dimensions };
        if (await this.CheckHeldValues()) return true;
        state[copy] = before;
        return false;
    }
}

// Ctrl (or Command) with a letter, and no other modifier.
const commandKey = (event, letter) =>
    (event.ctrlKey || event.metaKey) && !event.shiftKey && !event.altKey && event.key.toLowerCase() === letter;

export const defaultDimensions = { a: 50, b: 30, c: 35, f: 40, h: 45, k: -35 };

export class TitlePage extends Page {
    constructor(app) {
        const systemMenu = (x, y) => this.systemMenu(x, y);
        super(app, 'Animation of Spherical Four-bar Linkages', { systemMenu });
        this.atCorner = true;
        const clip = app.core.clipInfo('title');
        this.IDC_ANIMATE1 = new ClipPlayer(app.core, 'title');
        const page = buildPage(this.client, app.core, 'title', ({ box: [x, y] }, layout) => {
            const u = layout.units;
            // The canvas keeps its own size; its box counts the border.
            layout.add(this.IDC_ANIMATE1.canvas, u.x(x), u.y(y));
            this.IDC_ANIMATE1.canvas.box = [u.x(x), u.y(y), clip.width + 2, clip.height + 2];
            return this.IDC_ANIMATE1.canvas;
        });
        const { layout } = page;
        const u = layout.units;
        this.IDC_continue = page.control('IDC_continue');
        this.IDC_help = page.control('IDC_help');
        this.IDC_circular = page.control('IDC_circular');

        // The clip is larger than the box its layout gives it; the buttons move to its right,
        // keeping their order and spacing, and the page grows to hold everything.
        const buttons = [this.IDC_continue, this.IDC_help, this.IDC_circular];
        const clipRight = this.IDC_ANIMATE1.canvas.box[0] + clip.width + 2 - 1;
        const firstButton = Math.min(...buttons.map((button) => button.box[0]));
        const shift = Math.max(0, clipRight + u.x(8) - firstButton);
        for (const button of buttons) layout.move(button, button.box[0] + shift, button.box[1]);
        const boxes = [...this.client.children].map((element) => element.box);
        const right = Math.max(...boxes.map(([x, , w]) => x + w));
        const bottom = Math.max(...boxes.map(([, y, , h]) => y + h));
        this.setClientSize([Math.max(u.x(page.width), right + u.x(7)), Math.max(u.y(page.height), bottom + u.y(7))]);

        this.IDC_continue.addEventListener('click', () => this.OnContinue());
        this.IDC_help.addEventListener('click', () => this.OnShowHelp());
        this.IDC_circular.addEventListener('click', () => this.OnCircularView());
        this.client.addEventListener('contextmenu', (event) => {
            event.preventDefault();
            this.systemMenu(event.clientX, event.clientY);
        });
    }

    OnInitDialog() {
        // Plays at once, from its first frame, for ever.
        this.IDC_ANIMATE1.play();
    }

    get clip() {
        return this.IDC_ANIMATE1;
    }

    deskMenuItems() {
        return [['About cyclar…', () => this.OnAbout()], ['Help', () => this.OnShowHelp()]];
    }

    systemMenu(x, y) {
        popupMenu(x, y, [['Close', () => this.onCancel()], null, ['&About cyclar...', () => this.OnAbout()]]);
    }

    OnAbout() {
        this.desk.open(new AboutBox(this.app), this);
    }

    OnCircularView() {
        this.desk.open(new CircularView(this.app), this);
    }

    onEnded() {
        this.IDC_ANIMATE1.stop();
    }

    OnContinue() {
        this.app.state.entryMode = 1;
        this.app.handOver(this, new DimensionsPage(this.app));
    }
}

export class DimensionsPage extends Page {
    // `shared` (optional) gives the dimensions to show in place of those EntryMode names.
    constructor(app, shared) {
        super(app, 'Dimensions of Spherical Four-bar Linkages');
        const state = app.state;
        if (shared) state.entryCopy = { ...shared };
        else if (state.entryMode === 1) state.entryCopy = { ...defaultDimensions };
        else state.entryCopy = { ...state.animationCopy };

        const page = buildPage(this.client, app.core, 'dimensions');
        for (const id of ['IDC_a', 'IDC_b', 'IDC_c', 'IDC_f', 'IDC_k', 'IDC_h', 'IDC_submit', 'IDCANCEL', 'IDC_help']) {
            this[id] = page.control(id);
        }
        this.setClientSize(page.layout.clientSize(page.width, page.height));
        this.fields = { a: this.IDC_a, b: this.IDC_b, c: this.IDC_c, f: this.IDC_f, h: this.IDC_h, k: this.IDC_k };

        this.IDC_submit.addEventListener('click', () => this.OnSubmit());
        this.IDCANCEL.addEventListener('click', () => this.onCancel());
        this.IDC_help.addEventListener('click', () => this.OnShowHelp());
        this.client.addEventListener('contextmenu', (event) => {
            event.preventDefault();
            popupMenu(event.clientX, event.clientY, [['Open linkage…', () => this.openLinkage(), 'Ctrl+O']]);
        });
    }

    onShortcut(event) {
        if (!commandKey(event, 'o')) return false;
        this.openLinkage();
        return true;
    }

    deskMenuItems() {
        return [['Open linkage…', () => this.openLinkage()], ['Help', () => this.OnShowHelp()]];
    }

    // The fields show the file's values once the page's rules pass them.
    openLinkage() {
        return this.OnOpenLinkage(async (file) => {
            if (!(await this.takeFileDimensions('entryCopy', file))) return false;
            this.UpdateData(false);
            this.app.rememberLinkage(this.app.state.entryCopy);
            return true;
        });
    }

    DoDataExchange(dx) {
        // Each link's bound is taken right after the link is stored, from the values held then.
        const d = this.app.state.entryCopy;
        const rangeOf = (key) => this.app.core.dimensionsBounds(key, d);
        for (const key of this.app.core.fieldOrder('dimensions')) dx.number(this.fields[key], d, key, rangeOf);
    }

    async OnSubmit() {
        if (this.submitting) return;
        this.submitting = true;
        try {
            if (!(await this.UpdateData(true))) return;
            this.app.rememberLinkage(this.app.state.entryCopy);
            await this.app.handOver(this, new AnimationPage(this.app));
        } finally {
            this.submitting = false;
        }
    }
}

export class AnimationPage extends Page {
    constructor(app) {
        super(app, 'Animation of Four-bar Linkages');
        const state = app.state;
        const core = app.core;
        this.m_speedPos = 50;

        // The scene is built from the entry copy and follows it no further.
        state.animationCopy = { ...state.entryCopy };
        this.scene = app.scene;
        this.buildScene();
        state.savedFrameIndex = 0;

        state.savedSpeedPos = 50;
        this.m_turnPos = 40;
        this.m_tiltPos = 40;
        this.scene.setView(core.sliderAngle(this.m_turnPos), core.sliderAngle(this.m_tiltPos));
        this.timer = null;

        // Controls in template order (which is the tab order).
        this.picture = document.createElement('canvas');
        this.picture.id = 'picture';
        // Drawn at the screen's device pixels, shown 480 x 480.
        const scale = devicePictureScale();
        this.scene.setScale(scale);
        this.picture.width = 480 * scale;
        this.picture.height = 480 * scale;
        this.picture.style.width = '480px';
        this.picture.style.height = '480px';
        this.picture.setAttribute('role', 'img');
        this.picture.setAttribute('aria-label', 'The linkage on the sphere');
        this.client.append(this.picture);
        this.picture.dataset.circuit = String(state.motion.circuit);
        this.context = this.picture.getContext('2d', { alpha: false });
        // The frame's label as text, for those who cannot read it off the picture.
        this.labelText = document.createElement('p');
        this.labelText.className = 'visually-hidden';
        this.labelText.id = 'picture-label';
        this.client.append(this.labelText);
        this.picture.setAttribute('aria-describedby', this.labelText.id);
        const page = buildPage(this.client, core, 'animation');
        for (const id of ['IDC_SLIDER1', 'IDC_h1', 'IDC_a', 'IDC_back', 'IDCANCEL', 'IDC_animate', 'IDC_stop', 'IDC_c',
            'IDC_f', 'IDC_k', 'IDC_b1', 'IDC_help', 'IDC_SLIDER2', 'IDC_SLIDER3']) {
            this[id] = page.control(id);
        }
        this.setClientSize(page.layout.clientSize(page.width, page.height, [480, 480]));
        this.fields = { a: this.IDC_a, b: this.IDC_b1, c: this.IDC_c, f: this.IDC_f, h: this.IDC_h1, k: this.IDC_k };
        const angleWords = (position) => `${Number(core.sliderAngle(position).toFixed(1))} degrees`;
        this.IDC_SLIDER1.valueText = (position) => `speed ${position} of 100, a frame every ${core.tickInterval(position)} ms`;
        this.IDC_SLIDER2.valueText = (position) => `turn ${angleWords(position)}`;
        this.IDC_SLIDER3.valueText = (position) => `tilt ${angleWords(position)}`;

        this.IDC_animate.addEventListener('click', () => this.OnAnimate());
        this.IDC_stop.addEventListener('click', () => this.OnStop());
        this.IDC_back.addEventListener('click', () => this.OnBack());
        this.IDCANCEL.addEventListener('click', () => this.onCancel());
        this.IDC_help.addEventListener('click', () => this.OnShowHelp());
        // A range input reports `change` when it is let go and at each keyboard step: that is
        // when a slider's new position is applied.
        this.IDC_SLIDER1.addEventListener('change', () => this.OnSpeedReleased());
        this.IDC_SLIDER2.addEventListener('change', () => this.OnTurnReleased());
        this.IDC_SLIDER3.addEventListener('change', () => this.OnTiltReleased());
        this.client.addEventListener('contextmenu', (event) => {
            event.preventDefault();
            popupMenu(event.clientX, event.clientY, this.menuItems());
        });
        onLongPress(this.picture, (x, y) => popupMenu(x, y, this.menuItems()));
        this.analysis = null;
        this.design = null;
        this.designOpening = null;
        this.working = null;
        this.workingOpening = null;
        this.exercise = null;
    }

    // The model's dimensions: those the scene was last built with, which the picture shows;
    // the circuit and pace `motion` gives (circuit 2 only of a linkage that has two).
    buildScene(motion = this.app.state.motion) {
        this.modelDims = { ...this.app.state.animationCopy };
        this.scene.build(this.modelDims);
        this.scene.setMotion(motion);
        this.app.state.motion = this.scene.motion;
        this.picture?.setAttribute('data-circuit', String(this.app.state.motion.circuit));
    }

    deskMenuItems() {
        return this.menuItems();
    }

    onShortcut(event) {
        // Escape closes the Analysis panel first, wherever the focus is.
        if (event.key === 'Escape' && this.analysis) {
            this.analysis.end();
            return true;
        }
        if (event.key === 'Escape' && this.design) {
            this.design.end();
            return true;
        }
        for (const panel of ['working', 'exercise']) {
            if (event.key === 'Escape' && this[panel]) {
                this[panel].end();
                return true;
            }
        }
        if ((event.ctrlKey || event.metaKey) && event.shiftKey && event.key.toLowerCase() === 'l') {
            this.copyLink();
        } else if (event.key === 'F2' && !event.ctrlKey && !event.metaKey && !event.altKey && !event.shiftKey) {
            this.OnAnalysis();
        } else if (event.key === 'F3' && !event.ctrlKey && !event.metaKey && !event.altKey && !event.shiftKey) {
            this.OnDesign();
        } else if (event.key === 'F4' && !event.ctrlKey && !event.metaKey && !event.altKey && !event.shiftKey) {
            this.OnWorking();
        } else if (commandKey(event, 's')) {
            this.saveLinkage();
        } else if (commandKey(event, 'o')) {
            this.openLinkage();
        } else {
            return false;
        }
        return true;
    }

    DoDataExchange(dx) {
        const d = this.app.state.animationCopy;
        const rangeOf = (key) => this.app.core.animationBounds(key);
        dx.slider(this.IDC_SLIDER1, this, 'm_speedPos');
        for (const key of this.app.core.fieldOrder('animation')) dx.number(this.fields[key], d, key, rangeOf);
        dx.slider(this.IDC_SLIDER2, this, 'm_turnPos');
        dx.slider(this.IDC_SLIDER3, this, 'm_tiltPos');
    }

    // A saving exchange also hands the stored lengths to the scene: the arcs are drawn with them.
    async UpdateData(saving) {
        const passed = await super.UpdateData(saving);
        if (saving) this.scene.setDimensions(this.app.state.animationCopy);
        return passed;
    }

    OnInitDialog() {
        super.OnInitDialog();
        this.paint();
    }

    paint() {
        this.context.putImageData(this.scene.compose(), 0, 0);
        this.picture.dataset.frame = String(this.scene.frameIndex);
        const label = this.scene.label;
        if (this.labelText.textContent !== label) this.labelText.textContent = label;
        this.analysis?.follow();
        this.working?.follow();
    }

    // Opens the Analysis panel beside the page, or brings the open one forward.
    OnAnalysis() {
        if (this.ended) return;
        if (!this.analysis) {
            const panel = new AnalysisPanel(this);
            panel.onEnded = () => {
                if (this.analysis === panel) this.analysis = null;
            };
            this.analysis = panel;
            panel.showLinkage(this.modelDims);
            panel.open();
            panel.follow();
        }
        this.analysis.raise();
    }

    // Opens a tool panel (`key`: 'design', 'working') beside the page, or brings the open one
    // forward. Its code and the desk's core come the first time a page opens it (`load`); a load
    // that fails is said, and tried again at the next opening. `build` makes the panel from what
    // was loaded, or gives null when it is not to open after all.
    openToolPanel(key, name, load, build) {
        if (this.ended) return Promise.resolve();
        if (this[key]) {
            this[key].raise();
            return Promise.resolve();
        }
        const opening = `${key}Opening`;
        this[opening] ??= load()
            .then((parts) => {
                if (this.ended || this[key]) return;
                const panel = build(parts);
                if (!panel) return;
                panel.onEnded = () => {
                    if (this[key] === panel) this[key] = null;
                };
                this[key] = panel;
                panel.open();
                panel.raise();
            })
            .catch((error) => this.cannotLoad(name, error))
            .finally(() => {
                this[opening] = null;
            });
        return this[opening];
    }

    // A load that failed, said over the page.
    cannotLoad(name, error) {
        if (!this.ended) messageBox(this.desk, `The ${name} could not be loaded (${error.message ?? error}). Check the connection and try again.`, this);
    }

    // The desk's core, with a panel's code.
    withDesk(code) {
        return Promise.all([code, import('./desk_core.js').then((desk) => desk.loadDesk())]);
    }

    // Opens the Design panel beside the page, or brings the open one forward.
    OnDesign() {
        return this.openToolPanel('design', 'Design panel', () => this.withDesk(import('./design.js')), ([{ DesignPanel }, desk]) => new DesignPanel(this, desk));
    }

    // Whether an open exercise on this linkage forbids its working.
    get workingForbidden() {
        const open = this.exercise?.exercise;
        if (!open || open.showWorking) return false;
        return ['a', 'b', 'c', 'f', 'h', 'k'].every((key) => open.dims[key] === this.modelDims[key]);
    }

    // The working and exercise panels' code and the desk's core, fetched the first time either
    // panel opens.
    workingParts() {
        return this.withDesk(import('./working.js'));
    }

    // Opens the working panel beside the page, following the frame, or brings the open one
    // forward; while an exercise on this linkage forbids it, says so instead.
    OnWorking() {
        if (this.workingForbidden) {
            toast('This exercise does not show the working.');
            return Promise.resolve();
        }
        return this.openToolPanel('working', 'working panel', () => this.workingParts(), ([{ WorkingPanel }, desk]) => {
            if (this.workingForbidden) return null;
            const panel = new WorkingPanel(this, desk);
            panel.follow();
            return panel;
        });
    }

    // Asks for an exercise file; its linkage goes on the page, as a linkage file's would, and its
    // questions into the exercise panel beside it. A file that cannot be read, or that asks a
    // question without an answer, gets a message naming it and changes nothing.
    async openExercise() {
        const chosen = await chooseFile(exerciseFiles);
        if (!chosen || this.ended) return false;
        let parts;
        try {
            parts = await this.workingParts();
        } catch (error) {
            this.cannotLoad('exercise panel', error);
            return false;
        }
        const [{ ExercisePanel }, desk] = parts;
        const { exercise, problem } = await readExerciseFile(desk, chosen);
        if (this.ended) return false;
        if (problem) {
            await messageBox(this.desk, `${chosen.name} ${problem}.`, this);
            this.restoreFocus();
            return false;
        }
        // The desk now holds the new exercise: the old panel would be checked against it.
        this.exercise?.end();
        if (!(await this.takeLinkage({ dimensions: exercise.dims }))) return false;
        const panel = new ExercisePanel(this, desk, exercise);
        panel.onEnded = () => {
            if (this.exercise === panel) this.exercise = null;
        };
        this.exercise = panel;
        if (this.workingForbidden) this.working?.end();
        panel.open();
        panel.raise();
        return true;
    }

    OnTimer() {
        this.scene.advance();
        this.paint();
    }

    // Starts or replaces the clock; its period starts again.
    SetTimer(period) {
        this.KillTimer();
        this.timer = setInterval(() => this.OnTimer(), period);
        this.picture.dataset.period = String(period);
    }

    KillTimer() {
        if (this.timer !== null) clearInterval(this.timer);
        this.timer = null;
        delete this.picture.dataset.period;
    }

    OnAnimate() {
        this.scene.frameIndex = this.app.state.savedFrameIndex;
        this.m_speedPos = this.app.state.savedSpeedPos;
        this.SetTimer(this.app.core.tickInterval(this.m_speedPos));
    }

    OnStop() {
        this.app.state.savedFrameIndex = this.scene.frameIndex;
        this.app.state.savedSpeedPos = this.m_speedPos;
        this.KillTimer();
    }

    async OnSpeedReleased() {
        await this.UpdateData(true);
        this.SetTimer(this.app.core.tickInterval(this.m_speedPos));
    }

    async OnTurnReleased() {
        await this.UpdateData(true);
        this.scene.setView(this.app.core.sliderAngle(this.m_turnPos), this.scene.tilt);
        this.SetTimer(this.app.core.tickInterval(this.m_speedPos));
    }

    async OnTiltReleased() {
        await this.UpdateData(true);
        this.scene.setView(this.scene.turn, this.app.core.sliderAngle(this.m_tiltPos));
        this.SetTimer(this.app.core.tickInterval(this.m_speedPos));
    }

    // The values are checked once: a bad one is said once, and the page stays beneath.
    async OnBack() {
        this.KillTimer();
        const passed = await this.UpdateData(true);
        this.app.state.entryMode = 3;
        // The next linkage starts on its circuit 1; the input's pace stays.
        this.app.state.motion = { ...this.app.state.motion, circuit: 1 };
        const next = new DimensionsPage(this.app);
        this.app.rememberLinkage(this.app.state.entryCopy);
        await this.app.handOver(this, next, passed);
    }

    onEnded() {
        // The clock stops with the page: an ended page never ticks again. The panel goes with it.
        this.KillTimer();
        this.analysis?.end();
        this.design?.end();
        this.working?.end();
        this.exercise?.end();
        this.app.rememberLinkage(this.app.state.animationCopy);
    }

    // What the page offers beyond its described controls; later capabilities join this menu.
    menuItems() {
        return [
            ['Analysis…', () => this.OnAnalysis(), 'F2'],
            ['Design…', () => this.OnDesign(), 'F3'],
            ['Show the working…', () => this.OnWorking(), 'F4'],
            ['Show rotation axis', () => this.setRotationAxis(!this.scene.rotationAxis), '', this.scene.rotationAxis],
            [
                'Other circuit',
                () => this.setMotion({ ...this.scene.motion, circuit: 3 - this.scene.motion.circuit }),
                '',
                this.scene.motion.circuit === 2,
                this.scene.circuitCount < 2,
            ],
            ['Turn the input evenly', () => this.setMotion({ ...this.scene.motion, evenInput: !this.scene.motion.evenInput }), '', this.scene.motion.evenInput],
            null,
            ['Open linkage…', () => this.openLinkage(), 'Ctrl+O'],
            ['Save linkage…', () => this.saveLinkage(), 'Ctrl+S'],
            ['Copy link', () => this.copyLink(), 'Ctrl+Shift+L'],
            null,
            ['Export picture…', () => this.exportPicture()],
            ['Export picture as SVG…', () => this.exportPicture('svg')],
            ['Export animation…', () => this.exportAnimation()],
            null,
            ['Open exercise…', () => this.openExercise()],
            null,
            ['Help', () => this.OnShowHelp()],
        ];
    }

    // The coupler's pole, the fixed polode and P's velocity over the picture, or not.
    setRotationAxis(shown) {
        this.scene.setRotationAxis(shown);
        this.picture.dataset.rotationAxis = String(this.scene.rotationAxis);
        this.paint();
    }

    // Another circuit or pace, from the frame the clock stands on; the address keeps it.
    setMotion(motion) {
        this.scene.setMotion(motion);
        this.app.state.motion = this.scene.motion;
        this.picture.dataset.circuit = String(this.app.state.motion.circuit);
        this.paint();
        this.analysis?.showCircuit();
        this.app.rememberLinkage(this.app.state.animationCopy);
    }

    // The picture as it shows now, as cyclar-export png (or svg) writes it.
    exportPicture(format = 'png') {
        return exportPicture(this.scene, format);
    }

    // One whole cycle from the frame shown now, each frame lasting the clock's period.
    exportAnimation() {
        return exportAnimation(this.scene, this.m_speedPos);
    }

    // What is saved is what the page would go on with: typed values included, and checked.
    async saveLinkage() {
        if (!(await this.UpdateData(true))) return false;
        const wholeDegrees = (angle) => (Number.isFinite(angle) ? Math.min(90, Math.max(-90, Math.round(angle))) : 0);
        const text = this.app.core.linkageFileText({
            dimensions: this.app.state.animationCopy,
            view: {
                turn: wholeDegrees(this.scene.turn),
                tilt: wholeDegrees(this.scene.tilt),
                rotationAxis: this.scene.rotationAxis,
            },
            speed: this.m_speedPos,
            motion: this.scene.motion,
        });
        downloadFile('linkage.cyclar', text);
        return true;
    }

    openLinkage() {
        return this.OnOpenLinkage((file) => this.takeLinkage(file));
    }

    // A linkage file's linkage (or a designed one) on the page, if the page's rules pass it.
    async takeLinkage(file) {
        if (this.ended || !(await this.takeFileDimensions('animationCopy', file))) return false;
        this.showLinkage(file);
        this.app.rememberLinkage(this.app.state.animationCopy);
        return true;
    }

    // The page starts again with the file's linkage, view and speed, stopped at its first frame.
    showLinkage(file) {
        const core = this.app.core;
        const state = this.app.state;
        this.KillTimer();
        this.buildScene({ circuit: file.circuit ?? 1, evenInput: Boolean(file.evenInput) });
        state.savedFrameIndex = 0;
        this.m_speedPos = file.speed ?? 50;
        state.savedSpeedPos = this.m_speedPos;
        const view = file.view ?? { turn: -18, tilt: -18 };
        this.m_turnPos = core.sliderPosition(view.turn);
        this.m_tiltPos = core.sliderPosition(view.tilt);
        this.scene.setView(view.turn, view.tilt);
        this.scene.setRotationAxis(Boolean(view.rotationAxis));
        this.picture.dataset.rotationAxis = String(this.scene.rotationAxis);
        this.UpdateData(false);
        this.analysis?.showLinkage(this.modelDims);
        this.paint();
        this.working?.refresh();
    }

    async copyLink() {
        const link = shareLink(this.app.core, this.app.state.animationCopy, this.app.state.motion);
        try {
            await navigator.clipboard.writeText(link);
            toast(`Link copied: ${link}`);
        } catch {
            toast(`Copy this link: ${link}`);
        }
    }
}

export class HelpPage extends Page {
    constructor(app) {
        super(app, 'Help');
        this.page = buildPage(this.client, app.core, 'help');
        this.layout = this.page.layout;
        this.paragraphs = this.page.all('paragraph');
        this.setClientSize(this.layout.clientSize(this.page.width, this.page.height));
    }

    // A paragraph that needs more lines in the stand-in face than its box holds grows, and the
    // paragraphs below it move down: no text is ever cut off.
    onAttached() {
        const u = this.layout.units;
        let bottom = 0;
        for (const paragraph of this.paragraphs) {
            const top = Math.max(paragraph.offsetTop, bottom + u.y(2));
            paragraph.style.top = `${top}px`;
            paragraph.style.height = 'auto';
            const height = Math.max(paragraph.offsetHeight, Number.parseInt(paragraph.style.minHeight || '0', 10));
            bottom = top + height;
        }
        this.setClientSize(this.layout.clientSize(this.page.width, this.page.height, [0, bottom + u.y(9)]));
    }
}

export class AboutBox extends Page {
    constructor(app) {
        super(app, 'About Orbiqua');
        const page = buildPage(this.client, app.core, 'about', ({ kind, box: [x, y, w, h], text }, layout) => {
            const u = layout.units;
            if (kind === 'icon') {
                const icon = document.createElement('img');
                icon.className = 'picture';
                icon.src = 'art/icon-32.png';
                icon.width = 32;
                icon.height = 32;
                icon.alt = 'cyclar';
                return layout.add(icon, u.x(x), u.y(y), 32, 32);
            }
            const button = document.createElement('button');
            button.type = 'button';
            button.className = 'push';
            button.textContent = text;
            return layout.add(button, u.x(x), u.y(y), u.x(w), u.y(h));
        });
        // The last line says how this edition is built. Plain text: an ampersand here is shown,
        // never taken for an access key.
        page.control('built').textContent = 'In the browser: the same core, compiled to WebAssembly';
        const ok = page.control('IDOK');
        ok.addEventListener('click', () => this.end());
        this.focusFirst = () => ok.focus();
        const [x, , w] = ok.box;
        this.setClientSize(page.layout.clientSize(page.width, page.height, [x + w + 8, 0]));
    }

    OnInitDialog() {}
}

export class CircularView extends Page {
    constructor(app) {
        super(app, 'Circular View');
        const clip = app.core.clipInfo('circular');
        this.IDC_ANIMATE2 = new ClipPlayer(app.core, 'circular');
        const page = buildPage(this.client, app.core, 'circular', ({ box: [x, y] }, layout) =>
            layout.add(this.IDC_ANIMATE2.canvas, layout.units.x(x), layout.units.y(y)));
        const u = page.layout.units;
        this.setClientSize([Math.max(u.x(page.width), clip.width + 2), Math.max(u.y(page.height), clip.height + 2)]);
    }

    OnInitDialog() {
        // From its first frame, looping; it stops as the window closes.
        this.IDC_ANIMATE2.play();
    }

    get clip() {
        return this.IDC_ANIMATE2;
    }

    onEnded() {
        this.IDC_ANIMATE2.stop();
    }
}
