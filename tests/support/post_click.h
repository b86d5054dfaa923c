#pragma once
// Clicks a button as a mouse click would: the click is posted, and its handler runs when events are
// next pumped (by a wait of the window or the test's own event loop).

#include <QMetaObject>
#include <QPushButton>

#include "forms/command_button.h"
#include "forms/qt/access.h"

namespace testing_support {

inline void PostClick(const forms::CommandButton& button) {
  QMetaObject::invokeMethod(forms::qt::ButtonOf(button), &QPushButton::click, Qt::QueuedConnection);
}

}  // namespace testing_support
