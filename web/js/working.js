// The working and exercise panels beside an animation page, fetched when one first opens. The
// working's text, its handout, the questions, the marks and the key all come from the desk's
// core, as on the desktop and in cyclar-export explain and check; these panels only put them on
// the page.
import { SidePanel } from './side_panel.js';
import { downloadBlob } from './files.js';

function button(text, action) {
    const element = document.createElement('button');
    element.type = 'button';
    element.textContent = text;
    element.addEventListener('click', action);
    return element;
}

// The working of the page's linkage: at the frame it shows, or held at a typed input angle.
export class WorkingPanel extends SidePanel {
    // `desk`: the desk's core (desk_core.js).
    constructor(page, desk) {
        super(page, 'The working', 'working');
        this.core = desk;
        const form = document.createElement('div');
        form.className = 'working-choice';
        const choice = (text, checked) => {
            const label = document.createElement('label');
            const radio = document.createElement('input');
            radio.type = 'radio';
            radio.name = 'working-follow';
            radio.checked = checked;
            label.append(radio, ` ${text}`);
            return [label, radio];
        };
        const [followLabel, follow] = choice('Follow the animation', true);
        const [holdLabel, hold] = choice('Hold \u03b8 =', false);
        this.followButton = follow;
        this.holdButton = hold;
        this.input = document.createElement('input');
        this.input.type = 'text';
        this.input.inputMode = 'decimal';
        this.input.size = 10;
        this.input.setAttribute('aria-label', 'input angle \u03b8 to hold, in degrees');
        this.branch = document.createElement('select');
        this.branch.setAttribute('aria-label', 'branch');
        for (const n of [1, 2]) this.branch.append(new Option(`branch ${n}`, String(n)));
        form.append(followLabel, holdLabel, this.input, '\u00b0 ', this.branch);
        this.message = document.createElement('p');
        this.message.className = 'working-message';
        this.message.setAttribute('role', 'alert');
        this.message.hidden = true;
        this.text = document.createElement('pre');
        this.text.className = 'working-text';
        // Scrolled by keys as well: it takes the focus, and is named as the panel's region.
        this.text.tabIndex = 0;
        this.text.setAttribute('role', 'region');
        this.text.setAttribute('aria-label', 'The working');
        const buttons = document.createElement('div');
        buttons.className = 'working-buttons';
        buttons.append(
            button('Copy', () => this.copy()),
            button('Print\u2026', () => this.print()),
            button('Save as HTML\u2026', () => this.saveHtml())
        );
        this.client.append(form, this.message, this.text, buttons);

        follow.addEventListener('change', () => this.followAnimation());
        hold.addEventListener('change', () => this.takeTypedInput());
        this.input.addEventListener('keydown', (event) => {
            if (event.key === 'Enter') this.takeTypedInput();
        });
        this.branch.addEventListener('change', () => {
            if (!this.following) this.takeTypedInput();
        });
        this.following = true;
        // Where the working stands now, for tests and the curious.
        this.theta = null;
        this.branchShown = null;
    }

    // Works out the pose the page shows now, while following it.
    follow() {
        if (!this.following) return;
        const { theta, branch } = this.page.scene.input;
        this.show(Number.isFinite(theta) ? theta : 0, branch === 2 ? 2 : 1);
    }

    // The page's linkage changed: its working at the same place.
    refresh() {
        if (this.following) this.follow();
        else this.show(this.theta, this.branchShown);
    }

    followAnimation() {
        this.following = true;
        this.followButton.checked = true;
        this.message.hidden = true;
        this.theta = null;
        this.follow();
    }

    holdInput(theta, branch) {
        this.following = false;
        this.holdButton.checked = true;
        this.input.value = String(theta);
        this.branch.value = String(branch);
        this.message.hidden = true;
        this.show(theta, branch);
    }

    takeTypedInput() {
        const theta = this.core.cellNumber(this.input.value.replace(/\u2212/g, '-'));
        if (theta === null) {
            this.following = false;
            this.holdButton.checked = true;
            this.message.textContent = 'Type the input angle \u03b8 in degrees, such as 30 or -12.5, then press Enter.';
            this.message.hidden = false;
            this.input.focus();
            return;
        }
        this.holdInput(theta, Number(this.branch.value));
    }

    show(theta, branch) {
        if (theta === this.theta && branch === this.branchShown && this.dims === this.page.modelDims) return;
        this.theta = theta;
        this.branchShown = branch;
        this.dims = this.page.modelDims;
        this.text.textContent = this.core.working(this.dims, theta, branch);
        this.element.dataset.theta = String(theta);
        this.element.dataset.branch = String(branch);
    }

    // The handout, the very page cyclar-export explain --format html writes, in the page's view.
    handout() {
        const scene = this.page.scene;
        return this.core.workingHtml(this.dims, this.theta, this.branchShown, scene.turn, scene.tilt);
    }

    async copy() {
        try {
            await navigator.clipboard.writeText(this.text.textContent);
        } catch {
            // Without the clipboard the text is selected for the reader to copy.
            getSelection().selectAllChildren(this.text);
        }
    }

    saveHtml() {
        downloadBlob('working.html', new Blob([this.handout()], { type: 'text/html' }));
    }

    // The handout in a frame of its own, printed from there: the picture, the chart and the text.
    print() {
        document.querySelector('iframe.working-print')?.remove();
        const frame = document.createElement('iframe');
        frame.className = 'working-print';
        frame.title = 'The working, for printing';
        frame.setAttribute('aria-hidden', 'true');
        frame.tabIndex = -1;
        frame.addEventListener('load', () => frame.contentWindow.print(), { once: true });
        frame.srcdoc = this.handout();
        document.body.append(frame);
    }
}

// An exercise: its questions, the student's answers, the core's marks, and the key once the
// working is asked for (where the file allows it).
export class ExercisePanel extends SidePanel {
    // `desk`: the desk's core, which holds the exercise as it last read it.
    constructor(page, desk, exercise) {
        super(page, exercise.title, 'exercise');
        this.core = desk;
        this.exercise = exercise;
        const heading = document.createElement('p');
        heading.className = 'exercise-linkage';
        const d = exercise.dims;
        heading.textContent = ['a', 'b', 'c', 'f', 'h', 'k'].map((key) => `${key} = ${d[key]}\u00b0`).join(', ');
        const list = document.createElement('ul');
        list.className = 'exercise-questions';
        this.rows = exercise.questions.map((q) => {
            const item = document.createElement('li');
            const label = document.createElement('label');
            label.textContent = `${q.id}. ${q.text}`;
            const answer = document.createElement('input');
            answer.type = 'text';
            answer.dataset.id = q.id;
            answer.setAttribute('aria-label', `answer to ${q.id}`);
            answer.addEventListener('keydown', (event) => {
                if (event.key === 'Enter') this.check();
            });
            label.append(answer);
            const mark = document.createElement('p');
            mark.className = 'exercise-mark';
            mark.setAttribute('aria-live', 'polite');
            const value = document.createElement('p');
            value.className = 'exercise-answer';
            value.hidden = true;
            item.append(label, mark, value);
            list.append(item);
            return { id: q.id, answer, mark, value };
        });
        const buttons = document.createElement('div');
        buttons.className = 'working-buttons';
        this.checkButton = button('Check', () => this.check());
        this.workingButton = button('Show the working', () => this.showWorking());
        if (!exercise.showWorking) {
            this.workingButton.disabled = true;
            this.workingButton.title = 'This exercise does not show the working.';
        }
        this.score = document.createElement('span');
        this.score.className = 'exercise-score';
        this.score.setAttribute('aria-live', 'polite');
        buttons.append(this.checkButton, this.workingButton, this.score);
        this.client.append(heading, list, buttons);
    }

    check() {
        const marks = this.core.checkExercise(this.rows.map((row) => row.answer.value));
        marks.results.forEach((result, i) => {
            const mark = this.rows[i].mark;
            mark.textContent = result.correct ? 'correct' : `not yet: ${result.hint}`;
            mark.dataset.correct = String(result.correct);
        });
        this.score.textContent = `${marks.score} of ${marks.of} correct`;
        return marks;
    }

    // The right values beside the questions, and the working at the first question's input.
    async showWorking() {
        if (!this.exercise.showWorking) return;
        const { answers } = this.core.exerciseKey();
        answers.forEach((answer, i) => {
            this.rows[i].value.textContent = `Answer: ${answer.text}`;
            this.rows[i].value.hidden = false;
        });
        const asked = this.exercise.questions.find((q) => q.input !== undefined);
        await this.page.OnWorking();
        this.page.working?.holdInput(asked?.input ?? 0, asked?.branch ?? 1);
    }
}
