#include "capture_outcome.h"

namespace sgcapture {

namespace {

enum class Exit { Success, Failure, BySignal };

struct OutcomeText {
  Outcome outcome;
  Exit exit;
  const char* message;
};

constexpr OutcomeText kOutcomes[] = {
    {Outcome::Written, Exit::Success, "wrote {} frames ({} at {}/{} fps)"},
    {Outcome::Rendered, Exit::Success, ""},
    {Outcome::RenderInterrupted, Exit::BySignal, ""},
    {Outcome::Interrupted, Exit::BySignal, "interrupted by {}: {}"},
    {Outcome::InterruptedEarly, Exit::BySignal, "interrupted by {} before the first frame"},
    {Outcome::Stalled, Exit::Failure,
     "the show had not ended by {} of show time, {} after its predicted end: it has stalled, so the capture stops; {}"},
    {Outcome::KeptDrawing, Exit::Failure,
     "the show went on drawing after it was asked to end, so the capture stopped it; {}"},
    {Outcome::ShowFailed, Exit::Failure, "the show ended on a failure (exit code {})"},
    {Outcome::NothingWritten, Exit::Failure, "no frame was written: --from lies past the end of the show"},
    {Outcome::NoFfmpeg, Exit::Failure,
     "ffmpeg was not found on PATH: install it (apt-get install ffmpeg), or write PNG frames with --frames DIR"},
    {Outcome::EncoderMissing, Exit::Failure, "{}"},
    {Outcome::CannotWrite, Exit::Failure, "cannot write {}"},
    {Outcome::NoDataFolder, Exit::Failure,
     "cannot find the folder holding datas/ (Brassvale.mp3, s.pak, qor_fist.3ds): run from it or give --data-dir"},
    {Outcome::CannotEnterDataFolder, Exit::Failure, "cannot enter {}"},
    {Outcome::SurfaceTooLarge, Exit::Failure,
     "--supersample {} at {} renders at {}, but {}: choose a smaller --size or --supersample"},
    {Outcome::OutputFailed, Exit::Failure, "{}"},
    {Outcome::EncoderBroke, Exit::Failure, "{}: {}"},
};

const OutcomeText& TextOf(Outcome outcome) {
  for (const OutcomeText& text : kOutcomes) {
    if (text.outcome == outcome) return text;
  }
  return kOutcomes[0];  // every outcome is in the table
}

std::string Fill(const char* words, const std::vector<std::string>& details) {
  std::string message = words;
  size_t at = 0;
  for (const std::string& detail : details) {
    at = message.find("{}", at);
    if (at == std::string::npos) break;
    message.replace(at, 2, detail);
    at += detail.size();
  }
  return message;
}

int ExitCode(Exit exit, int signal) {
  switch (exit) {
    case Exit::Success: return 0;
    case Exit::Failure: return 1;
    case Exit::BySignal: return 128 + signal;
  }
  return 1;
}

}  // namespace

CaptureResult Result(Outcome outcome, const std::vector<std::string>& details, int signal) {
  const OutcomeText& text = TextOf(outcome);
  return {outcome, ExitCode(text.exit, signal), Fill(text.message, details)};
}

}  // namespace sgcapture
