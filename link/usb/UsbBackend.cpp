#include "link/usb/UsbBackend.h"

namespace padkbd {

Text usbStatusText(UsbStatus status) {
  switch (status) {
    case UsbStatus::Success:
      return Text(TextId::UsbSuccess);
    case UsbStatus::IoError:
      return Text(TextId::LinkIoError);
    case UsbStatus::InvalidParameter:
      return Text(TextId::UsbInvalidParameter);
    case UsbStatus::AccessDenied:
      return Text(TextId::UsbAccessDenied);
    case UsbStatus::NoDevice:
      return Text(TextId::LinkNoDevice);
    case UsbStatus::NotFound:
      return Text(TextId::UsbNotFound);
    case UsbStatus::Busy:
      return Text(TextId::UsbBusy);
    case UsbStatus::Timeout:
      return Text(TextId::LinkTimedOut);
    case UsbStatus::Overflow:
      return Text(TextId::UsbOverflow);
    case UsbStatus::Pipe:
      return Text(TextId::UsbPipeError);
    case UsbStatus::Interrupted:
      return Text(TextId::LinkInterrupted);
    case UsbStatus::NoMemory:
      return Text(TextId::UsbNoMemory);
    case UsbStatus::NotSupported:
      return Text(TextId::UsbNotSupported);
    case UsbStatus::Other:
      break;
  }
  return Text(TextId::UsbOtherError);
}

std::string usbStatusName(UsbStatus status) {
  return english(usbStatusText(status));
}

}  // namespace padkbd
