// The headless back end's input, clock, display modes, boxes and dialogs:
// keys the host queued, the virtual clock when one is in use, boxes answered
// and recorded, dialogs answered by script. Nothing is ever shown.
#include <chrono>

#include "common/backend.h"
#include "common/dialog_model.h"
#include "common/message_queue.h"
#include "common/window_table.h"
#include "host/host_state.h"

namespace sgwin {

namespace {

constexpr int64_t kNanosecondsPerSecond = 1000000000;

class ScriptedChooser : public DialogChooser {
 public:
  explicit ScriptedChooser(std::vector<int> clicks) : clicks_(std::move(clicks)) {}
  // Once the script is spent, nobody is left to answer.
  DialogChoice Next(const Dialog&) override {
    if (next_ >= clicks_.size()) return {DialogChoice::Kind::GiveUp, 0};
    return {DialogChoice::Kind::Click, clicks_[next_++]};
  }

 private:
  std::vector<int> clicks_;
  size_t next_ = 0;
};

std::vector<int> ScriptFor(host::DialogAnswer answer) {
  switch (answer) {
    case host::DialogAnswer::Go:
      return {IDOK};
    case host::DialogAnswer::Exit:
      return {IDCANCEL};
    case host::DialogAnswer::Clicks:
      return Host().dialogClicks;
    default:
      return {};
  }
}

}  // namespace

namespace backend {

bool Refuses(Call call) { return StepFails(call); }

// Host input goes to the program's window; it waits while there is none.
void PumpEvents() {
  HWND target = InputWindow();
  if (!target) return;
  for (const HostInput& input : Host().input) PostInputMessage(target, input.message, input.wParam, 0);
  Host().input.clear();
}

bool CounterFrequency(int64_t& ticksPerSecond) {
  const HostState& host = Host();
  if (host.failFrequency) return false;
  ticksPerSecond = host.virtualClock ? host.virtualTicksPerSecond : kNanosecondsPerSecond;
  return true;
}

bool CounterTicks(int64_t& ticks) {
  const HostState& host = Host();
  if (host.failCounter) return false;
  ticks = host.virtualClock ? host.virtualTicks
                            : std::chrono::duration_cast<std::chrono::nanoseconds>(
                                  std::chrono::steady_clock::now().time_since_epoch())
                                  .count();
  return true;
}

bool ModeOffered(const DEVMODEA& mode, int width, int height) {
  switch (Host().displayModes) {
    case host::DisplayModes::AcceptAll:
      return true;
    case host::DisplayModes::RejectAll:
      return false;
    case host::DisplayModes::Default:
      break;
  }
  return PlausibleMode(mode, width, height);
}

void OnDisplayMode(bool fullscreen, int, int) { Host().modeActive = fullscreen; }

void ApplyCursor(bool) {}

// Answered by the host's next answer, else as a user most likely would: the
// first button (OK, or Yes to a question).
bool ShowMessageBox(const std::string& caption, const std::string& text, UINT type,
                    const std::vector<BoxButton>& buttons, int& pressed) {
  pressed = buttons.front().id;
  if (!Host().messageBoxAnswers.empty()) {
    pressed = Host().messageBoxAnswers.front();
    Host().messageBoxAnswers.pop_front();
  }
  Host().messageBoxes.push_back({text, caption, type, pressed});
  return true;
}

std::unique_ptr<DialogChooser> NewDialogChooser() {
  std::vector<int> script = ScriptFor(Host().dialogAnswer);
  if (script.empty()) return nullptr;
  return std::make_unique<ScriptedChooser>(std::move(script));
}

}  // namespace backend
}  // namespace sgwin
