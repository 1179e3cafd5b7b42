#pragma once
// Synchronisation objects; the only other thread is the splash's.
#include <windows.h>

class app_syncobject {
 public:
  virtual ~app_syncobject() = default;
  virtual int lock(DWORD milliseconds) = 0;
  virtual void unlock() = 0;
};

class app_criticalsection : public app_syncobject {
 public:
  app_criticalsection() { InitializeCriticalSection(&cs_); }
  ~app_criticalsection() override { DeleteCriticalSection(&cs_); }
  int lock(DWORD) override {
    EnterCriticalSection(&cs_);
    return 1;
  }
  void unlock() override { LeaveCriticalSection(&cs_); }

 private:
  CRITICAL_SECTION cs_;
};

class app_event : public app_syncobject {
 public:
  app_event() : handle_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}
  ~app_event() override {
    if (handle_) CloseHandle(handle_);
  }
  int lock(DWORD ms) override { return handle_ && WaitForSingleObject(handle_, ms) == WAIT_OBJECT_0; }
  void unlock() override {}
  void signal() {
    if (handle_) SetEvent(handle_);
  }
  int ok() const { return handle_ != nullptr; }

 private:
  HANDLE handle_;
};

struct app_thread {
  HANDLE handle = nullptr;
  unsigned id = 0;
  char name[64] = "undefined";
};
