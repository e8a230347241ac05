#include "editor/ListLabels.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <array>
#include <utility>

namespace padkbd::editor {

namespace {

// Labels made of a word and a number: the word with its number in place.
constexpr std::array<std::pair<const char*, const char*>, 6> kNumbered = {{
    {"Channel", QT_TRANSLATE_NOOP("ListLabel", "Channel %1")},
    {"Curve", QT_TRANSLATE_NOOP("ListLabel", "Curve %1")},
    {"Pad", QT_TRANSLATE_NOOP("ListLabel", "Pad %1")},
    {"Knob", QT_TRANSLATE_NOOP("ListLabel", "Knob %1")},
    {"Button", QT_TRANSLATE_NOOP("ListLabel", "Button %1")},
    {"Memory", QT_TRANSLATE_NOOP("ListLabel", "Memory %1")},
}};

// The words of the mode, option and channel lists, as the list file and
// the program write them (the misspelt "Rleative" included: the English
// translation mends it).
[[maybe_unused]] constexpr const char* kWords[] = {
    QT_TRANSLATE_NOOP("ListLabel", "Global"),      QT_TRANSLATE_NOOP("ListLabel", "Note"),
    QT_TRANSLATE_NOOP("ListLabel", "CC"),          QT_TRANSLATE_NOOP("ListLabel", "CC Switch"),
    QT_TRANSLATE_NOOP("ListLabel", "Note Switch"), QT_TRANSLATE_NOOP("ListLabel", "NRPN / RPN"),
    QT_TRANSLATE_NOOP("ListLabel", "Absolute"),    QT_TRANSLATE_NOOP("ListLabel", "Rleative #1"),
    QT_TRANSLATE_NOOP("ListLabel", "Rleative #2"), QT_TRANSLATE_NOOP("ListLabel", "Rleative #3"),
    QT_TRANSLATE_NOOP("ListLabel", "Toggle"),      QT_TRANSLATE_NOOP("ListLabel", "Gate"),
    QT_TRANSLATE_NOOP("ListLabel", "NRPN"),        QT_TRANSLATE_NOOP("ListLabel", "RPN"),
};

// The controllers' names in the "CC / note number" list ("7 Volume"); an
// "… LSB" is its controller's name and LSB.
[[maybe_unused]] constexpr const char* kControllers[] = {
    QT_TRANSLATE_NOOP("Controller", "Bank Select"),
    QT_TRANSLATE_NOOP("Controller", "Modulation"),
    QT_TRANSLATE_NOOP("Controller", "Breath Controller"),
    QT_TRANSLATE_NOOP("Controller", "Foot Controller"),
    QT_TRANSLATE_NOOP("Controller", "Portamento Time"),
    QT_TRANSLATE_NOOP("Controller", "Data Entry"),
    QT_TRANSLATE_NOOP("Controller", "Volume"),
    QT_TRANSLATE_NOOP("Controller", "Balance"),
    QT_TRANSLATE_NOOP("Controller", "Pan"),
    QT_TRANSLATE_NOOP("Controller", "Expression"),
    QT_TRANSLATE_NOOP("Controller", "Effect Control 1"),
    QT_TRANSLATE_NOOP("Controller", "Effect Control 2"),
    QT_TRANSLATE_NOOP("Controller", "General Purpose 1"),
    QT_TRANSLATE_NOOP("Controller", "General Purpose 2"),
    QT_TRANSLATE_NOOP("Controller", "General Purpose 3"),
    QT_TRANSLATE_NOOP("Controller", "General Purpose 4"),
    QT_TRANSLATE_NOOP("Controller", "Sustain Pedal"),
    QT_TRANSLATE_NOOP("Controller", "Portamento On/Off"),
    QT_TRANSLATE_NOOP("Controller", "Sostenuto"),
    QT_TRANSLATE_NOOP("Controller", "Soft Pedal"),
    QT_TRANSLATE_NOOP("Controller", "Legato Footswitch"),
    QT_TRANSLATE_NOOP("Controller", "Hold 2"),
    QT_TRANSLATE_NOOP("Controller", "Sound Variation"),
    QT_TRANSLATE_NOOP("Controller", "Resonance"),
    QT_TRANSLATE_NOOP("Controller", "Release Time"),
    QT_TRANSLATE_NOOP("Controller", "Attack Time"),
    QT_TRANSLATE_NOOP("Controller", "Cutoff"),
    QT_TRANSLATE_NOOP("Controller", "Decay Time"),
    QT_TRANSLATE_NOOP("Controller", "Vibrato Rate"),
    QT_TRANSLATE_NOOP("Controller", "Vibrato Depth"),
    QT_TRANSLATE_NOOP("Controller", "Vibrato Delay"),
    QT_TRANSLATE_NOOP("Controller", "Sound Controller 10"),
    QT_TRANSLATE_NOOP("Controller", "General Purpose 5"),
    QT_TRANSLATE_NOOP("Controller", "General Purpose 6"),
    QT_TRANSLATE_NOOP("Controller", "General Purpose 7"),
    QT_TRANSLATE_NOOP("Controller", "General Purpose 8"),
    QT_TRANSLATE_NOOP("Controller", "Portamento Control"),
    QT_TRANSLATE_NOOP("Controller", "High Resolution Velocity"),
    QT_TRANSLATE_NOOP("Controller", "Reverb"),
    QT_TRANSLATE_NOOP("Controller", "Tremolo"),
    QT_TRANSLATE_NOOP("Controller", "Chorus"),
    QT_TRANSLATE_NOOP("Controller", "Detune"),
    QT_TRANSLATE_NOOP("Controller", "Phaser"),
    QT_TRANSLATE_NOOP("Controller", "Data Increment"),
    QT_TRANSLATE_NOOP("Controller", "Data Decrement"),
    QT_TRANSLATE_NOOP("Controller", "NRPN"),
    QT_TRANSLATE_NOOP("Controller", "RPN"),
    QT_TRANSLATE_NOOP("Controller", "All Sound Off"),
    QT_TRANSLATE_NOOP("Controller", "Reset All Controllers"),
    QT_TRANSLATE_NOOP("Controller", "Local Control"),
    QT_TRANSLATE_NOOP("Controller", "All Notes Off"),
    QT_TRANSLATE_NOOP("Controller", "Omni Off"),
    QT_TRANSLATE_NOOP("Controller", "Omni On"),
    QT_TRANSLATE_NOOP("Controller", "Mono On"),
    QT_TRANSLATE_NOOP("Controller", "Poly On"),
};

QString controllerName(const QString& name) {
  static const QString kLsb = QStringLiteral(" LSB");
  static const QString kMsb = QStringLiteral(" MSB");
  for (const QString& part : {kLsb, kMsb}) {
    if (name.endsWith(part)) {
      const QString base = name.chopped(part.size());
      return QCoreApplication::translate("Controller", base.toUtf8().constData()) + part;
    }
  }
  return QCoreApplication::translate("Controller", name.toUtf8().constData());
}

}  // namespace

QString listLabel(const std::string& label) {
  const QString text = QString::fromStdString(label);
  static const QRegularExpression numbered(QStringLiteral("^([A-Za-z]+) (\\d+)$"));
  if (const QRegularExpressionMatch match = numbered.match(text); match.hasMatch()) {
    for (const auto& [word, translatable] : kNumbered) {
      if (match.captured(1) == QLatin1String(word)) {
        return QCoreApplication::translate("ListLabel", translatable).arg(match.captured(2));
      }
    }
  }
  // "7 Volume": the number stays, the name is translated.
  static const QRegularExpression controller(QStringLiteral("^(\\d+) (.+)$"));
  if (const QRegularExpressionMatch match = controller.match(text); match.hasMatch()) {
    return match.captured(1) + QLatin1Char(' ') + controllerName(match.captured(2));
  }
  return QCoreApplication::translate("ListLabel", label.c_str());
}

}  // namespace padkbd::editor
