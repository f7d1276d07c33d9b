// tessik-cli --explain: how one query word is normalised, varied and coded.
// Runs on the calling thread of tessik-cli.
#pragma once

#include "phonetic/phonetic_method.h"

// Prints the explanation of `word` on standard output and returns 0, or prints a short
// explanation of the error on standard error and returns 2 (usage error). The normalised
// line shows the whole normalised word (up to 255 characters); the spellings show it as
// the variant step uses it, cut to 62. For the Daitch-Mokotoff method, the normalised
// line is followed by the word's codes alone. With `readUnicode`, a word with accented,
// Cyrillic or Greek letters is folded to a-z first and the folded word is shown on a line
// of its own. Expects InitialisePhonetics to have run.
int RunExplain(const char* word, PhoneticMethod method, bool readUnicode);
