#include "foundation/dat_file.h"

#include <sys/stat.h>

#include "fork_helpers.h"
#include "support/temp_root.h"

namespace {

class DatFileTest : public KavrixTempRoot {
 protected:
  std::string Path() const { return TempDir() + "/session-manual"; }
  std::string Get(std::string_view section, std::string_view key, std::string_view def = "") {
    std::string out;
    LDatFileGetValue(Path(), section, key, def, out);
    return out;
  }
};

}  // namespace

TEST_F(DatFileTest, WritesBracketedSectionsWithABlankLineAfterEach) {
  EXPECT_TRUE(LDatFileSetValue(Path(), "Default", "num_clients", "3"));
  EXPECT_TRUE(LDatFileSetValue(Path(), "Default", "3,Program", "kavrixserver"));
  EXPECT_TRUE(LDatFileSetValue(Path(), "Other", "a", "1"));
  EXPECT_TRUE(LDatFileSetValue(Path(), "DEFAULT", "NUM_CLIENTS", "4"));
  EXPECT_EQ(KavrixReadFile(Path()),
            "[Default]\r\nnum_clients=4\r\n3,Program=kavrixserver\r\n\r\n"
            "[Other]\r\na=1\r\n\r\n");
  EXPECT_EQ(Get("default", "3,PROGRAM"), "kavrixserver");
  EXPECT_EQ(Get("Nowhere", "a", "dflt"), "dflt");
  std::string out;
  EXPECT_FALSE(LDatFileGetValue(Path(), "Other", "b", "x", out));
  EXPECT_EQ(out, "x");
}

TEST_F(DatFileTest, ReadsTolerantly) {
  const std::string long_value(300, 'v');
  const std::string long_line = "long=" + std::string(560, 'w') + "=tail";
  ASSERT_TRUE(KavrixWriteFile(Path(),
                              "orphan=before any section\n"
                              "[Default]\n"
                              "noequals\n"
                              "=emptykey\n"
                              "a=b=c\n"
                              "big=" + long_value + "\n" +
                              long_line + "\n"
                              "[other]\r\n"
                              "x=1\r\n"
                              "[DEFAULT]\r\n"
                              "merged=yes"));
  EXPECT_EQ(Get("Default", "orphan", "none"), "none");
  EXPECT_EQ(Get("Default", "noequals", "none"), "none");
  EXPECT_EQ(Get("Default", "a"), "b=c");
  EXPECT_EQ(Get("Default", "big"), std::string(259, 'v'));
  // A line is read up to 551 bytes: the cut-off tail is not a line of its own.
  EXPECT_EQ(Get("Default", "long"), std::string(259, 'w'));
  EXPECT_EQ(Get("Default", "merged"), "yes");
  EXPECT_EQ(Get("OTHER", "X"), "1");
  // A rewrite keeps the merged section once, under its first spelling.
  EXPECT_TRUE(LDatFileSetValue(Path(), "other", "x", "2"));
  EXPECT_EQ(KavrixReadFile(Path()),
            "[Default]\r\na=b=c\r\nbig=" + std::string(259, 'v') + "\r\nlong=" + std::string(259, 'w') +
                "\r\nmerged=yes\r\n\r\n[other]\r\nx=2\r\n\r\n");
}

TEST_F(DatFileTest, BinaryAndMissingFilesDoNoHarm) {
  EXPECT_EQ(Get("Default", "a", "dflt"), "dflt");
  EXPECT_FALSE(KavrixFileExists(Path()));
  ASSERT_TRUE(KavrixWriteFile(Path(), std::string("[\0x]\n\xff\0=\x01\n[", 11)));
  EXPECT_EQ(Get(std::string("\0x", 2), std::string("\xff\0", 2)), "\x01");
  EXPECT_TRUE(LDatFileSetValue(Path(), "s", "k", "v"));
  EXPECT_TRUE(LDatFileFlush(Path()));
}

TEST_F(DatFileTest, NullValueRemovesAKeyAndNullKeyAWholeSectionOnFlush) {
  LDatFile file(Path());
  ASSERT_TRUE(file.SetValue("A", "k1", "1"));
  ASSERT_TRUE(file.SetValue("A", "k2", "2"));
  ASSERT_TRUE(file.SetValue("B", "k", "3"));
  EXPECT_TRUE(file.SetValue("A", "K1", nullptr));
  EXPECT_EQ(KavrixReadFile(Path()), "[A]\r\nk2=2\r\n\r\n[B]\r\nk=3\r\n\r\n");

  EXPECT_TRUE(file.SetValue("a", nullptr, nullptr));
  EXPECT_FALSE(file.SetValue("a", nullptr, "value without key"));
  // Only noted: the file is unchanged until the next write or a flush.
  EXPECT_EQ(KavrixReadFile(Path()), "[A]\r\nk2=2\r\n\r\n[B]\r\nk=3\r\n\r\n");
  std::string out;
  EXPECT_FALSE(file.GetValue("A", "k2", "gone", out));
  EXPECT_TRUE(file.Flush());
  EXPECT_EQ(KavrixReadFile(Path()), "[B]\r\nk=3\r\n\r\n");
  struct stat before {};
  ASSERT_EQ(stat(Path().c_str(), &before), 0);
  EXPECT_TRUE(file.Flush());  // nothing left to write
  struct stat after {};
  ASSERT_EQ(stat(Path().c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
}

// Another process's write in between does not bring a removed section back.
TEST_F(DatFileTest, PendingSectionRemovalSurvivesAnotherProcessesWrite) {
  ASSERT_TRUE(LDatFileSetValue(Path(), "Gone", "k", "1"));
  ASSERT_TRUE(LDatFileSetValue(Path(), "Kept", "k", "1"));
  ASSERT_TRUE(LDatFileSetValue(Path(), "Gone", nullptr, nullptr));
  TestChild child([this] {
    LDatFileResetCache();
    return LDatFileSetValue(Path(), "Kept", "other", "2") ? 0 : 1;
  });
  ASSERT_EQ(child.Wait(), 0);
  EXPECT_EQ(Get("Kept", "other"), "2");
  EXPECT_EQ(Get("Gone", "k", "none"), "none");
  EXPECT_TRUE(LDatFileFlush(Path()));
  EXPECT_EQ(KavrixReadFile(Path()), "[Kept]\r\nk=1\r\nother=2\r\n\r\n");
}

TEST_F(DatFileTest, LongsAndUnsafeNames) {
  LDatFile file(Path());
  EXPECT_EQ(file.GetLong("S", "n", 7), 7);
  EXPECT_TRUE(file.SetLong("S", "n", -42));
  EXPECT_EQ(file.GetLong("s", "N", 7), -42);
  EXPECT_TRUE(file.SetValue("S", "empty", ""));
  EXPECT_EQ(file.GetLong("S", "empty", 7), 7);
  // Nothing written can turn into another key or section on reading.
  EXPECT_FALSE(file.SetValue("S", "[Evil", "1"));
  EXPECT_FALSE(file.SetValue("S", "", "1"));
  EXPECT_TRUE(file.SetValue("S", "note", "a\r\n[Evil]\r\nx=1"));
  EXPECT_TRUE(file.SetValue("T]x\r\n", "k", "v"));
  EXPECT_EQ(KavrixReadFile(Path()), "[S]\r\nn=-42\r\nempty=\r\nnote=a\r\n\r\n[T]\r\nk=v\r\n\r\n");
  EXPECT_EQ(file.GetPath(), Path());
}

TEST_F(DatFileTest, AnotherProcessesWriteIsSeen) {
  ASSERT_TRUE(LDatFileSetValue(Path(), "S", "k", "1"));
  EXPECT_EQ(Get("S", "k"), "1");
  TestChild child([this] { return LDatFileSetValue(Path(), "S", "k", "2") ? 0 : 1; });
  ASSERT_EQ(child.Wait(), 0);
  EXPECT_EQ(Get("S", "k"), "2");
}
