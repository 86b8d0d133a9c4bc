// What the page and the desk modules share on the JavaScript side: their wrapped functions, and
// pictures and files in their memory. Nothing here touches the document, so the desk can run it
// in a worker.

// The core draws pictures at 1 to 4 device pixels per picture pixel.
const maxPictureScale = 4;
export function clampScale(scale) {
    return Math.min(maxPictureScale, Math.max(1, Math.round(scale) || 1));
}

export class ModuleMemory {
    // `module` as the module's factory gives it; `bindApi` from the module's wrappers file.
    constructor(module, bindApi) {
        this.module = module;
        // Every exported function, wrapped as the table declares it (web/api_table.inc).
        this.api = bindApi(module);
        this.images = new Map();
    }

    // An ImageData over `width` x `height` RGBA pixels at `pointer` in the module's memory.
    imageAt(pointer, width, height) {
        const buffer = this.module.HEAPU8.buffer;
        const key = `${pointer}:${width}x${height}`;
        let image = this.images.get(key);
        if (!image || image.data.buffer !== buffer) {
            image = new ImageData(new Uint8ClampedArray(buffer, pointer, width * height * 4), width, height);
            this.images.set(key, image);
        }
        return image;
    }

    // Copies bytes (or a text, as UTF-8) into the module's file buffer; gives their count.
    toFileBuffer(bytes) {
        const data = typeof bytes === 'string' ? new TextEncoder().encode(bytes) : bytes;
        const at = this.api.fileBuffer(data.length);
        this.module.HEAPU8.set(data, at);
        return data.length;
    }
}
