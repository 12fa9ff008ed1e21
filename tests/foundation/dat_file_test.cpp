#include "foundation/dat_file.h"

#include "support/test_helpers.h"

class DatFileTest : public KavrixTempRoot {
 protected:
  std::string Path() const { return TempDir() + "/session-manual"; }
  std::string Get(std::string_view section, std::string_view key, std::string_view def = "") {
    std::string out;
    LDatFileGetValue(Path(), section, key, def, out);
    return out;
  }
};

// Sections and keys compare without regard to case.
TEST_F(DatFileTest, WritesBracketedSectionsWithABlankLineAfterEach) {
  EXPECT_TRUE(Get("s", "k", "dflt") == "dflt" && !KavrixFileExists(Path())) << "a missing file is empty";
  ASSERT_TRUE(LDatFileSetValue(Path(), "Default", "num_clients", "3") &&
              LDatFileSetValue(Path(), "Default", "3,Program", "kavrixserver") &&
              LDatFileSetValue(Path(), "Other", "a", "1") && LDatFileSetValue(Path(), "DEFAULT", "NUM_CLIENTS", "4"));
  EXPECT_EQ(KavrixReadFile(Path()),
            "[Default]\r\nnum_clients=4\r\n3,Program=kavrixserver\r\n\r\n[Other]\r\na=1\r\n\r\n");
  EXPECT_EQ(Get("default", "3,PROGRAM") + Get("Nowhere", "a", "dflt"), "kavrixserverdflt");
}

// Malformed, overlong, truncated and binary content reads without harm; a
// line is read up to 551 bytes and its cut-off tail is not a line of its own.
TEST_F(DatFileTest, ReadsTolerantly) {
  const std::string v259(259, 'v'), w259(259, 'w');
  ASSERT_TRUE(KavrixWriteFile(Path(), "orphan=before any section\n[Default]\nnoequals\n=emptykey\na=b=c\nbig=" +
                                          std::string(300, 'v') + "\nlong=" + std::string(560, 'w') +
                                          "=tail\n[other]\r\nx=1\r\n[DEFAULT]\r\nmerged=yes"));
  EXPECT_EQ(Get("Default", "orphan", "-") + Get("Default", "noequals", "-"), "--");
  EXPECT_EQ(Get("Default", "a") + " " + Get("Default", "merged") + " " + Get("OTHER", "X"), "b=c yes 1");
  EXPECT_EQ(Get("Default", "big") + Get("Default", "long"), v259 + w259);
}

// Nothing written can turn into another key or section on reading.
TEST_F(DatFileTest, UnsafeNamesAndValuesCannotAddKeysOrSections) {
  LDatFile file(Path());
  EXPECT_TRUE(file.SetLong("S", "n", -42) && file.GetLong("s", "N", 7) == -42);
  EXPECT_FALSE(file.SetValue("S", "[Evil", "1") || file.SetValue("S", "", "1"));
  EXPECT_TRUE(file.SetValue("S", "note", "a\r\n[Evil]\r\nx=1") && file.SetValue("T]x\r\n", "k", "v"));
  EXPECT_EQ(KavrixReadFile(Path()), "[S]\r\nn=-42\r\nnote=a\r\n\r\n[T]\r\nk=v\r\n\r\n");
}
