#include "platform/os/Codec.h"

#include <algorithm>
#include <array>

namespace os {
namespace {

// Windows-1252 bytes 0x80..0x9F; 0 marks the five unassigned positions,
// which decode to the C1 control of the same value.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

QString FromAnsi(const char* data, qsizetype size) {
  QString out(size, Qt::Uninitialized);
  QChar* dst = out.data();
  for (qsizetype i = 0; i < size; ++i) {
    const auto b = static_cast<unsigned char>(data[i]);
    if (b >= 0x80 && b <= 0x9F && kHigh[b - 0x80] != 0) {
      dst[i] = QChar(kHigh[b - 0x80]);
    } else {
      dst[i] = QChar(static_cast<char16_t>(b));
    }
  }
  return out;
}

namespace {
char AnsiOf(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (int k = 0; k < 32; ++k) {
    if (kHigh[k] == c || (kHigh[k] == 0 && c == 0x80 + k)) return static_cast<char>(0x80 + k);
  }
  return '?';
}
}  // namespace

QByteArray ToAnsi(const QString& text) {
  QByteArray out(text.size(), Qt::Uninitialized);
  ToAnsiInto(text, out.data(), static_cast<int>(text.size()));
  return out;
}

int ToAnsiInto(const QString& text, char* out, int width) {
  const int n = static_cast<int>(std::min<qsizetype>(text.size(), width));
  const QChar* src = text.constData();
  for (int i = 0; i < n; ++i) out[i] = AnsiOf(src[i].unicode());
  return n;
}

QString CutToWidth(const QString& text, int width) {
  // One Windows-1252 byte per character, so the width is a character count.
  return text.size() <= width ? text : text.left(width);
}

}  // namespace os
