// Start-up and the page chain of cyclar in the browser.
import { loadCore } from './core.js';
import { AnimationPage, DimensionsPage, TitlePage } from './pages.js';
import { linkageFragment, readSharedDimensions } from './share.js';
import { Desk, TemplateFont, messageBox, preloadBitmaps } from './windows.js';

// What the pages share: the two copies of the dimensions, EntryMode, the clock's saved values.
function newState() {
    return {
        entryMode: 0,
        entryCopy: { a: 0, b: 0, c: 0, f: 0, h: 0, k: 0 },
        animationCopy: { a: 0, b: 0, c: 0, f: 0, h: 0, k: 0 },
        savedFrameIndex: 0,
        savedSpeedPos: 50,
        // The circuit and pace the next animation page shows (and the address keeps).
        motion: { circuit: 1, evenInput: false },
    };
}

class App {
    constructor(core, desk) {
        this.core = core;
        this.desk = desk;
        this.state = newState();
        this.scene = core.newScene();
        desk.onEmpty = () => this.ended();
    }

    // The page being left ends if its fields pass; the next page opens in front either way.
    // A page that fails to end stays beneath and is in front again when the pages above it end.
    // `passed` is the outcome of a check the page has just made, so it is not made (and said)
    // twice.
    async handOver(left, next, passed = undefined) {
        if (passed ?? (await left.UpdateData(true))) {
            left.ended = true;
            left.onEnded?.();
            this.desk.close(left);
        }
        this.desk.open(next, null);
    }

    start() {
        const shared = readSharedDimensions(this.core, location.hash);
        const title = new TitlePage(this);
        if (!shared) {
            this.desk.open(title, null);
            return;
        }
        // A shared link skips the title page, as if Continue had been clicked.
        title.ended = true;
        this.state.entryMode = 1;
        if (shared.motion) this.state.motion = shared.motion;
        const page = new DimensionsPage(this, shared.dims);
        this.desk.open(page, null);
        if (shared.problem) {
            messageBox(this.desk, `${shared.problem}\nThe page shows the default dimensions.`, page);
        }
    }

    // The address holds the linkage in use, so that a reload, the browser's Back and Forward,
    // and Start again come back to it. It replaces the entry: no history of its own.
    rememberLinkage(dims) {
        const fragment = linkageFragment(this.core, dims, this.state.motion);
        if (fragment && location.hash !== fragment) history.replaceState(history.state, '', fragment);
    }

    ended() {
        const notice = document.createElement('p');
        notice.className = 'notice';
        notice.textContent = 'cyclar has ended.';
        const again = document.createElement('button');
        again.type = 'button';
        again.textContent = 'Start again';
        // Starts again with the linkage the address holds, if any.
        again.addEventListener('click', () => location.reload());
        notice.append(again);
        this.desk.element.append(notice);
        again.focus();
    }
}

async function main() {
    const fonts = Object.values(TemplateFont).map((font) => document.fonts.load(font.css));
    // The title page's pictures before it shows; the others load meanwhile.
    const pictures = preloadBitmaps([154, 161, 163, 171]);
    const [core] = await Promise.all([loadCore(), pictures.first, ...fonts]);
    document.getElementById('start-problem')?.remove();
    const app = new App(core, new Desk(document.getElementById('desk')));
    // Tests and curious students reach the cores and the pages from the console (the desk's core
    // as a promise: it is loaded when first asked for).
    const desk = () => import('./desk_core.js').then((module) => module.loadDesk());
    window.cyclar = { core, desk, app, AnimationPage, pictures: pictures.all };
    app.start();
    // The first picture is on the screen with the next frame the browser paints.
    requestAnimationFrame(() => setTimeout(() => performance.mark('cyclar-first-picture'), 0));
}

// A new fragment names new dimensions: start again with them.
window.addEventListener('hashchange', () => location.reload());

main().catch((error) => {
    const notice = document.createElement('p');
    notice.className = 'notice';
    notice.setAttribute('role', 'alert');
    notice.textContent =
        `cyclar could not start in this browser: ${error.message ?? error}. ` +
        'If some of its files could not be loaded, check that the whole folder is served over http ' +
        '(for example with scripts/web.sh) and reload.';
    document.getElementById('desk').append(notice);
});

// The whole site is kept for use offline (and the page can be installed), from the second
// page load on, or from now on where the browser lets the worker take this page at once.
if ('serviceWorker' in navigator && location.protocol.startsWith('http')) {
    window.addEventListener('load', () => {
        navigator.serviceWorker.register('sw.js').catch(() => {});
    });
}
