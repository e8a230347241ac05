// The application of the editor's benchmarks: offscreen, and the program's
// log silenced (the transport's lines would drown the figures).
#pragma once

#include <QApplication>

#include "model/Log.h"

namespace padkbd::bench {

class BenchApplication : public QApplication {
 public:
  BenchApplication(int& argc, char** argv) : QApplication(offscreen(argc), argv) {
    log::setSink([](log::Channel, std::string_view) {});
  }

 private:
  static int& offscreen(int& argc) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    return argc;
  }
};

}  // namespace padkbd::bench
