// The main window's New edit and Edit commands.
#include "app/Mainunit.h"
#include "journal_edit/Diaryeditunit.h"
#include "platform/os/UiServices.h"
#include "store/Dataunit.h"

namespace {
constexpr int kCaption = 1;      // "KELDORAN GRAPH 2"
constexpr int kNoRecord = 1861;  // "No journal record found"
}  // namespace

void TMainForm::NewSpdBtnClick() {
  if (VelmDataModule == nullptr || !VelmDataModule->EnsureProgramFolderSpace()) return;
  {
    TDiaryEditForm form(this);
    form.SetMode(2);
    os::ShowModal(form);
  }
  RefreshRecordCount();
}

void TMainForm::EditSpdBtnClick() {
  if (VelmDataModule == nullptr || !VelmDataModule->EnsureProgramFolderSpace()) return;
  if (VelmDataModule->LogTable.RecordCount() == 0) {
    VelmDataModule->ShowMessageId(kNoRecord, kCaption, os::MsgIcon::Information);
    return;
  }
  {
    TDiaryEditForm form(this);
    form.SetMode(1);
    os::ShowModal(form);
  }
  RefreshRecordCount();
  RefreshDisplay();
}
