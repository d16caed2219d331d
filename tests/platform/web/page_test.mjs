// The page in headless Chromium: its console against the program's own texts, its keys and
// on-screen buttons, ESC, the title, loading from file:// and from a server, its picture
// against the desktop's canonical frames, and the teacher's tools.
// Environment: VDP_PAGE (the built page), VDP_PROGRAM_TEXTS (program_texts.js), VDP_GOLDEN_DIR.
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import {after, before, describe, test} from 'node:test';

import {answer, answerDialog, canvasImage, consoleOutput, fileUrl, launchBrowser, newTab, openPage,
  pressKeys, state, waitForDialog} from './browser.mjs';
import {countPixels, decodePng, differingPixels} from './images.mjs';

const PAGE = process.env.VDP_PAGE;
const GOLDEN_DIR = process.env.VDP_GOLDEN_DIR;
const URL = fileUrl(PAGE);
const START = ['0.1', '0.5 1', '0 0'];
const TEXT_GREY = [10, 10, 10];
const MOST_DIFFERING_PIXELS = 320;   // of 640,000: where two rasterisers may round apart

function programTexts(args, input = '') {
  return execFileSync('node', ['--no-experimental-fetch', process.env.VDP_PROGRAM_TEXTS, ...args],
    {input, encoding: 'utf8'});
}

let browser;
before(async () => { browser = await launchBrowser(); });
after(async () => { await browser.close(); });

async function startedPage(lines = START) {
  const page = await openPage(browser, URL);
  await answerDialog(page, lines);
  return page;
}

// No error in the page's script, whatever the test looked at.
async function finish(page) {
  assert.deepEqual(page.scriptErrors, []);
  await page.close();
}

describe('console', () => {
  // The panel holds the program's own texts, byte for byte as the program writes them for the
  // same typed lines (later texts depend on the values kept), numbers on one line or spread
  // over several. 'm', 'f' and 'j' draw no frame; the start dialog ends with the first.
  const DIALOGS = [
    {key: null, entry: 'm', lines: ['0.1', '0.5 1', '0 0'], frames: 1},
    {key: 'm', entry: 'm', lines: ['0.2', '0.3', '0.9', '0.1 0'], frames: 0},
    {key: 'f', entry: 'f', lines: ['0.3 1.1', '0', '0'], frames: 0},
    {key: 'j', entry: 'j', lines: ['0.5 0.5'], frames: 0},
  ];
  const transcript = (dialogs) => programTexts(['dialog', ...dialogs.map((d) => d.entry)],
    dialogs.flatMap((d) => d.lines).join('\n') + '\n');

  test('the dialogs show the program\'s own texts; the title is the program\'s', async () => {
    const page = await openPage(browser, URL);
    const title = programTexts(['title']);
    assert.equal(await page.title(), title);
    assert.equal((await state(page)).title, title);
    for (const {key, lines, frames} of DIALOGS) {
      const framesBefore = (await state(page)).frames;
      if (key) {
        await pressKeys(page, [key]);
        await waitForDialog(page);
      }
      await answerDialog(page, lines);
      assert.equal((await state(page)).frames, framesBefore + frames, `after ${key}`);
    }
    assert.equal(await consoleOutput(page), transcript(DIALOGS));
    await finish(page);
  });

  // An unreadable answer keeps the value and drops the rest of its line: the frame after the
  // dialog is the one of answers that say so plainly. At the start the kept values are 0;
  // then epsilon 0 and z 1 are kept.
  const UNREADABLE = [
    {key: null, entry: 'm', lines: ['abc def', '0.5 1', '0 0'], plainly: ['0', '0.5 1', '0 0']},
    {key: 'm', entry: 'm', lines: ['abc', '0.7 x', 'y'], plainly: ['0', '0.7 1', '0 0']},
  ];
  test('unreadable answers keep their values and lose the rest of their line', async () => {
    const unreadable = await openPage(browser, URL);
    const plain = await openPage(browser, URL);
    for (const {key, lines, plainly} of UNREADABLE) {
      for (const [page, typed] of [[unreadable, lines], [plain, plainly]]) {
        if (key) await pressKeys(page, [key]);
        await answerDialog(page, typed);
        await pressKeys(page, ['s']);
      }
      assert.equal(differingPixels(await canvasImage(unreadable), await canvasImage(plain)), 0,
        JSON.stringify(lines));
    }
    assert.equal(await consoleOutput(unreadable), transcript(UNREADABLE));
    await finish(unreadable);
    await finish(plain);
  });
});

describe('keys', () => {
  test('drawing keys draw one frame each, m f j none, ESC ends the program', async () => {
    const page = await startedPage();
    for (const key of ['s', 'y', 'Y', 't', 'T', 'z', 'Z', 'e', 'E', ' ', 'q', 'S', 'M', '0']) {
      const {frames} = await state(page);
      await pressKeys(page, [key]);
      assert.equal((await state(page)).frames, frames + 1, `key ${JSON.stringify(key)}`);
    }
    // While a dialog is open, keys on the picture draw nothing.
    for (const [key, lines] of [['m', START], ['f', ['0.5 1', '0 0']], ['j', ['0 0']]]) {
      const picture = await canvasImage(page);
      await pressKeys(page, [key]);
      assert.equal((await state(page)).dialogOpen, true, `key ${key}`);
      await pressKeys(page, ['s']);
      await page.$eval('#console-input', (input) => { input.value = ''; });
      assert.equal(differingPixels(await canvasImage(page), picture), 0, `key ${key}`);
      await answerDialog(page, lines);
    }

    const {frames} = await state(page);
    await pressKeys(page, ['Escape']);
    const ended = await state(page);
    assert.equal(ended.ended, true);
    assert.equal(ended.frames, frames);
    await pressKeys(page, ['s', 'm']);
    assert.deepEqual(await state(page), ended);
    const message = await page.$eval('#status', (status) => (status.hidden ? '' : status.textContent));
    assert.match(message, /再読み込み/);
    assert.match(message, /reload/);
    // The view the page gives of the program cannot be changed from outside.
    await page.evaluate(() => { try { window.forcedVdp.ended = false; } catch (e) { /* frozen */ } });
    assert.equal((await state(page)).ended, true);
    await finish(page);
  });

  test('on-screen keys: one each, a held s keeps drawing until released', async () => {
    const page = await openPage(browser, URL, {hasTouch: true, isMobile: true});
    const keys = await page.$$eval('#keys button', (buttons) => buttons.map((b) => b.dataset.key));
    assert.deepEqual(keys, ['s', 'y', 'Y', 't', 'T', 'z', 'Z', 'e', 'E', 'm', 'f', 'j', 'Escape']);
    await answerDialog(page, START);
    await (await page.$('button[data-key="e"]')).tap();
    assert.equal((await state(page)).frames, 2);

    const box = await (await page.$('button[data-key="s"]')).boundingBox();
    await page.touchscreen.touchStart(box.x + box.width / 2, box.y + box.height / 2);
    await page.waitForFunction(() => window.forcedVdp.frames >= 6, {timeout: 5000});
    await page.touchscreen.touchEnd();
    const released = (await state(page)).frames;
    await new Promise((resolve) => setTimeout(resolve, 300));
    assert.equal((await state(page)).frames, released, 'frames after the release');

    await (await page.$('button[data-key="j"]')).tap();
    assert.equal((await state(page)).dialogOpen, true);
    await answerDialog(page, ['0 0']);
    await (await page.$('button[data-key="Escape"]')).tap();
    assert.equal((await state(page)).ended, true);
    await finish(page);
  });
});

describe('loading', () => {
  test('from a static server as from file://', async () => {
    const html = fs.readFileSync(PAGE);
    const server = http.createServer((request, response) => {
      response.writeHead(200, {'Content-Type': 'text/html; charset=utf-8'});
      response.end(html);
    });
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    try {
      const page = await openPage(browser, `http://127.0.0.1:${server.address().port}/forced-vdp.html`);
      await answerDialog(page, START);
      const fromFile = await startedPage();
      assert.equal(differingPixels(await canvasImage(page), await canvasImage(fromFile)), 0);
      await finish(page);
      await finish(fromFile);
    } finally {
      server.close();
    }
  });

  test('without WebGL the page says so and asks nothing', async () => {
    const page = await newTab(browser);
    await page.evaluateOnNewDocument(() => { HTMLCanvasElement.prototype.getContext = () => null; });
    await page.goto(URL);
    await page.waitForFunction(() => !document.getElementById('status').hidden, {timeout: 20000});
    assert.match(await page.$eval('#status', (status) => status.textContent), /WebGL/);
    assert.equal((await state(page)).dialogOpen, false);
    assert.equal(await consoleOutput(page), '');
    await page.close();
  });
});

// The desktop's canonical frames (tests/display/canonical_frames_test.cpp), as the page draws
// them from typed lines, keys, and a view key put in through page_view_key while the start
// dialog waits for its last line (the desktop test applies it before its first frame).
describe('canonical frames', () => {
  const s = (n) => Array(n).fill('s');
  const SCENES = {
    default_view: [{lines: START}],
    epsilon_family: [{lines: START.slice(0, 2)}, {view: 'e'}, {lines: ['0 0']}],
    force_family: [{lines: START.slice(0, 2)}, {view: 'E'}, {lines: ['0 0']}],
    three_crossings: [{lines: ['0.5', '0.2 1', '0 0']}],
    right_after_y: [{lines: START}, {keys: [...s(39), 'y']}],
    // 'j' puts the time axis back; then each of fourteen frames follows a 't'.
    after_fourteen_t: [{lines: START}, {keys: ['j']}, {lines: ['0 0']}, {keys: Array(14).fill('t')}],
    wrap_frame: [{lines: START}, {keys: s(200)}],
  };
  for (const [name, steps] of Object.entries(SCENES)) {
    test(name, async () => {
      const golden = decodePng(fs.readFileSync(path.join(GOLDEN_DIR, `${name}.png`)));
      const page = await openPage(browser, URL);
      for (const {lines, keys, view} of steps) {
        if (lines) await answer(page, lines);
        if (keys) await pressKeys(page, keys);
        if (view) await page.evaluate((code) => Module._page_view_key(code), view.charCodeAt(0));
      }
      const drawn = await canvasImage(page);
      const differing = differingPixels(drawn, golden);
      console.log(`${name}: ${differing} pixels differ from the desktop's`);
      assert.ok(differing <= MOST_DIFFERING_PIXELS, `${differing} pixels differ`);
      assert.equal(countPixels(drawn, TEXT_GREY), countPixels(golden, TEXT_GREY), 'text pixels');
      await finish(page);
    });
  }
});

// The teacher's toolbox in the page: a scenario from the address, the picture and the curves
// downloaded, the link to the scenario, and Run / Pause.
describe('toolbox', () => {
  const SCENARIO = '?eps=0.1&force=0.5&z=1&y0=0&v0=0';

  async function downloadsTo(page) {
    const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'vdp-downloads-'));
    const session = await page.createCDPSession();
    await session.send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: folder});
    return folder;
  }

  async function downloaded(folder, pattern) {
    for (let waited = 0; waited < 10000; waited += 100) {
      const name = fs.readdirSync(folder).find((file) => pattern.test(file));
      if (name) return fs.readFileSync(path.join(folder, name));
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
    throw new Error(`no download matching ${pattern}`);
  }

  test('the address names a scenario: no dialog, the frame of the same answers', async () => {
    const typed = await startedPage();
    const page = await newTab(browser);
    await page.goto(URL + SCENARIO);
    await page.waitForFunction(() => window.forcedVdp.frames === 1, {timeout: 20000});
    assert.equal((await state(page)).dialogOpen, false);
    assert.equal(differingPixels(await canvasImage(page), await canvasImage(typed)), 0);
    const shown = await consoleOutput(page);
    assert.match(shown, /ESCキーで/);
    assert.doesNotMatch(shown, /ε=|F z=|y0 v0 =/);
    await finish(typed);
    await finish(page);

    // English, and a value the program does not accept: said on the page, the dialog asks.
    const english = await newTab(browser);
    await english.goto(URL + '?lang=en&eps=0,5');
    await waitForDialog(english);
    assert.match(await english.$eval('#status', (status) => status.textContent), /'0,5' for --eps/);
    assert.match(await consoleOutput(english), /type eps=$/);
    assert.doesNotMatch(await consoleOutput(english), /[^\x00-\x7f]/);
    await finish(english);
  });

  test('Save picture and Download curves give the canvas and the program\'s curves', async () => {
    const page = await startedPage();
    const folder = await downloadsTo(page);
    await page.click('#save-picture');
    const picture = decodePng(await downloaded(folder, /^forced-vdp-\d{8}-\d{6}\.png$/));
    assert.equal(differingPixels(picture, await canvasImage(page)), 0);
    await page.click('#download-curves');
    const rows = (await downloaded(folder, /^forced-vdp-curves\.csv$/)).toString().trim().split('\n');
    assert.equal(rows[0], 'set,parameter,index,amplitude,z_high,z_low,class_high,class_low');
    assert.equal(rows.filter((row) => row.startsWith('main,')).length, 801);
    assert.equal(rows.filter((row) => row.startsWith('epsilon_family,')).length, 8010);
    // The same double as the desktop's --export-curves: the curves are bit for bit the same.
    assert.deepEqual(rows.filter((row) => row.startsWith('crossing,')), ['crossing,1,0,3.2011905130425617,,,stable,']);
    fs.rmSync(folder, {recursive: true, force: true});
    await finish(page);
  });

  test('the copied link opens the same scenario with its family', async () => {
    const page = await startedPage(['0.5', '0.2 1', '0 0']);
    await pressKeys(page, ['E']);
    await page.click('#copy-link');
    const link = await page.$eval('#scenario-link', (a) => a.href);
    assert.match(link, /\?eps=0\.5&force=0\.2&z=1&y0=0&v0=0&family=E$/);
    const opened = await newTab(browser);
    await opened.goto(link);
    await opened.waitForFunction(() => window.forcedVdp.frames === 1, {timeout: 20000});
    const same = await openPage(browser, URL);
    await answer(same, ['0.5', '0.2 1']);
    await same.evaluate(() => Module._page_view_key('E'.charCodeAt(0)));
    await answerDialog(same, ['0 0']);
    assert.equal(differingPixels(await canvasImage(opened), await canvasImage(same)), 0);
    await finish(page);
    await finish(opened);
    await finish(same);
  });

  test('Run draws by itself until Pause or a dialog key', async () => {
    const page = await startedPage();
    const waitFrames = (n) => page.waitForFunction((n) => window.forcedVdp.frames >= n, {timeout: 10000}, n);
    const still = async () => {
      const {frames} = await state(page);
      await new Promise((resolve) => setTimeout(resolve, 300));
      assert.equal((await state(page)).frames, frames);
    };
    await page.click('#run-pause');
    await waitFrames(11);
    await page.click('#run-pause');
    assert.equal(await page.evaluate(() => window.forcedVdp.running), false);
    await still();
    await page.click('#run-pause');
    await waitFrames((await state(page)).frames + 5);
    await pressKeys(page, ['j']);
    assert.equal((await state(page)).dialogOpen, true);
    await answerDialog(page, ['0 0']);
    await still();
    assert.equal(await page.evaluate(() => window.forcedVdp.running), false);
    await finish(page);
  });
});

// The two layers from the address match the desktop's frame; their toggle and F4 turn them
// off again, each drawing the next frame, and leave the plain page's picture.
describe('layers', () => {
  const CASE = '?eps=0.5&force=0.2&z=1&y0=0&v0=0';
  // One frame past the address's: the string takes the width the frame before it left.
  const opened = async (query) => {
    const page = await newTab(browser);
    await page.goto(URL + query);
    await page.waitForFunction(() => window.forcedVdp.frames === 1, {timeout: 20000});
    await pressKeys(page, ['s']);
    return page;
  };
  const layersPressed = (page) => page.$$eval('#tools button.layer', (all) =>
    all.map((button) => button.getAttribute('aria-pressed')).join());

  test('from the address as on the desktop; toggled off, the plain picture', async () => {
    const page = await opened(CASE + '&frames=399&stability=1&measured=1');
    const drawn = await canvasImage(page);
    const golden = decodePng(fs.readFileSync(path.join(GOLDEN_DIR, 'layers.png')));
    console.log(`layers: ${differingPixels(drawn, golden)} pixels differ from the desktop's`);
    assert.ok(differingPixels(drawn, golden) <= MOST_DIFFERING_PIXELS);
    assert.equal(countPixels(drawn, TEXT_GREY), countPixels(golden, TEXT_GREY), 'text pixels');
    assert.equal(await layersPressed(page), 'true,true');
    assert.match(await page.evaluate(() => UTF8ToString(Module._page_scenario_query())),
      /&stability=1&measured=1$/);
    await page.click('#tools button.layer[data-layer="3"]');
    await page.keyboard.press('F4');
    await page.waitForFunction(() => window.forcedVdp.frames === 4, {timeout: 20000});
    assert.equal(await layersPressed(page), 'false,false');
    const plain = await opened(CASE + '&frames=401');
    assert.equal(differingPixels(await canvasImage(page), await canvasImage(plain)), 0);
    await finish(page);
    await finish(plain);
  });
});
