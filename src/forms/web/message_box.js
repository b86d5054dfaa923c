// The message boxes' script side (an Emscripten JS library; message_box.cpp holds the C++ side).

mergeInto(LibraryManager.library, {
  // A box with a title strip, the prompt and a button for each line of `captions` (an "&" in a
  // caption marks its access key, pressed with or without Alt, and is not shown); the default
  // button has the focus, Escape presses the escape button. Gives the index of the button pressed.
  kepler_box_show__deps: ["$Asyncify"],
  kepler_box_show: function(title, titleLength, prompt, promptLength, captionLines,
                            captionsLength, defaultButton, escapeButton) {
    return Asyncify.handleAsync(async () => {
      const k = Module.kepler;
      const dialog = document.createElement("dialog");
      dialog.className = "kepler-box";
      const heading = dialog.appendChild(document.createElement("div"));
      heading.className = "kepler-box-title";
      heading.textContent = UTF8ToString(title, titleLength);
      const text = dialog.appendChild(document.createElement("p"));
      text.textContent = UTF8ToString(prompt, promptLength);
      const row = dialog.appendChild(document.createElement("div"));
      row.className = "kepler-box-buttons";
      const captions = UTF8ToString(captionLines, captionsLength).split("\n");
      const answer = await new Promise(resolve => {
        const buttons = captions.map((caption, i) => {
          const button = row.appendChild(document.createElement("button"));
          button.type = "button";
          button.className = "kepler-button";
          const face = button.appendChild(document.createElement("span"));
          face.textContent = caption.replace("&", "");
          button.addEventListener("click", () => resolve(i));
          k.guardEnter(button);
          return button;
        });
        // By the key's place too: Alt with a letter types another character on some keyboards.
        const keys = captions.map(caption => {
          const at = caption.indexOf("&");
          return at < 0 ? "" : caption.charAt(at + 1).toUpperCase();
        });
        dialog.addEventListener("keydown", event => {
          if (event.ctrlKey || event.metaKey || event.repeat) return;
          const i = keys.findIndex(key => key && (event.key.toUpperCase() == key ||
                                                  event.code == "Key" + key));
          if (i < 0) return;
          event.preventDefault();
          buttons[i].click();
        });
        dialog.addEventListener("cancel", event => {
          event.preventDefault();
          buttons[escapeButton].click();
        });
        document.body.appendChild(dialog);
        dialog.showModal();
        buttons[defaultButton].focus();
      });
      dialog.close();
      dialog.remove();
      return answer;
    });
  },
});
