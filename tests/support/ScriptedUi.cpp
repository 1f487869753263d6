#include "tests/support/ScriptedUi.h"

#include <QDialog>

namespace test {

ScriptedUi::ScriptedUi() { os::SetUi(this); }

ScriptedUi::~ScriptedUi() { os::SetUi(nullptr); }

std::vector<int> ScriptedUi::MessageIds() const {
  std::vector<int> ids;
  for (const auto& m : messages_) ids.push_back(m.textId);
  return ids;
}

int ScriptedUi::MessageBox(const os::MessageRequest& request) {
  messages_.push_back(request);
  if (!answers_.empty()) {
    const int a = answers_.front();
    answers_.pop_front();
    return a;
  }
  return request.buttons == os::MsgButtons::YesNo || request.buttons == os::MsgButtons::YesNoCancel
             ? os::IdYes
             : os::IdOk;
}

static QString Next(std::deque<QString>& q) {
  if (q.empty()) return {};
  QString s = q.front();
  q.pop_front();
  return s;
}

QString ScriptedUi::OpenFileName(QWidget*, const QString&, const QString&, const QString&) {
  return Next(fileNames_);
}

QString ScriptedUi::SaveFileName(QWidget*, const QString&, const QString&, const QString&) {
  return Next(fileNames_);
}

std::optional<QColor> ScriptedUi::ChooseColor(QWidget*, const QColor&) {
  if (colors_.empty()) return std::nullopt;
  auto c = colors_.front();
  colors_.pop_front();
  return c;
}

bool ScriptedUi::ShellOpen(const QString& path) {
  opened_.push_back(path);
  return true;
}

void ScriptedUi::ShowHelp(const QString&, int context) { help_.push_back(context); }

int ScriptedUi::ShowModal(QDialog& dialog) {
  ++modalCount_;
  if (!modal_) return QDialog::Rejected;
  const int result = modal_(dialog);
  dialog.setResult(result);
  return result;
}

}  // namespace test
