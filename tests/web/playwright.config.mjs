// Browser tests of the web edition, in Debian's chromium, headless, against the built folder.
import { defineConfig } from '@playwright/test';
import { resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

const repository = fileURLToPath(new URL('../..', import.meta.url));
const site = process.env.CYCLAR_WEB_SITE ?? resolve(repository, 'build/web/site');
const port = Number(process.env.CYCLAR_WEB_PORT ?? 8099);

// The screens the pages must fit; the specs about fit, touch and accessibility run on each, the
// rest on the desktop only.
const everyScreen = ['devices.spec.mjs', 'a11y.spec.mjs', 'design.spec.mjs', 'working.spec.mjs'];

export default defineConfig({
    testDir: '.',
    testMatch: '*.spec.mjs',
    // Two cores are shared by the whole machine: one browser at a time.
    workers: 1,
    timeout: 60_000,
    reporter: 'list',
    use: {
        baseURL: `http://127.0.0.1:${port}/`,
        browserName: 'chromium',
        headless: true,
        launchOptions: {
            executablePath: process.env.CYCLAR_CHROMIUM ?? '/usr/bin/chromium',
            args: ['--no-sandbox'],
        },
    },
    projects: [
        { name: 'desktop', use: { viewport: { width: 1280, height: 720 } } },
        {
            name: 'phone',
            testMatch: everyScreen,
            use: { viewport: { width: 390, height: 844 }, deviceScaleFactor: 3, isMobile: true, hasTouch: true },
        },
        {
            name: 'tablet',
            testMatch: everyScreen,
            use: { viewport: { width: 820, height: 1180 }, deviceScaleFactor: 2, isMobile: true, hasTouch: true },
        },
    ],
    webServer: {
        command: `node serve.mjs "${site}" ${port}`,
        url: `http://127.0.0.1:${port}/index.html`,
        reuseExistingServer: false,
        stdout: 'ignore',
    },
});
