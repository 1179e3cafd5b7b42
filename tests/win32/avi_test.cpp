// zz_avi.dll as the program uses it: loaded from the tree, playing a real clip
// through the system's MCI video driver into a child of our own window. Every
// MCI command the library sends is recorded on the way through.
#include <windows.h>
#include <mmsystem.h>
#include <digitalv.h>

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/win32/support/avi_writer.h"
#include "tests/win32/support/iat_hook.h"
#include "tests/win32/support/tree_library.h"

namespace {

using IntFn = int(__cdecl*)();
using OpenFn = int(__cdecl*)(const char*, HWND, int, int, int, int, int);
using PlayFn = int(__cdecl*)(const char*, HWND, int, int, int, int, int, int);
using IntIntFn = int(__cdecl*)(int);
using RangeFn = int(__cdecl*)(int, int);
using SpeedFn = int(__cdecl*)(unsigned, unsigned);

struct Avi {
  IntFn init, quit, stop, pause, resume, length, get_speed, get_current;
  IntFn is_init, is_open, is_play, is_pause;
  OpenFn open;
  PlayFn play;
  IntIntFn audio, set_current;
  RangeFn start;
  SpeedFn set_speed;
};

// One MCI command as the library sent it.
struct MciCall {
  MCIDEVICEID device;
  UINT message;
  DWORD flags;
  DWORD_PTR callback;
  DWORD from, to, item, speed, audio, time_format;
  MCIERROR result;
};

std::vector<MciCall> g_calls;
decltype(&mciSendCommandA) g_real_send;

MCIERROR WINAPI recording_send(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR p) {
  MciCall c = {device, message, static_cast<DWORD>(flags), 0, 0, 0, 0, 0, 0, 0, 0};
  if (p && message == MCI_PLAY) {
    auto* play = reinterpret_cast<MCI_PLAY_PARMS*>(p);
    c.callback = play->dwCallback;
    c.from = play->dwFrom;
    c.to = play->dwTo;
  } else if (p && message == MCI_SET) {
    auto* set = reinterpret_cast<MCI_DGV_SET_PARMS*>(p);
    c.speed = set->dwSpeed;
    c.audio = set->dwAudio;
    c.time_format = set->dwTimeFormat;
  } else if (p && message == MCI_STATUS) {
    c.item = reinterpret_cast<MCI_STATUS_PARMS*>(p)->dwItem;
  } else if (p && message == MCI_SEEK) {
    c.to = reinterpret_cast<MCI_SEEK_PARMS*>(p)->dwTo;
  }
  c.result = g_real_send(device, message, flags, p);
  g_calls.push_back(c);
  return c.result;
}

std::vector<const MciCall*> calls_of(UINT message) {
  std::vector<const MciCall*> out;
  for (const MciCall& c : g_calls)
    if (c.message == message) out.push_back(&c);
  return out;
}

// MM_MCINOTIFY as the parent window receives it.
struct Notify {
  WPARAM code;
  LPARAM device;
};
std::vector<Notify> g_notes;

LRESULT CALLBACK parent_proc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == MM_MCINOTIFY) {
    g_notes.push_back({w, l});
    return 0;
  }
  return DefWindowProcA(window, message, w, l);
}

// Runs our message loop until the clip reports a successful end, or 10 s pass.
bool wait_for_end() {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < 10000) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    for (const Notify& n : g_notes)
      if (n.code == MCI_NOTIFY_SUCCESSFUL) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return false;
}

void pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// The driver's playback window: the only child of our parent.
RECT child_rect(HWND parent) {
  RECT r = {-1, -1, -1, -1};
  HWND child = GetWindow(parent, GW_CHILD);
  if (!child) return r;
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

const char* const kExports[] = {
    "Avi_Init", "Avi_Quit", "Avi_Open", "Avi_Play", "Avi_Stop", "Avi_Pause",
    "Avi_Resume", "Avi_Start", "Avi_Audio", "Avi_Length", "Avi_GetSpeed", "Avi_SetSpeed",
    "Avi_GetCurrent", "Avi_SetCurrent", "Avi_IsInit", "Avi_IsOpen", "Avi_IsPlay", "Avi_IsPause"};

class AviTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    module_ = load_from_tree("zz_avi.dll");
    if (!module_) return;
    a_.init = export_of<IntFn>(module_, "Avi_Init");
    a_.quit = export_of<IntFn>(module_, "Avi_Quit");
    a_.open = export_of<OpenFn>(module_, "Avi_Open");
    a_.play = export_of<PlayFn>(module_, "Avi_Play");
    a_.stop = export_of<IntFn>(module_, "Avi_Stop");
    a_.pause = export_of<IntFn>(module_, "Avi_Pause");
    a_.resume = export_of<IntFn>(module_, "Avi_Resume");
    a_.start = export_of<RangeFn>(module_, "Avi_Start");
    a_.audio = export_of<IntIntFn>(module_, "Avi_Audio");
    a_.length = export_of<IntFn>(module_, "Avi_Length");
    a_.get_speed = export_of<IntFn>(module_, "Avi_GetSpeed");
    a_.set_speed = export_of<SpeedFn>(module_, "Avi_SetSpeed");
    a_.get_current = export_of<IntFn>(module_, "Avi_GetCurrent");
    a_.set_current = export_of<IntIntFn>(module_, "Avi_SetCurrent");
    a_.is_init = export_of<IntFn>(module_, "Avi_IsInit");
    a_.is_open = export_of<IntFn>(module_, "Avi_IsOpen");
    a_.is_play = export_of<IntFn>(module_, "Avi_IsPlay");
    a_.is_pause = export_of<IntFn>(module_, "Avi_IsPause");
    g_real_send = reinterpret_cast<decltype(&mciSendCommandA)>(
        iat_hook(module_, "winmm.dll", "mciSendCommandA", reinterpret_cast<void*>(&recording_send)));

    WNDCLASSA wc = {};
    wc.lpfnWndProc = parent_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QmAviTestParent";
    RegisterClassA(&wc);
    // One parent for the suite: under Wine without a window manager, destroying a
    // visible top-level window waits two seconds for X to withdraw it.
    parent_ = CreateWindowA("QmAviTestParent", "avi", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                            320, 240, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  }

  static void TearDownTestSuite() {
    if (parent_) DestroyWindow(parent_);
    parent_ = nullptr;
  }

  void SetUp() override {
    ASSERT_NE(module_, nullptr) << "zz_avi.dll not found under QM_TREE";
    for (const char* name : kExports)
      ASSERT_NE(GetProcAddress(module_, name), nullptr) << name << " is not exported";
    ASSERT_NE(g_real_send, nullptr) << "zz_avi.dll does not import mciSendCommandA";
    ASSERT_NE(parent_, nullptr);
    clip_ = dir_.file("clip.avi");
    ASSERT_TRUE(write_test_avi(clip_, AviClipSpec{}));  // 32 x 24, 10 frames at 10 fps
    long_clip_ = dir_.file("long.avi");
    ASSERT_TRUE(write_test_avi(long_clip_, AviClipSpec{32, 24, 30, 10}));
    pump();  // what an earlier test's clip still had to say
    g_calls.clear();
    g_notes.clear();
  }

  void TearDown() override {
    if (a_.quit) a_.quit();
    pump();
  }

  static HMODULE module_;
  static Avi a_;
  static HWND parent_;
  TempDir dir_;
  std::string clip_, long_clip_;
};

HMODULE AviTest::module_;
HWND AviTest::parent_;
Avi AviTest::a_;

TEST_F(AviTest, WrongStateCallsChangeNothing) {
  EXPECT_EQ(a_.quit(), 0) << "quit without init";
  EXPECT_EQ(a_.is_init(), 0);
  EXPECT_EQ(a_.open(clip_.c_str(), parent_, 0, 0, 0, 0, 0), 0) << "open before init";
  EXPECT_EQ(a_.pause(), 0);
  EXPECT_EQ(a_.resume(), 0);
  EXPECT_EQ(a_.start(-1, -1), 0);
  EXPECT_EQ(a_.audio(1), 0);
  EXPECT_EQ(a_.length(), 0);
  EXPECT_EQ(a_.get_current(), 0);
  EXPECT_EQ(a_.set_current(3), 0);
  EXPECT_EQ(a_.stop(), 1) << "stop is harmless in any state";
  EXPECT_TRUE(g_calls.empty()) << "nothing may reach MCI before the driver is open";

  ASSERT_EQ(a_.init(), 1);
  ASSERT_EQ(a_.init(), 1) << "a second init is a no-op";
  EXPECT_EQ(calls_of(MCI_OPEN).size(), 1u);
  EXPECT_EQ(a_.is_init(), 1);
  EXPECT_EQ(a_.is_open(), 0);
  // Driver open but no clip: nothing to play, seek or query.
  EXPECT_EQ(a_.start(-1, -1), 0);
  EXPECT_EQ(a_.is_play(), 0);
  EXPECT_EQ(a_.set_speed(1, 2), 0);
  EXPECT_EQ(a_.pause(), 0);

  EXPECT_EQ(a_.quit(), 0) << "the driver's close succeeds";
  EXPECT_EQ(a_.is_init(), 0);
  auto closes = calls_of(MCI_CLOSE);
  ASSERT_EQ(closes.size(), 1u);
  EXPECT_NE(closes[0]->device, 0u) << "the driver's own device";
}

TEST_F(AviTest, OpenSizesThePlaybackWindow) {
  ASSERT_EQ(a_.init(), 1);
  // Width 0: the clip's own size, at the given place.
  ASSERT_EQ(a_.open(clip_.c_str(), parent_, 5, 6, 0, 0, 0), 1);
  EXPECT_EQ(a_.is_open(), 1);
  EXPECT_EQ(a_.is_play(), 0);
  RECT r = child_rect(parent_);
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(r.top, 6);
  EXPECT_EQ(r.right - r.left, 32);
  EXPECT_EQ(r.bottom - r.top, 24);
  EXPECT_TRUE(IsWindowVisible(GetWindow(parent_, GW_CHILD)));
  EXPECT_EQ(a_.length(), 10);
  EXPECT_EQ(a_.get_speed(), 10) << "frames per second";
  bool frames = false;
  for (const MciCall* c : calls_of(MCI_SET))
    if ((c->flags & MCI_SET_TIME_FORMAT) && c->time_format == MCI_FORMAT_FRAMES) frames = true;
  EXPECT_TRUE(frames) << "positions are in frames";

  // A given size and place are the window's.
  EXPECT_EQ(a_.stop(), 1);
  EXPECT_EQ(a_.is_open(), 0);
  EXPECT_EQ(a_.is_init(), 1);
  ASSERT_EQ(a_.open(clip_.c_str(), parent_, 10, 20, 100, 80, 0), 1);
  r = child_rect(parent_);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.right - r.left, 100);
  EXPECT_EQ(r.bottom - r.top, 80);
}

// What the playback window shows at a point of its client area; repainted first
// unless it is to show what playback left there.
COLORREF shown_at(HWND parent, int x, int y, bool repaint = true) {
  HWND child = GetWindow(parent, GW_CHILD);
  if (repaint) RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  pump();
  HDC dc = GetDC(child);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(child, dc);
  return c;
}

TEST_F(AviTest, AGivenSizeStretchesTheFrame) {
  ASSERT_EQ(a_.init(), 1);
  ASSERT_EQ(a_.open(clip_.c_str(), parent_, 0, 0, 96, 72, 0), 1);
  ASSERT_EQ(a_.set_current(0), 1);
  // Frame 0: red, green rising by 8 per clip column; three window pixels per clip pixel,
  // so the far corner of the window still shows the clip's last columns.
  for (int column : {1, 15, 30}) {
    for (int y : {1, 40, 70}) {
      COLORREF c = shown_at(parent_, column * 3 + 1, y);
      EXPECT_EQ(GetRValue(c), 255) << "column " << column << " row " << y;
      EXPECT_NEAR(GetGValue(c), column * 8, 8) << "column " << column << " row " << y;
      EXPECT_EQ(GetBValue(c), 0) << "column " << column << " row " << y;
    }
  }
}

TEST_F(AviTest, FailedOpenLeavesTheDriverOpenAndRepaints) {
  ASSERT_EQ(a_.init(), 1);
  pump();
  ValidateRect(parent_, nullptr);
  std::string missing = dir_.file("missing.avi");
  EXPECT_EQ(a_.open(missing.c_str(), parent_, 0, 0, 0, 0, 0), 0);
  EXPECT_EQ(a_.play(missing.c_str(), parent_, 0, 0, 0, 0, 0, -1), 0);
  EXPECT_EQ(a_.is_init(), 1);
  EXPECT_EQ(a_.is_open(), 0);
  EXPECT_EQ(a_.is_play(), 0);
  EXPECT_TRUE(GetUpdateRect(parent_, nullptr, FALSE)) << "the parent is invalidated";
  EXPECT_EQ(a_.open(nullptr, parent_, 0, 0, 0, 0, 0), 0);
}

TEST_F(AviTest, PlaysToTheEndAndNotifiesTheParent) {
  ASSERT_EQ(a_.init(), 1);
  ASSERT_EQ(a_.play(clip_.c_str(), parent_, 0, 0, 0, 0, 0, -1), 1);
  EXPECT_EQ(a_.is_play(), 1);
  auto plays = calls_of(MCI_PLAY);
  ASSERT_EQ(plays.size(), 1u);
  EXPECT_EQ(plays[0]->flags, static_cast<DWORD>(MCI_NOTIFY | MCI_FROM)) << "no end frame";
  EXPECT_EQ(plays[0]->from, 0u);
  EXPECT_EQ(plays[0]->callback, reinterpret_cast<DWORD_PTR>(parent_));

  ASSERT_TRUE(wait_for_end()) << "no MM_MCINOTIFY with MCI_NOTIFY_SUCCESSFUL";
  EXPECT_EQ(static_cast<MCIDEVICEID>(g_notes.back().device), plays[0]->device);
  EXPECT_GE(a_.get_current(), 9);
  // Playback went through the frames: one of the last ones (frame f is blue 25 f,
  // red 255 - 25 f) is left on the screen, not frame 0.
  COLORREF last = shown_at(parent_, 20, 10, false);
  const int frame = GetBValue(last) / 25;
  EXPECT_GE(frame, 8);
  EXPECT_EQ(GetBValue(last), frame * 25);
  EXPECT_EQ(GetRValue(last), 255 - frame * 25);
  EXPECT_EQ(GetGValue(last), 160);
  EXPECT_EQ(a_.stop(), 1);
  EXPECT_EQ(a_.is_open(), 0);
  EXPECT_EQ(a_.is_init(), 1);
}

TEST_F(AviTest, PlayAndStartStopAtTheirEndFrames) {
  ASSERT_EQ(a_.init(), 1);
  ASSERT_EQ(a_.play(clip_.c_str(), parent_, 0, 0, 0, 0, 0, 3), 1);
  auto plays = calls_of(MCI_PLAY);
  ASSERT_EQ(plays.size(), 1u);
  EXPECT_EQ(plays[0]->flags, static_cast<DWORD>(MCI_NOTIFY | MCI_FROM | MCI_TO));
  EXPECT_EQ(plays[0]->to, 3u);
  ASSERT_TRUE(wait_for_end());
  EXPECT_EQ(a_.get_current(), 3);

  g_calls.clear();
  g_notes.clear();
  ASSERT_EQ(a_.start(5, 7), 1);
  plays = calls_of(MCI_PLAY);
  ASSERT_EQ(plays.size(), 1u);
  EXPECT_EQ(plays[0]->flags, static_cast<DWORD>(MCI_NOTIFY | MCI_FROM | MCI_TO));
  EXPECT_EQ(plays[0]->from, 5u);
  EXPECT_EQ(plays[0]->to, 7u);
  EXPECT_EQ(plays[0]->callback, reinterpret_cast<DWORD_PTR>(parent_));
  ASSERT_TRUE(wait_for_end());
  EXPECT_EQ(a_.get_current(), 7);

  // Neither end given: play on from where the clip stands.
  g_calls.clear();
  ASSERT_EQ(a_.set_current(2), 1);
  ASSERT_EQ(a_.start(-1, -1), 1);
  plays = calls_of(MCI_PLAY);
  ASSERT_EQ(plays.size(), 1u);
  EXPECT_EQ(plays[0]->flags, static_cast<DWORD>(MCI_NOTIFY));
}

TEST_F(AviTest, PauseAndResumeOnlyFromTheirStates) {
  ASSERT_EQ(a_.init(), 1);
  ASSERT_EQ(a_.play(long_clip_.c_str(), parent_, 0, 0, 0, 0, 0, -1), 1);
  EXPECT_EQ(a_.resume(), 0) << "resume while playing";
  EXPECT_EQ(a_.is_play(), 1);
  Sleep(300);
  pump();
  ASSERT_EQ(a_.pause(), 1);
  const int at = a_.get_current();
  EXPECT_GT(at, 0) << "it was playing";
  EXPECT_LT(at, 29) << "and had not ended";
  // Wine's player thread leaves only at its next frame tick; a play issued before
  // that would run beside it (a Wine race, not ours), so let it go first.
  Sleep(300);
  pump();
  EXPECT_EQ(a_.get_current(), at) << "a paused clip stays put";
  EXPECT_EQ(a_.is_pause(), 1);
  EXPECT_EQ(a_.is_play(), 0);
  EXPECT_EQ(a_.pause(), 0) << "pause while paused";
  EXPECT_EQ(a_.is_pause(), 1);

  g_calls.clear();
  g_notes.clear();
  ASSERT_EQ(a_.resume(), 1);
  EXPECT_EQ(a_.is_play(), 1);
  auto plays = calls_of(MCI_PLAY);
  ASSERT_EQ(plays.size(), 1u);
  EXPECT_EQ(plays[0]->flags, static_cast<DWORD>(MCI_NOTIFY | MCI_FROM));
  EXPECT_EQ(plays[0]->from, static_cast<DWORD>(at)) << "resumes where it paused";
  EXPECT_EQ(plays[0]->callback, reinterpret_cast<DWORD_PTR>(parent_));
  ASSERT_TRUE(wait_for_end());

  EXPECT_EQ(a_.stop(), 1);
  EXPECT_EQ(a_.pause(), 0);
  EXPECT_EQ(a_.resume(), 0);
  EXPECT_EQ(a_.is_open(), 0);
}

TEST_F(AviTest, SpeedSeekAndAudioReachTheDriver) {
  ASSERT_EQ(a_.init(), 1);
  ASSERT_EQ(a_.open(clip_.c_str(), parent_, 0, 0, 0, 0, 1), 1);
  auto sets = calls_of(MCI_SET);
  bool audio_on = false;
  for (const MciCall* c : sets)
    if ((c->flags & MCI_SET_AUDIO) && (c->flags & MCI_SET_ON) && c->audio == MCI_SET_AUDIO_ALL)
      audio_on = true;
  EXPECT_TRUE(audio_on) << "open applies the audio flag";

  g_calls.clear();
  EXPECT_EQ(a_.set_speed(1, 2), 1);
  EXPECT_EQ(a_.set_speed(7, 0), 0) << "zero denominator";
  a_.set_speed(0xFFFFFFFFu, 1);  // the driver may refuse it; what it is asked matters here
  sets = calls_of(MCI_SET);
  ASSERT_EQ(sets.size(), 2u) << "nothing sent for a zero denominator";
  EXPECT_EQ(sets[0]->flags, static_cast<DWORD>(MCI_DGV_SET_SPEED | MCI_WAIT));
  EXPECT_EQ(sets[0]->speed, 500u) << "1/2 is half speed";
  EXPECT_EQ(sets[1]->speed, 0xFFFFFFFFu) << "a large speed saturates instead of wrapping";

  g_calls.clear();
  EXPECT_EQ(a_.audio(0), 1);
  ASSERT_EQ(calls_of(MCI_SET).size(), 1u);
  EXPECT_EQ(calls_of(MCI_SET)[0]->flags, static_cast<DWORD>(MCI_SET_AUDIO | MCI_SET_OFF | MCI_WAIT));

  ASSERT_EQ(a_.set_current(6), 1);
  EXPECT_EQ(a_.get_current(), 6);
  EXPECT_EQ(a_.is_open(), 1) << "seeking keeps the state";
  EXPECT_EQ(a_.is_play(), 0);
  EXPECT_EQ(calls_of(MCI_SEEK).back()->to, 6u);
}

TEST_F(AviTest, ANewClipAndQuitCloseWhatIsOpen) {
  ASSERT_EQ(a_.init(), 1);
  ASSERT_EQ(a_.play(long_clip_.c_str(), parent_, 0, 0, 0, 0, 0, -1), 1);
  const MCIDEVICEID first = calls_of(MCI_PLAY)[0]->device;
  // Opening a second clip closes the first one rather than stranding its device.
  ASSERT_EQ(a_.open(clip_.c_str(), parent_, 0, 0, 0, 0, 0), 1);
  auto closes = calls_of(MCI_CLOSE);
  ASSERT_EQ(closes.size(), 1u);
  EXPECT_EQ(closes[0]->device, first);
  EXPECT_LT(closes[0], calls_of(MCI_OPEN).back()) << "closed before the new clip opens";
  EXPECT_EQ(a_.is_play(), 0);
  EXPECT_EQ(a_.is_open(), 1);

  ASSERT_EQ(a_.start(0, -1), 1);
  const MCIDEVICEID second = calls_of(MCI_PLAY).back()->device;
  g_calls.clear();
  EXPECT_EQ(a_.quit(), 0);
  closes = calls_of(MCI_CLOSE);
  ASSERT_EQ(closes.size(), 2u) << "the clip, then the driver";
  EXPECT_EQ(closes[0]->device, second);
  EXPECT_EQ(closes[0]->result, 0u);
  EXPECT_NE(closes[1]->device, second);
  EXPECT_EQ(closes[1]->result, 0u);
  EXPECT_EQ(a_.is_init(), 0);
  EXPECT_EQ(a_.is_open(), 0);
  EXPECT_EQ(GetWindow(parent_, GW_CHILD), nullptr) << "the playback window is gone";
}

}  // namespace
