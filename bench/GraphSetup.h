#pragma once
// A program folder with a journal of eight generated dives and the graph
// window, for the graph benchmark and the graph gallery.
#include <memory>
#include <vector>

#include <QDir>
#include <QTemporaryDir>

#include "bench/DiveFixture.h"
#include "graph/Graphunit.h"
#include "platform/os/Formats.h"
#include "store/Dataunit.h"
#include "store/JournalRecords.h"

namespace fixture {

struct GraphSetup {
  QTemporaryDir program;
  QTemporaryDir windows;
  std::unique_ptr<TVelmDataModule> dm;
  std::unique_ptr<TGraphForm> form;
  std::vector<db::Bookmark> metric;    // dives 1-8, metric records
  std::vector<db::Bookmark> imperial;  // dives 11-18, imperial records

  explicit GraphSetup(int samples) {
    qputenv("KELDORAN_WINDIR", windows.path().toLocal8Bit());
    QDir::setCurrent(program.path());
    dm = std::make_unique<TVelmDataModule>();
    dm->VelmDataModuleCreate();
    for (int set = 0; set < 2; ++set) {
      for (int n = 0; n < 8; ++n) {
        JournalRecord r;
        r.ID = set * 10 + n + 1;
        r.Mode = set + 1;
        r.Date = fmt::TryEncodeDate(2026, 12, 1 + n);
        r.No = QString::number(n + 1);
        journal::AppendRecord(dm->LogTable, r);
        QFile file(dm->ProfilePath(r.ID));
        if (file.open(QIODevice::WriteOnly)) file.write(ProfileText(n, samples, set == 1));
        (set == 0 ? metric : imperial).push_back(dm->LogTable.GetBookmark());
      }
    }
    form = std::make_unique<TGraphForm>();
  }
  ~GraphSetup() {
    form.reset();
    dm.reset();
    QDir::setCurrent(QDir::tempPath());
  }
  // Draws `rows` afresh, as after closing and pressing Graph again.
  int Draw(const std::vector<db::Bookmark>& rows) {
    dm->GraphKind = 0;
    dm->LogTable.GotoBookmark(rows.front());
    return form->LoadGraph(rows);
  }
};

}  // namespace fixture
