// Browser tests of the web edition, in Debian's chromium, headless, against the built folder.
import { defineConfig } from '@playwright/test';
import { resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

const repository = fileURLToPath(new URL('../..', import.meta.url));
const site = process.env.CYCLAR_WEB_SITE ?? resolve(repository, 'build/web/site');
const port = Number(process.env.CYCLAR_WEB_PORT ?? 8099);

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
    webServer: {
        command: `node serve.mjs "${site}" ${port}`,
        url: `http://127.0.0.1:${port}/index.html`,
        reuseExistingServer: false,
        stdout: 'ignore',
    },
});
