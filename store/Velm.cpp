#include "store/Velm.h"

#include <optional>

#include "platform/os/Codec.h"
#include "profile_library/velm.h"

namespace velmq {
namespace {
constexpr int kPath = 260;

QString FromBuffer(const char* buffer) { return os::FromAnsi(buffer, qstrlen(buffer)); }
}  // namespace

std::optional<QString> GetProfPath(const char* section, const char* key) {
  char buffer[kPath] = {};
  if (get_prof_path(section, key, kIniName, kPath, buffer) == 0) return std::nullopt;
  return FromBuffer(buffer);
}

void SetProfPath(const char* section, const char* key, const QString& value) {
  set_prof_path(section, key, os::ToAnsi(value).constData(), kIniName);
}

int GetProfInt(const char* section, const char* key) {
  return get_prof_int(section, key, 10, kIniName);
}

void SetProfInt(const char* section, const char* key, int value) {
  set_prof_int(section, key, 10, value, kIniName);
}

std::optional<QString> GetUconfString(const char* section, const char* key, int size) {
  QByteArray buffer(size, '\0');
  if (get_uconf_string(section, key, size, buffer.data()) != 1) return std::nullopt;
  return FromBuffer(buffer.constData());
}

bool SetUconfString(const char* section, const char* key, const QString& value) {
  return set_uconf_string(section, key, os::ToAnsi(value).constData()) == 1;
}

int GetUconfInt(const char* section, const char* key) { return get_uconf_int(section, key, 10); }

bool SetUconfInt(const char* section, const char* key, int value) {
  return set_uconf_int(section, key, 10, value) == 1;
}

QString GetUconfIndexData(const char* section, int index, int size) {
  QByteArray buffer(size, '\0');
  get_uconf_index_data(section, index, size, buffer.data());
  return FromBuffer(buffer.constData());
}

bool SetUconfIndexData(const char* section, int index, const QString& text) {
  return set_uconf_index_data(section, index, os::ToAnsi(text).constData()) == 1;
}

std::optional<QString> UconfDir() {
  char buffer[kPath] = {};
  if (path_uconf_dir(buffer) == 0) return std::nullopt;
  return FromBuffer(buffer);
}

QString MakePathname(const QString& folder, const QString& name) {
  char buffer[kPath] = {};
  make_pathname(os::ToAnsi(folder).constData(), os::ToAnsi(name).constData(), buffer);
  return FromBuffer(buffer);
}

std::array<UserArticleDefault, 4> UserArticleDefaults() {
  // "User Item" holds the article name, a comma and its content file's
  // name. The content field holds 20 characters; the reading buffer has
  // one more byte for the terminating zero, so a default of full length
  // arrives whole.
  constexpr int kItemSize = 260;
  constexpr int kEntrySize = 21;
  std::array<UserArticleDefault, 4> out;
  for (int n = 1; n <= 4; ++n) {
    UserArticleDefault& d = out[static_cast<std::size_t>(n - 1)];
    const QString item = GetUconfIndexData("User Item", n, kItemSize);
    const qsizetype comma = item.indexOf(u',');
    if (comma > 0) d.article = item.left(comma);
    d.content = GetUconfIndexData("User Entry", n, kEntrySize);
  }
  return out;
}

}  // namespace velmq
