#include "platform/os/Codec.h"

#include <gtest/gtest.h>

TEST(Codec, Windows1252RoundTrip) {
  QByteArray all;
  for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
  const QString text = os::FromAnsi(all);
  EXPECT_EQ(text.size(), 256);
  EXPECT_EQ(text.at(0x80), QChar(0x20AC));  // euro sign
  EXPECT_EQ(text.at(0xE9), QChar(0xE9));    // e acute
  EXPECT_EQ(os::ToAnsi(text), all);
}

TEST(Codec, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(os::ToAnsi(QStringLiteral("ab\u3042c")), QByteArray("ab?c"));
  EXPECT_EQ(os::CutToWidth(QStringLiteral("abcdef"), 4), QStringLiteral("abcd"));
  EXPECT_EQ(os::CutToWidth(QStringLiteral("ab"), 4), QStringLiteral("ab"));
}
