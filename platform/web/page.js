// The page around the program: the console panel and its input line, the keyboard and the
// on-screen keys, the tools, the picture's size on the screen, and window.forcedVdp, the
// read-only view of the program's progress for tests and for pages that embed this one. Every
// text the page shows comes from the program's texts table (Module.page.showTexts).
(function () {
  'use strict';

  var ESC = 27;
  var HOLD_DELAY_MS = 400;     // a held on-screen 's' repeats after this, as a held key does,
  var HOLD_REPEAT_MS = 33;     // about 30 frames a second; a shorter tap draws one frame
  var MOST_CANVAS_PIXELS = 2400;   // a side of the drawing buffer, on the densest screens

  var canvas = document.getElementById('scene');
  var output = document.getElementById('console-output');
  var form = document.getElementById('console-form');
  var input = document.getElementById('console-input');
  var prompt = document.getElementById('prompt');
  var status = document.getElementById('status');
  var notes = document.getElementById('notes');
  var hint = document.getElementById('hint');
  var endedBox = document.getElementById('ended');
  var values = document.getElementById('values');
  var consoleBox = document.getElementById('console');
  var consoleToggle = document.getElementById('console-toggle');
  var buttons = Array.prototype.slice.call(document.querySelectorAll('#keys button[data-key]'));
  var languageButtons = Array.prototype.slice.call(document.querySelectorAll('#language button'));
  var runButton = document.getElementById('run-pause');
  var saveButton = document.getElementById('save-picture');
  // The tools that ask the program for something work only while it waits for keys.
  var layerButtons = Array.prototype.slice.call(document.querySelectorAll('#tools button.layer'));
  var programTools = [runButton, document.getElementById('download-curves'),
    document.getElementById('copy-link')].concat(layerButtons);
  var linkLine = document.getElementById('link-line');
  var link = document.getElementById('scenario-link');

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
    programTools.forEach(function (button) { button.disabled = !running; });
    buttons.forEach(function (button) { button.disabled = !running; });
    saveButton.disabled = frames === 0;
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
    input.focus();
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
    if (key === 'Escape') return ESC;
    var chars = Array.from(key);
    if (chars.length !== 1) return null;
    var code = chars[0].codePointAt(0);
    return code <= 0xff ? code : null;
  }

  function press(code) {
    if (!running || ended) return;
    call(function () { Module._page_key(code); });
  }

  // The page's texts in the language shown: names of the controls, the values panel's
  // heading, the notes on the address, the end box.
  function applyTexts() {
    texts = allTexts[language];
    document.documentElement.lang = language;
    title = texts.title;
    document.title = title;
    canvas.setAttribute('aria-label', texts.canvasName);
    buttons.forEach(function (button) {
      var name = texts['key:' + button.dataset.key];
      button.setAttribute('aria-label', name);
      button.title = name;
    });
    ['run-pause', 'save-picture', 'download-curves', 'copy-link', 'stability-layer',
      'measured-layer'].forEach(function (id) {
      document.getElementById(id).textContent = texts['tool:' + id];
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

  // Only the lines that changed: a frame should not cost the page a new list.
  function showValues() {
    UTF8ToString(Module._page_values()).split('\n').forEach(function (line, i) {
      var item = values.children[i] || values.appendChild(document.createElement('li'));
      if (item.textContent !== line) item.textContent = line;
    });
  }

  function showEnded() {
    document.getElementById('ended-text').textContent = exitStatus === 0 ? texts.ended
      : texts.endedWithStatus.replace('%s', String(exitStatus));
    if (!endedBox.hidden) return;
    endedBox.hidden = false;
    document.getElementById('start-again').focus();
  }

  // ---- Run / Pause: the program's clock; each tick draws a frame as 's' does.

  function showRun() {
    runButton.setAttribute('aria-pressed', String(runTicket !== 0));
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

  runButton.addEventListener('click', toggleRun);

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

  saveButton.addEventListener('click', savePicture);

  document.getElementById('download-curves').addEventListener('click', function () {
    if (!running) return;
    var table = UTF8ToString(Module._page_curves_csv());
    download(new Blob([table], {type: 'text/csv'}), 'forced-vdp-curves.csv');
  });

  // The link is shown in any case: where the clipboard refuses, it can be copied by hand. A
  // page opened from disk gives a link to a file of this computer: the page says so.
  document.getElementById('copy-link').addEventListener('click', function () {
    if (!running) return;
    var address = location.href.split(/[?#]/)[0] + '?' + UTF8ToString(Module._page_scenario_query());
    link.href = address;
    link.textContent = address;
    linkLine.hidden = false;
    var local = location.protocol === 'file:' ? ' ' + texts.linkLocalFile : '';
    function told(copied) { say((copied ? texts.linkCopied : texts.linkNotCopied) + local); }
    if (!navigator.clipboard) {
      told(false);
      return;
    }
    navigator.clipboard.writeText(address).then(function () { told(true); }, function () { told(false); });
  });

  // The two layers of the characteristic: a toggle each, and F3 / F4 as in the window. Each
  // press draws the next frame, as a view key does.
  function showLayers() {
    layerButtons.forEach(function (button) {
      var shown = Module._page_layer_shown(Number(button.dataset.layer)) !== 0;
      button.setAttribute('aria-pressed', shown ? 'true' : 'false');
    });
  }
  function toggleLayer(layer) {
    if (!running || ended) return;
    call(function () { Module._page_toggle_layer(layer); });
    showLayers();
  }
  layerButtons.forEach(function (button) {
    button.addEventListener('click', function () { toggleLayer(Number(button.dataset.layer)); });
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

  function startAgain(withValues) {
    if (!ended) return;
    ended = false;
    endedBox.hidden = true;
    typed = [];
    reader = null;
    runTicket = 0;
    showRun();
    call(function () { Module._page_start_again(withValues ? 1 : 0); });
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

  function functionKey(key) {
    if (key === 'F1' && running) call(function () { Module._page_key_help(); });
    if (key === 'F2') savePicture();
    if (key === 'F3' || key === 'F4') toggleLayer(key === 'F3' ? 3 : 4);
    if (key === 'F5') toggleRun();
  }

  document.addEventListener('keydown', function (event) {
    if (event.isComposing) return;
    var modified = event.ctrlKey || event.metaKey || event.altKey;
    // F1 to F5 are the program's (key help, save, the two layers, run) and never the
    // browser's (help, find, address bar, reload), wherever the focus is.
    if (!modified && /^F[1-5]$/.test(event.key)) {
      event.preventDefault();
      if (!event.repeat) functionKey(event.key);
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

  buttons.forEach(function (button) {
    var code = keyCode(button.dataset.key);
    if (button.dataset.key !== 's') {
      button.addEventListener('click', function () { press(code); });
      return;
    }
    // A held 's' as a held key: one frame at once, more after HOLD_DELAY_MS while held, on
    // the clock's grid (an interval, not a timeout after each frame).
    var timer = null;
    var repeating = null;
    function release() {
      if (timer !== null) clearTimeout(timer);
      if (repeating !== null) clearInterval(repeating);
      timer = repeating = null;
    }
    function repeat() {
      timer = null;
      press(code);
      repeating = setInterval(function () { press(code); }, HOLD_REPEAT_MS);
    }
    button.addEventListener('pointerdown', function (event) {
      if (event.button !== 0) return;
      event.preventDefault();
      button.setPointerCapture(event.pointerId);
      release();
      press(code);
      timer = setTimeout(repeat, HOLD_DELAY_MS);
    });
    ['pointerup', 'pointercancel', 'lostpointercapture'].forEach(function (name) {
      button.addEventListener(name, release);
    });
    // Enter or space on the focused button: one frame, as a click.
    button.addEventListener('click', function (event) {
      if (event.detail === 0) press(code);
    });
  });
  document.getElementById('keys').addEventListener('contextmenu', function (event) {
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
    showTexts: function (both, shown) {
      allTexts = both;
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
    },
    idle: function () {
      var hadFocus = document.activeElement === input;
      var afterDialog = dialogOpen;
      dialogOpen = false;
      running = !ended;
      input.disabled = true;
      enableControls();
      labelInput();
      // The answers take effect with the next frame; until then the old one shows.
      if (afterDialog && frames > 0 && frames === framesAtDialog) {
        hint.textContent = texts.nextFrameHint;
        hint.hidden = false;
      }
      showValues();
      showLayers();
      if (hadFocus) canvas.focus();
    },
    parameters: function () { return parameters; },
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
  // The canvas's size as laid out, kept rather than read at each frame (a read would force
  // the browser to lay the page out again after each change of the values panel).
  if (window.ResizeObserver) {
    new ResizeObserver(function (entries) {
      cssSide = entries[entries.length - 1].contentRect.width || null;
    }).observe(canvas);
  }

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
    }),
  });
})();
