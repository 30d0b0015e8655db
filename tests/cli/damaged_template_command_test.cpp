// The workbook and bulk commands with a template that has one malformed XML part: exit 1, the
// damaged part named on standard error, nothing written.

#include <gtest/gtest.h>

#include <string>

#include "CliSample.h"
#include "XlsxTemplate.h"
#include "database/WindowSettings.h"

namespace lanereport {
namespace {

using testing::CliResult;
using testing::RunCli;
using testing::ZipParts;

class DamagedTemplateCommandTest : public testing::CliSampleTest {
 protected:
  // The shipped default template with one part's text passed through damage.
  std::string DamagedCopy(const std::string& part, std::string (*damage)(std::string)) {
    std::string good = DefaultTemplatePath();
    ZipParts parts;
    for (const std::string& name : testing::ZipPartNames(good)) {
      std::string bytes = testing::ReadZipPart(good, name).value_or("");
      if (name == part) {
        std::string damaged = damage(bytes);
        EXPECT_NE(damaged, bytes) << part;
        bytes = std::move(damaged);
      }
      parts.push_back({name, std::move(bytes)});
    }
    std::string path = Path("damaged.xlsx");
    testing::WriteZip(path, parts);
    return path;
  }

  void SetUp() override {
    ASSERT_FALSE(testing::ZipPartNames(DefaultTemplatePath()).empty())
        << "no default template at " << DefaultTemplatePath();
  }
};

// "...standalone="yes"?" without its ">".
std::string CutDeclaration(std::string xml) {
  xml.erase(xml.find("?>") + 1, 1);
  return xml;
}

// <Default Extension="xml" ContentType="application/xml"/> left open.
std::string OpenDefaultElement(std::string xml) {
  std::string element = "<Default Extension=\"xml\" ContentType=\"application/xml\"/>";
  std::size_t at = xml.find(element);
  if (at != std::string::npos) xml.erase(at + element.size() - 2, 2);
  return xml;
}

constexpr const char* kCopyFailed = "テンプレートファイルのコピーに失敗しました！";
constexpr const char* kMalformed = "ブックの部品のXMLが正しくありません：";

TEST_F(DamagedTemplateCommandTest, WorkbookExitsOneNamingThePartAndWritesNoWorkbook) {
  // The good template makes the workbook; the same template with damaged properties does not.
  CliResult good =
      RunCli({"workbook", Db(), "--out", Path("good"), "--template", DefaultTemplatePath()});
  ASSERT_EQ(good.status, 0) << good.err;
  EXPECT_TRUE(Files(Path("good")).count("score/score.xlsx"));

  std::string out = Path("out");
  CliResult damaged = RunCli({"workbook", Db(), "--html", "--out", out, "--template",
                              DamagedCopy("docProps/app.xml", CutDeclaration)});
  EXPECT_EQ(damaged.status, 1);
  EXPECT_NE(damaged.err.find(kCopyFailed), std::string::npos) << damaged.err;
  EXPECT_NE(damaged.err.find(std::string(kMalformed) + "docProps/app.xml（"), std::string::npos)
      << damaged.err;
  EXPECT_EQ(damaged.out.find("ボウラー情報を作成しました"), std::string::npos);
  EXPECT_TRUE(Files(out).empty());
}

TEST_F(DamagedTemplateCommandTest, BulkExitsOneNamingThePartAndWritesNothing) {
  std::string out = Path("out");
  CliResult damaged = RunCli({"bulk", Db(), "--year", "2025", "--out", out, "--template",
                              DamagedCopy("[Content_Types].xml", OpenDefaultElement)});
  EXPECT_EQ(damaged.status, 1);
  EXPECT_NE(damaged.err.find(std::string(kMalformed) + "[Content_Types].xml（"), std::string::npos)
      << damaged.err;
  EXPECT_EQ(damaged.out.find("一括出力が終了しました"), std::string::npos);
  EXPECT_TRUE(Files(out).empty());
}

}  // namespace
}  // namespace lanereport
