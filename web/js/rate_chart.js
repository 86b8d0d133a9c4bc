// The rate chart of the Analysis panel: the velocity ratio dψ/dθ and the coupler point's speed
// over the input angle, as the desktop draws it, with the frame's markers.
import {
    chartFont,
    chartHeight,
    chartWidth,
    drawLegend,
    gridColour,
    limitColour,
    line,
    plotArea,
    stroke,
} from './analysis.js';

const ratioColour = 'rgb(20, 80, 200)';
const speedColour = 'rgb(0, 140, 90)';
// Near a toggle the ratio is unbounded; beyond this the chart would show nothing else.
const axisCap = 4;

// 1, 2 or 5 times a power of ten, the smallest at least span / 4.
function niceStep(span) {
    const raw = Math.max(span / 4, 1e-6);
    const power = 10 ** Math.floor(Math.log10(raw));
    for (const m of [1, 2, 5]) if (m * power >= raw) return m * power;
    return 10 * power;
}

// The value axis: bounds holding every finite sample (and 0), capped at ±4, rounded out to whole
// steps. point(theta, value) is the pixel of a value.
export function rateGeometry(samples) {
    let low = 0;
    let high = 0;
    for (const s of samples) {
        for (const value of [...s.ratio, ...s.speed]) {
            if (!Number.isFinite(value)) continue;
            low = Math.min(low, Math.max(value, -axisCap));
            high = Math.max(high, Math.min(value, axisCap));
        }
    }
    if (!(high > low)) {
        low = -1;
        high = 1;
    }
    const step = niceStep(high - low);
    const bottom = Math.floor(low / step) * step;
    const top = Math.ceil(high / step) * step;
    const a = plotArea;
    return {
        low: bottom,
        high: top,
        step,
        point: (theta, value) => [
            a.left + ((theta + 180) / 360) * a.width,
            a.top + a.height - ((value - bottom) / (top - bottom)) * a.height,
        ],
    };
}

// One curve as polylines, broken where a value is missing and where the ratio goes through
// infinity (from above the chart to below it, or back); values far off it are held just beyond.
function rateLines(samples, valueOf, g) {
    const margin = 4 * (g.high - g.low);
    const lines = [];
    let current = null;
    let last = 0;
    for (const sample of samples) {
        const value = valueOf(sample);
        if (!Number.isFinite(value)) {
            current = null;
            continue;
        }
        const across = (last > g.high && value < g.low) || (last < g.low && value > g.high);
        if (!current || across) {
            current = [];
            lines.push(current);
        }
        current.push(g.point(sample.theta, Math.min(Math.max(value, g.low - margin), g.high + margin)));
        last = value;
    }
    return lines;
}

function drawAxes(context, g) {
    const a = plotArea;
    context.font = chartFont;
    context.lineWidth = 1;
    context.fillStyle = 'black';
    for (let d = -180; d <= 180; d += 45) {
        const [x] = g.point(d, 0);
        context.strokeStyle = d === 0 ? 'rgb(170, 170, 170)' : gridColour;
        line(context, x, a.top, x, a.top + a.height);
        context.strokeStyle = 'black';
        line(context, x, a.top + a.height, x, a.top + a.height + 4);
        context.textBaseline = 'top';
        context.textAlign = 'center';
        context.fillText(`${d}\u00b0`, x, a.top + a.height + 6);
    }
    const steps = Math.round((g.high - g.low) / g.step);
    for (let i = 0; i <= steps; ++i) {
        const value = g.low + i * g.step;
        const zero = Math.abs(value) < g.step / 2;
        const [, y] = g.point(-180, value);
        context.strokeStyle = zero ? 'rgb(170, 170, 170)' : gridColour;
        line(context, a.left, y, a.left + a.width, y);
        context.strokeStyle = 'black';
        line(context, a.left - 4, y, a.left, y);
        context.textBaseline = 'middle';
        context.textAlign = 'right';
        context.fillText(String(Number((zero ? 0 : value).toPrecision(4))), a.left - 6, y);
    }
    context.strokeStyle = 'black';
    context.strokeRect(a.left, a.top, a.width, a.height);
    context.textAlign = 'center';
    context.textBaseline = 'top';
    context.fillText('input angle \u03b8 (rates per radian of \u03b8)', a.left + a.width / 2, a.top + a.height + 21);
}

// The chart without markers, drawn once per linkage into a canvas of its own.
export function drawRateChart(analysis, samples, g) {
    const chart = document.createElement('canvas');
    chart.width = chartWidth;
    chart.height = chartHeight;
    const context = chart.getContext('2d');
    context.fillStyle = 'white';
    context.fillRect(0, 0, chartWidth, chartHeight);
    drawAxes(context, g);
    drawLegend(context, [
        [ratioColour, 2, [], 'd\u03c8/d\u03b8, branch 1'],
        [ratioColour, 2, [8, 4], 'branch 2'],
        [speedColour, 1.5, [], 'speed of P'],
    ], 'this frame (d\u03c8/d\u03b8, speed)');
    const a = plotArea;
    context.save();
    context.beginPath();
    context.rect(a.left, a.top, a.width, a.height);
    context.clip();
    for (const limit of analysis.inputLimits) {
        for (const theta of [-limit, limit]) {
            const [x] = g.point(theta, 0);
            stroke(context, [[[x, a.top], [x, a.top + a.height]]], limitColour, 1, [4, 2, 1, 2]);
        }
    }
    if (analysis.assemblable) {
        stroke(context, rateLines(samples, (s) => s.speed[0], g), speedColour, 1.5, []);
        stroke(context, rateLines(samples, (s) => s.speed[1], g), speedColour, 1.5, [8, 4]);
        stroke(context, rateLines(samples, (s) => s.ratio[0], g), ratioColour, 2, []);
        stroke(context, rateLines(samples, (s) => s.ratio[1], g), ratioColour, 2, [8, 4]);
    }
    context.restore();
    if (!analysis.assemblable) {
        context.font = chartFont;
        context.fillStyle = 'black';
        context.textAlign = 'center';
        context.textBaseline = 'middle';
        context.fillText(analysis.chartNote, a.left + a.width / 2, a.top + a.height / 2);
    }
    return chart;
}

// The markers' centres for a frame's rates, rounded to whole pixels as they are drawn:
// [disc (dψ/dθ), square (speed)], null for a value that is not finite or lies far off the chart.
export function rateMarkerCentres(g, rates) {
    return [rates.outputRate, rates.pointSpeed].map((value) => {
        if (!Number.isFinite(rates.theta) || !Number.isFinite(value)) return null;
        const [x, y] = g.point(rates.theta, value).map(Math.round);
        return Math.abs(x) > 1e6 || Math.abs(y) > 1e6 ? null : [x, y];
    });
}
