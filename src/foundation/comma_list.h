#pragma once
// Splits a comma-separated text into items. The work logs read their rows
// with it, and so do the "Manager" and "Team" lists stored in settings values,
// so the one item rule below decides what every stored list means. The row
// grammar as written and read is in doc/csv_logs.md.
//
// The item rule, applied by Next():
//   1. An exhausted text gives no item and sets the end flag.
//   2. The bytes up to the next "," or double quote are the item.
//   3. When a double quote comes first, the item is the quoted text instead:
//      up to the next lone double quote, each doubled quote standing for one.
//      Bytes after the closing quote up to the next "," are dropped. A quote
//      that is never closed runs to the end of the text.
//   4. The "," is passed, then every byte of value 0x20 or below, so an item
//      never begins with a space; spaces before a "," stay in the item.
// Items are cut to kLMaxText bytes. A text ending in "," has no empty last
// item, and an empty text has no items at all.

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

#include "foundation/text_limits.h"

template <typename Ch>
class LCommaSeparatedListIteratorTemplate {
  // Stored lists are byte text; the parameter keeps the name the rest of the
  // system uses for the iterator.
  static_assert(std::is_same_v<Ch, char>, "comma lists are byte text");

 public:
  using View = std::basic_string_view<Ch>;
  using String = std::basic_string<Ch>;

  // The iterator reads `text` in place: it must outlive the iterator.
  explicit LCommaSeparatedListIteratorTemplate(View text) : text_(text) {}
  explicit LCommaSeparatedListIteratorTemplate(String&&) = delete;

  // Fetches the next item; false (with an empty item) when none is left.
  bool Next() {
    item_.clear();
    if (pos_ >= text_.size()) {
      end_ = true;
      return false;
    }
    const std::size_t stop = text_.find_first_of(View(",\"", 2), pos_);
    if (stop == View::npos) {
      item_ = LCutText(text_.substr(pos_));
      pos_ = text_.size();
      return true;
    }
    if (text_[stop] == '"') {
      ReadQuoted(stop + 1);
    } else {
      item_ = LCutText(text_.substr(pos_, stop - pos_));
      pos_ = stop;
    }
    PassSeparator();
    return true;
  }

  const String& Item() const { return item_; }
  bool End() const { return end_; }

 private:
  static bool IsBlank(Ch c) { return static_cast<unsigned char>(c) <= 0x20; }

  // `from` is the first byte after the opening quote.
  void ReadQuoted(std::size_t from) {
    for (;;) {
      const std::size_t quote = text_.find('"', from);
      if (quote == View::npos) {
        item_.append(text_.substr(from));
        pos_ = text_.size();
        break;
      }
      item_.append(text_.substr(from, quote - from));
      if (quote + 1 < text_.size() && text_[quote + 1] == '"') {
        item_.push_back('"');
        from = quote + 2;
        continue;
      }
      pos_ = text_.find(',', quote + 1);
      if (pos_ == View::npos) pos_ = text_.size();
      break;
    }
    LCutTextInPlace(item_);
  }

  // pos_ is at a "," or at the end of the text.
  void PassSeparator() {
    if (pos_ >= text_.size()) return;
    ++pos_;
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
  }

  View text_;
  std::size_t pos_ = 0;
  String item_;
  bool end_ = false;
};

using LCommaSeparatedListIterator = LCommaSeparatedListIteratorTemplate<char>;
