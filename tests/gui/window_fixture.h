#pragma once
// A started window on lesson time over a virtual clock, in a working directory of the test's
// choosing: the asset folder (the program's nine files) or an empty folder.

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include "forms/lesson_clock.h"
#include "forms/qt/access.h"
#include "forms/qt/color.h"
#include "modal.h"
#include "trace_recorder.h"
#include "virtual_clock.h"
#include "window/form1.h"

namespace testing_support {

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previousDir_ = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QStringLiteral(KEPLER_ASSET_DIR)));
    start();
  }
  void TearDown() override {
    form.reset();
    ClearApplicationExit();
    QDir::setCurrent(previousDir_);
  }
  void start() {
    form = std::make_unique<Form1>(lessonClock);
    form->Form_Load();
    form->show();
  }
  // A fresh program in the same folder, after one that may have ended.
  void restart() {
    form.reset();
    ClearApplicationExit();
    start();
  }
  // Runs the handler of a button as a click does.
  void click(forms::CommandButton& button) { forms::qt::ButtonOf(button)->click(); }
  // Moves to an empty working directory, where no file of the program exists.
  void useEmptyFolder() { ASSERT_TRUE(QDir::setCurrent(emptyDir_.path())); }
  // Moves to a copy of the asset folder whose files a test may change.
  void useCopyOfAssets() {
    for (const QString& name : QDir(QStringLiteral(KEPLER_ASSET_DIR)).entryList(QDir::Files)) {
      ASSERT_TRUE(
          QFile::copy(QStringLiteral(KEPLER_ASSET_DIR "/") + name, emptyDir_.filePath(name)));
    }
    ASSERT_TRUE(QDir::setCurrent(emptyDir_.path()));
  }

  VirtualClock clock;
  // What the window reads, as in the program: lesson time on the virtual clock. Untouched, it
  // reads the virtual clock as it is.
  forms::LessonClock lessonClock{clock};
  ModalAnswerer modal;
  std::unique_ptr<Form1> form;

 private:
  QString previousDir_;
  QTemporaryDir emptyDir_;
};

}  // namespace testing_support
