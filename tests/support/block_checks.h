#pragma once
// Checks shared by the tests of the unit types' property block descriptions.

#include <gtest/gtest.h>

#include <initializer_list>

#include "forms/property_block.h"

namespace testing_support {

struct NamedField {
  size_t index;
  const char* name;
};

// The field positions units use must name the fields they mean, and cover
// every field of the block.
inline void ExpectPositions(const forms::BlockLayout& layout,
                            std::initializer_list<NamedField> positions) {
  ASSERT_EQ(positions.size(), layout.fieldCount) << layout.typeName;
  for (const NamedField& p : positions) {
    EXPECT_EQ(layout.FieldIndex(p.name), static_cast<int>(p.index)) << layout.typeName << p.name;
  }
}

}  // namespace testing_support
