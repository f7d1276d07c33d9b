#include "ui/about.h"

#include "platform/window.h"
#include "texts/version.h"

void ShowAbout() {
  ShowMessageBox(" About Tessik",
                 " Tessik  version " TESSIK_VERSION " \n"
                 " Finds the words that sound like the word you type. \n\n"
                 " Copyright (C) the Tessik authors. All rights reserved. ",
                 MessageIcon::Information);
}
