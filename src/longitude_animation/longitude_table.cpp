// Reading a data file of longitudes and distances into LongitudeTable, field by field, as the
// runtime's sequential input did.
#include <QDir>
#include <QFileInfo>

#include <cmath>
#include <fstream>

#include "core/field_reader.h"
#include "core/runtime_error.h"
#include "forms/trace.h"
#include "window/form1.h"

namespace {

[[noreturn]] void dataFileError(const QString& fileName, const QString& cause) {
  throw kepler::RuntimeError(
      QStringLiteral("データファイル \"%1\" を読み込めません: %2（検索したフォルダー: %3）")
          .arg(fileName, cause, QDir::currentPath())
          .toStdString());
}

QString openFailure(const QString& fileName) {
  const QFileInfo info(fileName);
  if (!info.exists()) return QStringLiteral("ファイルが見つかりません");
  if (info.isDir()) return QStringLiteral("ファイルではなくフォルダーです");
  if (!info.isReadable()) return QStringLiteral("ファイルを読み取る権限がありません");
  return QStringLiteral("ファイルを開けません");
}

const char* const kFieldNames[3] = {"先頭の項目", "経度", "距離"};

constexpr forms::Color kBlack = forms::RGB(0, 0, 0);
constexpr forms::Color kSunYellow = forms::RGB(255, 255, 0);

}  // namespace

// The recorded planet's ellipse is centred right of the Sun at (300, 250), which stands at its
// left focus; FocusX holds the centre here.
void Form1::DrawDataOrbits(double semiMajorAxis, double eccentricity,
                           std::initializer_list<double> circles) {
  SemiMajorAxis = semiMajorAxis;
  Eccentricity = eccentricity;
  FocusX = Eccentricity * SemiMajorAxis + 300;
  FocusY = 250;
  Picture1.Circle(static_cast<float>(FocusX), static_cast<float>(FocusY),
                  static_cast<float>(SemiMajorAxis), kBlack,
                  static_cast<float>(std::sqrt(1 - Eccentricity * Eccentricity)));
  for (const double radius : circles) Picture1.Circle(300, 250, static_cast<float>(radius));
  for (int i = 1; i <= 10; ++i) Picture1.Circle(300, 250, static_cast<float>(i), kSunYellow);
}

void Form1::LoadLongitudeTable(const QString& fileName, int recordCount) {
  if (forms::tracing()) forms::traceLine(QStringLiteral("Form1 Open ") + forms::quoted(fileName));
  const QFileInfo info(fileName);
  std::ifstream file;
  if (info.exists() && !info.isDir()) file.open(fileName.toStdString(), std::ios::binary);
  if (!file.is_open()) dataFileError(fileName, openFailure(fileName));
  kepler::FieldReader reader(file);
  kepler::Value* const fields[3] = {&InputLead, &InputLongitude, &InputDistance};
  for (int n = 1; n <= recordCount; ++n) {
    for (int field = 0; field < 3; ++field) {
      const kepler::FieldFault fault = reader.next(*fields[field]);
      if (fault != kepler::FieldFault::None) {
        dataFileError(fileName, QStringLiteral("記録 %1 の項目 %2（%3）: %4")
                                    .arg(n)
                                    .arg(field + 1)
                                    .arg(QString::fromUtf8(kFieldNames[field]),
                                         QString::fromStdString(kepler::FieldFaultText(fault))));
      }
    }
    LongitudeTable(n, 1) = InputLongitude;
    LongitudeTable(n, 2) = InputDistance;
    longitudeSource_[static_cast<std::size_t>(n)] = fileName;
  }
  file.close();
  if (forms::tracing()) forms::traceLine(QStringLiteral("Form1 Close"));
}

double Form1::LongitudeNumber(int row, int column) const {
  const kepler::Value& cell = LongitudeTable(row, column);
  if (const std::optional<double> number = cell.number()) return *number;
  // A text that reads as a number converts, as the runtime's variants did; any other is a type
  // mismatch, reported where the animation first computes with it.
  if (const std::optional<double> number = kepler::ParseNumber(cell.textValue())) return *number;
  throw kepler::RuntimeError(
      QStringLiteral(
          "データファイル \"%1\" の記録 %2 の%3 \"%4\" は数値ではありません（型が一致しません）")
          .arg(longitudeSource_[static_cast<std::size_t>(row)])
          .arg(row)
          .arg(QString::fromUtf8(kFieldNames[column]),
               QString::fromStdString(kepler::PrintableExcerpt(cell.textValue())))
          .toStdString());
}
