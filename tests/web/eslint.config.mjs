// The JavaScript checks (scripts/style.sh runs them from the repository's top with this file):
// eslint's recommended rules and a few that catch real slips, over the browser edition (web/)
// and its tests, each file with the globals of where it runs.
import js from '@eslint/js';
import globals from 'globals';

export default [
    { ignores: ['build/', 'tests/web/node_modules/', 'tests/web/test-results/', 'tests/web/playwright-report/'] },
    js.configs.recommended,
    {
        files: ['**/*.js', '**/*.mjs'],
        languageOptions: { ecmaVersion: 'latest', sourceType: 'module', globals: globals.browser },
        linterOptions: { reportUnusedDisableDirectives: 'error' },
        rules: {
            eqeqeq: ['error', 'smart'],
            'no-var': 'error',
            'prefer-const': 'error',
            'no-shadow': 'error',
            'no-implicit-coercion': 'error',
            'no-self-compare': 'error',
            'no-template-curly-in-string': 'error',
            'no-unmodified-loop-condition': 'error',
            'no-unreachable-loop': 'error',
            'no-eval': 'error',
            'no-implied-eval': 'error',
            'no-new-wrappers': 'error',
            'no-return-assign': 'error',
            'no-sequences': 'error',
            radix: 'error',
        },
    },
    // The tests run in Node; the functions they hand to page.evaluate run in the page.
    { files: ['tests/web/**'], languageOptions: { globals: { ...globals.node, ...globals.browser } } },
    // The service worker is a classic script; scripts/web.sh fills in its two marks.
    { files: ['web/sw.js'], languageOptions: { sourceType: 'script', globals: globals.serviceworker } },
];
