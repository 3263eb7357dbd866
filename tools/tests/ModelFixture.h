#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string_view>

#include "DeviceModel.h"
#include "SimTestClient.h"

// The device model driven in-process with a clock the test moves by hand.
class ModelFixture : public ::testing::Test {
 protected:
  void PowerUp(std::string_view profileName, fennec::sim::DeviceTimings timings = {},
               std::filesystem::path memoryFile = {}) {
    const fennec::sim::Profile* profile = fennec::sim::FindProfile(profileName);
    ASSERT_NE(profile, nullptr) << profileName;
    model.emplace(*profile, timings, fennec::sim::NonVolatileMemory(*profile, std::move(memoryFile)), now);
  }

  void Advance(std::chrono::milliseconds later) { now = now + later; }

  fennec::sim::Moment now{std::chrono::steady_clock::time_point(std::chrono::hours(1)), 1'700'000'000};
  std::optional<fennec::sim::DeviceModel> model;
  simtest::Client client{[this](const simtest::Bytes& request) { return model->Handle(request, now).answer; }};
};
