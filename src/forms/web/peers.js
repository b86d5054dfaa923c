// The browser's peers of the forms layer's controls, the script side (an Emscripten JS library,
// linked with --js-library; peers.cpp holds the C++ side): DOM elements placed by their pixel
// rectangles inside the window's box, which the page scales to fit the view. A length-delimited
// string from C++ is read with UTF8ToString(pointer, length).

mergeInto(LibraryManager.library, {
  // The window: a box of the client size in #kepler-stage, hidden until shown, and beside it the
  // box that replaces it when the program ends. Both are scaled uniformly to the largest size that
  // fits the view and centred in it, or pinned by ?scale=N at the top left; the page around them
  // takes the window's background colour. The scale is also --kepler-scale, for the dialogs.
  kepler_window_make: function(width, height) {
    const k = Module.kepler;
    let stage = document.getElementById("kepler-stage");
    if (!stage) {
      stage = document.body.appendChild(document.createElement("div"));
      stage.id = "kepler-stage";
    }
    const form = document.createElement("div");
    const ended = document.createElement("div");
    form.className = "kepler-window";
    ended.className = "kepler-ended";
    for (const box of [form, ended]) {
      box.style.width = width + "px";
      box.style.height = height + "px";
      box.hidden = true;
    }
    stage.append(form, ended);
    k.window = {form: form, ended: ended, width: width, height: height};
    k.fit = () => {
      // The lesson strip (lesson_strip.js), when shown, lies below the window and is fitted with
      // it.
      const strip = k.strip && k.strip.shown && !form.hidden ? k.strip : null;
      if (k.strip) k.strip.element.hidden = !strip;
      const layoutHeight = height + (strip ? strip.height : 0);
      const viewWidth = document.documentElement.clientWidth;
      const viewHeight = document.documentElement.clientHeight;
      const scale = k.scale || Math.min(viewWidth / width, viewHeight / layoutHeight);
      const left = k.scale ? 0 : Math.round((viewWidth - width * scale) / 2);
      const top = k.scale ? 0 : Math.round((viewHeight - layoutHeight * scale) / 2);
      const transform = "translate(" + left + "px," + top + "px) scale(" + scale + ")";
      form.style.transform = transform;
      ended.style.transform = transform;
      if (strip) {
        strip.element.style.transform =
            "translate(" + left + "px," + (top + height * scale) + "px) scale(" + scale + ")";
      }
      document.documentElement.style.setProperty("--kepler-scale", scale);
    };
    addEventListener("resize", k.fit);
  },

  // The window's caption is kept on its box; the tab keeps the page's own title, the program's
  // name.
  kepler_window_title: function(text, length) {
    Module.kepler.window.form.dataset.caption = UTF8ToString(text, length);
  },

  kepler_window_background: function(css, length) {
    const color = UTF8ToString(css, length);
    Module.kepler.window.form.style.backgroundColor = color;
    document.documentElement.style.backgroundColor = color;
  },

  // The DOM order of the buttons is the Tab order (and a screen reader's reading order); their
  // places are absolute, so moving them in the DOM moves nothing on the screen.
  kepler_window_tab_order: function(elements, count) {
    const k = Module.kepler;
    for (let i = 0; i < count; ++i) {
      const button = k.elements[HEAP32[(elements >> 2) + i]];
      button.parentNode.appendChild(button);
    }
  },

  // Shows the window and notes the time of the first frame that holds it (window.keplerFirstFrame,
  // [ms] since the page began to load).
  kepler_window_show: function() {
    const k = Module.kepler;
    k.window.form.hidden = false;
    k.fit();
    if (k.focusOnShow) k.elements[k.focusOnShow].focus();
    k.focusOnShow = 0;
    requestAnimationFrame(() => {
      if (window.keplerFirstFrame === undefined) window.keplerFirstFrame = performance.now();
    });
  },

  // An element of a class in a container (0: the window), absolutely placed.
  kepler_element_make: function(container, tag, className, name, nameLength) {
    const k = Module.kepler;
    const parent = container ? k.elements[container] : k.window.form;
    const element = document.createElement(UTF8ToString(tag));
    element.className = UTF8ToString(className);
    element.dataset.control = UTF8ToString(name, nameLength);
    parent.appendChild(element);
    return k.add(element);
  },

  kepler_element_remove: function(element) {
    const k = Module.kepler;
    k.elements[element].remove();
    k.elements[element] = null;
  },

  // An image control, which a demonstration moves at every frame, is placed by a transform: moving
  // it then needs no layout, and on its own layer no repaint either.
  kepler_element_geometry: function(element, x, y, width, height) {
    const target = Module.kepler.elements[element];
    const style = target.style;
    if (target.classList.contains("kepler-image")) {
      style.transform = "translate(" + x + "px," + y + "px)";
    } else {
      style.left = x + "px";
      style.top = y + "px";
    }
    style.width = Math.max(0, width) + "px";
    style.height = Math.max(0, height) + "px";
  },

  kepler_element_visible: function(element, visible) {
    Module.kepler.elements[element].style.display = visible ? "" : "none";
  },

  kepler_element_style: function(element, property, value, valueLength) {
    const k = Module.kepler;
    k.elements[element].style.setProperty(UTF8ToString(property), UTF8ToString(value, valueLength));
  },

  kepler_element_class: function(element, className, on) {
    Module.kepler.elements[element].classList.toggle(UTF8ToString(className), !!on);
  },

  // The text of a label, or of a button's caption: its <span> shown, and its spoken form (without
  // the spaces that spread it out for the eye) for a screen reader.
  kepler_element_text: function(element, text, length) {
    const k = Module.kepler;
    const target = k.elements[element];
    const value = UTF8ToString(text, length);
    if (target.tagName == "BUTTON") {
      target.firstChild.textContent = value;
      target.lastChild.textContent = k.spoken(value);
    } else {
      target.textContent = value;
    }
  },

  // Width and height [px] of one line of text in a CSS font, trailing blanks included: the advance
  // and the font's ascent plus descent, as a canvas measures them.
  kepler_text_measure: function(font, fontLength, text, length, size) {
    const k = Module.kepler;
    k.measure = k.measure ||
                document.createElement("canvas").getContext("2d", {willReadFrequently: true});
    k.measure.font = UTF8ToString(font, fontLength);
    const metrics = k.measure.measureText(UTF8ToString(text, length));
    HEAPF32[size >> 2] = metrics.width;
    HEAPF32[(size >> 2) + 1] = metrics.fontBoundingBoxAscent + metrics.fontBoundingBoxDescent;
  },

  // A button queues its clicks (mouse, Space, Enter) for the C++ side and wakes the wait in
  // flight; its caption is a <span>, so that a pressed button can move it. A screen reader reads
  // the caption from a second one, out of sight, that holds it as spoken (see
  // kepler_element_text): its name is its content, so what a reader says and the caption shown
  // cannot part.
  kepler_button_listen: function(element) {
    const k = Module.kepler;
    const button = k.elements[element];
    button.type = "button";
    button.appendChild(document.createElement("span")).setAttribute("aria-hidden", "true");
    button.appendChild(document.createElement("span")).className = "kepler-spoken";
    k.guardEnter(button);
    button.addEventListener("click", () => {
      if (k.ended) return;
      k.clicks.push(element);
      Module.keplerWait.wake();
    });
  },

  // A hidden element cannot take the focus: the window gives its first button the focus before it
  // shows, so the focus waits for the show.
  kepler_button_focus: function(element) {
    const k = Module.kepler;
    if (k.window.form.hidden) {
      k.focusOnShow = element;
    } else {
      k.elements[element].focus();
    }
  },

  // A picture box's canvas, of its pixel buffer's size, under whatever the box holds. The window's
  // first picture box is the drawing, an image with a name (page.js); the others are backgrounds.
  // Every canvas of the page is read back often (by tests) and is drawn with putImageData alone, so
  // it is made for reading: WebKitGTK's accelerated canvas crashes now and then otherwise.
  kepler_surface_canvas: function(element, width, height) {
    const k = Module.kepler;
    const canvas = document.createElement("canvas");
    canvas.width = width;
    canvas.height = height;
    canvas.className = "kepler-drawing";
    const box = k.elements[element];
    if (!k.drawing && box.parentNode == k.window.form) {
      k.drawing = canvas;
      canvas.setAttribute("role", "img");
      canvas.setAttribute("aria-label", k.drawingName);
    } else {
      canvas.setAttribute("aria-hidden", "true");
    }
    box.prepend(canvas);
    box.keplerContext = canvas.getContext("2d", {willReadFrequently: true});
  },

  // RGBA pixels, row by row, into a canvas at (x, y): a picture box's drawing (`canvas` 0) or an
  // image control's picture, whose canvas then takes the pixels' size.
  kepler_canvas_put: function(element, isImage, rgba, x, y, width, height) {
    const box = Module.kepler.elements[element];
    let context = box.keplerContext;
    if (isImage) {
      const canvas = box.firstChild || box.appendChild(document.createElement("canvas"));
      canvas.width = width;
      canvas.height = height;
      context = canvas.getContext("2d", {willReadFrequently: true});
    }
    if (width > 0 && height > 0) {
      const pixels = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
      context.putImageData(new ImageData(pixels, width, height), x, y);
    }
  },
});
