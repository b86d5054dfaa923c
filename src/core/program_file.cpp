#include "core/program_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "core/program_files.h"
#include "core/runtime_error.h"

namespace kepler {
namespace {

constexpr std::size_t kMaxPictureBytes = std::size_t{4} << 20;
constexpr std::size_t kMaxDataBytes = std::size_t{1} << 20;

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return AsciiLower(x) == AsciiLower(y);
         });
}

// The names of a folder's entries, "." and ".." left out; empty when it cannot be listed.
std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  ::closedir(dir);
  return names;
}

// Names in the working folder that differ from `name` in case only, sorted.
std::vector<std::string> CaseVariants(std::string_view name) {
  std::vector<std::string> variants;
  for (std::string& entry : FolderEntries(".")) {
    if (entry != name && SameIgnoringCase(entry, name)) variants.push_back(std::move(entry));
  }
  std::sort(variants.begin(), variants.end());
  return variants;
}

std::string ErrnoCause(int error) {
  switch (error) {
    case ENOENT:
      return "ファイルが見つかりません";
    case EACCES:
    case EPERM:
      return "ファイルを読み取る権限がありません";
    case ELOOP:
      return "シンボリックリンクが多すぎます（循環しているかもしれません）";
    case ENAMETOOLONG:
      return "名前が長すぎます";
    case ENOTDIR:
      return "フォルダーでないものがパスの途中にあります";
    case EIO:
      return "読み込み中にエラーが発生しました";
    default:
      return "ファイルを開けません（エラー番号 " + std::to_string(error) + "）";
  }
}

// Empty for a regular file; otherwise what the entry is instead.
std::string NotRegularCause(mode_t mode) {
  if (S_ISREG(mode)) return "";
  if (S_ISDIR(mode)) return "ファイルではなくフォルダーです";
  if (S_ISFIFO(mode)) return "ファイルではなく名前付きパイプ（FIFO）です";
  if (S_ISCHR(mode)) return "ファイルではなくキャラクターデバイスです";
  if (S_ISBLK(mode)) return "ファイルではなくブロックデバイスです";
  if (S_ISSOCK(mode)) return "ファイルではなくソケットです";
  return "通常のファイルではありません";
}

std::string TooLargeCause(FileKind kind) {
  return "ファイルが大きすぎます（" + std::to_string(MaxFileBytes(kind) >> 20) + " MiB まで）";
}

// Throws unless the entry is a regular file no larger than the bound.
void CheckEntry(FileKind kind, std::string_view bareName, const struct stat& info) {
  if (const std::string cause = NotRegularCause(info.st_mode); !cause.empty()) {
    ThrowFileError(kind, bareName, cause);
  }
  if (static_cast<unsigned long long>(info.st_size) > MaxFileBytes(kind)) {
    ThrowFileError(kind, bareName, TooLargeCause(kind));
  }
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// The name to open: the bare name if an entry has it, else its one variant in case.
std::string ResolveName(FileKind kind, std::string_view bareName, struct stat& info) {
  const std::string exact(bareName);
  if (::stat(exact.c_str(), &info) == 0) return exact;
  const int error = errno;
  if (error != ENOENT) ThrowFileError(kind, bareName, ErrnoCause(error));
  const std::vector<std::string> variants = CaseVariants(bareName);
  if (variants.size() > 1) {
    std::string names;
    for (const std::string& variant : variants) {
      names += (names.empty() ? "\"" : "、\"") + variant + "\"";
    }
    ThrowFileError(kind, bareName,
                   "大文字と小文字だけが違う名前のファイルが複数あります: " + names);
  }
  if (variants.empty()) {
    struct stat link {};
    ThrowFileError(kind, bareName,
                   ::lstat(exact.c_str(), &link) == 0 ? "シンボリックリンクの指す先がありません"
                                                      : ErrnoCause(ENOENT));
  }
  if (::stat(variants.front().c_str(), &info) != 0) {
    ThrowFileError(kind, bareName, ErrnoCause(errno));
  }
  return variants.front();
}

}  // namespace

std::size_t MaxFileBytes(FileKind kind) {
  return kind == FileKind::Picture ? kMaxPictureBytes : kMaxDataBytes;
}

std::string FileErrorMessage(FileKind kind, std::string_view bareName, std::string_view cause) {
  std::string folder;
  std::vector<char> path(4096);
  if (::getcwd(path.data(), path.size()) != nullptr) {
    folder = "（検索したフォルダー: " + std::string(path.data()) + "）";
  } else if (errno == ENOENT) {
    folder = "（作業フォルダーが削除されています）";
  } else {
    folder = "（作業フォルダーの場所が分かりません）";
  }
  const char* what = kind == FileKind::Picture ? "画像ファイル" : "データファイル";
  return std::string(what) + " \"" + std::string(bareName) +
         "\" を読み込めません: " + std::string(cause) + folder;
}

void ThrowFileError(FileKind kind, std::string_view bareName, std::string_view cause) {
  throw RuntimeError(FileErrorMessage(kind, bareName, cause));
}

FileContents ReadProgramFile(FileKind kind, std::string_view bareName) {
  // Refused by what the entry is before it is opened: opening a FIFO or a device could block or
  // act on the device. The open itself does not block, and what was opened is checked again.
  struct stat info {};
  FileContents file;
  file.name = ResolveName(kind, bareName, info);
  CheckEntry(kind, bareName, info);
  const Descriptor fd(::open(file.name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.get() < 0) ThrowFileError(kind, bareName, ErrnoCause(errno));
  if (::fstat(fd.get(), &info) != 0) ThrowFileError(kind, bareName, ErrnoCause(errno));
  CheckEntry(kind, bareName, info);

  const std::size_t bound = MaxFileBytes(kind);
  file.bytes.reserve(static_cast<std::size_t>(info.st_size));
  char chunk[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowFileError(kind, bareName, ErrnoCause(errno == EAGAIN ? EIO : errno));
    if (n == 0) break;
    // The file may have grown since it was looked at.
    if (file.bytes.size() + static_cast<std::size_t>(n) > bound) {
      ThrowFileError(kind, bareName, TooLargeCause(kind));
    }
    file.bytes.append(chunk, static_cast<std::size_t>(n));
  }
  return file;
}

bool HoldsProgramFiles(const std::string& folder) {
  for (const std::string& entry : FolderEntries(folder)) {
    for (const std::string_view name : kProgramFiles) {
      if (SameIgnoringCase(entry, name)) return true;
    }
  }
  return false;
}

std::string EnterProgramFolder(std::string_view executableFolder) {
  if (HoldsProgramFiles(".") || executableFolder.empty()) return "";
  const std::string base(executableFolder);
  for (const char* relative : {"/../../share/kepler-laws", "/../assets"}) {
    const std::string folder = base + relative;
    if (HoldsProgramFiles(folder) && ::chdir(folder.c_str()) == 0) {
      std::vector<char> path(4096);
      return ::getcwd(path.data(), path.size()) != nullptr ? std::string(path.data()) : folder;
    }
  }
  return "";
}

}  // namespace kepler
