// The implementations every contract test runs against: the fakes everywhere, and on Windows
// builds the Win32 implementations as well.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/system_info.h"

namespace kestrava {

template <typename Service>
struct Implementation {
  std::string name;
  std::function<std::unique_ptr<Service>()> make;
};

// Names each instantiation after its implementation ("Fake", "Win32").
struct ImplementationName {
  template <typename Param>
  std::string operator()(const ::testing::TestParamInfo<Param>& param) const {
    return param.param.name;
  }
};

std::vector<Implementation<SystemInfo>> SystemInfoImplementations();

}  // namespace kestrava
