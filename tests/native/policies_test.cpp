#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/RandomGenerator.h"
#include "clocksync/DaytimeServer.h"
#include "settings/ClockSettings.h"
#include "settings/Policies.h"

namespace {

PolicyValue Number(uint32_t n) {
  return {PolicyValue::Kind::Number, n, {}};
}
PolicyValue Text(std::string t) {
  return {PolicyValue::Kind::Text, 0, std::move(t)};
}
PolicyValue Other() {
  return {};
}

bool UsableList(const std::string& list) {
  return !UsableDaytimeServers(list).empty();
}

constexpr size_t kColor = SettingIndex(&ClockSettings::Color);
constexpr size_t kSizes = SettingIndex(&ClockSettings::Sizes);
constexpr size_t kRands = SettingIndex(&ClockSettings::Rands);

struct ResolveCase {
  const char* what;
  PolicyKey computer;
  PolicyKey user;
  size_t setting;  // the setting looked at
  std::optional<int32_t> value;
};

TEST(PolicyRules, EachSettingTakesTheComputersUsableValueElseTheUsers) {
  const ResolveCase cases[] = {
      {"nothing set", {}, {}, kColor, std::nullopt},
      {"the user's alone", {}, {{"Color", Number(3)}}, kColor, 3},
      {"the computer's beats the user's",
       {{"Color", Number(0)}},
       {{"Color", Number(7)}},
       kColor,
       0},
      {"top of the range", {{"Color", Number(10)}}, {}, kColor, 10},
      {"above the range: the user's", {{"Color", Number(11)}}, {{"Color", Number(4)}}, kColor, 4},
      {"below the range", {{"Sizes", Number(4)}}, {}, kSizes, std::nullopt},
      {"a DWORD read as negative", {{"Sizes", Number(0xFFFFFFFBu)}}, {}, kSizes, std::nullopt},
      {"text where a number belongs", {{"Color", Text("7")}}, {}, kColor, std::nullopt},
      {"another type", {{"Color", Other()}}, {{"Color", Number(2)}}, kColor, 2},
      {"random mode on", {{"Rands", Number(1)}}, {}, kRands, 1},
      {"random mode 2 is no switch", {{"Rands", Number(2)}}, {}, kRands, std::nullopt},
      {"a name of another case is another value", {{"color", Number(7)}}, {}, kColor, std::nullopt},
  };
  for (const ResolveCase& c : cases) {
    const Policies p = ResolvePolicies(c.computer, c.user, UsableList);
    EXPECT_EQ(p.settings[c.setting], c.value) << c.what;
  }
}

struct SyncCase {
  const char* what;
  PolicyKey computer;
  PolicyKey user;
  std::optional<bool> allowed;
  std::optional<std::string> servers;
  bool computer_forbids;
};

TEST(PolicyRules, ClockSyncAndTimeServersFollowTheSameOrder) {
  const SyncCase cases[] = {
      {"nothing set", {}, {}, std::nullopt, std::nullopt, false},
      {"the computer forbids", {{"ClockSync", Number(0)}}, {}, false, std::nullopt, true},
      {"the computer allows over the user's 0",
       {{"ClockSync", Number(1)}},
       {{"ClockSync", Number(0)}},
       true,
       std::nullopt,
       false},
      {"the user forbids; the clock step looks at the computer only",
       {},
       {{"ClockSync", Number(0)}},
       false,
       std::nullopt,
       false},
      {"ClockSync 2 is ignored", {{"ClockSync", Number(2)}}, {}, std::nullopt, std::nullopt, false},
      {"ClockSync as text is ignored",
       {{"ClockSync", Text("0")}},
       {},
       std::nullopt,
       std::nullopt,
       false},
      {"servers",
       {{"TimeServers", Text("10.0.0.1, 10.0.0.2:1313")}},
       {},
       std::nullopt,
       "10.0.0.1, 10.0.0.2:1313",
       false},
      {"empty servers: the user's",
       {{"TimeServers", Text("")}},
       {{"TimeServers", Text("10.0.0.3")}},
       std::nullopt,
       "10.0.0.3",
       false},
      {"no valid entry",
       {{"TimeServers", Text("time.example, 300.1.1.1")}},
       {},
       std::nullopt,
       std::nullopt,
       false},
      {"servers as a number", {{"TimeServers", Number(1)}}, {}, std::nullopt, std::nullopt, false},
  };
  for (const SyncCase& c : cases) {
    const Policies p = ResolvePolicies(c.computer, c.user, UsableList);
    EXPECT_EQ(p.clock_sync_allowed, c.allowed) << c.what;
    EXPECT_EQ(p.time_servers, c.servers) << c.what;
    EXPECT_EQ(ComputerForbidsClockSync(c.computer), c.computer_forbids) << c.what;
  }
}

TEST(PolicyRules, AnAdministratorsServerListKeepsItsUsableEntries) {
  const struct {
    const char* list;
    std::vector<DaytimeServer> servers;
  } cases[] = {
      {"10.0.0.1", {{"10.0.0.1", 13}}},
      {" 10.0.0.1 ,\t10.0.0.2:1313 ", {{"10.0.0.1", 13}, {"10.0.0.2", 1313}}},
      {"time.example,10.0.0.2,10.0.0.3:0", {{"10.0.0.2", 13}}},
      {"", {}},
      {",,", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UsableDaytimeServers(c.list), c.servers) << '"' << c.list << '"';
  }
}

TEST(PolicyRules, RandomModeDrawsAsBeforeButKeepsThePolicysValues) {
  ClockSettings free{9, 10, 10, 10, 10, 10, 1};
  ClockSettings fixed = free;
  RandomGenerator a;
  RandomGenerator b;
  a.SetState(1234);
  b.SetState(1234);
  ApplyRandomMode(free, a);
  SettingChoices policy;
  policy[kColor] = 10;
  ApplyRandomMode(fixed, b, policy);
  EXPECT_EQ(fixed.Color, 10);
  // The other picks are the ones drawn without a policy.
  EXPECT_EQ(fixed.Arrows, free.Arrows);
  EXPECT_EQ(fixed.Ar_Color, free.Ar_Color);
  EXPECT_EQ(fixed.Alpha, free.Alpha);
  EXPECT_NE(free.Color, 10);  // never drawn: the policy's 10 is no coincidence
}

}  // namespace
