// LHtmlList on a real server: ordering (groups, direction, numeric keys,
// stability), header links, the empty list and exact table bytes.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/web_server_fixture.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"
#include "web/panel/html_list.h"

namespace {

struct ListRow {
  const char* name;
  int count;
  int group;
};

// The rows of each scenario, in the order added.
const std::map<std::string, std::vector<ListRow>> kScenarios = {
    {"groups", {{"total", 0, 2}, {"b", 2, 0}, {"late", 1, 1}, {"A", 10, 0}, {"c", 9, 0}}},
    {"stable", {{"same", 1, 0}, {"Same", 2, 0}, {"SAME", 3, 0}, {"other", 4, 0}}},
};

// Rows named by their first cell; "case" chooses the scenario.
void ListPage(LWebletForm& form) {
  WLSendRaw(form, "HTTP/1.0 200 OK\r\n\r\n");
  const std::string which = form.Params().GetParm("case");
  LHtmlList list(form, "rep?x=1", 0, true);
  list.AddColumn("Name <n>", 50, LHtmlList::kAlignLeft, true);
  list.AddColumn("Count", 30, LHtmlList::kAlignRight, true);
  list.AddColumnRawHTML("<input type=checkbox>", 20, LHtmlList::kAlignRawTitle, false);
  const auto scenario = kScenarios.find(which);
  const std::vector<ListRow> none;
  for (const ListRow& added : scenario == kScenarios.end() ? none : scenario->second) {
    LHtmlListRow row;
    row.AddCellPrintF("%H", added.name);
    row.AddCellPrintFWithOrder(added.count, "%d", added.count);
    row.SetSortGroup(added.group);
    list.AddRow(std::move(row));
  }
  list.Write(form, 90);
  WLSendRaw(form, "\n");
  for (std::size_t i = 0; i < list.RowCount(); ++i) {
    wfformat(form, "%s;", list.Row(i).Cells()[0].html);
  }
}

const LWebScriptEntry kTable[] = {
    {"list", ListPage, LWebAccess::kAnyone},
};

class HtmlListTest : public WebServerTest {
 protected:
  void SetUp() override {
    WebServerTest::SetUp();
    StartServer(kTable);
  }
  // The row order line after the table.
  std::string Order(const std::string& target) {
    const std::string body = BodyOf(Get(target));
    return body.substr(body.find('\n') + 1);
  }
};

// Groups stay below whatever the direction, numbers sort as numbers, and
// equal keys keep the order of adding.
TEST_F(HtmlListTest, RowOrder) {
  const std::pair<const char*, const char*> cases[] = {
      {"groups", "A;b;c;late;total;"},
      {"groups&iCol=0&bAsc=0", "c;b;A;late;total;"},
      {"groups&iCol=1&bAsc=1", "b;c;A;late;total;"},
      {"stable&bAsc=0", "same;Same;SAME;other;"},
  };
  for (const auto& [query, order] : cases) EXPECT_EQ(Order(std::string("list?case=") + query), order) << query;
}

// What a person sees and follows: column titles escaped, sortable ones as
// links that sort by their column (reversing the current one); the empty
// list says so; rows alternate their colour.
TEST_F(HtmlListTest, TitlesLinksAndCells) {
  const struct {
    const char* target;
    std::vector<std::string> parts;
    const char* absent;
  } cases[] = {
      {"list?case=stable",
       {"<a href=\"rep?x=1&iCol=0&bAsc=0\" class=thList><b>Name &lt;n&gt;</b></a>",
        "<a href=\"rep?x=1&iCol=1&bAsc=1\" class=thList><b>Count</b></a>", "<td width=20%><input type=checkbox></td>",
        "<tr bgcolor=#f5fafa><td align=left valign=top class=tdList>other</td><td align=right valign=top "
        "class=tdList>4</td></tr><tr bgcolor=#ffffff><td align=left valign=top class=tdList>same</td>"},
       "<script"},
      {"list?case=stable&bAsc=0", {"iCol=0&bAsc=1\""}, "iCol=0&bAsc=0\""},
      {"list?case=none", {"<td colspan=3 align=center class=tdList>There are no items in this list</td>"}, "<tr bgcolor"},
  };
  for (const auto& c : cases) {
    const std::string body = BodyOf(Get(c.target));
    for (const std::string& part : c.parts) EXPECT_NE(body.find(part), std::string::npos) << c.target << ": " << part;
    EXPECT_EQ(body.find(c.absent), std::string::npos) << c.target << ": " << c.absent;
  }
}

}  // namespace
