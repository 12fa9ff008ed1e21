#include "web/text/uri_codec.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char kReserved[] = "%:/?#[]@!$&'()*+,;=";
constexpr char kHexDigits[] = "0123456789ABCDEF";

// The quote, angle brackets and back quote are not URI delimiters but end an
// HTML attribute value or open a tag.
constexpr char kAttributeBreakers[] = "\"<>`";

bool CopiedAsIs(unsigned char c) {
  return c > 32 && c < 128 && std::strchr(kReserved, c) == nullptr;
}

bool CopiedAsIsInHref(unsigned char c) {
  return CopiedAsIs(c) && std::strchr(kAttributeBreakers, c) == nullptr;
}

template <bool (*Keep)(unsigned char)>
void PercentEncode(LFormatWriter& writer, std::string_view text) {
  std::size_t run = 0;  // start of the bytes not yet written
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (Keep(c)) continue;
    writer.Write(text.data() + run, i - run);
    const char escaped[3] = {'%', kHexDigits[c >> 4], kHexDigits[c & 15]};
    writer.Write(escaped, 3);
    run = i + 1;
  }
  writer.Write(text.data() + run, text.size() - run);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

bool IsStop(char c, const char* stopChars) {
  return c == '\0' || (stopChars != nullptr && std::strchr(stopChars, c) != nullptr);
}

}  // namespace

void LURIEncodeToWriterDirect(LFormatWriter& writer, std::string_view text) {
  PercentEncode<CopiedAsIs>(writer, text);
}

void LHrefValueToWriter(LFormatWriter& writer, std::string_view text) {
  PercentEncode<CopiedAsIsInHref>(writer, text);
}

std::size_t LURIDecodeToWriterDirect(LFormatWriter& writer, std::string_view text,
                                     const char* stopChars) {
  // The input ends at the first NUL as well, as the texts it reads are C
  // strings wherever they come from. The NUL is met on the way rather than
  // searched for first: a form loader calls this once per name and value on
  // the rest of a body, and a search to the end each time would make a long
  // body cost the square of its length.
  std::size_t i = 0;
  while (i < text.size() && !IsStop(text[i], stopChars)) {
    const char c = text[i];
    if (c == '+') {
      writer.Put(' ');
      ++i;
    } else if (c != '%') {
      writer.Put(c);
      ++i;
    } else if (text.size() - i < 3 || text[i + 1] == '\0' || text[i + 2] == '\0') {
      // Fewer than two characters follow: the decoding ends with the text.
      return std::min(text.size(), text.find('\0', i));
    } else {
      const char byte = static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      if (byte != '\0') writer.Put(byte);
      i += 3;
    }
  }
  return i;
}

std::string LURIEncode(std::string_view text) {
  LStringWriter out;
  LURIEncodeToWriterDirect(out, text);
  return out.Take();
}

std::string LURIDecode(std::string_view text) {
  LStringWriter out;
  LURIDecodeToWriterDirect(out, text, nullptr);
  return out.Take();
}

std::string LHrefValue(std::string_view text) {
  LStringWriter out;
  LHrefValueToWriter(out, text);
  return out.Take();
}
