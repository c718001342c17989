// The default sound device on Windows through waveOut: a thread of ours
// keeps a few buffers queued, mixing into each one as the device hands it
// back, and the device's own playback position tells the mixer what is
// being heard.
#include <windows.h>
// After windows.h, which it builds on.
#include <mmsystem.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/output.h"

namespace sgaudio {

namespace {

// Four buffers of about 23 ms at 44.1 kHz: enough to ride out a busy frame
// on the main thread, short enough that seeks are heard promptly.
constexpr size_t kBufferCount = 4;
constexpr size_t kBufferFrames = 1024;
// The worker also looks at the buffers this often should an event be missed.
constexpr DWORD kWaitMs = 20;

class WaveOutOutput : public Output {
 public:
  WaveOutOutput(Mixer& mixer, HWAVEOUT device, HANDLE bufferDone)
      : mixer_(mixer), device_(device), bufferDone_(bufferDone),
        samples_(kBufferCount * kBufferFrames * Mixer::kOutputChannels), headers_(kBufferCount) {}

  ~WaveOutOutput() override {
    Stop();
    mixer_.SetDeviceClock(nullptr);
    waveOutReset(device_);
    for (WAVEHDR& header : headers_) {
      if (header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(device_, &header, sizeof(header));
    }
    waveOutClose(device_);
    CloseHandle(bufferDone_);
  }

  bool PrepareBuffers() {
    for (size_t i = 0; i < kBufferCount; ++i) {
      WAVEHDR& header = headers_[i];
      header.lpData = reinterpret_cast<LPSTR>(&samples_[i * kBufferFrames * Mixer::kOutputChannels]);
      header.dwBufferLength = static_cast<DWORD>(kBufferFrames * Mixer::kOutputChannels * sizeof(int16_t));
      if (waveOutPrepareHeader(device_, &header, sizeof(header)) != MMSYSERR_NOERROR) return false;
    }
    return true;
  }

  void Start() override {
    if (worker_.joinable()) return;
    {
      std::lock_guard<std::mutex> lock(clockMutex_);
      stopped_ = false;
      lastSample_ = 0;
      wraps_ = 0;
    }
    stopping_ = false;
    worker_ = std::thread([this] { Run(); });
  }

  // The device is reset: what it still held is dropped (the mixer takes it
  // back, see Mixer::Freeze) and its position starts again from 0.
  void Stop() override {
    if (!worker_.joinable()) return;
    stopping_ = true;
    SetEvent(bufferDone_);
    worker_.join();
    {
      std::lock_guard<std::mutex> lock(clockMutex_);
      stoppedAt_ = DevicePlayedLocked();
      stopped_ = true;
    }
    waveOutReset(device_);
  }

  uint64_t PlayedFrames() {
    std::lock_guard<std::mutex> lock(clockMutex_);
    return stopped_ ? stoppedAt_ : DevicePlayedLocked();
  }

 private:
  void Run() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
    while (!stopping_) {
      for (WAVEHDR& header : headers_) {
        // The device sets and clears the flags from its own thread.
        DWORD flags = static_cast<volatile DWORD&>(header.dwFlags);
        if (flags & WHDR_INQUEUE) continue;
        mixer_.Render(reinterpret_cast<int16_t*>(header.lpData), kBufferFrames, Mixer::Clock::now());
        waveOutWrite(device_, &header, sizeof(header));
      }
      WaitForSingleObject(bufferDone_, kWaitMs);
    }
  }

  // Frames played since the last reset; the device's 32-bit count is
  // widened by noticing when it wraps.
  uint64_t DevicePlayedLocked() {
    MMTIME time{};
    time.wType = TIME_SAMPLES;
    if (waveOutGetPosition(device_, &time, sizeof(time)) != MMSYSERR_NOERROR) return lastPlayed_;
    DWORD sample = 0;
    if (time.wType == TIME_SAMPLES) {
      sample = time.u.sample;
    } else if (time.wType == TIME_BYTES) {
      sample = time.u.cb / (Mixer::kOutputChannels * sizeof(int16_t));
    } else {
      return lastPlayed_;
    }
    if (sample < lastSample_) ++wraps_;
    lastSample_ = sample;
    lastPlayed_ = (wraps_ << 32) | sample;
    return lastPlayed_;
  }

  Mixer& mixer_;
  HWAVEOUT device_;
  HANDLE bufferDone_;
  std::vector<int16_t> samples_;
  std::vector<WAVEHDR> headers_;
  std::thread worker_;
  std::atomic<bool> stopping_{false};
  std::mutex clockMutex_;  // the fields below
  bool stopped_ = true;
  uint64_t stoppedAt_ = 0;
  DWORD lastSample_ = 0;
  uint64_t wraps_ = 0;
  uint64_t lastPlayed_ = 0;
};

}  // namespace

std::unique_ptr<Output> OpenDeviceOutput(Mixer& mixer) {
  if (waveOutGetNumDevs() == 0) return nullptr;
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = Mixer::kOutputChannels;
  format.nSamplesPerSec = static_cast<DWORD>(mixer.OutputRate());
  format.wBitsPerSample = 16;
  format.nBlockAlign = static_cast<WORD>(Mixer::kOutputChannels * sizeof(int16_t));
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  HANDLE bufferDone = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (bufferDone == nullptr) return nullptr;
  HWAVEOUT device = nullptr;
  if (waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(bufferDone), 0, CALLBACK_EVENT) !=
      MMSYSERR_NOERROR) {
    CloseHandle(bufferDone);
    return nullptr;
  }
  auto output = std::make_unique<WaveOutOutput>(mixer, device, bufferDone);
  if (!output->PrepareBuffers()) return nullptr;
  WaveOutOutput* clock = output.get();
  mixer.SetDeviceClock([clock] { return clock->PlayedFrames(); });
  return output;
}

}  // namespace sgaudio
