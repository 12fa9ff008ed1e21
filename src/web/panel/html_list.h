#pragma once
// LHtmlList: the sortable HTML table of the reports. Rows are kept in order
// as they are added (sort column from the form field "iCol", direction from
// "bAsc"); column headers link back to the page with the column and the
// reversed direction, so a second click on a column reverses it.
//
//   LHtmlList list(form, "viewhours?seluser=a%40b", 0, true);
//   list.AddColumn("Name", 40, 0, true);
//   LHtmlListRow row;
//   row.AddCellPrintFWithOrder(minutes, "%d min", minutes);
//   list.AddRow(std::move(row));
//   list.Write(form, 100);

#include <string>
#include <string_view>
#include <vector>

#include "web/text/format_language.h"

class LWebletForm;

// Formats a format text that LCheckedFormat has already checked.
template <class... Args>
std::string LHtmlFormatChecked(const char* format, const Args&... args) {
  LStringWriter writer;
  const LFormatArg packed[] = {LFormatArg(args)..., LFormatArg()};
  tplformatv(writer, format, packed, sizeof...(Args));
  return writer.Take();
}

struct LHtmlListCell {
  static constexpr std::size_t kMaxHtml = 1023;
  static constexpr std::size_t kMaxKey = 255;
  std::string html;  // "&nbsp;" for an empty text
  std::string key;   // compared without regard to case
};

class LHtmlListRow {
 public:
  static constexpr std::size_t kMaxArguments = 259;

  // The row's link arguments ("seluser=%U&date=%s"), used by AddCellImageLink.
  template <class... Args>
  void SetArgumentsPrintF(
      LCheckedFormat<std::remove_cvref_t<std::type_identity_t<Args>>...> format,
      const Args&... args) {
    SetArguments(LHtmlFormatChecked(format.Text(), args...));
  }
  void SetArguments(std::string_view arguments);
  const std::string& Arguments() const { return arguments_; }

  // A cell whose key is its own HTML text.
  template <class... Args>
  void AddCellPrintF(LCheckedFormat<std::remove_cvref_t<std::type_identity_t<Args>>...> format,
                     const Args&... args) {
    const std::string html = LHtmlFormatChecked(format.Text(), args...);
    AddCell(html, html);
  }
  // A cell with an explicit sort key.
  template <class... Args>
  void AddCellPrintFWithOrder(
      std::string_view orderKey,
      LCheckedFormat<std::remove_cvref_t<std::type_identity_t<Args>>...> format,
      const Args&... args) {
    AddCell(LHtmlFormatChecked(format.Text(), args...), orderKey);
  }
  // A cell keyed by `orderNumber` right-aligned in ten characters, so that
  // non-negative numbers sort numerically ("         9" before "        10").
  template <class... Args>
  void AddCellPrintFWithOrder(
      int orderNumber, LCheckedFormat<std::remove_cvref_t<std::type_identity_t<Args>>...> format,
      const Args&... args) {
    AddCell(LHtmlFormatChecked(format.Text(), args...), LHtmlNumberKey(orderNumber));
  }
  // An image link to `url` with the row's arguments; url and arguments are
  // HTML-escaped, the pages URL-encode the values inside them.
  void AddCellImageLink(std::string_view url, std::string_view image, std::string_view title);
  void AddCell(std::string_view html, std::string_view key);

  void SetSortGroup(int group) { sortGroup_ = group; }
  int SortGroup() const { return sortGroup_; }
  const std::vector<LHtmlListCell>& Cells() const { return cells_; }

  static std::string LHtmlNumberKey(int number);

 private:
  std::string arguments_;
  std::vector<LHtmlListCell> cells_;
  int sortGroup_ = 0;
};

class LHtmlList {
 public:
  static constexpr int kAlignLeft = 0;
  static constexpr int kAlignRight = 2;
  static constexpr int kAlignCenter = 1;
  static constexpr int kAlignRawTitle = 3;  // title is raw HTML, never a sort link
  static constexpr char kEmptyText[] = "There are no items in this list";

  // `linkBase` empty: the user cannot re-sort. The sort column is the form
  // field "iCol" (absent or negative: `defaultColumn`), ascending when
  // "bAsc" is 1 (absent: `defaultAscending`).
  LHtmlList(LWebletForm& form, std::string_view linkBase, int defaultColumn,
            bool defaultAscending);

  // The title HTML-escaped / as it is / formatted.
  void AddColumn(std::string_view title, int width, int align, bool sortable);
  void AddColumnRawHTML(std::string_view title, int width, int align, bool sortable);
  template <class... Args>
  void AddColumnPrintF(LCheckedFormat<std::remove_cvref_t<std::type_identity_t<Args>>...> format,
                       int width, int align, bool sortable, const Args&... args) {
    AddColumnRawHTML(LHtmlFormatChecked(format.Text(), args...), width, align, sortable);
  }

  // Inserts before the first row that must follow it: lower sort groups
  // first; within a group by the sort column's key, ignoring case, in the
  // chosen direction; rows without a cell in the sort column first; equal
  // rows in the order they were added.
  void AddRow(LHtmlListRow row);

  void Write(LWebletForm& form, int widthPercent) const;
  void Write(LWebletForm& form, int widthPercent, int tableId) const;

  int SortColumn() const { return sortColumn_; }
  bool Ascending() const { return ascending_; }
  std::size_t RowCount() const { return rows_.size(); }
  const LHtmlListRow& Row(std::size_t index) const { return rows_[index]; }

 private:
  struct Column {
    std::string title;
    int width;
    int align;
    bool sortable;
  };
  bool MustFollow(const LHtmlListRow& existing, const LHtmlListRow& added) const;
  void WriteTable(LWebletForm& form, int widthPercent, const int* tableId) const;
  void WriteHeaderCell(LWebletForm& form, int index) const;

  std::string linkBase_;
  std::vector<Column> columns_;
  std::vector<LHtmlListRow> rows_;
  int sortColumn_;
  bool ascending_;
  bool sorted_ = true;
};
