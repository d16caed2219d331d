// The page in one engine (VDP_ENGINE: chromium, firefox or webkit): the dialogs' texts
// against the program's own, one frame per drawing key, a linked scenario against the typed
// one, ESC and Start again, the desktop's canonical frames, the phase plane's among them, and
// a sweep from the address against the desktop's picture of it.
// Environment: VDP_ENGINE, VDP_PAGE, VDP_PROGRAM_TEXTS, VDP_GOLDEN_DIR.
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import {after, before, describe, test} from 'node:test';

import {answer, answerDialog, canvasImage, consoleOutput, fileUrl, finish, launchEngine, newTab,
  openPage, state, typeKeys, waitForDialog} from './browser.mjs';
import {countPixels, decodePng, differingPixels} from './images.mjs';

const ENGINE = process.env.VDP_ENGINE || 'chromium';
const URL = fileUrl(process.env.VDP_PAGE);
const START = ['0.1', '0.5 1', '0 0'];
const TEXT_GREY = [10, 10, 10];
const MOST_DIFFERING_PIXELS = 320;   // of 640,000: where two rasterisers may round apart

const programTexts = (args, input = '') => execFileSync('node',
  ['--no-experimental-fetch', process.env.VDP_PROGRAM_TEXTS, ...args], {input, encoding: 'utf8'});

let browser;
before(async () => { browser = await launchEngine(ENGINE); });
after(async () => { await browser.close(); });

describe(`the page in ${ENGINE}`, () => {
  test('the dialogs show the program\'s texts; drawing keys draw one frame each', async () => {
    const tab = await openPage(browser, URL);
    assert.equal(await tab.evaluate(() => document.title), programTexts(['title']));
    // Until the start dialog is answered the picture is white, and says what it waits for.
    assert.match(await tab.$eval('#waiting', (w) => (w.hidden ? '' : w.textContent)), /入力欄に ε/);
    assert.ok(countPixels(await canvasImage(tab), [255, 255, 255]) === 800 * 800, 'a blank white picture');
    const dialogs = [
      {key: null, entry: 'm', lines: ['0.1', '0.5 1', '0 0'], frames: 1},
      {key: 'm', entry: 'm', lines: ['0.2', '0.3', '0.9', '0.1 0'], frames: 0},
      {key: 'f', entry: 'f', lines: ['0.3 1.1', '0', '0'], frames: 0},
      {key: 'j', entry: 'j', lines: ['0.5 0.5'], frames: 0},
    ];
    for (const {key, lines, frames} of dialogs) {
      const before = (await state(tab)).frames;
      if (key) {
        await tab.keys([key]);
        await waitForDialog(tab);
      }
      await answerDialog(tab, lines);
      assert.equal((await state(tab)).frames, before + frames, `after ${key}`);
    }
    assert.equal(await consoleOutput(tab), programTexts(['dialog', ...dialogs.map((d) => d.entry)],
      dialogs.flatMap((d) => d.lines).join('\n') + '\n'));
    assert.equal(await tab.$eval('#waiting', (w) => w.hidden), true);
    for (const key of ['s', 'y', 'Y', 't', 'T', 'z', 'Z', 'e', 'E', ' ', 'q', 'S', '0']) {
      const {frames} = await state(tab);
      await tab.keys([key]);
      assert.equal((await state(tab)).frames, frames + 1, `key ${JSON.stringify(key)}`);
    }
    await finish(tab);
  });

  // The first frame of a link with frames=N is frame N + 1 of the typed answers and N 's'.
  test('a linked scenario shows the typed picture', async () => {
    const linked = await openPage(browser, URL + '?eps=0.5&force=0.2&z=1&y0=0.1&v0=0&frames=100&family=e',
      {firstFrame: true});
    assert.equal((await state(linked)).dialogOpen, false);
    // No prompt: the banner and the key help only.
    assert.doesNotMatch(await consoleOutput(linked), /ε=|F z=|y0 v0 =/);
    assert.match(await consoleOutput(linked), /ESCキーで/);
    const linkedPicture = await canvasImage(linked);
    await finish(linked);
    const typed = await openPage(browser, URL);
    await answerDialog(typed, ['0.5', '0.2 1', '0.1 0']);
    await typeKeys(typed, ['e', ...Array(99).fill('s')]);
    assert.equal((await state(typed)).frames, 101);
    assert.equal(differingPixels(linkedPicture, await canvasImage(typed)), 0);
    await finish(typed);
  });

  // frames=N advances in steps: the page says how far it is, and answers meanwhile; the frame
  // shown is the one of N key presses, none lost or doubled between the steps. Then a motion
  // beyond the range of numbers: the shapes it would place nowhere are not handed to WebGL (a
  // vertex is two floats and four colour bytes); what is finite is drawn.
  test('a link with many frames shows its progress; a motion out of range, finite vertices', async () => {
    const tab = await newTab(browser);
    await tab.goto(URL + '?eps=0.1&force=0.5&z=1&y0=0&v0=0&frames=400000');
    const seen = new Set();
    for (const end = Date.now() + 20000; (await state(tab)).frames === 0 && Date.now() < end;)
      seen.add(await tab.$eval('#waiting', (w) => (w.hidden ? '' : w.textContent)));
    const told = [...seen].filter((text) => /フレーム 400001 まで進めています…（\d+ %）/.test(text));
    assert.ok(told.length >= 1, `progress seen: ${JSON.stringify([...seen])}`);
    assert.match(await tab.$eval('#values', (v) => v.textContent), /t = 40000\.1（フレーム 400001）/);

    await tab.evaluate(() => {
      window.vertices = {finite: 0, other: 0};
      const gl = document.getElementById('scene').getContext('webgl');
      const plain = gl.bufferData;
      gl.bufferData = function (target, data, usage) {
        if (target === gl.ARRAY_BUFFER) {
          const floats = new Float32Array(data.buffer, data.byteOffset, data.byteLength / 4);
          for (let i = 0; i < floats.length; i += 3)
            window.vertices[Number.isFinite(floats[i]) && Number.isFinite(floats[i + 1]) ? 'finite' : 'other']++;
        }
        return plain.call(this, target, data, usage);
      };
    });
    await tab.keys(['j']);
    await answerDialog(tab, ['0 -1e308']);
    await tab.keys(['s']);
    const vertices = await tab.evaluate(() => window.vertices);
    assert.ok(vertices.finite > 1000 && vertices.other === 0, JSON.stringify(vertices));
    await finish(tab);
  });

  test('ESC ends the program; Start again asks anew, or starts with the last values', async () => {
    const tab = await openPage(browser, URL);
    await answerDialog(tab, ['0.3', '0.4 1.2', '0.5 0']);
    await tab.keys(['s', 's']);
    const before = await canvasImage(tab);
    // A family and both layers shown: a fresh start shows none of them.
    await tab.keys(['e', 'F3', 'F4']);
    await tab.keys(['Escape']);
    assert.equal((await state(tab)).ended, true);
    assert.equal(await tab.$eval('#ended', (box) => box.hidden), false);
    await tab.keys(['s']);
    assert.equal((await state(tab)).frames, 6);

    await tab.click('#start-again');
    await waitForDialog(tab);
    assert.equal((await state(tab)).ended, false);
    await answerDialog(tab, ['0.3', '0.4 1.2', '0.5 0']);
    await tab.keys(['s', 's']);
    assert.equal(differingPixels(await canvasImage(tab), before), 0);
    // A fresh start is fresh: every layer and view off again.
    assert.match(await tab.$$eval('#tools button.layer', (all) => all.map((b) => b.getAttribute('aria-pressed')).join()),
      /^false(,false)+$/);

    await tab.keys(['Escape']);
    await tab.click('#start-again-with-values');
    await tab.waitFor(() => window.forcedVdp.frames === 10);
    assert.equal((await state(tab)).dialogOpen, false);
    await tab.keys(['s', 's']);
    assert.equal(differingPixels(await canvasImage(tab), before), 0);
    await finish(tab);
  });
});

// A lesson from its address: its step's scenario runs, a choice says the answer (the scenario
// already open stays), Next keeps the address on the step shown and a choice opens its
// scenario, Leave keeps the values and puts their own address in its place.
describe(`a lesson in ${ENGINE}`, () => {
  test('lesson=6&step=1: choose, Next, choose, Leave', async () => {
    const tab = await openPage(browser, URL + '?lesson=6&step=1&lang=en', {firstFrame: true});
    const shown = () => tab.evaluate(() => ({search: location.search,
      panel: document.getElementById('lessons').hidden ? '' : document.getElementById('lessons').textContent,
      values: document.getElementById('values').textContent, frames: window.forcedVdp.frames}));
    let now = await shown();
    assert.match(now.panel, /^Lesson 6, Frequency demultiplication: step 1 of 2.*Every three pushes/);
    assert.match(now.values, /ε = 5, F = 5, z = 2.*t = 300\.1 \(frame 3001\).*Period 3: one swing every three pushes/s);
    await tab.click('.lesson-choices button:nth-child(2)');
    now = await shown();
    assert.match(now.panel, /Right\. The swing keeps near its own pace/);
    assert.equal(now.frames, 1, 'the scenario the address opened, not again');
    await tab.click('.lesson-moves button:nth-child(1)');   // Next
    assert.equal((await shown()).search, '?lesson=6&step=2&lang=en');
    await tab.click('.lesson-choices button:nth-child(1)');
    await tab.waitFor(() => /Period 5/.test(document.getElementById('values').textContent));
    now = await shown();
    assert.match(now.panel, /Not quite: the answer is “Every five pushes”\./);
    assert.match(now.values, /z = 3.*\(frame 3001\)/s);
    await tab.click('.lesson-moves button:last-child');   // Leave
    now = await shown();
    assert.equal(now.panel, '');
    assert.equal(now.search, '?eps=5&force=5&z=3&y0=0&v0=0&frames=3000&lang=en&phase=1');
    assert.match(now.values, /z = 3.*\(frame 3001\).*Period 5/s);
    await finish(tab);
  });
});

// The screens of a class: laptops (one at 200 % zoom), tablets both ways, phones both ways.
// Each page answers its whole start dialog on its screen, with a Japanese font present as on
// students' machines. While it asks, the input line is in sight and holds at least eight
// characters; after it, the whole picture is in the viewport, as large as fits, its drawing
// buffer at the device's pixels; every key is in sight where it was (beside the picture in
// landscape, below it in portrait), nothing is scrolled, nothing covers the picture, and the
// tools and the values panel can be scrolled into sight to their last line. Firefox takes the
// three smallest screens; WebKit (one pixel per CSS pixel, a window no narrower than 447
// pixels) the landscape ones it can reach.
describe(`layout in ${ENGINE}`, () => {
  const TOUCH = {hasTouch: true, isMobile: true};
  const SCREENS = [
    {width: 1365, height: 624, deviceScaleFactor: 1, engines: 'chromium webkit'},
    {width: 1280, height: 650, deviceScaleFactor: 1, engines: 'chromium'},
    {width: 1180, height: 820, deviceScaleFactor: 2, ...TOUCH, engines: 'chromium'},
    {width: 820, height: 1180, deviceScaleFactor: 2, ...TOUCH, engines: 'chromium'},
    {width: 768, height: 1024, deviceScaleFactor: 2, ...TOUCH, engines: 'chromium'},
    {width: 390, height: 844, deviceScaleFactor: 3, ...TOUCH, engines: 'chromium'},
    {width: 844, height: 390, deviceScaleFactor: 3, ...TOUCH, engines: 'chromium'},
    {width: 360, height: 640, deviceScaleFactor: 3, ...TOUCH, engines: 'chromium firefox'},
    {width: 683, height: 312, deviceScaleFactor: 2, engines: 'chromium firefox webkit'},
    {width: 640, height: 360, deviceScaleFactor: 3, ...TOUCH, engines: 'chromium firefox webkit'},
  ].filter((screen) => screen.engines.includes(ENGINE));

  // In one call to the page: the boxes of the input line, the keys, the picture and Run, and
  // whether a tap at the centre of each meets it; the room in the input line and the width of
  // eight characters in its font; how far the side or the page is scrolled, or could be; the
  // points of a grid over the picture where a tap meets something else; then (lastLine) the
  // values panel's last line scrolled into sight, and the keys once more; then line answered.
  const measure = (tab, {lastLine = false, line = null} = {}) => tab.evaluate((lastLine, line) => {
    const box = (element, r = element.getBoundingClientRect()) => ({x: r.x, y: r.y, right: r.right, bottom: r.bottom,
      width: r.width, height: r.height, reachable: document.elementFromPoint(r.x + r.width / 2, r.y + r.height / 2) === element});
    const keys = () => Array.from(document.querySelectorAll('#keys button'), (key) => box(key));
    const [input, scene, page] = [document.getElementById('console-input'), document.getElementById('scene'),
      document.scrollingElement];
    const style = getComputedStyle(input);
    const pen = document.createElement('canvas').getContext('2d');
    pen.font = style.font;
    const r = scene.getBoundingClientRect();
    let covered = 0;
    for (let i = 1; i < 10; i++)
      for (let j = 1; j < 10; j++)
        covered += document.elementFromPoint(r.x + r.width * i / 10, r.y + r.height * j / 10) === scene ? 0 : 1;
    const m = {input: box(input), keys: keys(), picture: box(scene), run: box(document.getElementById('run-pause')),
      inputRoom: input.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight),
      eightWide: pen.measureText('0.123456').width, covered, buffer: scene.width, scale: devicePixelRatio,
      scrolled: [document.getElementById('side').scrollTop, page.scrollTop, page.scrollLeft,
        Math.max(0, page.scrollWidth - innerWidth), Math.max(0, page.scrollHeight - innerHeight)]};
    if (lastLine) {
      document.querySelector('#values li:last-child').scrollIntoView({block: 'end'});
      [m.last, m.keysAfter] = [box(document.querySelector('#values li:last-child')), keys()];
    }
    if (line !== null) {
      input.value = line;
      document.getElementById('console-form').requestSubmit();
    }
    return m;
  }, lastLine, line);

  // WebKit's tabs share one window: back to the size the other tests expect.
  after(async () => {
    if (ENGINE === 'webkit') assert.ok(await (await newTab(browser)).resize({width: 1300, height: 962}));
  });

  test('each screen: the whole start dialog, then the picture, the keys and the panel at hand', async () => {
    const tab = await newTab(browser);
    for (const [n, screen] of SCREENS.entries()) {
      const name = `${screen.width} x ${screen.height}` + (ENGINE === 'webkit' ? '' : ` at ${screen.deviceScaleFactor}`);
      if (!await tab.resize(screen)) throw new Error(`${name}: the viewport cannot be had`);
      await tab.goto(URL);
      await waitForDialog(tab);
      const inside = (b) => b.x >= 0 && b.y >= 0 && b.right <= screen.width && b.bottom <= screen.height;
      const unscrolled = (m) => assert.deepEqual(m.scrolled, [0, 0, 0, 0, 0], `${name}: scrolled`);
      for (const line of START) {
        const m = await measure(tab, {line});
        assert.ok(inside(m.input) && m.input.reachable, `${name}: the input line while the dialog asks`);
        assert.ok(m.inputRoom >= m.eightWide, `${name}: the input line holds ${m.inputRoom} px, not 8 characters`);
        assert.ok(m.keys.every((key) => inside(key) && key.reachable), `${name}: a key out of sight`);
        unscrolled(m);
      }
      await tab.waitFor(() => !window.forcedVdp.dialogOpen && window.forcedVdp.frames === 1);
      const m = await measure(tab, {lastLine: true});
      const {picture} = m;
      console.log(`${ENGINE} ${name}: picture ${picture.width} CSS px (${m.buffer} pixels), ` +
        `s at (${m.keys[0].x}, ${m.keys[0].y}), Run at (${m.run.x}, ${m.run.y}), input line at ` +
        `(${m.input.x}, ${m.input.y}), ${m.input.width} wide`);
      unscrolled(m);
      assert.ok(inside(picture) && picture.reachable, `${name}: the picture`);
      assert.equal(m.covered, 0, `${name}: something over the picture`);
      assert.equal(picture.width, picture.height);
      assert.ok(picture.width >= 0.75 * Math.min(screen.width, screen.height), `${name}: picture ${picture.width}`);
      assert.equal(m.buffer, Math.min(2400, Math.round(picture.width * m.scale)), name);
      const landscape = screen.width > screen.height;
      for (const [control, b] of [...m.keys.map((key, i) => [`key ${i}`, key]), ['Run', m.run], ['input line', m.input]]) {
        assert.ok(inside(b) && b.reachable, `${name}: ${control}`);
        assert.ok(landscape ? b.x >= picture.right : b.y >= picture.bottom, `${name}: ${control} beside or below`);
      }
      // The values panel's last line can be brought into sight, and the keys stay where they are.
      assert.ok(inside(m.last) && m.last.reachable, `${name}: the values' last line`);
      assert.deepEqual(m.keysAfter, m.keys, `${name}: the keys moved`);
      // Turned or resized: the frame shown is drawn again at the new size, without a key.
      if (n === 0) {
        assert.ok(await tab.resize({...screen, width: Math.round(0.8 * screen.width),
          height: Math.round(0.8 * screen.height)}));
        await tab.waitFor(() => {
          const scene = document.getElementById('scene');
          return scene.width === Math.min(2400, Math.round(scene.getBoundingClientRect().width * devicePixelRatio));
        });
        assert.notEqual(await tab.evaluate(() => document.getElementById('scene').width), m.buffer);
        assert.equal((await state(tab)).frames, 1);
      }
    }
    await finish(tab);
  });
});

// The locking map of a small grid (F8) computed by the page's workers, against the desktop's
// stored map (tests/display/locking_map_test.cpp).
test(`the locking map in ${ENGINE}`, async () => {
  const golden = decodePng(fs.readFileSync(path.join(process.env.VDP_GOLDEN_DIR, 'locking_map.png')));
  const tab = await openPage(browser, URL + '?eps=0.3&force=0.5&z=1&y0=0.1&v0=0&map-z=0.8:1.2:21&' +
    'map-force=0:0.5:11', {firstFrame: true});
  await tab.keys(['F8']);
  await tab.waitFor(() => window.forcedVdp.map.doneAt !== null);
  const drawn = await canvasImage(tab);
  const differing = differingPixels(drawn, golden);
  console.log(`${ENGINE} locking map: ${differing} pixels differ from the desktop's`);
  assert.ok(differing <= MOST_DIFFERING_PIXELS, `${differing} pixels differ`);
  assert.equal(countPixels(drawn, TEXT_GREY), countPixels(golden, TEXT_GREY), 'text pixels');
  await finish(tab);
});

// The desktop's canonical frames (tests/display/canonical_frames_test.cpp), from typed lines,
// keys, and a view key put in through page_view_key while the start dialog waits for its last
// line (the desktop test applies it before its first frame): `begun` lines leave the dialog
// waiting.
describe(`canonical frames in ${ENGINE}`, () => {
  const s = (n) => Array(n).fill('s');
  const SCENES = {
    default_view: [{lines: START}],
    epsilon_family: [{begun: START.slice(0, 2)}, {view: 'e'}, {lines: ['0 0']}],
    force_family: [{begun: START.slice(0, 2)}, {view: 'E'}, {lines: ['0 0']}],
    three_crossings: [{lines: ['0.5', '0.2 1', '0 0']}],
    right_after_y: [{lines: START}, {keys: [...s(39), 'y']}],
    // 'j' puts the time axis back; then each of fourteen frames follows a 't'.
    after_fourteen_t: [{lines: START}, {keys: ['j']}, {lines: ['0 0']}, {keys: Array(14).fill('t')}],
    wrap_frame: [{lines: START}, {keys: s(200)}],
  };
  // The phase plane with a second start and F9's orbit, from the address: one frame past its
  // first, whose string is drawn thinner, as on the desktop.
  test('phase_plane', async () => {
    const golden = decodePng(fs.readFileSync(path.join(process.env.VDP_GOLDEN_DIR, 'phase_plane.png')));
    // The orbit is sought at the first frame shown, 2001, as in the desktop's --frames 2000.
    const tab = await openPage(browser, URL + '?eps=5&force=5&z=1.42&y0=0&v0=0&frames=2000&phase=1&orbit=1&second=1,0',
      {firstFrame: true});
    const drawn = await canvasImage(tab);
    const differing = differingPixels(drawn, golden);
    console.log(`${ENGINE} phase_plane: ${differing} pixels differ from the desktop's`);
    assert.ok(differing <= MOST_DIFFERING_PIXELS, `${differing} pixels differ`);
    assert.equal(countPixels(drawn, TEXT_GREY), countPixels(golden, TEXT_GREY), 'text pixels');
    await finish(tab);
  });
  for (const [name, steps] of Object.entries(SCENES)) {
    test(name, async () => {
      const golden = decodePng(fs.readFileSync(path.join(process.env.VDP_GOLDEN_DIR, `${name}.png`)));
      const tab = await openPage(browser, URL);
      for (const {begun, lines, keys, view} of steps) {
        if (begun) await answer(tab, begun);
        if (lines) await answerDialog(tab, lines);
        if (keys) await typeKeys(tab, keys);
        if (view) await tab.evaluate((code) => Module._page_view_key(code), view.charCodeAt(0));
      }
      assert.deepEqual(await tab.evaluate(() => [document.getElementById('scene').width,
        document.getElementById('scene').getBoundingClientRect().width]), [800, 800]);
      const drawn = await canvasImage(tab);
      const differing = differingPixels(drawn, golden);
      console.log(`${ENGINE} ${name}: ${differing} pixels differ from the desktop's`);
      assert.ok(differing <= MOST_DIFFERING_PIXELS, `${differing} pixels differ`);
      assert.equal(countPixels(drawn, TEXT_GREY), countPixels(golden, TEXT_GREY), 'text pixels');
      await finish(tab);
    });
  }
});

// A sweep given in the address, its frames before the first one shown: the desktop's
// --snapshot of the same scenario (tests/display/canonical_frames_test.cpp's sweep). The
// motion is integrated here with the browser's sine, which differs from glibc's in the last
// bit now and then: the sweep must decide every ratio at the same point all the same.
test(`a sweep from the address in ${ENGINE}, as the desktop draws it`, async () => {
  const golden = decodePng(fs.readFileSync(path.join(process.env.VDP_GOLDEN_DIR, 'sweep.png')));
  const tab = await openPage(browser,
    URL + '?eps=5&force=5&z=1.38&y0=0&v0=0&sweep=1.38:1.48&frames=90000&measured=1', {firstFrame: true});
  const drawn = await canvasImage(tab);
  const differing = differingPixels(drawn, golden);
  console.log(`${ENGINE} sweep: ${differing} pixels differ from the desktop's`);
  assert.ok(differing <= MOST_DIFFERING_PIXELS, `${differing} pixels differ`);
  assert.equal(countPixels(drawn, TEXT_GREY), countPixels(golden, TEXT_GREY), 'text pixels');
  await finish(tab);
});
