// The settings the window remembers: a value comes back as it was stored, next to the
// others; on Linux a file that cannot be read or made gives the default and no failure
// the user would see.
#include "platform/settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/test_support.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

class SettingsTest : public ::testing::Test {
#ifndef _WIN32
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) old_ = old;
    setenv("XDG_CONFIG_HOME", tree_.Path("config").c_str(), 1);
  }
  void TearDown() override { setenv("XDG_CONFIG_HOME", old_.c_str(), 1); }

  TempTree tree_;
  std::string old_;
#endif
};

TEST_F(SettingsTest, ValuesComeBackAsStoredBesideEachOther) {
  EXPECT_EQ(ReadSetting("TestMissing", 7), 7);
  EXPECT_EQ(WriteSetting("TestFirst", 1), 0);
  EXPECT_EQ(WriteSetting("TestSecond", -5), 0);
  EXPECT_EQ(WriteSetting("TestFirst", 0), 0);
  EXPECT_EQ(ReadSetting("TestFirst", 9), 0);
  EXPECT_EQ(ReadSetting("TestSecond", 9), -5);
  EXPECT_EQ(ReadSetting("Test", 9), 9);  // a name is never the start of another
}

#ifndef _WIN32
TEST_F(SettingsTest, LinesOfOthersStayAndBrokenValuesReadAsMissing) {
  tree_.WriteFile("config/tessik/settings",
                  "# kept\nOther=3\nBroken=1x\nHuge=99999999999\nEmpty=\nDaitchMokotoff=1\n");
  EXPECT_EQ(ReadSetting("Broken", 4), 4);
  EXPECT_EQ(ReadSetting("Huge", 4), 4);
  EXPECT_EQ(ReadSetting("Empty", 4), 4);
  EXPECT_EQ(WriteSetting("DaitchMokotoff", 0), 0);
  EXPECT_EQ(ReadWholeFile(tree_.Path("config/tessik/settings")),
            "# kept\nOther=3\nBroken=1x\nHuge=99999999999\nEmpty=\nDaitchMokotoff=0\n");
}

TEST_F(SettingsTest, AStoreThatCannotBeMadeOrReadGivesTheDefault) {
  // A file where the folder should be: nothing can be stored, and nothing is read.
  tree_.WriteFile("config/tessik", "not a folder");
  EXPECT_EQ(WriteSetting("DaitchMokotoff", 1), -1);
  EXPECT_EQ(ReadSetting("DaitchMokotoff", 0), 0);
  // A settings file that is a folder, or a FIFO, is not read and does not hold the window.
  setenv("XDG_CONFIG_HOME", tree_.Path("other").c_str(), 1);
  tree_.MakeDirectory("other/tessik/settings");
  EXPECT_EQ(ReadSetting("DaitchMokotoff", 2), 2);
  setenv("XDG_CONFIG_HOME", tree_.Path("fifo").c_str(), 1);
  tree_.MakeDirectory("fifo/tessik");
  ASSERT_EQ(mkfifo(tree_.Path("fifo/tessik/settings").c_str(), 0600), 0);
  EXPECT_EQ(ReadSetting("DaitchMokotoff", 2), 2);
  // A relative folder is not used: the settings go under $HOME/.config instead.
  setenv("XDG_CONFIG_HOME", "relative", 1);
  const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
  setenv("HOME", tree_.Path("home").c_str(), 1);
  EXPECT_EQ(WriteSetting("DaitchMokotoff", 1), 0);
  setenv("HOME", home.c_str(), 1);
  EXPECT_EQ(ReadWholeFile(tree_.Path("home/.config/tessik/settings")), "DaitchMokotoff=1\n");
}
#endif

}  // namespace
