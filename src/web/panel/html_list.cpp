#include "web/panel/html_list.h"

#include <algorithm>
#include <cstdio>

#include "foundation/text_limits.h"
#include "web/http/weblet_form.h"
#include "web/http/weblet_send.h"

namespace {

constexpr std::size_t kSendPiece = 64 * 1024;

const char* AlignWord(int align) {
  if (align == LHtmlList::kAlignLeft) return "left";
  if (align == LHtmlList::kAlignRight) return "right";
  return "center";
}

unsigned char Lower(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

// Byte-wise comparison with ASCII letters folded, like strcasecmp.
int CompareNoCase(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char x = Lower(a[i]);
    const unsigned char y = Lower(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace

// ---- rows ----

void LHtmlListRow::SetArguments(std::string_view arguments) {
  arguments_ = LCutText(arguments, kMaxArguments);
}

void LHtmlListRow::AddCell(std::string_view html, std::string_view key) {
  LHtmlListCell cell;
  cell.html = html.empty() ? std::string("&nbsp;") : LCutText(html, LHtmlListCell::kMaxHtml);
  cell.key = LCutText(key, LHtmlListCell::kMaxKey);
  cells_.push_back(std::move(cell));
}

void LHtmlListRow::AddCellImageLink(std::string_view url, std::string_view image,
                                    std::string_view title) {
  const std::string html = LHtmlFormatChecked(
      "<a href=\"%H%s%H\"><img src=\"%H\" height=16 width=16 title=\"%H\" alt=\"%H\" "
      "border=0></a>",
      url, arguments_.empty() ? "" : "?", arguments_, image, title, title);
  AddCell(html, html);
}

std::string LHtmlListRow::LHtmlNumberKey(int number) {
  char key[16];
  std::snprintf(key, sizeof key, "%10d", number);
  return key;
}

// ---- the list ----

LHtmlList::LHtmlList(LWebletForm& form, std::string_view linkBase, int defaultColumn,
                     bool defaultAscending)
    : linkBase_(LCutText(linkBase)) {
  const LHashTable& params = form.Params();
  const int column = params.GetInt("iCol", -1);
  sortColumn_ = column < 0 ? defaultColumn : column;
  ascending_ = params.TestExists("bAsc") ? params.GetInt("bAsc", 0) == 1 : defaultAscending;
}

void LHtmlList::AddColumn(std::string_view title, int width, int align, bool sortable) {
  AddColumnRawHTML(LHtmlFormatChecked("%H", title), width, align, sortable);
}

void LHtmlList::AddColumnRawHTML(std::string_view title, int width, int align, bool sortable) {
  columns_.push_back(Column{LCutText(title), width, align, sortable});
}

bool LHtmlList::MustFollow(const LHtmlListRow& existing, const LHtmlListRow& added) const {
  if (existing.SortGroup() != added.SortGroup()) return existing.SortGroup() > added.SortGroup();
  const auto column = static_cast<std::size_t>(sortColumn_);
  const bool existingHas = sortColumn_ >= 0 && column < existing.Cells().size();
  const bool addedHas = sortColumn_ >= 0 && column < added.Cells().size();
  // Rows without a sort cell go first; among themselves they keep their order.
  if (!addedHas) return existingHas;
  if (!existingHas) return false;
  const int order = CompareNoCase(existing.Cells()[column].key, added.Cells()[column].key);
  return ascending_ ? order > 0 : order < 0;
}

void LHtmlList::AddRow(LHtmlListRow row) {
  auto at = rows_.end();
  if (sorted_) {
    // The rows are in order, so those that must follow the new one are a
    // tail of the list; finding where it starts by halving keeps a time
    // sheet of tens of thousands of periods from comparing every pair.
    at = std::partition_point(rows_.begin(), rows_.end(),
                              [&](const LHtmlListRow& existing) { return !MustFollow(existing, row); });
  }
  rows_.insert(at, std::move(row));
}

void LHtmlList::WriteHeaderCell(LWebletForm& form, int index) const {
  const Column& column = columns_[static_cast<std::size_t>(index)];
  if (column.align == kAlignRawTitle) {
    wfformat(form, "<td width=%d%%>%s</td>", column.width, column.title);
    return;
  }
  if (linkBase_.empty() || !column.sortable) {
    wfformat(form, "<td width=%d%% align=%s class=thList><b>&nbsp;%s&nbsp;</b></td>",
             column.width, AlignWord(column.align), column.title);
    return;
  }
  const bool reverses = index == sortColumn_ && ascending_;
  wfformat(form,
           "<td style=\"padding-bottom: 5px;\" width=%d%% align=%s>&nbsp;<a "
           "href=\"%H%siCol=%d&bAsc=%d\" class=thList><b>%s</b></a>&nbsp;</td>",
           column.width, AlignWord(column.align), linkBase_,
           linkBase_.find('?') == std::string::npos ? "?" : "&", index, reverses ? 0 : 1,
           column.title);
}

void LHtmlList::WriteTable(LWebletForm& form, int widthPercent, const int* tableId) const {
  if (tableId != nullptr) {
    wfformat(form,
             "<table align=center width=%d%% cellpadding=2 cellspacing=0 class=tblList id=%d>"
             "<tr style=\"height: 25px\" class=trList>",
             widthPercent, *tableId);
  } else {
    wfformat(form,
             "<table align=center width=%d%% cellpadding=2 cellspacing=0 class=tblList><tr "
             "style=\"height: 25px\" class=trList>",
             widthPercent);
  }
  for (std::size_t i = 0; i < columns_.size(); ++i) WriteHeaderCell(form, static_cast<int>(i));
  if (rows_.empty()) {
    wfformat(form,
             "</tr><tr height=20><td colspan=%d align=center class=tdList>%s</td>",
             static_cast<int>(columns_.size()), kEmptyText);
  }
  // Rows go out in pieces of about kSendPiece bytes rather than one send
  // per cell: a long report has tens of thousands of cells.
  LStringWriter piece(kSendPiece + LHtmlListCell::kMaxHtml * 2);
  for (std::size_t r = 0; r < rows_.size(); ++r) {
    piece.Write(r % 2 == 0 ? "</tr><tr bgcolor=#f5fafa>" : "</tr><tr bgcolor=#ffffff>");
    const std::vector<LHtmlListCell>& cells = rows_[r].Cells();
    for (std::size_t c = 0; c < cells.size(); ++c) {
      const int align = c < columns_.size() ? columns_[c].align : kAlignLeft;
      tplformat(piece, "<td align=%s valign=top class=tdList>%s</td>", AlignWord(align), cells[c].html);
    }
    if (piece.Text().size() >= kSendPiece) {
      if (WLSendRaw(form, piece.Text()) != kLProcessDone) return;  // the browser is gone
      piece.Clear();
    }
  }
  piece.Write("</tr></table>");
  WLSendRaw(form, piece.Text());
}

void LHtmlList::Write(LWebletForm& form, int widthPercent) const {
  WriteTable(form, widthPercent, nullptr);
}

void LHtmlList::Write(LWebletForm& form, int widthPercent, int tableId) const {
  WriteTable(form, widthPercent, &tableId);
}
