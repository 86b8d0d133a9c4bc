// The Analysis panel: the core's paragraphs about the linkage, and its two charts, the output and
// transmission angles and the rates over the input angle, with the frame's markers. The core
// gives every chart's geometry, ticks and words; the panel only strokes them.
import { SidePanel } from './side_panel.js';

// The charts' size, as the desktop draws them.
export const chartWidth = 440;
export const chartHeight = 320;

const limitColour = 'rgb(110, 110, 110)';
const markerColour = [200, 0, 40];
const gridColour = 'rgb(225, 225, 225)';
const zeroColour = 'rgb(170, 170, 170)';
const chartFont = '11px CyclarSans, sans-serif';
const dashed = [8, 4];
const dashDot = [4, 2, 1, 2];

// How each chart's curves are stroked ([colour, width, dash]), by the core's names, and which
// three of them the legend shows.
const angleStyles = {
    psi1: ['rgb(20, 80, 200)', 2, []],
    psi2: ['rgb(20, 80, 200)', 2, dashed],
    mu: ['rgb(215, 105, 0)', 1.5, []],
};
const rateStyles = {
    ratio1: ['rgb(20, 80, 200)', 2, []],
    ratio2: ['rgb(20, 80, 200)', 2, dashed],
    speed1: ['rgb(0, 140, 90)', 1.5, []],
    speed2: ['rgb(0, 140, 90)', 1.5, dashed],
};
const legends = { angles: ['psi1', 'psi2', 'mu'], rates: ['ratio1', 'ratio2', 'speed1'] };

function stroke(context, lines, [colour, width, dash]) {
    context.strokeStyle = colour;
    context.lineWidth = width;
    context.setLineDash(dash);
    context.lineCap = 'butt';
    context.lineJoin = 'round';
    for (const polyline of lines) {
        if (polyline.length < 4) continue;
        context.beginPath();
        context.moveTo(polyline[0], polyline[1]);
        for (let i = 2; i < polyline.length; i += 2) context.lineTo(polyline[i], polyline[i + 1]);
        context.stroke();
    }
    context.setLineDash([]);
}

function line(context, x0, y0, x1, y1) {
    context.beginPath();
    context.moveTo(x0, y0);
    context.lineTo(x1, y1);
    context.stroke();
}

const discRadius = 5;
const squareHalf = 4.5;
// The pixels around a marker's centre that it may touch, edges included.
const markerReach = 8;

function drawMarker(context, x, y, disc) {
    context.fillStyle = `rgb(${markerColour.join(', ')})`;
    context.strokeStyle = 'white';
    context.lineWidth = 1.5;
    context.beginPath();
    if (disc) context.arc(x, y, discRadius, 0, 2 * Math.PI);
    else context.rect(x - squareHalf, y - squareHalf, 2 * squareHalf, 2 * squareHalf);
    context.fill();
    context.stroke();
}

// The grid with its ticks and texts, the frame round the plot and the theta axis's title.
function drawAxes(context, chart) {
    const [left, top, width, height] = chart.area;
    const bottom = top + height;
    context.font = chartFont;
    context.lineWidth = 1;
    context.fillStyle = 'black';
    for (const tick of chart.thetaTicks) {
        context.strokeStyle = tick.zero ? zeroColour : gridColour;
        line(context, tick.at, top, tick.at, bottom);
        context.strokeStyle = 'black';
        line(context, tick.at, bottom, tick.at, bottom + 4);
        context.textBaseline = 'top';
        context.textAlign = 'center';
        context.fillText(tick.text, tick.at, bottom + 6);
    }
    for (const tick of chart.valueTicks) {
        context.strokeStyle = tick.zero ? zeroColour : gridColour;
        line(context, left, tick.at, left + width, tick.at);
        context.strokeStyle = 'black';
        line(context, left - 4, tick.at, left, tick.at);
        context.textBaseline = 'middle';
        context.textAlign = 'right';
        context.fillText(tick.text, left - 6, tick.at);
    }
    context.strokeStyle = 'black';
    context.strokeRect(left, top, width, height);
    context.textAlign = 'center';
    context.textBaseline = 'top';
    context.fillText(chart.words.thetaTitle, left + width / 2, bottom + 21);
}

// Two rows above the plot: the curves, then the limits and the frame's markers.
function drawLegend(context, chart, styles) {
    context.font = chartFont;
    context.textAlign = 'left';
    context.textBaseline = 'middle';
    const [left, top] = chart.area;
    const rowHeight = 17;
    const row1 = top - 2 * rowHeight - 6 + rowHeight / 2;
    const row2 = row1 + rowHeight;
    let x = left;
    const sample = (style, text, y) => {
        stroke(context, [[x, y, x + 26, y]], style);
        context.fillStyle = 'black';
        context.fillText(text, x + 31, y);
        x += 31 + context.measureText(text).width + 16;
    };
    styles.forEach((style, i) => sample(style, chart.words.curves[i], row1));
    x = left;
    sample([limitColour, 1, dashDot], chart.words.limits, row2);
    drawMarker(context, x + 5, row2, true);
    drawMarker(context, x + 18, row2, false);
    context.fillStyle = 'black';
    context.fillText(chart.words.markers, x + 28, row2);
}

// A chart of the core's without markers, drawn once per linkage into a canvas of its own.
function drawChart(chart, kind) {
    const styles = kind === 'angles' ? angleStyles : rateStyles;
    const canvas = document.createElement('canvas');
    canvas.width = chartWidth;
    canvas.height = chartHeight;
    const context = canvas.getContext('2d');
    context.fillStyle = 'white';
    context.fillRect(0, 0, chartWidth, chartHeight);
    drawAxes(context, chart);
    drawLegend(context, chart, legends[kind].map((name) => styles[name]));
    const [left, top, width, height] = chart.area;
    context.save();
    context.beginPath();
    context.rect(left, top, width, height);
    context.clip();
    for (const x of chart.limits) stroke(context, [[x, top, x, top + height]], [limitColour, 1, dashDot]);
    for (const [name, lines] of Object.entries(chart.curves)) stroke(context, lines, styles[name]);
    context.restore();
    if (chart.note) {
        context.font = chartFont;
        const textWidth = context.measureText(chart.note).width;
        const cx = left + width / 2;
        const cy = top + height / 2;
        context.fillStyle = 'white';
        context.fillRect(cx - textWidth / 2 - 6, cy - 10, textWidth + 12, 20);
        context.fillStyle = 'black';
        context.textAlign = 'center';
        context.textBaseline = 'middle';
        context.fillText(chart.note, cx, cy);
    }
    return canvas;
}

// The two markers, drawn once: stroking them anew each tick would cost more than all else the
// panel does in a tick. Centred at (markerReach, markerReach).
function markerSprite(disc) {
    const sprite = document.createElement('canvas');
    sprite.width = 2 * markerReach;
    sprite.height = 2 * markerReach;
    drawMarker(sprite.getContext('2d'), markerReach, markerReach, disc);
    return sprite;
}

// One chart's marker layer: a move clears where the markers were, and only there, and draws them
// where they go (the chart's own pixels are never touched again).
class MarkerLayer {
    constructor(context, sprites) {
        this.context = context;
        this.sprites = sprites;
        this.shown = [];
    }

    move(centres) {
        for (const [x, y] of this.shown) this.context.clearRect(x - markerReach, y - markerReach, 2 * markerReach, 2 * markerReach);
        this.shown = centres.filter(Boolean);
        centres.forEach((at, i) => {
            if (at) this.context.drawImage(this.sprites[i], at[0] - markerReach, at[1] - markerReach);
        });
    }

    clear() {
        this.context.clearRect(0, 0, chartWidth, chartHeight);
        this.shown = [];
    }
}

// The panel beside an animation page.
export class AnalysisPanel extends SidePanel {
    constructor(page) {
        super(page, 'Analysis', 'analysis');
        this.body = document.createElement('div');
        this.body.className = 'analysis-texts';
        this.plot = document.createElement('canvas');
        this.plot.className = 'analysis-chart';
        this.plot.width = chartWidth;
        this.plot.height = chartHeight;
        this.plot.setAttribute('role', 'img');
        this.plot.setAttribute(
            'aria-label',
            'Output angle \u03c8 and transmission angle \u03bc over the input angle \u03b8, with this frame marked'
        );
        this.context = this.plot.getContext('2d');
        // The markers live on a clear canvas over the chart: a tick clears where they were and
        // draws them where they go, and the chart's pixels are never touched again.
        this.overlay = document.createElement('canvas');
        this.overlay.className = 'analysis-markers';
        this.overlay.width = chartWidth;
        this.overlay.height = chartHeight;
        this.overlay.setAttribute('aria-hidden', 'true');
        this.markers = this.overlay.getContext('2d');
        const stack = document.createElement('div');
        stack.className = 'analysis-plot';
        stack.append(this.plot, this.overlay);
        // The rates: a chart of their own behind a second tab, the angles shown first.
        this.ratePlot = document.createElement('canvas');
        this.ratePlot.className = 'analysis-chart rate-chart';
        this.ratePlot.width = chartWidth;
        this.ratePlot.height = chartHeight;
        this.ratePlot.setAttribute('role', 'img');
        this.ratePlot.setAttribute(
            'aria-label',
            'Velocity ratio d\u03c8/d\u03b8 and the coupler point\'s speed over the input angle \u03b8, with this frame marked'
        );
        this.rateOverlay = document.createElement('canvas');
        this.rateOverlay.className = 'analysis-markers';
        this.rateOverlay.width = chartWidth;
        this.rateOverlay.height = chartHeight;
        this.rateOverlay.setAttribute('aria-hidden', 'true');
        this.rateMarkers = this.rateOverlay.getContext('2d');
        const rateStack = document.createElement('div');
        rateStack.className = 'analysis-plot';
        rateStack.append(this.ratePlot, this.rateOverlay);
        this.stacks = [stack, rateStack];
        this.tabs = document.createElement('div');
        this.tabs.className = 'analysis-tabs';
        this.tabs.setAttribute('role', 'tablist');
        this.tabButtons = ['Angles', 'Rates'].map((name, i) => {
            const tab = document.createElement('button');
            tab.type = 'button';
            tab.textContent = name;
            tab.setAttribute('role', 'tab');
            tab.addEventListener('click', () => this.showTab(i));
            return tab;
        });
        this.tabs.append(...this.tabButtons);
        this.client.append(this.body, this.tabs, stack, rateStack);
        this.showTab(0);
        const sprites = [markerSprite(true), markerSprite(false)];
        this.angleMarkers = new MarkerLayer(this.markers, sprites);
        this.rateMarkerLayer = new MarkerLayer(this.rateMarkers, sprites);
        // Where the markers stand now, for tests and the curious: { theta, psi, mu, disc, square }
        // and { theta, outputRate, pointSpeed, disc, square }.
        this.marker = null;
        this.rateMarker = null;
    }

    // The linkage to show: its paragraphs and its charts, drawn once.
    showLinkage(dims) {
        const core = this.page.app.core;
        const analysis = core.analysis(dims);
        this.body.replaceChildren();
        // The core's paragraphs, as the desktop's window shows them.
        for (const { name, text } of analysis.paragraphs) {
            const paragraph = document.createElement('p');
            paragraph.className = name;
            paragraph.dataset.name = name;
            paragraph.textContent = text;
            this.body.append(paragraph);
        }
        // How many circuits, and which one the page shows: it follows the picture's menu.
        this.circuits = null;
        if (analysis.assemblable) {
            this.circuits = document.createElement('p');
            this.circuits.className = 'circuits';
            this.circuits.dataset.name = 'circuits';
            this.body.append(this.circuits);
            this.showCircuit();
        }
        this.chart = drawChart(core.angleChart(dims), 'angles');
        this.context.drawImage(this.chart, 0, 0);
        this.angleMarkers.clear();
        this.ratePlot.getContext('2d').drawImage(drawChart(core.rateChart(dims), 'rates'), 0, 0);
        this.rateMarkerLayer.clear();
    }

    // Says which circuit the page shows now.
    showCircuit() {
        if (this.circuits) this.circuits.textContent = this.page.scene.circuitSentence;
    }

    // Shows the angle chart (0) or the rate chart (1).
    showTab(index) {
        this.stacks.forEach((stack, i) => (stack.hidden = i !== index));
        this.tabButtons.forEach((tab, i) => tab.setAttribute('aria-selected', String(i === index)));
        this.tab = index;
    }

    // Moves both charts' markers to the pose the page shows, where the core puts them.
    follow() {
        const m = this.page.scene.chartMarkers;
        this.angleMarkers.move([m.disc, m.square]);
        this.marker = m.disc ? { theta: m.theta, psi: m.psi, mu: m.mu, disc: m.disc, square: m.square } : null;
        this.rateMarkerLayer.move([m.rateDisc, m.rateSquare]);
        this.rateMarker = { theta: m.theta, outputRate: m.outputRate, pointSpeed: m.pointSpeed, disc: m.rateDisc, square: m.rateSquare };
    }
}
