// A switch that cannot be remembered still works for this run; the user is not troubled
// with a message about a settings file.
#include "ui/window_switches.h"

#include "platform/settings.h"
#include "platform/window.h"

namespace {

struct Switch {
  const char* Setting;
  const char* Text;
  int Command;
  bool On;
};

// In the menu's order, under About.
Switch switches[] = {
    {"DaitchMokotoff", "&Daitch-Mokotoff Soundex", kDaitchMokotoffItem, false},
    {"ReadUnicode", "Accented, Cyrillic and Greek &letters", kReadUnicodeItem, false},
    {"GivenNames", "Given names with their &equivalents", kGivenNamesItem, false},
};

Switch& DaitchMokotoff() { return switches[0]; }
Switch& ReadUnicode() { return switches[1]; }
Switch& GivenNames() { return switches[2]; }

}  // namespace

void AddSwitchItems() {
  for (Switch& item : switches) {
    item.On = ReadSetting(item.Setting, 0) == 1;
    AddSystemMenuCheckItem(item.Text, item.Command, item.On);
  }
}

bool RunSwitchCommand(int command) {
  for (Switch& item : switches) {
    if (item.Command != command) continue;
    item.On = !item.On;
    CheckSystemMenuItem(item.Command, item.On);
    WriteSetting(item.Setting, item.On ? 1 : 0);
    return true;
  }
  return false;
}

const SoundMethod& ChosenMethod() {
  return DaitchMokotoff().On ? DaitchMokotoffMethod() : DefaultSoundMethod();
}

bool ChosenReadUnicode() { return ReadUnicode().On; }

bool ChosenGivenNames() { return GivenNames().On; }
