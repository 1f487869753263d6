// Reading the version information block from program files.
#include "updater/VersionInfo.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cerrno>

#include "tests/support/TestFolders.h"
#include "tests/updater/UpdaterFixture.h"

namespace {

using updater::FindVersionInfo;
using updater::VersionValues;

std::string Bytes(const QByteArray& b) { return b.toStdString(); }

const char kCompany[] = "\\StringFileInfo\\040904E4\\CompanyName";

TEST(VersionInfo, FindsTheBlockAmongOtherBytes) {
  const QByteArray block = test::VersionBlock({{kCompany, "Keldoran"}, {"\\Empty", ""}});
  struct Case {
    const char* name;
    QByteArray bytes;
    std::optional<VersionValues> expected;
  };
  const VersionValues values{{kCompany, "Keldoran"}, {"\\Empty", ""}};
  const QByteArray signature = block.left(21);
  const Case cases[] = {
      {"block alone", block, values},
      {"block inside code", QByteArray(5000, '\x90') + block + QByteArray(70, '\0'), values},
      {"block with no entries", signature + QByteArray(1, '\0'), VersionValues{}},
      {"no block", QByteArray("KeldoranVersionInfo2") + QByteArray(30, '\0'), std::nullopt},
      {"signature without its zero byte", signature.left(20) + "x" + block.mid(21), std::nullopt},
      {"cut before the end mark", block.left(block.size() - 1), std::nullopt},
      {"cut inside a value", block.left(block.size() - 6), std::nullopt},
      {"cut after the signature", signature, std::nullopt},
      {"no end within the limit",
       signature + QByteArray("\\Long") + '\0' + QByteArray(5000, 'v') + '\0' + '\0', std::nullopt},
      {"unended copy, then a good one",
       signature + QByteArray("\\Long") + '\0' + QByteArray(5000, 'v') + block, values},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FindVersionInfo(Bytes(c.bytes)), c.expected);
  }
}

TEST(VersionInfo, EveryCutOfAProgramFileReadsWholeOrNothing) {
  const QByteArray head(300, '\x90');
  const QByteArray program = head + test::EnglishProgram("");
  const qsizetype blockEnd = program.size();  // EnglishProgram("") ends with the block
  const std::optional<VersionValues> whole = FindVersionInfo(Bytes(program));
  ASSERT_TRUE(whole.has_value());
  ASSERT_EQ(whole->size(), 2u);
  for (qsizetype cut = 0; cut <= program.size(); ++cut) {
    const std::optional<VersionValues> read = FindVersionInfo(Bytes(program.left(cut)));
    if (cut < blockEnd) {
      EXPECT_FALSE(read.has_value()) << cut;
    } else {
      EXPECT_EQ(read, whole) << cut;
    }
  }
}

TEST(VersionInfo, LanguageOfProgramFiles) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  struct Case {
    const char* name;
    QByteArray bytes;
    int expected;
  };
  const Case cases[] = {
      {"English edition", test::EnglishProgram("code"), 409},
      {"Japanese edition", test::JapaneseProgram("code"), 411},
      {"Japanese table without a product version",
       test::VersionBlock({{"\\StringFileInfo\\041103A4\\CompanyName", "K"}}), 0},
      {"empty block", test::VersionBlock({}), 0},
      {"no block", "plain code", updater::kNoVersionInformation},
      {"empty file", "", updater::kNoVersionInformation},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = dir.filePath(QString::fromUtf8(c.name));
    test::WriteAll(path, c.bytes);
    EXPECT_EQ(updater::LanguageCheck(path.toStdString()), c.expected);
  }
  EXPECT_EQ(updater::LanguageCheck(dir.filePath(QStringLiteral("missing")).toStdString()), ENOENT);
}

TEST(VersionInfo, BuiltKeldoranIsTheEnglishEdition) {
  EXPECT_EQ(updater::LanguageCheck(KELDORAN_BIN_DIR "/Keldoran"), 409);
  EXPECT_EQ(updater::LanguageCheck(KELDORAN_BIN_DIR "/libvelm.so"), updater::kNoVersionInformation);
}

}  // namespace
