// Plays one of the two clips on a canvas: frames from the core, looped at the clip's rate.
import { devicePictureScale } from './core.js';

export class ClipPlayer {
    constructor(core, which) {
        this.core = core;
        this.which = which;
        this.info = core.clipInfo(which);
        // Drawn at the screen's device pixels, shown at the clip's size.
        const scale = devicePictureScale();
        core.setClipScale(which, scale);
        this.canvas = document.createElement('canvas');
        this.canvas.className = 'clip';
        this.canvas.width = this.info.width * scale;
        this.canvas.height = this.info.height * scale;
        this.canvas.style.width = `${this.info.width}px`;
        this.canvas.style.height = `${this.info.height}px`;
        this.canvas.setAttribute('role', 'img');
        this.canvas.setAttribute('aria-label', 'The moving linkage');
        this.context = this.canvas.getContext('2d', { alpha: false });
        this.timer = null;
        this.frame = 0;
    }

    // Starts from the first frame and repeats without end. When the user has asked for less
    // motion, the first frame stays until the desk's Play button resumes the clip.
    play() {
        this.stop();
        this.frame = 0;
        this.show();
        if (!matchMedia('(prefers-reduced-motion: reduce)').matches) this.resume();
    }

    get playing() {
        return this.timer !== null;
    }

    // Goes on from the frame shown.
    resume() {
        if (this.timer !== null) return;
        this.timer = setInterval(() => {
            this.frame = (this.frame + 1) % this.info.frames;
            this.show();
        }, 1000 / this.info.framesPerSecond);
    }

    pause() {
        this.stop();
    }

    stop() {
        if (this.timer !== null) clearInterval(this.timer);
        this.timer = null;
    }

    show() {
        this.context.putImageData(this.core.clipFrame(this.which, this.frame), 0, 0);
        this.canvas.dataset.frame = String(this.frame);
    }
}
