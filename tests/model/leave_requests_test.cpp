// A leave across the year end is stored as two records, one per year's log;
// these tests pin when two records are read back as one request, and the
// requests noted beside a leave notice's flag.

#include "model/leave_requests.h"

#include <gtest/gtest.h>

#include "model/core_data.h"
#include "model/leave_notices.h"
#include "model/users.h"
#include "registry_fixture.h"
#include "support/test_dates.h"
#include "support/test_helpers.h"
#include "support/time_zone.h"

namespace {

class LeaveRequestsModelTest : public RegistryTest {
 protected:
  // Each request as "start~end:year,year".
  static std::string Describe(const std::vector<LKXLeaveRequest>& requests) {
    std::string out;
    for (const LKXLeaveRequest& request : requests) {
      out += (out.empty() ? "" : " ") + request.Start() + "~" + request.End() + ":";
      for (const LKXLeavePart& part : request.parts) out += part.year + (&part == &request.parts.back() ? "" : ",");
    }
    return out;
  }
  KavrixScopedTimeZone zone_{"UTC"};
};

TEST_F(LeaveRequestsModelTest, RequestsAreListedOnceWithTheirOtherHalf) {
  WriteLeaveLog("ann@x.example", "2026",
                "2026-03-02,2026-03-04,sick,\"a\",1,\"\"\r\n2026-12-29,2026-12-31,holiday,\"trip\",0,\"\"\r\n");
  WriteLeaveLog("ann@x.example", "2027",
                "2027-01-01,2027-01-05,holiday,\"trip\",0,\"call@x\"\r\n2027-02-01,2027-02-01,sick,\"b\",0,\"\"\r\n");
  EXPECT_EQ(Describe(KXReadLeaveRequests("ann@x.example", 2026, 2027)),
            "2026-03-02~2026-03-04:2026 2026-12-29~2027-01-05:2026,2027 2027-02-01~2027-02-01:2027");
  // One half found from its year names the whole request; the other half is
  // not in that year's log.
  LKXLeaveRequest request;
  ASSERT_TRUE(KXFindLeaveRequest("ann@x.example", "2027", "2027-01-01", "2027-01-05", request));
  EXPECT_EQ(Describe({request}), "2026-12-29~2027-01-05:2026,2027");
  EXPECT_FALSE(KXFindLeaveRequest("ann@x.example", "2027", "2026-12-29", "2026-12-31", request));
}

// The notice keys are tested byte for byte once; a clear takes off the
// requests the mail named and leaves one noted since.
TEST_F(LeaveRequestsModelTest, NoticesNameTheirRequestsUntilTheMailHasGone) {
  ASSERT_TRUE(KXAddUser("ann@x.example", "Ann", false, false, "", "", "pw"));
  LKXUser ann = UserOf("ann@x.example");
  const std::size_t added = KavrixReadFile(ann.GetPath()).size();
  ASSERT_TRUE(KXRaiseLeaveNotice(ann, LKXLeaveNotice::kApprove, {"2026-12-29", "2027-01-05", "holiday"}, "b@x"));
  ASSERT_TRUE(KXRaiseLeaveNotice(ann, LKXLeaveNotice::kApprove, {"2026-03-02", "2026-03-02", "a,\"b\""}, "c@x"));
  std::vector<LKXNotedLeave> noted = KXNotedLeaves(ann, LKXLeaveNotice::kApprove);
  ASSERT_EQ(noted.size(), 2u);
  EXPECT_EQ(noted[1].type, "a,\"b\"");
  // A third is noted while the mail naming two is on its way.
  ASSERT_TRUE(KXRaiseLeaveNotice(ann, LKXLeaveNotice::kApprove, {"2026-04-01", "2026-04-01", "sick"}, "b@x"));
  ASSERT_TRUE(KXClearLeaveNotice(ann, LKXLeaveNotice::kApprove, noted.size()));
  noted = KXNotedLeaves(ann, LKXLeaveNotice::kApprove);
  EXPECT_TRUE(noted.size() == 1u && noted[0].start == "2026-04-01");
  ASSERT_TRUE(KXClearLeaveNotice(ann, LKXLeaveNotice::kApprove, 1));
  // An application has no operator; the other notices are untouched.
  ASSERT_TRUE(KXRaiseLeaveNotice(ann, LKXLeaveNotice::kApplication, {"2027-01-11", "2027-01-13", "a,b"}, ""));
  EXPECT_EQ(KavrixReadFile(ann.GetPath()).substr(added),
            "leaveapproveoperator=b@x\r\nleaveapproveemail=0\r\n"
            "leaveapplicationrequest1=2027-01-11,2027-01-13,\"a,b\"\r\nleaveapplicationemail=1\r\n");
}

}  // namespace
