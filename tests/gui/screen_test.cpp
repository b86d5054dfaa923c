// What the window shows on the screen against what the model holds, frame by frame through
// sequences of demonstrations: the picture box's own drawing, and each visible image control's
// picture at its place. A trace can be right while the screen is wrong; a body control reused by
// the next demonstration is where that happened.
#include <QPainter>
#include <QScreen>

#include "window_fixture.h"

namespace {

class ScreenTest : public WindowTest {
 protected:
  // The drawing surface as the screen shows it, after the held repaint has gone out.
  QImage onScreen() {
    testing_support::ShowHeldRepaint(window());
    QWidget* surface = forms::qt::WidgetOf(form->Picture1);
    const QImage whole = window()->screen()->grabWindow(window()->winId()).toImage();
    return whole.copy(QRect(surface->mapTo(window(), QPoint(0, 0)), surface->size()))
        .convertToFormat(QImage::Format_RGB32);
  }

  // Compares the screen with the drawing surface as the model holds it: the picture box's buffer,
  // then every visible image control's picture at its place, in stacking order. The pixels of the
  // labels on the surface are not the model's to decide, unless a body lies over them. Returns ""
  // or where they first differ.
  QString compare() {
    QImage model = forms::qt::ImageOf(form->Picture1).convertToFormat(QImage::Format_RGB32);
    QImage bodies(model.size(), QImage::Format_ARGB32);
    bodies.fill(Qt::transparent);
    QRegion labels;
    for (const forms::Label* label : {&form->Label6, &form->Label7, &form->Label11})
      if (label->isVisible()) labels += forms::qt::WidgetOf(*label)->geometry();
    QPainter onModel(&model);
    QPainter onBodies(&bodies);
    for (const forms::ImageControl* body :
         {&form->Image1, &form->Image2, &form->Image4, &form->Image3}) {
      const kepler::Picture& p = body->picture();
      if (!body->isVisible() || p.width <= 0) continue;
      const QImage picture(reinterpret_cast<const uchar*>(p.pixels.data()), p.width, p.height,
                           QImage::Format_ARGB32);
      const QPoint place(forms::toPixel(body->left()), forms::toPixel(body->top()));
      onModel.drawImage(place, picture);
      onBodies.drawImage(place, picture);
    }
    onModel.end();
    onBodies.end();
    const QImage screen = onScreen();
    if (screen.size() != model.size()) return "the surface is shown at another size";
    int wrong = 0;
    QPoint first;
    for (int y = 0; y < model.height(); ++y) {
      for (int x = 0; x < model.width(); ++x) {
        if (screen.pixel(x, y) == model.pixel(x, y) ||
            (labels.contains(QPoint(x, y)) && qAlpha(bodies.pixel(x, y)) == 0))
          continue;
        if (wrong++ == 0) first = QPoint(x, y);
      }
    }
    return wrong == 0 ? QString()
                      : QString::asprintf("%d pixels differ, the first at (%d, %d)", wrong,
                                          first.x(), first.y());
  }
};

}  // namespace

TEST_F(ScreenTest, EveryBodyShowsItsOwnPictureAtItsPlaceThroughSequencesOfDemonstrations) {
  // The inner planets leave Earth, Mercury and Venus in the three body controls that Mars, the
  // comet and Earth and Mars take over next; Mars leaves Image1 to the inner planets' Earth.
  // Two buttons one after the other, compared at every `every`-th wait and after each
  // demonstration's last frame.
  const std::tuple<int, int, int> sequences[] = {{7, 2, 97}, {7, 5, 89}, {7, 6, 173}, {2, 7, 101}};
  for (const auto& [first, second, every] : sequences) {
    restart();
    QStringList faults;
    int playing = 0;
    const auto check = [&](const QString& when) {
      const QString fault = compare();
      if (!fault.isEmpty())
        faults << QStringLiteral("Command1(%1) %2: %3").arg(playing).arg(when, fault);
    };
    clock.onPump = [&] {
      if (clock.pumps() % every == 0) check(QStringLiteral("wait %1").arg(clock.pumps()));
    };
    for (const int button : {first, second}) {
      playing = button;
      click(button);
      check("last frame");
    }
    clock.onPump = nullptr;
    EXPECT_TRUE(faults.isEmpty()) << faults.size() << " frames wrong, e.g. "
                                  << faults.value(0).toStdString();
  }
}
