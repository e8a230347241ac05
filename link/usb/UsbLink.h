// The keyboard over raw USB: finds it by its ids, opens its second
// interface (the MIDI streaming one), and moves packets with bulk or
// interrupt transfers, writes on pipe 2 and reads on pipe 1. The steps, their
// log lines and how each failure is undone are the transport's own; the
// platform's operations are behind UsbBackend, and its statuses stay here.
#pragma once

#include <chrono>
#include <optional>

#include "link/Link.h"
#include "link/usb/UsbBackend.h"

namespace padkbd {

class UsbLink final : public Link {
 public:
  static constexpr int kReadPipe = 1;
  static constexpr int kWritePipe = 2;
  // A backend that waits is asked in slices this long, so that a cancel is
  // seen soon even while a keyboard stays silent.
  static constexpr std::chrono::milliseconds kReadSlice{50};

  // The backend must outlive the link.
  explicit UsbLink(UsbBackend& backend);
  ~UsbLink() override;
  UsbLink(const UsbLink&) = delete;
  UsbLink& operator=(const UsbLink&) = delete;

  void useKeyboard(const KeyboardId& keyboard) override { ids_ = keyboard.usb; }
  std::vector<std::string> find() override;
  Outcome open() override;
  void close() override;
  bool isOpen() const override { return currentInterface != 0; }
  void pause() override;
  void resume() override;
  Outcome send(std::span<const std::uint8_t> packets) override;
  Result<std::size_t> receive(std::span<std::uint8_t> into, Deadline deadline,
                              const std::atomic<bool>* cancel) override;
  bool waits() const override { return backend.waitsForTimeouts(); }
  std::size_t transferSize() const override { return transferSize_; }
  std::string serial() const override { return currentDevice ? currentDevice->serial : ""; }

  const std::optional<UsbDevice>& device() const { return currentDevice; }

 private:
  Outcome openInterface();

  UsbBackend& backend;
  UsbIds ids_;
  std::optional<UsbDevice> currentDevice;
  UsbInterfaceHandle currentInterface = 0;  // 0: none
  std::size_t transferSize_ = 64;           // the read pipe's packet size
};

}  // namespace padkbd
