// The program's system interface in the page: standard input from the input line (the
// program sleeps, through Asyncify, until a line is there), standard output into the console
// panel, the process exit, and what platform/web/page_script.h declares. Module.page is the
// page's script (page.js).
mergeInto(LibraryManager.library, {
  // Standard input only: the program opens no files. The bytes of the lines typed so far are
  // handed over at once; with none there the program sleeps until the next line.
  fd_read__sig: 'iiiii',
  fd_read: function (fd, iov, iovcnt, pnum) {
    if (fd !== 0) return 8;   // EBADF
    return Asyncify.handleSleep(function (wakeUp) {
      Module.page.whenInput(function (take) {
        var total = 0;
        for (var i = 0; i < iovcnt; i++) {
          var base = HEAPU32[(iov + 8 * i) >> 2];
          var length = HEAPU32[(iov + 8 * i + 4) >> 2];
          var got = take(HEAPU8.subarray(base, base + length));
          total += got;
          if (got < length) break;
        }
        HEAPU32[pnum >> 2] = total;
        wakeUp(0);
      });
    });
  },

  // Standard output and error, as bytes: the panel decodes them as UTF-8.
  fd_write__sig: 'iiiii',
  fd_write__deps: [],
  fd_write__postset: '',
  fd_write: function (fd, iov, iovcnt, pnum) {
    var total = 0;
    for (var i = 0; i < iovcnt; i++) {
      var base = HEAPU32[(iov + 8 * i) >> 2];
      var length = HEAPU32[(iov + 8 * i + 4) >> 2];
      Module.page.write(fd, HEAPU8.slice(base, base + length));
      total += length;
    }
    HEAPU32[pnum >> 2] = total;
    return 0;
  },

  // exit() and _exit(): the program has ended; nothing of it runs again.
  exit__sig: 'vi',
  exit: function (code) {
    Module.page.exited(code);
    throw 'unwind';
  },
  proc_exit__sig: 'vi',
  proc_exit: function (code) {
    Module.page.exited(code);
    throw 'unwind';
  },

  page_show_texts: function (japanese, english, controls, inEnglish) {
    function table(texts) {
      var names = {notes: []};
      UTF8ToString(texts).split('\n').forEach(function (line) {
        var tab = line.indexOf('\t');
        if (tab <= 0) return;
        var name = line.slice(0, tab), text = line.slice(tab + 1);
        if (name === 'note') names.notes.push(text);
        else names[name] = text;
      });
      return names;
    }
    // A row per line, as platform/web/page.cpp writes them; its index is the row's in the table.
    var rows = UTF8ToString(controls).split('\n').filter(Boolean).map(function (line, index) {
      var field = line.split('\t');
      return {index: index, name: field[0], code: Number(field[1]), key: field[2], cap: field[3],
        kind: field[4], acts: field[5] === '1', label: {ja: field[6], en: field[8]},
        help: {ja: field[7], en: field[9]}};
    });
    Module.page.showTexts({ja: table(japanese), en: table(english)}, rows, inEnglish ? 'en' : 'ja');
  },

  page_report_no_webgl: function () {
    Module.page.noWebgl();
  },

  page_frame_drawn: function () {
    Module.page.frameDrawn();
  },

  page_idle: function () {
    Module.page.idle();
  },

  page_run_now: function () {
    Module.page.runNow();
  },

  page_parameter_count: function () {
    return Module.page.parameters().length;
  },

  page_parameter_size: function (i, part) {
    return lengthBytesUTF8(Module.page.addressPart(i, part)) + 1;
  },

  page_parameter: function (i, part, text, size) {
    stringToUTF8(Module.page.addressPart(i, part), text, size);
  },

  page_advance_frames: function (frames) {
    Module.page.advance(frames);
  },

  page_fit_canvas: function (pixelsPerCssPixel) {
    var fit = Module.page.fitCanvas();
    HEAPF32[pixelsPerCssPixel >> 2] = fit.scale;
    return fit.side;
  },
});
