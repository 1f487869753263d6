#include "platform/os/UiServices.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace os {
namespace {

class QtUiServices final : public UiServices {
 public:
  int MessageBox(const MessageRequest& r) override {
    QMessageBox box(r.owner);
    box.setWindowTitle(r.caption);
    box.setText(r.text);
    switch (r.icon) {
      case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
      case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
      case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
      case MsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
      case MsgIcon::None: break;
    }
    switch (r.buttons) {
      case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
      case MsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
      case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
      case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
      case QMessageBox::Ok: return IdOk;
      case QMessageBox::Yes: return IdYes;
      case QMessageBox::No: return IdNo;
      default: return IdCancel;
    }
  }

  QString OpenFileName(QWidget* owner, const QString& caption, const QString& folder,
                       const QString& filter) override {
    return QFileDialog::getOpenFileName(owner, caption, folder, filter);
  }

  QString SaveFileName(QWidget* owner, const QString& caption, const QString& path,
                       const QString& filter) override {
    return QFileDialog::getSaveFileName(owner, caption, path, filter);
  }

  std::optional<QColor> ChooseColor(QWidget* owner, const QColor& initial) override {
    const QColor c = QColorDialog::getColor(initial, owner);
    if (!c.isValid()) return std::nullopt;
    return c;
  }

  bool ShellOpen(const QString& path) override {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
  }

  void ShowHelp(const QString& helpFile, int /*context*/) override {
    // The help is one document; there is no per-context viewer on this
    // platform, so every context opens it at its start.
    if (QFileInfo::exists(helpFile)) ShellOpen(helpFile);
  }

  int ShowModal(QDialog& dialog) override { return dialog.exec(); }
};

QtUiServices g_qt;
UiServices* g_current = nullptr;

}  // namespace

UiServices& Ui() { return g_current != nullptr ? *g_current : g_qt; }

void SetUi(UiServices* services) { g_current = services; }

}  // namespace os
