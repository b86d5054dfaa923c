// The lesson strip's script (an Emscripten JS library; lesson_strip.cpp builds the strip from
// the lesson's texts): the strip's elements below the window, its presses and the lesson keys
// queued for the C++ side like the window's clicks, PageDown and PageUp, and the remembered
// choice of showing it.

mergeInto(LibraryManager.library, {
  // The strip, hidden until the window shows (the window's fit places it, see peers.js), and the
  // page's key listener. A key the lesson knows is queued as the click of its code (a negative
  // number, never an element's) and ends the wait in flight; the C++ side decides what it does
  // now, as the desktop does. Keys with Ctrl, Alt or Meta, held keys' repeats, and keys while a
  // message box is open or after the end are not the lesson's.
  kepler_strip_make: function(name, keysHelp, shown) {
    const k = Module.kepler;
    const strip = document.createElement("div");
    strip.className = "kepler-strip";
    strip.setAttribute("role", "group");
    strip.setAttribute("aria-label", UTF8ToString(name));
    strip.title = UTF8ToString(keysHelp);
    strip.style.width = k.window.width + "px";
    strip.hidden = true;
    // Its buttons take no focus: Enter, Space and a presenter's remote still press the window's
    // last focused button.
    strip.addEventListener("mousedown", event => event.preventDefault());
    k.window.form.after(strip);
    k.strip = {element: strip, height: 50, shown: !!shown, keys: new Map()};

    // A presenter's remote: PageDown and PageUp move the focus to the next or previous of the
    // window's buttons in Tab order, round from the last to the first.
    const moveFocus = step => {
      const buttons = [...k.window.form.querySelectorAll("button")]
                          .filter(button => !button.disabled && button.offsetParent !== null);
      if (!buttons.length) return;
      const at = buttons.indexOf(document.activeElement);
      const next = at < 0 ? (step > 0 ? 0 : buttons.length - 1)
                          : (at + step + buttons.length) % buttons.length;
      buttons[next].focus();
    };
    document.addEventListener("keydown", event => {
      if (k.ended || k.window.form.hidden || event.ctrlKey || event.altKey || event.metaKey ||
          event.isComposing || document.querySelector("dialog[open]")) {
        return;
      }
      if (event.key == "PageDown" || event.key == "PageUp") {
        event.preventDefault();
        moveFocus(event.key == "PageDown" ? 1 : -1);
        return;
      }
      const keys = k.strip.keys;
      let code = keys.get(event.key.length == 1 ? event.key.toUpperCase() : event.key);
      // A letter by its place too, whatever the keyboard's layout types there.
      if (code === undefined && /^Key[A-Z]$/.test(event.code)) code = keys.get(event.code[3]);
      if (code === undefined) return;
      event.preventDefault();
      if (event.repeat) return;
      k.clicks.push(code);
      Module.keplerWait.wake();
    });
  },

  // The remembered choice: 1 shown, 0 hidden, -1 none. localStorage may be missing or throw (a
  // file:// page in some browsers, private windows, storage turned off): then nothing is
  // remembered and the strip shows.
  kepler_strip_remembered: function() {
    // A touch device without a mouse or trackpad (an iPad on its own) most likely has no keyboard
    // either, and could never bring back a strip hidden at an earlier visit, since only the H key
    // shows it again: there the strip shows at every start.
    if (navigator.maxTouchPoints > 0 && !matchMedia("(any-pointer: fine)").matches) return -1;
    try {
      const value = localStorage.getItem("kepler-laws.lesson-strip");
      return value == "shown" ? 1 : value == "hidden" ? 0 : -1;
    } catch {
      return -1;
    }
  },

  // A button of the strip named by `name` (its words without the symbol) for a screen reader;
  // a press queues its element number like a window button's click.
  kepler_strip_button: function(caption, name) {
    const k = Module.kepler;
    const button = document.createElement("button");
    const element = k.add(button);
    button.type = "button";
    button.className = "kepler-button";
    button.tabIndex = -1;
    button.setAttribute("aria-label", UTF8ToString(name));
    button.appendChild(document.createElement("span")).textContent = UTF8ToString(caption);
    button.addEventListener("click", () => {
      if (k.ended) return;
      k.clicks.push(element);
      Module.keplerWait.wake();
    });
    k.strip.element.appendChild(button);
    return element;
  },

  // A text of the strip, by its kind: 0 a plain text; 1 the state, which a screen reader reads
  // out when it changes; 2 the areas of the sectors, which change every frame and are not read
  // out by themselves. The last two stand at the strip's right end.
  kepler_strip_text: function(text, kind) {
    const k = Module.kepler;
    const span = k.strip.element.appendChild(document.createElement("span"));
    span.textContent = UTF8ToString(text);
    if (kind == 1) {
      span.className = "kepler-strip-state";
      span.setAttribute("role", "status");
      span.setAttribute("aria-live", "polite");
    } else {
      span.className = kind == 2 ? "kepler-strip-state kepler-strip-area" : "kepler-strip-text";
    }
    return k.add(span);
  },

  kepler_strip_hidden: function(element, hidden) {
    Module.kepler.elements[element].hidden = !!hidden;
  },

  kepler_strip_space: function() {
    Module.kepler.strip.element.appendChild(document.createElement("span")).className =
        "kepler-strip-space";
  },

  kepler_strip_key: function(key, code) {
    Module.kepler.strip.keys.set(UTF8ToString(key), code);
  },

  // A new text (a button's caption), name or enabled state; a null text or name stays.
  kepler_strip_update: function(element, text, name, enabled) {
    const target = Module.kepler.elements[element];
    const isButton = target.tagName == "BUTTON";
    if (text) {
      const shown = isButton ? target.firstChild : target;
      const value = UTF8ToString(text);
      if (shown.textContent != value) shown.textContent = value;
    }
    if (name) target.setAttribute("aria-label", UTF8ToString(name));
    if (isButton) target.disabled = !enabled;
  },

  // Shows or hides the strip, remembers the choice and fits the window to the view again.
  kepler_strip_shown: function(shown) {
    const k = Module.kepler;
    if (k.strip.shown == !!shown) return;
    k.strip.shown = !!shown;
    try {
      localStorage.setItem("kepler-laws.lesson-strip", shown ? "shown" : "hidden");
    } catch {
      // Not remembered; the page goes on as chosen.
    }
    k.fit();
  },
});
