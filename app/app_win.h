#pragma once
// Process-wide state of the main program. One UI thread owns all of it.
#include <windows.h>

#include <string>

#include "app/paths.h"
#include "app/settings.h"
#include "base/state_queue.h"

class app_xmlobj;

constexpr const char* kMainClass = "MXZUN2013_BASE_WRITEMAIN";
constexpr const char* kMutexName = "{MXZUN2013_BASE_MUTEX_WRITEMAIN}";
constexpr const char* kLogoClass = "MXZUN_LOGO";
constexpr UINT kMsgDesktopStart = WM_USER + 101;
constexpr UINT kMsgRelayout = WM_USER + 102;
constexpr UINT kMsgTabletInfoChange = 0x7FF6;
constexpr int kFontCount = 11;

// The configuration block: settled once at start, read-only afterwards.
struct app_config {
  app_xmlobj* language = nullptr;
  HINSTANCE instance = nullptr;
  app_paths paths;
  char module_dir[kPathSize] = {};
  int version = 0;
  char version_text[64] = {};
  char update_text[128] = {};
  char web_host[20] = {};
  char scratch[kPathSize] = {};
  char startup_document[kPathSize] = {};
  int full_screen = 1;
  int preferred_width = 1024, preferred_height = 768;
  int app_active = 1, window_active = 1, cursor_visible = 1;
  HFONT fonts[kFontCount] = {};
  char normal_face[128] = {};
  char dict_face[128] = {};
  int single_char = 1;
  int info_value = 500;
  int tablet_started = 0, tablet_present = 0;
  unsigned char tablet_info[52] = {};
  char tablet_name[512] = {};
  char product_key[1024] = {};  // "SOFTWARE\Morvex Software\" + the product sub-key
};

// The application state block.
struct app_state {
  int initialised = 0;
  int screen = 0;           // 1: the desktop
  int interaction_mode = 0; // 0 painting, 1 region, 2 canvas tool, 3 macro playback
  int modal = 0;
  int tool_operation = 0;
  int panels_visible = 1;
  HWND main_window = nullptr;  // as the panels use it: set while the desktop runs
  int mouse_x = 0, mouse_y = 0;
  float* alpha_table = nullptr;  // 256 entries i / 255
};

extern app_config g_config;
extern app_state g_app;
extern app_settings g_settings;

// Configuration (installation tree, language, fonts, tablet).
int load_configuration(HINSTANCE instance, const char* startup_document);
void release_configuration();
int config_text(const char* section, const char* key, char* out, int size);
int config_resource_path(const char* name, const char* language, char* out);
// The same as a resolver for the portable libraries (pens, copybooks).
int config_resolve(const char* name, std::string* out);
int config_build_path(const char* code, const char* language, char* out);
HFONT font_by_name(const char* name);
// Settles the product sub-key from "mx_conf.ini" and makes sure the key exists.
void config_settle_product_key();

// Registry helpers on one selectable root.
void reg_set_root(HKEY root);
int key_exists(const char* sub_key);
int create_key(const char* sub_key);
int read_value(const char* name, char* out, const char* sub_key);
int write_value(const char* text, const char* name, const char* sub_key);
int write_default_expand(const char* text, const char* sub_key);

// Settings and the document-type registration.
void load_settings();
void save_settings();
int register_document_type(const char* icon_path, const char* program_path);
void unregister_document_type();

// Application objects, the splash and the main window.
int create_app_objects();
void release_app_objects();
HWND create_main_window(HINSTANCE instance);
int register_main_class(HINSTANCE instance);
void splash_show(HINSTANCE instance);
void splash_close();
void set_window_title(HWND window);
void flush_state_queue();
void open_dropped_file(const char* path);
