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

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The message of the error reading `name`.
std::string Refusal(const std::string& name, FileKind kind = FileKind::Data) {
  try {
    ReadProgramFile(kind, name);
    return "(read without error)";
  } catch (const kepler::RuntimeError& error) {
    return error.what();
  }
}

// Runs each test in a fresh empty working folder.
class ProgramFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kepler-files-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    fs::current_path(folder_ = pattern);
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(folder_);
  }
  const fs::path previous_ = fs::current_path();
  fs::path folder_;
};

TEST_F(ProgramFileTest, TwoCaseVariantsAreAnErrorNamingBothAndTheExactNameWins) {
  Write("venus01.gif", "a");
  Write("VENUS01.GIF", "b");
  EXPECT_PRED2(Has, Refusal("Venus01.gif", FileKind::Picture), "\"VENUS01.GIF\"、\"venus01.gif\"");
  Write("Venus01.gif", "c");
  EXPECT_EQ(ReadProgramFile(FileKind::Picture, "Venus01.gif").bytes, "c");
}

// FIFOs, folders, link loops and a gibibyte in a file's place are the fault matrix's.
TEST_F(ProgramFileTest, WhatStandsInAFilesPlaceIsNamedAtOnceAndOneByteOverTheBoundIsRefused) {
  fs::create_symlink("/dev/zero", "kepler.bmp");
  EXPECT_PRED2(Has, Refusal("kepler.bmp", FileKind::Picture), "キャラクターデバイスです");
  fs::create_symlink("nowhere.gif", "suisei02.gif");
  EXPECT_PRED2(Has, Refusal("suisei02.gif", FileKind::Picture),
               "シンボリックリンクの指す先がありません");
  Write(kMars, "\n");
  fs::resize_file(kMars, kepler::MaxFileBytes(FileKind::Data) + 1);
  EXPECT_PRED2(Has, Refusal(kMars), "ファイルが大きすぎます（1 MiB まで）");
  fs::resize_file(kMars, kepler::MaxFileBytes(FileKind::Data));
  EXPECT_EQ(ReadProgramFile(FileKind::Data, kMars).bytes.size(), std::size_t{1} << 20);
  Write("venus01.gif", "GIF");
  fs::resize_file("venus01.gif", kepler::MaxFileBytes(FileKind::Picture) + 1);
  EXPECT_PRED2(Has, Refusal("venus01.gif", FileKind::Picture), "4 MiB まで");
}

TEST_F(ProgramFileTest, AMissingFileNamesTheFolderOrThatItIsGone) {
  EXPECT_EQ(Refusal(kMars), "データファイル \"" + kMars +
                                "\" を読み込めません: ファイルが見つかりません" +
                                "（検索したフォルダー: " + folder_.string() + "）");
  fs::remove(folder_);
  EXPECT_PRED2(Has, Refusal(kMars), "ファイルが見つかりません（作業フォルダーが削除されています）");
}

// The installed layout (libexec beside share) is the install test's, started from "/".
TEST_F(ProgramFileTest, TheProgramFindsItsFilesNextToItsExecutable) {
  // A build tree: <build>/src/kepler-laws with its files in <build>/assets.
  const fs::path build = folder_ / "build", elsewhere = folder_ / "elsewhere";
  for (const fs::path& f : {build / "src", build / "assets", elsewhere}) fs::create_directories(f);
  Write(build / "assets/KEPLER.BMP", "k");
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
