#pragma once
// A macro record list owned by a recording macro, with leak checks around it.
#include <gtest/gtest.h>

#include <memory>

#include "macro/macro_data.h"
#include "tests/support/leak_check.h"

class RecordingMacro : public LeakCheck {
 protected:
  void SetUp() override {
    LeakCheck::SetUp();
    macro = std::make_unique<zun_macro_data>();
    ASSERT_TRUE(macro->init());
    owner.initialised = 1;
    owner.state = kMacroRecording;
    macro->owner = &owner;
  }
  void TearDown() override {
    macro.reset();
    LeakCheck::TearDown();
  }

  macro_owner owner;
  std::unique_ptr<zun_macro_data> macro;
};
