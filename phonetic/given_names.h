// Given-name equivalents: the family of a query word, that is the nicknames and pet forms
// of a name and the names a nickname stands for, the abbreviations of records and the Latin
// forms of parish registers with their case endings, from the built-in table
// (phonetic/given_names_table.inc) and the user's own lines (phonetic/given_name_extras.h).
// Pure functions of their arguments: any thread.
#pragma once

#include <cstdint>

class GivenNameExtras;

// A member's word: 2 to 62 letters a-z and the terminator.
constexpr int kGivenWordSize = 64;
// The most members a family holds; the table's script checks that every family fits.
constexpr int kMaxFamilyMembers = 96;

// What a member of a family is to the query word.
enum class GivenNameKind : unsigned char {
  Name,          // an English name that the word is a form of, or a nickname of
  Nickname,      // a nickname or pet form of the word (or of the name it is a form of)
  Latin,         // a Latin form, in one of its cases
  Abbreviation,  // an abbreviation of records, matched as written
};

struct GivenNameMember {
  char Word[kGivenWordSize];
  GivenNameKind Kind;
  // Matched by its letters, in any case, not heard by the method: an abbreviation, which
  // would otherwise match every word with its key (Jno is heard as Jan, June and Jenny).
  bool AsWritten;
};

struct GivenNameFamily {
  std::uint32_t Count;
  GivenNameMember Members[kMaxFamilyMembers];
};

// The kind's name as --explain and --json write it: "name", "nickname", "latin",
// "abbreviation".
const char* GivenNameKindName(GivenNameKind kind);

// The family of `word` (letters A-Z a-z, `length` of them, in any case): for each name the
// word is or is a Latin form or abbreviation of, that name, its nicknames, Latin forms and
// abbreviations; for each name the word is a nickname of, that name, its Latin forms and its
// abbreviations (not its other nicknames: Al stands for a score of names). The word itself is
// not a member; a member is there once, heard when any of its links is heard. Members come
// in a fixed order (names by the alphabet, each with its links by the alphabet). `extras`
// (may be nullptr) adds the user's links. A member with fewer than three sounds in its key,
// or a Latin accusative, is matched as written (AsWritten), whatever its kind. Returns the
// number of members, 0 for a word that has no family (or that is not 2 to 62 letters).
// Expects InitialisePhonetics to have run.
int FindGivenNameFamily(const char* word, std::uint32_t length, const GivenNameExtras* extras,
                        GivenNameFamily* family);
