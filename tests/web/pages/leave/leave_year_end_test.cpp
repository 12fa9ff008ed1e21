// A leave across the year end, applied for in December over loopback HTTP:
// stored as two records, approved as one, and the request noted for the
// mails (the pending page's one row and the reports are the browser
// test's).

#include <gtest/gtest.h>

#include "foundation/date_time.h"
#include "hours_pages_fixture.h"

namespace {

const std::string kDecember = "2026-12-29,2026-12-31,holiday,\"trip\",";
const std::string kJanuary = "2027-01-01,2027-01-05,holiday,\"trip\",";

class LeaveYearEndTest : public OfficeTest {
 protected:
  void SetUp() override {
    OfficeTest::SetUp();
    LDateTime::SetFakeNow(1796644800);  // Monday 2026-12-07 12:00:00 UTC
    ASSERT_EQ(PostForm("staff", "2026-12-29", "2027-01-05"), Redirect("mainpage"));
  }
};

TEST_F(LeaveYearEndTest, ApprovalActsOnBothRecordsAndNotesTheWholeRequest) {
  const std::string sick = "2027-02-01,2027-02-01,sick,\"\",0,\"\"\r\n";
  WriteLog("staff", "2026", kDecember + "0,\"\"\r\n");
  WriteLog("staff", "2027", sick + kJanuary + "0,\"\"\r\n");
  // The pending page's one row, posted back as the browser sends it.
  EXPECT_FALSE(Contains(PostAs("mgr", "pendingleaverequestspost",
                               "submit=Approve&count=1&year=2026&check0=checked&inputuser0=staff%40x.example"
                               "&inputstartdate0=2026-12-29&inputenddate0=2027-01-05&selecttype0=0&inputreason0=trip"
                               "&inputyear0=2026"),
                        "nothing was"));
  EXPECT_EQ(ReadLog("staff", "2026") + ReadLog("staff", "2027"),
            kDecember + "1,\"\"\r\n" + sick + kJanuary + "1,\"\"\r\n");
  EXPECT_TRUE(Flag("staff", "LeaveApproveEmail"));
  // One request, noted once.
  EXPECT_EQ(Text("staff", "LeaveApproveRequest1") + "|" + Text("staff", "LeaveApproveRequest2"),
            "2026-12-29,2027-01-05,holiday|");
}

}  // namespace
