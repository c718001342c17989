// The frame timer: wall-clock seconds from the performance counter, advanced
// once per frame. Main thread only.
#pragma once

class FrameTimer {
 public:
  FrameTimer();
  ~FrameTimer();

  void Reset();
  void Start();
  void Pause();
  void TogglePause();
  void Update();
  double Elapsed() const;
  double Delta() const;
  double Total() const;

 private:
  double total;
  double delta;
  double last;
  int paused;
};

extern double g_secondsPerCount;
extern double g_timeScale;
extern FrameTimer* g_frameTimer;

double TimerSeconds();
void InitFrameTimer();
double UpdateFrameTimer();
double GetFrameDelta();
double GetFrameElapsed();
void SetTimeScale(double scale);
