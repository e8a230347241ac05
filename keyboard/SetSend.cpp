#include "keyboard/SetSend.h"

#include <algorithm>

namespace padkbd {

Text progressText(const SetProgress& progress) {
  return Text(TextId::SetProgress, {progress.index, progress.count, progress.done, progress.total});
}

SetSendResult sendSet(KeyboardService& service, const std::vector<SetSlotPlan>& plan,
                      const std::vector<int>& skip, const std::string& setName,
                      const std::function<void(const SetProgress&)>& progress) {
  SetSendResult result;
  std::vector<const SetSlotPlan*> sending;
  for (const SetSlotPlan& slot : plan) {
    if (slot.status != SetSlotPlan::Status::Ready || !slot.document) {
      result.outcome = Outcome::failure(slot.problem ? *slot.problem : Text(TextId::SetEmpty));
      for (const SetSlotPlan& each : plan) result.notSent.push_back(each.named.slot);
      return result;
    }
    if (std::find(skip.begin(), skip.end(), slot.named.slot) == skip.end())
      sending.push_back(&slot);
  }
  SetProgress told{0, static_cast<int>(sending.size()), 0, 0, 0};
  for (std::size_t i = 0; i < sending.size(); ++i) {
    const SetSlotPlan& slot = *sending[i];
    told.index = static_cast<int>(i) + 1;
    told.slot = slot.named.slot;
    told.done = 0;
    told.total = 0;
    service.setProgress([&](const PadAction::Progress& step) {
      if (step.stage != PadAction::Progress::Stage::Sending) return;
      told.done = step.done;
      told.total = step.total;
      if (progress) progress(told);
    });
    const std::string name =
        slot.preset ? slot.preset->path.filename().string() : slot.named.path.filename().string();
    const Outcome sent =
        service.send(copyOf(*slot.document), setName.empty() ? name : setName + ": " + name);
    if (!sent) {
      result.stoppedAt = slot.named.slot;
      result.stoppedWritten = service.written();
      for (std::size_t j = i + 1; j < sending.size(); ++j)
        result.notSent.push_back(sending[j]->named.slot);
      result.outcome = sent;
      break;
    }
    result.written.push_back(slot.named.slot);
  }
  service.setProgress({});
  return result;
}

}  // namespace padkbd
