// The table is sorted by word, with an index sorted by name, so both ways of reading a link
// are binary searches; the user's links are few and read in a line.
#include "phonetic/given_names.h"

#include <cstring>

#include "phonetic/given_name_extras.h"
#include "phonetic/phonetic_key.h"

namespace {

enum GivenLinkKind : unsigned char { kGivenNickname, kGivenLatin, kGivenAbbreviation };

struct GivenNameLink {
  const char* Word;
  const char* Name;
  GivenLinkKind Kind;
};

#include "phonetic/given_names_table.inc"

constexpr std::uint32_t kLinkCount = sizeof kGivenNameLinks / sizeof kGivenNameLinks[0];
static_assert(sizeof kGivenNameLinksByName / sizeof kGivenNameLinksByName[0] == kLinkCount);

GivenNameKind KindOf(GivenLinkKind kind) {
  switch (kind) {
    case kGivenNickname:
      return GivenNameKind::Nickname;
    case kGivenLatin:
      return GivenNameKind::Latin;
    case kGivenAbbreviation:
      break;
  }
  return GivenNameKind::Abbreviation;
}

// The first link whose word (or, through the index, whose name) is not below `word`.
std::uint32_t FirstOfWord(const char* word) {
  std::uint32_t low = 0, high = kLinkCount;
  while (low < high) {
    const std::uint32_t mid = (low + high) / 2;
    if (std::strcmp(kGivenNameLinks[mid].Word, word) < 0)
      low = mid + 1;
    else
      high = mid;
  }
  return low;
}
std::uint32_t FirstOfName(const char* name) {
  std::uint32_t low = 0, high = kLinkCount;
  while (low < high) {
    const std::uint32_t mid = (low + high) / 2;
    if (std::strcmp(kGivenNameLinks[kGivenNameLinksByName[mid]].Name, name) < 0)
      low = mid + 1;
    else
      high = mid;
  }
  return low;
}

// A set of at most kMaxFamilyMembers names, kept in the alphabet's order.
struct NameSet {
  char Names[kMaxFamilyMembers][kGivenWordSize];
  int Count = 0;
  void Add(const char* name) {
    int at = 0;
    while (at < Count && std::strcmp(Names[at], name) < 0) ++at;
    if (at < Count && std::strcmp(Names[at], name) == 0) return;
    if (Count == kMaxFamilyMembers) return;
    std::memmove(Names[at + 1], Names[at], static_cast<std::size_t>(Count - at) * kGivenWordSize);
    std::strncpy(Names[at], name, kGivenWordSize - 1);
    Names[at][kGivenWordSize - 1] = 0;
    ++Count;
  }
};

class FamilyBuilder {
 public:
  FamilyBuilder(const char* word, GivenNameFamily* family) : word_(word), family_(family) {
    family_->Count = 0;
  }
  void Add(const char* member, GivenNameKind kind, bool asWritten) {
    if (std::strcmp(member, word_) == 0) return;
    for (std::uint32_t i = 0; i < family_->Count; ++i) {
      GivenNameMember& old = family_->Members[i];
      if (std::strcmp(old.Word, member) != 0) continue;
      // A word both heard and written is heard: hearing finds its letters too. A name is
      // shown as a name, whatever else it is.
      if ((old.AsWritten && !asWritten) || kind == GivenNameKind::Name) {
        old.AsWritten = false;
        old.Kind = kind;
      }
      return;
    }
    if (family_->Count == kMaxFamilyMembers) return;
    GivenNameMember& added = family_->Members[family_->Count++];
    std::strncpy(added.Word, member, kGivenWordSize - 1);
    added.Word[kGivenWordSize - 1] = 0;
    added.Kind = kind;
    added.AsWritten = asWritten;
  }

 private:
  const char* word_;
  GivenNameFamily* family_;
};

// Adds the links of `name`: all of them, or only its Latin forms and abbreviations.
void AddLinksOf(const char* name, bool withNicknames, const GivenNameExtras* extras,
                FamilyBuilder* builder) {
  builder->Add(name, GivenNameKind::Name, false);
  for (std::uint32_t i = FirstOfName(name); i < kLinkCount; ++i) {
    const GivenNameLink& link = kGivenNameLinks[kGivenNameLinksByName[i]];
    if (std::strcmp(link.Name, name) != 0) break;
    if (link.Kind == kGivenNickname && !withNicknames) continue;
    builder->Add(link.Word, KindOf(link.Kind), link.Kind == kGivenAbbreviation);
  }
  if (extras == nullptr) return;
  for (const GivenNameExtraLink& link : extras->Links()) {
    if (link.Name != name || (!link.AsWritten && !withNicknames)) continue;
    builder->Add(link.Word.c_str(),
                 link.AsWritten ? GivenNameKind::Abbreviation : GivenNameKind::Nickname,
                 link.AsWritten);
  }
}

}  // namespace

const char* GivenNameKindName(GivenNameKind kind) {
  switch (kind) {
    case GivenNameKind::Name:
      return "name";
    case GivenNameKind::Nickname:
      return "nickname";
    case GivenNameKind::Latin:
      return "latin";
    case GivenNameKind::Abbreviation:
      break;
  }
  return "abbreviation";
}

int FindGivenNameFamily(const char* letters, std::uint32_t length, const GivenNameExtras* extras,
                        GivenNameFamily* family) {
  family->Count = 0;
  if (length < 2 || length >= static_cast<std::uint32_t>(kGivenWordSize) - 1) return 0;
  char word[kGivenWordSize];
  for (std::uint32_t i = 0; i < length; ++i) {
    const char letter = static_cast<char>(letters[i] | 0x20);
    if (letter < 'a' || letter > 'z') return 0;
    word[i] = letter;
  }
  word[length] = 0;

  // The names the word is (its own forms and nicknames go with it), and the names it is a
  // nickname of (only their own forms go with them).
  static_assert(sizeof(NameSet) < 8 * 1024, "two sets live on the caller's stack");
  NameSet same, nicknameOf;
  const std::uint32_t ofName = FirstOfName(word);
  if (ofName < kLinkCount &&
      std::strcmp(kGivenNameLinks[kGivenNameLinksByName[ofName]].Name, word) == 0)
    same.Add(word);
  for (std::uint32_t i = FirstOfWord(word);
       i < kLinkCount && std::strcmp(kGivenNameLinks[i].Word, word) == 0; ++i) {
    (kGivenNameLinks[i].Kind == kGivenNickname ? nicknameOf : same).Add(kGivenNameLinks[i].Name);
  }
  if (extras != nullptr) {
    for (const GivenNameExtraLink& link : extras->Links()) {
      if (link.Name == word) same.Add(word);
      if (link.Word == word) (link.AsWritten ? same : nicknameOf).Add(link.Name.c_str());
    }
  }

  FamilyBuilder builder(word, family);
  for (int i = 0; i < same.Count; ++i) AddLinksOf(same.Names[i], true, extras, &builder);
  for (int i = 0; i < nicknameOf.Count; ++i)
    AddLinksOf(nicknameOf.Names[i], false, extras, &builder);
  // Two kinds of member would be heard in a crowd of other names, and are matched as
  // written, as an abbreviation is: one whose key holds fewer than three sounds (Jack,
  // Liz, Ben, Tom: a key such as j200 is also Jesse's, Josiah's, Joshua's; Ivan's 0150 is
  // every word that begins with a vowel and goes on with v and n), and a Latin accusative,
  // whose m is heard as a consonant of the name (Annam as Annan, Amman).
  for (std::uint32_t i = 0; i < family->Count; ++i) {
    GivenNameMember& member = family->Members[i];
    // The key as a search codes the word: normalised first (Jack as jak, j200).
    char normalised[kNormalisedWordSize];
    NormaliseQueryWord(member.Word, normalised);
    const PhoneticKey key = ComputePhoneticKey(normalised);
    int sounds = key.Bytes[0] != '0' ? 1 : 0;
    for (int k = 1; k < 4; ++k) sounds += key.Bytes[k] != '0' ? 1 : 0;
    const std::size_t length = std::strlen(member.Word);
    if (sounds < 3 || (member.Kind == GivenNameKind::Latin && member.Word[length - 1] == 'm'))
      member.AsWritten = true;
  }
  return static_cast<int>(family->Count);
}
