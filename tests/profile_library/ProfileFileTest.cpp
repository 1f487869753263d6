#include "profile_library/ProfileFile.h"

#include <gtest/gtest.h>

#include "tests/support/TestFolders.h"

namespace {

class ProfileFileTest : public test::TestFolders {
 protected:
  std::filesystem::path Path() const { return InProgram("TEST.INI").toStdString(); }
  QByteArray Content() const { return test::ReadAll(InProgram("TEST.INI")); }
};

TEST_F(ProfileFileTest, WindowsLookupRules) {
  test::WriteAll(InProgram("TEST.INI"),
                 "; a comment\r\n"
                 "[Config]\r\n"
                 "  Top Dir =  C:\\KELDORAN  \r\n"
                 "Quoted=\"  padded  \"\r\n"
                 "top dir=second wins never\r\n"
                 "[config]\r\n"
                 "Other=in a second section of the same name\r\n");
  velm::ProfileFile f(Path());
  EXPECT_EQ(f.Get("CONFIG", "top dir"), "C:\\KELDORAN");
  EXPECT_EQ(f.Get("Config", "Quoted"), "  padded  ");
  EXPECT_FALSE(f.Get("Config", "Other"));  // the first matching section wins
  EXPECT_FALSE(f.Get("Missing", "Top Dir"));
}

TEST_F(ProfileFileTest, WritingKeepsOtherLinesAndPlacesNewKeys) {
  test::WriteAll(InProgram("TEST.INI"),
                 "; keep me\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
  velm::ProfileFile f(Path());
  f.Set("a", "X", "10");       // replaced in place
  f.Set("A", "z", "3");        // after the last entry of [A], before the blank line
  f.Set("C", "w", " lead");    // new section at the end; blanks kept by quoting
  ASSERT_TRUE(f.Save());
  EXPECT_EQ(Content(),
            "; keep me\r\n[A]\r\nX=10\r\nz=3\r\n\r\n[B]\r\ny=2\r\n[C]\r\nw=\" lead\"\r\n");
  EXPECT_EQ(velm::ProfileFile(Path()).Get("C", "W"), " lead");

  f.RemoveKey("B", "y");
  f.RemoveSection("A");
  ASSERT_TRUE(f.Save());
  EXPECT_EQ(Content(), "; keep me\r\n[B]\r\n[C]\r\nw=\" lead\"\r\n");
}

TEST_F(ProfileFileTest, GarbageAndMissingFilesReadAsEmpty) {
  EXPECT_FALSE(velm::ProfileFile(Path()).Get("A", "b"));
  QByteArray garbage;
  for (int i = 0; i < 4096; ++i) garbage.append(static_cast<char>((i * 7919) & 0xFF));
  test::WriteAll(InProgram("TEST.INI"), garbage);
  velm::ProfileFile f(Path());
  f.Set("A", "b", "c");
  ASSERT_TRUE(f.Save());
  EXPECT_EQ(velm::ProfileFile(Path()).Get("A", "b"), "c");
}

TEST_F(ProfileFileTest, FailedSaveLeavesTheOldFile) {
  velm::ProfileFile f(InProgram("NO_SUCH_DIR/TEST.INI").toStdString());
  f.Set("A", "b", "c");
  EXPECT_FALSE(f.Save());
}

TEST(Hex, RoundTripAndRejectsDamage) {
  const unsigned char bytes[] = {0x00, 0x7F, 0x80, 0xFF};
  const std::string hex = velm::ToHex(bytes, sizeof bytes);
  EXPECT_EQ(hex, "007F80FF");
  unsigned char back[4] = {};
  EXPECT_TRUE(velm::FromHex(hex, back, sizeof back));
  EXPECT_EQ(0, std::memcmp(bytes, back, 4));
  EXPECT_FALSE(velm::FromHex("007F80F", back, sizeof back));   // cut short
  EXPECT_FALSE(velm::FromHex("007F80FG", back, sizeof back));  // not hex
}

}  // namespace
