#pragma once
// What every control of the forms runtime shares: a name, and Left/Top/Width/Height held as the
// single-precision model values and shown through the backend's peer at the nearest pixel. Every
// change is traced. The control owns its peer; it knows nothing of the platform that shows it.

#include <memory>
#include <string>

#include "forms/backend.h"

namespace forms {

class Control {
 public:
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& name() const { return name_; }
  // The backend's side of the control (tests reach the platform's widget through it).
  ControlPeer& peer() const { return *peer_; }

  float left() const { return left_; }
  float top() const { return top_; }
  float width() const { return width_; }
  float height() const { return height_; }
  void setLeft(float value);
  void setTop(float value);
  void setWidth(float value);
  void setHeight(float value);

  bool isVisible() const { return visible_; }
  void setVisible(bool visible);

 protected:
  explicit Control(std::string name) : name_(std::move(name)) {}
  // Takes the peer the derived control made; called once, in the derived constructor.
  void attachPeer(std::unique_ptr<ControlPeer> peer) { peer_ = std::move(peer); }
  // Sets the model values without tracing (construction, auto size, natural picture size).
  void setGeometryQuietly(float left, float top, float width, float height);
  void setSizeQuietly(float width, float height);
  void trace(std::string_view operation) const;
  // Shows the model geometry through the peer.
  virtual void applyGeometry();

 private:
  void setDimension(float& field, const char* property, float value);

  std::string name_;
  std::unique_ptr<ControlPeer> peer_;
  float left_ = 0;
  float top_ = 0;
  float width_ = 0;
  float height_ = 0;
  bool visible_ = true;
};

// The nearest pixel of a single-precision coordinate.
int toPixel(float value);

// The model's place and size in whole pixels, as the peer shows them; sizes never negative.
PixelRect PixelGeometry(float left, float top, float width, float height);

}  // namespace forms
