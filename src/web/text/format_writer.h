#pragma once
// Writers are where formatted text goes: a growable string, an appender onto
// a caller's string, a fixed buffer that silently drops what does not fit,
// and (elsewhere) the socket of a web request. The encoders and the format
// language write to any of them through this one interface.

#include <cstddef>
#include <string>
#include <string_view>

class LFormatWriter {
 public:
  virtual ~LFormatWriter() = default;
  virtual void Write(const char* data, std::size_t length) = 0;

  void Write(std::string_view text) { Write(text.data(), text.size()); }
  void Put(char c) { Write(&c, 1); }
};

// A string of its own that grows as needed.
class LStringWriter : public LFormatWriter {
 public:
  explicit LStringWriter(std::size_t reserve = 0) { text_.reserve(reserve); }
  using LFormatWriter::Write;
  void Write(const char* data, std::size_t length) override { text_.append(data, length); }

  const std::string& Text() const { return text_; }
  std::string Take() { return std::move(text_); }
  void Clear() { text_.clear(); }

 private:
  std::string text_;
};

// Appends to a caller's string. With a limit, the string never grows beyond
// that many bytes: what does not fit is dropped silently, which is how the
// system keeps names and values within its 259-byte texts.
class LStringAppender : public LFormatWriter {
 public:
  explicit LStringAppender(std::string& out, std::size_t limit = std::string::npos)
      : out_(out), limit_(limit) {}
  using LFormatWriter::Write;
  void Write(const char* data, std::size_t length) override;

 private:
  std::string& out_;
  std::size_t limit_;
};

// Writes into a caller's char array of `size` bytes, keeping it
// NUL-terminated: at most size - 1 bytes are stored, the rest is dropped.
class LFixedBufferWriter : public LFormatWriter {
 public:
  LFixedBufferWriter(char* buffer, std::size_t size);
  using LFormatWriter::Write;
  void Write(const char* data, std::size_t length) override;

  std::size_t Length() const { return length_; }
  std::string_view View() const { return {buffer_, length_}; }

 private:
  char* buffer_;
  std::size_t size_;
  std::size_t length_ = 0;
};
