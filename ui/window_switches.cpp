// A switch that cannot be remembered still works for this run; the user is not troubled
// with a message about a settings file.
#include "ui/window_switches.h"

#include "platform/settings.h"
#include "platform/window.h"

namespace {

constexpr const char* kDaitchMokotoffSetting = "DaitchMokotoff";

bool daitchMokotoff = false;

}  // namespace

void AddSwitchItems() {
  daitchMokotoff = ReadSetting(kDaitchMokotoffSetting, 0) == 1;
  AddSystemMenuCheckItem("&Daitch-Mokotoff Soundex", kDaitchMokotoffItem, daitchMokotoff);
}

bool RunSwitchCommand(int command) {
  if (command != kDaitchMokotoffItem) return false;
  daitchMokotoff = !daitchMokotoff;
  CheckSystemMenuItem(kDaitchMokotoffItem, daitchMokotoff);
  WriteSetting(kDaitchMokotoffSetting, daitchMokotoff ? 1 : 0);
  return true;
}

PhoneticMethod ChosenMethod() {
  return daitchMokotoff ? PhoneticMethod::DaitchMokotoff : PhoneticMethod::Soundex;
}
