// kepler-assets: draws the program's pictures into its asset folder, and optionally its icon and
// the icons of the browser page's web app (icon-192.png, icon-512.png, apple-touch-icon.png).
//   kepler-assets --out DIR [--icon FILE] [--web-icons DIR]
// Quiet on success; prints the reason and exits non-zero when anything cannot be drawn or written.

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

#include "diagram.h"
#include "gif_writer.h"
#include "icon.h"
#include "sprites.h"

namespace {

constexpr int kUsageError = 2;

// Passes Qt's messages on, except the notice about a missing XDG_RUNTIME_DIR, which build
// machines commonly lack and which does not affect drawing; the tool stays quiet on success.
void FilterQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QStringLiteral("QStandardPaths: XDG_RUNTIME_DIR not set"))) {
    return;
  }
  std::fputs(qPrintable(qFormatLogMessage(type, context, message) + QLatin1Char('\n')), stderr);
}

void PrintUsage() {
  std::fputs("usage: kepler-assets --out DIR [--icon FILE] [--web-icons DIR]\n", stderr);
}

void SaveImage(const QImage& image, const QString& path, const char* format) {
  if (!image.save(path, format)) {
    throw std::runtime_error("cannot write " + path.toStdString());
  }
}

void MakeDirectory(const QString& path) {
  if (!QDir().mkpath(path)) {
    throw std::runtime_error("cannot create the folder " + path.toStdString());
  }
}

}  // namespace

int main(int argc, char** argv) {
  // Text needs a platform plugin, but this tool runs during the build, where no display may exist.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(FilterQtMessages);
  QString outDir;
  QString iconPath;
  QString webIconDir;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--out" || arg == "--icon" || arg == "--web-icons") {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "kepler-assets: %s needs a value\n", arg.c_str());
        PrintUsage();
        return kUsageError;
      }
      (arg == "--out"    ? outDir
       : arg == "--icon" ? iconPath
                         : webIconDir) = QString::fromLocal8Bit(argv[++i]);
    } else {
      std::fprintf(stderr, "kepler-assets: unexpected argument \"%s\"\n", arg.c_str());
      PrintUsage();
      return kUsageError;
    }
  }
  if (outDir.isEmpty()) {
    PrintUsage();
    return kUsageError;
  }

  QGuiApplication app(argc, argv);
  try {
    using namespace kepler::assets;
    MakeDirectory(outDir);
    const QDir dir(outDir);
    const auto path = [&dir](std::string_view name) {
      return dir.filePath(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    };
    for (const BodyPicture& picture : kBodyPictures) {
      WriteGif(ToIndexed(DrawBody(picture.body)), path(picture.fileName).toStdString());
    }
    SaveImage(DrawLawsDiagram(), path(kepler::kLawsPicture), "BMP");
    if (!iconPath.isEmpty()) {
      MakeDirectory(QFileInfo(iconPath).absolutePath());
      SaveImage(DrawIcon(), iconPath, "PNG");
    }
    if (!webIconDir.isEmpty()) {
      // The web app manifest's two sizes, and the square Safari puts on the Home Screen.
      MakeDirectory(webIconDir);
      const QDir web(webIconDir);
      SaveImage(DrawIcon(192), web.filePath(QStringLiteral("icon-192.png")), "PNG");
      SaveImage(DrawIcon(512), web.filePath(QStringLiteral("icon-512.png")), "PNG");
      SaveImage(DrawIcon(180, IconTile::kSquare),
                web.filePath(QStringLiteral("apple-touch-icon.png")), "PNG");
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "kepler-assets: %s\n", error.what());
    return 1;
  }
  return 0;
}
