#include "web/text/format_language.h"

#include <cstring>

#include "web/text/html_encoder.h"
#include "web/text/uri_codec.h"

namespace {

// Counts what passes through, so that callers learn how much was formatted
// even when their writer keeps less.
class CountingWriter : public LFormatWriter {
 public:
  explicit CountingWriter(LFormatWriter& inner) : inner_(inner) {}
  using LFormatWriter::Write;
  void Write(const char* data, std::size_t length) override {
    count_ += length;
    inner_.Write(data, length);
  }
  std::size_t Count() const { return count_; }

 private:
  LFormatWriter& inner_;
  std::size_t count_ = 0;
};

void WriteInt(LFormatWriter& writer, int value, int precision) {
  char digits[12];
  int n = 0;
  // Unsigned arithmetic so that the most negative int has a magnitude too.
  unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) writer.Put('-');
  for (int i = n; i < precision; ++i) writer.Put('0');
  while (n > 0) writer.Put(digits[--n]);
}

void WriteString(LFormatWriter& writer, LFormatPieceKind kind, const char* text,
                 std::size_t length) {
  if (text == nullptr) return;
  const std::string_view view(text, length);
  if (kind == LFormatPieceKind::kHtml) {
    LHTMLEncodeToWriter(writer, view);
  } else if (kind == LFormatPieceKind::kUri) {
    LURIEncodeToWriterDirect(writer, view);
  } else {
    writer.Write(view);
  }
}

// Arguments from a C argument list: the format decides their types.
struct VaSource {
  va_list* args;
  bool NextInt(int& value) {
    value = va_arg(*args, int);
    return true;
  }
  bool NextString(const char*& text, std::size_t& length) {
    text = va_arg(*args, const char*);
    length = text != nullptr ? std::strlen(text) : 0;
    return true;
  }
};

// Arguments from an array: missing ones and ones of the wrong kind are
// skipped without writing anything.
struct ArraySource {
  const LFormatArg* args;
  std::size_t count;
  std::size_t next = 0;
  const LFormatArg* Take() { return next < count ? &args[next++] : nullptr; }
  bool NextInt(int& value) {
    const LFormatArg* arg = Take();
    if (arg == nullptr || !arg->IsInt()) return false;
    value = arg->Int();
    return true;
  }
  bool NextString(const char*& text, std::size_t& length) {
    const LFormatArg* arg = Take();
    if (arg == nullptr || arg->IsInt()) return false;
    text = arg->Text();
    length = arg->Length();
    return true;
  }
};

template <class Source>
std::size_t FormatWith(LFormatWriter& writer, const char* format, Source& source) {
  if (format == nullptr) return 0;
  CountingWriter out(writer);
  const char* p = format;
  for (LFormatPiece piece = LNextFormatPiece(p); piece.kind != LFormatPieceKind::kEnd;
       piece = LNextFormatPiece(p)) {
    if (piece.kind == LFormatPieceKind::kText) {
      out.Write(piece.text, piece.length);
    } else if (piece.kind == LFormatPieceKind::kInt) {
      int value = 0;
      if (source.NextInt(value)) WriteInt(out, value, piece.precision);
    } else {
      const char* text = nullptr;
      std::size_t length = 0;
      if (source.NextString(text, length)) WriteString(out, piece.kind, text, length);
    }
  }
  return out.Count();
}

}  // namespace

std::size_t tplvprintf(LFormatWriter& writer, const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  VaSource source{&copy};
  const std::size_t n = FormatWith(writer, format, source);
  va_end(copy);
  return n;
}

std::size_t tplprintf(LFormatWriter& writer, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::size_t n = tplvprintf(writer, format, args);
  va_end(args);
  return n;
}

std::size_t tplformatv(LFormatWriter& writer, const char* format, const LFormatArg* args,
                       std::size_t count) {
  ArraySource source{args, count};
  return FormatWith(writer, format, source);
}
