// The switches of the window's menu beyond the program's first behaviour (the sounds-like
// method, one choice of three: the program's own, Daitch-Mokotoff or scored; text in today's
// encodings; given names' equivalents; GEDCOM records and documents), each off by default
// and remembered between runs. Window thread only.
#pragma once

#include "engine/sound_method.h"

// The main window's title while every switch is off.
constexpr const char* kMainWindowTitle = " Tessik";

// Reads what was remembered and adds the switches' items to the window's menu; the title
// names the switches that are on.
void AddSwitchItems();

// Carries out a command of the menu if it is a switch's: turns the switch over, shows it
// (its check mark, and the title) and remembers it. False for any other command.
bool RunSwitchCommand(int command);

// The method the next search uses, whether it reads today's encodings, and whether a given
// name finds its nicknames, abbreviations and Latin forms.
const SoundMethod& ChosenMethod();
bool ChosenReadUnicode();
bool ChosenGivenNames();
// Whether GEDCOM files and .docx, .odt and .epub documents are read as their text.
bool ChosenReadRecords();
