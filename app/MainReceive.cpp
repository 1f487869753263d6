// The main window's receive command.
#include "app/Mainunit.h"
#include "platform/os/UiServices.h"
#include "store/Dataunit.h"
#include "watchlink/Commainunit.h"

void TMainForm::RecvSpdBtnClick() {
  if (VelmDataModule == nullptr || !VelmDataModule->EnsureProgramFolderSpace()) return;
  {
    TCommForm dialog(this);
    os::ShowModal(dialog);
  }
  RefreshRecordCount();
}
