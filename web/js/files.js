// Linkage files (.cyclar) in the browser: read strictly, with one sentence for every way a file
// can be wrong, and written in the desktop's key order and number form.
export const linkageFileFormat = 'cyclar-linkage';
export const linkageFileVersion = 1;
export const linkageFileMaxBytes = 1024 * 1024;
const dimensionNames = ['a', 'b', 'c', 'f', 'h', 'k'];

// A file that is refused, and why (a sentence that follows the file's name).
export class FileRefusal extends Error {}

const refuse = (why) => {
    throw new FileRefusal(why);
};

const isObject = (value) => value !== null && typeof value === 'object' && !Array.isArray(value);
const isNumber = (value) => typeof value === 'number';

// A whole number within [low, high], or null.
function wholeNumber(value, low, high) {
    if (!isNumber(value) || !(value >= low && value <= high) || value !== Math.trunc(value)) return null;
    return value;
}

// The first key (in code-unit order, as the desktop's reader meets them) that is not known.
function unknownKey(object, known) {
    return Object.keys(object).sort().find((key) => !known.includes(key));
}

// A key from the file as a message may show it: one short line, whatever the file holds.
function shown(key) {
    const longest = 40;
    // Unit by unit, so a character outside the basic plane shows as two marks, as there.
    const text = key
        .slice(0, longest)
        .split('')
        .map((unit) => (/\p{C}/u.test(unit) ? '?' : unit))
        .join('');
    return key.length > longest ? `${text}...` : text;
}

// A number as printf's %g writes it (six significant digits).
function printfG(value) {
    if (!Number.isFinite(value)) return String(value);
    const [mantissa, exponentText] = value.toExponential(5).split('e');
    const exponent = Number.parseInt(exponentText, 10);
    const trim = (text) => (text.includes('.') ? text.replace(/\.?0+$/, '') : text);
    if (exponent < -4 || exponent >= 6) {
        const magnitude = Math.abs(exponent);
        return `${trim(mantissa)}e${exponent < 0 ? '-' : '+'}${magnitude < 10 ? '0' : ''}${magnitude}`;
    }
    return trim(value.toFixed(5 - exponent));
}

// Reads a file's bytes into { dimensions, view, speed } (view and speed null when absent), or
// throws a FileRefusal.
export function parseLinkageFile(bytes) {
    if (bytes.length > linkageFileMaxBytes) refuse('is over 1 MB; a linkage file is a few hundred bytes');
    let top;
    try {
        top = JSON.parse(new TextDecoder('utf-8', { fatal: true }).decode(bytes));
    } catch (error) {
        refuse(`is not JSON (${error instanceof SyntaxError ? error.message : 'not UTF-8 text'})`);
    }
    if (!isObject(top)) refuse('is not a cyclar linkage file: it holds no JSON object');
    if (top.format !== linkageFileFormat) {
        refuse(`is not a cyclar linkage file: its "format" is not "${linkageFileFormat}"`);
    }
    if (wholeNumber(top.version, 1, linkageFileVersion) === null) {
        if (isNumber(top.version) && top.version > linkageFileVersion) {
            refuse(`was made by a newer cyclar (file version ${printfG(top.version)}; this one reads version ${linkageFileVersion})`);
        }
        refuse(`has no valid "version" (this cyclar reads version ${linkageFileVersion})`);
    }
    const topKey = unknownKey(top, ['format', 'version', 'dimensions', 'view', 'speed']);
    if (topKey !== undefined) refuse(`has an unknown key "${shown(topKey)}"`);

    if (!isObject(top.dimensions)) refuse('has no "dimensions" object');
    const dimensionKey = unknownKey(top.dimensions, dimensionNames);
    if (dimensionKey !== undefined) refuse(`has an unknown dimension "${shown(dimensionKey)}"`);
    const dimensions = {};
    for (const name of dimensionNames) {
        const value = top.dimensions[name];
        if (value === undefined) refuse(`has no dimension "${name}"`);
        if (!isNumber(value) || !Number.isFinite(value)) refuse(`has a dimension "${name}" that is not a number`);
        // -0 is 0, as the desktop reads it (and as a field shows it).
        dimensions[name] = value === 0 ? 0 : value;
    }

    let view = null;
    if (top.view !== undefined) {
        if (!isObject(top.view)) refuse('has a "view" that is not an object with "turn" and "tilt"');
        const viewKey = unknownKey(top.view, ['turn', 'tilt']);
        if (viewKey !== undefined) refuse(`has an unknown key "${shown(viewKey)}" in its "view"`);
        view = {};
        for (const name of ['turn', 'tilt']) {
            const angle = wholeNumber(top.view[name], -90, 90);
            if (angle === null) refuse(`has a view "${name}" that is not a whole number of degrees from -90 to 90`);
            view[name] = angle;
        }
    }

    let speed = null;
    if (top.speed !== undefined) {
        speed = wholeNumber(top.speed, 0, 100);
        if (speed === null) refuse('has a "speed" that is not a whole number from 0 to 100');
    }
    return { dimensions, view, speed };
}

// The shortest decimal text that reads back as the same finite double, in the form C++'s
// std::to_chars gives it: plain or scientific, whichever is shorter (plain on a tie), with at
// least two exponent digits. Zero is written as 0: JSON keeps no sign on a zero.
export function shortestNumberText(value) {
    if (value === 0) return '0';
    const [mantissa, exponentText] = value.toExponential().split('e');
    const exponent = Number.parseInt(exponentText, 10);
    const negative = mantissa.startsWith('-');
    const digits = mantissa.replace('-', '').replace('.', '');
    const sign = negative ? '-' : '';
    const magnitude = Math.abs(exponent);
    const scientific = `${sign}${digits[0]}${digits.length > 1 ? `.${digits.slice(1)}` : ''}e${exponent < 0 ? '-' : '+'}${magnitude < 10 ? '0' : ''}${magnitude}`;
    let plain;
    if (exponent < 0) {
        plain = `${sign}0.${'0'.repeat(-exponent - 1)}${digits}`;
    } else if (exponent + 1 >= digits.length) {
        plain = `${sign}${digits}${'0'.repeat(exponent + 1 - digits.length)}`;
    } else {
        plain = `${sign}${digits.slice(0, exponent + 1)}.${digits.slice(exponent + 1)}`;
    }
    return plain.length <= scientific.length ? plain : scientific;
}

// The file's text: "format" and "version" first, then the dimensions, the view and the speed.
export function linkageFileText({ dimensions, view, speed }) {
    let text = `{\n  "format": "${linkageFileFormat}",\n  "version": ${linkageFileVersion},\n  "dimensions": {`;
    text += dimensionNames.map((name) => `"${name}": ${shortestNumberText(dimensions[name])}`).join(', ');
    text += '}';
    if (view) text += `,\n  "view": {"turn": ${view.turn}, "tilt": ${view.tilt}}`;
    if (speed !== null && speed !== undefined) text += `,\n  "speed": ${speed}`;
    return `${text}\n}\n`;
}

// Offers the text as a download named `name`.
export function downloadFile(name, text) {
    const url = URL.createObjectURL(new Blob([text], { type: 'application/x-cyclar-linkage' }));
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
    link.hidden = true;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 0);
}

// Asks for a file with the browser's picker; resolves to the File, or null when none is chosen.
export function chooseFile() {
    return new Promise((resolve) => {
        const input = document.createElement('input');
        input.type = 'file';
        input.accept = '.cyclar,application/x-cyclar-linkage,application/json';
        input.hidden = true;
        input.addEventListener('change', () => {
            resolve(input.files[0] ?? null);
            input.remove();
        });
        input.addEventListener('cancel', () => {
            resolve(null);
            input.remove();
        });
        document.body.append(input);
        input.click();
    });
}

// Reads a chosen file: { file } or { problem } (the sentence to show after its name). A file
// over the limit is refused before it is read.
export async function readLinkageFile(file) {
    try {
        if (file.size > linkageFileMaxBytes) refuse('is over 1 MB; a linkage file is a few hundred bytes');
        let bytes;
        try {
            bytes = new Uint8Array(await file.arrayBuffer());
        } catch (error) {
            refuse(`cannot be read (${error.message ?? error})`);
        }
        return { file: parseLinkageFile(bytes) };
    } catch (error) {
        if (error instanceof FileRefusal) return { problem: error.message };
        throw error;
    }
}
