// The page in the system's Chromium, headless, with software WebGL, and what the tests and
// the benchmark do with it: open it, answer its console, press keys, read its canvas.
import fs from 'node:fs';
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
