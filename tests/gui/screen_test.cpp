// What the window shows on the screen against what the model holds, frame by frame through
// sequences of demonstrations: the picture box's own drawing, and each visible image control's
// picture at its place. A trace can be right while the screen is wrong; a body control reused by
// the next demonstration is where that happened.
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <string>
#include <vector>

#include "forms/qt/access.h"
#include "repaints.h"
#include "window_fixture.h"

using testing_support::WindowTest;

namespace {

QImage ToQImage(const kepler::Picture& picture) {
  QImage image(picture.width, picture.height, QImage::Format_ARGB32);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      image.setPixel(x, y, picture.pixels[static_cast<std::size_t>(y * picture.width + x)]);
    }
  }
  return image;
}

class ScreenTest : public WindowTest {
 protected:
  forms::qt::ScaledWindow* window() { return forms::qt::WidgetOf(form->window()); }

  // The drawing surface as the model holds it: the picture box's buffer, then every visible
  // image control's picture at its place, in stacking order. `shown` marks the pixels the model
  // decides: all but those of the labels on the surface, unless a body lies over them.
  QImage modelled(QImage& shown) {
    QImage image = forms::qt::ImageOf(form->Picture1).convertToFormat(QImage::Format_RGB32);
    shown = QImage(image.size(), QImage::Format_Grayscale8);
    shown.fill(255);
    for (const forms::Label* label : {&form->Label6, &form->Label7, &form->Label11}) {
      if (!label->isVisible()) continue;
      const QRect place = forms::qt::WidgetOf(*label)->geometry() & shown.rect();
      for (int y = place.top(); y <= place.bottom(); ++y) {
        std::fill_n(shown.scanLine(y) + place.left(), place.width(), 0);
      }
    }
    QPainter painter(&image);
    for (const forms::ImageControl* body :
         {&form->Image1, &form->Image2, &form->Image4, &form->Image3}) {
      if (!body->isVisible() || body->picture().width <= 0) continue;
      const QImage picture = ToQImage(body->picture());
      const QPoint place(forms::toPixel(body->left()), forms::toPixel(body->top()));
      painter.drawImage(place, picture);
      // The body's opaque pixels are the model's wherever they lie.
      for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
          const QPoint at = place + QPoint(x, y);
          if (qAlpha(picture.pixel(x, y)) != 0 && shown.rect().contains(at)) {
            shown.scanLine(at.y())[at.x()] = 255;
          }
        }
      }
    }
    return image;
  }

  // The drawing surface as the screen shows it, after the held repaint has gone out.
  QImage onScreen() {
    testing_support::ShowHeldRepaint(window());
    QWidget* surface = forms::qt::WidgetOf(form->Picture1);
    const QImage whole = window()->screen()->grabWindow(window()->winId()).toImage();
    return whole.copy(QRect(surface->mapTo(window(), QPoint(0, 0)), surface->size()))
        .convertToFormat(QImage::Format_RGB32);
  }

  // Compares the screen with the model; returns "" or where they first differ.
  std::string compare() {
    QImage shown;
    const QImage model = modelled(shown);
    const QImage screen = onScreen();
    if (screen.size() != model.size()) return "the surface is shown at another size";
    int wrong = 0;
    QPoint first;
    for (int y = 0; y < model.height(); ++y) {
      for (int x = 0; x < model.width(); ++x) {
        if (shown.constScanLine(y)[x] == 0 || screen.pixel(x, y) == model.pixel(x, y)) continue;
        if (wrong++ == 0) first = QPoint(x, y);
      }
    }
    if (wrong == 0) return "";
    if (!qEnvironmentVariableIsEmpty("KEPLER_SCREEN_DUMP")) {
      model.save(qEnvironmentVariable("KEPLER_SCREEN_DUMP") + "/model.png");
      screen.save(qEnvironmentVariable("KEPLER_SCREEN_DUMP") + "/screen.png");
    }
    return std::to_string(wrong) + " pixels differ, the first at (" + std::to_string(first.x()) +
           ", " + std::to_string(first.y()) + ")";
  }

  // Plays the buttons one after another, comparing at every `every`-th wait and after each
  // demonstration's last frame; returns the comparisons that failed.
  std::vector<std::string> play(std::initializer_list<int> buttons, int every) {
    std::vector<std::string> faults;
    int demonstration = 0;
    clock.onPump = [&] {
      if (clock.pumps() % every != 0) return;
      if (std::string fault = compare(); !fault.empty()) {
        faults.push_back("Command1(" + std::to_string(demonstration) + ") wait " +
                         std::to_string(clock.pumps()) + ": " + fault);
      }
    };
    for (const int button : buttons) {
      demonstration = button;
      click(form->Command1(button));
      if (std::string fault = compare(); !fault.empty()) {
        faults.push_back("Command1(" + std::to_string(button) + ") last frame: " + fault);
      }
    }
    clock.onPump = nullptr;
    return faults;
  }
};

}  // namespace

TEST_F(ScreenTest, EveryBodyShowsItsOwnPictureAtItsPlaceThroughSequencesOfDemonstrations) {
  // The inner planets leave Earth, Mercury and Venus in the three body controls that Mars, the
  // comet and Earth and Mars take over next; Mars leaves Image1 to the inner planets' Earth.
  const struct {
    std::initializer_list<int> buttons;
    int every;
  } sequences[] = {{{7, 2}, 97}, {{7, 5}, 89}, {{7, 6}, 173}, {{2, 7}, 101}};
  for (const auto& sequence : sequences) {
    restart();
    const std::vector<std::string> faults = play(sequence.buttons, sequence.every);
    EXPECT_TRUE(faults.empty()) << faults.size() << " frames wrong, e.g. " << faults.front();
  }
}
