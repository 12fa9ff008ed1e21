// LHtmlList on a real server: ordering (groups, direction, numeric keys,
// stability), header links, the empty list and exact table bytes.

#include <gtest/gtest.h>

#include <string>

#include "support/web_server_fixture.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/panel/html_list.h"

namespace {

// Rows named by their first cell; "case" chooses the scenario.
void ListPage(LWebletForm& form) {
  WLSendRaw(form, "HTTP/1.0 200 OK\r\n\r\n");
  const std::string which = form.Params().GetParm("case");
  LHtmlList list(form, which == "nolink" ? "" : "rep?x=1", 0, true);
  list.AddColumn("Name <n>", 50, LHtmlList::kAlignLeft, true);
  list.AddColumn("Count", 30, LHtmlList::kAlignRight, true);
  list.AddColumnRawHTML("<input type=checkbox>", 20, LHtmlList::kAlignRawTitle, false);
  const auto add = [&list](const char* name, int count, int group) {
    LHtmlListRow row;
    row.AddCellPrintF("%H", name);
    row.AddCellPrintFWithOrder(count, "%d", count);
    row.SetSortGroup(group);
    list.AddRow(std::move(row));
  };
  if (which == "groups") {
    add("total", 0, 2);
    add("b", 2, 0);
    add("late", 1, 1);
    add("A", 10, 0);
    add("c", 9, 0);
  } else if (which == "stable") {
    add("same", 1, 0);
    add("Same", 2, 0);
    add("SAME", 3, 0);
    add("other", 4, 0);
  } else if (which == "nocell") {
    add("b", 1, 0);
    LHtmlListRow bare;
    list.AddRow(std::move(bare));
    add("a", 2, 0);
  }
  list.Write(form, 90);
  WLSendRaw(form, "\n");
  for (std::size_t i = 0; i < list.RowCount(); ++i) {
    const auto& cells = list.Row(i).Cells();
    wfformat(form, "%s;", cells.empty() ? "-" : cells[0].html);
  }
}

void CellsPage(LWebletForm& form) {
  WLSendRaw(form, "HTTP/1.0 200 OK\r\n\r\n");
  LHtmlList list(form, "", 0, true);
  list.AddColumn("A", 40, LHtmlList::kAlignCenter, true);
  list.AddColumn("B", 60, LHtmlList::kAlignLeft, true);
  LHtmlListRow row;
  row.SetArgumentsPrintF("seluser=%U&date=%s", form.Params().GetParm("user"), "2026-01-02");
  row.AddCellImageLink("userdetail", "edit.gif", "Edit \"user\"");
  row.AddCellPrintF("");
  list.AddRow(std::move(row));
  list.Write(form, 100, 7);
}

const LWebScriptEntry kTable[] = {
    {"list", ListPage, LWebAccess::kAnyone},
    {"cells", CellsPage, LWebAccess::kAnyone},
};

class HtmlListTest : public WebServerTest {
 protected:
  void SetUp() override {
    WebServerTest::SetUp();
    StartServer(kTable);
  }
  std::string Body(const std::string& target) {
    const std::string response = Exchange("GET /" + target + " HTTP/1.0\r\n\r\n");
    const std::size_t at = response.find("\r\n\r\n");
    return at == std::string::npos ? response : response.substr(at + 4);
  }
  // The row order line after the table.
  std::string Order(const std::string& target) {
    const std::string body = Body(target);
    return body.substr(body.find('\n') + 1);
  }
};

TEST_F(HtmlListTest, GroupsStayBelowWhateverTheDirection) {
  EXPECT_EQ(Order("list?case=groups"), "A;b;c;late;total;");
  EXPECT_EQ(Order("list?case=groups&iCol=0&bAsc=0"), "c;b;A;late;total;");
}

TEST_F(HtmlListTest, NumberKeysSortNumerically) {
  EXPECT_EQ(Order("list?case=groups&iCol=1&bAsc=1"), "b;c;A;late;total;");
  EXPECT_EQ(Order("list?case=groups&iCol=1&bAsc=0"), "A;c;b;late;total;");
  EXPECT_EQ(LHtmlListRow::LHtmlNumberKey(9), "         9");
  EXPECT_EQ(LHtmlListRow::LHtmlNumberKey(-12), "       -12");
}

TEST_F(HtmlListTest, EqualKeysKeepTheOrderOfAdding) {
  EXPECT_EQ(Order("list?case=stable"), "other;same;Same;SAME;");
  EXPECT_EQ(Order("list?case=stable&bAsc=0"), "same;Same;SAME;other;");
}

TEST_F(HtmlListTest, RowsWithoutTheSortCellComeFirst) {
  EXPECT_EQ(Order("list?case=nocell"), "-;a;b;");
  EXPECT_EQ(Order("list?case=nocell&bAsc=0"), "-;b;a;");
  // A sort column beyond every row's cells keeps the order of adding.
  EXPECT_EQ(Order("list?case=groups&iCol=9"), "b;A;c;late;total;");
}

TEST_F(HtmlListTest, HeaderLinksReverseTheCurrentColumn) {
  const std::string body = Body("list?case=stable");
  EXPECT_EQ(body.substr(0, body.find("</tr><tr bgcolor")),
            "<table align=center width=90% cellpadding=2 cellspacing=0 class=tblList><tr "
            "style=\"height: 25px\" class=trList>"
            "<td style=\"padding-bottom: 5px;\" width=50% align=left>&nbsp;<a "
            "href=\"rep?x=1&iCol=0&bAsc=0\" class=thList><b>Name &lt;n&gt;</b></a>&nbsp;</td>"
            "<td style=\"padding-bottom: 5px;\" width=30% align=right>&nbsp;<a "
            "href=\"rep?x=1&iCol=1&bAsc=1\" class=thList><b>Count</b></a>&nbsp;</td>"
            "<td width=20%><input type=checkbox></td>");
  // Sorted descending, the first click on the column sorts it ascending.
  EXPECT_NE(Body("list?case=stable&bAsc=0").find("iCol=0&bAsc=1\""), std::string::npos);
}

TEST_F(HtmlListTest, WithoutLinkBaseHeadersAreText) {
  const std::string body = Body("list?case=nolink");
  EXPECT_NE(body.find("<td width=50% align=left class=thList><b>&nbsp;Name &lt;n&gt;&nbsp;</b>"
                      "</td><td width=30% align=right class=thList><b>&nbsp;Count&nbsp;</b></td>"),
            std::string::npos);
  EXPECT_EQ(body.find("<a href"), std::string::npos);
}

TEST_F(HtmlListTest, EmptyListHasItsRow) {
  const std::string body = Body("list?case=none");
  EXPECT_NE(body.find("<td width=20%><input type=checkbox></td></tr><tr height=20><td colspan=3 "
                      "align=center class=tdList>There are no items in this list</td></tr>"
                      "</table>\n"),
            std::string::npos)
      << body;
}

TEST_F(HtmlListTest, RowsAlternateAndCellsAreExact) {
  const std::string body = Body("list?case=stable");
  EXPECT_NE(body.find("</tr><tr bgcolor=#f5fafa><td align=left valign=top class=tdList>other"
                      "</td><td align=right valign=top class=tdList>4</td></tr><tr "
                      "bgcolor=#ffffff><td align=left valign=top class=tdList>same</td>"),
            std::string::npos)
      << body;
}

// The URI encoder leaves quotes and angle brackets alone, so the link is
// HTML-escaped as a whole.
TEST_F(HtmlListTest, ImageLinkCarriesEscapedArguments) {
  const std::string body = Body("cells?user=a%22%3E%3Cb%40x");
  EXPECT_EQ(body,
            "<table align=center width=100% cellpadding=2 cellspacing=0 class=tblList id=7><tr "
            "style=\"height: 25px\" class=trList><td width=40% align=center class=thList>"
            "<b>&nbsp;A&nbsp;</b></td><td width=60% align=left class=thList><b>&nbsp;B&nbsp;"
            "</b></td></tr><tr bgcolor=#f5fafa><td align=center valign=top class=tdList><a "
            "href=\"userdetail?seluser=a&quot;&gt;&lt;b%40x&amp;date=2026-01-02\"><img "
            "src=\"edit.gif\" height=16 width=16 title=\"Edit &quot;user&quot;\" alt=\"Edit "
            "&quot;user&quot;\" border=0></a></td><td align=left valign=top "
            "class=tdList>&nbsp;</td></tr></table>");
}

}  // namespace
