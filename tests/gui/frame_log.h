#pragma once
// Reads an animation's frames back from the operation trace: each wait starts a frame, and the
// body placement that follows it, with the read-out and gauge shown at that moment, completes it.

#include <QRegularExpression>
#include <QStringList>

#include <vector>

namespace testing_support {

struct TracedFrame {
  int wait = 0;
  QString readOut;     // Label11 as shown when the body was placed
  float gaugeEnd = 0;  // right end of the yellow gauge box then
  float left = 0;      // Image1 placement
  float top = 0;
  bool placed = false;
};

inline std::vector<TracedFrame> TracedFrames(const QStringList& lines,
                                             const QString& body = "Image1") {
  std::vector<TracedFrame> frames;
  QString readOut;
  float gauge = 0;
  static const QRegularExpression caption(QStringLiteral("^Label11 Caption \"(.*)\"$"));
  static const QRegularExpression yellow(
      QStringLiteral("^Picture1 BoxFill 580 30 (\\S+) 50 65535$"));
  for (const QString& line : lines) {
    if (line.startsWith(QStringLiteral("Form1 Wait "))) {
      frames.push_back({});
      frames.back().wait = line.mid(11).toInt();
    } else if (auto m = caption.match(line); m.hasMatch()) {
      readOut = m.captured(1);
    } else if (auto g = yellow.match(line); g.hasMatch()) {
      gauge = g.captured(1).toFloat();
    } else if (!frames.empty() && line.startsWith(body + QStringLiteral(" Left "))) {
      frames.back().left = line.section(' ', 2).toFloat();
    } else if (!frames.empty() && line.startsWith(body + QStringLiteral(" Top "))) {
      frames.back().top = line.section(' ', 2).toFloat();
      frames.back().readOut = readOut;
      frames.back().gaugeEnd = gauge;
      frames.back().placed = true;
    }
  }
  return frames;
}

}  // namespace testing_support
