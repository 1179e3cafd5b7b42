#pragma once
// A fixture that fails a test which leaves counted heap blocks behind.
#include <gtest/gtest.h>

#include "base/alloc.h"

class LeakCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    count_ = alloc_count();
    bytes_ = alloc_bytes();
  }
  void TearDown() override {
    EXPECT_EQ(alloc_count(), count_) << "counted blocks leaked";
    EXPECT_EQ(alloc_bytes(), bytes_) << "counted bytes leaked";
  }

 private:
  long count_ = 0;
  long long bytes_ = 0;
};
