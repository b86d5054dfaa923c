// The lint of the repo's JavaScript (tests/web/CMakeLists.txt runs it): ESLint's recommended
// rules, and for each kind of script the globals it runs with. eslint, @eslint/js and globals are
// installed globally from npm (scripts/deps.sh web), so the test sets NODE_PATH to `npm root -g`.
"use strict";

const js = require("@eslint/js");
const globals = require("globals");

module.exports = [
  // What the builds write in the source folder (build, build-web, ...) is not the repo's.
  {ignores: ["build*/"]},
  js.configs.recommended,
  {
    languageOptions: {ecmaVersion: 2022, sourceType: "script"},
    // The comments quote the program's Japanese texts, whose spaces are often ideographic ones.
    rules: {"no-irregular-whitespace": ["error", {skipComments: true}]},
  },
  // The browser backend's Emscripten JS libraries, run in the page beside the program's runtime.
  {
    files: ["src/forms/web/*.js"],
    languageOptions: {
      globals: {
        ...globals.browser,
        mergeInto: "readonly",
        LibraryManager: "readonly",
        Module: "readonly",
        UTF8ToString: "readonly",
        Asyncify: "readonly",
        HEAPU8: "readonly",
        HEAP32: "readonly",
        HEAPU32: "readonly",
        HEAPF32: "readonly",
      },
    },
  },
  // Run in the program's page by the page's tests.
  {
    files: ["tests/web/drawing_check.js"],
    languageOptions: {globals: {...globals.browser, Module: "readonly"}},
  },
  // The site's page and its service worker; the benchmark's floor page.
  {
    files: ["web/site/register.js", "web/bench/floor.js"],
    languageOptions: {globals: globals.browser},
  },
  {
    files: ["web/site/sw.js"],
    languageOptions: {globals: globals.serviceworker},
  },
  // Run by Node: the Firefox bridge of the browser driver (web/browser.py), and this file.
  {
    files: ["web/firefox_bridge.js", "eslint.config.js"],
    languageOptions: {sourceType: "commonjs", globals: globals.node},
  },
];
