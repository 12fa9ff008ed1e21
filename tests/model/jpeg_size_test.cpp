#include "model/jpeg_size.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "image_test_helpers.h"

// The size comes from the frame header; anything cut short before it, or not
// a JPEG stream at all, has no size.
TEST(JpegSize, FrameHeaderGivesTheSizeAndDamageGivesNone) {
  const std::string jpeg = MakeJpeg(1280, 1024);
  int width = 0;
  int height = 0;
  ASSERT_TRUE(KXJpegSizeOfBytes(jpeg, width, height));
  EXPECT_EQ(std::pair(width, height), std::pair(1280, 1024));
  const std::string broken[] = {MakeBmp(4, 4), std::string("\xFF\xD8\xFF\xC0\x00\x11\x08\x00", 8)};
  for (const std::string& bytes : broken) EXPECT_FALSE(KXJpegSizeOfBytes(bytes, width, height)) << bytes.size();
  EXPECT_FALSE(KXJpegSizeOfFile("/nonexistent/x.jpg", width, height));
}
