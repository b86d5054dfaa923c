// Functions of the page's script that the browser backend calls from C++ (an Emscripten JS
// library, linked with --js-library): the focus rule of the window, and what a test of the page
// may look at on the virtual clock.

mergeInto(LibraryManager.library, {
  // On the desktop only a button takes the focus: a press on the drawing, a label or the margin
  // leaves it on the last focused button, so Enter, Space or a presenter's remote still clicks
  // it. In a page such a press would move the focus to the body; it is refused here.
  kepler_page_keep_focus: function() {
    document.addEventListener("mousedown", event => {
      const target = event.target;
      if (!(target instanceof Element && target.closest("button"))) event.preventDefault();
    }, true);
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
});
