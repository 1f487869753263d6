// The graph window grabbed into PNG files for a visual check: one dive and
// the 8-dive overlay, metric and imperial, 3D on and off, gradient
// background. Usage: graph_gallery [folder]
#include <QApplication>
#include <QDir>

#include "bench/GraphSetup.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QString out = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath()).absolutePath();
  QDir().mkpath(out);
  fixture::GraphSetup s(1400);
  s.form->resize(900, 560);
  s.form->show();

  struct Shot {
    const char* name;
    bool overlay, imperial, view3D, gradient;
  };
  const Shot shots[] = {
      {"graph_single_metric.png", false, false, false, false},
      {"graph_overlay_metric.png", true, false, false, false},
      {"graph_overlay_metric_3d.png", true, false, true, false},
      {"graph_overlay_imperial.png", true, true, false, false},
      {"graph_overlay_imperial_3d_gradient.png", true, true, true, true},
      {"graph_single_metric_gradient.png", false, false, false, true},
  };
  GraphConf& conf = s.dm->Graph;
  const GraphConf plain = conf;
  for (const Shot& shot : shots) {
    conf = plain;
    conf.Flags &= ~(GraphConf::View3D | GraphConf::View2D | GraphConf::Gradient | GraphConf::NotGradient);
    conf.Flags |= (shot.view3D ? GraphConf::View3D : GraphConf::View2D) |
                  (shot.gradient ? GraphConf::Gradient : GraphConf::NotGradient);
    conf.GradFile.clear();
    s.form->ApplyGraphConf();
    const auto& rows = shot.imperial ? s.imperial : s.metric;
    s.Draw(shot.overlay ? rows : std::vector<db::Bookmark>{rows[2]});
    s.form->MoveCursorTo(s.form->TimeSpan / 3 / 5 * 5);
    app.processEvents();
    s.form->grab().save(QDir(out).filePath(QLatin1String(shot.name)));
  }
  return 0;
}
