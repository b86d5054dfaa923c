// Firefox for the benchmarks and tests of the page: web/browser.py starts this script with Node;
// it drives Debian's firefox-esr through puppeteer-core over WebDriver BiDi (no geckodriver here).
//
//   node web/firefox_bridge.js FIREFOX WIDTH HEIGHT
//
// One JSON request a line on standard input, one JSON answer a line on standard output, in turn:
//   {"op": "open", "url": U}                 loads U and waits for its load event
//   {"op": "run", "script": S, "args": [..]} runs the function body S; its value, promises awaited
//   {"op": "keys", "actions": [["down", K] | ["up", K], ...]}   K as puppeteer names keys
//   {"op": "mouse", "actions": [["move", X, Y] | ["down"] | ["up"], ...]}   the left button
//   {"op": "screenshot"}                     the viewport as base64 PNG
//   {"op": "console"} / {"op": "requests"}   what came since the last asking / since "open"
//   {"op": "close"}
// An answer is {"value": V} or {"error": MESSAGE}.
"use strict";

const readline = require("node:readline");
const puppeteer = require("puppeteer-core");

const [executablePath, width, height] = process.argv.slice(2);

async function main() {
  const browser = await puppeteer.launch({ browser: "firefox", executablePath, headless: true });
  // The tab that the browser starts with stays in the background in headless mode: its document
  // never has the focus, so a focused button neither shows :focus nor answers Enter and Space.
  // A tab opened now is the selected one.
  const page = await browser.newPage();
  await page.setViewport({ width: Number(width), height: Number(height), deviceScaleFactor: 1 });
  const messages = [];
  let requests = [];
  page.on("console", (message) => messages.push(message.text()));
  page.on("pageerror", (error) => messages.push(`${error.name}: ${error.message}`));
  page.on("request", (request) => requests.push(request.url()));

  const operations = {
    async open({ url }) {
      requests = [];
      await page.goto(url, { waitUntil: "load" });
      return page.url();
    },
    // An element comes back as its tag's name (JSON has no elements; WebDriver's are truthy).
    run: ({ script, args }) =>
      page.evaluate(`Promise.resolve((function () { ${script}\n}).apply(null, ` +
        `${JSON.stringify(args)})).then(v => v instanceof Node ? v.nodeName : v)`),
    async keys({ actions }) {
      for (const [kind, key] of actions) await page.keyboard[kind](key);
    },
    async mouse({ actions }) {
      for (const [kind, x, y] of actions) await page.mouse[kind](x, y);
    },
    screenshot: () => page.screenshot({ encoding: "base64" }),
    console: () => messages.splice(0),
    requests: () => requests.slice(),
    close: () => browser.close(),
  };

  const answer = (reply) => process.stdout.write(`${JSON.stringify(reply)}\n`);
  answer({ value: "ready" });
  for await (const line of readline.createInterface({ input: process.stdin })) {
    const request = JSON.parse(line);
    try {
      const value = await operations[request.op](request);
      answer({ value: value === undefined ? null : value });
    } catch (error) {
      answer({ error: String(error && error.stack ? error.stack : error) });
    }
    if (request.op === "close") break;
  }
  await browser.close().catch(() => {});
}

main().catch((error) => {
  process.stdout.write(`${JSON.stringify({ error: String(error.stack || error) })}\n`);
  process.exit(1);
});
