// Functions of the page's script that the browser backend calls from C++ (an Emscripten JS
// library, linked with --js-library): the focus rule of the window.

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
});
