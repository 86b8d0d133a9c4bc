// Pictures and animations leaving the browser: the same files cyclar-export writes, drawn and
// encoded by the core. The picture's menu and any other menu call these.
import { downloadBlob } from './files.js';
import { toast } from './windows.js';

// The picture the scene shows now as a PNG Blob: the core's 480 x 480 pixels, whatever the
// screen's scale, losslessly encoded by the browser.
export async function pictureBlob(scene) {
    const image = scene.picture();
    const canvas = document.createElement('canvas');
    canvas.width = image.width;
    canvas.height = image.height;
    canvas.getContext('2d', { alpha: false }).putImageData(image, 0, 0);
    return new Promise((resolve, reject) => {
        canvas.toBlob((blob) => (blob ? resolve(blob) : reject(new Error('the picture could not be encoded'))), 'image/png');
    });
}

// The same picture as an SVG Blob, written by the core.
export function svgBlob(scene) {
    return new Blob([scene.svg()], { type: 'image/svg+xml' });
}

// Export picture…: PNG, or SVG when asked for.
export async function exportPicture(scene, format = 'png') {
    if (format === 'svg') {
        downloadBlob('picture.svg', svgBlob(scene));
    } else {
        downloadBlob('picture.png', await pictureBlob(scene));
    }
}

// One whole cycle as an animated GIF Blob, encoded by the core a few frames at a time so the
// page stays responsive; progress(done, total) is told after each batch.
export async function animationBlob(scene, speedPosition, progress = () => {}) {
    const core = scene.core;
    const total = core.api.gifBegin(scene.handle, speedPosition);
    try {
        for (let done = 0; done < total; ) {
            done = core.api.gifStep(12);
            if (done < 0) throw new Error('the animation could not be encoded');
            progress(done, total);
            await new Promise((resolve) => setTimeout(resolve, 0));
        }
        const pointer = core.api.gifFinish();
        const size = core.api.gifSize();
        return new Blob([core.module.HEAPU8.slice(pointer, pointer + size)], { type: 'image/gif' });
    } finally {
        core.api.gifEnd();
    }
}

// Export animation…: the GIF, with its progress shown as it goes.
export async function exportAnimation(scene, speedPosition) {
    const blob = await animationBlob(scene, speedPosition, (done, total) => {
        toast(`Export animation: frame ${done} of ${total}`);
    });
    toast('Export animation: done');
    downloadBlob('animation.gif', blob);
}
