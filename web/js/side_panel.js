// A panel beside an animation page (Analysis, Design). It is not one of the desk's stacked
// windows: the page beneath keeps taking input while it is open.
import { DialogWindow, clampIntoArea, deskArea, fitScale, setScale } from './windows.js';

export class SidePanel extends DialogWindow {
    constructor(page, caption, className) {
        super(page.desk, caption, { className });
        this.page = page;
        this.element.tabIndex = -1;
        this.element.addEventListener('keydown', (event) => this.onPanelKey(event));
    }

    onPanelKey(event) {
        if (event.key === 'Escape') {
            event.preventDefault();
            this.end();
        } else if (event.key === 'Enter') {
            // Enter here is not the page's OK.
            event.preventDefault();
        }
    }

    // Beside the page, never over it: to its right where the screen has room for both at full
    // size, with the page moved left if it must; else, shrunk as a whole, in the larger of the
    // spaces right of and below the page.
    open() {
        this.element.hidden = false;
        this.desk.element.append(this.element);
        this.element.style.zIndex = '5';
        this.place();
        this.onResize = () => (this.element.dragged ? this.keepOnScreen() : this.place());
        this.desk.element.addEventListener('deskresize', this.onResize);
    }

    place() {
        const area = deskArea();
        const gap = 8;
        const page = this.page.element;
        const pageScale = page.scale ?? 1;
        const pw = page.offsetWidth * pageScale;
        const ph = page.offsetHeight * pageScale;
        const w = this.element.offsetWidth;
        const h = this.element.offsetHeight;
        const tall = fitScale(w, h, area) === 1;
        let left = page.offsetLeft;
        let top = page.offsetTop;
        const put = (scale, x, y) => {
            setScale(this.element, scale);
            clampIntoArea(this.element, x, y, area);
        };
        if (tall && pw + gap + w <= area.width) {
            // Side by side; the page moves left only as far as the panel needs.
            const pageLeft = Math.min(left, area.width - pw - gap - w);
            if (pageLeft !== left) clampIntoArea(page, pageLeft, top, area);
            put(1, pageLeft + pw + gap, Math.min(top, area.height - h));
            return;
        }
        // No room beside it at full size: the page goes to the top-left corner, and the panel
        // takes whichever space, right or below, lets it be larger.
        clampIntoArea(page, 0, 0, area);
        left = page.offsetLeft;
        top = page.offsetTop;
        const right = { width: area.width - left - pw - gap, height: area.height };
        const below = { width: area.width, height: area.height - top - ph - gap };
        const rightScale = fitScale(w, h, right);
        const belowScale = fitScale(w, h, below);
        if (rightScale >= belowScale) put(rightScale, left + pw + gap, 0);
        else put(belowScale, 0, top + ph + gap);
    }

    keepOnScreen() {
        setScale(this.element, fitScale(this.element.offsetWidth, this.element.offsetHeight, deskArea()));
        clampIntoArea(this.element, this.element.offsetLeft, this.element.offsetTop);
    }

    raise() {
        this.element.focus();
    }

    end() {
        if (this.ended) return;
        this.ended = true;
        this.desk.element.removeEventListener('deskresize', this.onResize);
        const hadFocus = this.element.contains(document.activeElement);
        this.element.remove();
        this.onEnded?.();
        if (hadFocus && !this.page.ended) this.page.restoreFocus();
    }
}
