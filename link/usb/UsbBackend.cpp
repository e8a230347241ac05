#include "link/usb/UsbBackend.h"

namespace padkbd {

std::string_view usbStatusName(UsbStatus status) {
  switch (status) {
    case UsbStatus::Success:
      return "success";
    case UsbStatus::IoError:
      return "input/output error";
    case UsbStatus::InvalidParameter:
      return "invalid parameter";
    case UsbStatus::AccessDenied:
      return "access denied";
    case UsbStatus::NoDevice:
      return "no device (it may have been unplugged)";
    case UsbStatus::NotFound:
      return "not found";
    case UsbStatus::Busy:
      return "busy";
    case UsbStatus::Timeout:
      return "timed out";
    case UsbStatus::Overflow:
      return "overflow";
    case UsbStatus::Pipe:
      return "pipe error";
    case UsbStatus::Interrupted:
      return "interrupted";
    case UsbStatus::NoMemory:
      return "out of memory";
    case UsbStatus::NotSupported:
      return "not supported";
    case UsbStatus::Other:
      return "other error";
  }
  return "unknown status";
}

}  // namespace padkbd
