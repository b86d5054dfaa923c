// The browser's peers of the forms layer's controls: DOM elements placed by their pixel
// rectangles inside the window's 989 x 577 box, which the page scales to fit the view. Labels are
// <div>s, buttons real <button>s, a picture box a <canvas> showing the model's pixels, an image
// control a <canvas> of its picture's pixels. The look is the shell's style sheet (shell.html);
// the elements themselves are made and changed by peers.js.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/picture.h"
#include "forms/backend.h"
#include "forms/web/page.h"

// The peers' script functions, in peers.js.
extern "C" {
// The window's box in the page and its fit to the view; its caption, background and Tab order.
void kepler_window_make(int width, int height);
void kepler_window_title(const char* text, int length);
void kepler_window_background(const char* css, int length);
void kepler_window_tab_order(const int* elements, int count);
void kepler_window_show();
// An element of a class in a container (0: the window), by number.
int kepler_element_make(int container, const char* tag, const char* className, const char* name,
                        int nameLength);
void kepler_element_remove(int element);
void kepler_element_geometry(int element, int x, int y, int width, int height);
void kepler_element_visible(int element, int visible);
void kepler_element_style(int element, const char* property, const char* value, int valueLength);
void kepler_element_class(int element, const char* className, int on);
void kepler_element_text(int element, const char* text, int length);
// Width and height [px] of one line of text in a CSS font, into size[0] and size[1].
void kepler_text_measure(const char* font, int fontLength, const char* text, int length,
                         float* size);
void kepler_button_listen(int element);
void kepler_button_focus(int element);
// A picture box's canvas, and RGBA pixels into it or into an image control's canvas.
void kepler_surface_canvas(int element, int width, int height);
void kepler_canvas_put(int element, int isImage, const std::uint8_t* rgba, int x, int y, int width,
                       int height);
}

namespace forms {
namespace {

constexpr std::string_view kPGothicFace = "Kepler P Gothic";
constexpr std::string_view kHeavyGothicFace = "Kepler Gothic UB";

// The P gothic has no bold face. The desktop thickens its outlines for bold and keeps their
// advances; a browser asked for weight 700 would make up a bold of its own, another in each engine
// (Firefox's is wider, and breaks the hint elsewhere). The page asks for the regular face and
// thickens it as the desktop does (.kepler-bold in the shell's style sheet).
bool Emboldened(const FontSpec& font) {
  return font.family == kPGothic && font.weight >= 700;
}

// A runtime font as CSS writes it, at its pixel size and weight (forms/font.h). The two Japanese
// families map to the page's two subset faces.
std::string CssFont(const FontSpec& font) {
  std::string family;
  if (font.family == kHeavyGothic) {
    family = kHeavyGothicFace;
  } else if (font.family == kPGothic) {
    family = kPGothicFace;
  } else {
    for (const char c : font.family) {
      if (c == '"' || c == '\\') family += '\\';
      family += c;
    }
  }
  const int weight = DrawnBold(font) && !Emboldened(font) ? 700 : 400;
  return std::to_string(weight) + " " + std::to_string(PixelSize(font)) + "px \"" + family +
         "\", sans-serif";
}

void setStyle(int element, const char* property, std::string_view value) {
  kepler_element_style(element, property, value.data(), static_cast<int>(value.size()));
}

// The pixels 0xAARRGGBB of a row-by-row buffer, as the RGBA bytes a canvas takes, little-endian;
// `opaque` ignores the alpha byte, as the desktop's RGB32 drawing does.
void toRgba(const std::uint32_t* argb, int stride, const PixelRect& r, bool opaque,
            std::vector<std::uint32_t>& out) {
  out.resize(static_cast<std::size_t>(r.width) * static_cast<std::size_t>(r.height));
  std::uint32_t* to = out.data();
  for (int y = r.y; y < r.y + r.height; ++y) {
    const std::uint32_t* from = argb + static_cast<std::size_t>(y) * stride + r.x;
    for (int x = 0; x < r.width; ++x) {
      const std::uint32_t p = from[x];
      const std::uint32_t alpha = opaque ? 0xFF000000u : (p & 0xFF000000u);
      *to++ = alpha | ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
    }
  }
}

// The element number of a container peer.
class WebContainer {
 public:
  virtual ~WebContainer() = default;
  virtual int element() const = 0;
};

int elementOf(const ContainerPeer& container) {
  return dynamic_cast<const WebContainer&>(container).element();
}

// An element that goes with its peer.
class Element {
 public:
  Element(int container, const char* tag, const char* className, std::string_view name)
      : id_(kepler_element_make(container, tag, className, name.data(),
                                static_cast<int>(name.size()))) {}
  ~Element() { kepler_element_remove(id_); }
  Element(const Element&) = delete;
  Element& operator=(const Element&) = delete;
  int id() const { return id_; }

 private:
  int id_;
};

template <typename Peer>
class WebControl : public Peer {
 public:
  WebControl(int container, const char* tag, const char* className, std::string_view name)
      : element_(container, tag, className, name) {}
  // A demonstration places its bodies and sets its read-outs at every frame, mostly to what they
  // already are; the element is touched only by a change, so the browser lays out and paints only
  // what moved.
  void setGeometry(const PixelRect& r) override {
    if (placed_ && r.x == rect_.x && r.y == rect_.y && r.width == rect_.width &&
        r.height == rect_.height) {
      return;
    }
    placed_ = true;
    rect_ = r;
    kepler_element_geometry(id(), r.x, r.y, r.width, r.height);
  }
  void setVisible(bool visible) override { kepler_element_visible(id(), visible); }
  int id() const { return element_.id(); }

 protected:
  void showText(std::string_view utf8) {
    if (utf8 == text_) return;
    text_ = utf8;
    kepler_element_text(id(), utf8.data(), static_cast<int>(utf8.size()));
  }

 private:
  Element element_;
  bool placed_ = false;
  PixelRect rect_;
  std::string text_;  // as shown: a new element shows none
};

class WebLabel final : public WebControl<LabelPeer> {
 public:
  WebLabel(int container, const LabelLook& look, std::string_view name)
      : WebControl(container, "div", "kepler-label", name), font_(CssFont(look.font)) {
    setStyle(id(), "font", font_);
    setStyle(id(), "background-color", web::CssColor(look.back));
    setStyle(id(), "color", web::CssColor(look.fore));
    kepler_element_class(id(), "wrap", look.wordWrap);
    kepler_element_class(id(), "centred", look.centred);
    kepler_element_class(id(), "kepler-bold", Emboldened(look.font));
  }
  void setText(std::string_view utf8) override { showText(utf8); }
  TextSize measure(std::string_view utf8) const override {
    float size[2] = {0, 0};
    kepler_text_measure(font_.data(), static_cast<int>(font_.size()), utf8.data(),
                        static_cast<int>(utf8.size()), size);
    return {size[0], size[1]};
  }

 private:
  std::string font_;
};

class WebButton final : public WebControl<ButtonPeer> {
 public:
  WebButton(int container, const FontSpec& font, std::string_view name)
      : WebControl(container, "button", "kepler-button", name) {
    kepler_button_listen(id());
    setStyle(id(), "font", CssFont(font));
    kepler_element_class(id(), "kepler-bold", Emboldened(font));
    setStyle(id(), "color", web::CssColor(systemButtonText()));
    setFaceColor(systemButtonFace());
  }
  ~WebButton() override { web::ForgetClickHandler(id()); }
  void setText(std::string_view utf8) override { showText(utf8); }
  void setFaceColor(Color color) override {
    setStyle(id(), "background-color", web::CssColor(color));
  }
  void setFocus() override { kepler_button_focus(id()); }
  void onClick(std::function<void()> handler) override {
    web::SetClickHandler(id(), std::move(handler));
  }
};

// A picture box: its element holds the canvas, then the labels and images placed in it. The
// changed rectangles wait here until the drawing is flushed, which the event loop does before
// every yield to the browser.
class WebSurface final : public WebControl<SurfacePeer>, public WebContainer {
 public:
  WebSurface(int container, Color back, const std::uint32_t* pixels, int width, int height,
             std::string_view name);
  ~WebSurface() override;
  int element() const override { return id(); }
  void imageChanged(const PixelRect& dirty) override;
  void flush(std::vector<std::uint32_t>& scratch);

 private:
  // Pending rectangles beyond this many are merged into one.
  static constexpr std::size_t kMaxPending = 8;
  const std::uint32_t* pixels_;
  int width_;
  int height_;
  std::vector<PixelRect> pending_;
};

std::vector<WebSurface*>& surfaces() {
  static std::vector<WebSurface*> all;
  return all;
}

WebSurface::WebSurface(int container, Color back, const std::uint32_t* pixels, int width,
                       int height, std::string_view name)
    : WebControl(container, "div", "kepler-surface", name),
      pixels_(pixels),
      width_(std::max(0, width)),
      height_(std::max(0, height)) {
  setStyle(id(), "background-color", web::CssColor(back));
  kepler_surface_canvas(id(), width_, height_);
  kepler_surface_model(id(), pixels_, width_, height_);
  pending_.push_back({0, 0, width_, height_});
  surfaces().push_back(this);
}

WebSurface::~WebSurface() {
  std::erase(surfaces(), this);
}

PixelRect unite(const PixelRect& a, const PixelRect& b) {
  const int left = std::min(a.x, b.x);
  const int top = std::min(a.y, b.y);
  const int right = std::max(a.x + a.width, b.x + b.width);
  const int bottom = std::max(a.y + a.height, b.y + b.height);
  return {left, top, right - left, bottom - top};
}

bool touches(const PixelRect& a, const PixelRect& b) {
  return a.x <= b.x + b.width && b.x <= a.x + a.width && a.y <= b.y + b.height &&
         b.y <= a.y + a.height;
}

// How many times the drawing changed: a picture box's pixels or an image's picture.
unsigned drawingChanges = 0;

void WebSurface::imageChanged(const PixelRect& dirty) {
  ++drawingChanges;
  // Only what lies on the buffer; a rectangle touching a pending one joins it.
  const int left = std::max(dirty.x, 0);
  const int top = std::max(dirty.y, 0);
  const int right = std::min(dirty.x + std::max(dirty.width, 0), width_);
  const int bottom = std::min(dirty.y + std::max(dirty.height, 0), height_);
  if (right <= left || bottom <= top) return;
  PixelRect rect{left, top, right - left, bottom - top};
  for (auto it = pending_.begin(); it != pending_.end();) {
    if (touches(*it, rect)) {
      rect = unite(*it, rect);
      it = pending_.erase(it);
    } else {
      ++it;
    }
  }
  pending_.push_back(rect);
  if (pending_.size() > kMaxPending) {
    PixelRect all = pending_.front();
    for (const PixelRect& r : pending_) all = unite(all, r);
    pending_.assign(1, all);
  }
}

void WebSurface::flush(std::vector<std::uint32_t>& scratch) {
  for (const PixelRect& r : pending_) {
    toRgba(pixels_, width_, r, true, scratch);
    kepler_canvas_put(id(), 0, reinterpret_cast<const std::uint8_t*>(scratch.data()), r.x, r.y,
                      r.width, r.height);
  }
  pending_.clear();
}

class WebImage final : public WebControl<ImagePeer> {
 public:
  WebImage(int surface, std::string_view name) : WebControl(surface, "div", "kepler-image", name) {}
  void setPicture(const kepler::Picture* picture) override {
    ++drawingChanges;
    if (picture == nullptr || picture->width <= 0 || picture->height <= 0 ||
        picture->pixels.size() <
            static_cast<std::size_t>(picture->width) * static_cast<std::size_t>(picture->height)) {
      kepler_canvas_put(id(), 1, nullptr, 0, 0, 0, 0);
      return;
    }
    std::vector<std::uint32_t> rgba;
    toRgba(picture->pixels.data(), picture->width, {0, 0, picture->width, picture->height}, false,
           rgba);
    kepler_canvas_put(id(), 1, reinterpret_cast<const std::uint8_t*>(rgba.data()), 0, 0,
                      picture->width, picture->height);
  }
};

class WebWindow final : public WindowPeer, public WebContainer {
 public:
  WebWindow(int width, int height) {
    web::PreparePage();
    kepler_window_make(width, height);
  }
  int element() const override { return 0; }
  void setTitle(std::string_view utf8) override {
    kepler_window_title(utf8.data(), static_cast<int>(utf8.size()));
  }
  void setBackground(Color color) override {
    const std::string css = web::CssColor(color);
    kepler_window_background(css.data(), static_cast<int>(css.size()));
  }
  void setTabOrder(const std::vector<ButtonPeer*>& buttons) override {
    std::vector<int> elements;
    for (ButtonPeer* button : buttons) elements.push_back(static_cast<WebButton*>(button)->id());
    kepler_window_tab_order(elements.data(), static_cast<int>(elements.size()));
  }
  // Labels lie under the buttons and picture boxes, images above a picture box's labels: the
  // style sheet's layers do it.
  void show() override { kepler_window_show(); }
  // A page has no close button of its own; closing its tab ends everything at once.
  void onClose(std::function<void()>) override {}
};

}  // namespace

namespace web {

void FlushDrawing() {
  static std::vector<std::uint32_t> scratch;
  for (WebSurface* surface : surfaces()) surface->flush(scratch);
}

unsigned DrawingChanges() {
  return drawingChanges;
}

}  // namespace web

std::unique_ptr<WindowPeer> MakeWindowPeer(int clientWidth, int clientHeight) {
  return std::make_unique<WebWindow>(clientWidth, clientHeight);
}

std::unique_ptr<LabelPeer> MakeLabelPeer(ContainerPeer& container, const LabelLook& look,
                                         std::string_view name) {
  return std::make_unique<WebLabel>(elementOf(container), look, name);
}

std::unique_ptr<ButtonPeer> MakeButtonPeer(ContainerPeer& container, const FontSpec& font,
                                           std::string_view name) {
  return std::make_unique<WebButton>(elementOf(container), font, name);
}

std::unique_ptr<SurfacePeer> MakeSurfacePeer(ContainerPeer& container, Color back,
                                             const std::uint32_t* pixels, int width, int height,
                                             std::string_view name) {
  return std::make_unique<WebSurface>(elementOf(container), back, pixels, width, height, name);
}

std::unique_ptr<ImagePeer> MakeImagePeer(SurfacePeer& surface, std::string_view name) {
  return std::make_unique<WebImage>(static_cast<WebSurface&>(surface).id(), name);
}

}  // namespace forms
