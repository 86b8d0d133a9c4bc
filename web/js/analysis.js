// The Analysis panel: the linkage's type and its reasons, motion limits, transmission, and a
// chart of the output and transmission angles over the input angle with the frame's markers.
import { drawRateChart, rateGeometry, rateMarkerCentres } from './rate_chart.js';
import { SidePanel } from './side_panel.js';

// The chart's size and plot margins, as the desktop draws it.
export const chartWidth = 440;
export const chartHeight = 320;
const margin = { left: 46, right: 14, top: 46, bottom: 38 };

const psiColour = 'rgb(20, 80, 200)';
const muColour = 'rgb(215, 105, 0)';
export const limitColour = 'rgb(110, 110, 110)';
export const markerColour = [200, 0, 40];
export const gridColour = 'rgb(225, 225, 225)';
export const chartFont = '11px CyclarSans, sans-serif';

export const plotArea = {
    left: margin.left,
    top: margin.top,
    width: chartWidth - margin.left - margin.right,
    height: chartHeight - margin.top - margin.bottom,
};

// Where the chart puts (theta, value): theta from -180 (left) to 180 (right), psi or mu from
// -180 (bottom) to 180 (top).
export function chartPoint(theta, value) {
    return [
        plotArea.left + ((theta + 180) / 360) * plotArea.width,
        plotArea.top + plotArea.height - ((value + 180) / 360) * plotArea.height,
    ];
}

const degrees = (value, decimals = 1) => `${value.toFixed(decimals)}\u00b0`;
const signedDegrees = (value) => `${value > 0 ? '+' : ''}${degrees(value)}`;
const capitalised = (text) => text.charAt(0).toUpperCase() + text.slice(1);

// How one link moves, in words.
function motionText(link, angle, motion, limits) {
    switch (motion) {
        case 'rotates':
            return `${link} turns fully.`;
        case 'rocks-through-0':
            return `${link} rocks through 0\u00b0: |${angle}| up to ${degrees(limits[0])}.`;
        case 'rocks-through-180':
            return `${link} rocks through 180\u00b0: |${angle}| from ${degrees(limits[0])} to 180\u00b0.`;
        default:
            return `${link} rocks on one side: |${angle}| from ${degrees(limits[0])} to ${degrees(limits[1])}.`;
    }
}

// The panel's paragraphs for an analysis, by name.
export function analysisTexts(r) {
    const texts = {
        type: r.type === null ? 'No type' : capitalised(r.type),
        decision: r.decision,
        values: `T1 = ${signedDegrees(r.T[0])}    T2 = ${signedDegrees(r.T[1])}    T3 = ${signedDegrees(r.T[2])}    T4 = ${signedDegrees(r.T[3])}`,
    };
    if (r.labelNote) texts.labelNote = `Frame label: ${capitalised(r.labelNote)}.`;
    if (r.assemblable) {
        const motion = [
            motionText('Input a', '\u03b8', r.input, r.inputLimits),
            motionText('Output b', '\u03c8', r.output, r.outputLimits),
        ];
        if (r.swing !== null && r.timeRatio !== null) {
            motion.push(`Rocker swing ${degrees(r.swing)}, time ratio ${r.timeRatio.toFixed(3)}.`);
        }
        motion.push(
            `Transmission angle \u03bc from ${degrees(r.transmission[0])} (at |\u03b8| = ${degrees(r.transmissionAt[0])}) ` +
                `to ${degrees(r.transmission[1])} (at |\u03b8| = ${degrees(r.transmissionAt[1])}).`
        );
        texts.motion = motion.join('\n');
    }
    return texts;
}

// Polylines of one curve: broken where the linkage does not close and, for psi, where it wraps
// from 180 to -180.
function polylines(samples, valueOf, wraps) {
    const lines = [];
    let current = null;
    let last = 0;
    for (const sample of samples) {
        const value = valueOf(sample);
        if (Number.isNaN(value)) {
            current = null;
            continue;
        }
        if (!current || (wraps && Math.abs(value - last) > 180)) {
            current = [];
            lines.push(current);
        }
        current.push(chartPoint(sample.theta, value));
        last = value;
    }
    return lines;
}

export function stroke(context, lines, colour, width, dash) {
    context.strokeStyle = colour;
    context.lineWidth = width;
    context.setLineDash(dash);
    context.lineCap = 'butt';
    context.lineJoin = 'round';
    for (const polyline of lines) {
        if (polyline.length < 2) continue;
        context.beginPath();
        context.moveTo(...polyline[0]);
        for (const point of polyline.slice(1)) context.lineTo(...point);
        context.stroke();
    }
    context.setLineDash([]);
}

export function line(context, x0, y0, x1, y1) {
    context.beginPath();
    context.moveTo(x0, y0);
    context.lineTo(x1, y1);
    context.stroke();
}

function drawAxes(context) {
    const a = plotArea;
    context.font = chartFont;
    context.lineWidth = 1;
    for (let d = -180; d <= 180; d += 45) {
        const [x] = chartPoint(d, -180);
        const [, y] = chartPoint(-180, d);
        context.strokeStyle = d === 0 ? 'rgb(170, 170, 170)' : gridColour;
        line(context, x, a.top, x, a.top + a.height);
        line(context, a.left, y, a.left + a.width, y);
        context.strokeStyle = 'black';
        line(context, x, a.top + a.height, x, a.top + a.height + 4);
        line(context, a.left - 4, y, a.left, y);
        context.fillStyle = 'black';
        const text = `${d}\u00b0`;
        context.textBaseline = 'top';
        context.textAlign = 'center';
        context.fillText(text, x, a.top + a.height + 6);
        context.textBaseline = 'middle';
        context.textAlign = 'right';
        context.fillText(text, a.left - 6, y);
    }
    context.strokeStyle = 'black';
    context.strokeRect(a.left, a.top, a.width, a.height);
    context.textAlign = 'center';
    context.textBaseline = 'top';
    context.fillText('input angle \u03b8', a.left + a.width / 2, a.top + a.height + 21);
}

// Two rows above the plot: the curves (each [colour, width, dash, text]), then the limits and
// the frame's markers with `markersText`. The rate chart's legend is drawn by it too.
export function drawLegend(context, curves, markersText) {
    context.font = chartFont;
    context.textAlign = 'left';
    context.textBaseline = 'middle';
    const rowHeight = 17;
    const row1 = plotArea.top - 2 * rowHeight - 6 + rowHeight / 2;
    const row2 = row1 + rowHeight;
    let x = plotArea.left;
    const sample = (colour, width, dash, text, y) => {
        stroke(context, [[[x, y], [x + 26, y]]], colour, width, dash);
        context.fillStyle = 'black';
        context.fillText(text, x + 31, y);
        x += 31 + context.measureText(text).width + 16;
    };
    for (const [colour, width, dash, text] of curves) sample(colour, width, dash, text, row1);
    x = plotArea.left;
    sample(limitColour, 1, [4, 2, 1, 2], 'input limit (toggle)', row2);
    drawMarker(context, x + 5, row2, true);
    drawMarker(context, x + 18, row2, false);
    context.fillStyle = 'black';
    context.fillText(markersText, x + 28, row2);
}

const discRadius = 5;
const squareHalf = 4.5;
// The pixels around a marker's centre that it may touch, edges included.
export const markerReach = 8;

export function drawMarker(context, x, y, disc) {
    context.fillStyle = `rgb(${markerColour.join(', ')})`;
    context.strokeStyle = 'white';
    context.lineWidth = 1.5;
    context.beginPath();
    if (disc) context.arc(x, y, discRadius, 0, 2 * Math.PI);
    else context.rect(x - squareHalf, y - squareHalf, 2 * squareHalf, 2 * squareHalf);
    context.fill();
    context.stroke();
}

// The chart without markers, drawn once per linkage into a canvas of its own.
export function drawChart(analysis, samples) {
    const chart = document.createElement('canvas');
    chart.width = chartWidth;
    chart.height = chartHeight;
    const context = chart.getContext('2d');
    context.fillStyle = 'white';
    context.fillRect(0, 0, chartWidth, chartHeight);
    drawAxes(context);
    drawLegend(context, [
        [psiColour, 2, [], 'output \u03c8, branch 1'],
        [psiColour, 2, [8, 4], '\u03c8, branch 2'],
        [muColour, 1.5, [], 'transmission \u03bc'],
    ], 'this frame (\u03c8, \u03bc)');
    const a = plotArea;
    context.save();
    context.beginPath();
    context.rect(a.left, a.top, a.width, a.height);
    context.clip();
    context.strokeStyle = limitColour;
    for (const limit of analysis.inputLimits) {
        for (const theta of [-limit, limit]) {
            const [x] = chartPoint(theta, 0);
            stroke(context, [[[x, a.top], [x, a.top + a.height]]], limitColour, 1, [4, 2, 1, 2]);
        }
    }
    if (analysis.assemblable) {
        stroke(context, polylines(samples, (s) => s.mu, false), muColour, 1.5, []);
        stroke(context, polylines(samples, (s) => s.psi[0], true), psiColour, 2, []);
        stroke(context, polylines(samples, (s) => s.psi[1], true), psiColour, 2, [8, 4]);
    }
    context.restore();
    if (!analysis.assemblable) {
        const text = analysis.chartNote;
        context.font = chartFont;
        const width = context.measureText(text).width;
        const cx = a.left + a.width / 2;
        const cy = a.top + a.height / 2;
        context.fillStyle = 'white';
        context.fillRect(cx - width / 2 - 6, cy - 10, width + 12, 20);
        context.fillStyle = 'black';
        context.textAlign = 'center';
        context.textBaseline = 'middle';
        context.fillText(text, cx, cy);
    }
    return chart;
}

const finite = (angles) => Number.isFinite(angles.theta) && Number.isFinite(angles.psi) && Number.isFinite(angles.mu);

// The markers' centres for a pose, rounded to whole pixels as they are drawn: [disc, square].
export function markerCentres(angles) {
    return [angles.psi, angles.mu].map((value) => chartPoint(angles.theta, value).map(Math.round));
}

// The two markers, drawn once: stroking them anew each tick would cost more than all else the
// panel does in a tick. Centred at (markerReach, markerReach).
export function markerSprite(disc) {
    const sprite = document.createElement('canvas');
    sprite.width = 2 * markerReach;
    sprite.height = 2 * markerReach;
    drawMarker(sprite.getContext('2d'), markerReach, markerReach, disc);
    return sprite;
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
        // Where the rate markers stand now: { theta, outputRate, pointSpeed, disc, square }.
        this.rateMarker = null;
        this.ratesShown = null;
        this.showTab(0);
        this.shown = null;
        // Where the markers stand now, for tests and the curious: { theta, psi, mu, disc, square }.
        this.marker = null;
        this.sprites = [markerSprite(true), markerSprite(false)];
    }

    // The linkage to show: its texts and its chart, drawn once.
    showLinkage(dims) {
        const core = this.page.app.core;
        const analysis = core.analysis(dims);
        this.body.replaceChildren();
        for (const [name, text] of Object.entries(analysisTexts(analysis))) {
            const paragraph = document.createElement('p');
            paragraph.className = name;
            paragraph.dataset.name = name;
            paragraph.textContent = text;
            this.body.append(paragraph);
        }
        this.chart = drawChart(analysis, core.chartSamples(dims));
        this.context.drawImage(this.chart, 0, 0);
        this.markers.clearRect(0, 0, chartWidth, chartHeight);
        this.shown = null;
        const samples = core.rateChartSamples(dims);
        this.rateGeometry = rateGeometry(samples);
        this.ratePlot.getContext('2d').drawImage(drawRateChart(analysis, samples, this.rateGeometry), 0, 0);
        this.rateMarkers.clearRect(0, 0, chartWidth, chartHeight);
        this.ratesShown = null;
    }

    // Shows the angle chart (0) or the rate chart (1).
    showTab(index) {
        this.stacks.forEach((stack, i) => (stack.hidden = i !== index));
        this.tabButtons.forEach((tab, i) => tab.setAttribute('aria-selected', String(i === index)));
        this.tab = index;
    }

    // Moves the rate markers to a frame's rates: where they were is cleared, and only there.
    followRates(rates) {
        const reach = markerReach;
        for (const at of this.ratesShown ?? []) {
            if (at) this.rateMarkers.clearRect(at[0] - reach, at[1] - reach, 2 * reach, 2 * reach);
        }
        const centres = rateMarkerCentres(this.rateGeometry, rates);
        centres.forEach((at, i) => {
            if (at) this.rateMarkers.drawImage(this.sprites[i], at[0] - reach, at[1] - reach);
        });
        this.ratesShown = centres;
        this.rateMarker = { ...rates, disc: centres[0], square: centres[1] };
    }

    // Moves the markers to the pose the page shows.
    follow(angles) {
        this.followRates(this.page.scene.rates);
        if (this.shown) this.restore(this.shown);
        this.shown = finite(angles) ? angles : null;
        if (!this.shown) {
            this.marker = null;
            return;
        }
        const [disc, square] = markerCentres(angles);
        this.markers.drawImage(this.sprites[0], disc[0] - markerReach, disc[1] - markerReach);
        this.markers.drawImage(this.sprites[1], square[0] - markerReach, square[1] - markerReach);
        this.marker = { theta: angles.theta, psi: angles.psi, mu: angles.mu, disc, square };
    }

    restore(angles) {
        for (const [x, y] of markerCentres(angles)) {
            this.markers.clearRect(x - markerReach, y - markerReach, 2 * markerReach, 2 * markerReach);
        }
    }
}
