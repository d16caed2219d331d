// The page in each browser engine (software WebGL): time from the start of the page's load to
// its first frame, and the time of one frame with the ε family shown, at 1, 2 and 3 device
// pixels per CSS pixel (the canvas 800 CSS pixels a side, its drawing buffer 800, 1600 and 2400
// pixels); the locking map of the desktop's benchmark (bench/map_bench.cpp) by the page's Web
// Workers, to its first row drawn and to its last. Medians over repetitions, in the manner of
// the other benchmarks; not a test.
// Usage: [xvfb-run -a] node bench/page_bench.mjs [build-web/forced-vdp.html] [repetitions] [engines]
// (engines: comma-separated of chromium, firefox, webkit; WebKit needs an X display).
import {fileUrl, launchEngine, newTab} from '../tests/platform/web/browser.mjs';

const PAGE = process.argv[2] || 'build-web/forced-vdp.html';
const REPETITIONS = Number(process.argv[3] || 10);
const ENGINES = (process.argv[4] || 'chromium,firefox,webkit').split(',');
const FRAMES_PER_REPETITION = 20;
// The scenario of the address: no dialog, the first frame as the page opens.
const SCENARIO = '?eps=0.1&force=0.5&z=1&y0=0&v0=0';

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const mid = sorted.length >> 1;
  return sorted.length % 2 ? sorted[mid] : (sorted[mid - 1] + sorted[mid]) / 2;
};

// Milliseconds from the start of the page's load (navigation) to its first frame.
async function loadToFirstFrame(browser) {
  const tab = await newTab(browser);
  await tab.goto(fileUrl(PAGE) + SCENARIO);
  await tab.waitFor(() => window.forcedVdp && window.forcedVdp.frames === 1);
  const ms = await tab.evaluate(() => window.forcedVdp.firstFrameAt);
  await tab.close();
  return ms;
}

// Frames with the ε family through the page's key entry at each scale (the device's pixel
// ratio is set for the page: the next frame's drawing buffer follows it): the script's time
// (what a key costs the page; the browser renders afterwards) and the time until the frame is
// rendered, each frame read back by one pixel (as the desktop benchmark's glFinish).
async function frames(browser) {
  const tab = await newTab(browser);
  await tab.goto(fileUrl(PAGE) + SCENARIO + '&family=e');
  await tab.waitFor(() => window.forcedVdp && window.forcedVdp.frames === 1);
  const results = {};
  for (const scale of [1, 2, 3]) {
    await tab.evaluate((scale) => {
      Object.defineProperty(window, 'devicePixelRatio', {get: () => scale, configurable: true});
      Module._page_key('s'.charCodeAt(0));
    }, scale);
    for (const rendered of [false, true]) {
      const times = [];
      for (let r = 0; r < REPETITIONS; r++) {
        times.push(await tab.evaluate((count, rendered) => {
          const gl = document.getElementById('scene').getContext('webgl');
          const pixel = new Uint8Array(4);
          gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
          const start = performance.now();
          for (let i = 0; i < count; i++) {
            Module._page_key('s'.charCodeAt(0));
            if (rendered) gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
          }
          return (performance.now() - start) / count;
        }, FRAMES_PER_REPETITION, rendered));
      }
      const side = await tab.evaluate(() => document.getElementById('scene').width);
      results[`BM_PageFamilyFrame/scale${scale}(${side}px)/${rendered ? 'drawn' : 'script'}`] = times;
    }
  }
  await tab.close();
  return results;
}

// The map of 101 x 41 cells (eps = 0.3, z 0.5 ... 1.5, F 0 ... 1, from (0.1, 0)): milliseconds
// from F8 (the workers started) to its first row drawn and to its last.
const MAP_REPETITIONS = Math.min(REPETITIONS, 3);
async function lockingMap(browser) {
  const first = [], whole = [];
  for (let r = 0; r < MAP_REPETITIONS; r++) {
    const tab = await newTab(browser);
    await tab.goto(fileUrl(PAGE) + '?eps=0.3&force=0.5&z=1&y0=0.1&v0=0');
    await tab.waitFor(() => window.forcedVdp && window.forcedVdp.frames === 1);
    await tab.evaluate(() => document.getElementById('map').click());
    await tab.waitFor(() => window.forcedVdp.map.doneAt !== null);
    const map = await tab.evaluate(() => window.forcedVdp.map);
    first.push(map.firstRowAt - map.started);
    whole.push(map.doneAt - map.started);
    await tab.close();
  }
  return {'BM_PageLockingMap/first_row': first, 'BM_PageLockingMap/whole': whole};
}

const row = (engine, name, values) =>
  console.log(`${engine.padEnd(9)} ${name.padEnd(44)} median ${median(values).toFixed(2)} ms  ` +
              `(min ${Math.min(...values).toFixed(2)}, max ${Math.max(...values).toFixed(2)}, ` +
              `${values.length} repetitions)`);

for (const engine of ENGINES) {
  const browser = await launchEngine(engine);
  try {
    await loadToFirstFrame(browser);   // the first load also warms the browser's caches
    const loads = [];
    for (let r = 0; r < REPETITIONS; r++) loads.push(await loadToFirstFrame(browser));
    row(engine, 'BM_PageLoadToFirstFrame', loads);
    for (const [name, values] of Object.entries(await frames(browser))) row(engine, name, values);
    for (const [name, values] of Object.entries(await lockingMap(browser))) row(engine, name, values);
  } finally {
    await browser.close();
  }
}
