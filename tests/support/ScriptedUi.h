#pragma once
// Scripted UI services for tests: every message box is recorded (string
// numbers, texts, icon, buttons) and answered from a queue; dialogs shown
// modally are handed to a test callback that operates and closes them.
#include <deque>
#include <functional>
#include <vector>

#include "platform/os/UiServices.h"

namespace test {

class ScriptedUi final : public os::UiServices {
 public:
  ScriptedUi();   // installs itself
  ~ScriptedUi() override;  // restores the Qt services

  // Answers, in order; when the queue is empty a box answers OK (or Yes for
  // a Yes/No question).
  void QueueAnswer(int answer) { answers_.push_back(answer); }
  void QueueFileName(const QString& name) { fileNames_.push_back(name); }
  void QueueColor(std::optional<QColor> c) { colors_.push_back(c); }
  // Called with each dialog shown modally; its return value is the dialog's
  // result. Without a handler, dialogs are rejected unseen.
  void OnModal(std::function<int(QDialog&)> handler) { modal_ = std::move(handler); }

  const std::vector<os::MessageRequest>& Messages() const { return messages_; }
  std::vector<int> MessageIds() const;
  const std::vector<QString>& ShellOpened() const { return opened_; }
  const std::vector<int>& HelpContexts() const { return help_; }
  int ModalCount() const { return modalCount_; }
  void Clear() { messages_.clear(); }

  int MessageBox(const os::MessageRequest& request) override;
  QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override;
  QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override;
  std::optional<QColor> ChooseColor(QWidget*, const QColor&) override;
  bool ShellOpen(const QString& path) override;
  void ShowHelp(const QString& helpFile, int context) override;
  int ShowModal(QDialog& dialog) override;

 private:
  std::deque<int> answers_;
  std::deque<QString> fileNames_;
  std::deque<std::optional<QColor>> colors_;
  std::function<int(QDialog&)> modal_;
  std::vector<os::MessageRequest> messages_;
  std::vector<QString> opened_;
  std::vector<int> help_;
  int modalCount_ = 0;
};

}  // namespace test
