// The texts of the status field and the message window, exactly as the user
// reads them (in the language chosen; these are the source texts).
#pragma once

#include <QCoreApplication>
#include <QString>

namespace padkbd::editor {

class Status {
  Q_DECLARE_TR_FUNCTIONS(Status)

 public:
  static QString loading() { return tr("加载ing……"); }
  static QString readSucceeded() { return tr("从设备读取参数成功!"); }
  static QString connectFailed() { return tr("连接到设备失败."); }
  static QString sending() { return tr("发送中……"); }
  static QString sendSucceeded() { return tr("成功发送到设备!"); }
  // The firmware field without a keyboard.
  static QString notConnected() { return tr("未连接"); }
};

}  // namespace padkbd::editor
