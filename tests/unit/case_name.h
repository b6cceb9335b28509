#pragma once

#include <gtest/gtest.h>

#include <string>

namespace parlivo {

// One case of a table-driven test of a function from `input` to `expected`.
template <typename Input, typename Expected = std::u16string>
struct Case {
  const char* name;
  Input input;
  Expected expected;
};

// Names each case of a parameterised test after its `name` field.
struct CaseName {
  template <typename Param>
  std::string operator()(const testing::TestParamInfo<Param>& param) const {
    return param.param.name;
  }
};

}  // namespace parlivo
