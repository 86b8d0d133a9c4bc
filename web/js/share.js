// Links that carry a linkage: #dims=A,B,C,F,H,K opens the dimensions page with those values,
// and &circuit=2 and &evenInput=true (written only when chosen, as in a linkage file) have its
// animation page show the other circuit and turn the input evenly.
const keys = ['a', 'b', 'c', 'f', 'h', 'k'];

// The fragment that names the given dimensions and motion ({ circuit, evenInput }), or null when
// one of the dimensions is not a finite number.
export function linkageFragment(core, dims, motion = {}) {
    if (!keys.every((key) => Number.isFinite(dims[key]))) return null;
    // -0 is written as 0: the link must read back as the page shows it.
    const values = keys.map((key) => core.formatNumber(dims[key] === 0 ? 0 : dims[key])).join(',');
    return `#dims=${values}${motion.circuit === 2 ? '&circuit=2' : ''}${motion.evenInput ? '&evenInput=true' : ''}`;
}

// The link to this page that opens the given dimensions and motion.
export function shareLink(core, dims, motion = {}) {
    return `${location.origin}${location.pathname}${linkageFragment(core, dims, motion) ?? ''}`;
}

// The circuit and pace after the dimensions: { motion } or { problem }.
function readMotion(parts) {
    const motion = { circuit: 1, evenInput: false };
    for (const part of parts) {
        const [name, value] = part.split('=');
        if (name === 'circuit' && (value === '1' || value === '2')) {
            motion.circuit = Number(value);
        } else if (name === 'circuit') {
            return { problem: `The link's circuit, "${value ?? ''}", is not 1 or 2: a linkage has at most two.` };
        } else if (name === 'evenInput' && (value === 'true' || value === 'false')) {
            motion.evenInput = value === 'true';
        } else if (name === 'evenInput') {
            return { problem: `The link's evenInput, "${value ?? ''}", is not true or false.` };
        } else {
            return { problem: `The link has a part it does not know, "${part}".` };
        }
    }
    return { motion };
}

// Reads the address fragment. Returns null when it names no dimensions, else
// { dims, motion } when all six values are numbers as a field takes them and the circuit and
// pace are good, or { problem } saying why not.
export function readSharedDimensions(core, fragment) {
    const text = fragment.startsWith('#') ? fragment.slice(1) : fragment;
    if (!text.startsWith('dims=')) return null;
    const [first, ...rest] = text.split('&');
    let list;
    try {
        list = decodeURIComponent(first.slice('dims='.length));
    } catch {
        return { problem: 'The link is damaged.' };
    }
    let restText;
    try {
        restText = rest.map((part) => decodeURIComponent(part));
    } catch {
        return { problem: 'The link is damaged.' };
    }
    const { motion, problem } = readMotion(restText);
    if (problem) return { problem };
    const parts = list.split(',');
    if (parts.length !== keys.length) {
        return {
            problem: `The link gives ${parts.length === 1 && parts[0].trim() === '' ? 'no' : parts.length} value${parts.length === 1 ? '' : 's'}; it needs six: a, b, c, f, h and k.`,
        };
    }
    const dims = {};
    for (let i = 0; i < keys.length; ++i) {
        // A control character (a %00 above all) would end the text the core reads, and what
        // follows it would be dropped unseen.
        const control = parts[i].search(/\p{Cc}/u);
        if (control >= 0) {
            const shown = parts[i].replace(/\p{Cc}/gu, '?');
            return {
                problem: `The link's value for ${keys[i]}, "${shown}", is not a number: it has a control character at position ${control + 1}.`,
            };
        }
        const value = core.parseNumber(parts[i]);
        if (value === null) {
            return { problem: `The link's value for ${keys[i]}, "${parts[i]}", is not a number.` };
        }
        dims[keys[i]] = value === 0 ? 0 : value;
    }
    return { dims, motion };
}
