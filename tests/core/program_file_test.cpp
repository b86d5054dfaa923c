// Reading the program's files: nothing in a file's place can block the reader, every refusal says
// what was found, names match regardless of case as on the old desktop, and the program finds its
// own folder.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/program_file.h"
#include "core/runtime_error.h"

namespace {

namespace fs = std::filesystem;
using kepler::FileKind;
using kepler::ReadProgramFile;

const std::string kMars = "kasei-kouten-Koukei.dat";

void Write(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Runs each test in a fresh empty working folder.
class ProgramFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = fs::current_path();
    char pattern[] = "/tmp/kepler-files-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder_ = pattern;
    fs::current_path(folder_);
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(folder_);
  }

  // The message of the error reading `name`, and how long the attempt took [s].
  std::string refusal(const std::string& name, FileKind kind = FileKind::Data) {
    const auto start = std::chrono::steady_clock::now();
    std::string message;
    try {
      ReadProgramFile(kind, name);
      message = "(read without error)";
    } catch (const kepler::RuntimeError& error) {
      message = error.what();
    }
    seconds_ = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return message;
  }

  fs::path previous_;
  fs::path folder_;
  double seconds_ = 0;
};

TEST_F(ProgramFileTest, ReadsARegularFileWholeAndByItsCaseVariant) {
  Write(kMars, std::string(100000, 'x') + "end");
  EXPECT_EQ(ReadProgramFile(FileKind::Data, kMars).bytes.size(), 100003u);
  fs::rename(kMars, "KASEI-kouten-koukei.DAT");
  const kepler::FileContents file = ReadProgramFile(FileKind::Data, kMars);
  EXPECT_EQ(file.name, "KASEI-kouten-koukei.DAT");
  EXPECT_EQ(file.bytes.substr(100000), "end");
}

TEST_F(ProgramFileTest, TwoCaseVariantsAreAnErrorNamingBoth) {
  Write("venus01.gif", "a");
  Write("VENUS01.GIF", "b");
  const std::string message = refusal("Venus01.gif", FileKind::Picture);
  EXPECT_NE(message.find("画像ファイル \"Venus01.gif\" を読み込めません"), std::string::npos);
  EXPECT_NE(message.find("\"VENUS01.GIF\"、\"venus01.gif\""), std::string::npos) << message;
  // The exact name wins over its variants.
  Write("Venus01.gif", "c");
  EXPECT_EQ(ReadProgramFile(FileKind::Picture, "Venus01.gif").bytes, "c");
}

TEST_F(ProgramFileTest, WhatStandsInAFilesPlaceIsNamedAtOnce) {
  // A FIFO blocks open() without a writer, and gives endless blank lines with one.
  ASSERT_EQ(::mkfifo(kMars.c_str(), 0600), 0);
  EXPECT_NE(refusal(kMars).find("名前付きパイプ（FIFO）です"), std::string::npos);
  EXPECT_LT(seconds_, 1.0);
  const int writer = ::open(kMars.c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(writer, 0);
  ASSERT_EQ(::write(writer, "\n\n\n\n", 4), 4);
  EXPECT_NE(refusal(kMars).find("名前付きパイプ（FIFO）です"), std::string::npos);
  EXPECT_LT(seconds_, 1.0);
  ::close(writer);
  fs::remove(kMars);

  const struct {
    const char* name;
    const char* target;  // of a symbolic link; a folder for nullptr
    const char* cause;
  } cases[] = {
      {"kepler.bmp", "/dev/zero", "キャラクターデバイスです"},
      {"earth02.gif", nullptr, "ファイルではなくフォルダーです"},
      {"mars01.gif", "mars01.gif", "シンボリックリンクが多すぎます"},
      {"suisei02.gif", "nowhere.gif", "シンボリックリンクの指す先がありません"},
  };
  for (const auto& c : cases) {
    if (c.target == nullptr) {
      fs::create_directory(c.name);
    } else {
      fs::create_symlink(c.target, c.name);
    }
    EXPECT_NE(refusal(c.name, FileKind::Picture).find(c.cause), std::string::npos) << c.name;
    EXPECT_LT(seconds_, 1.0) << c.name;
  }
}

TEST_F(ProgramFileTest, AFileAboveTheBoundIsRefusedUnread) {
  // A gibibyte of blank lines, sparse: refused by its size, not after reading it.
  { std::ofstream(kMars, std::ios::binary) << '\n'; }
  fs::resize_file(kMars, std::uintmax_t{1} << 30);
  EXPECT_NE(refusal(kMars).find("ファイルが大きすぎます（1 MiB まで）"), std::string::npos);
  EXPECT_LT(seconds_, 1.0);
  fs::resize_file(kMars, kepler::MaxFileBytes(FileKind::Data));
  EXPECT_EQ(ReadProgramFile(FileKind::Data, kMars).bytes.size(), std::size_t{1} << 20);
  Write("kepler.bmp", "BM");
  fs::resize_file("kepler.bmp", kepler::MaxFileBytes(FileKind::Picture) + 1);
  EXPECT_NE(refusal("kepler.bmp", FileKind::Picture).find("4 MiB まで"), std::string::npos);
}

TEST_F(ProgramFileTest, AMissingFileNamesTheFolderOrThatItIsGone) {
  const std::string message = refusal(kMars);
  EXPECT_EQ(message, "データファイル \"" + kMars + "\" を読み込めません: ファイルが見つかりません" +
                         "（検索したフォルダー: " + folder_.string() + "）");
  fs::remove(folder_);
  const std::string gone = refusal(kMars);
  EXPECT_NE(gone.find("ファイルが見つかりません（作業フォルダーが削除されています）"),
            std::string::npos)
      << gone;
}

TEST_F(ProgramFileTest, TheProgramFindsItsFilesNextToItsExecutable) {
  // <prefix>/libexec/kepler-laws/kepler-laws with its files in <prefix>/share/kepler-laws, and a
  // build tree <build>/src/kepler-laws with <build>/assets.
  const fs::path prefix = folder_ / "prefix";
  fs::create_directories(prefix / "libexec/kepler-laws");
  fs::create_directories(prefix / "share/kepler-laws");
  Write(prefix / "share/kepler-laws/Venus01.gif", "v");
  const fs::path build = folder_ / "build";
  fs::create_directories(build / "src");
  fs::create_directories(build / "assets");
  Write(build / "assets/KEPLER.BMP", "k");
  fs::create_directory("elsewhere");
  fs::current_path("elsewhere");

  EXPECT_EQ(kepler::EnterProgramFolder((prefix / "libexec/kepler-laws").string()),
            (prefix / "share/kepler-laws").string());
  EXPECT_EQ(fs::current_path(), prefix / "share/kepler-laws");
  fs::current_path(folder_ / "elsewhere");
  EXPECT_EQ(kepler::EnterProgramFolder((build / "src").string()), (build / "assets").string());
  // A working folder with any of the files is kept, and one without any stays when the
  // executable has none beside it either.
  fs::current_path(folder_ / "elsewhere");
  EXPECT_EQ(kepler::EnterProgramFolder((folder_ / "nothing").string()), "");
  EXPECT_EQ(fs::current_path(), folder_ / "elsewhere");
  Write("earth02.gif", "e");
  EXPECT_EQ(kepler::EnterProgramFolder((prefix / "libexec/kepler-laws").string()), "");
  EXPECT_EQ(fs::current_path(), folder_ / "elsewhere");
}

}  // namespace
