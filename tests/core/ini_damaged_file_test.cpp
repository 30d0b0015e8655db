#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "TempDir.h"
#include "util/IniControl.h"
#include "util/PathControl.h"

namespace lanereport {
namespace {

using testing::TempDir;

// The remembered folder of a caller, written by the suite in code page 932: "/data/フォルダ/".
const std::string kGoodCp932 = "[COMMON]\r\nPREV_SCORE=/data/\x83\x74\x83\x48\x83\x8B\x83\x5F/\r\n";

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

TEST(IniDamagedFileTest, CodePage932TextIsRead) {
  TempDir dir;
  std::string ini = dir.File("DialogBox.ini");
  WriteBytes(ini, kGoodCp932);
  EXPECT_EQ(ReadIni(ini, "COMMON", "PREV_SCORE"), "/data/フォルダ/");
}

TEST(IniDamagedFileTest, BytesThatAreNotCodePage932ReadAsEmpty) {
  TempDir dir;
  std::string ini = dir.File("DialogBox.ini");
  // A lead byte followed by a byte that cannot follow it.
  WriteBytes(ini, "[COMMON]\r\nPREV_SCORE=/data/\x83\x0A/\r\nPREV_USER=/home/\r\n");
  EXPECT_EQ(ReadIni(ini, "COMMON", "PREV_SCORE"), "");
  EXPECT_EQ(ReadIni(ini, "COMMON", "PREV_USER"), "");
}

TEST(IniDamagedFileTest, UTF8TextReadsAsEmpty) {
  TempDir dir;
  std::string ini = dir.File("DialogBox.ini");
  WriteBytes(ini, "[COMMON]\r\nPREV_SCORE=/home/u/デスクトップ/\r\nPREV_USER=/home/\r\n");
  EXPECT_EQ(ReadIni(ini, "COMMON", "PREV_SCORE"), "");
  EXPECT_EQ(ReadIni(ini, "COMMON", "PREV_USER"), "");
}

TEST(IniDamagedFileTest, AFileCutInTheMiddleOfACharacterReadsAsEmpty) {
  TempDir dir;
  std::string ini = dir.File("DialogBox.ini");
  WriteBytes(ini, kGoodCp932.substr(0, kGoodCp932.find("\x83\x48") + 1));
  EXPECT_EQ(ReadIni(ini, "COMMON", "PREV_SCORE"), "");
}

TEST(IniDamagedFileTest, BinaryContentReadsAsEmpty) {
  TempDir dir;
  std::string ini = dir.File("DialogBox.ini");
  // Valid code page 932 apart from the zero bytes a damaged disk block leaves.
  WriteBytes(ini, "[COMMON]\r\nPREV_SCORE=/data/" + std::string(4, '\0') + "\r\n");
  EXPECT_EQ(ReadIni(ini, "COMMON", "PREV_SCORE"), "");
}

TEST(IniDamagedFileTest, AnUnreadableFileReadsAsEmpty) {
  TempDir dir;
  std::string ini = dir.File("DialogBox.ini");
  // A folder in the file's place cannot be read as a file, whoever runs the test.
  std::filesystem::create_directory(ini);
  EXPECT_EQ(ReadIni(ini, "COMMON", "PREV_SCORE"), "");
  EXPECT_FALSE(WriteIni(ini, "COMMON", "PREV_SCORE", "/data/"));
}

TEST(IniDamagedFileTest, WritingToADamagedFileStartsItAfresh) {
  TempDir dir;
  std::string ini = dir.File("DialogBox.ini");
  WriteBytes(ini, "[COMMON]\r\nPREV_USER=/home/\r\n\x80\r\n");
  ASSERT_TRUE(WriteIni(ini, "COMMON", "PREV_SCORE", "/data/"));
  EXPECT_EQ(ReadIni(ini, "COMMON", "PREV_SCORE"), "/data/");
  EXPECT_EQ(ReadIni(ini, "COMMON", "PREV_USER"), "");
  EXPECT_EQ(testing::ReadFileBytes(ini), "[COMMON]\r\nPREV_SCORE=/data/\r\n");
}

}  // namespace
}  // namespace lanereport
