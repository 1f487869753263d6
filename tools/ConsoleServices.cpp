#include "tools/ConsoleServices.h"

#include <QDialog>
#include <algorithm>
#include <cstdio>

namespace console {

void Error(const QString& text) {
  std::fprintf(stderr, "%s\n", text.toUtf8().constData());
  std::fflush(stderr);
}

void Out(const QString& text) {
  std::fprintf(stdout, "%s\n", text.toUtf8().constData());
  std::fflush(stdout);
}

int ConsoleProgress::ShowProgress(const QString& caption, const QString& line1,
                                  const QString& line2, int position, const QString& line3) {
  caption_ = caption;
  line1_ = line1;
  line2_ = line2;
  line3_ = line3;
  Print(position);
  return 1;
}

void ConsoleProgress::UpdateProgress(const QString& caption, const QString& line1,
                                     const QString& line2, int position, const QString& line3,
                                     int token) {
  if (token != 1) return;
  if (!caption.isEmpty()) caption_ = caption;
  if (!line1.isEmpty()) line1_ = line1;
  if (!line2.isEmpty()) line2_ = line2;
  if (!line3.isEmpty()) line3_ = line3;
  Print(position);
}

void ConsoleProgress::HideProgress(int) {}

void ConsoleProgress::Print(int position) {
  Out(QStringLiteral("%1 | %2 | %3 | %4% | %5")
          .arg(caption_, line1_, line2_)
          .arg(std::clamp(position, 0, 100), 3)
          .arg(line3_));
}

int ConsoleUi::MessageBox(const os::MessageRequest& request) {
  if (request.icon == os::MsgIcon::Warning || request.icon == os::MsgIcon::Error) failed_ = true;
  Error(request.caption.isEmpty() ? request.text : request.caption + QStringLiteral(": ") + request.text);
  switch (request.buttons) {
    case os::MsgButtons::Ok: return os::IdOk;
    case os::MsgButtons::YesNo: return os::IdNo;
    case os::MsgButtons::OkCancel:
    case os::MsgButtons::YesNoCancel: return os::IdCancel;
  }
  return os::IdCancel;
}

QString ConsoleUi::OpenFileName(QWidget*, const QString&, const QString&, const QString&) { return {}; }

QString ConsoleUi::SaveFileName(QWidget*, const QString&, const QString&, const QString&) { return {}; }

std::optional<QColor> ConsoleUi::ChooseColor(QWidget*, const QColor&) { return std::nullopt; }

bool ConsoleUi::ShellOpen(const QString&) { return false; }

void ConsoleUi::ShowHelp(const QString&, int) {}

int ConsoleUi::ShowModal(QDialog&) { return QDialog::Rejected; }

}  // namespace console
