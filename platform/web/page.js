// The page around the program: the console panel and its input line, the keyboard and the
// on-screen keys, the tools, the picture's size on the screen, and window.forcedVdp, the
// read-only view of the program's progress for tests and for pages that embed this one. Every
// text the page shows comes from the program's texts table, and its keys, tools and toggles
// from its controls table (Module.page.showTexts).
(function () {
  'use strict';

  var HOLD_DELAY_MS = 400;     // a held on-screen 's' repeats after this, as a held key does,
                               // on the Run clock's interval; a shorter tap draws one frame
  var BUSY_GAP_MS = 100;       // animation frames this far apart: the page was busy meanwhile
  var SETTLE_MS = 200;         // after that, input the browser held back has arrived
  var MOST_CANVAS_PIXELS = 2400;   // a side of the drawing buffer, on the densest screens
  var ADVANCE_STEP_MS = 40;    // frames of a link's frames=N are advanced in steps about this long

  var canvas = document.getElementById('scene');
  var output = document.getElementById('console-output');
  var form = document.getElementById('console-form');
  var input = document.getElementById('console-input');
  var prompt = document.getElementById('prompt');
  var status = document.getElementById('status');
  var notes = document.getElementById('notes');
  var hint = document.getElementById('hint');
  var waiting = document.getElementById('waiting');
  var side = document.getElementById('side');
  var endedBox = document.getElementById('ended');
  var values = document.getElementById('values');
  var consoleBox = document.getElementById('console');
  var consoleToggle = document.getElementById('console-toggle');
  var keyRow = document.getElementById('keys');
  var tools = document.getElementById('tools');
  var languageGroup = document.getElementById('language');
  var languageButtons = Array.prototype.slice.call(languageGroup.querySelectorAll('button'));
  var linkLine = document.getElementById('link-line');
  var link = document.getElementById('scenario-link');

  // base64 text of gzipped bytes: a promise of the bytes. The page carries its modules so, a
  // third of their size, and unpacks them without fetching anything (it opens from file://).
  function unpacked(text) {
    var gzipped = Uint8Array.from(atob(text), function (c) { return c.charCodeAt(0); });
    return new Response(new Blob([gzipped]).stream().pipeThrough(new DecompressionStream('gzip')))
      .arrayBuffer();
  }

  // The program's own module, from the page (the loader calls this instead of fetching a file).
  Module.instantiateWasm = function (imports, receive) {
    if (typeof DecompressionStream === 'undefined') {
      document.getElementById('unpack-failed').hidden = false;
      return {};
    }
    unpacked(document.getElementById('page-wasm').textContent.trim())
      .then(function (bytes) { return WebAssembly.instantiate(bytes, imports); })
      .then(function (made) { receive(made.instance, made.module); });
    return {};
  };

  var frames = 0;             // frames drawn so far
  var firstFrameAt = null;    // performance.now() when the first frame was drawn
  var ended = false;          // the program has exited
  var dialogOpen = false;     // the console dialog waits for input
  var running = false;        // the program waits for keys: no dialog open, not ended
  var framesAtDialog = 0;     // frames when the open dialog began
  var title = '';             // the document's title, from the program
  var allTexts = null;        // the page's texts per language: {ja: {...}, en: {...}}
  var texts = {notes: []};    // those of the language shown
  var language = 'ja';
  var exitStatus = 0;
  var typed = [];             // bytes of submitted lines that the program has not read yet
  var reader = null;          // the program's read, asleep until a line comes
  var encoder = new TextEncoder();
  var decoders = {};          // per output stream: UTF-8 sequences may arrive split
  var runTicket = 0;          // the program's chain of Run ticks; 0 while paused
  var cssSide = null;         // the canvas's displayed side in CSS pixels, once laid out
  var parameters = Array.from(new URLSearchParams(location.search));
  var fragment = readable(location.hash.slice(1), decodeURIComponent);
  var keyButtons = [];        // the key row, built from the program's controls
  var toolButtons = [];       // the tools and toggles, likewise
  var runButton = null;
  var controlOfKey = {};      // the program's controls by KeyboardEvent.key

  // The tools the page does itself, by the names of their rows: what a press does, and when
  // it may be pressed (by default while the program waits for keys).
  var PAGE_TOOLS = {
    'run-pause': {press: toggleRun},
    'save-picture': {press: savePicture, ready: function () { return frames > 0; }},
    'download-curves': {press: downloadCurves},
    'copy-link': {press: copyLink},
    // The motion as sound (page_voice.js): on and off at any time, even while a dialog asks.
    'sound': {press: function () { Module.voice.toggleSound(); }, ready: function () { return true; }},
    'force-voice': {press: function () { Module.voice.toggleForce(); }, ready: function () { return true; }},
    'sweep-z': {press: toggleSweep},
    // The Lessons panel (page_lessons.js): open and closed at any time.
    'lesson': {press: function () { Module.lessons.toggle(); }, ready: function () { return true; }},
  };

  // text decoded for people to read (a file's path in its own letters), or as it is where it
  // is no valid encoding.
  function readable(text, decode) {
    try {
      return decode(text);
    } catch (e) {
      return text;
    }
  }

  // text with its "%s" places filled in order, as the program's fill_text does.
  function filled(text, values) {
    values.forEach(function (value) { text = text.replace('%s', String(value)); });
    return text;
  }

  // What the page waits for, over the picture: the start dialog's answers, or frames advancing.
  function showWaiting(text) {
    waiting.textContent = text;
    waiting.hidden = !text;
  }

  function say(text) {
    status.textContent = text;
    status.hidden = !text;
  }

  function show(text) {
    var last = output.lastChild;
    if (last && last.nodeType === Node.TEXT_NODE) last.appendData(text);
    else output.appendChild(document.createTextNode(text));
    output.scrollTop = output.scrollHeight;
  }

  // Calls into the program; its exit unwinds through here.
  function call(f) {
    try {
      return f();
    } catch (e) {
      if (e !== 'unwind') throw e;
      return -1;
    }
  }

  // Copies typed bytes into dest; returns how many.
  function take(dest) {
    var n = 0;
    while (n < dest.length && typed.length > 0) {
      var chunk = typed[0];
      var count = Math.min(chunk.length, dest.length - n);
      dest.set(chunk.subarray(0, count), n);
      n += count;
      if (count === chunk.length) typed.shift();
      else typed[0] = chunk.subarray(count);
    }
    return n;
  }

  // What may be pressed now: keys and tools while the program waits for keys, Save picture
  // once there is a picture.
  function enableControls() {
    keyButtons.forEach(function (button) { button.disabled = !running; });
    toolButtons.forEach(function (button) {
      var tool = PAGE_TOOLS[button.control.name];
      button.disabled = !(tool && tool.ready ? tool.ready() : running);
    });
  }

  // The last line the program wrote: the prompt that waits.
  function waitingPrompt() {
    var text = Array.from(output.childNodes)
      .filter(function (node) { return node.nodeType === Node.TEXT_NODE; })
      .map(function (node) { return node.data; }).join('');
    return text.slice(text.lastIndexOf('\n') + 1).trim();
  }

  function labelInput() {
    prompt.textContent = dialogOpen ? waitingPrompt() : '';
    input.setAttribute('aria-label', prompt.textContent || texts.inputName || '');
  }

  function openDialog() {
    if (!dialogOpen) framesAtDialog = frames;
    dialogOpen = true;
    running = false;
    input.disabled = false;
    enableControls();
    labelInput();
    if (frames === 0) showWaiting(texts.waiting);
    output.scrollTop = output.scrollHeight;
    // Where the layout has the input line in sight, focusing it scrolls nothing.
    input.focus({preventScroll: true});
  }

  function submitLine(text) {
    // Echoed as a terminal echoes what is typed; not part of the program's output.
    var echo = document.createElement('kbd');
    echo.textContent = text + '\n';
    output.appendChild(echo);
    output.scrollTop = output.scrollHeight;
    typed.push(encoder.encode(text + '\n'));
    if (reader) {
      var wake = reader;
      reader = null;
      wake(take);
    }
  }

  // The character code that the desktop's keyboard callback would get for a key value, or
  // null for keys that are no character (shift, arrows, ...).
  function keyCode(key) {
    var control = controlOfKey[key];
    if (control) return control.code;
    var chars = Array.from(key);
    if (chars.length !== 1) return null;
    var code = chars[0].codePointAt(0);
    return code <= 0xff ? code : null;
  }

  function press(code) {
    if (!running || ended) return;
    call(function () { Module._page_key(code); });
    followRun();
  }

  // A tool, a toggle or a step of z: a button among the tools, its key the program's wherever
  // the focus is.
  function isTool(control) {
    return control.kind === 'tool' || control.kind === 'layer' || control.kind === 'step';
  }

  // A tool without an act of the program's is the page's own (Save picture, Copy link, ...);
  // the others the program presses, as the desktop's keys do, and a toggle draws the next frame.
  function pressControl(control) {
    if (control.kind === 'tool' && !control.acts) {
      var tool = PAGE_TOOLS[control.name];
      if (tool) tool.press();
      return;
    }
    if (!running || ended) return;
    call(function () { Module._page_press(control.index); });
    followRun();
  }

  // The page's texts in the language shown: names of the controls, the values panel's
  // heading, the notes on the address, the end box.
  function applyTexts() {
    texts = allTexts[language];
    document.documentElement.lang = language;
    title = texts.title;
    document.title = title;
    canvas.setAttribute('aria-label', texts.canvasName);
    keyButtons.forEach(function (button) {
      var name = button.control.label[language];
      button.setAttribute('aria-label', name);
      button.title = name;
    });
    toolButtons.forEach(function (button) {
      button.textContent = button.control.label[language];
      button.title = button.control.help[language];
    });
    languageButtons.forEach(function (button) {
      button.setAttribute('aria-pressed', String(button.dataset.language === language));
    });
    consoleToggle.textContent = consoleBox.classList.contains('open') ? texts.consoleClose : texts.consoleOpen;
    document.getElementById('values-heading').textContent = texts.valuesHeading;
    document.getElementById('start-again').textContent = texts.startAgain;
    document.getElementById('start-again-with-values').textContent = texts.startAgainWithValues;
    notes.replaceChildren.apply(notes, texts.notes.map(function (note) {
      var item = document.createElement('li');
      item.textContent = note;
      return item;
    }));
    notes.hidden = texts.notes.length === 0;
    if (!hint.hidden) hint.textContent = texts.nextFrameHint;
    if (ended) showEnded();
    labelInput();
  }

  // Only the lines that changed: a frame should not cost the page a new list. Where lines
  // come or go (a layer, a family), the console's room changes: it shows its last lines again.
  function showValues() {
    var lines = UTF8ToString(Module._page_values()).split('\n');
    var count = values.children.length;
    lines.forEach(function (line, i) {
      var item = values.children[i] || values.appendChild(document.createElement('li'));
      if (item.textContent !== line) item.textContent = line;
    });
    // Lines come and go (the phase plane's with F9 and a second start, the legends', a sweep's).
    while (values.children.length > lines.length) values.lastChild.remove();
    if (values.children.length !== count) output.scrollTop = output.scrollHeight;
  }

  function showEnded() {
    document.getElementById('ended-text').textContent = UTF8ToString(Module._page_ended_text(exitStatus));
    if (!endedBox.hidden) return;
    endedBox.hidden = false;
    document.getElementById('start-again').focus();
  }

  // ---- Run / Pause: the program's clock; each tick draws a frame as 's' does.

  function showRun() {
    if (runButton) runButton.setAttribute('aria-pressed', String(runTicket !== 0));
  }

  // A key the program has paused the motion for ('m', 'f', 'j'): Run shows paused at once, and
  // the chain of ticks ends.
  function followRun() {
    if (runTicket !== 0 && !ended && !Module._page_running()) {
      runTicket = 0;
      showRun();
    }
  }

  function scheduleTick(ticket, delay) {
    setTimeout(function () {
      if (ticket !== runTicket) return;
      // A dialog key paused the motion; nothing of the program is called while it asks.
      var next = running ? call(function () { return Module._page_run_tick(ticket); }) : -1;
      if (ticket !== runTicket) return;
      if (next < 0) {
        runTicket = 0;
        showRun();
        return;
      }
      scheduleTick(ticket, next);
    }, delay);
  }

  function toggleRun() {
    if (!running) return;
    runTicket = Module._page_toggle_run();
    showRun();
    if (runTicket !== 0) scheduleTick(runTicket, Module._page_run_interval());
  }

  // ---- Tools.

  function download(blob, name) {
    var anchor = document.createElement('a');
    anchor.href = URL.createObjectURL(blob);
    anchor.download = name;
    document.body.appendChild(anchor);
    anchor.click();
    anchor.remove();
    setTimeout(function () { URL.revokeObjectURL(anchor.href); }, 10000);
  }

  function savePicture() {
    if (frames === 0) return;
    var name = UTF8ToString(Module._page_picture_name());
    canvas.toBlob(function (blob) { download(blob, name); }, 'image/png');
  }

  function downloadCurves() {
    if (!running) return;
    var table = UTF8ToString(Module._page_curves_csv());
    download(new Blob([table], {type: 'text/csv'}), 'forced-vdp-curves.csv');
  }

  // The link is shown in any case: where the clipboard refuses, it can be copied by hand. A
  // page opened from disk gives a link to a file of this computer: the page says so.
  function copyLink() {
    if (!running) return;
    var address = location.href.split(/[?#]/)[0] + '?' + UTF8ToString(Module._page_scenario_query());
    say('');
    link.href = address;
    link.textContent = readable(address, decodeURI);
    linkLine.hidden = false;
    var local = location.protocol === 'file:' ? ' ' + texts.linkLocalFile : '';
    function told(copied) { say((copied ? texts.linkCopied : texts.linkNotCopied) + local); }
    if (!navigator.clipboard) {
      told(false);
      return;
    }
    navigator.clipboard.writeText(address).then(function () { told(true); }, function () { told(false); });
  }

  // The layers of the characteristic: a toggle each, pressed while shown.
  function showLayers() {
    toolButtons.forEach(function (button) {
      if (button.control.kind !== 'layer') return;
      var shown = Module._page_shown(button.control.index) !== 0;
      button.setAttribute('aria-pressed', shown ? 'true' : 'false');
    });
    if (sweepButton) sweepButton.setAttribute('aria-pressed', String(Module._page_sweeping() !== 0));
  }

  // ---- The sweep of z (F7): it runs on the Run clock, started for it if the motion stood.

  var sweepButton = null;

  function toggleSweep() {
    if (!running) return;
    var start = Module._page_toggle_sweep() !== 0;
    showLayers();
    showValues();
    if (start && runTicket === 0) toggleRun();
  }

  // The green z line dragged along the z axis: z follows in whole steps, a frame for each.
  var GRAB_CSS_PIXELS = 8;    // how near the line a press takes hold of it
  var dragging = null;        // the pointer that holds the line

  function sceneX(event) {
    var box = canvas.getBoundingClientRect();
    return (event.clientX - box.left) / box.width * 2 - 1;
  }

  canvas.addEventListener('pointerdown', function (event) {
    if (!running || ended || event.button !== 0) return;
    var box = canvas.getBoundingClientRect();
    var above = event.clientY - box.top < box.height / 2;   // the line stands on the z axis
    if (!above || Math.abs(sceneX(event) - Module._page_ratio_x()) * box.width / 2 > GRAB_CSS_PIXELS) return;
    dragging = event.pointerId;
    canvas.setPointerCapture(event.pointerId);
    event.preventDefault();
  });
  canvas.addEventListener('pointermove', function (event) {
    if (event.pointerId !== dragging || !running || ended) return;
    call(function () { Module._page_drag_ratio(sceneX(event)); });
    showLayers();
  });
  ['pointerup', 'pointercancel', 'lostpointercapture'].forEach(function (name) {
    canvas.addEventListener(name, function (event) {
      if (event.pointerId === dragging) dragging = null;
    });
  });

  languageButtons.forEach(function (button) {
    button.addEventListener('click', function () {
      if (!allTexts) return;
      language = button.dataset.language;
      Module._page_set_language(language === 'en' ? 1 : 0);
      say('');
      applyTexts();
      if (running) showValues();
    });
  });

  consoleToggle.addEventListener('click', function () {
    var open = consoleBox.classList.toggle('open');
    consoleToggle.setAttribute('aria-expanded', String(open));
    consoleToggle.textContent = open ? texts.consoleClose : texts.consoleOpen;
    output.scrollTop = output.scrollHeight;
  });

  // A new run the page starts itself (Start again, a lesson's step): what ran or ended before
  // is over.
  function startRun(start) {
    ended = false;
    endedBox.hidden = true;
    typed = [];
    reader = null;
    runTicket = 0;
    showRun();
    call(start);
  }

  function startAgain(withValues) {
    if (!ended) return;
    startRun(function () { Module._page_start_again(withValues ? 1 : 0); });
  }

  document.getElementById('start-again').addEventListener('click', function () { startAgain(false); });
  document.getElementById('start-again-with-values').addEventListener('click', function () {
    startAgain(true);
  });

  // ---- Keys.

  form.addEventListener('submit', function (event) {
    event.preventDefault();
    if (!dialogOpen) return;
    var text = input.value;
    input.value = '';
    submitLine(text);
  });

  document.addEventListener('keydown', function (event) {
    if (event.isComposing) return;
    var modified = event.ctrlKey || event.metaKey || event.altKey;
    // The function keys of the controls (key help, save, the layers, run) are the program's
    // and never the browser's (help, find, address bar, reload), wherever the focus is.
    var control = controlOfKey[event.key];
    if (!modified && control && isTool(control)) {
      event.preventDefault();
      // A held arrow steps z on, as the desktop's key repeat does.
      if (!event.repeat || control.kind === 'step') pressControl(control);
      return;
    }
    if (event.target === input || modified) return;
    // Space and Enter on a focused control press that control.
    if ((event.key === ' ' || event.key === 'Enter') && event.target !== canvas &&
        event.target.closest && event.target.closest('button, a, summary')) return;
    var code = keyCode(event.key);
    if (code === null) return;
    if (dialogOpen) {
      input.focus();   // the key goes into the answer being typed
      return;
    }
    event.preventDefault();
    press(code);
  });

  // The key row, the tools and the toggles, in the order of the program's controls.
  function buildControls(controls) {
    controls.forEach(function (control) {
      if (control.key) controlOfKey[control.key] = control;
      if (!control.label.ja) return;
      var button = document.createElement('button');
      button.type = 'button';
      button.control = control;
      if (isTool(control)) {
        button.id = control.kind === 'layer' ? control.name + '-layer' : control.name;
        if (control.kind === 'layer') {
          button.className = 'layer';
          button.setAttribute('aria-pressed', 'false');
        }
        button.addEventListener('click', function () { pressControl(control); });
        tools.insertBefore(button, languageGroup);
        toolButtons.push(button);
        return;
      }
      button.dataset.key = control.key;
      button.textContent = control.cap;
      keyRow.appendChild(button);
      keyButtons.push(button);
      if (control.kind === 'view' && !control.acts) holdToRepeat(button, control.code);
      else button.addEventListener('click', function () { press(control.code); });
    });
    runButton = document.getElementById('run-pause');
    sweepButton = document.getElementById('sweep-z');
    if (sweepButton) sweepButton.setAttribute('aria-pressed', 'false');
    showRun();
    enableControls();
    Module.voice.update();
    Module.lessons.start();
  }

  // The key that only draws ('s') held as a held key: one frame at once, then, while held,
  // frames on the Run clock's grid from HOLD_DELAY_MS on, each in an animation frame. A lift
  // reaches the page late when the page was busy (a frame drawn on a slow machine): the
  // browser holds it back and hands it over some frames after. So the first repeated frame also
  // waits until the page has run smoothly for SETTLE_MS: a tap stays one frame whatever the load.
  function holdToRepeat(button, code) {
    var held = false;
    var looping = false;      // an animation frame is asked for
    var repeated = false;     // this hold has drawn a repeated frame
    var due = 0;              // performance.now() of the next repeated frame
    var lastFrameAt = 0;      // of the animation frame before
    var busyUntil = 0;        // the end of the last long gap between animation frames
    function release() { held = false; }
    function repeat(now) {
      looping = held;
      if (!held) return;
      if (now - lastFrameAt > BUSY_GAP_MS) busyUntil = now;
      lastFrameAt = now;
      if (now >= due && (repeated || now - busyUntil >= SETTLE_MS)) {
        repeated = true;
        press(code);
        var interval = Module._page_run_interval();
        due += interval;
        if (due + interval < now) due = now;   // late: the grid moves on, no burst
      }
      requestAnimationFrame(repeat);
    }
    button.addEventListener('pointerdown', function (event) {
      if (event.button !== 0) return;
      event.preventDefault();
      button.setPointerCapture(event.pointerId);
      press(code);
      held = true;
      repeated = false;
      due = event.timeStamp + HOLD_DELAY_MS;
      lastFrameAt = event.timeStamp;
      busyUntil = -Infinity;
      if (!looping) requestAnimationFrame(repeat);
      looping = true;
    });
    ['pointerup', 'pointercancel', 'lostpointercapture'].forEach(function (name) {
      button.addEventListener(name, release);
    });
    // Enter or space on the focused button: one frame, as a click.
    button.addEventListener('click', function (event) {
      if (event.detail === 0) press(code);
    });
  }
  keyRow.addEventListener('contextmenu', function (event) {
    event.preventDefault();   // a long press on a key is a held key, not a menu
  });

  Module.page = {
    // The program reads standard input: answer now if lines are typed, else when one is.
    whenInput: function (answer) {
      if (typed.length > 0) {
        answer(take);
        return;
      }
      reader = answer;
      openDialog();
    },
    write: function (fd, bytes) {
      if (!decoders[fd]) decoders[fd] = new TextDecoder('utf-8');
      show(decoders[fd].decode(bytes, {stream: true}));
    },
    exited: function (code) {
      ended = true;
      running = false;
      dialogOpen = false;
      exitStatus = code;
      input.disabled = true;
      runTicket = 0;
      showRun();
      hint.hidden = true;
      enableControls();
      showEnded();
    },
    showTexts: function (both, controls, shown) {
      allTexts = both;
      if (toolButtons.length === 0) buildControls(controls);
      language = shown;
      applyTexts();
    },
    noWebgl: function () {
      say(texts.noWebgl);
      canvas.hidden = true;
    },
    frameDrawn: function () {
      frames += 1;
      if (firstFrameAt === null) firstFrameAt = performance.now();
      hint.hidden = true;
      showWaiting('');
    },
    // The frames of the address advanced in steps of about ADVANCE_STEP_MS, the page answering
    // between them and saying how far it is; then the first frame.
    advance: function (total) {
      dialogOpen = false;
      running = false;
      input.disabled = true;
      enableControls();
      labelInput();
      var done = 0;
      var step = 100;
      function next() {
        var started = performance.now();
        var n = Math.min(step, total - done);
        call(function () { Module._page_advance_step(n); });
        done += n;
        var took = Math.max(1, performance.now() - started);
        step = Math.max(1, Math.min(4 * n, Math.round(n * ADVANCE_STEP_MS / took)));
        if (done < total) {
          showWaiting(filled(texts.advancing, [total + 1, Math.floor(100 * done / total)]));
          setTimeout(next, 0);
          return;
        }
        call(function () { Module._page_start(); });
      }
      showWaiting(filled(texts.advancing, [total + 1, 0]));
      setTimeout(next, 0);
    },
    idle: function () {
      var hadFocus = document.activeElement === input;
      var afterDialog = dialogOpen;
      dialogOpen = false;
      running = !ended;
      input.disabled = true;
      enableControls();
      labelInput();
      // Whatever an on-screen keyboard or the input's focus scrolled, the keys are back in sight.
      if (afterDialog) {
        side.scrollTop = 0;
        document.scrollingElement.scrollTop = 0;
      }
      // The answers take effect with the next frame; until then the old one shows.
      if (afterDialog && frames > 0 && frames === framesAtDialog) {
        hint.textContent = texts.nextFrameHint;
        hint.hidden = false;
      }
      showValues();
      showLayers();
      Module.voice.update();
      if (hadFocus) canvas.focus({preventScroll: true});
    },
    parameters: function () { return parameters; },
    // Parameter i's name (part 0) or value (part 1); after the last, the address's fragment.
    addressPart: function (i, part) {
      if (i < parameters.length) return parameters[i][part];
      return part === 1 ? fragment : '';
    },
    runNow: function () {
      if (runTicket === 0) toggleRun();
    },
    // A new run from start (a call into the program), where one can begin now: the program
    // waits for keys or has ended (not while a dialog asks or frames advance).
    startRun: function (start) {
      if (!running && !ended) return false;
      startRun(start);
      return true;
    },
    // The drawing buffer for the canvas as shown: its CSS size times the device's pixel
    // ratio, capped; the program draws line widths in CSS pixels.
    fitCanvas: function () {
      if (cssSide === null) cssSide = canvas.getBoundingClientRect().width || canvas.width;
      var css = cssSide;
      var side = Math.max(1, Math.min(MOST_CANVAS_PIXELS, Math.round(css * (window.devicePixelRatio || 1))));
      if (canvas.width !== side) {
        canvas.width = side;
        canvas.height = side;
      }
      return {side: side, scale: side / css};
    },
  };

  enableControls();

  // After a rotation, a resize or a zoom: the frame shown drawn again at the drawing buffer's
  // new size, once the browser has laid the page out. While a dialog asks, the old frame keeps
  // its buffer until the next frame (it is of a run that the dialog is changing).
  var redrawAsked = false;
  function redrawAtNewSize() {
    if (redrawAsked) return;
    redrawAsked = true;
    requestAnimationFrame(function () {
      redrawAsked = false;
      if (!running || ended || frames === 0 || cssSide === null) return;
      var pixels = Math.min(MOST_CANVAS_PIXELS, Math.round(cssSide * (window.devicePixelRatio || 1)));
      if (pixels !== canvas.width) call(function () { Module._page_redraw(); });
    });
  }
  // The device's pixel ratio changes alone when the page is zoomed at the picture's largest
  // size, or moved to another screen.
  function watchPixelRatio() {
    var query = window.matchMedia('(resolution: ' + (window.devicePixelRatio || 1) + 'dppx)');
    query.addEventListener('change', function again() {
      query.removeEventListener('change', again);
      watchPixelRatio();
      redrawAtNewSize();
    });
  }
  if (window.matchMedia) watchPixelRatio();
  // The canvas's size as laid out, kept rather than read at each frame (a read would force
  // the browser to lay the page out again after each change of the values panel).
  if (window.ResizeObserver) {
    new ResizeObserver(function (entries) {
      cssSide = entries[entries.length - 1].contentRect.width || null;
      output.scrollTop = output.scrollHeight;
      redrawAtNewSize();
    }).observe(canvas);
  }

  // ---- The locking map (F8): its cells computed by Web Workers, each running its own instance
  // of the map's engine (a WebAssembly module of its own, inlined in this page as base64, so
  // that the page still opens from file://; the workers' script comes from a Blob). The page
  // hands each worker a few chunks of cells ahead, stores the verdicts in the program, which
  // draws the rows as they finish, and never waits: the page stays responsive.

  var MAP_CHUNK = 48;           // cells handed to a worker at a time, two chunks ahead
  var MAP_DRAW_MS = 150;        // rows finished within this are drawn together: a software
                                // renderer's drawing would take the workers' cores
  var MAP_MOST_WORKERS = 8;
  var map = {workers: [], job: 0, next: 0, total: 0, started: 0, firstRowAt: null,
    doneAt: null, module: null, bytes: null, url: null, drawing: null};

  // The worker: instantiates the engine, then runs the cells it is given in slices of about
  // WORKER_SLICE_MS, posting the verdicts of each slice (index, class, period, rotation) and
  // asking for more while it holds fewer than a full set of lanes.
  function mapWorker() {
    var WORKER_SLICE_MS = 40, STEPS = 20000, LANES = 16;
    var kernel = null, queue = [], running = false;
    function slice() {
      var until = performance.now() + WORKER_SLICE_MS, done = [];
      while (performance.now() < until) {
        while (queue.length > 0 && kernel.map_kernel_put(queue[0])) queue.shift();
        if (kernel.map_kernel_busy() === 0) break;
        var n = kernel.map_kernel_advance(STEPS);
        var results = new Float64Array(kernel.memory.buffer, kernel.map_kernel_results(), 4 * n);
        for (var i = 0; i < 4 * n; i++) done.push(results[i]);
      }
      running = kernel.map_kernel_busy() > 0 || queue.length > 0;
      postMessage({done: done, want: queue.length < LANES});
      if (running) setTimeout(slice, 0);
    }
    onmessage = function (event) {
      var message = event.data;
      if (message.module) {
        var imports = {env: {emscripten_notify_memory_growth: function () {}},
          wasi_snapshot_preview1: {proc_exit: function (code) { throw new Error('exit ' + code); }}};
        WebAssembly.instantiate(message.module, imports).then(function (result) {
          kernel = (result.instance || result).exports;
          kernel._initialize();
          kernel.map_kernel_begin.apply(null, message.settings);
          if (!running && queue.length > 0) { running = true; slice(); }
        });
        return;
      }
      for (var i = message.cells[0]; i < message.cells[1]; i++) queue.push(i);
      if (kernel && !running) { running = true; setTimeout(slice, 0); }
    };
  }

  // The engine, gunzipped and compiled once: a promise of the module, which fails where the
  // browser lacks vector instructions or gzip decompression.
  function mapKernel() {
    if (map.module) return map.module;
    map.module = unpacked(MAP_KERNEL).then(function (bytes) {
      map.bytes = bytes;
      return WebAssembly.compile(bytes);
    });
    return map.module;
  }

  function stopMapWorkers() {
    map.workers.forEach(function (worker) { worker.terminate(); });
    map.workers = [];
    if (map.url) URL.revokeObjectURL(map.url);
    map.url = null;
  }

  function feedMap(worker) {
    if (map.next >= map.total) return;
    var end = Math.min(map.total, map.next + MAP_CHUNK);
    worker.postMessage({cells: [map.next, end]});
    map.next = end;
  }

  function onMapVerdicts(event) {
    if (ended || Module._page_map_job() !== map.job) {
      stopMapWorkers();
      return;
    }
    var done = event.data.done, stored = 0;
    for (var i = 0; i < done.length; i += 4)
      stored = Math.max(stored, Module._page_map_store(done[i], done[i + 1], done[i + 2], done[i + 3]));
    if (event.data.want) feedMap(event.target);
    if (stored === 2) {
      drawMap();
      map.doneAt = performance.now();
      stopMapWorkers();
      call(function () { Module._page_map_finished((map.doneAt - map.started) / 1000); });
    } else if (stored === 1 && map.drawing === null) {
      map.drawing = setTimeout(drawMap, map.firstRowAt === null ? 0 : MAP_DRAW_MS);
    }
  }

  function drawMap() {
    clearTimeout(map.drawing);
    map.drawing = null;
    if (ended || Module._page_map_job() !== map.job) return;
    call(function () { Module._page_map_draw(); });
    if (map.firstRowAt === null) map.firstRowAt = performance.now();
  }

  function startMapWorkers() {
    stopMapWorkers();
    var job = map.job = Module._page_map_job();
    var settings = Array.from(new Float64Array(HEAPF64.buffer, Module._page_map_settings(), 13));
    map.total = settings.pop();
    map.next = 0;
    map.started = performance.now();
    map.firstRowAt = map.doneAt = null;
    var kernel;
    try {
      kernel = mapKernel();
    } catch (e) {
      kernel = Promise.reject(e);
    }
    kernel.then(function (module) {
      if (map.job !== job || map.workers.length > 0) return;
      map.url = URL.createObjectURL(new Blob(['(' + mapWorker.toString() + ')()'], {type: 'text/javascript'}));
      var count = Math.max(1, Math.min(MAP_MOST_WORKERS, navigator.hardwareConcurrency || 2));
      for (var i = 0; i < count; i++) {
        var worker = new Worker(map.url);
        worker.onmessage = onMapVerdicts;
        try {
          worker.postMessage({module: module, settings: settings});
        } catch (e) {
          // A browser that cannot hand a compiled module on gets the bytes to compile.
          worker.postMessage({module: map.bytes, settings: settings});
        }
        feedMap(worker);
        feedMap(worker);
        map.workers.push(worker);
      }
    }, function () {
      say(texts.mapUnavailable);
    });
  }

  function toggleMap() {
    if (!running) return;
    if (call(function () { return Module._page_map_toggle(); }) === 1) startMapWorkers();
    var button = document.getElementById('map');
    if (button) button.setAttribute('aria-pressed', String(Module._page_map_shown() === 1));
  }
  PAGE_TOOLS.map = {press: toggleMap};

  // A click or tap on a cell of the map shown runs that cell.
  canvas.addEventListener('pointerdown', function (event) {
    if (!running || ended || Module._page_map_shown() !== 1) return;
    var box = canvas.getBoundingClientRect();
    var x = 2 * (event.clientX - box.left) / box.width - 1;
    var y = 1 - 2 * (event.clientY - box.top) / box.height;
    if (call(function () { return Module._page_map_pick(x, y); }) === 1) {
      var button = document.getElementById('map');
      if (button) button.setAttribute('aria-pressed', 'false');
    }
  });

  Module.onAbort = function () {
    ended = true;
    running = false;
    say(texts.aborted || '');
  };

  Object.defineProperty(window, 'forcedVdp', {
    value: Object.freeze({
      get frames() { return frames; },
      get firstFrameAt() { return firstFrameAt; },
      get ended() { return ended; },
      get dialogOpen() { return dialogOpen; },
      get title() { return title; },
      get running() { return runTicket !== 0; },
      // The locking map's job: workers at work, when its first row and its last came.
      get map() {
        return {workers: map.workers.length, started: map.started, firstRowAt: map.firstRowAt,
          doneAt: map.doneAt};
      },
    }),
  });
})();
