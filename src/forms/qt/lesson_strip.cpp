#include "forms/qt/lesson_strip.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSettings>

#include <optional>

#include "forms/font.h"
#include "forms/form_window.h"
#include "forms/lesson.h"
#include "forms/lesson_symbols.h"
#include "forms/qt/access.h"
#include "forms/qt/color.h"
#include "forms/qt/fonts.h"
#include "forms/qt/peer_widget.h"

namespace forms::qt {
namespace {

constexpr FontSpec kStripFont{kPGothic, 10.5, 400};
const QString kShownKey = QStringLiteral("lesson/strip");

QSettings Settings() {
  return QSettings(QStringLiteral("kepler-laws"), QStringLiteral("kepler-laws"));
}

// The lesson key of a key press, if it is one: letters and symbols as typed, without Ctrl or Alt.
std::optional<LessonKey> LessonKeyOf(const QKeyEvent& event) {
  if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return {};
  switch (event.key()) {
    case Qt::Key_P:
      return LessonKey::P;
    case Qt::Key_B:
      return LessonKey::B;
    case Qt::Key_S:
      return LessonKey::S;
    case Qt::Key_R:
      return LessonKey::R;
    case Qt::Key_H:
      return LessonKey::H;
    case Qt::Key_A:
      return LessonKey::A;
    case Qt::Key_Right:
      return LessonKey::Right;
    default:
      break;
  }
  const QString text = event.text();
  if (text == QLatin1String(".")) return LessonKey::Period;
  if (text == QLatin1String("+") || text == QLatin1String("=")) return LessonKey::Plus;
  if (text == QLatin1String("-")) return LessonKey::Minus;
  return {};
}

}  // namespace

// The strip's widget, placed and scaled as a control of the window; it also filters the
// application's key presses for the window's lesson keys, ahead of the focused button.
class LessonStripPeer final : public QObject, public PeerWidget {
 public:
  LessonStripPeer(ScaledWindow* window, Lesson& lesson);
  ~LessonStripPeer() override;
  void refresh();
  void showStrip(bool shown);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPushButton* addButton(QHBoxLayout* row, const QString& text, const QString& name,
                         LessonAction action);

  ScaledWindow* window_;
  Lesson& lesson_;
  QPushButton* pause_ = nullptr;
  QPushButton* step_ = nullptr;
  QLabel* rate_ = nullptr;
  QLabel* state_ = nullptr;
  QPushButton* sectors_ = nullptr;
  QPushButton* sectorCount_ = nullptr;
  QLabel* area_ = nullptr;
  std::optional<bool> shown_;
};

LessonStripPeer::LessonStripPeer(ScaledWindow* window, Lesson& lesson)
    : PeerWidget(new QWidget(window)), window_(window), lesson_(lesson) {
  QWidget* strip = widget();
  strip->setObjectName(QStringLiteral("LessonStrip"));
  strip->setAccessibleName(QStringLiteral("授業用の操作"));
  strip->setToolTip(QString::fromUtf8(Lesson::KeysHelp()));
  strip->setAutoFillBackground(true);
  auto* row = new QHBoxLayout(strip);
  row->setContentsMargins(6, 4, 6, 4);
  row->setSpacing(6);
  pause_ = addButton(row, {}, QStringLiteral("一時停止"), LessonAction::PauseOrResume);
  step_ = addButton(row, QString::fromUtf8(kStepSymbol) + QStringLiteral(" コマ送り"),
                    QStringLiteral("コマ送り"), LessonAction::Step);
  row->addSpacing(8);
  row->addWidget(new QLabel(QStringLiteral("速さ"), strip));
  addButton(row, QStringLiteral("－"), QStringLiteral("遅く"), LessonAction::Slower)
      ->setFixedWidth(36);
  rate_ = new QLabel(strip);
  rate_->setAlignment(Qt::AlignCenter);
  rate_->setMinimumWidth(36);
  row->addWidget(rate_);
  addButton(row, QStringLiteral("＋"), QStringLiteral("速く"), LessonAction::Faster)
      ->setFixedWidth(36);
  row->addSpacing(8);
  addButton(row, QString::fromUtf8(kStopSymbol) + QStringLiteral(" 停止"), QStringLiteral("停止"),
            LessonAction::Stop);
  addButton(row, QString::fromUtf8(kReplaySymbol) + QStringLiteral(" もう一度"),
            QStringLiteral("もう一度"), LessonAction::Replay);
  row->addSpacing(4);
  sectors_ = addButton(row, {}, QStringLiteral("面積速度"), LessonAction::ToggleSectors);
  sectorCount_ = addButton(row, {}, QStringLiteral("等分の数"), LessonAction::NextSectorCount);
  sectorCount_->setFixedWidth(56);
  row->addStretch(1);
  area_ = new QLabel(strip);
  area_->setMinimumWidth(200);  // "火星 面積 10.00 % ／ 前 10.00 %" without moving the buttons
  row->addWidget(area_);
  // Named by its own text, so that a screen reader hears each new state and speed.
  state_ = new QLabel(strip);
  row->addWidget(state_);
  addButton(row, QString::fromUtf8(kHideSymbol) + QStringLiteral(" 隠す"),
            QStringLiteral("操作の帯を隠す"), LessonAction::ToggleStrip);
  setFont(ToQFont(kStripFont));
  showRect({0, 577, 989, LessonStrip::kHeight});
  lesson_.changed = [this] { refresh(); };
  lesson_.areaChanged = [this] { area_->setText(QString::fromStdString(lesson_.areaText())); };
  qApp->installEventFilter(this);
  refresh();
}

LessonStripPeer::~LessonStripPeer() {
  lesson_.changed = nullptr;
  lesson_.areaChanged = nullptr;
}

QPushButton* LessonStripPeer::addButton(QHBoxLayout* row, const QString& text, const QString& name,
                                        LessonAction action) {
  auto* button = new QPushButton(text, widget());
  button->setAccessibleName(name);
  // The window's buttons keep the keyboard: Space and Enter still press the focused one.
  button->setFocusPolicy(Qt::NoFocus);
  QObject::connect(button, &QPushButton::clicked, this, [this, action] { lesson_.act(action); });
  row->addWidget(button);
  return button;
}

void LessonStripPeer::refresh() {
  pause_->setText(QString::fromUtf8(lesson_.pauseCaption()));
  pause_->setAccessibleName(lesson_.paused() ? QStringLiteral("再開") : QStringLiteral("一時停止"));
  step_->setEnabled(lesson_.paused());
  rate_->setText(QString::fromUtf8(Lesson::RateText(lesson_.rateIndex())));
  state_->setText(QString::fromUtf8(lesson_.stateText()));
  sectors_->setText(QString::fromStdString(lesson_.sectorsCaption()));
  sectorCount_->setText(QString::fromStdString(lesson_.sectorCountCaption()));
  sectorCount_->setAccessibleName(sectorCount_->text());
  // While the sectors show, their areas take the state's place; the buttons show the state.
  area_->setVisible(lesson_.sectorsShown());
  state_->setVisible(!lesson_.sectorsShown());
  if (shown_ != lesson_.stripShown()) showStrip(lesson_.stripShown());
}

void LessonStripPeer::showStrip(bool shown) {
  shown_ = shown;
  widget()->setVisible(shown);
  window_->setLogicalSize(QSize(989, 577 + (shown ? LessonStrip::kHeight : 0)));
  QSettings settings = Settings();
  if (settings.value(kShownKey, true).toBool() != shown) settings.setValue(kShownKey, shown);
}

bool LessonStripPeer::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  auto* target = qobject_cast<QWidget*>(watched);
  if (!target || target->window() != window_) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  // A presenter's remote: PageDown and PageUp move between the buttons as Tab and Shift+Tab do.
  if (key->key() == Qt::Key_PageDown || key->key() == Qt::Key_PageUp) {
    QKeyEvent tab(QEvent::KeyPress, key->key() == Qt::Key_PageDown ? Qt::Key_Tab : Qt::Key_Backtab,
                  key->key() == Qt::Key_PageDown ? Qt::NoModifier : Qt::ShiftModifier);
    QApplication::sendEvent(target, &tab);
    return true;
  }
  const std::optional<LessonKey> lessonKey = LessonKeyOf(*key);
  if (!lessonKey) return false;
  const std::optional<LessonAction> action = lesson_.actionOf(*lessonKey);
  if (!action) return false;
  if (!key->isAutoRepeat()) lesson_.act(*action);
  return true;
}

LessonStrip::LessonStrip(FormWindow& window, Lesson& lesson) {
  lesson.restoreStripShown(Settings().value(kShownKey, true).toBool());
  peer_ = std::make_unique<LessonStripPeer>(WidgetOf(window), lesson);
}

LessonStrip::~LessonStrip() = default;

}  // namespace forms::qt
