#include "editor/DeviceWorker.h"

#include <QMetaObject>
#include <QPointer>
#include <QTimer>
#include <utility>

#include "protocol/ButtonAction.h"

namespace padkbd::editor {

namespace {

// Records of the worker's own, copied so that the window gets records the
// worker never touches again.
Preset copyOf(const CurrentPreset& preset) {
  Preset copy;
  for (const ButtonValuePtr& record : preset.buttonValueArray) {
    copy.buttons.push_back(std::make_shared<ButtonValue>(*record));
  }
  copy.global = std::make_shared<PadValue>(*preset.currentPadValue);
  return copy;
}

// With a hot-plug capable backend the bus is looked at this often for news;
// without one, the keyboard is looked for every kPresencePollMs.
constexpr int kHotplugPollMs = 200;

}  // namespace

DeviceWorker::DeviceWorker(UsbBackend& backend, const KeyboardId& keyboard,
                           const std::filesystem::path& resourceDir)
    : home_(new QObject), backend_(backend), keyboard_(keyboard) {
  qRegisterMetaType<PadAction::Progress>();
  io_ = std::make_unique<InterfaceAction>(backend_, keyboard);
  // No working copy: the window's edit session keeps its own.
  files_ = std::make_unique<FileAction>(resourceDir, std::filesystem::path());
  pad_ = std::make_unique<PadAction>(*io_, *files_);
  io_->setCancelFlag(&cancel_);
  pad_->setProgress([this](const PadAction::Progress& p) { emit progress(p); });
  home_->moveToThread(&thread_);
  connect(&thread_, &QThread::finished, home_, &QObject::deleteLater);
  thread_.start();
  QMetaObject::invokeMethod(
      home_,
      [this] {
        presenceTimer_ = new QTimer(home_);
        // The backend's news come inside pollEvents, where the bus must not
        // be searched: they only mark that it is worth a look.
        const bool hotplug = backend_.watchForChanges([this] { busChanged_ = true; });
        presenceTimer_->setInterval(hotplug ? kHotplugPollMs : kPresencePollMs);
        connect(presenceTimer_, &QTimer::timeout, home_, [this, hotplug] {
          if (hotplug) {
            backend_.pollEvents();
            if (!std::exchange(busChanged_, false)) return;
          }
          checkPresence();
        });
        presenceTimer_->start();
        checkPresence();
      },
      Qt::QueuedConnection);
}

DeviceWorker::~DeviceWorker() {
  cancel();
  thread_.quit();
  thread_.wait();
}

void DeviceWorker::checkPresence() {
  const UsbIds ids = io_->keyboard().usb;
  const bool now = !backend_.findDevices(ids.vendorId, ids.productId).empty();
  if (now == present_.exchange(now)) return;
  emit presenceChanged(now);
}

template <typename Value>
void DeviceWorker::run(QObject* context, std::function<Value()> work,
                       std::function<void(Value)> deliver) {
  if (busy_++ == 0) cancel_ = false;
  QPointer<QObject> guard(context);
  QMetaObject::invokeMethod(
      home_,
      [this, guard, work = std::move(work), deliver = std::move(deliver)] {
        Value value = work();
        checkPresence();
        // Back on the window's thread: this object lives there and outlives
        // the worker's thread; the context may be gone by then.
        QMetaObject::invokeMethod(
            this,
            [this, guard, value = std::move(value), deliver]() mutable {
              --busy_;
              if (guard) deliver(std::move(value));
            },
            Qt::QueuedConnection);
      },
      Qt::QueuedConnection);
}

DeviceWorker::Result DeviceWorker::finish(bool ok) {
  Result result;
  result.ok = ok;
  result.cancelled = !ok && pad_->lastCancelled();
  result.error = pad_->lastError();
  return result;
}

void DeviceWorker::read(QObject* context, Done done) {
  run<Result>(
      context,
      [this] {
        Result result = finish(pad_->ReadPadValueFromDevice());
        if (result.ok) {
          result.preset = copyOf(pad_->currentPreset());
          result.firmware = pad_->deviceVersion().value_or("");
          result.replaced = pad_->lastReplacements();
        }
        return result;
      },
      std::move(done));
}

void DeviceWorker::send(Preset preset, QObject* context, Done done) {
  run<Result>(
      context,
      [this, preset = std::move(preset)]() mutable {
        if (Outcome taken = pad_->usePreset(std::move(preset)); !taken) {
          Result refused;
          refused.error = taken.message();
          return refused;
        }
        if (!pad_->OpenInterface()) return finish(false);
        Result result = finish(pad_->WritePadValueToDevice());
        result.written = pad_->lastWritten();
        return result;
      },
      std::move(done));
}

void DeviceWorker::sendGains(std::vector<std::int32_t> gains, QObject* context, Done done) {
  run<Result>(
      context,
      [this, gains = std::move(gains)] {
        if (!pad_->OpenInterface()) return finish(false);
        ButtonAction::ExchangeError error;
        Result result;
        result.ok = ButtonAction::setGainWithArray(*io_, gains, &error) == 1;
        io_->KillInterface();
        result.cancelled = !result.ok && io_->cancelled();
        if (!result.ok) result.error = error.reason;
        return result;
      },
      std::move(done));
}

void DeviceWorker::listDevices(QObject* context, std::function<void(MidiDeviceListing)> done) {
  run<MidiDeviceListing>(
      context, [this] { return io_->listMidiDevices(); }, std::move(done));
}

void DeviceWorker::setKeyboard(const KeyboardId& keyboard, QObject* context,
                               std::function<void(bool)> done) {
  keyboard_ = keyboard;
  run<bool>(
      context,
      [this, keyboard] {
        // A handle on the keyboard used so far would outlive the switch.
        io_->KillInterface();
        io_->setKeyboard(keyboard);
        return io_->FindDevice();
      },
      std::move(done));
}

}  // namespace padkbd::editor
