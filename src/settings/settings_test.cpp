#include "settings/settings.h"

#include <gtest/gtest.h>

#include "testing/harness.h"

namespace zel {
namespace {

using testing::Harness;

TEST(Settings, EveryValueWrittenIsByteExact) {
  Harness h;
  WriteSetting(h.files, "enfo00.dat", std::string_view("E"));
  EXPECT_EQ(h.Read("enfo00.dat"), std::string("\x22\x45\x22\x0D\x0A"));
  WriteSetting(h.files, "enfo00.dat", std::string_view("R"));
  EXPECT_EQ(h.Read("enfo00.dat"), std::string("\x22\x52\x22\x0D\x0A"));
  WriteSetting(h.files, "pnfo00.dat", std::string_view("Y"));
  EXPECT_EQ(h.Read("pnfo00.dat"), std::string("\x22\x59\x22\x0D\x0A"));
  WriteSetting(h.files, "pnfo00.dat", std::string_view("N"));
  EXPECT_EQ(h.Read("pnfo00.dat"), std::string("\x22\x4E\x22\x0D\x0A"));
  WriteSetting(h.files, "Sound.dat", 1);
  EXPECT_EQ(h.Read("Sound.dat"), std::string("\x31\x0D\x0A"));
  WriteSetting(h.files, "Sound.dat", 3);
  EXPECT_EQ(h.Read("Sound.dat"), std::string("\x33\x0D\x0A"));
  WriteSetting(h.files, "playea.ini", 12);
  EXPECT_EQ(h.Read("playea.ini"), std::string("\x31\x32\x0D\x0A"));
  // Nothing but the files themselves is left in the folder.
  EXPECT_EQ(h.ProgramList().find(".tmp"), std::string::npos) << h.ProgramList();
  EXPECT_EQ(h.files.openHandles(), 0);
}

TEST(Settings, WriteReplacesLongerContentAndCreatesMissingFiles) {
  Harness h;
  h.Write("enfo00.dat", "\"English, a long hand-edited line\"\r\nsecond line\r\n");
  WriteSetting(h.files, "enfo00.dat", std::string_view("R"));
  EXPECT_EQ(h.Read("enfo00.dat"), "\"R\"\r\n");
  ASSERT_FALSE(h.Exists("playeo.ini"));
  WriteSetting(h.files, "playeo.ini", 0);
  EXPECT_EQ(h.Read("playeo.ini"), std::string("\x30\x0D\x0A"));
}

TEST(Settings, ReadTakesTheFirstValue) {
  Harness h;
  h.Write("Sound.dat", "3\r\n1\r\n");
  EXPECT_EQ(ReadSetting(h.files, "Sound.dat").AsNumber(), 3);
  h.Write("enfo00.dat", "R\r\n");
  EXPECT_EQ(ReadSetting(h.files, "enfo00.dat").AsText(), "R");
  h.Write("enfo00.dat", "\r\n  \"r\"\r\n");
  EXPECT_EQ(ReadSetting(h.files, "enfo00.dat").AsText(), "r");
  EXPECT_EQ(h.files.openHandles(), 0);
}

TEST(Settings, MissingAndEmptyFilesFailWithThePlatformsErrors) {
  Harness h;
  try {
    ReadSetting(h.files, "enfo00.dat");
    FAIL() << "a missing file was read";
  } catch (const platform::Failure& failure) {
    EXPECT_EQ(failure.code, 2);  // ENOENT and ERROR_FILE_NOT_FOUND alike
    EXPECT_EQ(failure.subject, "enfo00.dat");
    EXPECT_FALSE(failure.description.empty());
  }
  EXPECT_FALSE(h.Exists("enfo00.dat"));  // reading creates nothing

  h.Write("enfo00.dat", "");
  const platform::Failure noValue = platform::NoValueFailure("enfo00.dat");
  try {
    ReadSetting(h.files, "enfo00.dat");
    FAIL() << "an empty file was taken as a value";
  } catch (const platform::Failure& failure) {
    EXPECT_EQ(failure.code, noValue.code);
    EXPECT_EQ(failure.description, noValue.description);
  }
  h.Write("enfo00.dat", " \r\n\r\n");
  EXPECT_THROW(ReadSetting(h.files, "enfo00.dat"), platform::Failure);
}

TEST(Settings, WriteIntoAMissingFolderFailsAndLeavesNothing) {
  Harness h;
  EXPECT_THROW(WriteSetting(h.files, "no-such-folder/enfo00.dat", std::string_view("R")),
               platform::Failure);
  EXPECT_EQ(h.ProgramList(), "");
  EXPECT_EQ(h.files.openHandles(), 0);
}

}  // namespace
}  // namespace zel
