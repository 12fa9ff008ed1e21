#pragma once
// The printf-like language in which pages are written:
//   "%d"   a signed int in decimal ("%.N" with one digit N: at least N digits,
//          zero-padded; N of 0 or 1 pads nothing)
//   "%s"   a string as it is          "%H"  a string HTML-encoded
//   "%U"   a string URI-encoded       (a null string pointer writes nothing)
//   "%" followed by any other byte writes that byte ("%%" writes "%"); a "%"
//   at the very end of the format ends the output. The precision is ignored
//   for the letters other than d. There are no widths and no other
//   conversions: callers format other values with the C library first.
//
// Because "%H" and "%U" are not printf conversions, the compiler's printf
// format checking cannot guard the C-style entry points (tplprintf,
// tplvprintf): an argument of the wrong type there is undefined behaviour.
// New code should prefer tplformat, which checks the format against its
// arguments at compile time and accepts std::string and std::string_view.

#include <cstdarg>
#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>

#include "web/text/format_writer.h"

// ---- scanning the format (shared by the run-time writer and the check) ----

enum class LFormatPieceKind { kEnd, kText, kInt, kString, kHtml, kUri };

struct LFormatPiece {
  LFormatPieceKind kind = LFormatPieceKind::kEnd;
  const char* text = nullptr;  // kText: the bytes to copy
  std::size_t length = 0;
  int precision = 0;  // kInt: the minimum number of digits
};

// The next piece of the format at `p`, advancing `p` behind it.
constexpr LFormatPiece LNextFormatPiece(const char*& p) {
  LFormatPiece piece;
  if (*p == '\0') return piece;
  if (*p != '%') {
    piece.kind = LFormatPieceKind::kText;
    piece.text = p;
    while (*p != '\0' && *p != '%') ++p;
    piece.length = static_cast<std::size_t>(p - piece.text);
    return piece;
  }
  ++p;
  if (*p == '.' && p[1] >= '0' && p[1] <= '9') {
    piece.precision = p[1] - '0';
    p += 2;
  }
  if (*p == '\0') return piece;
  switch (*p) {
    case 'd': piece.kind = LFormatPieceKind::kInt; break;
    case 's': piece.kind = LFormatPieceKind::kString; break;
    case 'H': piece.kind = LFormatPieceKind::kHtml; break;
    case 'U': piece.kind = LFormatPieceKind::kUri; break;
    default:
      piece.kind = LFormatPieceKind::kText;
      piece.text = p;
      piece.length = 1;
  }
  ++p;
  return piece;
}

// ---- C-style entry points ----

// Formats into `writer`; returns the number of bytes formatted (a writer with
// a fixed capacity may have kept fewer). A null format writes nothing.
std::size_t tplprintf(LFormatWriter& writer, const char* format, ...);
// The same with an argument list, for writers of other kinds (the socket).
std::size_t tplvprintf(LFormatWriter& writer, const char* format, va_list args);

// ---- checked entry point ----

template <class T>
concept LFormatIntArg = std::is_integral_v<T> &&
    std::numeric_limits<T>::min() >= std::numeric_limits<int>::min() &&
    std::numeric_limits<T>::max() <= std::numeric_limits<int>::max();

template <class T>
concept LFormatStringArg = std::is_convertible_v<const T&, const char*> ||
                           std::is_convertible_v<const T&, std::string_view>;

// One argument of tplformat: an int, or a string (null writes nothing).
class LFormatArg {
 public:
  constexpr LFormatArg() = default;
  template <LFormatIntArg T>
  constexpr LFormatArg(T value) : isInt_(true), int_(static_cast<int>(value)) {}
  LFormatArg(const char* text)
      : text_(text), length_(text != nullptr ? std::char_traits<char>::length(text) : 0) {}
  LFormatArg(std::string_view text) : text_(text.data()), length_(text.size()) {}
  LFormatArg(const std::string& text) : text_(text.data()), length_(text.size()) {}

  bool IsInt() const { return isInt_; }
  int Int() const { return int_; }
  const char* Text() const { return text_; }  // null for a null string
  std::size_t Length() const { return length_; }

 private:
  bool isInt_ = false;
  int int_ = 0;
  const char* text_ = nullptr;
  std::size_t length_ = 0;
};

// The run-time core of tplformat: arguments that are missing, or of the other
// kind than their conversion asks for, write nothing.
std::size_t tplformatv(LFormatWriter& writer, const char* format, const LFormatArg* args,
                       std::size_t count);

// Deliberately not constexpr: reaching one of these while checking a format
// at compile time stops the build with its name in the message.
inline void LFormatError_TooFewArguments() {}
inline void LFormatError_TooManyArguments() {}
inline void LFormatError_NeedsIntForD() {}
inline void LFormatError_NeedsStringForSHU() {}

template <class T>
constexpr bool LFormatIsIntKind() {
  static_assert(LFormatIntArg<T> || LFormatStringArg<T>,
                "tplformat takes ints (or smaller integers) and strings only");
  return LFormatIntArg<T>;
}

// A format text checked at compile time against the argument types.
template <class... Args>
class LCheckedFormat {
 public:
  template <class S>
    requires std::is_convertible_v<const S&, const char*>
  consteval LCheckedFormat(const S& format) : text_(format) {
    constexpr bool isInt[] = {LFormatIsIntKind<Args>()..., false};
    std::size_t used = 0;
    const char* p = text_;
    for (LFormatPiece piece = LNextFormatPiece(p); piece.kind != LFormatPieceKind::kEnd;
         piece = LNextFormatPiece(p)) {
      if (piece.kind == LFormatPieceKind::kText) continue;
      if (used == sizeof...(Args)) LFormatError_TooFewArguments();
      if (piece.kind == LFormatPieceKind::kInt && !isInt[used]) LFormatError_NeedsIntForD();
      if (piece.kind != LFormatPieceKind::kInt && isInt[used]) LFormatError_NeedsStringForSHU();
      ++used;
    }
    if (used != sizeof...(Args)) LFormatError_TooManyArguments();
  }
  const char* Text() const { return text_; }

 private:
  const char* text_;
};

// tplformat(writer, "<td>%H</td><td>%.2d</td>", name, minutes): the format is
// checked against the arguments when the program is compiled.
template <class... Args>
std::size_t tplformat(LFormatWriter& writer,
                      LCheckedFormat<std::remove_cvref_t<std::type_identity_t<Args>>...> format,
                      const Args&... args) {
  const LFormatArg packed[] = {LFormatArg(args)..., LFormatArg()};
  return tplformatv(writer, format.Text(), packed, sizeof...(Args));
}
