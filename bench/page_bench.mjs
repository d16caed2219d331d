// The page in headless Chromium (SwiftShader's software WebGL): time from the start of the
// page's load to its first frame, and the time of one frame with a family shown. Medians over
// repetitions, in the manner of the other benchmarks; not a test.
// Usage: node bench/page_bench.mjs [build-web/forced-vdp.html] [repetitions]
import {fileUrl, launchBrowser, newTab} from '../tests/platform/web/browser.mjs';

const PAGE = process.argv[2] || 'build-web/forced-vdp.html';
const REPETITIONS = Number(process.argv[3] || 10);
const FRAMES_PER_REPETITION = 100;
const START = ['0.1', '0.5 1', '0 0'];

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const mid = sorted.length >> 1;
  return sorted.length % 2 ? sorted[mid] : (sorted[mid - 1] + sorted[mid]) / 2;
};

// Answers the start dialog the moment it asks, so that no typing is timed; records when the
// first frame has been drawn, in milliseconds from the start of the page's load.
function answerAtOnce(lines) {
  const answer = () => {
    const input = document.getElementById('console-input');
    const form = document.getElementById('console-form');
    if (!input || input.disabled) return false;
    for (const line of lines) {
      input.value = line;
      form.requestSubmit();
    }
    window.firstFrameAt = window.forcedVdp.frames === 1 ? performance.now() : NaN;
    return true;
  };
  new MutationObserver((changes, observer) => { if (answer()) observer.disconnect(); })
    .observe(document, {subtree: true, attributes: true, attributeFilter: ['disabled']});
}

async function loadToFirstFrame(browser) {
  const page = await newTab(browser);
  await page.evaluateOnNewDocument(answerAtOnce, START);
  await page.goto(fileUrl(PAGE));
  await page.waitForFunction(() => window.firstFrameAt !== undefined, {timeout: 20000});
  const ms = await page.evaluate(() => window.firstFrameAt);
  await page.close();
  if (!Number.isFinite(ms)) throw new Error('the dialog did not end with the first frame');
  return ms;
}

// Frames drawn through the page's key entry, per view: the script's time (what a key costs
// the page; the browser renders afterwards, in its GPU process), and the time until the frame
// is rendered, each frame read back by one pixel (as the desktop benchmark's glFinish).
async function frames(browser) {
  const page = await newTab(browser);
  await page.evaluateOnNewDocument(answerAtOnce, START);
  await page.goto(fileUrl(PAGE));
  await page.waitForFunction(() => window.forcedVdp.frames === 1, {timeout: 20000});
  const results = {};
  for (const [view, key] of [['default', 's'], ['epsilon_family', 'e']]) {
    await page.evaluate((code) => Module._page_key(code), key.charCodeAt(0));
    for (const rendered of [false, true]) {
      const times = [];
      for (let r = 0; r < REPETITIONS; r++) {
        times.push(await page.evaluate((count, rendered) => {
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
      results[`BM_PageFrame/${view}/${rendered ? 'rendered' : 'script'}`] = times;
    }
  }
  await page.close();
  return results;
}

const browser = await launchBrowser();
try {
  await loadToFirstFrame(browser);   // the first load also warms the browser's caches
  const loads = [];
  for (let r = 0; r < REPETITIONS; r++) loads.push(await loadToFirstFrame(browser));
  const frameTimes = await frames(browser);
  const row = (name, values, unit) =>
    console.log(`${name.padEnd(38)} median ${median(values).toFixed(2)} ${unit}  ` +
                `(min ${Math.min(...values).toFixed(2)}, max ${Math.max(...values).toFixed(2)}, ` +
                `${values.length} repetitions)`);
  row('BM_PageLoadToFirstFrame', loads, 'ms');
  for (const [name, values] of Object.entries(frameTimes)) row(name, values, 'ms');
} finally {
  await browser.close();
}
