#include <gdk-pixbuf/gdk-pixbuf.h>

#include <string>
#include <vector>

#include "image_test_helpers.h"
#include "model/core_data.h"
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
  std::string Thumbnail() const { return KavrixReadFile(Screens() + "/_09-30-15.jpg"); }
  static bool Store(bool is_jpeg, const std::string& bytes, LDateTime time = kTaken) {
    return LKXCoreData::LogScreenShot("Ann@X", time, is_jpeg, bytes.data(), bytes.size());
  }
  KavrixScopedTimeZone zone_{"UTC"};
};

TEST_F(ScreenShotTest, JpegIsStoredAsSentWithItsThumbnail) {
  const std::string jpeg = MakeJpeg(320, 200);
  ASSERT_TRUE(TestDecodedJpeg(jpeg).ShowsQuarters());
  ASSERT_TRUE(Store(true, jpeg));
  EXPECT_EQ(Picture(), jpeg);
  const TestDecodedJpeg thumbnail(Thumbnail());
  EXPECT_TRUE(thumbnail.Width() == 100 && thumbnail.Height() == 80 && thumbnail.ShowsQuarters());
  // A second picture of the same second replaces the first; an unset time names no day.
  const std::string second = MakeJpeg(120, 90);
  ASSERT_TRUE(Store(true, second));
  EXPECT_TRUE(Picture() == second && TestDecodedJpeg(Thumbnail()).Width() == 100);
  EXPECT_FALSE(Store(true, second, LDateTime()) || KavrixFileExists(SharedFolder() + "/Archive/ann@x/_qascreens"));
}

// Bottom-up rows in blue-green-red order, padded to four bytes (odd widths
// pad): the stored JPEG must show the picture upright in its colours.
TEST_F(ScreenShotTest, BitmapIsStoredAsJpeg) {
  for (const auto& [width, height] : std::vector<std::pair<int, int>>{{64, 48}, {33, 24}, {34, 24}}) {
    const LDateTime time = kTaken + width;
    const std::string bmp = MakeBmp(width, height);
    ASSERT_TRUE(LKXCoreData::LogScreenShot("ann@x", time, false, bmp.data(), bmp.size()));
    const std::string name = Screens() + "/" + time.GetTimeHHHMMHSS() + ".jpg";
    const TestDecodedJpeg picture(KavrixReadFile(name));
    EXPECT_TRUE(picture.Width() == width && picture.Height() == height && picture.ShowsQuarters()) << width;
  }
}

// Bytes that are not a whole picture of the kind announced store nothing,
// not even the day's folder, and leave an earlier picture alone.
TEST_F(ScreenShotTest, CorruptOrTruncatedPicturesStoreNothing) {
  const std::string bmp = MakeBmp(64, 48);
  const std::string jpeg = MakeJpeg(64, 48);
  struct Case { bool is_jpeg; std::string bytes; };
  std::vector<Case> cases = {{false, ""}, {true, bmp},  // announced as the other kind
                             {false, "<svg xmlns='http://www.w3.org/2000/svg'/>"}};
  // Header fields that claim buffers far larger than the file: the pixel
  // offset, the info header size, a negative palette count.
  for (const auto& [at, value] : std::vector<std::pair<int, std::uint32_t>>{
           {10, static_cast<std::uint32_t>(bmp.size() + 1)}, {14, 0xffffffff}, {46, 0x80000000}}) {
    std::string bogus = bmp;
    for (int i = 0; i < 4; ++i) bogus[at + i] = static_cast<char>((value >> (8 * i)) & 0xff);
    cases.push_back({false, bogus});
  }
  for (std::size_t cut : {14u, 54u, static_cast<unsigned>(bmp.size() - 1)}) cases.push_back({false, bmp.substr(0, cut)});
  for (std::size_t cut : {2u, static_cast<unsigned>(jpeg.size() - 2)}) cases.push_back({true, jpeg.substr(0, cut)});
  for (const Case& c : cases) {
    EXPECT_FALSE(Store(c.is_jpeg, c.bytes) || KavrixFileExists(Screens())) << c.is_jpeg << " " << c.bytes.size();
  }
  const std::string good = MakeJpeg(64, 48);
  ASSERT_TRUE(Store(true, good));
  EXPECT_FALSE(Store(false, bmp.substr(0, 100)));
  EXPECT_EQ(Picture(), good);
}

// A run-length bitmap of one colour that ends at once decodes to a picture
// of any size from a few bytes; one above 8192 x 8192 pixels is refused
// before the decoder takes its pixel memory, a smaller one is stored.
TEST_F(ScreenShotTest, HugeClaimedSizeIsRefused) {
  auto rle = [](std::uint32_t width, std::uint32_t height) {
    std::string bmp = "BM";
    PutLe(bmp, 14 + 40 + 4 + 2, 4);
    PutLe(bmp, 0, 4);
    PutLe(bmp, 14 + 40 + 4, 4);  // one palette entry, then the pixels
    for (std::uint32_t field : {40u, width, height}) PutLe(bmp, field, 4);
    PutLe(bmp, 1, 2);  // planes
    PutLe(bmp, 8, 2);  // bits per pixel
    for (std::uint32_t field : {1u, 2u, 0u, 0u, 1u, 0u}) PutLe(bmp, field, 4);  // RLE8, ..., one colour
    return bmp + std::string("\x10\x20\x30\x00", 4) + std::string("\x00\x01", 2);  // end of bitmap
  };
  LKXScreenShotJpegs out;
  std::string error;
  EXPECT_TRUE(KXConvertScreenShot(false, rle(300, 200).data(), rle(300, 200).size(), out, error) &&
              TestDecodedJpeg(out.picture).Width() == 300) << error;
  for (const auto& [width, height] : std::vector<std::pair<std::uint32_t, std::uint32_t>>{
           {8193, 8192}, {8192, 8193}, {0x7fffffff, 2}}) {
    const std::string bmp = rle(width, height);
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
  LKXScreenShotJpegs out;
  std::string error;
  for (const char marker : {'\xc3', '\xc9'}) {
    std::string other = jpeg;
    other[frame + 1] = marker;
    EXPECT_FALSE(KXConvertScreenShot(true, other.data(), other.size(), out, error)) << int(marker);
    EXPECT_EQ(error, "JPEG coding not supported") << int(marker);
    other.insert(frame, "junk");  // stray bytes before the marker are skipped, as the decoder does
    EXPECT_FALSE(KXConvertScreenShot(true, other.data(), other.size(), out, error)) << int(marker);
    EXPECT_EQ(error, "JPEG coding not supported") << int(marker);
  }
  std::string conditioned = jpeg;  // an arithmetic conditioning table before the frame
  conditioned.insert(2, std::string("\xff\xcc\x00\x04\x00\x11", 6));
  EXPECT_FALSE(KXConvertScreenShot(true, conditioned.data(), conditioned.size(), out, error));
  const std::string commented = jpeg.substr(0, 2) + std::string("\xff\xfe\x00\x06\xff\xc9\xff\xc3", 8) + jpeg.substr(2);
  EXPECT_TRUE(KXConvertScreenShot(true, commented.data(), commented.size(), out, error)) << error;
  EXPECT_EQ(out.picture, commented);
}

}  // namespace
