#include <gdk-pixbuf/gdk-pixbuf.h>

#include <string>
#include <vector>

#include "image_test_helpers.h"
#include "model/core_data.h"
#include "model/jpeg_size.h"
#include "model/screenshot_image.h"
#include "support/temp_root.h"
#include "support/time_zone.h"

namespace {

// 2010-01-04 09:30:15 UTC.
constexpr LDateTime kTaken(1262597415);

class ScreenShotTest : public KavrixTempRoot {
 protected:
  std::string Screens() const { return SharedFolder() + "/Archive/ann@x/2010-01-04_qascreens"; }
  std::string Picture() const { return KavrixReadFile(Screens() + "/09-30-15.jpg"); }
  // "width x height" of a JPEG file's bytes.
  static std::string Size(const std::string& jpeg) {
    int width = 0;
    int height = 0;
    return KXJpegSizeOfBytes(jpeg, width, height) ? std::to_string(width) + "x" + std::to_string(height) : "none";
  }
  static bool Store(bool is_jpeg, const std::string& bytes, LDateTime time = kTaken) {
    return LKXCoreData::LogScreenShot("Ann@X", time, is_jpeg, bytes.data(), bytes.size());
  }
  KavrixScopedTimeZone zone_{"UTC"};
};

}  // namespace

TEST_F(ScreenShotTest, JpegIsStoredAsSentWithItsThumbnail) {
  const std::string jpeg = MakeJpeg(320, 200);
  ASSERT_TRUE(Store(true, jpeg));
  EXPECT_EQ(Picture(), jpeg);
  EXPECT_EQ(Size(KavrixReadFile(Screens() + "/_09-30-15.jpg")), "100x80");
  // An unset time names no day.
  EXPECT_FALSE(Store(true, jpeg, LDateTime()) || KavrixFileExists(SharedFolder() + "/Archive/ann@x/_qascreens"));
}

TEST_F(ScreenShotTest, BitmapIsStoredAsJpeg) {
  const std::string bmp = MakeBmp(33, 24);  // rows padded to four bytes
  ASSERT_TRUE(Store(false, bmp));
  EXPECT_EQ(Size(Picture()), "33x24");
}

// Bytes that are not a whole picture of the kind announced store nothing,
// not even the day's folder, and leave an earlier picture alone.
TEST_F(ScreenShotTest, CorruptOrTruncatedPicturesStoreNothing) {
  const std::string bmp = MakeBmp(64, 48);
  const std::string jpeg = MakeJpeg(64, 48);
  std::string overclaimed = bmp;  // an info header size far beyond the file
  overclaimed.replace(14, 4, "\xff\xff\xff\xff");
  const std::pair<bool, std::string> cases[] = {
      {false, ""}, {true, bmp}, {false, "<svg xmlns='http://www.w3.org/2000/svg'/>"}, {false, overclaimed},
      {false, bmp.substr(0, bmp.size() - 1)}, {true, jpeg.substr(0, jpeg.size() - 2)},
  };
  for (const auto& [is_jpeg, bytes] : cases) {
    EXPECT_FALSE(Store(is_jpeg, bytes) || KavrixFileExists(Screens())) << is_jpeg << " " << bytes.size();
  }
  ASSERT_TRUE(Store(true, jpeg));
  EXPECT_FALSE(Store(false, bmp.substr(0, 100)));
  EXPECT_EQ(Picture(), jpeg);
}

// A bitmap whose header claims more than 8192 x 8192 pixels is refused
// before the decoder takes its pixel memory (run-length bitmaps reach any
// size from a few bytes).
TEST_F(ScreenShotTest, HugeClaimedSizeIsRefused) {
  LKXScreenShotJpegs out;
  std::string error;
  for (const auto& [width, height] : std::vector<std::pair<std::uint32_t, std::uint32_t>>{
           {8193, 8192}, {65536, 65536}}) {  // the second overflows 32 bits
    std::string size;
    PutLe(size, width, 4);
    PutLe(size, height, 4);
    const std::string bmp = MakeBmp(4, 4).replace(18, 8, size);
    EXPECT_FALSE(KXConvertScreenShot(false, bmp.data(), bmp.size(), out, error)) << width << "x" << height;
    EXPECT_EQ(error, "picture too large") << width << "x" << height;
  }
}

// Only Huffman-coded JPEGs reach the decoder: its arithmetic decoder spins
// for good on some damaged pictures. The frame marker is found the way the
// decoder finds it, past stray bytes and whatever a comment holds.
TEST(ScreenShotCodingTest, OnlyHuffmanCodedJpegsAreDecoded) {
  const std::string jpeg = MakeJpeg(32, 24);
  const std::size_t frame = jpeg.find("\xff\xc0");
  ASSERT_NE(frame, std::string::npos);
  std::string arithmetic = jpeg;
  arithmetic[frame + 1] = '\xc9';
  arithmetic.insert(frame, "junk");  // stray bytes before the marker are skipped, as the decoder does
  LKXScreenShotJpegs out;
  std::string error;
  EXPECT_FALSE(KXConvertScreenShot(true, arithmetic.data(), arithmetic.size(), out, error));
  EXPECT_EQ(error, "JPEG coding not supported");
  const std::string commented = jpeg.substr(0, 2) + std::string("\xff\xfe\x00\x06\xff\xc9\xff\xc3", 8) + jpeg.substr(2);
  EXPECT_TRUE(KXConvertScreenShot(true, commented.data(), commented.size(), out, error)) << error;
  EXPECT_EQ(out.picture, commented);
}
