#include "web/text/html_encoder.h"

namespace {

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

const char* EntityFor(char c) {
  switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '"': return "&quot;";
    default: return nullptr;
  }
}

void WriteLineBreakMarkup(LFormatWriter& writer, std::size_t count) {
  if (count == 1) {
    writer.Write("<br>");
    return;
  }
  for (std::size_t i = 2; i < count; ++i) writer.Write("<br>");
  writer.Write("<p>");
}

}  // namespace

void LHTMLEncodeToWriter(LFormatWriter& writer, std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    if (IsLineBreak(text[i])) {
      const char first = text[i];
      std::size_t count = 0;
      for (; i < text.size() && IsLineBreak(text[i]); ++i) count += text[i] == first ? 1 : 0;
      WriteLineBreakMarkup(writer, count);
      continue;
    }
    std::size_t plain = i;  // copy runs of ordinary bytes in one write
    while (plain < text.size() && !IsLineBreak(text[plain]) && EntityFor(text[plain]) == nullptr) {
      ++plain;
    }
    if (plain > i) {
      writer.Write(text.data() + i, plain - i);
      i = plain;
    } else {
      writer.Write(EntityFor(text[i]));
      ++i;
    }
  }
}

std::string LHTMLEncode(std::string_view text) {
  LStringWriter out;
  LHTMLEncodeToWriter(out, text);
  return out.Take();
}
