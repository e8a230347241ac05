// Draws the selection images of the editor window into PNG files in the
// current folder. Run it again after changing a look; the PNGs are checked in.
//   c++ -std=c++20 -fPIC draw_images.cpp $(pkg-config --cflags --libs Qt6Gui) -o draw_images
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

constexpr int kSize = 128;

QImage canvas() {
  QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

// A rubber pad seen from above: rounded square, unlit grey or lit amber.
QImage pad(bool lit) {
  QImage image = canvas();
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF outer(6, 6, kSize - 12, kSize - 12);
  if (lit) {
    // Glow around the pad.
    QRadialGradient glow(outer.center(), kSize * 0.62);
    glow.setColorAt(0.70, QColor(255, 170, 40, 120));
    glow.setColorAt(1.0, QColor(255, 170, 40, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawRoundedRect(QRectF(0, 0, kSize, kSize), 26, 26);
  }
  QLinearGradient body(outer.topLeft(), outer.bottomLeft());
  if (lit) {
    body.setColorAt(0.0, QColor(255, 214, 120));
    body.setColorAt(1.0, QColor(246, 146, 30));
  } else {
    body.setColorAt(0.0, QColor(92, 98, 108));
    body.setColorAt(1.0, QColor(58, 62, 70));
  }
  p.setBrush(body);
  p.setPen(QPen(lit ? QColor(255, 236, 190) : QColor(140, 146, 156), 4));
  p.drawRoundedRect(outer.adjusted(4, 4, -4, -4), 18, 18);
  // Soft highlight on the upper half, like light on rubber.
  QLinearGradient shine(outer.topLeft(), outer.center());
  shine.setColorAt(0.0, QColor(255, 255, 255, lit ? 90 : 40));
  shine.setColorAt(1.0, QColor(255, 255, 255, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(shine);
  p.drawRoundedRect(outer.adjusted(12, 12, -12, -outer.height() / 2), 12, 12);
  return image;
}

// A knob from above: dark cap with a pointer, a lit ring when chosen.
QImage knob(bool lit) {
  QImage image = canvas();
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QPointF c(kSize / 2.0, kSize / 2.0);
  // Scale ring from 7 to 5 o'clock.
  QPen ring(lit ? QColor(255, 176, 50) : QColor(120, 126, 136), 7, Qt::SolidLine, Qt::RoundCap);
  p.setPen(ring);
  p.drawArc(QRectF(8, 8, kSize - 16, kSize - 16), -60 * 16, 300 * 16);
  QRadialGradient cap(c - QPointF(12, 14), kSize * 0.45);
  cap.setColorAt(0.0, QColor(110, 116, 126));
  cap.setColorAt(1.0, QColor(40, 43, 49));
  p.setBrush(cap);
  p.setPen(QPen(QColor(24, 26, 30), 3));
  p.drawEllipse(c, 40, 40);
  p.setPen(QPen(lit ? QColor(255, 226, 160) : QColor(220, 224, 230), 7, Qt::SolidLine,
                Qt::RoundCap));
  p.drawLine(c, c + QPointF(-20, -24));
  return image;
}

// A small rectangular push button, lit green-white when chosen.
QImage button(bool lit) {
  QImage image = canvas();
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF body(10, 34, kSize - 20, kSize - 68);
  if (lit) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 176, 50, 90));
    p.drawRoundedRect(body.adjusted(-8, -8, 8, 8), 20, 20);
  }
  QLinearGradient fill(body.topLeft(), body.bottomLeft());
  fill.setColorAt(0.0, lit ? QColor(255, 222, 140) : QColor(236, 238, 242));
  fill.setColorAt(1.0, lit ? QColor(246, 160, 40) : QColor(190, 194, 202));
  p.setBrush(fill);
  p.setPen(QPen(lit ? QColor(255, 240, 200) : QColor(120, 126, 136), 4));
  p.drawRoundedRect(body, 12, 12);
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  pad(true).save("selected.png");
  pad(false).save("unselected.png");
  knob(true).save("knob-selected.png");
  knob(false).save("knob-unselected.png");
  button(true).save("button-selected.png");
  button(false).save("button-unselected.png");
  return 0;
}
