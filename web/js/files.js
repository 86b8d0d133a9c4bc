// Linkage files (.cyclar), task files (.cyclar-task) and exercises (.cyclar-exercise) in the browser: chosen, read and offered
// as downloads. What a file holds, and every reason a bad one is refused, come from the core's
// one reader and writer (files/linkage_file.cpp, files/task_file.cpp), the same as the
// desktop's and cyclar-export's.

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

// The picker's choice of files for linkages and for tasks.
export const linkageFiles = '.cyclar,application/x-cyclar-linkage,application/json';
export const taskFiles = '.cyclar-task,application/x-cyclar-task,application/json';
export const exerciseFiles = '.cyclar-exercise,application/x-cyclar-exercise,application/json';

// Asks for a file with the browser's picker; resolves to the File, or null when none is chosen.
export function chooseFile(accept = linkageFiles) {
    return new Promise((resolve) => {
        const input = document.createElement('input');
        input.type = 'file';
        input.accept = accept;
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
export function readLinkageFile(core, file) {
    return readChosenFile(file, core.linkageFileReadLimit(), (bytes) => core.parseLinkageFile(bytes));
}

// The same for a task file (.cyclar-task): { task } or { problem }.
export function readTaskFile(core, file) {
    return readChosenFile(file, core.taskFileReadLimit(), (bytes) => core.parseTaskFile(bytes));
}

// The same for an exercise file (.cyclar-exercise): { exercise } or { problem }.
export function readExerciseFile(core, file) {
    return readChosenFile(file, core.exerciseFileReadLimit(), (bytes) => core.parseExerciseFile(bytes));
}

async function readChosenFile(file, limit, parse) {
    let bytes;
    try {
        bytes = new Uint8Array(await file.slice(0, limit).arrayBuffer());
    } catch (error) {
        return { problem: `cannot be read (${error.message ?? error})` };
    }
    return parse(bytes);
}
