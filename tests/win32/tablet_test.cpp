// zz_device.dll's tablet exports and the program's tablet connection over a
// stand-in WINTAB32.DLL: context set-up, the packet reads, pressure, the
// eraser, and a machine without a tablet library.
#include "tests/win32/tablet_fixture.h"

const tablet_api* g_tablet_api = nullptr;

namespace {

TEST_F(Tablet, InitNamesTheDeviceAndQuitReleases) {
  EXPECT_EQ(g_api.in_use(), 1);
  char name[512];
  std::memset(name, 'x', sizeof name);
  ASSERT_EQ(g_api.device_name(name), 1);
  EXPECT_STREQ(name, "Stub Tablet");
  EXPECT_EQ(g_api.quit(), 1);
  EXPECT_EQ(g_api.in_use(), 0);
  EXPECT_EQ(g_api.device_name(name), 0);
  EXPECT_STREQ(name, "") << "emptied first";
  EXPECT_EQ(attach(), 0) << "no module, no context";

  // A driver that says there is no tablet is let go.
  log_->interface_answers_zero = 1;
  EXPECT_EQ(g_api.init(), 0);
  EXPECT_EQ(g_api.in_use(), 0);
}

TEST_F(Tablet, AttachAsksForScreenPixelsAndSizesTheQueue) {
  log_->queue_limit = 256;
  const long taken = heap_watch_taken();
  ASSERT_EQ(attach(130, 95), 1);
  EXPECT_EQ(heap_watch_taken(), taken + 1) << "the packet array comes from the heap";
  EXPECT_EQ(record_.context, kStubContext);
  EXPECT_EQ(record_.origin_x, 130);
  EXPECT_EQ(record_.origin_y, 95);
  EXPECT_FLOAT_EQ(record_.pressure, 1.0f);
  EXPECT_EQ(record_.packet_count, 0u);
  ASSERT_NE(record_.packets, nullptr);

  EXPECT_EQ(log_->opens, 1);
  EXPECT_EQ(log_->open_window, window_);
  EXPECT_TRUE(log_->open_enabled);
  const wt::log_context& lc = log_->opened;
  EXPECT_EQ(lc.pkt_data, wt::kPacketFields);
  EXPECT_EQ(lc.move_mask, wt::kPacketFields);
  EXPECT_EQ(lc.pkt_mode, 0u);
  EXPECT_EQ(lc.btn_up_mask, lc.btn_dn_mask);
  EXPECT_EQ(lc.btn_dn_mask, 0x3u) << "the system context's own buttons";
  EXPECT_EQ(lc.out_org_x, 0);
  EXPECT_EQ(lc.out_org_y, 0);
  EXPECT_EQ(lc.out_ext_x, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(lc.out_ext_y, -GetSystemMetrics(SM_CYSCREEN)) << "y grows downwards";
  EXPECT_STREQ(lc.name, "stub system context");

  ASSERT_EQ(log_->queue_size_calls, 3);
  EXPECT_EQ(log_->queue_sizes[0], 1024);
  EXPECT_EQ(log_->queue_sizes[1], 512);
  EXPECT_EQ(log_->queue_sizes[2], 256);

  // A second attach closes the first context; detaching zeroes the record.
  ASSERT_EQ(attach(1, 2), 1);
  EXPECT_EQ(log_->closes, 1);
  g_api.unattach(&record_);
  EXPECT_EQ(log_->closes, 2);
  const zz_tablet_context zero = {};
  EXPECT_EQ(std::memcmp(&record_, &zero, sizeof zero), 0);
}

TEST_F(Tablet, AttachFailuresLeaveNoContext) {
  log_->devices = 0;
  EXPECT_EQ(attach(), 0);
  EXPECT_EQ(log_->opens, 0);

  log_->devices = 1;
  log_->open_fails = 1;
  EXPECT_EQ(attach(40, 30), 0);
  const zz_tablet_context zero = {};
  EXPECT_EQ(std::memcmp(&record_, &zero, sizeof zero), 0);

  // A driver that takes no queue size at all keeps its own queue.
  log_->open_fails = 0;
  log_->queue_limit = 0;
  ASSERT_EQ(attach(), 1);
  EXPECT_EQ(log_->queue_size_calls, 11) << "1024 halved down to 1";
  EXPECT_EQ(log_->queue_sizes[10], 1);
}

TEST_F(Tablet, NothingIsReadWithoutAContext) {
  stub_queue(log_, 1, 1, 10, 10, 500);
  EXPECT_EQ(g_api.when_press(&record_), 0);
  EXPECT_EQ(g_api.when_move(&record_), 0);
  EXPECT_EQ(g_api.is_rubber(&record_), 0);
  g_api.focus(&record_, 1);
  g_api.info_changed(&record_);
  HANDLE none = nullptr;
  g_remove(&none);
  g_remove(nullptr);
  EXPECT_EQ(log_->read, 0);
  EXPECT_EQ(log_->overlaps, 0);
  EXPECT_EQ(log_->axis_reads, 0);
}

TEST_F(Tablet, AMoveKeepsTheFirst32PressedPackets) {
  ASSERT_EQ(attach(100, 50), 1);
  for (int i = 0; i < 40; ++i) stub_queue(log_, 1, 1, 100 + 3 * i, 60 + i, 10 * i);
  ASSERT_EQ(g_api.when_move(&record_), 1);
  ASSERT_EQ(record_.packet_count, 32u);
  for (int i = 0; i < 32; ++i) {
    EXPECT_EQ(record_.packets[i].x, 3 * i) << i;  // client-relative
    EXPECT_EQ(record_.packets[i].y, 10 + i) << i;
    EXPECT_FLOAT_EQ(record_.packets[i].pressure, i ? i / 100.0f : 0.001f) << i;
  }
  EXPECT_EQ(log_->read, 40) << "the rest is read and dropped";
  // The next move starts a new array.
  stub_queue(log_, 1, 1, 107, 52, 1000);
  ASSERT_EQ(g_api.when_move(&record_), 1);
  EXPECT_EQ(record_.packet_count, 1u);
  EXPECT_EQ(record_.packets[0].x, 7);
  EXPECT_EQ(g_api.when_move(&record_), 0) << "an empty queue";
  EXPECT_EQ(record_.packet_count, 0u);
}

TEST_F(Tablet, HoveringPacketsAreNotStored) {
  ASSERT_EQ(attach(), 1);
  stub_queue(log_, 1, 0, 1, 1, 0);
  stub_queue(log_, 1, 1, 2, 2, 500);
  stub_queue(log_, 1, 0, 3, 3, 0);
  stub_queue(log_, 1, 4, 4, 4, 700);  // another button counts as pressed
  ASSERT_EQ(g_api.when_move(&record_), 1);
  ASSERT_EQ(record_.packet_count, 2u);
  EXPECT_EQ(record_.packets[0].x, 2);
  EXPECT_EQ(record_.packets[1].x, 4);
  for (int i = 0; i < 5; ++i) stub_queue(log_, 1, 0, i, i, 300);
  EXPECT_EQ(g_api.when_move(&record_), 0);
  EXPECT_EQ(record_.packet_count, 0u);
  EXPECT_EQ(log_->read, log_->queued);
}

TEST_F(Tablet, PressureFromTheAxisAndTheButtonMarks) {
  log_->pressure_button = 0;
  log_->button_map[0] = 1;  // logical button 1 carries the pressure
  log_->marks[0] = 100, log_->marks[1] = 900;
  log_->axis_min = 0, log_->axis_max = 1000;
  ASSERT_EQ(attach(), 1);
  stub_queue(log_, 1, 2, 0, 0, 600);    // pressure button down: from the release mark
  stub_queue(log_, 1, 1, 1, 0, 600);    // another button: from the axis minimum
  stub_queue(log_, 1, 2, 2, 0, 50);     // below the mark
  stub_queue(log_, 1, 2, 3, 0, 99999);  // beyond the axis
  ASSERT_EQ(g_api.when_move(&record_), 1);
  ASSERT_EQ(record_.packet_count, 4u);
  EXPECT_FLOAT_EQ(record_.packets[0].pressure, 0.5f);
  EXPECT_FLOAT_EQ(record_.packets[1].pressure, 0.6f);
  EXPECT_FLOAT_EQ(record_.packets[2].pressure, 0.001f);
  EXPECT_FLOAT_EQ(record_.packets[3].pressure, 1.0f);
  EXPECT_EQ(record_.pressure_button, 1u);
  EXPECT_EQ(record_.release_mark, 100u);
  EXPECT_EQ(record_.mark_range, 800u);
  EXPECT_EQ(log_->axis_reads, 1) << "one cursor, read once";

  // Press reads the whole queue and keeps the last pressure.
  stub_queue(log_, 1, 2, 0, 0, 300);
  stub_queue(log_, 1, 2, 0, 0, 400);
  ASSERT_EQ(g_api.when_press(&record_), 1);
  EXPECT_FLOAT_EQ(record_.pressure, 0.3f);
  EXPECT_EQ(g_api.when_press(&record_), 0) << "nothing queued";
  EXPECT_FLOAT_EQ(record_.pressure, 1.0f);

  // The driver's information changed: the cursor's data are read again.
  log_->axis_max = 2000;
  g_api.info_changed(&record_);
  EXPECT_EQ(log_->axis_reads, 2);
  stub_queue(log_, 1, 1, 0, 0, 500);
  ASSERT_EQ(g_api.when_press(&record_), 1);
  EXPECT_FLOAT_EQ(record_.pressure, 0.25f);
}

TEST_F(Tablet, APressureRangeOfZeroGivesFullPressure) {
  log_->axis_min = log_->axis_max = 512;
  ASSERT_EQ(attach(), 1);
  stub_queue(log_, 1, 1, 5, 5, 17);
  stub_queue(log_, 1, 1, 6, 6, 900);
  ASSERT_EQ(g_api.when_move(&record_), 1);
  EXPECT_EQ(record_.axis_range, 0u);
  EXPECT_FLOAT_EQ(record_.packets[0].pressure, 1.0f);
  EXPECT_FLOAT_EQ(record_.packets[1].pressure, 1.0f);
}

TEST_F(Tablet, ACursorChangeRereadsItsDataAndNamesTheEraser) {
  ASSERT_EQ(attach(), 1);
  stub_queue(log_, 1, 1, 0, 0, 500);
  ASSERT_EQ(g_api.when_press(&record_), 1);
  EXPECT_EQ(record_.cursor, 1u);
  EXPECT_EQ(g_api.is_rubber(&record_), 0);
  stub_queue(log_, 2, 1, 0, 0, 500);
  ASSERT_EQ(g_api.when_press(&record_), 1);
  EXPECT_EQ(record_.cursor, 2u);
  EXPECT_EQ(record_.cursor_read, 2u);
  EXPECT_EQ(log_->axis_reads, 2);
  EXPECT_EQ(g_api.is_rubber(&record_), 1) << "\"eraser\" in any case";
}

TEST_F(Tablet, FocusAndEmptyingTheQueue) {
  ASSERT_EQ(attach(), 1);
  g_api.focus(&record_, 1);
  EXPECT_EQ(log_->overlaps, 1);
  EXPECT_EQ(log_->overlap_flag, 1);
  for (int i = 0; i < 10; ++i) stub_queue(log_, 1, 1, i, i, 100);
  g_remove(&record_.context);
  EXPECT_EQ(log_->read, 10);
  EXPECT_EQ(g_api.when_move(&record_), 0);
}

// The program-wide connection over the same driver.
TEST_F(Tablet, TheConnectionAttachesToTheWindowsClientOrigin) {
  tablet_start();
  ASSERT_EQ(tablet_in_use(), 1);
  EXPECT_STREQ(tablet_device_name(), "Stub Tablet");
  EXPECT_EQ(tablet_attached(), 0);
  tablet_attach(window_);
  ASSERT_EQ(tablet_attached(), 1);
  POINT origin = {0, 0};
  ClientToScreen(window_, &origin);
  EXPECT_EQ(tablet_record()->origin_x, origin.x);
  EXPECT_EQ(tablet_record()->origin_y, origin.y);
  EXPECT_EQ(log_->overlap_flag, 1) << "brought to the top";
  tablet_attach(window_);  // every layout attaches again
  EXPECT_EQ(log_->opens, 2);
  EXPECT_EQ(log_->closes, 1);

  // A window at a negative position or without a client area is not attached to.
  HWND off = CreateWindowA("STATIC", "off", WS_POPUP | WS_VISIBLE, -50, 10, 100, 100, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
  HWND empty = CreateWindowA("STATIC", "empty", WS_POPUP | WS_VISIBLE, 10, 10, 0, 0, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
  tablet_attach(off);
  tablet_attach(empty);
  EXPECT_EQ(log_->opens, 2);
  DestroyWindow(off);
  DestroyWindow(empty);

  tablet_stop();
  EXPECT_EQ(log_->closes, 2) << "the context goes with the connection";
  EXPECT_EQ(tablet_attached(), 0);
  EXPECT_EQ(g_api.in_use(), 0);
  ASSERT_EQ(g_api.init(), 1);  // for TearDown
}

// Without any tablet library the connection stays quiet.
class NoTablet : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Wine's own wintab32 is disabled and the system folder holds no file.
    install_ = new stub_install(system_folder_file("WINTAB32.DLL"), nullptr, "wintab32", "");
    module_ = load_from_tree("zz_device.dll");
    bound_ = module_ && bind_exports(module_);
    g_tablet_api = &g_api;
  }
  static void TearDownTestSuite() {
    g_tablet_api = nullptr;
    if (module_) FreeLibrary(module_);
    delete install_;
    install_ = nullptr;
    module_ = nullptr;
  }
  static stub_install* install_;
  static HMODULE module_;
  static bool bound_;
};

stub_install* NoTablet::install_;
HMODULE NoTablet::module_;
bool NoTablet::bound_;

TEST_F(NoTablet, InitFailsAndNothingAttaches) {
  ASSERT_TRUE(install_->ok());
  ASSERT_TRUE(bound_);
  EXPECT_EQ(g_api.init(), 0);
  EXPECT_EQ(g_api.in_use(), 0);
  char name[512] = "left over";
  EXPECT_EQ(g_api.device_name(name), 0);
  EXPECT_STREQ(name, "");
  tablet_start();
  EXPECT_EQ(tablet_in_use(), 0);
  HWND w = CreateWindowA("STATIC", "w", WS_POPUP | WS_VISIBLE, 10, 10, 100, 100, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
  tablet_attach(w);
  EXPECT_EQ(tablet_attached(), 0);
  DestroyWindow(w);
  tablet_stop();
}

}  // namespace
