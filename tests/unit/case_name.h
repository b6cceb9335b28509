#pragma once

#include <gtest/gtest.h>

#include <string>

namespace parlivo {

// Names each case of a parameterised test after its `name` field.
struct CaseName {
  template <typename Case>
  std::string operator()(const testing::TestParamInfo<Case>& param) const {
    return param.param.name;
  }
};

}  // namespace parlivo
