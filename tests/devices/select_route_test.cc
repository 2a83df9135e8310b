// The choice of route at start, over a table of routes that open or not as the test says.
#include <gtest/gtest.h>

#include "platform/devices/record/record_device.h"
#include "platform/devices/routes.h"

namespace {

std::vector<std::string> record;
std::vector<std::string> opened;  // "name forced" for every open tried

template <bool kOpens>
std::unique_ptr<Device> openFirst(bool forced, std::string& whyNot) {
  opened.push_back(std::string("first") + (forced ? " forced" : ""));
  if (!kOpens) {
    whyNot = "no first here";
    return nullptr;
  }
  return std::make_unique<RecordingDevice>(record);
}
std::unique_ptr<Device> openSecond(bool forced, std::string&) {
  opened.push_back(std::string("second") + (forced ? " forced" : ""));
  return std::make_unique<RecordingDevice>(record);
}

const RouteEntry kFirstFails[] = {{"first", openFirst<false>}, {"second", openSecond}};
const RouteEntry kFirstOpens[] = {{"first", openFirst<true>}, {"second", openSecond}};

TEST(SelectRoute, TakesTheFirstRouteThatOpensAndSaysWhyEarlierOnesWereNot) {
  opened.clear();
  const RouteChoice choice = selectRoute(kFirstFails, nullptr);
  ASSERT_TRUE(choice.device);
  EXPECT_EQ(choice.name, "second");
  EXPECT_EQ(opened, (std::vector<std::string>{"first", "second"}));
  ASSERT_EQ(choice.tried.size(), 2u);
  EXPECT_EQ(choice.tried[0].name, "first");
  EXPECT_EQ(choice.tried[0].whyNot, "no first here");
  EXPECT_EQ(choice.tried[1].whyNot, "");

  opened.clear();
  EXPECT_EQ(selectRoute(kFirstOpens, nullptr).name, "first");
  EXPECT_EQ(opened, std::vector<std::string>{"first"});
}

TEST(SelectRoute, ABackendNamesTheOnlyRouteTriedAndForcesIt) {
  const struct {
    const char* backend;
    const RouteEntry* table;
    std::vector<std::string> opened;
    std::string_view taken;
  } cases[] = {
      {"second", kFirstOpens, {"second forced"}, "second"},
      {"first", kFirstFails, {"first forced"}, ""},  // it cannot open: no route at all
      {"", kFirstOpens, {}, ""},
      {"Second", kFirstOpens, {}, ""},
      {"none", kFirstOpens, {}, ""},
  };
  for (const auto& c : cases) {
    opened.clear();
    const RouteChoice choice = selectRoute(std::span<const RouteEntry>(c.table, 2), c.backend);
    EXPECT_EQ(opened, c.opened) << c.backend;
    EXPECT_EQ(choice.name, c.taken) << c.backend;
    EXPECT_EQ(choice.device != nullptr, !c.taken.empty()) << c.backend;
  }
}

}  // namespace
