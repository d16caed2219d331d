// The page in headless Chromium, beyond what every engine is held to (engines_test.mjs): its
// keys and on-screen buttons as taps, holds and function keys, loading from file:// and from
// a server, its layout on the screens of a class, its picture on dense screens, what it says
// in words, and the teacher's tools.
// Environment: VDP_PAGE (the built page), VDP_PROGRAM_TEXTS (program_texts.js), VDP_GOLDEN_DIR.
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import {after, before, describe, test} from 'node:test';

import {answerDialog, canvasImage, consoleOutput, fileUrl, finish, launchEngine, newTab, openPage,
  state, waitForDialog} from './browser.mjs';
import {countPixels, decodePng, differingPixels} from './images.mjs';

// Chromium runs everything; Firefox (VDP_ENGINE=firefox) the layout on the two phone screens
// (the densest, and touch) and the on-screen keys.
const ENGINE = process.env.VDP_ENGINE || 'chromium';
const CHROMIUM_ONLY = {skip: ENGINE !== 'chromium' && 'Chromium only'};
const PAGE = process.env.VDP_PAGE;
const GOLDEN_DIR = process.env.VDP_GOLDEN_DIR;
const URL = fileUrl(PAGE);
const START = ['0.1', '0.5 1', '0 0'];
const TEXT_GREY = [10, 10, 10];

function programTexts(args, input = '') {
  return execFileSync('node', ['--no-experimental-fetch', process.env.VDP_PROGRAM_TEXTS, ...args],
    {input, encoding: 'utf8'});
}

let browser;
before(async () => { browser = await launchEngine(ENGINE); });
after(async () => { await browser.close(); });

async function startedPage(lines = START) {
  const tab = await openPage(browser, URL);
  await answerDialog(tab, lines);
  return tab;
}

async function downloadsTo(tab) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'vdp-downloads-'));
  const session = await tab.page.createCDPSession();
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

describe('console', CHROMIUM_ONLY, () => {
  const transcript = (dialogs) => programTexts(['dialog', ...dialogs.map((d) => d.entry)],
    dialogs.flatMap((d) => d.lines).join('\n') + '\n');

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
      for (const [tab, typed] of [[unreadable, lines], [plain, plainly]]) {
        if (key) await tab.keys([key]);
        await answerDialog(tab, typed);
        await tab.keys(['s']);
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
  test('nothing is drawn while a dialog asks; F1, F2, F5; Space on a button presses it', CHROMIUM_ONLY, async () => {
    const tab = await startedPage();
    // While a dialog is open, keys on the picture draw nothing, and the key buttons are off.
    for (const [key, lines] of [['m', START], ['f', ['0.5 1', '0 0']], ['j', ['0 0']]]) {
      const picture = await canvasImage(tab);
      await tab.keys([key]);
      assert.equal((await state(tab)).dialogOpen, true, `key ${key}`);
      assert.equal(await tab.$$eval('#keys button', (b) => b.every((button) => button.disabled)), true);
      await tab.keys(['s']);
      await tab.$eval('#console-input', (input) => { input.value = ''; });
      assert.equal(differingPixels(await canvasImage(tab), picture), 0, `key ${key}`);
      await answerDialog(tab, lines);
      // The old frame shows: the hint over the picture says so until the next frame.
      assert.match(await tab.$eval('#hint', (h) => (h.hidden ? '' : h.textContent)), /s キー/);
      await tab.keys(['s']);
      assert.equal(await tab.$eval('#hint', (h) => h.hidden), true);
    }

    // Function keys are the program's, never the browser's: no reload, no help.
    const prevented = () => tab.evaluate(() => new Promise((resolve) => {
      document.addEventListener('keydown', (e) => setTimeout(() => resolve(e.defaultPrevented)), {once: true});
    }));
    const folder = await downloadsTo(tab);
    for (const key of ['F1', 'F2', 'F5']) {
      const wasPrevented = prevented();
      await tab.keys([key]);
      assert.equal(await wasPrevented, true, key);
    }
    // F1's key help, its lines on further function keys last.
    assert.match(await consoleOutput(tab), /F1キーで.*F5キーで：自動描画／停止\nF3キーで.*\n(F\d+キーで.*\n)*$/);
    assert.ok(decodePng(await downloaded(folder, /^forced-vdp-\d{8}-\d{6}\.png$/)).width > 0);
    assert.equal(await tab.evaluate(() => window.forcedVdp.running), true);
    await tab.keys(['F5']);
    assert.equal(await tab.evaluate(() => window.forcedVdp.running), false);
    fs.rmSync(folder, {recursive: true, force: true});

    // Space and Enter on a focused button press that button, not 's'.
    const {frames} = await state(tab);
    await tab.page.focus('button[data-key="e"]');
    await tab.page.keyboard.press(' ');
    await tab.page.keyboard.press('Enter');
    assert.equal((await state(tab)).frames, frames + 2);
    assert.match(await tab.$eval('#values-panel', (p) => p.textContent), /ε = 0.1/);

    await tab.keys(['Escape']);
    const ended = await state(tab);
    await tab.keys(['s', 'm']);
    assert.deepEqual(await state(tab), ended);
    // The view the page gives of the program cannot be changed from outside.
    await tab.evaluate(() => { try { window.forcedVdp.ended = false; } catch (e) { /* frozen */ } });
    assert.equal((await state(tab)).ended, true);
    await finish(tab);
  });

  // A tap or a click shorter than the repeat's delay is one frame; a hold draws one at once
  // and then about 30 a second. The page's own event times say how long each press was.
  test('on-screen keys: a tap is one frame, a hold repeats after a delay', async () => {
    const tab = await openPage(browser, URL, {viewport: {hasTouch: true, isMobile: true, width: 820, height: 1180}});
    const keys = await tab.$$eval('#keys button', (buttons) => buttons.map((b) => b.dataset.key));
    assert.deepEqual(keys, ['s', 'y', 'Y', 't', 'T', 'z', 'Z', 'e', 'E', 'm', 'f', 'j', 'Escape']);
    assert.equal(await tab.$eval('#save-picture', (b) => b.disabled), true);
    await answerDialog(tab, START);
    assert.equal(await tab.$eval('#save-picture', (b) => b.disabled), false);
    await (await tab.page.$('button[data-key="e"]')).tap();
    assert.equal((await state(tab)).frames, 2);

    await tab.$eval('button[data-key="s"]', (button) => {
      window.pressTimes = [];
      button.addEventListener('pointerdown', (e) => window.pressTimes.push(e.timeStamp));
      button.addEventListener('pointerup', (e) => window.pressTimes.push(e.timeStamp));
    });
    const box = await (await tab.page.$('button[data-key="s"]')).boundingBox();
    const [x, y] = [box.x + box.width / 2, box.y + box.height / 2];
    const hold = async (ms, mouse) => {
      const {frames} = await state(tab);
      await tab.evaluate(() => { window.pressTimes = []; });
      if (mouse) await tab.page.mouse.move(x, y);
      await (mouse ? tab.page.mouse.down() : tab.page.touchscreen.touchStart(x, y));
      await new Promise((resolve) => setTimeout(resolve, ms));
      await (mouse ? tab.page.mouse.up() : tab.page.touchscreen.touchEnd());
      await new Promise((resolve) => setTimeout(resolve, 150));
      const [down, up] = await tab.evaluate(() => window.pressTimes);
      return {held: up - down, drawn: (await state(tab)).frames - frames};
    };
    const counts = [];
    for (const [ms, mouse] of [[100, false], [150, false], [250, false], [120, true]]) {
      const {held, drawn} = await hold(ms, mouse);
      counts.push(`${mouse ? 'click' : 'tap'} ${ms} ms: ${drawn}`);
      if (held < 380) assert.equal(drawn, 1, `${mouse ? 'click' : 'tap'} held ${held} ms`);
    }
    const {held, drawn} = await hold(1400, false);
    counts.push(`hold ${Math.round(held)} ms: ${drawn}`);
    console.log(`${ENGINE} on-screen s: ${counts.join(', ')}`);
    // One at once, one at 400 ms, then at most one per 33 ms (and a frame of slack for the
    // release's own timing); at least a few on a loaded machine.
    assert.ok(drawn >= 5 && drawn <= 3 + (held - 400) / 33, `${drawn} frames in ${held} ms`);
    const released = (await state(tab)).frames;
    await new Promise((resolve) => setTimeout(resolve, 300));
    assert.equal((await state(tab)).frames, released, 'frames after the release');

    await (await tab.page.$('button[data-key="j"]')).tap();
    assert.equal((await state(tab)).dialogOpen, true);
    await answerDialog(tab, ['0 0']);
    await (await tab.page.$('button[data-key="Escape"]')).tap();
    assert.equal((await state(tab)).ended, true);
    await finish(tab);
  });
});

// The screens of a class: laptops, a tablet both ways, a phone both ways. After the dialog
// the whole picture is in the viewport, as large as fits, its drawing buffer at the device's
// pixels; the 's' button, Run and the input line are reachable where they are (beside the
// picture in landscape, below it in portrait), and nothing covers the picture.
describe('layout', () => {
  const SCREENS = [
    {width: 1365, height: 624, deviceScaleFactor: 1},
    {width: 1280, height: 650, deviceScaleFactor: 1},
    {width: 1180, height: 820, deviceScaleFactor: 2, hasTouch: true, isMobile: true},
    {width: 820, height: 1180, deviceScaleFactor: 2, hasTouch: true, isMobile: true},
    {width: 390, height: 844, deviceScaleFactor: 3, hasTouch: true, isMobile: true},
    {width: 844, height: 390, deviceScaleFactor: 3, hasTouch: true, isMobile: true},
  ];
  // Each box, and whether the element itself is what a tap at its centre meets.
  const boxes = (tab, selectors) => tab.evaluate((selectors) => selectors.map((selector) => {
    const element = document.querySelector(selector);
    const r = element.getBoundingClientRect();
    const hit = document.elementFromPoint(r.x + r.width / 2, r.y + r.height / 2);
    return {x: r.x, y: r.y, right: r.right, bottom: r.bottom, width: r.width, height: r.height,
      reachable: hit === element};
  }), selectors);

  // One page through the screens (the layout is the style sheet's; only the drawing buffer
  // waits for the next frame): at each, 'j' opens a dialog, then a frame is drawn.
  test('each screen: the picture whole and as large as fits, s, Run and the input line at hand', async () => {
    const screens = SCREENS.filter((s) => ENGINE === 'chromium' || s.deviceScaleFactor === 3);
    const tab = await openPage(browser, URL, {viewport: {...screens[0], hasTouch: true, isMobile: true}});
    await answerDialog(tab, START);
    for (const screen of screens) {
      const name = `${screen.width} x ${screen.height} at ${screen.deviceScaleFactor}`;
      await tab.page.setViewport({...screen, hasTouch: true, isMobile: true});
      const inside = (b) => b.x >= 0 && b.y >= 0 && b.right <= screen.width && b.bottom <= screen.height;
      await tab.keys(['j']);
      await waitForDialog(tab);
      const [waiting] = await boxes(tab, ['#console-input']);
      assert.ok(inside(waiting) && waiting.reachable, `${name}: the input line while the dialog asks`);
      await answerDialog(tab, ['0 0']);
      await tab.keys(['s']);
      const [picture, s, run, line] = await boxes(tab, ['#scene', 'button[data-key="s"]', '#run-pause', '#console-input']);
      const scroll = await tab.evaluate(() => [document.scrollingElement.scrollWidth,
        document.scrollingElement.scrollHeight, document.getElementById('scene').width]);
      console.log(`${ENGINE} ${name}: picture ${picture.width} CSS px (${scroll[2]} pixels), ` +
        `s at (${s.x}, ${s.y}), Run at (${run.x}, ${run.y}), input line at (${line.x}, ${line.y}), ` +
        `tab ${scroll[0]} x ${scroll[1]}`);
      assert.ok(scroll[0] <= screen.width && scroll[1] <= screen.height, `${name}: the tab scrolls`);
      assert.ok(inside(picture) && picture.reachable, `${name}: the picture`);
      assert.equal(picture.width, picture.height);
      assert.ok(picture.width >= 0.75 * Math.min(screen.width, screen.height), `${name}: picture ${picture.width}`);
      assert.equal(scroll[2], Math.min(2400, Math.round(picture.width * screen.deviceScaleFactor)), name);
      const landscape = screen.width > screen.height;
      for (const [control, b] of [['s', s], ['Run', run], ['input line', line]]) {
        assert.ok(inside(b) && b.reachable, `${name}: ${control}`);
        assert.ok(landscape ? b.x >= picture.right : b.y >= picture.bottom, `${name}: ${control} beside or below`);
      }
      // Nothing over the picture: a tap anywhere on it meets the canvas.
      const covered = await tab.evaluate(() => {
        const r = document.getElementById('scene').getBoundingClientRect();
        let n = 0;
        for (let i = 1; i < 10; i++)
          for (let j = 1; j < 10; j++)
            if (document.elementFromPoint(r.x + r.width * i / 10, r.y + r.height * j / 10).id !== 'scene') n++;
        return n;
      });
      assert.equal(covered, 0, name);
    }
    await finish(tab);
  });

  // On a dense screen lines keep their width in CSS pixels and labels their size in the
  // picture: at twice the pixels each way, each colour covers four times the area.
  test('twice the pixels: the same picture at twice the resolution', CHROMIUM_ONLY, async () => {
    const tab = await openPage(browser, URL, {viewport: {deviceScaleFactor: 2}});
    await answerDialog(tab, START);
    const drawn = await canvasImage(tab);
    assert.equal(drawn.width, 1600);
    const golden = decodePng(fs.readFileSync(path.join(GOLDEN_DIR, 'default_view.png')));
    const ratios = [TEXT_GREY, [255, 0, 0], [0, 255, 0], [0, 0, 0]].map((colour) =>
      countPixels(drawn, colour) / countPixels(golden, colour));
    console.log(`${ENGINE} twice the pixels: text, red, green, black ${ratios.map((r) => r.toFixed(3)).join(', ')} times the desktop's`);
    for (const ratio of ratios) assert.ok(Math.abs(ratio - 4) < 0.3, `${ratio} times the desktop's`);
    await finish(tab);
  });
});

// What the page says in words: the canvas's name and description, the live values, the key
// buttons' names, the input line's label, the page's language on the document.
describe('in words', CHROMIUM_ONLY, () => {
  test('the picture is described, the controls named, the prompt labels the input', async () => {
    const tab = await openPage(browser, URL + '?lang=en');
    assert.equal(await tab.evaluate(() => document.documentElement.lang), 'en');
    assert.doesNotMatch(await tab.evaluate(() => document.title), /[^\x00-\x7f]/);
    assert.match(await tab.$eval('#console-input', (i) => i.getAttribute('aria-label')), /type eps=$/);
    await answerDialog(tab, ['0.5', '0.2 1', '0 0']);
    await tab.keys(['s', 's']);
    const scene = await tab.$eval('#scene', (c) => [c.getAttribute('role'), c.getAttribute('aria-label'),
      document.getElementById(c.getAttribute('aria-describedby')).textContent]);
    assert.equal(scene[0], 'img');
    assert.match(scene[1], /amplitude/);
    assert.match(scene[2], /ε = 0.5, F = 0.2, z = 1.*y0 = 0, v0 = 0.*t = 0.3 \(frame 3\).*amplitude 0.4/s);
    const names = await tab.$$eval('#keys button', (b) => b.map((button) => button.getAttribute('aria-label')));
    assert.equal(new Set(names).size, names.length);
    assert.equal(names[1], 'y: vertical scale × 0.9');
    assert.notEqual(await tab.$eval('#scene', (c) => getComputedStyle(c).boxShadow), 'none');
    await finish(tab);
  });
});

describe('loading', CHROMIUM_ONLY, () => {
  test('from a static server as from file://', async () => {
    const html = fs.readFileSync(PAGE);
    const server = http.createServer((request, response) => {
      response.writeHead(200, {'Content-Type': 'text/html; charset=utf-8'});
      response.end(html);
    });
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    try {
      const tab = await openPage(browser, `http://127.0.0.1:${server.address().port}/forced-vdp.html`);
      await answerDialog(tab, START);
      const fromFile = await startedPage();
      assert.equal(differingPixels(await canvasImage(tab), await canvasImage(fromFile)), 0);
      await finish(tab);
      await finish(fromFile);
    } finally {
      server.close();
    }
  });

  test('without WebGL the page says so and asks nothing', async () => {
    const tab = await newTab(browser);
    await tab.page.evaluateOnNewDocument(() => { HTMLCanvasElement.prototype.getContext = () => null; });
    await tab.goto(URL);
    await tab.waitFor(() => !document.getElementById('status').hidden);
    assert.match(await tab.$eval('#status', (status) => status.textContent), /WebGL/);
    assert.equal((await state(tab)).dialogOpen, false);
    assert.equal(await consoleOutput(tab), '');
    await tab.close();
  });
});

// The teacher's toolbox in the page: a scenario from the address, the picture and the curves
// downloaded, the link to the scenario, and Run / Pause.
describe('toolbox', CHROMIUM_ONLY, () => {
  // Every refused value and every unknown name is listed with the value as given, in the
  // page's language; then nothing of the address runs and the dialog asks for every value.
  // A value is read whole (300 ones and an x are not a number).
  const REFUSED = [
    {query: '?lang=en&eps=0,5&force=0.2&z=1', notes: ["eps=0,5 refused: a finite number"]},
    {query: `?lang=en&epsilon=0.5&forse=0.2&Z=1&eps=${'1'.repeat(300)}x&frames=-1&family=q&z=<img src=x onerror=alert(1)>`,
      notes: ['epsilon=0.5: unknown', 'forse=0.2: unknown', 'Z=1: unknown', `eps=${'1'.repeat(300)}x refused`,
        'frames=-1 refused: a whole number', 'family=q refused', 'z=<img src=x onerror=alert(1)> refused']},
  ];
  for (const {query, notes} of REFUSED) {
    test(`refused: ${query.slice(0, 40)}`, async () => {
      const tab = await openPage(browser, URL + query);
      const listed = await tab.$$eval('#notes li', (items) => items.map((item) => item.textContent));
      assert.equal(listed.length, notes.length + 1, listed.join('\n'));
      notes.forEach((note, i) => assert.ok(listed[i].startsWith(note), listed[i]));
      assert.match(listed[notes.length], /dialog asks for all/);
      assert.match(await consoleOutput(tab), /type eps=$/);
      assert.equal(await tab.$eval('#notes', (n) => n.querySelectorAll('img').length), 0);
      await answerDialog(tab, START);
      assert.equal((await state(tab)).frames, 1);
      // The page's language: the notes follow the switch, and so do the document's lang and title.
      await tab.click('#language [data-language="ja"]');
      assert.match(await tab.$eval('#notes li', (item) => item.textContent), /使えません|知らない/);
      assert.equal(await tab.evaluate(() => document.documentElement.lang), 'ja');
      assert.equal(await tab.evaluate(() => document.title), programTexts(['title']));
      await finish(tab);
    });
  }

  test('Save picture and Download curves give the canvas and the program\'s curves', async () => {
    const tab = await startedPage();
    const folder = await downloadsTo(tab);
    await tab.click('#save-picture');
    const picture = decodePng(await downloaded(folder, /^forced-vdp-\d{8}-\d{6}\.png$/));
    assert.equal(differingPixels(picture, await canvasImage(tab)), 0);
    await tab.click('#download-curves');
    const rows = (await downloaded(folder, /^forced-vdp-curves\.csv$/)).toString().trim().split('\n');
    assert.equal(rows[0], 'set,parameter,index,amplitude,z_high,z_low,class_high,class_low');
    assert.equal(rows.filter((row) => row.startsWith('main,')).length, 801);
    assert.equal(rows.filter((row) => row.startsWith('epsilon_family,')).length, 8010);
    // The same double as the desktop's --export-curves: the curves are bit for bit the same.
    assert.deepEqual(rows.filter((row) => row.startsWith('crossing,')), ['crossing,1,0,3.2011905130425617,,,stable,']);
    fs.rmSync(folder, {recursive: true, force: true});
    await finish(tab);
  });

  test('the copied link says so, names the frame shown, and opens the same picture', async () => {
    // A number written with an exponent's '+' (1e+21), which an address reads as a blank.
    const tab = await startedPage(['0.5', '0.2 1', '0 1e21']);
    await tab.keys(['E', 's', 's']);
    await tab.click('#copy-link');
    const link = await tab.$eval('#scenario-link', (a) => a.href);
    assert.match(link, /\?eps=0\.5&force=0\.2&z=1&y0=0&v0=1e%2B21&frames=3&family=E$/);
    // Opened from disk: the link works only here, and the page says how to share it, once
    // the clipboard has answered.
    await tab.waitFor(() => !document.getElementById('status').hidden);
    const told = await tab.$eval('#status', (status) => status.textContent);
    assert.match(told, /リンクをコピー(しました|できませんでした)/);
    assert.match(told, /このコンピューターでしか/);
    const opened = await openPage(browser, link, {firstFrame: true});
    assert.equal(differingPixels(await canvasImage(opened), await canvasImage(tab)), 0);
    await finish(tab);
    await finish(opened);
  });

  test('Run draws by itself until Pause or a dialog key', async () => {
    const tab = await startedPage();
    const waitFrames = (n) => tab.waitFor((n) => window.forcedVdp.frames >= n, n);
    const still = async () => {
      const {frames} = await state(tab);
      await new Promise((resolve) => setTimeout(resolve, 300));
      assert.equal((await state(tab)).frames, frames);
    };
    await tab.click('#run-pause');
    await waitFrames(11);
    await tab.click('#run-pause');
    assert.equal(await tab.evaluate(() => window.forcedVdp.running), false);
    await still();
    await tab.click('#run-pause');
    await waitFrames((await state(tab)).frames + 5);
    await tab.keys(['j']);
    assert.equal((await state(tab)).dialogOpen, true);
    await answerDialog(tab, ['0 0']);
    await still();
    assert.equal(await tab.evaluate(() => window.forcedVdp.running), false);
    await finish(tab);
  });
});

// The two layers from the address match the desktop's frame; their toggle and F4 turn them
// off again, each drawing the next frame, and leave the plain page's picture.
describe('layers', () => {
  const CASE = '?eps=0.5&force=0.2&z=1&y0=0&v0=0';
  // One frame past the address's: the string takes the width the frame before it left.
  const opened = async (query) => {
    const tab = await openPage(browser, URL + query, {firstFrame: true});
    await tab.keys(['s']);
    return tab;
  };
  const layersPressed = (tab) => tab.$$eval('#tools button.layer', (all) =>
    all.map((button) => button.getAttribute('aria-pressed')).join());

  test('from the address as on the desktop; toggled off, the plain picture', async () => {
    const tab = await opened(CASE + '&frames=399&stability=1&measured=1');
    const drawn = await canvasImage(tab);
    const golden = decodePng(fs.readFileSync(path.join(GOLDEN_DIR, 'layers.png')));
    console.log(`layers: ${differingPixels(drawn, golden)} pixels differ from the desktop's`);
    assert.ok(differingPixels(drawn, golden) <= 320);   // as for the canonical frames
    assert.equal(countPixels(drawn, TEXT_GREY), countPixels(golden, TEXT_GREY), 'text pixels');
    assert.equal(await layersPressed(tab), 'true,true');
    assert.match(await tab.evaluate(() => UTF8ToString(Module._page_scenario_query())),
      /&stability=1&measured=1$/);
    await tab.click('#stability-layer');
    await tab.page.keyboard.press('F4');
    await tab.waitFor(() => window.forcedVdp.frames === 4);
    assert.equal(await layersPressed(tab), 'false,false');
    const plain = await opened(CASE + '&frames=401');
    assert.equal(differingPixels(await canvasImage(tab), await canvasImage(plain)), 0);
    await finish(tab);
    await finish(plain);
  });
});

describe('the locking map', CHROMIUM_ONLY, () => {
  const GRID = '?eps=0.3&force=0.5&z=1&y0=0.1&v0=0&map-z=0.8:1.2:21&map-force=0:0.5:11';
  const values = (tab) => tab.$eval('#values', (list) => list.innerText);

  test('the button and F8 show it, a tap runs a cell, a dialog gives up a map under way', async () => {
    const tab = await openPage(browser, URL + GRID + '&lang=en', {firstFrame: true});
    const picture = await canvasImage(tab);
    await tab.click('#map');
    await tab.waitFor(() => window.forcedVdp.map.doneAt !== null);
    assert.equal(await tab.$eval('#map', (b) => b.getAttribute('aria-pressed')), 'true');
    assert.match(await values(tab), /Locking map: ε = 0\.3, z 0\.8 … 1\.2, F 0 … 0\.5\ncells: 1:1 locked \d+, .*\nClick/);
    // A tap on the cell (z 0.9, F 0.3), at the centre of its rectangle on the canvas.
    const box = await tab.evaluate(() => {
      const b = document.getElementById('scene').getBoundingClientRect();
      return {left: b.left, top: b.top, side: b.width};
    });
    const frames = (await state(tab)).frames;
    await tab.page.touchscreen.tap(box.left + box.side * (1 - 0.3417) / 2, box.top + box.side * (1 - 0.2682) / 2);
    await tab.waitFor((n) => window.forcedVdp.frames === n + 1, frames);
    assert.match(await values(tab), /ε = 0\.3, F = 0\.3, z = 0\.9\n/);
    assert.equal(await tab.$eval('#map', (b) => b.getAttribute('aria-pressed')), 'false');
    // F8: the map held at once; F8 again: the picture, no frame advanced.
    await tab.keys(['F8']);
    assert.notEqual(differingPixels(await canvasImage(tab), picture), 0);
    await tab.keys(['F8']);
    assert.equal((await state(tab)).frames, frames + 3);
    assert.match(await consoleOutput(tab), /Locking map done: 231 cells/);

    // The default grid under way, then 'j': the workers are let go, and F8 begins anew.
    const busy = await openPage(browser, URL + '?eps=0.3&force=0.5&z=1&y0=0.1&v0=0&lang=en', {firstFrame: true});
    await busy.keys(['F8']);
    await busy.waitFor(() => window.forcedVdp.map.workers > 0);
    await busy.keys(['j']);
    await waitForDialog(busy);
    await busy.waitFor(() => window.forcedVdp.map.workers === 0);
    await answerDialog(busy, ['0.1 0']);
    await busy.keys(['F8']);
    assert.equal((await consoleOutput(busy)).match(/Computing the locking map/g).length, 2);
    await finish(busy);
    await finish(tab);
  });
});
