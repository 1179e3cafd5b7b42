// The save question before a document is replaced, and the status texts.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/os.h"
#include "doc/doc_text.h"
#include "doc/prompt_save.h"
#include "doc/zun_file.h"
#include "tests/doc/controller_util.h"
#include "tests/doc/doc_test_util.h"
#include "tests/support/leak_check.h"
#include "tests/support/temp_dir.h"

namespace {
int texts(const char* section, const char* key, char* out, int size) {
  const std::string k = std::string(section) + "/" + key;
  const char* v = k == "file/name"         ? "Untitled-1"
                  : k == "file/info"       ? "%s  %d x %d"
                  : k == "file/infoscale1" ? "%d%%"
                  : k == "file/infoscale0" ? "1/%d"
                  : k == "msg/save"        ? "Save %s?"
                  : k == "msg/ifexist"     ? "Replace %s?"
                                           : nullptr;
  if (!v) return 0;
  std::snprintf(out, size, "%s", v);
  return 1;
}

// The shell's side: recorded questions, scripted answers.
struct shell {
  std::vector<std::string> questions, dialogs;
  int answer = 1;
  std::string chosen;  // empty: the dialog is cancelled
  static int ask(void* c, const char* text) {
    auto* s = static_cast<shell*>(c);
    s->questions.push_back(text);
    return s->answer;
  }
  static int choose(void* c, const char* suggested, char* out, int size) {
    auto* s = static_cast<shell*>(c);
    s->dialogs.push_back(suggested);
    if (s->chosen.empty()) return 0;
    std::snprintf(out, size, "%s", s->chosen.c_str());
    return 1;
  }
  doc_prompt_hooks hooks() {
    doc_prompt_hooks h;
    h.context = this;
    h.text = texts;
    h.ask_yes_no = ask;
    h.choose_path = choose;
    return h;
  }
};

class ControllerPrompt : public LeakCheck {
 protected:
  TempDir dir_;
};

TEST_F(ControllerPrompt, NothingHappensUnlessInitialisedAllowedAndModified) {
  auto f = make_document(4, 4);
  f->modified = 1;
  shell s;
  doc_prompt_outcome out{};
  EXPECT_FALSE(doc_prompt_save(*f, 1, s.hooks(), &out)) << "not initialised";
  EXPECT_EQ(out, doc_prompt_outcome::nothing_to_save);
  Initialised on;
  doc_prompt_hooks h = s.hooks();
  h.menu_allows = 0;
  EXPECT_FALSE(doc_prompt_save(*f, 1, h, &out));
  f->modified = 0;
  EXPECT_FALSE(doc_prompt_save(*f, 1, s.hooks(), &out));
  EXPECT_EQ(out, doc_prompt_outcome::nothing_to_save);
  EXPECT_TRUE(s.questions.empty());
  EXPECT_TRUE(s.dialogs.empty());
}

TEST_F(ControllerPrompt, UntitledDocumentAsksThenRunsTheDialogAndTheOverwriteQuestion) {
  Initialised on;
  auto f = make_document(4, 4);
  f->modified = 1;
  shell s;
  doc_prompt_outcome out{};
  s.answer = 0;
  EXPECT_FALSE(doc_prompt_save(*f, 1, s.hooks(), &out));
  EXPECT_EQ(out, doc_prompt_outcome::declined);
  ASSERT_EQ(s.questions.size(), 1u);
  EXPECT_EQ(s.questions[0], "Save Untitled-1.zws?");
  EXPECT_TRUE(s.dialogs.empty());

  s.answer = 1;  // yes, then the dialog is cancelled
  EXPECT_FALSE(doc_prompt_save(*f, 1, s.hooks(), &out));
  EXPECT_EQ(out, doc_prompt_outcome::cancelled);
  ASSERT_EQ(s.dialogs.size(), 1u);
  EXPECT_EQ(s.dialogs[0], "Untitled-1.zws");

  const std::string target = dir_.file("mine.zws");
  ctl::spit(target, "old");
  s.chosen = target;
  s.answer = 0;  // no to replacing: nothing is written
  s.questions.clear();
  EXPECT_FALSE(doc_prompt_save(*f, 0, s.hooks(), &out));
  EXPECT_EQ(out, doc_prompt_outcome::cancelled);
  ASSERT_EQ(s.questions.size(), 1u);
  EXPECT_EQ(s.questions[0], "Replace " + target + "?");
  EXPECT_EQ(ctl::slurp(target), "old");

  s.answer = 1;
  EXPECT_TRUE(doc_prompt_save(*f, 0, s.hooks(), &out));
  EXPECT_EQ(out, doc_prompt_outcome::saved);
  EXPECT_EQ(std::string(f->path), target);
  EXPECT_EQ(f->modified, 0);
  EXPECT_EQ(ctl::slurp(target).substr(0, 4), ".zws");
}

TEST_F(ControllerPrompt, ImportedPictureGoesThroughTheDialogADocumentDoesNot) {
  Initialised on;
  auto f = make_document(4, 4);
  f->set_path(dir_.file("photo.png").c_str());
  ASSERT_EQ(f->path_is_document, 0);
  shell s;
  s.chosen = dir_.file("chosen.zws");
  doc_prompt_outcome out{};
  EXPECT_TRUE(doc_prompt_save(*f, 0, s.hooks(), &out));
  ASSERT_EQ(s.dialogs.size(), 1u);
  EXPECT_EQ(s.dialogs[0], dir_.file("photo.zws"));
  EXPECT_FALSE(os_file_exists(dir_.file("photo.zws").c_str()));
  EXPECT_EQ(f->path_is_document, 1);

  f->mark_dirty(1);
  s.dialogs.clear();
  EXPECT_TRUE(doc_prompt_save(*f, 0, s.hooks(), &out));
  EXPECT_TRUE(s.dialogs.empty());
  EXPECT_EQ(f->modified, 0);

  // A save that fails is told apart from a choice not to save.
  f->mark_dirty(1);
  f->set_path(dir_.file("gone/x.zws").c_str());
  EXPECT_FALSE(doc_prompt_save(*f, 0, s.hooks(), &out));
  EXPECT_EQ(out, doc_prompt_outcome::save_failed);
  EXPECT_EQ(f->modified, 1);
}

TEST_F(ControllerPrompt, StatusTexts) {
  auto f = make_document(640, 480);
  char line[256];
  doc_default_name(*f, texts, line, sizeof line);
  EXPECT_STREQ(line, "Untitled-1.zws");
  doc_default_name(*f, nullptr, line, sizeof line);
  EXPECT_STREQ(line, "untitled.zws");
  doc_info_text(*f, texts, line, sizeof line);
  EXPECT_STREQ(line, "Untitled-1.zws  640 x 480");
  f->set_path("D:\\a.zws");
  doc_info_text(*f, texts, line, sizeof line);
  EXPECT_STREQ(line, "D:\\a.zws  640 x 480");

  f->canvas->scale_step = 3;
  doc_zoom_text(*f, texts, line, sizeof line);
  EXPECT_STREQ(line, "300%");
  f->canvas->scale_step = -2;
  doc_zoom_text(*f, texts, line, sizeof line);
  EXPECT_STREQ(line, "1/200");
  zun_file bare;
  ASSERT_TRUE(bare.zun_file_init(2));
  bare.canvas->scale_step = -4;  // not set up: counts as 1
  doc_zoom_text(bare, texts, line, sizeof line);
  EXPECT_STREQ(line, "100%");
}

TEST_F(ControllerPrompt, FormatsFromOutsideAreNeverTrusted) {
  char out[16];
  const doc_text_arg args[] = {{"name", 0}, {nullptr, -42}};
  doc_format(out, sizeof out, "%s|%-08.3lld|%s%s%n%p", args, 2);
  EXPECT_STREQ(out, "name|-42|");
  doc_format(out, sizeof out, "100%% of %s and more text", args, 1);
  EXPECT_STREQ(out, "100% of name an");  // cut to the buffer
  doc_format(out, sizeof out, "trailing %", args, 0);
  EXPECT_STREQ(out, "trailing ");
  doc_format(out, sizeof out, nullptr, args, 2);
  EXPECT_STREQ(out, "");
}
}  // namespace
