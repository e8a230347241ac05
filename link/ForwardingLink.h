// A link in front of another one that passes every call on, for a class
// that changes a few of them: the command-line tool's tracing link, and the
// link that picks raw USB or a MIDI port per keyboard.
#pragma once

#include "link/Link.h"

namespace padkbd {

class ForwardingLink : public Link {
 public:
  void useKeyboard(const KeyboardId& keyboard) override { target().useKeyboard(keyboard); }
  std::vector<std::string> find() override { return target().find(); }
  Outcome open() override { return target().open(); }
  void close() override { target().close(); }
  bool isOpen() const override { return target().isOpen(); }
  void pause() override { target().pause(); }
  void resume() override { target().resume(); }
  Outcome send(std::span<const std::uint8_t> packets) override { return target().send(packets); }
  Result<std::size_t> receive(std::span<std::uint8_t> into, Deadline deadline,
                              const std::atomic<bool>* cancel) override {
    return target().receive(into, deadline, cancel);
  }
  bool waits() const override { return target().waits(); }
  std::size_t transferSize() const override { return target().transferSize(); }
  std::string serial() const override { return target().serial(); }

 protected:
  // Where the calls go now.
  virtual Link& target() = 0;
  const Link& target() const { return const_cast<ForwardingLink*>(this)->target(); }
};

}  // namespace padkbd
