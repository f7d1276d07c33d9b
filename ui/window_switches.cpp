// A switch that cannot be remembered still works for this run; the user is not troubled
// with a message about a settings file.
#include "ui/window_switches.h"

#include <string>

#include "platform/settings.h"
#include "platform/window.h"

namespace {

struct Switch {
  const char* Setting;  // nullptr: the program's own method, which is on when no other is
  const char* Text;
  int Command;
  bool On;
  const SoundMethod& (*Method)();  // nullptr: not a method
};

// In the menu's order, under About: the methods, one choice of three, then the reading, the
// given names, and records and documents.
Switch switches[] = {
    {nullptr, "&Soundex keys and spellings", kSoundexItem, true, &DefaultSoundMethod},
    {"DaitchMokotoff", "&Daitch-Mokotoff Soundex", kDaitchMokotoffItem, false, &DaitchMokotoffMethod},
    {"Scored", "S&cored names (learned from name pairs)", kScoredItem, false, &ScoredMethod},
    {"ReadUnicode", "Accented, Cyrillic and Greek &letters", kReadUnicodeItem, false, nullptr},
    {"GivenNames", "Given names with their &equivalents", kGivenNamesItem, false, nullptr},
    {"ReadRecords", "&GEDCOM records and documents", kReadRecordsItem, false, nullptr},
};

Switch& ReadUnicode() { return switches[3]; }
Switch& GivenNames() { return switches[4]; }
Switch& ReadRecords() { return switches[5]; }

// Puts the check marks of the methods where they belong: on the one method chosen, and on
// the program's own when no other is.
void ShowMethods() {
  bool other = false;
  for (Switch& item : switches) other = other || (item.Method != nullptr && item.Setting != nullptr && item.On);
  switches[0].On = !other;
  for (Switch& item : switches) {
    if (item.Method != nullptr) CheckSystemMenuItem(item.Command, item.On);
  }
}

// The title names each switch that is on, in brackets after the program's name, since an
// item of the menu is easy to miss; with none on (the program's own method is no switch) it
// is the program's own title.
void ShowSwitchesInTitle() {
  std::string title = kMainWindowTitle;
  for (const Switch& item : switches) {
    if (!item.On || item.Setting == nullptr) continue;
    title += " [";
    for (const char* c = item.Text; *c != '\0'; ++c) {
      if (*c != '&') title += *c;
    }
    title += ']';
  }
  SetMainWindowTitle(title.c_str());
}

}  // namespace

void AddSwitchItems() {
  bool chosen = false;
  for (Switch& item : switches) {
    if (item.Setting == nullptr) continue;
    // Of two methods remembered as chosen (a settings file written by hand), the first.
    item.On = ReadSetting(item.Setting, 0) == 1 && !(item.Method != nullptr && chosen);
    if (item.Method != nullptr && item.On) chosen = true;
  }
  switches[0].On = !chosen;
  bool anyOn = false;
  for (Switch& item : switches) {
    AddSystemMenuCheckItem(item.Text, item.Command, item.On);
    anyOn = anyOn || (item.Setting != nullptr && item.On);
  }
  if (anyOn) ShowSwitchesInTitle();
}

bool RunSwitchCommand(int command) {
  for (Switch& item : switches) {
    if (item.Command != command) continue;
    if (item.Method == nullptr) {  // a switch of its own
      item.On = !item.On;
      CheckSystemMenuItem(item.Command, item.On);
      WriteSetting(item.Setting, item.On ? 1 : 0);
      ShowSwitchesInTitle();
      return true;
    }
    // A method: choosing another one chooses it, choosing the one chosen goes back to the
    // program's own. Only the settings that change are written.
    const bool on = item.Setting != nullptr && !item.On;
    for (Switch& method : switches) {
      if (method.Method == nullptr || method.Setting == nullptr) continue;
      const bool want = on && &method == &item;
      if (method.On != want) {
        method.On = want;
        WriteSetting(method.Setting, want ? 1 : 0);
      }
    }
    ShowMethods();
    ShowSwitchesInTitle();
    return true;
  }
  return false;
}

const SoundMethod& ChosenMethod() {
  for (Switch& item : switches) {
    if (item.Method != nullptr && item.On) return item.Method();
  }
  return DefaultSoundMethod();
}

bool ChosenReadUnicode() { return ReadUnicode().On; }

bool ChosenGivenNames() { return GivenNames().On; }

bool ChosenReadRecords() { return ReadRecords().On; }
