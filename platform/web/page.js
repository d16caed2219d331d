// The page around the program: the console panel and its input line, the keyboard and the
// on-screen keys, the messages of the page itself, and window.forcedVdp, the read-only view
// of the program's progress for tests and for pages that embed this one.
(function () {
  'use strict';

  var ESC = 27;
  var HOLD_REPEAT_MS = 33;   // a held on-screen 's' draws about 30 frames a second
  var RUN_INTERVAL_MS = 33;  // Run: 30 frames a second, each as if 's' were pressed

  var canvas = document.getElementById('scene');
  var output = document.getElementById('console-output');
  var form = document.getElementById('console-form');
  var input = document.getElementById('console-input');
  var status = document.getElementById('status');
  var buttons = Array.prototype.slice.call(document.querySelectorAll('#keys button[data-key]'));
  var runButton = document.getElementById('run-pause');
  var programTools = [runButton, document.getElementById('download-curves'),
    document.getElementById('copy-link')];
  var linkLine = document.getElementById('link-line');
  var link = document.getElementById('scenario-link');

  var frames = 0;             // frames drawn so far
  var ended = false;          // the program has exited
  var dialogOpen = false;     // the console dialog waits for input
  var running = false;        // the start dialog is over and no dialog is open
  var title = '';             // the program's title
  var typed = [];             // bytes of submitted lines that the program has not read yet
  var reader = null;          // the program's read, asleep until a line comes
  var encoder = new TextEncoder();
  var decoders = {};          // per output stream: UTF-8 sequences may arrive split
  var runTimer = null;        // the timer of Run while the motion runs by itself
  var parameters = Array.from(new URLSearchParams(location.search));

  function say(text) {
    status.textContent = text;
    status.hidden = false;
  }

  function show(text) {
    var last = output.lastChild;
    if (last && last.nodeType === Node.TEXT_NODE) last.appendData(text);
    else output.appendChild(document.createTextNode(text));
    output.scrollTop = output.scrollHeight;
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

  // The tools that ask the program for something work only while it waits for keys.
  function enableTools() {
    programTools.forEach(function (button) { button.disabled = !running; });
  }

  function openDialog() {
    dialogOpen = true;
    running = false;
    input.disabled = false;
    enableTools();
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
    try {
      Module._page_key(code);
    } catch (e) {
      if (e !== 'unwind') throw e;
    }
  }

  function stopRun() {
    if (runTimer !== null) clearInterval(runTimer);
    runTimer = null;
    runButton.setAttribute('aria-pressed', 'false');
  }

  // Each tick is an 's'; a dialog key stops the program's run, and with it this timer.
  function runTick() {
    if (ended || (running && !Module._page_running())) {
      stopRun();
      return;
    }
    press('s'.charCodeAt(0));
  }

  runButton.addEventListener('click', function () {
    if (!running) return;
    if (Module._page_toggle_run()) {
      runTimer = setInterval(runTick, RUN_INTERVAL_MS);
      runButton.setAttribute('aria-pressed', 'true');
    } else {
      stopRun();
    }
  });

  function download(blob, name) {
    var anchor = document.createElement('a');
    anchor.href = URL.createObjectURL(blob);
    anchor.download = name;
    document.body.appendChild(anchor);
    anchor.click();
    anchor.remove();
    setTimeout(function () { URL.revokeObjectURL(anchor.href); }, 10000);
  }

  function two(n) { return (n < 10 ? '0' : '') + n; }

  document.getElementById('save-picture').addEventListener('click', function () {
    var now = new Date();
    var name = 'forced-vdp-' + now.getFullYear() + two(now.getMonth() + 1) + two(now.getDate()) +
        '-' + two(now.getHours()) + two(now.getMinutes()) + two(now.getSeconds()) + '.png';
    canvas.toBlob(function (blob) { download(blob, name); }, 'image/png');
  });

  document.getElementById('download-curves').addEventListener('click', function () {
    if (!running) return;
    var table = UTF8ToString(Module._page_curves_csv());
    download(new Blob([table], {type: 'text/csv'}), 'forced-vdp-curves.csv');
  });

  document.getElementById('copy-link').addEventListener('click', function () {
    if (!running) return;
    var address = location.href.split(/[?#]/)[0] + '?' + UTF8ToString(Module._page_scenario_query());
    link.href = address;
    link.textContent = address;
    linkLine.hidden = false;
    // Shown in any case: where the clipboard is not offered, the link can be copied by hand.
    if (navigator.clipboard) navigator.clipboard.writeText(address).catch(function () {});
  });

  // The two layers of the characteristic: a toggle each, and F3 / F4 as in the window. Each
  // press draws the next frame, as a view key does.
  var layerButtons = Array.prototype.slice.call(document.querySelectorAll('#tools button.layer'));
  programTools = programTools.concat(layerButtons);
  function showLayers() {
    layerButtons.forEach(function (button) {
      var shown = Module._page_layer_shown(Number(button.dataset.layer)) !== 0;
      button.setAttribute('aria-pressed', shown ? 'true' : 'false');
    });
  }
  function toggleLayer(layer) {
    if (!running || ended) return;
    try {
      Module._page_toggle_layer(layer);
    } catch (e) {
      if (e !== 'unwind') throw e;
    }
    showLayers();
  }
  layerButtons.forEach(function (button) {
    button.addEventListener('click', function () { toggleLayer(Number(button.dataset.layer)); });
  });
  document.addEventListener('keydown', function (event) {
    if (event.key !== 'F3' && event.key !== 'F4') return;
    event.preventDefault();   // not the browser's find or address bar
    toggleLayer(event.key === 'F3' ? 3 : 4);
  });

  form.addEventListener('submit', function (event) {
    event.preventDefault();
    if (!dialogOpen) return;
    var text = input.value;
    input.value = '';
    submitLine(text);
  });

  document.addEventListener('keydown', function (event) {
    if (event.target === input || event.isComposing) return;
    if (event.ctrlKey || event.metaKey || event.altKey) return;
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
    var timer = null;
    function release() {
      if (timer !== null) clearInterval(timer);
      timer = null;
    }
    button.addEventListener('pointerdown', function (event) {
      event.preventDefault();
      button.setPointerCapture(event.pointerId);
      release();
      press(code);
      timer = setInterval(function () { press(code); }, HOLD_REPEAT_MS);
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
      input.disabled = true;
      stopRun();
      enableTools();
      buttons.forEach(function (button) { button.disabled = true; });
      say((code === 0 ? 'プログラムは終了しました。' : 'プログラムは終了しました（終了コード ' + code + '）。') +
          'もう一度始めるには、このページを再読み込みしてください。 ' +
          'The program has ended; reload the page to start again.');
    },
    setTitle: function (text) {
      title = text;
      document.title = text;
    },
    noWebgl: function () {
      say('このブラウザーでは WebGL が使えないため、図を描けません。' +
          'WebGL を有効にするか、別のブラウザーで開いてください。 ' +
          'This browser offers no WebGL, so the picture cannot be drawn; ' +
          'enable WebGL or open the page in another browser.');
      canvas.hidden = true;
    },
    frameDrawn: function () {
      frames += 1;
    },
    idle: function () {
      var hadFocus = document.activeElement === input;
      dialogOpen = false;
      running = !ended;
      input.disabled = true;
      enableTools();
      showLayers();
      if (hadFocus) canvas.focus();
    },
    say: say,
    parameters: function () { return parameters; },
  };

  enableTools();

  Module.onAbort = function () {
    ended = true;
    running = false;
    say('プログラムがエラーで止まりました。ページを再読み込みしてください。 ' +
        'The program stopped with an error; reload the page.');
  };

  Object.defineProperty(window, 'forcedVdp', {
    value: Object.freeze({
      get frames() { return frames; },
      get ended() { return ended; },
      get dialogOpen() { return dialogOpen; },
      get title() { return title; },
      get running() { return runTimer !== null; },
    }),
  });
})();
