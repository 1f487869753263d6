#include "profile_library/velm.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <cstring>
#include <string>

#include "tests/support/TestFolders.h"

namespace {

class VelmTest : public test::TestFolders {
 protected:
  void SetUp() override {
    TestFolders::SetUp();
    QDir(ProgramFolder()).mkdir("USERCONF");
    QDir(ProgramFolder()).mkdir("LOG");
    set_prof_path("Config", "Log Dir", InProgram("LOG").toLocal8Bit().constData(), "KELDORAN.INI");
  }
  std::string Uconf(const char* name) const {
    return InProgram(QStringLiteral("USERCONF/") + name).toStdString();
  }
};

TEST_F(VelmTest, KeldoranIniLivesInTheWindowsFolder) {
  EXPECT_EQ(set_prof_int("Config", "Serial Port", 10, 3, "KELDORAN.INI"), 1);
  EXPECT_TRUE(QFile::exists(InWindows("KELDORAN.INI")));
  EXPECT_EQ(get_prof_int("config", "serial port", 10, "KELDORAN.INI"), 3);
  EXPECT_EQ(get_prof_int("Config", "Absent", 10, "KELDORAN.INI"), 0);

  char out[260];
  EXPECT_EQ(get_prof_path("Config", "Absent", "KELDORAN.INI", 260, out), 0);
  EXPECT_STREQ(out, "");
  set_prof_path("Config", "Top Dir", "/data/dives", "KELDORAN.INI");
  EXPECT_EQ(get_prof_path("Config", "Top Dir", "KELDORAN.INI", 260, out), 1);
  EXPECT_STREQ(out, "/data/dives");
  EXPECT_EQ(get_prof_path("Config", "Top Dir", "KELDORAN.INI", 5, out), 1);
  EXPECT_STREQ(out, "/dat");  // cut to the buffer, always terminated
}

TEST_F(VelmTest, UserConfigurationStore) {
  char out[260];
  EXPECT_EQ(get_uconf_string("Default", "Diver", 21, out), 0);
  EXPECT_EQ(set_uconf_string("Default", "Diver", "Ann Example"), 1);
  EXPECT_EQ(get_uconf_string("default", "DIVER", 21, out), 1);
  EXPECT_STREQ(out, "Ann Example");

  EXPECT_EQ(set_uconf_int("Weather", "Count", 10, 2), 1);
  EXPECT_EQ(set_uconf_index_data("Weather", 1, "Sunny"), 1);
  EXPECT_EQ(set_uconf_index_data("Weather", 2, ""), 1);
  EXPECT_EQ(get_uconf_int("Weather", "Count", 10), 2);
  get_uconf_index_data("Weather", 1, 13, out);
  EXPECT_STREQ(out, "Sunny");
  get_uconf_index_data("Weather", 2, 13, out);
  EXPECT_STREQ(out, "");

  // A null key and value empty the section.
  EXPECT_EQ(set_uconf_string("Weather", nullptr, nullptr), 1);
  EXPECT_EQ(get_uconf_int("Weather", "Count", 10), 0);
  EXPECT_EQ(get_uconf_string("Default", "Diver", 21, out), 1);

  EXPECT_EQ(path_uconf_dir(out), 1);
  EXPECT_EQ(QDir(QString::fromLocal8Bit(out)), QDir(InProgram("USERCONF")));
}

TEST_F(VelmTest, WithoutAUserConfigurationFolderNothingIsStored) {
  QDir(InProgram("USERCONF")).removeRecursively();
  char out[260] = "x";
  EXPECT_EQ(path_uconf_dir(out), 0);
  EXPECT_EQ(set_uconf_int("Measure", "Mode", 10, 2), 0);
  EXPECT_EQ(get_uconf_int("Measure", "Mode", 10), 0);
}

TEST_F(VelmTest, GraphRecordsComeBackByteExact) {
  VelmGraphConf conf;
  auto* bytes = reinterpret_cast<unsigned char*>(&conf);
  for (std::size_t i = 0; i < sizeof conf; ++i) bytes[i] = static_cast<unsigned char>(i * 31 + 7);
  conf.Reserved = static_cast<int32_t>(0xDEADBEEF);
  EXPECT_EQ(set_graph_conf(&conf), 1);
  VelmGraphConf back;
  std::memset(&back, 0, sizeof back);
  EXPECT_EQ(get_graph_conf(&back), 1);
  EXPECT_EQ(0, std::memcmp(&conf, &back, sizeof conf));

  for (int line = 0; line < 8; ++line) {
    const VelmGraphLine l{1, line, 2 * line, 3 * line, line + 1};
    EXPECT_EQ(set_graph_line(line, &l), 1);
  }
  for (int line = 0; line < 8; ++line) {
    VelmGraphLine l{};
    EXPECT_EQ(get_graph_line(line, &l), 1);
    EXPECT_EQ(l.Green, 2 * line);
    EXPECT_EQ(l.Width, line + 1);
  }
  VelmGraphLine bad{};
  EXPECT_EQ(set_graph_line(8, &bad), 0);
}

TEST_F(VelmTest, GraphDefaultsWhenNothingIsStored) {
  VelmGraphConf conf{};
  EXPECT_EQ(get_graph_conf(&conf), 0);
  EXPECT_NE(conf.Flags & 0x00000100, 0);  // plain colour background
  EXPECT_NE(conf.Flags & 0x01000000, 0);  // grid shown
  VelmGraphLine line{};
  EXPECT_EQ(get_graph_line(0, &line), 0);
  EXPECT_EQ(line.Red, 255);
  EXPECT_EQ(line.Width, 1);
}

TEST_F(VelmTest, DamagedStoresReadAsAbsent) {
  VelmGraphConf conf{};
  conf.Reserved = 77;
  set_graph_conf(&conf);
  VelmWindowPlacement p{44, 0, 1, 0, 0, 0, 0, 10, 20, 810, 620};
  set_window_place("Main", &p);
  // Cut both files in the middle of their records.
  for (const char* name : {"GRAPH.INI", "PLACES.INI"}) {
    QFile f(QString::fromStdString(Uconf(name)));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.resize(f.size() / 2);
  }
  VelmGraphConf back{};
  EXPECT_EQ(get_graph_conf(&back), 0);
  EXPECT_NE(back.Reserved, 77);
  VelmWindowPlacement q{};
  EXPECT_EQ(get_window_place("Main", &q), 0);
  EXPECT_EQ(q.length, 0u);
  // Binary garbage in the user store.
  QByteArray junk(3000, '\0');
  for (int i = 0; i < junk.size(); ++i) junk[i] = static_cast<char>((i * 131) & 0xFF);
  test::WriteAll(QString::fromStdString(Uconf("USERCONF.INI")), junk);
  char out[32];
  EXPECT_EQ(get_uconf_string("Default", "Diver", 21, out), 0);
  EXPECT_EQ(get_uconf_int("Measure", "Mode", 10), 0);
}

TEST_F(VelmTest, WindowPlacements) {
  VelmWindowPlacement none{};
  none.length = 99;
  EXPECT_EQ(get_window_place("Graph", &none), 0);
  EXPECT_EQ(none.length, 0u);  // always filled
  VelmWindowPlacement p{44, 0, 3, -1, -1, -1, -1, 10, 20, 810, 620};
  EXPECT_EQ(set_window_place("Graph", &p), 1);
  VelmWindowPlacement q{};
  EXPECT_EQ(get_window_place("Graph", &q), 1);
  EXPECT_EQ(0, std::memcmp(&p, &q, sizeof p));
}

TEST_F(VelmTest, LogCounters) {
  EXPECT_EQ(get_log_int("Count", "Serial", 10), 0);
  EXPECT_EQ(set_log_int("Count", "Serial", 10, 42), 1);
  EXPECT_EQ(get_log_int("Count", "Serial", 10), 42);
}

VelmAlbumData Album(int kind, const char* comment, const char* capture) {
  VelmAlbumData d{};
  d.Kind = kind;
  std::strncpy(d.Comment, comment, sizeof d.Comment - 1);
  std::strncpy(d.Capture, capture, sizeof d.Capture - 1);
  return d;
}

TEST_F(VelmTest, AlbumEntriesWithTheSamePathShareOneRecord) {
  const char* pic = "/photos/Reef = 1.jpg";
  EXPECT_EQ(set_album_prof_int(7, "List", "Count", 10, 2, nullptr), 1);
  EXPECT_TRUE(QFile::exists(InProgram("LOG/VELM0007.ALB")));
  set_album_prof_idx_data(7, "List", 1, pic, nullptr);
  set_album_prof_idx_data(7, "List", 2, pic, nullptr);
  auto first = Album(1, "first", "");
  auto second = Album(1, "second", "");
  set_album_prof_data(7, pic, &first, nullptr);
  set_album_prof_data(7, pic, &second, nullptr);

  char path[260];
  EXPECT_EQ(get_album_prof_int(7, "List", "Count", 10, nullptr), 2);
  for (int i = 1; i <= 2; ++i) {
    get_album_prof_idx_data(7, "List", i, 260, path, nullptr);
    EXPECT_STREQ(path, pic);
    VelmAlbumData d{};
    EXPECT_EQ(get_album_prof_data(7, path, &d, nullptr), 1);
    EXPECT_STREQ(d.Comment, "second");  // the record written last
  }
  VelmAlbumData d{};
  EXPECT_EQ(get_album_prof_data(7, "/photos/reef = 1.jpg", &d, nullptr), VELM_NO_ALBUM_DATA);
  EXPECT_EQ(get_album_prof_data(8, pic, &d, nullptr), VELM_NO_ALBUM_DATA);
}

TEST_F(VelmTest, AnAlbumFileCopiedToAnotherNumberStaysReadable) {
  const auto movie = Album(2, "Manta", "VIDE0001.JPG");
  set_album_prof_int(3, "List", "Count", 10, 1, nullptr);
  set_album_prof_idx_data(3, "List", 1, "/movies/manta.avi", nullptr);
  set_album_prof_data(3, "/movies/manta.avi", &movie, nullptr);
  ASSERT_TRUE(QFile::copy(InProgram("LOG/VELM0003.ALB"), InProgram("LOG/VELM0042.ALB")));

  EXPECT_EQ(get_album_prof_int(42, "List", "Count", 10, nullptr), 1);
  VelmAlbumData d{};
  EXPECT_EQ(get_album_prof_data(42, "/movies/manta.avi", &d, nullptr), 1);
  EXPECT_EQ(0, std::memcmp(&d, &movie, sizeof d));
  // Addressed by path, the number does not matter at all.
  const std::string other = InProgram("elsewhere.ALB").toStdString();
  QFile::copy(InProgram("LOG/VELM0003.ALB"), QString::fromStdString(other));
  EXPECT_EQ(get_album_prof_data(999, "/movies/manta.avi", &d, other.c_str()), 1);
}

TEST_F(VelmTest, FolderUtilities) {
  char out[260];
  make_pathname("/a/b", "C.LST", out);
  EXPECT_STREQ(out, "/a/b/C.LST");
  make_pathname("/a/b/", "C.LST", out);
  EXPECT_STREQ(out, "/a/b/C.LST");

  char line[] = "Diver name\r\n";
  set_null(line);
  EXPECT_STREQ(line, "Diver name");
  char padded[] = "Reef      ";
  blk_del(padded);
  EXPECT_STREQ(padded, "Reef");
  char blank[] = "    ";
  blk_del(blank);
  EXPECT_STREQ(blank, "");

  QDir(ProgramFolder()).mkpath("SRC/sub");
  test::WriteAll(InProgram("SRC/VIDE0001.JPG"), "jpeg");
  test::WriteAll(InProgram("SRC/VIDE0002.JPG"), "jpeg2");
  EXPECT_NE(CopyDir(InProgram("SRC").toLocal8Bit().constData(),
                    InProgram("DST").toLocal8Bit().constData()), 0);
  EXPECT_EQ(test::ReadAll(InProgram("DST/VIDE0002.JPG")), "jpeg2");
  EXPECT_EQ(CopyDir(InProgram("NOPE").toLocal8Bit().constData(),
                    InProgram("DST").toLocal8Bit().constData()), 0);

  EXPECT_EQ(delete_dir(InProgram("SRC").toLocal8Bit().constData()), 1);
  EXPECT_FALSE(QDir(InProgram("SRC")).exists());
  EXPECT_EQ(delete_dir(InProgram("SRC").toLocal8Bit().constData()), 1);  // already gone
}

}  // namespace
