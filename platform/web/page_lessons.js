// The Lessons panel, opened by the Lessons toggle among the tools: the list of lessons, then one
// step at a time: its question, the choices of a prediction as buttons, and once one is chosen
// the answer with why and what to look at, the step's scenario opening then as its address
// opens it; Back, Next, All lessons and Leave. The address keeps the lesson and the step shown
// (history.replaceState), so that it can be sent as it stands; Leave keeps the values and puts
// their own address there. The texts are the program's (app/lessons.h), in the page's
// language. Module.lessons is what page.js calls: start (once the controls are built), toggle.
(function () {
  'use strict';

  var RETRY_MS = 100;                // a step chosen while frames advance opens after them
  var KEPT = 'forced-vdp-lesson';    // sessionStorage: a choice made while a dialog asked,
                                     // kept across the reload that opens its step

  var panel = document.getElementById('lessons');
  var more = document.getElementById('more');
  var texts = null;      // the panel's own texts in the page's language, by name
  var lessons = [];      // {id, title, summary, steps: [{right, question, why, look, choices}]}
  var view = null;       // null: closed; {list: true}; or {lesson, step (from 1), chosen (-1: none)}
  var opened = null;     // "lesson/step" of the scenario the program runs, as the panel opened it

  function english() {
    return document.documentElement.lang === 'en';
  }

  function load() {
    texts = {};
    lessons = [];
    UTF8ToString(Module._page_lessons(english() ? 1 : 0)).split('\n').forEach(function (line) {
      var field = line.split('\t');
      if (field[0] === 'text') texts[field[1]] = field[2];
      if (field[0] === 'lesson') lessons.push({id: field[1], title: field[2], summary: field[3], steps: []});
      if (field[0] === 'step') {
        lessons[lessons.length - 1].steps.push({right: Number(field[1]), question: field[2],
          why: field[3], look: field[4], choices: field.slice(5)});
      }
    });
  }

  // text with its "%s" places filled in order, as the program's fill_text does.
  function fill(text, values) {
    values.forEach(function (value) { text = text.replace('%s', String(value)); });
    return text;
  }

  function element(tag, text, attributes) {
    var made = document.createElement(tag);
    if (text !== undefined) made.textContent = text;
    Object.keys(attributes || {}).forEach(function (name) { made.setAttribute(name, attributes[name]); });
    return made;
  }

  function button(text, press, attributes) {
    var made = element('button', text, attributes);
    made.type = 'button';
    made.addEventListener('click', press);
    return made;
  }

  // The address: a page opened from disk may refuse a new one, and keeps its own.
  function address(query) {
    try {
      history.replaceState(history.state, '', location.pathname + (query ? '?' + query : ''));
    } catch (e) {
      return;
    }
  }

  function stepQuery(i, k) {
    return 'lesson=' + encodeURIComponent(lessons[i].id) + '&step=' + k + (english() ? '&lang=en' : '');
  }

  // #more scrolled, and nothing else (the keys and the console keep their places), so that
  // shown is in sight from its top.
  function bringIntoSight(shown) {
    var box = more.getBoundingClientRect();
    var r = shown.getBoundingClientRect();
    if (r.top < box.top || r.bottom > box.bottom) more.scrollTop += r.top - box.top;
  }

  function listParts() {
    var list = element('ol', undefined, {'class': 'lesson-list'});
    lessons.forEach(function (lesson, i) {
      var item = element('li');
      item.appendChild(button(lesson.id + '. ' + lesson.title, function () { showStep(i, 1); },
        {'aria-describedby': 'lesson-summary-' + i}));
      item.appendChild(element('p', lesson.summary, {id: 'lesson-summary-' + i}));
      list.appendChild(item);
    });
    return [element('h2', texts.heading, {id: 'lessons-heading', tabindex: '-1'}), list];
  }

  function stepParts() {
    var lesson = lessons[view.lesson];
    var step = lesson.steps[view.step - 1];
    var parts = [
      element('h2', fill(texts.place, [lesson.id, lesson.title, view.step, lesson.steps.length]),
        {id: 'lessons-heading', tabindex: '-1'}),
      element('p', step.question, {id: 'lesson-question'}),
      element('p', texts.choose, {'class': 'lesson-hint'}),
    ];
    var choices = element('div', undefined, {role: 'group', 'aria-labelledby': 'lesson-question',
      'class': 'lesson-choices'});
    step.choices.forEach(function (choice, j) {
      choices.appendChild(button(choice, function () { choose(j); }, {'aria-pressed': String(j === view.chosen)}));
    });
    parts.push(choices);
    if (view.chosen >= 0) {
      var said = view.chosen === step.right ? texts.right : fill(texts.wrong, [step.choices[step.right]]);
      var answer = element('div', undefined, {id: 'lesson-answer', tabindex: '-1'});
      answer.appendChild(element('p', said + ' ' + step.why));
      answer.appendChild(element('p', fill(texts.look, [step.look])));
      parts.push(answer);
    }
    var moves = element('div', undefined, {'class': 'lesson-moves'});
    if (view.step > 1) moves.appendChild(button(texts.back, function () { showStep(view.lesson, view.step - 1); }));
    if (view.step < lesson.steps.length) {
      moves.appendChild(button(texts.next, function () { showStep(view.lesson, view.step + 1); }));
    }
    moves.appendChild(button(texts.list, showList));
    moves.appendChild(button(texts.leave, leave, {title: texts.leaveHelp}));
    parts.push(moves);
    return parts;
  }

  // The panel as view says, then the focus on what focus selects in it: the keyboard's and the
  // screen reader's place follows each move.
  function render(focus) {
    var toggle = document.getElementById('lesson');
    if (toggle) toggle.setAttribute('aria-expanded', String(view !== null));
    panel.hidden = view === null;
    if (view === null) return;
    if (!texts) load();
    panel.replaceChildren.apply(panel, view.list ? listParts() : stepParts());
    var target = focus && panel.querySelector(focus);
    if (!target) return;
    target.focus({preventScroll: true});
    bringIntoSight(target);
  }

  function showList() {
    view = {list: true};
    render('#lessons-heading');
  }

  function showStep(i, k) {
    view = {lesson: i, step: k, chosen: -1};
    address(stepQuery(i, k));
    render('#lessons-heading');
  }

  // The step's scenario, as its address opens it. While a dialog asks the program can start no
  // run: the page opens the step's address then, the choice kept for the panel after it.
  function openScenario(i, k) {
    var key = i + '/' + k;
    if (document.getElementById('scene').hidden) return;   // no WebGL: no picture to open on
    if (window.forcedVdp.dialogOpen) {
      try {
        sessionStorage.setItem(KEPT, JSON.stringify({key: key, chosen: view.chosen}));
      } catch (e) {
        // Without storage the step opens all the same; only the choice is asked again.
      }
      location.assign('?' + stepQuery(i, k));
      return;
    }
    opened = key;
    (function attempt() {
      if (opened !== key) return;   // another step opened meanwhile
      if (!Module.page.startRun(function () { Module._page_open_lesson(i, k); })) setTimeout(attempt, RETRY_MS);
    })();
  }

  function choose(j) {
    view.chosen = j;
    if (opened !== view.lesson + '/' + view.step) openScenario(view.lesson, view.step);
    render('#lesson-answer');
  }

  // Out of the lesson, the run and its values as they are: the address becomes the scenario's.
  function leave() {
    var inStep = view !== null && !view.list;
    Module._page_leave_lesson();
    view = null;
    opened = null;
    if (inStep && window.forcedVdp.frames > 0) address(UTF8ToString(Module._page_scenario_query()));
    render();
    document.getElementById('lesson').focus({preventScroll: true});
  }

  // The choice made before the reload that opened step key, if that is the step shown now.
  function keptChoice(key) {
    try {
      var kept = JSON.parse(sessionStorage.getItem(KEPT));
      sessionStorage.removeItem(KEPT);
      return kept && kept.key === key ? kept.chosen : -1;
    } catch (e) {
      return -1;
    }
  }

  new MutationObserver(function () {
    texts = null;
    if (view !== null) render();
  }).observe(document.documentElement, {attributes: true, attributeFilter: ['lang']});

  // A fresh start (Start again) leaves the lesson.
  document.getElementById('start-again').addEventListener('click', function () {
    if (view !== null) leave();
  });

  Module.lessons = {
    // The lesson the address opened (its scenario runs already), or the list it asked for.
    start: function () {
      var open = Module._page_lesson_open();
      if (open === 0) return render();
      load();
      if (open < 0) {
        view = {list: true};
        return render();
      }
      var i = open - 1;
      var k = Module._page_lesson_step();
      opened = i + '/' + k;
      view = {lesson: i, step: k, chosen: keptChoice(opened)};
      render();
      bringIntoSight(panel);
    },
    toggle: function () {
      if (view !== null) leave();
      else showList();
    },
  };
})();
