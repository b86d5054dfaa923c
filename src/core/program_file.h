#pragma once
// Reading one of the program's files: by bare name from the working folder, whole, into memory.
// It never blocks and never reads more than a stated bound, so no file can hang the window: a
// FIFO, a device or a folder in the file's place, a loop of symbolic links or an oversized file is
// refused with a message saying which. Plain POSIX and C++, so that the browser build reads its
// virtual file system through the same code. It does not interpret what it reads.

#include <cstddef>
#include <string>
#include <string_view>

namespace kepler {

enum class FileKind { Picture, Data };

// The largest file accepted [bytes]. Pictures: 4 MiB, more than twice the largest picture the
// drawing surface can show (800 x 500 pixels at 32 bits a pixel is 1.6 MB as a BMP). Data files:
// 1 MiB, about forty times the real ones (25 KB).
std::size_t MaxFileBytes(FileKind kind);

struct FileContents {
  std::string name;  // the name it was found under: the bare name, or a variant of it in case
  std::string bytes;
};

// Reads the file called `bareName` in the working folder. When no file has exactly that name, the
// one file whose name matches it without regard to case (ASCII letters) is read, as the desktop
// the program was written for matched names; two or more such files are an error naming them.
// Throws RuntimeError with FileErrorMessage(kind, bareName, cause).
FileContents ReadProgramFile(FileKind kind, std::string_view bareName);

// The user's message for a file that cannot be used, UTF-8:
// 画像ファイル "<name>" を読み込めません: <cause>（検索したフォルダー: <working folder>）
// (データファイル for a data file). A working folder that no longer exists is named as such.
std::string FileErrorMessage(FileKind kind, std::string_view bareName, std::string_view cause);
[[noreturn]] void ThrowFileError(FileKind kind, std::string_view bareName, std::string_view cause);

// Where the program's files are, settled once at start. The working folder is kept when it holds
// any of them (a teacher's own folder, or the installed launcher's). Otherwise the process moves to
// the first folder next to the executable that holds any: the installed share folder
// (<prefix>/share/kepler-laws from <prefix>/libexec/kepler-laws) or a build tree's asset folder
// (<build>/assets from <build>/src). With neither, the working folder stays, and the first click
// that needs a file names it in its error. Returns the folder moved to, or "" when none.
std::string EnterProgramFolder(std::string_view executableFolder);

// Whether the folder holds any of the program's files, under its name or a variant of it in case.
bool HoldsProgramFiles(const std::string& folder);

}  // namespace kepler
