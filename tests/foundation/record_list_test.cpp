#include "foundation/record_list.h"

#include <filesystem>

#include "support/test_helpers.h"

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
};

}  // namespace

// Walking and counting skip gaps and make no folders; adding fills the gaps
// first, then takes MaxID, which never falls when members are removed.
TEST_F(RecordListTest, GapsAreSkippedAndTheirIdsReused) {
  TestList list = TestList::InSharedFolder("UsersList");
  EXPECT_EQ(list.GetPath(), ListPath());
  ASSERT_TRUE(KavrixWriteFile(ListPath(), "maxid=5\r\n"));
  std::filesystem::create_directories(ListPath() + "_");
  for (int id : {0, 1, 3}) ASSERT_TRUE(KavrixWriteFile(MemberPath(id), "label=m" + std::to_string(id) + "\r\n"));
  EXPECT_EQ(list.Count(), 3);
  std::string walked;  // "id:label " of every member met, in order
  for (TestIterator it(list); it.Next();) walked += std::to_string(it.GetID()) + ":" + it.Get().Label() + " ";
  EXPECT_EQ(walked, "0:m0 1:m1 3:m3 ");
  TestMember member;
  for (int expected : {2, 4, 5}) EXPECT_EQ(list.Add(member), expected);
  EXPECT_EQ(KavrixReadFile(ListPath()), "maxid=6\r\n");
  EXPECT_TRUE(KavrixFileExists(MemberPath(5))) << "a new member exists from the moment it is added";
  EXPECT_TRUE(list.Remove(5) && !list.Remove(5));
  EXPECT_EQ(list.GetMaxID(), 6);
  EXPECT_EQ(list.Add(member), 5);
}

TEST_F(RecordListTest, BadOrMissingMaxIdReadsAsEmpty) {
  TestList list(ListPath());
  for (const char* bytes : {"", "maxid=abc\r\n", "maxid=-4\r\n"}) {
    ASSERT_TRUE(!*bytes || KavrixWriteFile(ListPath(), bytes));  // "": no file at all
    EXPECT_EQ(list.GetMaxID() + list.Count(), 0) << bytes;
  }
  TestMember member;
  EXPECT_EQ(list.Add(member), 0);
  EXPECT_EQ(KavrixReadFile(ListPath()), "maxid=1\r\n");
}

// Two processes adding at once must never be handed the same member: each
// writes its own label into every member it gets.
TEST_F(RecordListTest, ConcurrentAddsInTwoProcessesGetDistinctIds) {
  auto adder = [this] {
    TestList list(ListPath());
    for (int i = 0; i < 40; ++i) {
      TestMember member;
      if (list.Add(member) < 0 || !member.SetString("Label", std::to_string(getpid()) + "/" + std::to_string(i))) {
        return 1;
      }
    }
    return 0;
  };
  TestChild first(adder), second(adder);
  first.Release();
  EXPECT_EQ(second.Wait() + first.Wait(), 0);
  TestList list(ListPath());
  std::set<std::string> labels;
  for (TestIterator it(list); it.Next();) labels.insert(it.Get().Label());
  EXPECT_EQ(std::to_string(list.GetMaxID()) + " ids, " + std::to_string(labels.size()) + " labels",
            "80 ids, 80 labels");
}
