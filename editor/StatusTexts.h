// The texts of the status field and the message window, exactly as the user
// reads them.
#pragma once

#include <QString>

namespace padkbd::editor {

inline const QString kLoading = QStringLiteral("加载ing……");
inline const QString kReadSucceeded = QStringLiteral("从设备读取参数成功!");
inline const QString kConnectFailed = QStringLiteral("连接到设备失败.");
inline const QString kSending = QStringLiteral("发送中……");
inline const QString kSendSucceeded = QStringLiteral("成功发送到设备!");

}  // namespace padkbd::editor
