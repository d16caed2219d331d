// The motion in words and as sound in the page. The live region says what the motion does
// when its kind changes, as the program decides (app/describe.h: at most every 3 s, briefly
// for a kind said in full before); the values panel keeps the whole sentence with its numbers.
// The sound is the program's own (app/sound.h), generated in WebAssembly block by block for a
// ScriptProcessorNode: it plays while frames advance (Run, a held 's') and fades when they stop.
// Nothing sounds before the Sound toggle is pressed: the audio context is made by that press.
// Module.voice is what page.js calls: update (after each frame and dialog), toggleSound,
// toggleForce; window.forcedVdpSound a read-only view of the sound for tests.
(function () {
  'use strict';

  // A ScriptProcessorNode rather than an AudioWorklet: it needs no module file beside the one
  // page, and no secure context (a course page on plain http has no AudioWorklet).
  var BLOCK = 2048;            // samples a block: 46 ms at 44.1 kHz
  var ASK_AGAIN_MS = 1000;     // the live region asked again while no frame asks
  var FADE_MS = 60;            // Sound off: the volume falls to 0 before the context closes

  var words = document.getElementById('motion-words');
  var volume = document.getElementById('volume');
  var volumeName = document.getElementById('volume-name');
  var context = null;          // the audio context while the sound is on
  var processor = null;
  var level = null;            // the volume's gain node
  var forceVoice = false;
  var blocks = 0;              // blocks played since the page opened
  var loudBlocks = 0;          // of them, those not silent
  var lastPeak = 0;            // the largest sample of the last block

  function program() {
    return window.forcedVdp;
  }

  // The program waits for keys after its first frame: it may be asked what the motion does.
  function askable() {
    var p = program();
    return p && p.frames > 0 && !p.dialogOpen && !p.ended;
  }

  function speak() {
    if (!askable()) return;
    var said = UTF8ToString(Module._page_motion_words(performance.now()));
    if (said) words.textContent = said;
  }

  function showPressed() {
    var on = {'sound': context !== null, 'force-voice': forceVoice};
    Object.keys(on).forEach(function (id) {
      var button = document.getElementById(id);
      if (button) button.setAttribute('aria-pressed', String(on[id]));
    });
  }

  function nameVolume() {
    var english = document.documentElement.lang === 'en' ? 1 : 0;
    volumeName.textContent = UTF8ToString(Module._page_volume_name(english));
  }

  function fill(event) {
    var out = event.outputBuffer.getChannelData(0);
    var at = Module._page_sound_block(out.length, forceVoice ? 1 : 0, performance.now()) >> 2;
    out.set(HEAPF32.subarray(at, at + out.length));
    var peak = 0;
    for (var i = 0; i < out.length; i++) peak = Math.max(peak, Math.abs(out[i]));
    blocks += 1;
    if (peak > 0) loudBlocks += 1;
    lastPeak = peak;
  }

  function startSound() {
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return;
    try {
      context = new Context({sampleRate: 44100});
    } catch (e) {
      context = new Context();   // the program generates at the context's own rate
    }
    level = context.createGain();
    level.gain.value = Number(volume.value);
    processor = context.createScriptProcessor(BLOCK, 1, 1);
    Module._page_sound_start(context.sampleRate);
    processor.onaudioprocess = fill;
    processor.connect(level);
    level.connect(context.destination);
    context.resume();
  }

  function stopSound() {
    var closing = context, node = processor;
    context = processor = null;
    level.gain.setTargetAtTime(0, closing.currentTime, FADE_MS / 4000);
    setTimeout(function () {
      node.onaudioprocess = null;
      node.disconnect();
      closing.close();
    }, FADE_MS);
  }

  volume.addEventListener('input', function () {
    if (context) level.gain.setTargetAtTime(Number(volume.value), context.currentTime, 0.02);
  });
  new MutationObserver(nameVolume).observe(document.documentElement,
    {attributes: true, attributeFilter: ['lang']});
  setInterval(speak, ASK_AGAIN_MS);

  Module.voice = {
    update: function () {
      if (!volumeName.textContent) nameVolume();
      showPressed();
      speak();
    },
    toggleSound: function () {
      if (context) stopSound();
      else startSound();
      showPressed();
    },
    toggleForce: function () {
      forceVoice = !forceVoice;
      showPressed();
    },
  };

  Object.defineProperty(window, 'forcedVdpSound', {
    value: Object.freeze({
      get state() { return context ? context.state : 'off'; },
      get forceVoice() { return forceVoice; },
      get blocks() { return blocks; },
      get loudBlocks() { return loudBlocks; },
      get lastPeak() { return lastPeak; },
    }),
  });
})();
