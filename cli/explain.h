// tessik-cli --explain: how one query word is heard, as a search hears it.
// Runs on the calling thread of tessik-cli.
#pragma once

#include "engine/sound_method.h"

// Prints what `method` makes of `word` on standard output and returns 0, or prints a short
// explanation of the error on standard error and returns 2 (usage error). With `other`
// (a method that scores words), prints instead why `other` matches `word` or not. With
// `readUnicode`, a word with accented, Cyrillic or Greek letters is folded to a-z first and
// the folded word is shown on a line of its own. With `givenNames`, the word's family of
// given names follows, one member a line (engine/given_name_term.h), with the user's own
// equivalents; a line of theirs that is left out is named on standard error. Expects
// InitialisePhonetics to have run.
int RunExplain(const char* word, const char* other, const SoundMethod& method, bool readUnicode,
               bool givenNames);
