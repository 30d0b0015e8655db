#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>

#include "CountingProgress.h"
#include "GameBuilder.h"
#include "PageTestSupport.h"
#include "ScoreDb.h"
#include "TempDir.h"
#include "pages/LookImages.h"
#include "pages/ScorePageOutput.h"
#include "util/AppError.h"
#include "util/Cp932.h"
#include "util/Make.h"

namespace lanereport {
namespace {

using namespace testing;
namespace fs = std::filesystem;

const char* const kShipped[] = {"BG.jpg",     "waku0.jpg", "waku.jpg",
                                "strike.jpg", "spare.jpg", "space.jpg"};

// The program folder of the fixture ($LANEREPORT_HOME) ships six images whose bytes name them;
// the output folder lies beside it, in the same temporary folder.
class LookImagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : kShipped) MakeFile(Shipped(name), Bytes(name));
    out_ = fx_.Dir().File("site");
  }

  std::string Shipped(const std::string& name) const { return fx_.Dir().File("jpg/" + name); }
  static std::string Bytes(const std::string& name) { return "image bytes of " + name; }
  std::string Out(const std::string& relative) const { return out_ + "/" + relative; }

  // Every file and link under the fixture's folder, relative to it, sorted; the database and
  // the shipped images are left out.
  std::vector<std::string> Everything() const {
    std::vector<std::string> found;
    for (auto& e : fs::recursive_directory_iterator(fx_.Dir().Path())) {
      std::string rel = fs::relative(e.path(), fx_.Dir().Path()).string();
      if (rel.starts_with("jpg") || rel.starts_with("score.db") || e.is_directory()) continue;
      found.push_back(rel);
    }
    std::sort(found.begin(), found.end());
    return found;
  }

  static WindowSettings Look(const std::string& image) {
    WindowSettings look;
    look.Strike = image;
    return look;
  }

  ScoreDbFixture fx_;
  std::string out_;
};

TEST_F(LookImagesTest, TheInitialLookGetsEveryImageWhereItsPagesLookForIt) {
  std::vector<std::string> copied = CopyLookImages(InitialLook(), out_);
  // In the order Background, Frame1, Frame2, Strike, Spare, Space.
  EXPECT_EQ(copied, (std::vector<std::string>{Out("jpg/BG.jpg"), Out("jpg/waku0.jpg"),
                                              Out("jpg/waku.jpg"), Out("jpg/strike.jpg"),
                                              Out("jpg/spare.jpg"), Out("jpg/space.jpg")}));
  for (const char* name : kShipped)
    EXPECT_EQ(ReadFileBytes(Out(std::string("jpg/") + name)), Bytes(name)) << name;
  // Nothing else: no temporary file, nothing outside the output folder.
  std::vector<std::string> expected;
  for (const char* name : kShipped) expected.push_back(std::string("site/jpg/") + name);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Everything(), expected);

  // Run again, nothing is missing and nothing is written.
  EXPECT_TRUE(CopyLookImages(InitialLook(), out_).empty());
  EXPECT_EQ(Everything(), expected);
}

TEST_F(LookImagesTest, ScorePagesFindEveryImageTheyReference) {
  Database& db = fx_.Db();
  AddBowler(db, "山田太郎", "yamada", 1);
  AddAlley(db, "中央レーン", 1, true);
  AddLevel(db, "公式戦", 1, true);
  AddNotatedGame(db, "山田太郎", "中央レーン", "公式戦", "2024/05/06", 1,
                 "X 7/ 9- X -8 8/ -6 X X X81");
  CountingProgress progress;
  PageContext context{db, "score", InitialLook(), out_, progress};
  ASSERT_EQ(OutputScorePages(context, "山田太郎", "yamada", "2024/05/01", "2024/05/31", true).pages,
            1);
  CopyLookImages(InitialLook(), out_);

  std::string page_path =
      Out("score2024/yamada/20240506"
          "11.html");
  std::string page = Cp932ToUtf8(ReadFileBytes(page_path));
  ASSERT_FALSE(page.empty());
  std::regex image(R"re((?:src="|url\(')([^"']+))re");
  std::set<std::string> referenced;
  for (std::sregex_iterator it(page.begin(), page.end(), image), end; it != end; ++it)
    referenced.insert((*it)[1].str());
  EXPECT_EQ(referenced.size(), 6u);  // background, two frames, strike, spare, space
  for (const std::string& ref : referenced) {
    fs::path target = fs::path(page_path).parent_path() / ref;
    EXPECT_TRUE(fs::is_regular_file(target)) << ref;
  }
}

TEST_F(LookImagesTest, AnExistingFileIsNeverReplaced) {
  MakeFile(Out("jpg/BG.jpg"), "the user's own background");
  MakeFolders(Out("jpg/waku.jpg"));  // a folder where a frame image would go
  ASSERT_EQ(::symlink("nowhere.jpg", Out("jpg/space.jpg").c_str()), 0);  // a dangling link

  std::vector<std::string> copied = CopyLookImages(InitialLook(), out_);
  EXPECT_EQ(copied, (std::vector<std::string>{Out("jpg/waku0.jpg"), Out("jpg/strike.jpg"),
                                              Out("jpg/spare.jpg")}));
  EXPECT_EQ(ReadFileBytes(Out("jpg/BG.jpg")), "the user's own background");
  EXPECT_TRUE(fs::is_directory(Out("jpg/waku.jpg")));
  EXPECT_TRUE(fs::is_symlink(Out("jpg/space.jpg")));
  EXPECT_FALSE(fs::exists(Out("jpg/nowhere.jpg")));
}

TEST_F(LookImagesTest, ColoursAndEmptySettingsNameNoImage) {
  WindowSettings look;
  look.Background = "#FFFFFF";  // a colour: no full stop
  look.CharacterColor = "jpg/BG.jpg";
  look.StyleSheet = "jpg/BG.jpg";
  look.Frame1 = "   ";
  look.Frame2 = "";
  EXPECT_TRUE(CopyLookImages(look, out_).empty());
  EXPECT_TRUE(Everything().empty());
  EXPECT_TRUE(CopyLookImages(InitialLook(), "").empty());
}

TEST_F(LookImagesTest, AnImageGoesToTheFolderTheSettingNames) {
  WindowSettings look;
  look.Background = "画像/BG.jpg";
  look.Frame1 = "waku0.jpg";
  look.Frame2 = "waku0.jpg";               // named twice, copied once
  look.Strike = "img/marks/strike.jpg  ";  // trailing spaces are dropped, as a browser does
  std::vector<std::string> copied = CopyLookImages(look, out_);
  EXPECT_EQ(copied, (std::vector<std::string>{Out("画像/BG.jpg"), Out("waku0.jpg"),
                                              Out("img/marks/strike.jpg")}));
  EXPECT_EQ(ReadFileBytes(Out("img/marks/strike.jpg")), Bytes("strike.jpg"));
  EXPECT_EQ(ReadFileBytes(Out("画像/BG.jpg")), Bytes("BG.jpg"));
}

TEST_F(LookImagesTest, NamesThatLeaveTheOutputFolderOrAreNotShippedAreSkipped) {
  std::string outside = fx_.Dir().File("outside");
  for (const std::string& name : {
           std::string("../BG.jpg"),
           std::string("jpg/../../BG.jpg"),
           std::string("./BG.jpg"),
           std::string("jpg/./BG.jpg"),
           std::string("jpg//BG.jpg"),
           outside + "/BG.jpg",
           std::string("/BG.jpg"),
           std::string("jpg\\BG.jpg"),
           std::string("..\\BG.jpg"),
           std::string("C:BG.jpg"),
           std::string("http://example.jp/BG.jpg"),
           std::string("jpg/%2e%2e/BG.jpg"),
           std::string("jpg/BG.jpg?x=1"),
           std::string("jpg/BG.jpg#top"),
           std::string(" jpg/BG.jpg"),
           std::string("jpg/\tBG.jpg"),
           std::string("jpg/BG.jpg\n"),
           std::string("jpg/bg.jpg"),
           std::string("jpg/BG.JPG"),
           std::string("jpg/logo.jpg"),
           std::string("jpg/"),
           std::string("jpg/score.db"),
           std::string("jpg"),
           std::string(".."),
       }) {
    EXPECT_TRUE(CopyLookImages(Look(name), out_).empty()) << name;
  }
  EXPECT_TRUE(Everything().empty());
  EXPECT_FALSE(fs::exists(fx_.Dir().File("BG.jpg")));
}

TEST_F(LookImagesTest, ALinkOutOfTheOutputFolderIsNotFollowed) {
  std::string outside = fx_.Dir().File("outside");
  MakeFolders(outside);
  MakeFolders(out_);
  ASSERT_EQ(::symlink(outside.c_str(), Out("jpg").c_str()), 0);
  EXPECT_TRUE(CopyLookImages(InitialLook(), out_).empty());
  EXPECT_TRUE(fs::is_empty(outside));

  // A link that stays inside the output folder is fine.
  MakeFolders(Out("images"));
  ASSERT_EQ(::symlink("images", Out("pics").c_str()), 0);
  EXPECT_EQ(CopyLookImages(Look("pics/strike.jpg"), out_),
            std::vector<std::string>{Out("pics/strike.jpg")});
  EXPECT_EQ(ReadFileBytes(Out("images/strike.jpg")), Bytes("strike.jpg"));
}

TEST_F(LookImagesTest, AnOutputFolderGivenWithItsClosingSlashOrRelativeWorks) {
  EXPECT_EQ(CopyLookImages(Look("jpg/strike.jpg"), out_ + "/"),
            std::vector<std::string>{Out("jpg/strike.jpg")});

  std::string before = fs::current_path();
  fs::current_path(fx_.Dir().Path());
  std::vector<std::string> copied = CopyLookImages(Look("jpg/strike.jpg"), "relative");
  fs::current_path(before);
  EXPECT_EQ(copied, std::vector<std::string>{"relative/jpg/strike.jpg"});
  EXPECT_EQ(ReadFileBytes(fx_.Dir().File("relative/jpg/strike.jpg")), Bytes("strike.jpg"));
}

TEST_F(LookImagesTest, AnImageTheProgramDoesNotShipIsLeftAlone) {
  fs::remove(Shipped("spare.jpg"));
  std::vector<std::string> copied = CopyLookImages(InitialLook(), out_);
  EXPECT_EQ(copied.size(), 5u);
  EXPECT_FALSE(fs::exists(Out("jpg/spare.jpg")));
  // A folder named like an image is not an image.
  MakeFolders(Shipped("spare.jpg"));
  EXPECT_TRUE(CopyLookImages(InitialLook(), out_).empty());
}

TEST_F(LookImagesTest, AFailedWriteRaisesAndKeepsTheCopiesMadeBefore) {
  MakeFile(Out("marks"), "a file where a folder should be");
  WindowSettings look = InitialLook();
  look.Strike = "marks/strike.jpg";
  try {
    CopyLookImages(look, out_);
    FAIL() << "no error raised";
  } catch (const AppError& e) {
    EXPECT_EQ(e.Number(), kErrFile);
    EXPECT_NE(e.Description().find("marks/strike.jpg"), std::string::npos) << e.Description();
  }
  // Background and the frames came before the strike mark.
  EXPECT_EQ(ReadFileBytes(Out("jpg/BG.jpg")), Bytes("BG.jpg"));
  EXPECT_EQ(ReadFileBytes(Out("jpg/waku.jpg")), Bytes("waku.jpg"));
  EXPECT_FALSE(fs::exists(Out("jpg/spare.jpg")));

  // A shipped image that cannot be read (not for root, who reads everything).
  if (::geteuid() != 0) {
    ::chmod(Shipped("space.jpg").c_str(), 0);
    WindowSettings space;
    space.Space = "jpg/space.jpg";
    EXPECT_THROW(CopyLookImages(space, out_), AppError);
    EXPECT_FALSE(fs::exists(Out("jpg/space.jpg")));
  }
}

}  // namespace
}  // namespace lanereport
