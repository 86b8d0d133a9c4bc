// Windows of the page: dialog units, control layout, the modal stack, message boxes and menus.

// The faces the layouts were designed in, each with its bundled stand-in (CSS font shorthand).
// Point sizes at 96 pixels per inch, as the desktop lays its pages out.
export const TemplateFont = {
    msSansSerif8: { css: `${(8 * 96) / 72}px CyclarSans` },
    tahoma8: { css: `${(8 * 96) / 72}px CyclarSans` },
    timesNewRomanExtraBold10: { css: `bold ${(10 * 96) / 72}px CyclarSerif` },
    timesNewRoman12: { css: `${(12 * 96) / 72}px CyclarSerif` },
};

const letters = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz';

// Dialog units of one font: a horizontal unit is a quarter of the average width of the 52
// Latin letters (rounded to a whole pixel), a vertical unit an eighth of the line height. The
// conversion is the core's, as the desktop's pages convert.
export class DialogUnits {
    constructor(font, core) {
        this.core = core;
        const context = document.createElement('canvas').getContext('2d');
        context.font = font.css;
        const metrics = context.measureText(letters);
        this.averageCharWidth = Math.floor((Math.round(metrics.width) + 26) / 52);
        this.charHeight =
            Math.round(metrics.fontBoundingBoxAscent) + Math.round(metrics.fontBoundingBoxDescent);
    }
    x(units) {
        return this.core.api.dialogUnitsX(units, this.averageCharWidth);
    }
    y(units) {
        return this.core.api.dialogUnitsY(units, this.charHeight);
    }
}

function place(element, x, y, w, h) {
    element.style.left = `${x}px`;
    element.style.top = `${y}px`;
    if (w !== undefined) element.style.width = `${w}px`;
    if (h !== undefined) element.style.height = `${h}px`;
}

// Names of the pictures' words, for people using assistive technology and for tests.
const bitmapWords = {
    139: 'Back', 140: 'Exit', 141: 'Animate', 142: 'Stop', 154: 'Animation of Spherical Four-bar Linkages',
    155: 'k =', 156: 'b =', 157: 'c =', 158: 'f =', 159: 'h =', 160: 'a =', 161: 'Continue',
    163: 'Help', 166: 'Help', 167: 'Submit', 171: 'Circular View', 175: 'Diagram of a spherical four-bar linkage',
};

// What a field or slider is, read by a screen reader after its name.
const controlDescriptions = {
    a: 'left link, in degrees',
    b: 'right link, in degrees',
    c: 'coupler link, in degrees',
    f: 'ground link, in degrees',
    h: 'radial length of the coupler point on the coupler sphere, in degrees',
    k: 'angular position of the coupler point on the coupler sphere, in degrees',
    Speed: 'speed of the animation, from slow to fast',
    Turn: 'turn of the sphere, from left to right',
    Tilt: 'tilt of the sphere, from down to up',
};

// The pictures already loaded, by id: object URLs of their bytes, which the page can show
// whatever the network does later.
const loadedBitmaps = new Map();

export function bitmapUrl(id) {
    return loadedBitmaps.get(String(id)) ?? `art/bitmap-${id}.png`;
}

// Pixel sizes of the pictures; the layout needs them before the images arrive.
export const bitmapSizes = {
    139: [60, 30], 140: [60, 30], 141: [90, 30], 142: [60, 30], 154: [600, 40],
    155: [50, 25], 156: [50, 25], 157: [50, 25], 158: [50, 25], 159: [50, 25], 160: [50, 25],
    161: [150, 40], 163: [100, 40], 166: [100, 40], 167: [80, 30], 171: [131, 80], 175: [342, 344],
};

// Every picture the pages show, loaded at the start, so that no button is ever a broken image,
// even if the network goes later. Gives { first, all }: promises of the pictures of `first`
// (ids) and of every picture, so the first page need not wait for the rest.
export function preloadBitmaps(first = []) {
    const all = new Map(
        Object.keys(bitmapSizes).map((id) => [
            id,
            fetch(`art/bitmap-${id}.png`)
                .then((response) => {
                    if (!response.ok) throw new Error(`art/bitmap-${id}.png: ${response.status} ${response.statusText}`);
                    return response.blob();
                })
                .then((blob) => loadedBitmaps.set(id, URL.createObjectURL(blob))),
        ])
    );
    return {
        first: Promise.all(first.map((id) => all.get(String(id)))),
        // A picture that failed comes from the network when shown, like any image.
        all: Promise.allSettled(all.values()),
    };
}

function pictureImage(id) {
    const image = document.createElement('img');
    image.src = bitmapUrl(id);
    const [w, h] = bitmapSizes[id];
    image.width = w;
    image.height = h;
    image.alt = '';
    image.draggable = false;
    return image;
}

// Places controls in a window's client area from dialog units. Controls are made in the order
// of the calls, which is the keyboard's tab order, and the extent of all is kept.
export class Layout {
    constructor(client, font, core) {
        this.client = client;
        this.units = new DialogUnits(font, core);
        client.style.font = font.css;
        this.right = 0;
        this.bottom = 0;
    }

    grow(x, y, w, h) {
        this.right = Math.max(this.right, x + w);
        this.bottom = Math.max(this.bottom, y + h);
    }

    add(element, x, y, w, h) {
        place(element, x, y, w, h);
        element.box = [x, y, w ?? 0, h ?? 0];
        this.client.append(element);
        this.grow(x, y, w ?? 0, h ?? 0);
        return element;
    }

    move(element, x, y) {
        place(element, x, y);
        element.box = [x, y, element.box[2], element.box[3]];
    }

    // A description read with a control's name, from a hidden text beside it.
    describe(element, text) {
        if (!text) return;
        const description = document.createElement('span');
        description.id = `${element.name}-${Math.random().toString(36).slice(2)}`;
        description.hidden = true;
        description.textContent = text;
        this.client.append(description);
        element.setAttribute('aria-describedby', description.id);
    }

    edit(x, y, w, h, name) {
        const field = document.createElement('input');
        field.type = 'text';
        field.name = name;
        field.setAttribute('aria-label', name);
        this.describe(field, controlDescriptions[name]);
        field.autocomplete = 'off';
        field.spellcheck = false;
        const u = this.units;
        return this.add(field, u.x(x), u.y(y), u.x(w), u.y(h));
    }

    bitmapButton(x, y, id) {
        const button = document.createElement('button');
        button.type = 'button';
        button.className = 'picture';
        button.setAttribute('aria-label', bitmapWords[id]);
        button.append(pictureImage(id));
        const [w, h] = bitmapSizes[id];
        return this.add(button, this.units.x(x), this.units.y(y), w, h);
    }

    picture(x, y, id, sunken = false) {
        const image = pictureImage(id);
        image.className = sunken ? 'picture sunken' : 'picture';
        image.alt = bitmapWords[id];
        const [w, h] = bitmapSizes[id];
        const frame = sunken ? 4 : 0;
        this.add(image, this.units.x(x), this.units.y(y));
        image.box = [this.units.x(x), this.units.y(y), w + frame, h + frame];
        this.grow(...image.box);
        return image;
    }

    text(x, y, w, h, content) {
        const label = document.createElement('div');
        label.className = 'text';
        label.textContent = content;
        const u = this.units;
        return this.add(label, u.x(x), u.y(y), u.x(w), u.y(h));
    }

    centredText(x, y, w, h, content, centredDown = true) {
        const label = this.text(x, y, w, h, content);
        label.classList.add('centred');
        if (centredDown) label.classList.add('middle');
        return label;
    }

    trackbar(x, y, w, h, name) {
        const slider = document.createElement('input');
        slider.type = 'range';
        slider.min = '0';
        slider.max = '100';
        slider.step = '1';
        slider.name = name;
        slider.setAttribute('aria-label', name);
        this.describe(slider, controlDescriptions[name]);
        // The position in words, from `slider.valueText(position)` where the page gives one.
        slider.showValue = () => {
            if (slider.valueText) slider.setAttribute('aria-valuetext', slider.valueText(Number(slider.value)));
        };
        slider.addEventListener('input', slider.showValue);
        const u = this.units;
        return this.add(slider, u.x(x), u.y(y), u.x(w), u.y(h));
    }

    // The client size for a template of w x h units, grown to hold every control.
    clientSize(w, h, atLeast = [0, 0]) {
        const margin = this.units.x(4);
        return [
            Math.max(this.units.x(w), this.right + margin, atLeast[0]),
            Math.max(this.units.y(h), this.bottom + margin, atLeast[1]),
        ];
    }
}

// The part of the screen the windows may use: all of it but the strip of the desk's own buttons
// at the foot. Windows keep a small margin from its edges when they have to shrink.
const deskBarHeight = 56;
const deskMargin = 4;

export function deskArea() {
    const width = document.documentElement.clientWidth;
    const height = Math.max(0, document.documentElement.clientHeight - deskBarHeight);
    return { width, height };
}

// The scale at which a window of w x h pixels fits in a w x h area: never above 1, the
// proportions kept.
export function fitScale(w, h, area) {
    if (w <= 0 || h <= 0) return 1;
    return Math.min(1, (area.width - 2 * deskMargin) / w, (area.height - 2 * deskMargin) / h);
}

// Moves a scaled window so that all of it lies in the area (its top-left corner first, should
// it still be too big).
export function clampIntoArea(element, left, top, area = deskArea()) {
    const scale = element.scale ?? 1;
    const w = element.offsetWidth * scale;
    const h = element.offsetHeight * scale;
    const x = Math.max(0, Math.min(left, area.width - w));
    const y = Math.max(0, Math.min(top, area.height - h));
    element.style.left = `${Math.round(x)}px`;
    element.style.top = `${Math.round(y)}px`;
}

// Shrinks a window as a whole, proportions kept, by `scale` (1: its own size).
export function setScale(element, scale) {
    element.scale = scale;
    element.style.transform = scale < 1 ? `scale(${scale})` : '';
}

// Lets the caption drag its window; the window stays on the desk.
function makeDraggable(element, caption) {
    caption.addEventListener('pointerdown', (event) => {
        if (event.button !== 0 || event.target.closest('button')) return;
        event.preventDefault();
        const startX = event.clientX;
        const startY = event.clientY;
        const left = element.offsetLeft;
        const top = element.offsetTop;
        caption.setPointerCapture(event.pointerId);
        const move = (e) => {
            element.dragged = true;
            clampIntoArea(element, left + e.clientX - startX, top + e.clientY - startY);
        };
        const stop = () => {
            caption.removeEventListener('pointermove', move);
            caption.removeEventListener('pointerup', stop);
            caption.removeEventListener('pointercancel', stop);
        };
        caption.addEventListener('pointermove', move);
        caption.addEventListener('pointerup', stop);
        caption.addEventListener('pointercancel', stop);
    });
}

// The stack of open windows: only the one on top takes input; the others are inert. The desk
// also holds its own buttons, outside the windows: the menu of the page in front, and the
// pause button of a moving clip.
export class Desk {
    constructor(element) {
        this.element = element;
        this.stack = [];
        document.addEventListener('keydown', (event) => this.onKey(event));
        this.bar = document.createElement('div');
        this.bar.className = 'desk-bar';
        this.bar.setAttribute('role', 'toolbar');
        this.bar.setAttribute('aria-label', 'cyclar');
        this.clipButton = document.createElement('button');
        this.clipButton.type = 'button';
        this.clipButton.className = 'desk-button';
        this.clipButton.hidden = true;
        this.clipButton.addEventListener('click', () => this.toggleClip());
        this.menuButton = document.createElement('button');
        this.menuButton.type = 'button';
        this.menuButton.className = 'desk-button menu-button';
        this.menuButton.textContent = '\u2630 Menu';
        this.menuButton.setAttribute('aria-label', 'Menu');
        this.menuButton.setAttribute('aria-haspopup', 'menu');
        this.menuButton.addEventListener('click', () => this.openMenu());
        this.bar.append(this.clipButton, this.menuButton);
        element.after(this.bar);
        // Windows follow the browser's size: they shrink or grow back and stay on screen.
        window.addEventListener('resize', () => this.fitAll());
        this.refreshBar();
    }

    top() {
        return this.stack[this.stack.length - 1];
    }

    refresh() {
        this.stack.forEach((window, i) => {
            window.element.inert = i !== this.stack.length - 1;
            window.element.style.zIndex = String(10 + i);
        });
        // The browser's title names the page in front (a message box is not a page).
        const page = [...this.stack].reverse().find((window) => window.role !== 'alertdialog');
        document.title = page ? `cyclar: ${page.caption}` : 'cyclar has ended';
        this.refreshBar();
    }

    refreshBar() {
        const top = this.top();
        const items = top?.deskMenuItems?.() ?? [];
        this.menuButton.disabled = items.length === 0;
        const clip = top?.clip;
        this.clipButton.hidden = !clip;
        if (clip) this.clipButton.textContent = clip.playing ? 'Pause animation' : 'Play animation';
    }

    toggleClip() {
        const clip = this.top()?.clip;
        if (!clip) return;
        if (clip.playing) clip.pause();
        else clip.resume();
        this.refreshBar();
    }

    openMenu() {
        const items = this.top()?.deskMenuItems?.() ?? [];
        if (items.length === 0) return;
        const box = this.menuButton.getBoundingClientRect();
        const menu = popupMenu(box.right, box.top - 2, items, { anchor: 'bottom-right' });
        this.menuButton.setAttribute('aria-expanded', 'true');
        menu.addEventListener('menuclosed', () => this.menuButton.setAttribute('aria-expanded', 'false'));
    }

    open(window, over) {
        this.element.append(window.element);
        window.element.hidden = false;
        window.onAttached?.();
        window.placedOver = over;
        window.placeOver(over);
        this.stack.push(window);
        this.refresh();
        window.focusFirst();
    }

    close(window) {
        const i = this.stack.indexOf(window);
        if (i >= 0) this.stack.splice(i, 1);
        window.element.remove();
        this.refresh();
        const top = this.top();
        if (top) top.restoreFocus();
    }

    // After the browser's size changed: every window fits again; one the user has not moved
    // goes back to where it was first put, one the user has moved stays as near as it can.
    fitAll() {
        for (const window of this.stack) {
            if (window.element.dragged) {
                setScale(window.element, fitScale(window.element.offsetWidth, window.element.offsetHeight, deskArea()));
                clampIntoArea(window.element, window.element.offsetLeft, window.element.offsetTop);
            } else {
                window.placeOver(this.stack.includes(window.placedOver) ? window.placedOver : null);
            }
        }
        this.element.dispatchEvent(new Event('deskresize'));
    }

    onKey(event) {
        const window = this.top();
        if (!window || event.defaultPrevented) return;
        // A window's own shortcuts work wherever the focus is while it is in front.
        if (window.onShortcut?.(event)) {
            event.preventDefault();
            return;
        }
        if (event.key === 'Escape') {
            event.preventDefault();
            window.onCancel();
        } else if (event.key === 'Enter' && !(event.target instanceof HTMLButtonElement)) {
            event.preventDefault();
            window.onOK();
        }
    }
}

// One window: caption with its close box, and a client area laid out in dialog units.
export class DialogWindow {
    constructor(desk, caption, options = {}) {
        this.desk = desk;
        this.element = document.createElement('section');
        this.element.className = `window ${options.className ?? ''}`.trim();
        this.element.setAttribute('role', options.role ?? 'dialog');
        this.element.setAttribute('aria-label', caption);
        this.caption = caption;
        this.role = options.role ?? 'dialog';
        this.element.hidden = true;
        const bar = document.createElement('div');
        bar.className = 'caption';
        if (options.systemMenu) {
            const menuButton = document.createElement('button');
            menuButton.type = 'button';
            menuButton.className = 'system';
            menuButton.setAttribute('aria-label', 'System menu');
            menuButton.tabIndex = -1;
            const icon = document.createElement('img');
            icon.src = 'art/icon-32.png';
            icon.alt = '';
            menuButton.append(icon);
            menuButton.addEventListener('click', () => {
                const box = menuButton.getBoundingClientRect();
                options.systemMenu(box.left, box.bottom);
            });
            bar.append(menuButton);
        }
        const title = document.createElement('span');
        title.className = 'title';
        title.textContent = caption;
        const close = document.createElement('button');
        close.type = 'button';
        close.className = 'close';
        close.tabIndex = -1;
        close.setAttribute('aria-label', 'Close');
        close.textContent = '\u00d7';
        close.addEventListener('click', () => this.onCancel());
        bar.append(title, close);
        this.client = document.createElement('div');
        this.client.className = 'client';
        this.element.append(bar, this.client);
        makeDraggable(this.element, bar);
        this.lastFocus = null;
        this.element.addEventListener('focusin', (event) => {
            this.lastFocus = event.target;
        });
    }

    setClientSize([w, h]) {
        this.client.style.width = `${w}px`;
        this.client.style.height = `${h}px`;
    }

    // Centred over the window beneath, or on the desk; shrunk as a whole where the screen is
    // too small for it, and always all on screen.
    placeOver(over) {
        const area = deskArea();
        const element = this.element;
        setScale(element, fitScale(element.offsetWidth, element.offsetHeight, area));
        const w = element.offsetWidth * element.scale;
        const h = element.offsetHeight * element.scale;
        let left;
        let top;
        if (this.atCorner) {
            left = 8;
            top = 8;
        } else if (over) {
            const under = over.element.getBoundingClientRect();
            left = under.left + (under.width - w) / 2;
            top = under.top + (under.height - h) / 2;
        } else {
            left = (area.width - w) / 2;
            top = (area.height - h) / 2;
        }
        clampIntoArea(element, left, top, area);
    }

    focusFirst() {
        const first = this.client.querySelector('input, button.push');
        if (first) first.focus();
        else this.element.focus?.();
    }

    restoreFocus() {
        if (this.lastFocus && this.element.contains(this.lastFocus)) this.lastFocus.focus();
        else this.focusFirst();
    }

    // The keyboard's OK (Enter) and Cancel (Escape, close box); windows override them.
    onOK() {
        this.onCancel();
    }

    onCancel() {
        this.end();
    }

    end() {
        this.ended = true;
        this.onEnded?.();
        this.desk.close(this);
        if (this.desk.stack.length === 0) this.desk.onEmpty?.();
    }
}

const exclamationIcon =
    'data:image/svg+xml,' +
    encodeURIComponent(
        '<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 32 32">' +
            '<path d="M16 2 L31 29 H1 Z" fill="#f5c400" stroke="#6b5500" stroke-width="1.5" stroke-linejoin="round"/>' +
            '<rect x="14.4" y="10" width="3.2" height="11" rx="1" fill="#000"/>' +
            '<circle cx="16" cy="25" r="1.9" fill="#000"/></svg>'
    );

// A message box captioned "cyclar" with an exclamation icon and OK. Resolves when it closes.
export function messageBox(desk, text, over) {
    return new Promise((resolve) => {
        const box = new DialogWindow(desk, 'cyclar', { className: 'message', role: 'alertdialog' });
        const icon = document.createElement('img');
        icon.className = 'icon';
        icon.src = exclamationIcon;
        icon.alt = '';
        const body = document.createElement('div');
        body.className = 'body';
        body.id = `message-${Math.random().toString(36).slice(2)}`;
        body.textContent = text;
        box.element.setAttribute('aria-describedby', body.id);
        const buttons = document.createElement('div');
        buttons.className = 'buttons';
        const ok = document.createElement('button');
        ok.type = 'button';
        ok.className = 'push';
        ok.textContent = 'OK';
        ok.addEventListener('click', () => box.end());
        buttons.append(ok);
        box.client.append(icon, body, buttons);
        box.focusFirst = () => ok.focus();
        box.onEnded = resolve;
        desk.open(box, over);
    });
}

// A small menu at (x, y); items are [label, action] or [label, action, shortcut] (the shortcut
// shown at the item's right), or null for a separator. With { anchor: 'bottom-right' } the point
// is the menu's bottom-right corner. The menu stays on screen, and the arrow keys, Home and End
// move along its items. It sends 'menuclosed' when it goes.
export function popupMenu(x, y, items, options = {}) {
    document.querySelector('.menu')?.closeMenu?.();
    const menu = document.createElement('div');
    menu.className = 'menu';
    menu.setAttribute('role', 'menu');
    const close = () => {
        menu.remove();
        document.removeEventListener('pointerdown', outside, true);
        document.removeEventListener('keydown', onKey, true);
        menu.dispatchEvent(new Event('menuclosed'));
    };
    menu.closeMenu = close;
    const outside = (event) => {
        if (!menu.contains(event.target)) close();
    };
    const step = (event) => {
        const all = [...menu.querySelectorAll('button:not(:disabled)')];
        const at = all.indexOf(document.activeElement);
        const next = {
            ArrowDown: (at + 1) % all.length,
            ArrowUp: (at - 1 + all.length) % all.length,
            Home: 0,
            End: all.length - 1,
        }[event.key];
        if (next === undefined) return false;
        all[next].focus();
        return true;
    };
    const onKey = (event) => {
        if (event.key === 'Escape' || event.key === 'Tab') {
            event.preventDefault();
            event.stopPropagation();
            close();
            return;
        }
        if (step(event)) {
            event.preventDefault();
            event.stopPropagation();
            return;
        }
        const chosen = [...menu.querySelectorAll('button[aria-keyshortcuts]')].find(
            (item) => item.getAttribute('aria-keyshortcuts') === event.key.toLowerCase()
        );
        if (chosen) {
            event.preventDefault();
            event.stopPropagation();
            chosen.click();
        }
    };
    for (const item of items) {
        if (!item) {
            menu.append(document.createElement('hr'));
            continue;
        }
        // A fourth element, true or false, makes the item a check box showing that state; a
        // fifth, true, greys it out.
        const [label, action, shortcut, checked, disabled] = item;
        const button = document.createElement('button');
        button.type = 'button';
        if (disabled) {
            button.disabled = true;
            button.setAttribute('aria-disabled', 'true');
        }
        button.setAttribute('role', checked === undefined ? 'menuitem' : 'menuitemcheckbox');
        if (checked !== undefined) button.setAttribute('aria-checked', String(Boolean(checked)));
        button.tabIndex = -1;
        // An ampersand marks the item's access key, shown underlined.
        const mark = label.indexOf('&');
        if (mark >= 0 && mark + 1 < label.length) {
            const key = document.createElement('u');
            key.textContent = label[mark + 1];
            button.append(label.slice(0, mark), key, label.slice(mark + 2));
            button.setAttribute('aria-keyshortcuts', label[mark + 1].toLowerCase());
        } else {
            button.textContent = label;
        }
        if (shortcut) {
            const keys = document.createElement('span');
            keys.className = 'shortcut';
            keys.textContent = shortcut;
            keys.setAttribute('aria-hidden', 'true');
            button.append(keys);
        }
        button.addEventListener('click', () => {
            close();
            action();
        });
        menu.append(button);
    }
    document.body.append(menu);
    const { width, height } = menu.getBoundingClientRect();
    const [left, top] = options.anchor === 'bottom-right' ? [x - width, y - height] : [x, y];
    const room = document.documentElement;
    menu.style.left = `${Math.max(0, Math.min(left, room.clientWidth - width))}px`;
    menu.style.top = `${Math.max(0, Math.min(top, room.clientHeight - height))}px`;
    document.addEventListener('pointerdown', outside, true);
    document.addEventListener('keydown', onKey, true);
    menu.querySelector('button:not(:disabled)')?.focus();
    return menu;
}

// A short note at the foot of the page that goes away by itself.
export function toast(text) {
    let note = document.querySelector('.toast');
    if (!note) {
        note = document.createElement('div');
        note.className = 'toast';
        note.setAttribute('role', 'status');
        document.body.append(note);
    }
    note.textContent = text;
    note.hidden = false;
    clearTimeout(note.timer);
    note.timer = setTimeout(() => {
        note.hidden = true;
    }, 6000);
}

// Calls `action(x, y)` when a finger (or pen) rests on the element without moving, as a long
// press opens a menu on a touch screen.
export function onLongPress(element, action, delay = 500) {
    let timer = null;
    let start = null;
    const cancel = () => {
        clearTimeout(timer);
        timer = null;
    };
    element.addEventListener('pointerdown', (event) => {
        if (event.pointerType === 'mouse') return;
        start = [event.clientX, event.clientY];
        cancel();
        timer = setTimeout(() => {
            timer = null;
            action(start[0], start[1]);
        }, delay);
    });
    element.addEventListener('pointermove', (event) => {
        if (timer !== null && Math.hypot(event.clientX - start[0], event.clientY - start[1]) > 10) cancel();
    });
    for (const name of ['pointerup', 'pointercancel', 'pointerleave']) element.addEventListener(name, cancel);
}
