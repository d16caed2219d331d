// The page in the system's browsers, headless, with software WebGL, and what the tests and
// the benchmark do with it: open it, answer its console, press keys, read its canvas. Chromium
// and Firefox ESR through puppeteer-core (Firefox over WebDriver BiDi), WebKitGTK through its
// WebDriver (W3C WebDriver classic, webkit_driver.mjs); engineTab gives all three one set of
// calls.
import {spawn} from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

import {decodePng} from './images.mjs';

// A browser of its own: a fresh profile, no network services, WebGL by SwiftShader.
export async function launchBrowser() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vdp-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: [
      '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--disable-gpu',
      '--no-first-run', '--disable-background-networking', '--disable-component-update',
      '--disable-sync', `--user-data-dir=${profile}`,
    ],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    fs.rmSync(profile, {recursive: true, force: true});
  };
  return browser;
}

export function fileUrl(file) {
  return 'file://' + path.resolve(file);
}

// A new tab at 1 device pixel per CSS pixel, wide enough for the 800-pixel canvas. Errors in
// the page's script fail the test that opened it.
export async function newTab(browser, options = {}) {
  const page = await browser.newPage();
  await page.setViewport({width: 1300, height: 1000, deviceScaleFactor: 1, ...options});
  page.scriptErrors = [];
  page.on('pageerror', (error) => page.scriptErrors.push(error.message));
  return page;
}

export const state = (page) => page.evaluate(() => ({
  frames: window.forcedVdp.frames,
  ended: window.forcedVdp.ended,
  dialogOpen: window.forcedVdp.dialogOpen,
  title: window.forcedVdp.title,
}));

export async function waitForDialog(page) {
  await page.waitForFunction(() => window.forcedVdp && window.forcedVdp.dialogOpen, {timeout: 20000});
}

// Opens the page and waits until the start dialog asks its first question.
export async function openPage(browser, url, options) {
  const page = await newTab(browser, options);
  await page.goto(url);
  await waitForDialog(page);
  return page;
}

// Types each line into the input line and submits it with Enter.
export async function answer(page, lines) {
  for (const line of lines) {
    await page.focus('#console-input');
    await page.keyboard.type(line);
    await page.keyboard.press('Enter');
  }
}

// Answers the dialog and waits until the program waits for keys again.
export async function answerDialog(page, lines) {
  await answer(page, lines);
  await page.waitForFunction(() => !window.forcedVdp.dialogOpen, {timeout: 20000});
}

// Presses keys of the physical keyboard, given as KeyboardEvent.key values, on the canvas.
export async function pressKeys(page, keys) {
  await page.focus('#scene');
  for (const key of keys) await page.keyboard.press(key);
}

// What the program wrote to the console panel, without the echo of the typed lines.
export const consoleOutput = (page) => page.evaluate(() =>
  Array.from(document.getElementById('console-output').childNodes)
    .filter((node) => node.nodeType === Node.TEXT_NODE)
    .map((node) => node.data)
    .join(''));

// The canvas's pixels as they were drawn (800 x 800 RGB, top row first).
export async function canvasImage(page) {
  const url = await page.evaluate(() => document.getElementById('scene').toDataURL('image/png'));
  return decodePng(Buffer.from(url.slice(url.indexOf(',') + 1), 'base64'));
}

// Firefox ESR, headless: its WebGL needs EGL and the preference that allows it without a GPU.
export async function launchFirefox() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vdp-firefox-'));
  const browser = await puppeteer.launch({
    browser: 'firefox',
    executablePath: '/usr/bin/firefox-esr',
    headless: true,
    protocol: 'webDriverBiDi',
    userDataDir: profile,
    env: {...process.env, MOZ_WEBGL_FORCE_EGL: '1'},
    extraPrefsFirefox: {'webgl.force-enabled': true},
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    fs.rmSync(profile, {recursive: true, force: true});
  };
  return browser;
}

const W3C_KEYS = {Escape: '\uE00C', Enter: '\uE007', F1: '\uE031', F2: '\uE032', F5: '\uE035'};

// WebKitGTK's WebDriver on a free port (it needs an X display: run under xvfb-run), and a
// session of its MiniBrowser. Requests as W3C WebDriver classic over fetch().
export async function launchWebKit() {
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
    request: (method, url, body) => request(method, session + url, body),
    async close() {
      await request('DELETE', session).catch(() => {});
      driver.kill();
    },
  };
}

export async function launchEngine(engine) {
  if (engine === 'firefox') return launchFirefox();
  if (engine === 'webkit') return launchWebKit();
  return launchBrowser();
}

// One tab of any engine, with the calls the tests make: goto, evaluate (a function and its
// arguments, run in the page), waitFor (until such a function returns true), keys (keys of
// the keyboard, as KeyboardEvent.key values, on the canvas), typeLine (into the input line,
// then Enter), click (a selector), errors (script errors of the page) and close. WebKit's
// driver holds one session: there, one tab at a time.
export async function engineTab(browser, engine) {
  if (engine !== 'webkit') {
    const page = await newTab(browser);
    return {
      goto: (url) => page.goto(url),
      evaluate: (fn, ...args) => page.evaluate(fn, ...args),
      waitFor: (fn, arg) => page.waitForFunction(fn, {timeout: 20000}, arg),
      keys: (keys) => pressKeys(page, keys),
      typeLine: async (line) => answer(page, [line]),
      click: (selector) => page.click(selector),
      errors: async () => page.scriptErrors,
      close: () => page.close(),
    };
  }
  const request = browser.request;
  const evaluate = (fn, ...args) => request('POST', '/execute/sync',
    {script: `return (${fn}).apply(null, arguments);`, args});
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
      for (let waited = 0; waited < 20000; waited += 50) {
        if (await evaluate(fn, arg)) return;
        await new Promise((resolve) => setTimeout(resolve, 50));
      }
      throw new Error(`timed out waiting for ${fn}`);
    },
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
    errors: () => evaluate(() => window.vdpErrors || []),
    close: () => request('POST', '/url', {url: 'about:blank'}),
  };
}

// The canvas's pixels through any engine's tab.
export async function engineCanvas(tab) {
  const url = await tab.evaluate(() => document.getElementById('scene').toDataURL('image/png'));
  return decodePng(Buffer.from(url.slice(url.indexOf(',') + 1), 'base64'));
}
