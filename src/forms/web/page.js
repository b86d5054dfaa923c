// Functions of the page's script that the browser backend calls from C++ (an Emscripten JS
// library, linked with --js-library): the page's script state and options, the trace sink, the
// focus rule of the window, what a screen reader hears, and what a test of the page may look at
// on the virtual clock.

mergeInto(LibraryManager.library, {
  // Module.kepler: elements by number (0 is no element), clicks queued by the buttons' listeners
  // as element numbers for the C++ side to dispatch, and the options. A queued click ends the
  // wait in flight.
  kepler_page_prepare: function() {
    if (Module.kepler) return;
    const query = new URLSearchParams(location.search);
    const scale = Number(query.get("scale"));
    const k = Module.kepler = {
      elements: [null],
      clicks: [],
      ended: false,
      trace: query.has("trace"),
      virtualClock: query.get("clock") == "virtual",
      // ?scale=N pins the window at N times its size, at the top left; otherwise it fills the view.
      scale: scale > 0 && scale <= 16 ? scale : 0,
      add: element => k.elements.push(element) - 1,
      // Enter clicks a focused button once, as on the desktop: not again while it is held, and not
      // with Ctrl, Alt or Meta.
      guardEnter: element => element.addEventListener("keydown", event => {
        const held = event.repeat || event.ctrlKey || event.altKey || event.metaKey;
        if (event.key == "Enter" && held) event.preventDefault();
      }),
    };
    if (k.trace) window.keplerTrace = [];
    Module.keplerWait.pending = () => k.clicks.length > 0;
    // Safari on iPad shows :active (a pressed button sunken) only where a touch listener exists.
    document.addEventListener("touchstart", () => {}, {passive: true});
  },

  // A colour of the program's for the page's style sheet: a custom property of the document.
  kepler_page_color: function(property, css, length) {
    document.documentElement.style.setProperty(UTF8ToString(property), UTF8ToString(css, length));
  },

  kepler_page_virtual_clock: function() {
    return Module.kepler.virtualClock;
  },

  kepler_page_trace: function() {
    return Module.kepler.trace;
  },

  kepler_page_trace_line: function(line, length) {
    window.keplerTrace.push(performance.now().toFixed(3) + " kepler.forms: " +
                            UTF8ToString(line, length));
  },

  kepler_page_error_line: function(line, length) {
    console.error(UTF8ToString(line, length));
  },

  // On the desktop only a button takes the focus: a press on the drawing, a label or the margin
  // leaves it on the last focused button, so Enter, Space or a presenter's remote still clicks
  // it. In a page such a press would move the focus to the body; it is refused here.
  kepler_page_keep_focus: function() {
    document.addEventListener("mousedown", event => {
      const target = event.target;
      if (!(target instanceof Element && target.closest("button"))) event.preventDefault();
    }, true);
  },

  // What a screen reader hears. The captions and read-outs are spaced out for the eye (「お  わ
  // り」, 「　内 惑 星 の 運 動　」), which a reader spells letter by letter; k.spoken(text) is the
  // text without those spaces: a space is kept only between two ASCII characters. A polite live
  // region, out of sight, says when a click's handler starts to run over time (its first wait: a
  // demonstration) and when it returns, then with the read-outs (the texts of the labels on the
  // picture boxes); never a frame. The window's first picture box is the drawing: its canvas is
  // an image named after what was drawn last. The tab keeps the program's name as its title; the
  // window's caption is kept on the window's box (data-caption).
  kepler_page_accessible: function() {
    const k = Module.kepler;
    k.spoken = text => text.replace(/\s+/g, (gap, at, whole) =>
        /[!-~]/.test(whole.charAt(at - 1)) && /[!-~]/.test(whole.charAt(at + gap.length)) ? " "
                                                                                           : "");
    const region = document.createElement("div");
    region.className = "kepler-announce";
    region.setAttribute("role", "status");
    region.setAttribute("aria-live", "polite");
    document.body.appendChild(region);
    k.drawingName = "惑星の運動の図";
    k.nameDrawing = name => {
      if (k.drawing) k.drawing.setAttribute("aria-label", k.drawingName + "：「" + name + "」");
    };
    k.announce = text => {
      if (!k.ended) region.textContent = text;
    };
    // The name of a click: a window button's caption; a lesson control or key that plays
    // something (もう一度) plays the demonstration started last, so it takes that one's name.
    k.clickName = element => {
      const target = element > 0 ? k.elements[element] : null;
      const inWindow = target && target.tagName == "BUTTON" && k.window.form.contains(target);
      return inWindow ? target.lastChild.textContent : k.lastStarted;
    };
  },

  // A click's handler waits for the first time: it started something that runs over time.
  kepler_page_click_started: function(element) {
    const k = Module.kepler;
    const name = k.clickName(element);
    if (!name) return;
    k.lastStarted = name;
    k.nameDrawing(name);
    k.announce("「" + name + "」が始まりました。");
  },

  // A click's handler returned: `waited`, it had been announced as started; `drew`, it changed
  // the drawing.
  kepler_page_click_returned: function(element, waited, drew) {
    const k = Module.kepler;
    const name = k.clickName(element);
    if (!name) return;
    if (drew) k.nameDrawing(name);
    if (!waited) return;
    const readOuts = [...k.window.form.querySelectorAll(".kepler-surface > .kepler-label")]
                         .filter(label => label.style.display != "none")
                         .map(label => k.spoken(label.textContent))
                         .filter(text => text);
    k.announce(["「" + name + "」が終わりました。"].concat(readOuts).join(" "));
  },

  // With ?clock=virtual, a test may hold the clock at a wait: set Module.kepler.holdAt to a trace
  // line count and the first wait that finds at least that many lines stays until holdAt is moved
  // on or deleted; Module.kepler.holding says whether a wait is holding now. The drawing has been
  // copied to the screen and nothing changes meanwhile.
  kepler_page_held: function() {
    const k = Module.kepler;
    k.holding = k.holdAt !== undefined && (window.keplerTrace || []).length >= k.holdAt;
    return k.holding;
  },

  // With ?clock=virtual, a picture box's element gives a test the model's own drawing:
  // element.keplerModel() is {width, height, argb} with the buffer's pixels 0xAARRGGBB.
  kepler_surface_model: function(element, pixels, width, height) {
    const k = Module.kepler;
    if (!k.virtualClock) return;
    k.elements[element].keplerModel = () => ({
      width: width,
      height: height,
      argb: HEAPU32.slice(pixels >> 2, (pixels >> 2) + width * height),
    });
  },

  // The oldest queued click's element number, taken off the queue; 0 when none is queued.
  kepler_next_click: function() {
    const clicks = Module.kepler.clicks;
    return clicks.length ? clicks.shift() : 0;
  },

  // The window gives way to a line saying the program has ended and a link that opens the page
  // anew (a page cannot close its own tab). window.keplerExitCode holds the program's status. The
  // link leaves out the URL's fragment: a link to the page's own URL with one (a school's page may
  // link to kepler-laws.html#lesson3) would only scroll, never load the page again.
  kepler_page_end: function(exitCode, line, lineLength, again, againLength) {
    const k = Module.kepler;
    k.ended = true;
    k.clicks.length = 0;
    window.keplerExitCode = exitCode;
    if (!k.window) return;
    const text = document.createElement("p");
    text.textContent = UTF8ToString(line, lineLength);
    const link = document.createElement("a");
    const url = new URL(location.href);
    url.hash = "";
    link.href = url.href;
    link.textContent = UTF8ToString(again, againLength);
    k.window.ended.replaceChildren(text, link);
    k.window.form.hidden = true;
    k.window.ended.hidden = false;
    k.fit();
    link.focus();
  },
});
