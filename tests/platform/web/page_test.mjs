// The page in headless Chromium, beyond what every engine is held to (engines_test.mjs): its
// keys and on-screen buttons as taps, holds and function keys, loading from file:// and from
// a server, its picture on dense screens, what it says in words, and the teacher's tools.
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

// Chromium runs everything; Firefox (VDP_ENGINE=firefox) the on-screen keys.
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

// A download once whole: the browser may name the file before it has written all of it, so
// its size must stay the same over one wait.
async function downloaded(folder, pattern) {
  let size = -1;
  for (let waited = 0; waited < 10000; waited += 100) {
    const name = fs.readdirSync(folder).find((file) => pattern.test(file));
    const now = name ? fs.statSync(path.join(folder, name)).size : -1;
    if (now > 0 && now === size) return fs.readFileSync(path.join(folder, name));
    size = now;
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
    const hold = async (ms, mouse, settle = 150) => {
      const {frames} = await state(tab);
      await tab.evaluate(() => { window.pressTimes = []; });
      if (mouse) await tab.page.mouse.move(x, y);
      await (mouse ? tab.page.mouse.down() : tab.page.touchscreen.touchStart(x, y));
      await new Promise((resolve) => setTimeout(resolve, ms));
      await (mouse ? tab.page.mouse.up() : tab.page.touchscreen.touchEnd());
      await new Promise((resolve) => setTimeout(resolve, settle));
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

    // A loaded machine (Chromium: Firefox hands the page the lift in time): animation frames
    // asked for, and the page busy for half a second from 50 ms after the finger comes down.
    // Chromium hands the page the lift some frames after the hold's delay; a tap stays one frame.
    if (ENGINE === 'chromium') {
      await tab.$eval('button[data-key="s"]', (button) => {
        const animate = () => requestAnimationFrame(animate);
        animate();
        button.addEventListener('pointerdown', () =>
          setTimeout(() => { for (const end = performance.now() + 500; performance.now() < end;); }, 50));
      });
      for (let i = 0; i < 3; i++) {
        const {held, drawn} = await hold(100, false, 750);
        assert.equal(drawn, 1, `a tap of ${held} ms on a busy page`);
      }
    }

    await (await tab.page.$('button[data-key="j"]')).tap();
    assert.equal((await state(tab)).dialogOpen, true);
    await answerDialog(tab, ['0 0']);
    await (await tab.page.$('button[data-key="Escape"]')).tap();
    assert.equal((await state(tab)).ended, true);
    await finish(tab);
  });
});

// The picture on a dense screen (the screens of a class are engines_test.mjs's, in every engine).
describe('layout', () => {
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
    // The panel follows the language switch, and the picture's legends in it follow the layers.
    const panel = () => tab.$eval('#values', (v) => Array.from(v.children, (item) => item.textContent));
    await tab.click('#language [data-language="ja"]');
    assert.match((await panel()).join('\n'),
      /^ε = 0.5，F = 0.2，z = 1\n初期条件 y0 = 0，v0 = 0\nt = 0.3（フレーム 3）\nz が曲線と交わる振幅：0.4.*\n左：赤 応答.*\n右：.*この下は不安定）\n整定中：[^\n]*$/s);   // then what the motion does
    await tab.click('#language [data-language="en"]');
    await tab.keys(['F3', 'E']);
    const english = await panel();
    assert.match(english.join('\n'), /^ε = 0.5, F = 0.2, z = 1\ninitial y0 = 0, v0 = 0\nt = 0.5 \(frame 5\)\n/);
    assert.match(english[english.length - 1], /^Settling: /);   // what the motion does, last
    assert.deepEqual(english.slice(-3, -1), ['Blue: the curves for F = 0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1, 2, 5, 10 (red: the given F)',
      'Stability: solid stable, dashed saddle, dotted unstable; a filled disc a stable response, an open one not']);
    await tab.keys(['F3']);
    assert.equal((await panel()).length, english.length - 1);
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
    {query: '?lang=en&eps=0,5&force=0.2&z=1&sweep=1:x', notes: ["eps=0,5 refused: a finite number",
      'sweep=1:x refused: two forcing ratios FROM:TO']},
    {query: `?lang=en&epsilom=0.5&forse=0.2&eps=${'1'.repeat(300)}x&frames=-1&family=q&z=<img src=x onerror=alert(1)>`,
      notes: ['epsilom=0.5: unknown', 'forse=0.2: unknown', `eps=${'1'.repeat(300)}x refused`,
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

  // The names the page shows, names and words in any case; a name again, a link cut short, a
  // fragment: the values are taken, and the notes say what was made of the address.
  test('a link in the page\'s own names is taken, with a note on what was made of it', async () => {
    const tab = await openPage(browser, URL + '?Lang=EN&EPS=0.1&F=0.5&eps=0.2#z=1&y0=2', {firstFrame: true});
    assert.deepEqual(await tab.$$eval('#notes li', (items) => items.map((item) => item.textContent)), [
      'eps=0.2: the name is given more than once; this last value is used',
      '#z=1&y0=2: the part after # is not read; put the values after ? (?z=1&y0=2)',
      'Not in the address, so taken as 0: z, y0, v0']);
    assert.match(await tab.$eval('#values', (v) => v.textContent), /ε = 0.2, F = 0.5, z = 0/);
    await finish(tab);
  });

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

  // The clipboard answers when the test says so: nothing is said before, and then what it did.
  test('the copied link says whether it was copied, shows the path as it reads, opens the same picture', async () => {
    const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'vdp-link-'));
    const here = path.join(folder, '授業 ページ', 'forced-vdp.html');
    fs.mkdirSync(path.dirname(here));
    fs.copyFileSync(PAGE, here);
    const tab = await openPage(browser, fileUrl(here));
    // A number written with an exponent's '+' (1e+21), which an address reads as a blank.
    await answerDialog(tab, ['0.5', '0.2 1', '0 1e21']);
    await tab.keys(['E', 's', 's']);
    for (const copied of [true, false]) {
      await tab.evaluate((copied) => Object.defineProperty(navigator, 'clipboard', {configurable: true, value: {
        writeText: () => new Promise((resolve, reject) => {
          window.answerCopy = () => (copied ? resolve() : reject(new Error('refused')));
        })}}), copied);
      await tab.click('#copy-link');
      assert.equal(await tab.$eval('#status', (status) => status.hidden), true, 'told before the clipboard answered');
      await tab.evaluate(() => window.answerCopy());
      await tab.waitFor(() => !document.getElementById('status').hidden);
      const told = await tab.$eval('#status', (status) => status.textContent);
      // Opened from disk: the link works only here, and the page says how to share it.
      assert.match(told, copied ? /^リンクをコピーしました。 .*このコンピューターでしか/ : /^リンクをコピーできませんでした。/);
    }
    const query = '?eps=0.5&force=0.2&z=1&y0=0&v0=1e%2B21&frames=3&family=E';
    const [href, shown] = await tab.$eval('#scenario-link', (a) => [a.href, a.textContent]);
    assert.equal(href, fileUrl(here).replace(/[^\x21-\x7e]/g, (c) => encodeURIComponent(c)) + query);
    assert.equal(shown, fileUrl(here) + query);
    const opened = await openPage(browser, href, {firstFrame: true});
    assert.equal(differingPixels(await canvasImage(opened), await canvasImage(tab)), 0);
    await finish(tab);
    await finish(opened);
    fs.rmSync(folder, {recursive: true, force: true});
  });

  // F5 and Run run on the program's clock: each tick is asked for at the next point of a grid
  // of one interval from the start, whatever each frame cost (here 8 ms more than it would);
  // not one interval after each frame.
  test('Run draws by itself on the run clock\'s grid until Pause or a dialog key', async () => {
    const tab = await startedPage();
    const waitFrames = (n) => tab.waitFor((n) => window.forcedVdp.frames >= n, n);
    const still = async () => {
      const {frames} = await state(tab);
      await new Promise((resolve) => setTimeout(resolve, 300));
      assert.equal((await state(tab)).frames, frames);
    };
    await tab.evaluate(() => {
      window.dues = [];
      const plain = window.setTimeout;
      window.setTimeout = (f, ms, ...rest) => {
        window.dues.push(performance.now() + (ms || 0));
        return plain(f, ms, ...rest);
      };
      const drawn = Module.page.frameDrawn;
      Module.page.frameDrawn = () => {
        for (const end = performance.now() + 8; performance.now() < end;);
        drawn();
      };
    });
    await tab.keys(['F5']);
    await waitFrames(17);
    await tab.keys(['F5']);
    assert.equal(await tab.evaluate(() => window.forcedVdp.running), false);
    const [dues, interval] = await tab.evaluate(() => [window.dues, Module._page_run_interval()]);
    const steps = dues.slice(1).map((due, i) => due - dues[i]).sort((a, b) => a - b);
    // The median: a tick more than an interval late (a loaded machine) moves the grid on.
    assert.ok(steps.length >= 15 && Math.abs(steps[steps.length >> 1] - interval) <= 2, steps.join());
    await still();
    await tab.click('#run-pause');
    await waitFrames((await state(tab)).frames + 5);
    await tab.keys(['j']);
    // The dialog key paused the motion: Run shows it at once, not at the chain's next tick.
    assert.deepEqual([(await state(tab)).dialogOpen, await tab.evaluate(() => window.forcedVdp.running)], [true, false]);
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
  const layersPressed = (tab) => tab.$$eval('#stability-layer, #measured-layer', (all) =>
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

// The motion in words and as sound. The live region speaks when the kind of motion changes,
// not at every frame, while 's' is held across the moment the motion locks (frame 4336 of this
// case); the sound starts only with its toggle, plays while frames advance, and stops.
describe('the motion in words and as sound', CHROMIUM_ONLY, () => {
  const CASE = '?lang=en&eps=0.1&force=0.5&z=1&y0=0&v0=0&frames=4325';

  test('the live region changes only when the motion does, while s is held', async () => {
    const tab = await openPage(browser, URL + CASE, {firstFrame: true});
    assert.equal(await tab.$eval('#motion-words', (p) => p.getAttribute('aria-live')), 'polite');
    await tab.waitFor(() => /^Settling: judged after 70 pushes/.test(document.getElementById('motion-words').textContent));
    await tab.evaluate(() => {
      const head = () => document.getElementById('values').lastChild.textContent.split(':')[0];
      window.heard = {heads: [head()], said: []};
      new MutationObserver(() => {
        const now = head();
        if (window.heard.heads[window.heard.heads.length - 1] !== now) window.heard.heads.push(now);
      }).observe(document.getElementById('values'), {subtree: true, childList: true, characterData: true});
      new MutationObserver(() => window.heard.said.push([head(), document.getElementById('motion-words').textContent]))
        .observe(document.getElementById('motion-words'), {subtree: true, childList: true, characterData: true});
    });
    const before = (await state(tab)).frames;
    const box = await (await tab.page.$('button[data-key="s"]')).boundingBox();
    await tab.page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
    await tab.page.mouse.down();
    await tab.waitFor(() => window.heard.said.length > 0);
    await new Promise((resolve) => setTimeout(resolve, 1000));
    await tab.page.mouse.up();
    const drawn = (await state(tab)).frames - before;
    const {heads, said} = await tab.evaluate(() => window.heard);
    assert.ok(drawn >= 40, `${drawn} frames`);
    assert.deepEqual([heads, said], [['Settling', 'Locked'],
      [['Locked', 'Locked: one swing per push; amplitude 3.20, predicted 3.20 (stable)']]]);
    await tab.keys(['F10']);   // the same sentence on the console
    assert.match(await consoleOutput(tab), /\nLocked: one swing per push; amplitude 3\.20, predicted 3\.20 \(stable\)\n$/);
    await finish(tab);
  });

  test('the sound starts only with its toggle, plays while frames advance, and stops', async () => {
    const tab = await newTab(browser);
    await tab.page.evaluateOnNewDocument(() => {
      window.audioContexts = [];
      const Made = window.AudioContext;
      window.AudioContext = class extends Made {
        constructor(...args) { super(...args); window.audioContexts.push(this); }
      };
    });
    await tab.goto(URL + CASE);
    await tab.waitFor(() => window.forcedVdp && window.forcedVdp.frames === 1);
    await tab.keys(['s', 's']);
    // Contexts made, the sound's state, blocks played, blocks not silent, the toggle's state.
    const sound = () => tab.evaluate(() => [window.audioContexts.length, window.forcedVdpSound.state,
      window.forcedVdpSound.blocks, window.forcedVdpSound.loudBlocks,
      document.getElementById('sound').getAttribute('aria-pressed')]);
    assert.deepEqual(await sound(), [0, 'off', 0, 0, 'false'], 'before the toggle');
    assert.match(await tab.$eval('#sound', (b) => b.title), /angular frequency 1 sounds at 220 Hz/);
    await tab.click('#sound');
    await tab.waitFor(() => window.forcedVdpSound.state === 'running' && window.forcedVdpSound.blocks >= 5);
    assert.deepEqual((await sound()).filter((v, i) => i !== 2), [1, 'running', 0, 'true'], 'no frame, no sound');
    await tab.click('#run-pause');
    await tab.waitFor(() => window.forcedVdpSound.loudBlocks >= 10 && window.forcedVdpSound.lastPeak > 0.2);
    await tab.click('#run-pause');
    await tab.waitFor(() => window.forcedVdpSound.lastPeak === 0);
    const [, , , paused] = await sound();
    await new Promise((resolve) => setTimeout(resolve, 300));
    assert.equal((await sound())[3], paused, 'sound after the pause');
    await tab.click('#sound');
    await tab.waitFor(() => window.audioContexts[0].state === 'closed');
    const [, off, stopped, , pressed] = await sound();
    await new Promise((resolve) => setTimeout(resolve, 300));
    assert.deepEqual([off, (await sound())[2], pressed], ['off', stopped, 'false'], 'after Sound off');
    await finish(tab);
  });
});

// The phase plane and the orbit near the motion, by F6, F9 and their toggles: each draws the
// next frame; F9 says the orbit on the console and beside the picture, and both off again
// leave the plain page's picture.
describe('phase plane', CHROMIUM_ONLY, () => {
  const CASE = '?eps=0.5&force=0.2&z=1&y0=0&v0=0&lang=en';
  const ORBIT = /Periodic orbit near the motion: multipliers 0\.\d+, 0\.\d+ \(stable\)/;
  test('F6 and F9 in place of the traces, in words, and off again', async () => {
    const tab = await openPage(browser, URL + CASE + '&frames=599', {firstFrame: true});
    const plain = await canvasImage(tab);
    await tab.page.keyboard.press('F6');
    await tab.waitFor(() => window.forcedVdp.frames === 2);
    assert.ok(differingPixels(await canvasImage(tab), plain) > 10000);
    assert.equal(await tab.$eval('#phase-layer', (b) => b.getAttribute('aria-pressed')), 'true');
    await tab.click('#orbit-layer');
    await tab.waitFor(() => window.forcedVdp.frames === 3);
    assert.match(await consoleOutput(tab), ORBIT);
    assert.match(await tab.$eval('#values-panel', (p) => p.textContent), ORBIT);
    await tab.page.keyboard.press('F9');
    await tab.page.keyboard.press('F6');
    await tab.waitFor(() => window.forcedVdp.frames === 5);
    assert.doesNotMatch(await tab.$eval('#values-panel', (p) => p.textContent), /Periodic orbit/);
    const opened = await openPage(browser, URL + CASE + '&frames=602', {firstFrame: true});
    await opened.keys(['s']);
    assert.equal(differingPixels(await canvasImage(tab), await canvasImage(opened)), 0);
    await finish(tab);
    await finish(opened);
  });
});

// z by hand and swept: the arrows and the on-screen steps move z by 0.005 a press, each
// drawing a frame, and the green line follows a drag; F7 and its button start a sweep on the
// Run clock (a drawn frame then stands for 640) and stop it; the values panel says so.
describe('the sweep of z', CHROMIUM_ONLY, () => {
  test('arrows, their buttons, the green line dragged and F7', async () => {
    const tab = await openPage(browser, URL + '?eps=0.1&force=0.2&z=1&y0=0&v0=0&measured=1',
      {firstFrame: true});
    const panel = () => tab.$eval('#values-panel', (p) => p.textContent);
    const steps = [['ArrowRight', 'z = 1.005'], ['ArrowRight', 'z = 1.01'], ['ArrowLeft', 'z = 1.005']];
    for (const [key, z] of steps) {
      const {frames} = await state(tab);
      await tab.keys([key]);
      assert.equal((await state(tab)).frames, frames + 1, key);
      assert.match(await panel(), new RegExp(z.replace('.', '\\.') + '(?!\\d)'), key);
    }
    await tab.click('#z-down');
    assert.match(await panel(), /z = 1(?![.\d])/);
    assert.match(await panel(), /運動の状態：過渡中/);
    // The green line dragged a twentieth of the canvas to the right: z + 0.2, in whole steps.
    const box = await (await tab.page.$('#scene')).boundingBox();
    const x = box.x + (await tab.evaluate(() => Module._page_ratio_x()) + 1) / 2 * box.width;
    await tab.page.mouse.move(x, box.y + box.height * 0.2);
    await tab.page.mouse.down();
    await tab.page.mouse.move(x + box.width * 0.05, box.y + box.height * 0.2, {steps: 5});
    await tab.page.mouse.up();
    assert.match(await panel(), /z = 1\.2(?!\d)/);
    const sweeping = () => tab.$eval('#sweep-z', (b) => b.getAttribute('aria-pressed'));
    await tab.keys(['F7']);
    assert.equal(await sweeping(), 'true');
    assert.equal(await tab.evaluate(() => window.forcedVdp.running), true);
    // Each frame drawn stands for 640: t grows by 64 a frame.
    await tab.waitFor(() => /t = [1-9]\d{2,}.*z を上げて掃引中：640 フレームに 1 枚/s.test(
      document.getElementById('values-panel').textContent));
    await tab.click('#sweep-z');
    assert.equal(await sweeping(), 'false');
    assert.doesNotMatch(await panel(), /掃引中/);
    await tab.click('#run-pause');
    await finish(tab);
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
  });
});

// The lessons and the page as a keyboard or a screen reader meets it: the accessibility tree
// (every control named, the picture described, the live regions polite, the choices buttons
// with their names), one lesson walked through with Tab and Enter alone, the panel on a small
// phone and a laptop, and a step chosen while the start dialog asks.
describe('lessons and accessibility', CHROMIUM_ONLY, () => {
  const CONTROL_ROLES = ['button', 'textbox', 'slider', 'checkbox', 'combobox', 'link', 'spinbutton'];

  test('the accessibility tree names every control, describes the picture, keeps live regions polite', async () => {
    const tab = await openPage(browser, URL + '?lesson=4&step=1&lang=en', {firstFrame: true});
    await tab.click('.lesson-choices button:nth-child(3)');
    const session = await tab.page.createCDPSession();
    const nodes = (await session.send('Accessibility.getFullAXTree')).nodes.filter((n) => !n.ignored);
    const role = (n) => (n.role ? n.role.value : '');
    const name = (n) => (n.name ? String(n.name.value).trim() : '');
    const property = (n, p) => ((n.properties || []).find((q) => q.name === p) || {value: {}}).value.value;
    const controls = nodes.filter((n) => CONTROL_ROLES.includes(role(n)));
    assert.ok(controls.length > 30, `${controls.length} controls`);
    assert.deepEqual(controls.filter((n) => !name(n)).map(role), [], 'controls without a name');
    const picture = nodes.filter((n) => /^(img|image)$/.test(role(n)));
    assert.equal(picture.length, 1);
    assert.match(name(picture[0]), /amplitude–frequency/);
    assert.match(picture[0].description.value, /ε = 0.5, F = 0.2, z = 1.*Locked: one swing per push/s);
    const live = nodes.map((n) => property(n, 'live')).filter(Boolean);
    assert.ok(live.length >= 2 && live.every((value) => value === 'polite'), live.join());
    const choices = ['All three', 'The two above the black line, 1.76 and 2.18', 'Only the highest, 2.18',
      'Only the lowest, 0.42'];
    for (const [i, choice] of choices.entries()) {
      const found = controls.filter((n) => role(n) === 'button' && name(n) === choice);
      assert.equal(found.length, 1, choice);
      assert.equal(property(found[0], 'pressed'), i === 2 ? 'true' : 'false', choice);
    }
    assert.equal(property(controls.find((n) => name(n) === 'Lessons'), 'expanded'), true);
    await finish(tab);
  });

  test('lesson 1 with Tab and Enter alone, the focus in sight at each step', async () => {
    const tab = await openPage(browser, URL + '?eps=0.1&force=0.5&z=1&y0=0&v0=0&lang=en', {firstFrame: true});
    const focused = () => tab.evaluate(() => {
      const e = document.activeElement;
      const style = getComputedStyle(e);
      return {id: e.id, text: e.textContent, ring: style.outlineStyle !== 'none' && parseFloat(style.outlineWidth) >= 2};
    });
    // Tab until the focus is on what is wanted: a control of that text, or that id.
    const tabTo = async (wanted) => {
      for (let presses = 0; presses < 60; presses++) {
        await tab.page.keyboard.press('Tab');
        const f = await focused();
        if (f.id === wanted || f.text === wanted) {
          assert.ok(f.ring, `no focus ring on ${wanted}`);
          return;
        }
      }
      throw new Error(`Tab never reached ${wanted}`);
    };
    const enter = () => tab.page.keyboard.press('Enter');
    await tabTo('lesson');
    await enter();
    await tabTo('1. A limit cycle forgets its start');
    await enter();
    const rights = ['It grows, then keeps one size', 'Both on the same closed curve',
      'Amplitude about 2, but much slower: angular frequency about 0.54'];
    for (const [k, right] of rights.entries()) {
      const {frames} = await state(tab);
      await tabTo(right);
      await enter();
      await tab.waitFor((frames) => window.forcedVdp.frames === frames + 1, frames);   // its scenario
      const answer = await focused();
      assert.equal(answer.id, 'lesson-answer');
      assert.match(answer.text, /^Right\. /);
      assert.equal(await tab.evaluate(() => location.search), `?lesson=1&step=${k + 1}&lang=en`);
      if (k === 1) {   // the phase plane with a second start: the panel says so, not the traces
        const values = await tab.$eval('#values', (v) => v.textContent);
        assert.match(values, /Left, the phase plane.*Dark green: the motion from the second start/s);
        assert.doesNotMatch(values, /Left: red the response/);
      }
      await tabTo(k < 2 ? 'Next' : 'Leave the lesson');
      await enter();
    }
    assert.equal((await focused()).id, 'lesson');
    assert.equal(await tab.$eval('#lessons', (p) => p.hidden), true);
    assert.equal(await tab.evaluate(() => location.search), '?eps=5&force=0&z=1&y0=0.1&v0=0&frames=999&lang=en');
    assert.match(await tab.$eval('#values', (v) => v.textContent), /ε = 5, F = 0, z = 1.*frame 1000/s);
    await finish(tab);
  });

  // Each part of the panel can be brought into sight in the tools' region and tapped there
  // (one taller than the region, from its top); the keys stay where they were and nothing else
  // scrolls.
  for (const screen of [{width: 360, height: 640, deviceScaleFactor: 3, hasTouch: true, isMobile: true},
    {width: 1365, height: 624, deviceScaleFactor: 1}]) {
    test(`the panel on ${screen.width} x ${screen.height}`, async () => {
      const tab = await openPage(browser, URL + '?lesson=3&step=2', {viewport: screen, firstFrame: true});
      await tab.click('.lesson-choices button:nth-child(2)');
      const m = await tab.evaluate(() => {
        const keys = () => Array.from(document.querySelectorAll('#keys button'), (k) => k.getBoundingClientRect().y).join();
        const before = keys();
        const parts = ['#lessons-heading', '#lesson-question', '.lesson-choices button', '#lesson-answer',
          '.lesson-moves button'].flatMap((s) => Array.from(document.querySelectorAll(s)));
        const room = document.getElementById('more').clientHeight;
        const unseen = parts.filter((part) => {
          part.scrollIntoView({block: 'start'});
          const r = part.getBoundingClientRect();
          const hit = document.elementFromPoint(r.x + r.width / 2, r.y + Math.min(r.height / 2, 10));
          const bottom = r.height <= room ? r.bottom : r.y + 10;
          return !(r.x >= 0 && r.y >= 0 && r.right <= innerWidth && bottom <= innerHeight && part.contains(hit));
        });
        return {parts: parts.length, unseen: unseen.map((p) => p.id || p.textContent), moved: keys() !== before,
          scrolled: [document.getElementById('side').scrollTop, document.scrollingElement.scrollTop]};
      });
      assert.equal(m.parts, 10);
      assert.deepEqual([m.unseen, m.moved, m.scrolled], [[], false, [0, 0]]);
      await finish(tab);
    });
  }

  test('a step chosen while the start dialog asks opens on its address, the choice kept', async () => {
    const tab = await openPage(browser, URL + '?lang=en');
    await tab.click('#lesson');
    await tab.click('.lesson-list li:nth-child(6) button');
    await Promise.all([tab.page.waitForNavigation(), tab.click('.lesson-choices button:nth-child(2)')]);
    await tab.waitFor(() => window.forcedVdp && window.forcedVdp.frames === 1);
    assert.equal(await tab.evaluate(() => location.search), '?lesson=6&step=1&lang=en');
    assert.match(await tab.$eval('#lesson-answer', (a) => a.textContent), /^Right\./);
    assert.equal(await tab.$eval('.lesson-choices button:nth-child(2)', (b) => b.getAttribute('aria-pressed')), 'true');
    assert.match(await tab.$eval('#values', (v) => v.textContent), /Period 3/);
    await finish(tab);
  });
});
