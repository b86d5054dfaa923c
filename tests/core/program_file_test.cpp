// Reading the program's files: nothing in a file's place can block the reader, every refusal says
// what was found, names match regardless of case as on the old desktop, and the program finds its
// own folder.
#include <gtest/gtest.h>

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

  // The message of the error reading `name`.
  static std::string refusal(const std::string& name, FileKind kind = FileKind::Data) {
    try {
      ReadProgramFile(kind, name);
      return "(read without error)";
    } catch (const kepler::RuntimeError& error) {
      return error.what();
    }
  }

  fs::path previous_;
  fs::path folder_;
};

TEST_F(ProgramFileTest, TwoCaseVariantsAreAnErrorNamingBoth) {
  Write("venus01.gif", "a");
  Write("VENUS01.GIF", "b");
  const std::string message = refusal("Venus01.gif", FileKind::Picture);
  EXPECT_NE(message.find("\"VENUS01.GIF\"、\"venus01.gif\""), std::string::npos) << message;
  // The exact name wins over its variants.
  Write("Venus01.gif", "c");
  EXPECT_EQ(ReadProgramFile(FileKind::Picture, "Venus01.gif").bytes, "c");
}

// FIFOs, folders, link loops and a gibibyte in a file's place are the fault matrix's.
TEST_F(ProgramFileTest, WhatStandsInAFilesPlaceIsNamedAtOnce) {
  const struct {
    const char* name;
    const char* target;  // of a symbolic link
    const char* cause;
  } cases[] = {
      {"kepler.bmp", "/dev/zero", "キャラクターデバイスです"},
      {"suisei02.gif", "nowhere.gif", "シンボリックリンクの指す先がありません"},
  };
  for (const auto& c : cases) {
    fs::create_symlink(c.target, c.name);
    EXPECT_NE(refusal(c.name, FileKind::Picture).find(c.cause), std::string::npos) << c.name;
  }
}

TEST_F(ProgramFileTest, OneByteOverTheBoundIsRefused) {
  Write(kMars, "\n");
  fs::resize_file(kMars, kepler::MaxFileBytes(FileKind::Data) + 1);
  EXPECT_NE(refusal(kMars).find("ファイルが大きすぎます（1 MiB まで）"), std::string::npos);
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

// The installed layout (libexec beside share) is the install test's, started from "/".
TEST_F(ProgramFileTest, TheProgramFindsItsFilesNextToItsExecutable) {
  // A build tree: <build>/src/kepler-laws with its files in <build>/assets.
  const fs::path build = folder_ / "build";
  fs::create_directories(build / "src");
  fs::create_directories(build / "assets");
  Write(build / "assets/KEPLER.BMP", "k");
  const fs::path elsewhere = folder_ / "elsewhere";
  fs::create_directory(elsewhere);
  fs::current_path(elsewhere);
  EXPECT_EQ(kepler::EnterProgramFolder((build / "src").string()), (build / "assets").string());
  EXPECT_EQ(fs::current_path(), build / "assets");
  // A working folder with any of the files is kept, and one without any stays when the
  // executable has none beside it either.
  fs::current_path(elsewhere);
  EXPECT_EQ(kepler::EnterProgramFolder((folder_ / "nothing").string()), "");
  EXPECT_EQ(fs::current_path(), elsewhere);
  Write("earth02.gif", "e");
  EXPECT_EQ(kepler::EnterProgramFolder((build / "src").string()), "");
  EXPECT_EQ(fs::current_path(), elsewhere);
}

}  // namespace
