// The yardstick of the editor's start-up: an empty Qt window, shown.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.resize(400, 300);
  window.show();
  return QApplication::exec();
}
