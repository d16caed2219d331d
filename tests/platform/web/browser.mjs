// The page in the system's browsers, headless, with software WebGL, and one set of calls for
// the tests and the benchmark whatever the engine: a tab (goto, evaluate, waitFor, $eval,
// $$eval, keys, typeLine, click, errors, close) and what the tests do with one (open the page,
// answer its console, press keys, read its canvas). Chromium and Firefox ESR through
// puppeteer-core (Firefox over WebDriver BiDi), where a tab also holds its puppeteer page for
// what only they do (touch, the viewport, downloads); WebKitGTK through its WebDriver (W3C
// WebDriver classic, over fetch()).
import assert from 'node:assert/strict';
import {spawn} from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

import {decodePng} from './images.mjs';

const WAIT_MS = 20000;   // the longest any wait for the page takes

// A puppeteer browser of engine with a fresh profile of its own, removed when it closes.
async function launchPuppeteer(engine, launchOptions) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), `vdp-${engine}-`));
  const browser = await puppeteer.launch(launchOptions(profile));
  return {engine, puppeteer: browser, async close() {
    await browser.close();
    fs.rmSync(profile, {recursive: true, force: true});
  }};
}

// Chromium: no network services, WebGL by SwiftShader.
const launchChromium = () => launchPuppeteer('chromium', (profile) => ({
  executablePath: '/usr/bin/chromium',
  headless: true,
  args: [
    '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--disable-gpu',
    '--no-first-run', '--disable-background-networking', '--disable-component-update',
    '--disable-sync', `--user-data-dir=${profile}`,
  ],
}));

// Firefox ESR, headless: its WebGL needs EGL and the preference that allows it without a GPU.
const launchFirefox = () => launchPuppeteer('firefox', (profile) => ({
  browser: 'firefox',
  executablePath: '/usr/bin/firefox-esr',
  headless: true,
  protocol: 'webDriverBiDi',
  userDataDir: profile,
  env: {...process.env, MOZ_WEBGL_FORCE_EGL: '1'},
  extraPrefsFirefox: {'webgl.force-enabled': true},
}));

export function fileUrl(file) {
  return 'file://' + path.resolve(file);
}

const W3C_KEYS = {Escape: '\uE00C', Enter: '\uE007', F1: '\uE031', F2: '\uE032', F3: '\uE033',
  F4: '\uE034', F5: '\uE035', F8: '\uE038'};

// WebKitGTK's WebDriver on a free port (it needs an X display: run under xvfb-run), and a
// session of its MiniBrowser. Requests as W3C WebDriver classic over fetch().
async function launchWebKit() {
  const port = await new Promise((resolve) => {
    const probe = net.createServer().listen(0, '127.0.0.1', () => {
      const {port} = probe.address();
      probe.close(() => resolve(port));
    });
  });
  const driver = spawn('WebKitWebDriver', [`--port=${port}`], {stdio: 'ignore'});
  const base = `http://127.0.0.1:${port}`;
  async function request(method, url, body) {
    const response = await fetch(base + url, {method, headers: {'Content-Type': 'application/json'},
      body: body === undefined ? undefined : JSON.stringify(body)});
    const answer = await response.json();
    if (!response.ok) throw new Error(`${method} ${url}: ${JSON.stringify(answer.value)}`);
    return answer.value;
  }
  for (let waited = 0; ; waited += 100) {
    try {
      await request('GET', '/status');
      break;
    } catch (e) {
      if (waited > 10000) throw e;
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
  }
  // One session at a time: the tests' tabs take turns in it.
  const created = await request('POST', '/session', {capabilities: {alwaysMatch: {
    'webkitgtk:browserOptions': {args: ['--automation']}}}});
  const session = `/session/${created.sessionId}`;
  // Room for the 800-pixel picture beside the console, as newTab gives the other engines.
  await request('POST', `${session}/window/rect`, {x: 0, y: 0, width: 1300, height: 1000});
  return {
    engine: 'webkit',
    request: (method, url, body) => request(method, session + url, body),
    async close() {
      await request('DELETE', session).catch(() => {});
      driver.kill();
    },
  };
}

// chromium (the default), firefox or webkit.
export async function launchEngine(engine = 'chromium') {
  if (engine === 'firefox') return launchFirefox();
  if (engine === 'webkit') return launchWebKit();
  return launchChromium();
}

// A puppeteer page as a tab, at 1 device pixel per CSS pixel unless viewport says otherwise,
// wide enough for the 800-pixel canvas.
async function puppeteerTab(browser, viewport) {
  const page = await browser.puppeteer.newPage();
  await page.setViewport({width: 1300, height: 1000, deviceScaleFactor: 1, ...viewport});
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  return {
    page,
    goto: (url) => page.goto(url),
    evaluate: (fn, ...args) => page.evaluate(fn, ...args),
    waitFor: (fn, arg) => page.waitForFunction(fn, {timeout: WAIT_MS}, arg),
    $eval: (selector, fn, ...args) => page.$eval(selector, fn, ...args),
    $$eval: (selector, fn, ...args) => page.$$eval(selector, fn, ...args),
    keys: async (keys) => {
      await page.focus('#scene');
      for (const key of keys) await page.keyboard.press(key);
    },
    typeLine: async (line) => {
      await page.focus('#console-input');
      await page.keyboard.type(line);
      await page.keyboard.press('Enter');
    },
    click: (selector) => page.click(selector),
    resize: async (screen) => {
      await page.setViewport({deviceScaleFactor: 1, ...screen});
      return true;
    },
    errors: async () => errors,
    close: () => page.close(),
  };
}

// The tab of WebKit's one session: the tests' tabs take turns in it. Its window was sized
// when the session began.
function webKitTab(browser) {
  const request = browser.request;
  const script = (source, args) => request('POST', '/execute/sync', {script: source, args});
  const evaluate = (fn, ...args) => script(`return (${fn}).apply(null, arguments);`, args);
  const element = async (selector) => Object.values(
    await request('POST', '/element', {using: 'css selector', value: selector}))[0];
  // No BiDi here: the page's errors are caught in the page, from the first call on.
  const catchErrors = () => evaluate(() => {
    if (window.vdpErrors) return;
    window.vdpErrors = [];
    window.addEventListener('error', (e) => window.vdpErrors.push(String(e.message)));
    window.addEventListener('unhandledrejection', (e) => window.vdpErrors.push(String(e.reason)));
  });
  return {
    goto: async (url) => {
      await request('POST', '/url', {url});
      await catchErrors();
    },
    evaluate,
    waitFor: async (fn, arg) => {
      for (let waited = 0; waited < WAIT_MS; waited += 50) {
        if (await evaluate(fn, arg)) return;
        await new Promise((resolve) => setTimeout(resolve, 50));
      }
      throw new Error(`timed out waiting for ${fn}`);
    },
    $eval: (selector, fn, ...args) => script(`const e = document.querySelector(arguments[0]);
      if (!e) throw new Error('no element ' + arguments[0]);
      return (${fn}).apply(null, [e, ...Array.from(arguments).slice(1)]);`, [selector, ...args]),
    $$eval: (selector, fn, ...args) => script(`return (${fn}).apply(null,
      [Array.from(document.querySelectorAll(arguments[0])), ...Array.from(arguments).slice(1)]);`,
    [selector, ...args]),
    keys: async (keys) => {
      await evaluate(() => document.getElementById('scene').focus());
      const actions = keys.flatMap((key) => [{type: 'keyDown', value: W3C_KEYS[key] || key},
        {type: 'keyUp', value: W3C_KEYS[key] || key}]);
      await request('POST', '/actions', {actions: [{type: 'key', id: 'keyboard', actions}]});
    },
    typeLine: async (line) => {
      await request('POST', `/element/${await element('#console-input')}/value`,
        {text: line + W3C_KEYS.Enter});
    },
    click: async (selector) => request('POST', `/element/${await element(selector)}/click`, {}),
    // The window sized so that the page's viewport is width x height CSS pixels (one device
    // pixel each, no touch); false where the window cannot be that small.
    resize: async ({width, height}) => {
      const inner = () => evaluate(() => [innerWidth, innerHeight]);
      const [w, h] = await inner();
      const rect = await request('GET', '/window/rect');
      await request('POST', '/window/rect', {width: width + rect.width - w, height: height + rect.height - h});
      for (let waited = 0; waited < 2000; waited += 50) {
        const [nw, nh] = await inner();
        if (nw === width && nh === height) return true;
        await new Promise((resolve) => setTimeout(resolve, 50));
      }
      return false;
    },
    errors: () => evaluate(() => window.vdpErrors || []),
    close: () => request('POST', '/url', {url: 'about:blank'}),
  };
}

// A new tab of the browser's engine: goto, evaluate (a function and its arguments, run in the
// page), waitFor (until such a function returns true), $eval and $$eval (such a function of
// the element or elements a selector finds), keys (keys of the keyboard, as KeyboardEvent.key
// values, on the canvas), typeLine (into the input line, then Enter), click (a selector),
// resize (to a screen: {width, height} in CSS pixels, and in Chromium and Firefox also
// puppeteer's deviceScaleFactor, hasTouch, isMobile; false where it cannot), errors (script
// errors of the page), close; in Chromium and Firefox also page, the puppeteer page. viewport:
// puppeteer's, for Chromium and Firefox.
export async function newTab(browser, viewport = {}) {
  return browser.engine === 'webkit' ? webKitTab(browser) : puppeteerTab(browser, viewport);
}

export const state = (tab) => tab.evaluate(() => ({
  frames: window.forcedVdp.frames,
  ended: window.forcedVdp.ended,
  dialogOpen: window.forcedVdp.dialogOpen,
  title: window.forcedVdp.title,
}));

export const waitForDialog = (tab) => tab.waitFor(() => window.forcedVdp && window.forcedVdp.dialogOpen);

// Opens the page in a new tab and waits until the start dialog asks its first question, or,
// with firstFrame (an address that names the values), until the first frame is drawn.
export async function openPage(browser, url, {viewport, firstFrame = false} = {}) {
  const tab = await newTab(browser, viewport);
  await tab.goto(url);
  if (firstFrame) await tab.waitFor(() => window.forcedVdp && window.forcedVdp.frames === 1);
  else await waitForDialog(tab);
  return tab;
}

// Types each line into the input line and submits it with Enter.
export async function answer(tab, lines) {
  for (const line of lines) await tab.typeLine(line);
}

// Answers the dialog and waits until the program waits for keys again.
export async function answerDialog(tab, lines) {
  await answer(tab, lines);
  await tab.waitFor(() => !window.forcedVdp.dialogOpen);
}

// Many keys at once, through the page's key handler without a round trip each (tab.keys
// presses the real keyboard's, one by one).
export const typeKeys = (tab, keys) => tab.evaluate((keys) => keys.forEach((key) =>
  document.dispatchEvent(new KeyboardEvent('keydown', {key, bubbles: true}))), keys);

// What the program wrote to the console panel, without the echo of the typed lines.
export const consoleOutput = (tab) => tab.evaluate(() =>
  Array.from(document.getElementById('console-output').childNodes)
    .filter((node) => node.nodeType === Node.TEXT_NODE)
    .map((node) => node.data)
    .join(''));

// The canvas's pixels as they were drawn (RGB, top row first).
export async function canvasImage(tab) {
  const url = await tab.evaluate(() => document.getElementById('scene').toDataURL('image/png'));
  return decodePng(Buffer.from(url.slice(url.indexOf(',') + 1), 'base64'));
}

// No error in the page's script, whatever the test looked at; then the tab is closed.
export async function finish(tab) {
  assert.deepEqual(await tab.errors(), []);
  await tab.close();
}
