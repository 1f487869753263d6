#pragma once
// The progress window as long operations see it. ShowProgress hands out a
// token (1); a caller that got a negative value keeps -1 instead, and the
// other two operations then do nothing. An empty text passed to
// UpdateProgress leaves that line as it is; the bar is always set (positions
// outside 0-100 show at the nearest limit, -1 an empty bar).
#include <QString>

class ProgressDisplay {
 public:
  virtual ~ProgressDisplay() = default;
  virtual int ShowProgress(const QString& caption, const QString& line1, const QString& line2,
                           int position, const QString& line3) = 0;
  virtual void UpdateProgress(const QString& caption, const QString& line1, const QString& line2,
                              int position, const QString& line3, int token) = 0;
  virtual void HideProgress(int token) = 0;
};
