#pragma once
// A started window on lesson time over a virtual clock, in a working directory of the test's
// choosing: the asset folder (the program's nine files) or a copy of it.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include "forms/lesson_clock.h"
#include "forms/qt/color.h"
#include "gui_support.h"
#include "window/form1.h"

namespace testing_support {

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previousDir_ = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QStringLiteral(KEPLER_ASSET_DIR)));
    restart();
  }
  void TearDown() override {
    form.reset();
    ClearApplicationExit();
    QDir::setCurrent(previousDir_);
  }
  // A fresh program in the same folder, after one that may have ended.
  void restart() {
    form.reset();
    ClearApplicationExit();
    form = std::make_unique<Form1>(lessonClock);
    form->Form_Load();
    form->show();
  }
  forms::qt::ScaledWindow* window() { return forms::qt::WidgetOf(form->window()); }
  // Buttons by number: 0..7 Command1(i), 8 Command2, 9 Command3.
  forms::CommandButton& button(int i) {
    return i == 8 ? form->Command2 : i == 9 ? form->Command3 : form->Command1(i);
  }
  // Runs the handler of a button as a click does.
  void click(int i) { forms::qt::ButtonOf(button(i))->click(); }
  // A click whose error lines on stderr are kept out of the test's output and handed back.
  std::string quietClick(int i) {
    testing::internal::CaptureStderr();
    click(i);
    return testing::internal::GetCapturedStderr();
  }
  // The trace of one click.
  QStringList traceOf(int i) {
    TraceRecorder trace;
    click(i);
    return trace.lines();
  }
  // A click posted `delay` ms of virtual time from now, inside whichever wait gets there.
  void clickLater(std::uint32_t delay, int i) {
    clock.after(delay, [this, i] { PostClick(button(i)); });
  }
  // Moves to a copy of the asset folder whose files a test may change.
  void useCopyOfAssets() {
    for (const QString& name : QDir(QStringLiteral(KEPLER_ASSET_DIR)).entryList(QDir::Files))
      ASSERT_TRUE(QFile::copy(QStringLiteral(KEPLER_ASSET_DIR "/") + name, copy_.filePath(name)));
    ASSERT_TRUE(QDir::setCurrent(copy_.path()));
  }

  VirtualClock clock;
  // What the window reads, as in the program: lesson time on the virtual clock. Untouched, it
  // reads the virtual clock as it is.
  forms::LessonClock lessonClock{clock};
  ModalAnswerer modal;
  std::unique_ptr<Form1> form;

 private:
  QString previousDir_;
  QTemporaryDir copy_;
};

}  // namespace testing_support

using testing_support::TraceRecorder;
using testing_support::WindowTest;
