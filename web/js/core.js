// The page's WebAssembly core: kinematics, analysis, frame composition, field rules, clips and
// linkage files, behind a small API. The design core is the desk's (desk_core.js).
import createCyclarCore from '../cyclar-core.js';
import { bindApi } from '../cyclar-api.js';
import { ModuleMemory, clampScale } from './module_memory.js';

const fieldIndex = { a: 0, b: 1, c: 2, f: 3, h: 4, k: 5 };
const dimensionArgs = (d) => [d.a, d.b, d.c, d.f, d.h, d.k];
const clipIndex = { title: 0, circular: 1 };

// The core writes null for a value that is not finite.
const numberOrNaN = (value) => (value === null ? Number.NaN : value);
const poseAngles = ([theta, psi, mu, branch]) => ({
    theta: numberOrNaN(theta),
    psi: numberOrNaN(psi),
    mu: numberOrNaN(mu),
    branch,
});

// Device pixels per CSS pixel of this screen, rounded up to a whole scale the core draws at.
export function devicePictureScale() {
    const ratio = globalThis.devicePixelRatio;
    return Number.isFinite(ratio) && ratio > 1 ? clampScale(Math.ceil(ratio)) : 1;
}

// One animation scene in the core: the model, the clock, the view and the cached layers.
class Scene {
    constructor(core) {
        this.core = core;
        this.api = core.api;
        this.handle = this.api.sceneCreate();
        this.image = null;
        this.scale = 1;
        this.rotationAxis = false;
    }

    build(dims) {
        this.api.sceneBuild(this.handle, ...dimensionArgs(dims));
    }

    // The lengths the arcs are drawn with; the model keeps the dimensions it was built with.
    setDimensions(dims) {
        this.api.sceneSetDimensions(this.handle, ...dimensionArgs(dims));
    }

    setView(turn, tilt) {
        this.api.sceneSetView(this.handle, turn, tilt);
    }

    get turn() {
        return this.api.sceneTurn(this.handle);
    }

    get tilt() {
        return this.api.sceneTilt(this.handle);
    }

    get frameIndex() {
        return this.api.sceneFrameIndex(this.handle);
    }

    set frameIndex(index) {
        this.api.sceneSetFrameIndex(this.handle, index);
    }

    advance() {
        this.api.sceneAdvance(this.handle);
    }

    get label() {
        return this.api.sceneLabel(this.handle);
    }

    // Where the charts' markers stand for the pose the next compose draws (whole pixels, null for
    // a marker not drawn), with the values they mark.
    get chartMarkers() {
        const at = this.api.chartMarkers(this.handle) / Float64Array.BYTES_PER_ELEMENT;
        const m = this.core.module.HEAPF64.subarray(at, at + 13);
        const centre = (i) => (Number.isNaN(m[i]) ? null : [m[i], m[i + 1]]);
        return {
            disc: centre(0),
            square: centre(2),
            rateDisc: centre(4),
            rateSquare: centre(6),
            theta: m[8],
            psi: m[9],
            mu: m[10],
            outputRate: m[11],
            pointSpeed: m[12],
        };
    }

    // The input angle and branch of the pose the next compose draws (branch 0 where it is folded
    // flat; theta NaN where the linkage does not move).
    get input() {
        const at = this.api.sceneInput(this.handle) / Float64Array.BYTES_PER_ELEMENT;
        const held = this.core.module.HEAPF64;
        return { theta: held[at], branch: held[at + 1] };
    }

    // Whether the picture (and its exports) also draw the coupler's rotation axis.
    setRotationAxis(shown) {
        this.rotationAxis = Boolean(shown);
        this.api.sceneSetRotationAxis(this.handle, this.rotationAxis ? 1 : 0);
    }

    // Shows circuit 1 or 2 (2 only of a linkage that has two) with the input turned evenly or
    // not, from the frame the clock stands on.
    setMotion({ circuit, evenInput }) {
        this.api.sceneSetMotion(this.handle, circuit === 2 ? 2 : 1, evenInput ? 1 : 0);
    }

    // The circuit shown and the pace: { circuit, evenInput }.
    get motion() {
        return { circuit: this.api.sceneCircuit(this.handle), evenInput: this.api.sceneEvenInput(this.handle) !== 0 };
    }

    // How many circuits the linkage has, 1 or 2.
    get circuitCount() {
        return this.api.sceneCircuitCount(this.handle);
    }

    // How many circuits there are and which one is shown, in the Analysis window's words.
    get circuitSentence() {
        return this.api.circuitSentence(this.handle);
    }

    // Composes the current frame; the returned image views the core's own pixel buffer, so it
    // is valid until the next call into the core.
    compose() {
        const pointer = this.api.sceneCompose(this.handle);
        return this.core.imageAt(pointer, 480 * this.scale, 480 * this.scale);
    }

    // The picture the next compose shows at one pixel per picture pixel (what cyclar-export png
    // writes); valid until the next call into the core.
    picture() {
        return this.core.imageAt(this.api.scenePicture(this.handle), 480, 480);
    }

    // The same picture as an SVG document.
    svg() {
        return this.api.sceneSvg(this.handle);
    }

    // Device pixels per picture pixel of the frames composed from now on.
    setScale(scale) {
        this.scale = clampScale(scale);
        this.api.sceneSetScale(this.handle, this.scale);
    }
}

export class Core extends ModuleMemory {
    constructor(module) {
        super(module, bindApi);
        this.clipScales = [1, 1];
    }

    // The most of a linkage file worth reading: one byte past the limit tells the core the
    // file is over it.
    linkageFileReadLimit() {
        return this.api.linkageFileMaxBytes() + 1;
    }

    // Reads a linkage file's bytes with the core's one reader: { file } with
    // { dimensions, view, speed, circuit, evenInput } (view and speed null when absent), or
    // { problem }, the sentence cyclar-export gives after the file's name.
    parseLinkageFile(bytes) {
        const result = JSON.parse(this.api.readLinkageFile(this.toFileBuffer(bytes)));
        return result.problem !== undefined ? { problem: result.problem } : { file: result };
    }

    // The text of a linkage file as the desktop writes it.
    linkageFileText({ dimensions, view, speed, motion }) {
        return this.api.linkageFileText(
            ...dimensionArgs(dimensions),
            view ? 1 : 0, view?.turn ?? 0, view?.tilt ?? 0, view?.rotationAxis ? 1 : 0,
            speed ?? -1, motion?.circuit ?? 1, motion?.evenInput ? 1 : 0,
        );
    }

    newScene() {
        return new Scene(this);
    }

    tickInterval(position) {
        return this.api.tickInterval(position);
    }

    sliderAngle(position) {
        return this.api.sliderAngle(position);
    }

    // The view slider position whose angle is nearest to `angle`.
    sliderPosition(angle) {
        return this.api.sliderPosition(angle);
    }

    // A field's text as a number, or null when the field rules do not take it.
    parseNumber(text) {
        // The core reads text up to its first NUL; a text holding one is no number at all.
        if (text.includes('\0')) return null;
        const value = this.api.parseNumber(text);
        return Number.isNaN(value) ? null : value;
    }

    formatNumber(value) {
        return this.api.formatNumber(value);
    }

    notNumberMessage() {
        return this.api.messageNotNumber();
    }

    rangeMessage(lower, upper) {
        return this.api.messageRange(lower, upper);
    }

    inRange(value, lower, upper) {
        return this.api.inRange(value, lower, upper) !== 0;
    }

    // The names of a page's fields in the order the page reads them back.
    fieldOrder(page) {
        return [...this.api.fieldOrder(page === 'dimensions' ? 0 : 1)];
    }

    // The live range of a dimensions page field, from the values the page holds now.
    dimensionsBounds(key, dims) {
        const args = [fieldIndex[key], ...dimensionArgs(dims)];
        return [this.api.dimensionsLower(...args), this.api.dimensionsUpper(...args)];
    }

    animationBounds(key) {
        return [this.api.animationLower(fieldIndex[key]), this.api.animationUpper(fieldIndex[key])];
    }

    // What the Analysis panel shows of a linkage: { answer, what cyclar-export analyse prints;
    // paragraphs, [{ name, text }] as the desktop's window shows them; assemblable; chartNote }.
    analysis(dims) {
        return JSON.parse(this.api.analysis(...dimensionArgs(dims)));
    }

    // The angle chart and the rate chart as the core lays them out: { area, thetaTicks,
    // valueTicks, limits, curves: { name: [[x, y, x, y, ...]] } in stroke order, words, note }
    // (see chartJson in web/api_analysis.cpp). The rate chart's axes are kept for its markers.
    angleChart(dims) {
        return JSON.parse(this.api.angleChart(...dimensionArgs(dims)));
    }

    rateChart(dims) {
        return JSON.parse(this.api.rateChart(...dimensionArgs(dims)));
    }

    // The angles of each frame of a new animation page showing `motion` ({ circuit, evenInput }):
    // { frame, t, theta, psi, mu, branch }.
    angleTable(dims, motion = {}) {
        const args = [...dimensionArgs(dims), motion.circuit ?? 1, motion.evenInput ? 1 : 0];
        return JSON.parse(this.api.angleTable(...args)).map(([frame, t, ...angles]) => ({
            frame,
            t: numberOrNaN(t),
            ...poseAngles(angles),
        }));
    }

    // A page's layout from the core's table (pagelayout/page_layouts.h): its template font and
    // size, and its controls in template order with their boxes in dialog units.
    pageLayout(page) {
        return JSON.parse(this.api.pageLayout(page));
    }

    clipInfo(which) {
        const i = clipIndex[which];
        return {
            width: this.api.clipWidth(i),
            height: this.api.clipHeight(i),
            frames: this.api.clipFrames(i),
            framesPerSecond: this.api.clipRate(i),
        };
    }

    // Device pixels per picture pixel of a clip's frames from now on.
    setClipScale(which, scale) {
        const i = clipIndex[which];
        this.clipScales[i] = clampScale(scale);
        this.api.clipSetScale(i, this.clipScales[i]);
    }

    clipFrame(which, frame) {
        const i = clipIndex[which];
        const k = this.clipScales[i];
        const pointer = this.api.clipFrame(i, frame);
        return this.imageAt(pointer, this.api.clipWidth(i) * k, this.api.clipHeight(i) * k);
    }
}

export async function loadCore() {
    return new Core(await createCyclarCore());
}
