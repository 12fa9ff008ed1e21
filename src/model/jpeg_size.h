#pragma once
// The size of a stored JPEG picture, read from its frame header alone: the
// full-size viewer needs only the size, and a picture is not decoded (nor a
// damaged one handed to a decoder) to learn it.

#include <string>
#include <string_view>

// Width and height from the first start-of-frame marker of `bytes`. False
// for anything that is not a JPEG stream up to that marker (empty, cut
// short, another format).
bool KXJpegSizeOfBytes(std::string_view bytes, int& width, int& height);
// The same for the file at `path`, reading at most its first 256 KiB (the
// frame header of a screenshot follows its few tables at once).
bool KXJpegSizeOfFile(const std::string& path, int& width, int& height);
