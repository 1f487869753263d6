#pragma once
// Text in files and table fields is single-byte Windows-1252; widths are
// counted in bytes. These two functions are the only place where such bytes
// become a QString and back.
#include <QByteArray>
#include <QString>

namespace os {

QString FromAnsi(const char* data, qsizetype size);
inline QString FromAnsi(const QByteArray& bytes) { return FromAnsi(bytes.constData(), bytes.size()); }

// Characters that have no Windows-1252 byte become '?'.
QByteArray ToAnsi(const QString& text);
// The same written into `out`, at most `width` bytes; returns the count.
int ToAnsiInto(const QString& text, char* out, int width);

// The text cut to at most `width` bytes of its Windows-1252 form.
QString CutToWidth(const QString& text, int width);

}  // namespace os
