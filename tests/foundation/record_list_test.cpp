#include "foundation/record_list.h"

#include <filesystem>
#include <set>
#include <vector>

#include "fork_helpers.h"
#include "support/temp_root.h"

namespace {

// A record kind of its own, as the staff registry's user record will be.
class TestMember : public LSettingsRecord {
 public:
  std::string Label() { return GetString("Label"); }
};

using TestList = LRecordList<LSettingsRecord, TestMember>;
using TestIterator = LRecordListIterator<LSettingsRecord, TestMember>;

class RecordListTest : public KavrixTempRoot {
 protected:
  void SetUp() override {
    KavrixTempRoot::SetUp();
    LSettingsGetSharedFolder();
  }
  std::string ListPath() const { return SharedFolder() + "/userslist"; }
  std::string MemberPath(int id) const { return ListPath() + "_/" + std::to_string(id); }

  std::vector<int> WalkIds(TestList& list) {
    std::vector<int> ids;
    for (TestIterator it(list); it.Next();) {
      ids.push_back(it.GetID());
      EXPECT_EQ(it.Get().GetPath(), MemberPath(it.GetID()));
    }
    return ids;
  }
};

}  // namespace

TEST_F(RecordListTest, GapsAreSkippedCountedOutAndFilledFirst) {
  TestList list = TestList::InSharedFolder("UsersList");
  EXPECT_EQ(list.GetPath(), ListPath());
  ASSERT_TRUE(KavrixWriteFile(ListPath(), "maxid=5\r\n"));
  std::filesystem::create_directories(ListPath() + "_");
  for (int id : {0, 1, 3}) ASSERT_TRUE(KavrixWriteFile(MemberPath(id), "label=m" + std::to_string(id) + "\r\n"));

  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(WalkIds(list), (std::vector<int>{0, 1, 3}));
  std::vector<std::string> labels;
  for (TestIterator it(list); it.Next();) labels.push_back(it.Get().Label());
  EXPECT_EQ(labels, (std::vector<std::string>{"m0", "m1", "m3"}));

  TestMember member;
  EXPECT_EQ(list.Add(member), 2);
  EXPECT_EQ(member.GetPath(), MemberPath(2));
  EXPECT_EQ(list.Add(member), 4);
  EXPECT_EQ(list.GetMaxID(), 5);
  EXPECT_EQ(list.Add(member), 5);
  EXPECT_EQ(list.GetMaxID(), 6);
  EXPECT_EQ(KavrixReadFile(ListPath()), "maxid=6\r\n");
  EXPECT_EQ(list.Count(), 6);
  // A new member exists (empty) from the moment it is added.
  EXPECT_EQ(KavrixReadFile(MemberPath(5)), "");
  ASSERT_TRUE(member.SetString("Label", "new"));
  EXPECT_EQ(KavrixReadFile(MemberPath(5)), "label=new\r\n");
}

TEST_F(RecordListTest, RemovedIdsAreReusedAndMaxIdNeverFalls) {
  TestList list(ListPath());
  EXPECT_EQ(list.GetMaxID(), 0);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_TRUE(WalkIds(list).empty());
  TestMember member;
  for (int expected = 0; expected < 3; ++expected) EXPECT_EQ(list.Add(member), expected);
  EXPECT_EQ(KavrixReadFile(ListPath()), "maxid=3\r\n");
  EXPECT_TRUE(list.Remove(2));
  EXPECT_FALSE(list.Remove(2));
  EXPECT_FALSE(list.Remove(-1));
  EXPECT_EQ(list.GetMaxID(), 3);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(WalkIds(list), (std::vector<int>{0, 1}));
  EXPECT_EQ(list.Add(member), 2);
  EXPECT_EQ(list.Add(member), 3);
  EXPECT_EQ(list.GetMaxID(), 4);

  TestMember opened;
  EXPECT_TRUE(list.Open(1, opened));
  EXPECT_EQ(opened.GetPath(), MemberPath(1));
  EXPECT_FALSE(list.Open(9, opened));
  EXPECT_FALSE(list.Exists(-1));
}

TEST_F(RecordListTest, BadMaxIdReadsAsEmpty) {
  TestList list(ListPath());
  for (const char* bytes : {"maxid=abc\r\n", "maxid=-4\r\n", "maxid=\r\n", "MaxID=3\r\n"}) {
    ASSERT_TRUE(KavrixWriteFile(ListPath(), bytes));
    EXPECT_EQ(list.GetMaxID(), 0) << bytes;
    EXPECT_EQ(list.Count(), 0);
  }
  TestMember member;
  ASSERT_TRUE(KavrixWriteFile(ListPath(), "maxid=-4\r\n"));
  EXPECT_EQ(list.Add(member), 0);
  EXPECT_EQ(KavrixReadFile(ListPath()), "maxid=1\r\n");
}

// Iterating and counting only look: they make no folders.
TEST_F(RecordListTest, WalkingCreatesNothing) {
  TestList list(ListPath());
  TestMember member;
  ASSERT_EQ(list.Add(member), 0);
  ASSERT_TRUE(member.SetString("Label", "x"));
  ASSERT_TRUE(KavrixWriteFile(ListPath(), "maxid=3\r\n"));
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(WalkIds(list), (std::vector<int>{0}));
  EXPECT_FALSE(KavrixFileExists(MemberPath(0) + "_"));
  EXPECT_FALSE(KavrixFileExists(MemberPath(1)));
}

// Two processes adding at once must never be handed the same member.
TEST_F(RecordListTest, ConcurrentAddsInTwoProcessesGetDistinctIds) {
  constexpr int kEach = 40;
  auto adder = [this](const char* who) {
    return [this, who] {
      TestList list(ListPath());
      for (int i = 0; i < kEach; ++i) {
        TestMember member;
        if (list.Add(member) < 0) return 1;
        if (!member.SetString("Label", std::string_view(who + std::to_string(i)))) return 2;
      }
      return 0;
    };
  };
  TestChild first(adder("a"));
  TestChild second(adder("b"));
  first.Release();
  second.Release();
  EXPECT_EQ(first.Wait(), 0);
  EXPECT_EQ(second.Wait(), 0);

  TestList list(ListPath());
  EXPECT_EQ(list.GetMaxID(), 2 * kEach);
  std::set<std::string> labels;
  for (TestIterator it(list); it.Next();) labels.insert(it.Get().Label());
  EXPECT_EQ(labels.size(), 2u * kEach);
}
