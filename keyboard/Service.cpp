#include "keyboard/Service.h"

#include "history/SendPreview.h"
#include "model/Log.h"

namespace padkbd {

KeyboardService::KeyboardService(Reach& reach, Link& through,
                                 const std::filesystem::path& resourceDir, History* history)
    : reach_(reach), history_(history) {
  io_ = std::make_unique<InterfaceAction>(through, reach.keyboard());
  // No working copy: what is sent is kept in memory, and the window's
  // working copy is never touched.
  files_ = std::make_unique<FileAction>(resourceDir, std::filesystem::path());
  pad_ = std::make_unique<PadAction>(*io_, *files_);
  listener_ = std::make_unique<Listener>(*io_);
}

KeyboardService::~KeyboardService() = default;

void KeyboardService::setCancelFlag(const std::atomic<bool>* flag) {
  io_->setCancelFlag(flag);
}

std::function<void(const PadAction::Progress&)> KeyboardService::setProgress(
    std::function<void(const PadAction::Progress&)> progress) {
  return pad_->setProgress(std::move(progress));
}

void KeyboardService::setHistoryNotes(std::function<void(const HistoryNote&)> told) {
  told_ = std::move(told);
}

template <typename Exchange>
auto KeyboardService::inTurn(Exchange exchange) -> decltype(exchange()) {
  // An exchange takes the keyboard itself: listening gives it back first.
  listener_->stop();
  if (Outcome begun = reach_.begin(); !begun) return begun;
  auto done = exchange();
  const Outcome ended = reach_.end();
  if (!ended) {
    log::diag("%s", ended.message());
    if (done) return ended;
  }
  return done;
}

void KeyboardService::record(const std::optional<HistoryEntry>& entry) {
  // Nothing written leaves the slot as it was: no entry.
  if (history_ == nullptr || !entry) return;
  const Result<std::int64_t> recorded = history_->record(*entry);
  HistoryNote note{entry->kind, history_->takeNoticeText(), recorded.outcome()};
  if ((note.notice || !recorded) && told_) told_(note);
}

Result<std::string> KeyboardService::firmware() {
  return inTurn([this]() -> Result<std::string> {
    if (Outcome opened = pad_->OpenInterface(); !opened) return opened;
    io_->KillInterface();
    return pad_->deviceVersion().value_or(std::string());
  });
}

Result<KeyboardRead> KeyboardService::read() {
  return inTurn([this]() -> Result<KeyboardRead> {
    if (Outcome read = pad_->ReadPadValueFromDevice(); !read) return read;
    const CurrentPreset& current = pad_->currentPreset();
    // Records of its own: the caller may keep them while this reads again.
    KeyboardRead done{copyOf(Preset{current.buttonValueArray, current.currentPadValue}),
                      pad_->deviceVersion(), pad_->lastReplacements()};
    record(readEntry(historyKey(), done.firmware, done.preset));
    return done;
  });
}

Outcome KeyboardService::send(Preset preset, std::string source) {
  written_ = 0;
  return inTurn([&]() -> Outcome {
    if (Outcome taken = pad_->usePreset(std::move(preset)); !taken) return taken;
    if (Outcome opened = pad_->OpenInterface(); !opened) return opened;
    const Outcome done = pad_->WritePadValueToDevice();
    written_ = pad_->lastWritten();
    const CurrentPreset& sent = pad_->currentPreset();
    record(sendEntry(historyKey(), pad_->deviceVersion(), sent.currentPadValue->mem + 1, written_,
                     Preset{sent.buttonValueArray, sent.currentPadValue}, std::move(source)));
    return done;
  });
}

int KeyboardService::written() const {
  return written_;
}

Outcome KeyboardService::sendGains(const std::vector<std::int32_t>& gains) {
  return inTurn([&]() -> Outcome {
    if (Outcome opened = pad_->OpenInterface(); !opened) return opened;
    const Outcome sent = ButtonAction::setGainWithArray(*io_, gains);
    io_->KillInterface();
    return sent;
  });
}

Outcome KeyboardService::startListening() {
  return listener_->start();
}

Outcome KeyboardService::listen(Link::Deadline deadline, const std::atomic<bool>* stop,
                                const Listener::Heard& heard) {
  return listener_->listen(deadline, stop, heard);
}

void KeyboardService::stopListening() {
  listener_->stop();
}

bool KeyboardService::listening() const {
  return listener_->listening();
}

bool KeyboardService::present() {
  // Looking takes nothing: an exchange later opens what it finds anew.
  return !io_->link().find().empty();
}

bool KeyboardService::useKeyboard(const KeyboardId& keyboard) {
  // A handle on the keyboard used so far would outlive the switch.
  listener_->stop();
  io_->KillInterface();
  io_->setKeyboard(keyboard);
  return io_->FindDevice().ok();
}

Advice KeyboardService::advice(const Outcome& failed) {
  switch (failed.code()) {
    case Code::LinkNotFound:
      return Advice{Advice::Kind::PlugIn, reach_.absence()};
    case Code::LinkDenied:
      return Advice{Advice::Kind::AllowAccess, {Way::Usb, reach_.keyboard(), {}, {}}};
    case Code::LinkBusy:
      return Advice{Advice::Kind::CloseOther, {}};
    default:
      return Advice{};
  }
}

std::string KeyboardService::historyKey() {
  return reach_.historyKey();
}

}  // namespace padkbd
