#include <gtest/gtest.h>

#include <cstring>

#include "TempDir.h"
#include "import/JetHeader.h"
#include "util/AppError.h"

namespace lanereport {
namespace {

const std::string kJetDir = std::string(LANEREPORT_TEST_DATA_DIR) + "/jet/";

std::string Description(const std::function<void()>& run) {
  try {
    run();
  } catch (const AppError& e) {
    return e.Description();
  }
  return "";
}

TEST(JetHeaderTest, Jet4SampleCarriesTheSuitePassword) {
  JetHeader header = ReadJetHeader(kJetDir + "jet4-sample.mdb");
  EXPECT_EQ(header.version, 4);
  EXPECT_EQ(header.page_size, 4096u);
  EXPECT_EQ(header.code_page, 1252);
  EXPECT_EQ(header.password, "KMRT");
}

TEST(JetHeaderTest, Jet3FileNamesCodePage932AndHasNoPassword) {
  JetHeader header = ReadJetHeader(kJetDir + "jet3-cp932.mdb");
  EXPECT_EQ(header.version, 3);
  EXPECT_EQ(header.page_size, 2048u);
  EXPECT_EQ(header.code_page, 932);
  EXPECT_EQ(header.password, "");
}

TEST(JetHeaderTest, AccdbIsRefusedByName) {
  std::string bytes = testing::ReadFileBytes(kJetDir + "jet4-sample.mdb");
  std::memcpy(bytes.data() + 4, "Standard ACE DB", 15);
  std::string why = Description([&] { ParseJetHeader(bytes, bytes.size(), "x.accdb"); });
  EXPECT_NE(why.find(".accdb"), std::string::npos) << why;
  bytes = testing::ReadFileBytes(kJetDir + "jet4-sample.mdb");
  bytes[0x14] = 2;  // Access 2007
  why = Description([&] { ParseJetHeader(bytes, bytes.size(), "x.mdb"); });
  EXPECT_NE(why.find(".accdb"), std::string::npos) << why;
}

TEST(JetHeaderTest, OtherFilesAndCutFilesAreRefused) {
  std::string bytes = testing::ReadFileBytes(kJetDir + "jet4-sample.mdb");
  EXPECT_THROW(ParseJetHeader("", 0, "empty"), AppError);
  EXPECT_THROW(ParseJetHeader("SQLite format 3", 15, "db"), AppError);
  std::string other = bytes;
  other[5] = 'X';
  EXPECT_THROW(ParseJetHeader(other, other.size(), "x"), AppError);
  EXPECT_THROW(ParseJetHeader(bytes, 2 * 4096, "two pages"), AppError);
  std::string why = Description([&] { ParseJetHeader(bytes, bytes.size() - 1, "cut.mdb"); });
  EXPECT_NE(why.find("cut.mdb"), std::string::npos);
  EXPECT_NE(why.find("切れて"), std::string::npos) << why;
  EXPECT_NO_THROW(ParseJetHeader(bytes, bytes.size(), "whole"));
}

TEST(JetHeaderTest, MissingFileAndFolderAreRefused) {
  testing::TempDir dir;
  EXPECT_THROW(ReadJetHeader(dir.File("none.mdb")), AppError);
  EXPECT_THROW(ReadJetHeader(dir.Path()), AppError);
}

}  // namespace
}  // namespace lanereport
