// The user's own given-name equivalents: the file given-names.txt of the settings folder
// (platform/settings.h), read afresh for each search that finds given names' equivalents,
// so that a line added takes effect at the next search. Window thread, or tessik-cli's.
#pragma once

#include <string>
#include <vector>

#include "phonetic/given_name_extras.h"

// Reads the file into *extras, which is emptied first (and stays empty when there is no
// file). Appends to *messages one text for each line of it that is left out
// ("PATH:LINE: REASON; the line is left out") and one when the file cannot be read.
void LoadUserGivenNames(GivenNameExtras* extras, std::vector<std::string>* messages);
