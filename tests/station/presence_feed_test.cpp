// The presence feed on its own: the bound on a session that has fallen
// behind, and whom a change is for.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "foundation/settings_parse.h"
#include "station/presence_feed.h"

namespace {

std::shared_ptr<const LKXPresenceEntry> Entry(const std::string& email, const std::string& location,
                                              const std::string& team = "Sales") {
  auto entry = std::make_shared<LKXPresenceEntry>();
  entry->email = email;
  entry->team = team;
  entry->location = location;
  return entry;
}

// A session that stops taking keeps a bounded queue that still ends with
// each user's newest change, every user's changes in their order.
TEST(PresenceFeed, ASessionFarBehindKeepsTheNewestOfEachUser) {
  LKXPresenceFeed feed("ann@x");
  const std::string users[] = {"bob@x", "CAT@x", "cat@x", "dan@x"};  // cat twice, in two cases
  constexpr std::uint32_t kChanges = 5000;
  for (std::uint32_t seq = 1; seq <= kChanges; ++seq) feed.Push(seq, Entry(users[seq % 4], std::to_string(seq)));
  const auto taken = feed.TakeAll();
  EXPECT_LT(taken.size(), 1024u);
  std::map<std::string, std::uint32_t> last;  // lower-case user -> last seq taken
  for (const LKXQueuedState& q : taken) {
    const std::string user = LSettingsLowerCase(q.entry->email);
    EXPECT_GT(q.seq, last[user]) << user;
    last[user] = q.seq;
  }
  // 5000 changes: bob's are the multiples of 4, cat's leave 1 or 2, dan's 3.
  EXPECT_EQ(std::to_string(last["bob@x"]) + " " + std::to_string(last["cat@x"]) + " " + std::to_string(last["dan@x"]),
            "5000 4998 4999");
}

TEST(PresenceFeed, WantsTeamMatesButNoMonitorUser) {
  const struct {
    const char* ownTeams;
    const char* theirTeams;
    bool monitor;
    bool wanted;
  } cases[] = {
      {"Sales", "sales", false, true},    {"Sales, Support", " support,  SALES", false, true},
      {"Sales", "Support", false, false}, {"", "Sales", false, false},
      {"Sal", "Sales", false, false},     {"Sales", "Sales", true, false},
      {"Sales ", "Sales", false, false},  // trailing blanks count
  };
  for (const auto& c : cases) {
    LKXPresenceFeed feed("ann@x");
    feed.SetTeams(c.ownTeams);
    auto entry = std::make_shared<LKXPresenceEntry>(*Entry("bob@x", "x", c.theirTeams));
    entry->monitor = c.monitor;
    EXPECT_EQ(feed.Wants(*entry), c.wanted) << c.ownTeams << " / " << c.theirTeams;
  }
  // Before its teams are known a new session's feed takes every change.
  LKXPresenceFeed fresh("ann@x");
  EXPECT_TRUE(fresh.Wants(*Entry("bob@x", "x", "Support")));
}

}  // namespace
