// The page in one engine (VDP_ENGINE: chromium, firefox or webkit): the dialogs' texts
// against the program's own, one frame per drawing key, a linked scenario against the typed
// one, ESC and Start again, and the desktop's seven canonical frames.
// Environment: VDP_ENGINE, VDP_PAGE, VDP_PROGRAM_TEXTS, VDP_GOLDEN_DIR.
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import {after, before, describe, test} from 'node:test';

import {answer, answerDialog, canvasImage, consoleOutput, fileUrl, finish, launchEngine, openPage,
  state, typeKeys, waitForDialog} from './browser.mjs';
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

  test('ESC ends the program; Start again asks anew, or starts with the last values', async () => {
    const tab = await openPage(browser, URL);
    await answerDialog(tab, ['0.3', '0.4 1.2', '0.5 0']);
    await tab.keys(['s', 's']);
    const before = await canvasImage(tab);
    await tab.keys(['Escape']);
    assert.equal((await state(tab)).ended, true);
    assert.equal(await tab.$eval('#ended', (box) => box.hidden), false);
    await tab.keys(['s']);
    assert.equal((await state(tab)).frames, 3);

    await tab.click('#start-again');
    await waitForDialog(tab);
    assert.equal((await state(tab)).ended, false);
    await answerDialog(tab, ['0.3', '0.4 1.2', '0.5 0']);
    await tab.keys(['s', 's']);
    assert.equal(differingPixels(await canvasImage(tab), before), 0);

    await tab.keys(['Escape']);
    await tab.click('#start-again-with-values');
    await tab.waitFor(() => window.forcedVdp.frames === 7);
    assert.equal((await state(tab)).dialogOpen, false);
    await tab.keys(['s', 's']);
    assert.equal(differingPixels(await canvasImage(tab), before), 0);
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
