#pragma once
// Thin Qt-side wrappers around the profile library's C operations: texts
// cross as Windows-1252 bytes, buffers get the sizes the stores are read
// with.
#include <array>
#include <optional>

#include <QString>

namespace velmq {

// KELDORAN.INI in the Windows folder.
inline constexpr const char* kIniName = "KELDORAN.INI";

// Nothing when the key is absent.
std::optional<QString> GetProfPath(const char* section, const char* key);
void SetProfPath(const char* section, const char* key, const QString& value);
int GetProfInt(const char* section, const char* key);
void SetProfInt(const char* section, const char* key, int value);

// `size` is the reading buffer's size: at most size - 1 characters come back.
std::optional<QString> GetUconfString(const char* section, const char* key, int size);
bool SetUconfString(const char* section, const char* key, const QString& value);
int GetUconfInt(const char* section, const char* key);
bool SetUconfInt(const char* section, const char* key, int value);
QString GetUconfIndexData(const char* section, int index, int size);
bool SetUconfIndexData(const char* section, int index, const QString& text);

// A new record's default user article of one slot (1 to 4): the article
// name, the part of "User Item" before its comma (empty without one), and
// the default content "User Entry" (20 characters at most).
struct UserArticleDefault {
  QString article;
  QString content;
};
std::array<UserArticleDefault, 4> UserArticleDefaults();

// The user configuration folder; nothing when the library cannot give it.
std::optional<QString> UconfDir();
QString MakePathname(const QString& folder, const QString& name);

}  // namespace velmq
