// The profile library's operations. Every store is a profile file (see
// ProfileFile.h); binary records are kept as hex text so that they come back
// byte for byte, and a damaged record reads as absent.
#include "profile_library/velm.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "profile_library/ProfileFile.h"

namespace fs = std::filesystem;
using velm::FromHex;
using velm::ProfileFile;
using velm::ToHex;

namespace {

constexpr int kPathSize = 260;

std::string Str(const char* s) { return s != nullptr ? std::string(s) : std::string(); }

// Copies `value` into a caller's buffer of `size` bytes, always terminated.
int CopyOut(const std::string& value, int size, char* out) {
  if (out == nullptr || size <= 0) return 0;
  const auto n = std::min<std::size_t>(value.size(), static_cast<std::size_t>(size - 1));
  std::memcpy(out, value.data(), n);
  out[n] = '\0';
  return static_cast<int>(n);
}

int ToInt(const std::optional<std::string>& text, int radix) {
  if (!text) return 0;
  char* end = nullptr;
  const long v = std::strtol(text->c_str(), &end, radix > 1 && radix <= 36 ? radix : 10);
  if (v > INT32_MAX || v < INT32_MIN) return 0;
  return static_cast<int>(v);
}

fs::path WindowsFolder() {
  fs::path folder;
  if (const char* env = std::getenv("KELDORAN_WINDIR"); env != nullptr && *env != '\0') {
    folder = env;
  } else if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg != '\0') {
    folder = fs::path(xdg) / "keldoran";
  } else if (const char* home = std::getenv("HOME"); home != nullptr) {
    folder = fs::path(home) / ".config" / "keldoran";
  } else {
    folder = fs::current_path();
  }
  std::error_code ec;
  fs::create_directories(folder, ec);
  return folder;
}

// An INI name without a folder lies in the Windows folder.
fs::path ProfilePath(const char* ini) {
  const std::string name = Str(ini);
  if (name.find('/') == std::string::npos && name.find('\\') == std::string::npos) {
    return WindowsFolder() / name;
  }
  return fs::path(name);
}

// The user configuration folder: "USERCONF" of the program folder, when it
// exists.
std::optional<fs::path> UconfFolder() {
  std::error_code ec;
  const fs::path folder = fs::current_path(ec) / "USERCONF";
  if (ec || !fs::is_directory(folder, ec)) return std::nullopt;
  return folder;
}

std::optional<fs::path> UconfFile(const char* name) {
  const auto folder = UconfFolder();
  if (!folder) return std::nullopt;
  return *folder / name;
}

constexpr const char* kUconfStore = "USERCONF.INI";
constexpr const char* kCounterStore = "LOGCOUNT.INI";
constexpr const char* kPlacementStore = "PLACES.INI";
constexpr const char* kGraphStore = "GRAPH.INI";

std::optional<std::string> Read(const std::optional<fs::path>& file, const char* section,
                                const std::string& key) {
  if (!file || section == nullptr) return std::nullopt;
  return ProfileFile(*file).Get(section, key);
}

int Write(const std::optional<fs::path>& file, const char* section, const std::string& key,
          const std::string& value) {
  if (!file || section == nullptr) return 0;
  ProfileFile profile(*file);
  profile.Set(section, key, value);
  return profile.Save() ? 1 : 0;
}

fs::path AlbumPath(int id, const char* path) {
  if (path != nullptr && *path != '\0') return fs::path(path);
  char name[16];
  std::snprintf(name, sizeof name, "VELM%04d.ALB", id);
  char logDir[kPathSize] = {};
  if (get_prof_path("Config", "Log Dir", "KELDORAN.INI", kPathSize, logDir) == 0 ||
      logDir[0] == '\0') {
    return fs::current_path() / "LOG" / name;
  }
  return fs::path(logDir) / name;
}

// Album records are kept under the hex form of their path, so any path
// (blanks, '=', case) is a key of its own.
constexpr const char* kAlbumDataSection = "Data";

void RGB(int32_t (&out)[3], int r, int g, int b) {
  out[0] = r;
  out[1] = g;
  out[2] = b;
}

VelmGraphConf DefaultGraphConf() {
  VelmGraphConf c{};
  c.Flags = 0x00000010 | 0x00000100 | 0x00001000 | 0x00010000 | 0x00200000 | 0x01000000;
  RGB(c.LeftWallColor, 191, 233, 242);
  RGB(c.BottomWallColor, 232, 200, 114);
  RGB(c.Colors[0], 255, 255, 255);  // background
  RGB(c.Colors[1], 212, 208, 200);  // panel
  RGB(c.Colors[2], 191, 233, 242);  // gradient start
  RGB(c.Colors[3], 11, 79, 124);    // gradient end
  RGB(c.Colors[4], 160, 160, 160);  // grid
  RGB(c.Colors[5], 255, 255, 255);  // legend
  RGB(c.Colors[6], 0, 0, 0);        // cursor
  return c;
}

VelmGraphLine DefaultGraphLine(int line) {
  static constexpr int kColors[8][3] = {{255, 0, 0},   {0, 0, 255},   {0, 128, 0},
                                        {255, 0, 255}, {255, 128, 0}, {0, 128, 128},
                                        {128, 64, 0},  {0, 0, 128}};
  const auto& c = kColors[line & 7];
  return VelmGraphLine{1, c[0], c[1], c[2], 1};
}

}  // namespace

extern "C" {

int make_pathname(const char* folder, const char* name, char* out) {
  std::string path = Str(folder);
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
  path += Str(name);
  CopyOut(path, kPathSize, out);
  return 1;
}

int set_null(char* text) {
  if (text == nullptr) return 0;
  std::size_t n = std::strlen(text);
  while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\r')) text[--n] = '\0';
  return 1;
}

int blk_del(char* text) {
  if (text == nullptr) return 0;
  std::size_t n = std::strlen(text);
  while (n > 0 && text[n - 1] == ' ') text[--n] = '\0';
  return 1;
}

int delete_dir(const char* folder) {
  if (folder == nullptr || *folder == '\0') return 0;
  std::error_code ec;
  fs::remove_all(folder, ec);
  return ec ? 0 : 1;
}

int CopyDir(const char* source, const char* target) {
  std::error_code ec;
  if (source == nullptr || target == nullptr || !fs::is_directory(source, ec)) return 0;
  fs::create_directories(target, ec);
  if (!fs::is_directory(target, ec)) return 0;
  for (const auto& entry : fs::directory_iterator(source, ec)) {
    if (!entry.is_regular_file(ec)) continue;
    fs::copy_file(entry.path(), fs::path(target) / entry.path().filename(),
                  fs::copy_options::overwrite_existing, ec);
    if (ec) return 0;
  }
  return ec ? 0 : 1;
}

int get_prof_path(const char* section, const char* key, const char* ini, int size, char* out) {
  CopyOut(std::string(), size, out);
  const auto value = Read(ProfilePath(ini), section, Str(key));
  if (!value) return 0;
  CopyOut(*value, size, out);
  return 1;
}

int set_prof_path(const char* section, const char* key, const char* value, const char* ini) {
  return Write(ProfilePath(ini), section, Str(key), Str(value));
}

int get_prof_int(const char* section, const char* key, int radix, const char* ini) {
  return ToInt(Read(ProfilePath(ini), section, Str(key)), radix);
}

int set_prof_int(const char* section, const char* key, int /*radix*/, int value, const char* ini) {
  return Write(ProfilePath(ini), section, Str(key), std::to_string(value));
}

int get_uconf_string(const char* section, const char* key, int size, char* out) {
  CopyOut(std::string(), size, out);
  const auto value = Read(UconfFile(kUconfStore), section, Str(key));
  if (!value) return 0;
  CopyOut(*value, size, out);
  return 1;
}

int set_uconf_string(const char* section, const char* key, const char* value) {
  const auto file = UconfFile(kUconfStore);
  if (!file || section == nullptr) return 0;
  ProfileFile profile(*file);
  if (key == nullptr) {
    profile.RemoveSection(section);
  } else if (value == nullptr) {
    profile.RemoveKey(section, key);
  } else {
    profile.Set(section, key, value);
  }
  return profile.Save() ? 1 : 0;
}

int get_uconf_int(const char* section, const char* key, int radix) {
  return ToInt(Read(UconfFile(kUconfStore), section, Str(key)), radix);
}

int set_uconf_int(const char* section, const char* key, int /*radix*/, int value) {
  return Write(UconfFile(kUconfStore), section, Str(key), std::to_string(value));
}

int get_uconf_index_data(const char* section, int index, int size, char* out) {
  CopyOut(std::string(), size, out);
  const auto value = Read(UconfFile(kUconfStore), section, std::to_string(index));
  return value ? CopyOut(*value, size, out) : 0;
}

int set_uconf_index_data(const char* section, int index, const char* text) {
  return Write(UconfFile(kUconfStore), section, std::to_string(index), Str(text));
}

int path_uconf_dir(char* out) {
  const auto folder = UconfFolder();
  if (!folder || folder->string().size() >= kPathSize) {
    CopyOut(std::string(), kPathSize, out);
    return 0;
  }
  CopyOut(folder->string(), kPathSize, out);
  return 1;
}

int get_log_int(const char* section, const char* key, int radix) {
  return ToInt(Read(UconfFile(kCounterStore), section, Str(key)), radix);
}

int set_log_int(const char* section, const char* key, int /*radix*/, int value) {
  return Write(UconfFile(kCounterStore), section, Str(key), std::to_string(value));
}

int get_window_place(const char* name, VelmWindowPlacement* placement) {
  if (placement == nullptr) return 0;
  *placement = VelmWindowPlacement{};
  const auto hex = Read(UconfFile(kPlacementStore), "Placement", Str(name));
  VelmWindowPlacement stored{};
  if (!hex || !FromHex(*hex, &stored, sizeof stored) || stored.length != sizeof stored) return 0;
  *placement = stored;
  return 1;
}

int set_window_place(const char* name, const VelmWindowPlacement* placement) {
  if (placement == nullptr) return 0;
  return Write(UconfFile(kPlacementStore), "Placement", Str(name),
               ToHex(placement, sizeof *placement));
}

int get_graph_conf(VelmGraphConf* conf) {
  if (conf == nullptr) return 0;
  const auto hex = Read(UconfFile(kGraphStore), "Graph", "Conf");
  VelmGraphConf stored{};
  if (hex && FromHex(*hex, &stored, sizeof stored)) {
    *conf = stored;
    return 1;
  }
  *conf = DefaultGraphConf();
  return 0;
}

int set_graph_conf(const VelmGraphConf* conf) {
  if (conf == nullptr) return 0;
  return Write(UconfFile(kGraphStore), "Graph", "Conf", ToHex(conf, sizeof *conf));
}

int get_graph_line(int line, VelmGraphLine* record) {
  if (record == nullptr || line < 0 || line > 7) return 0;
  const auto hex = Read(UconfFile(kGraphStore), "Graph", "Line" + std::to_string(line));
  VelmGraphLine stored{};
  if (hex && FromHex(*hex, &stored, sizeof stored)) {
    *record = stored;
    return 1;
  }
  *record = DefaultGraphLine(line);
  return 0;
}

int set_graph_line(int line, const VelmGraphLine* record) {
  if (record == nullptr || line < 0 || line > 7) return 0;
  return Write(UconfFile(kGraphStore), "Graph", "Line" + std::to_string(line),
               ToHex(record, sizeof *record));
}

int get_album_prof_int(int id, const char* section, const char* key, int radix,
                       const char* path) {
  return ToInt(Read(AlbumPath(id, path), section, Str(key)), radix);
}

int set_album_prof_int(int id, const char* section, const char* key, int /*radix*/, int value,
                       const char* path) {
  return Write(AlbumPath(id, path), section, Str(key), std::to_string(value));
}

int get_album_prof_idx_data(int id, const char* section, int index, int size, char* out,
                            const char* path) {
  CopyOut(std::string(), size, out);
  const auto value = Read(AlbumPath(id, path), section, std::to_string(index));
  return value ? CopyOut(*value, size, out) : 0;
}

int set_album_prof_idx_data(int id, const char* section, int index, const char* name,
                            const char* path) {
  return Write(AlbumPath(id, path), section, std::to_string(index), Str(name));
}

int get_album_prof_data(int id, const char* name, VelmAlbumData* data, const char* path) {
  if (data == nullptr) return 0;
  const auto hex = Read(AlbumPath(id, path), kAlbumDataSection, ToHex(Str(name).data(), Str(name).size()));
  VelmAlbumData stored{};
  if (!hex || !FromHex(*hex, &stored, sizeof stored)) return VELM_NO_ALBUM_DATA;
  *data = stored;
  return 1;
}

int set_album_prof_data(int id, const char* name, const VelmAlbumData* data, const char* path) {
  if (data == nullptr) return 0;
  const std::string key = Str(name);
  return Write(AlbumPath(id, path), kAlbumDataSection, ToHex(key.data(), key.size()),
               ToHex(data, sizeof *data));
}

}  // extern "C"

static_assert(sizeof(VelmWindowPlacement) == 44);
static_assert(sizeof(VelmGraphConf) == 636);
static_assert(offsetof(VelmGraphConf, ImageFile) == 32);
static_assert(offsetof(VelmGraphConf, Colors) == 292);
static_assert(offsetof(VelmGraphConf, GradFile) == 376);
static_assert(sizeof(VelmGraphLine) == 20);
static_assert(sizeof(VelmAlbumData) == 288);
static_assert(offsetof(VelmAlbumData, Capture) == 25);
