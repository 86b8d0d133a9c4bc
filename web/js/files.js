// Linkage files (.cyclar) in the browser: chosen, read and offered as downloads. What a file
// holds, and every reason a bad one is refused, come from the core's one reader and writer
// (files/linkage_file.cpp), the same as the desktop's and cyclar-export's.

// Hands a Blob to the browser as a download named `name`.
export function downloadBlob(name, blob) {
    const url = URL.createObjectURL(blob);
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
    link.hidden = true;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 0);
}

// Offers a linkage file's text as a download named `name`.
export function downloadFile(name, text) {
    downloadBlob(name, new Blob([text], { type: 'application/x-cyclar-linkage' }));
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

// Reads a chosen file with the core: { file } or { problem } (the sentence to show after its
// name). Past the limit only one byte more is read: the core then says the file is too large.
export async function readLinkageFile(core, file) {
    let bytes;
    try {
        bytes = new Uint8Array(await file.slice(0, core.linkageFileReadLimit()).arrayBuffer());
    } catch (error) {
        return { problem: `cannot be read (${error.message ?? error})` };
    }
    return core.parseLinkageFile(bytes);
}
