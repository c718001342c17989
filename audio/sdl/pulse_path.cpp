#include "audio/sdl/pulse_path.h"

#include <pulse/pulseaudio.h>
#include <unistd.h>

#include <algorithm>
#include <string>

namespace sgaudio {

namespace {

constexpr pa_usec_t kEveryUsec = 250000;

class ServerPath : public PulsePath {
 public:
  explicit ServerPath(Mixer& mixer) : mixer_(mixer), pid_(std::to_string(getpid())) {}
  ~ServerPath() override;
  ServerPath(const ServerPath&) = delete;
  ServerPath& operator=(const ServerPath&) = delete;

  bool Connect();

 private:
  static void OnState(pa_context* context, void* self);
  static void OnTimer(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self);
  static void OnSinkInput(pa_context*, const pa_sink_input_info* info, int eol, void* self);
  void Ask();
  void Take(const pa_sink_input_info& info);
  void Report();

  Mixer& mixer_;
  const std::string pid_;
  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  pa_time_event* timer_ = nullptr;
  // Touched on the loop's thread only.
  Mixer::TimePoint askedAt_{};
  pa_usec_t heldUsec_ = 0;
  bool found_ = false;
};

bool ServerPath::Connect() {
  loop_ = pa_threaded_mainloop_new();
  if (!loop_) return false;
  context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Stormglass latency");
  if (!context_) return false;
  pa_context_set_state_callback(context_, OnState, this);
  if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) return false;
  return pa_threaded_mainloop_start(loop_) == 0;
}

ServerPath::~ServerPath() {
  if (!loop_) return;
  pa_threaded_mainloop_lock(loop_);
  if (timer_) pa_threaded_mainloop_get_api(loop_)->time_free(timer_);
  if (context_) pa_context_disconnect(context_);
  pa_threaded_mainloop_unlock(loop_);
  pa_threaded_mainloop_stop(loop_);
  if (context_) pa_context_unref(context_);
  pa_threaded_mainloop_free(loop_);
}

void ServerPath::OnState(pa_context* context, void* self) {
  auto& path = *static_cast<ServerPath*>(self);
  if (pa_context_get_state(context) != PA_CONTEXT_READY || path.timer_) return;
  path.timer_ = pa_context_rttime_new(context, pa_rtclock_now() + kEveryUsec, OnTimer, self);
}

void ServerPath::OnTimer(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self) {
  auto& path = *static_cast<ServerPath*>(self);
  path.Ask();
  pa_context_rttime_restart(path.context_, path.timer_, pa_rtclock_now() + kEveryUsec);
}

void ServerPath::Ask() {
  askedAt_ = Mixer::Clock::now();
  heldUsec_ = 0;
  found_ = false;
  pa_operation* operation = pa_context_get_sink_input_info_list(context_, OnSinkInput, this);
  if (operation) pa_operation_unref(operation);
}

void ServerPath::OnSinkInput(pa_context*, const pa_sink_input_info* info, int eol, void* self) {
  auto& path = *static_cast<ServerPath*>(self);
  if (eol > 0) return path.Report();
  if (eol == 0 && info) path.Take(*info);
}

void ServerPath::Take(const pa_sink_input_info& info) {
  const char* pid = pa_proplist_gets(info.proplist, PA_PROP_APPLICATION_PROCESS_ID);
  if (!pid || pid_ != pid || info.corked) return;
  heldUsec_ = std::max(heldUsec_, info.buffer_usec + info.sink_usec);
  found_ = true;
}

// The server answered between the question and now: take the middle.
void ServerPath::Report() {
  if (!found_) return;
  Mixer::TimePoint answeredAt = Mixer::Clock::now();
  uint64_t frames = heldUsec_ * static_cast<uint64_t>(mixer_.OutputRate()) / PA_USEC_PER_SEC;
  mixer_.NotePathHeld(frames, askedAt_ + (answeredAt - askedAt_) / 2);
}

}  // namespace

std::unique_ptr<PulsePath> WatchPulsePath(Mixer& mixer) {
  auto path = std::make_unique<ServerPath>(mixer);
  if (!path->Connect()) return nullptr;
  return path;
}

}  // namespace sgaudio
