// Transport and queries on the open clip.
#include "dll/avi/avi_state.h"
#include "dll/avi/zz_avi.h"

namespace {

// One status item of the open clip; false when there is no clip or MCI fails.
bool status_item(DWORD item, DWORD_PTR* value) {
  if (g_avi.state < kAviClip) return false;
  MCI_STATUS_PARMS status = {};
  status.dwItem = item;
  if (avi_send(MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &status) != 0) return false;
  *value = status.dwReturn;
  return true;
}

}  // namespace

int Avi_Pause() {
  if (g_avi.state != kAviPlaying) return 0;
  MCI_GENERIC_PARMS pause = {};
  if (avi_send(MCI_PAUSE, MCI_WAIT, &pause) != 0) return 0;
  g_avi.state = kAviPaused;
  return 1;
}

int Avi_Resume() {
  if (g_avi.state != kAviPaused) return 0;
  MCI_PLAY_PARMS play = {};
  play.dwCallback = reinterpret_cast<DWORD_PTR>(g_avi.parent);
  DWORD flags = MCI_NOTIFY;
  DWORD_PTR position = 0;
  if (status_item(MCI_STATUS_POSITION, &position) && position != static_cast<DWORD>(-1)) {
    play.dwFrom = static_cast<DWORD>(position);
    flags |= MCI_FROM;
  }
  if (avi_send(MCI_PLAY, flags, &play) != 0) return 0;
  g_avi.state = kAviPlaying;
  return 1;
}

// Without a clip there is no device to play; the driver alone would refuse it anyway.
int Avi_Start(int from_frame, int to_frame) {
  if (g_avi.state < kAviClip) return 0;
  MCI_PLAY_PARMS play = {};
  play.dwCallback = reinterpret_cast<DWORD_PTR>(g_avi.parent);
  DWORD flags = MCI_NOTIFY;
  if (from_frame != -1) {
    play.dwFrom = static_cast<DWORD>(from_frame);
    flags |= MCI_FROM;
  }
  if (to_frame != -1) {
    play.dwTo = static_cast<DWORD>(to_frame);
    flags |= MCI_TO;
  }
  if (avi_send(MCI_PLAY, flags, &play) != 0) return 0;
  g_avi.state = kAviPlaying;
  return 1;
}

int Avi_Audio(int on) {
  if (g_avi.state < kAviClip) return 0;
  MCI_SET_PARMS set = {};
  set.dwAudio = MCI_SET_AUDIO_ALL;
  DWORD flags = MCI_SET_AUDIO | MCI_WAIT | (on ? MCI_SET_ON : MCI_SET_OFF);
  return avi_send(MCI_SET, flags, &set) == 0 ? 1 : 0;
}

int Avi_Length() {
  DWORD_PTR length = 0;
  if (!status_item(MCI_STATUS_LENGTH, &length)) return 0;
  g_avi.length = static_cast<DWORD>(length);
  return static_cast<int>(g_avi.length);
}

int Avi_GetSpeed() {
  DWORD_PTR rate = 0;  // frames per 1000 seconds
  if (!status_item(MCI_DGV_STATUS_FRAME_RATE, &rate)) return 0;
  return static_cast<int>(rate / 1000);
}

int Avi_SetSpeed(unsigned numerator, unsigned denominator) {
  if (denominator == 0 || g_avi.state < kAviClip) return 0;
  // 1000 is normal speed; widen first so a large numerator cannot wrap round.
  unsigned long long speed = static_cast<unsigned long long>(numerator) * 1000u / denominator;
  if (speed > 0xFFFFFFFFull) speed = 0xFFFFFFFFull;
  MCI_DGV_SET_PARMS set = {};
  set.dwSpeed = static_cast<DWORD>(speed);
  return avi_send(MCI_SET, MCI_DGV_SET_SPEED | MCI_WAIT, &set) == 0 ? 1 : 0;
}

int Avi_GetCurrent() {
  DWORD_PTR position = 0;
  if (!status_item(MCI_STATUS_POSITION, &position)) return 0;
  return static_cast<int>(position);
}

int Avi_SetCurrent(int frame) {
  if (g_avi.state < kAviClip) return 0;
  MCI_SEEK_PARMS seek = {};
  seek.dwTo = static_cast<DWORD>(frame);
  return avi_send(MCI_SEEK, MCI_TO | MCI_WAIT, &seek) == 0 ? 1 : 0;
}

int Avi_IsInit() { return g_avi.state > kAviNone ? 1 : 0; }
int Avi_IsOpen() { return g_avi.state > kAviDriver ? 1 : 0; }
int Avi_IsPlay() { return g_avi.state == kAviPlaying ? 1 : 0; }
int Avi_IsPause() { return g_avi.state == kAviPaused ? 1 : 0; }
