// Links that carry a linkage: #dims=A,B,C,F,H,K opens the dimensions page with those values.
const keys = ['a', 'b', 'c', 'f', 'h', 'k'];

// The fragment that names the given dimensions, or null when one of them is not a finite number.
export function linkageFragment(core, dims) {
    if (!keys.every((key) => Number.isFinite(dims[key]))) return null;
    // -0 is written as 0: the link must read back as the page shows it.
    return `#dims=${keys.map((key) => core.formatNumber(dims[key] === 0 ? 0 : dims[key])).join(',')}`;
}

// The link to this page that opens the given dimensions.
export function shareLink(core, dims) {
    return `${location.origin}${location.pathname}${linkageFragment(core, dims) ?? ''}`;
}

// Reads the address fragment. Returns null when it names no dimensions, else
// { dims } when all six values are numbers as a field takes them, or { problem } saying why not.
export function readSharedDimensions(core, fragment) {
    const text = fragment.startsWith('#') ? fragment.slice(1) : fragment;
    if (!text.startsWith('dims=')) return null;
    let list;
    try {
        list = decodeURIComponent(text.slice('dims='.length));
    } catch {
        return { problem: 'The link is damaged.' };
    }
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
    return { dims };
}
