// The sounds-like methods a search can use: the program's own (the Soundex keys of the word
// and of its spelling variants, the default) and Daitch-Mokotoff Soundex
// (phonetic/daitch_mokotoff.h). A constant: any thread.
#pragma once

enum class PhoneticMethod : unsigned char { Soundex, DaitchMokotoff };
