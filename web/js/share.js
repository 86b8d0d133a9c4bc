// Links that carry a linkage: #dims=A,B,C,F,H,K opens the dimensions page with those values.
const keys = ['a', 'b', 'c', 'f', 'h', 'k'];

// The link to this page that opens the given dimensions.
export function shareLink(core, dims) {
    const values = keys.map((key) => core.formatNumber(dims[key])).join(',');
    return `${location.origin}${location.pathname}#dims=${values}`;
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
        const value = core.parseNumber(parts[i]);
        if (value === null) {
            return { problem: `The link's value for ${keys[i]}, "${parts[i]}", is not a number.` };
        }
        dims[keys[i]] = value;
    }
    return { dims };
}
