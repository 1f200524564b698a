// Times a drawing's load and plan in the project window as the operator waits for it (offscreen), and how long the
// windows' thread was kept from its events meanwhile: the longest gap between the ticks of a 10 ms timer.
// Usage: varnholt-bench-window FILE...  (the language files are taken from the build's bin folder)

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "files/thpgl.h"
#include "project/project_document.h"
#include "project/ui/mdi_child.h"
#include "services/interfejs.h"
#include "ui/qt_operator.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "Usage: %s FILE...\n", argv[0]);
    return 1;
  }
  // Offscreen whatever the environment says: the platform named on the command line wins.
  int qt_argc = 3;
  char name[] = "varnholt-bench-window", option[] = "-platform", platform[] = "offscreen";
  char* qt_argv[] = {name, option, platform, nullptr};
  QApplication application(qt_argc, qt_argv);
  const std::string folder =
      (std::filesystem::canonical(std::filesystem::path(argv[0])).parent_path().parent_path() / "bin").string() + "/";
  const varnholt::tInterfejs texts(varnholt::InterfaceSetup{folder, {"us"}, 1, ""});
  varnholt::QtOperator op;
  op.SetUnattended(true);
  const varnholt::ScopedOperator installed(op);
  for (int i = 1; i < argc; ++i) {
    const std::string path = argv[i];
    auto* window = new varnholt::TMDIChild(texts);
    window->resize(1200, 800);
    window->show();
    window->document().reader_kind = varnholt::DrawingKindOfFile(path);
    QElapsedTimer since_tick;
    qint64 longest_gap = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
      longest_gap = std::max(longest_gap, since_tick.restart());
    });
    tick.start(10);
    QElapsedTimer clock;
    clock.start();
    since_tick.start();
    const bool loaded = window->Load(path, varnholt::kAllPens);
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    longest_gap = std::max(longest_gap, since_tick.elapsed());
    tick.stop();
    std::printf("%s: load and plan %.2f s, %s, %zu entries; the window thread's longest wait %lld ms\n",
                std::filesystem::path(path).filename().string().c_str(), seconds,
                !loaded ? "not loaded" : window->document().planned ? "planned" : "not planned",
                window->document().figures.size(), static_cast<long long>(longest_gap));
    std::fflush(stdout);
    delete window;
  }
  return 0;
}
