#include "phonetic/daitch_mokotoff.h"

#include <algorithm>
#include <cstddef>

namespace {

// ---------------------------------------------------------------------------------------
// The chart

// One way of coding a group: no digit ("not coded"), one digit or two.
struct Coding {
  std::uint8_t Count;
  char Digits[2];
};

// The codings of a group in one position: one, or two alternatives.
struct Choice {
  std::uint8_t Count;
  Coding Alternatives[2];
};

enum Position { kAtStart = 0, kBeforeVowel = 1, kElsewhere = 2 };

constexpr int kLongestGroup = 7;

struct Group {
  char Letters[kLongestGroup + 1];
  std::uint8_t Length;
  Choice Codings[3];  // indexed by Position
};

// A row of the chart as written: a coding is "-" for not coded, digits, or two such
// separated by '|'.
struct Row {
  const char* Letters;
  const char* AtStart;
  const char* BeforeVowel;
  const char* Elsewhere;
};

// clang-format off
constexpr Row kChart[] = {
    {"a", "0", "-", "-"},          {"ai", "0", "1", "-"},         {"aj", "0", "1", "-"},
    {"ay", "0", "1", "-"},         {"au", "0", "7", "-"},         {"b", "7", "7", "7"},
    {"c", "5|4", "5|4", "5|4"},    {"ch", "5|4", "5|4", "5|4"},   {"chs", "5", "54", "54"},
    {"ck", "5|45", "5|45", "5|45"},
    {"cs", "4", "4", "4"},         {"csz", "4", "4", "4"},        {"cz", "4", "4", "4"},
    {"czs", "4", "4", "4"},        {"d", "3", "3", "3"},          {"dt", "3", "3", "3"},
    {"drs", "4", "4", "4"},        {"drz", "4", "4", "4"},        {"ds", "4", "4", "4"},
    {"dsh", "4", "4", "4"},        {"dsz", "4", "4", "4"},        {"dz", "4", "4", "4"},
    {"dzh", "4", "4", "4"},        {"dzs", "4", "4", "4"},
    {"e", "0", "-", "-"},          {"ei", "0", "1", "-"},         {"ej", "0", "1", "-"},
    {"ey", "0", "1", "-"},         {"eu", "1", "1", "-"},         {"f", "7", "7", "7"},
    {"fb", "7", "7", "7"},         {"g", "5", "5", "5"},          {"h", "5", "5", "-"},
    {"i", "0", "-", "-"},          {"ia", "1", "-", "-"},         {"ie", "1", "-", "-"},
    {"io", "1", "-", "-"},         {"iu", "1", "-", "-"},         {"j", "1|4", "-|4", "-|4"},
    {"k", "5", "5", "5"},          {"kh", "5", "5", "5"},         {"ks", "5", "54", "54"},
    {"l", "8", "8", "8"},          {"m", "6", "6", "6"},          {"mn", "66", "66", "66"},
    {"n", "6", "6", "6"},          {"nm", "66", "66", "66"},
    {"o", "0", "-", "-"},          {"oi", "0", "1", "-"},         {"oj", "0", "1", "-"},
    {"oy", "0", "1", "-"},         {"p", "7", "7", "7"},          {"pf", "7", "7", "7"},
    {"ph", "7", "7", "7"},         {"q", "5", "5", "5"},          {"r", "9", "9", "9"},
    {"rs", "94|4", "94|4", "94|4"}, {"rz", "94|4", "94|4", "94|4"},
    {"s", "4", "4", "4"},          {"sc", "2", "4", "4"},         {"sch", "4", "4", "4"},
    {"schd", "2", "43", "43"},     {"scht", "2", "43", "43"},     {"schtch", "2", "4", "4"},
    {"schtsch", "2", "4", "4"},    {"schtsh", "2", "4", "4"},     {"sd", "2", "43", "43"},
    {"sh", "4", "4", "4"},         {"shch", "2", "4", "4"},       {"shd", "2", "43", "43"},
    {"sht", "2", "43", "43"},      {"shtch", "2", "4", "4"},      {"shtsh", "2", "4", "4"},
    {"st", "2", "43", "43"},       {"stch", "2", "4", "4"},       {"strs", "2", "4", "4"},
    {"strz", "2", "4", "4"},       {"stsch", "2", "4", "4"},      {"stsh", "2", "4", "4"},
    {"sz", "4", "4", "4"},         {"szcs", "2", "4", "4"},       {"szcz", "2", "4", "4"},
    {"szd", "2", "43", "43"},      {"szt", "2", "43", "43"},
    {"t", "3", "3", "3"},          {"tc", "4", "4", "4"},         {"tch", "4", "4", "4"},
    {"th", "3", "3", "3"},         {"trs", "4", "4", "4"},        {"trz", "4", "4", "4"},
    {"ts", "4", "4", "4"},         {"tsch", "4", "4", "4"},       {"tsh", "4", "4", "4"},
    {"tsz", "4", "4", "4"},        {"ttch", "4", "4", "4"},       {"ttsch", "4", "4", "4"},
    {"tts", "4", "4", "4"},        {"ttsz", "4", "4", "4"},       {"ttz", "4", "4", "4"},
    {"tz", "4", "4", "4"},         {"tzs", "4", "4", "4"},
    {"u", "0", "-", "-"},          {"ue", "0", "-", "-"},         {"ui", "0", "1", "-"},
    {"uj", "0", "1", "-"},         {"uy", "0", "1", "-"},         {"v", "7", "7", "7"},
    {"w", "7", "7", "7"},          {"x", "5", "54", "54"},        {"y", "1", "-", "-"},
    {"z", "4", "4", "4"},          {"zd", "2", "43", "43"},       {"zdz", "2", "4", "4"},
    {"zdzh", "2", "4", "4"},       {"zh", "4", "4", "4"},         {"zhd", "2", "43", "43"},
    {"zhdzh", "2", "4", "4"},      {"zs", "4", "4", "4"},         {"zsch", "4", "4", "4"},
    {"zsh", "4", "4", "4"},
};
// clang-format on

constexpr int kGroupCount = static_cast<int>(sizeof(kChart) / sizeof(kChart[0]));

constexpr Choice ParseChoice(const char* text) {
  Choice choice{};
  Coding* coding = &choice.Alternatives[0];
  choice.Count = 1;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '|') {
      coding = &choice.Alternatives[choice.Count++];
    } else if (*c != '-') {
      coding->Digits[coding->Count++] = *c;
    }
  }
  return choice;
}

// The groups by first letter, longest first, so that the first group that matches is the
// longest one.
struct GroupTable {
  Group Groups[kGroupCount];
  std::uint8_t FirstOfLetter[27];  // groups of letter L: [FirstOfLetter[L], FirstOfLetter[L + 1])
};

constexpr GroupTable BuildTable() {
  GroupTable table{};
  for (int i = 0; i < kGroupCount; ++i) {
    Group group{};
    const Row& row = kChart[i];
    while (row.Letters[group.Length] != '\0') {
      group.Letters[group.Length] = row.Letters[group.Length];
      ++group.Length;
    }
    group.Codings[kAtStart] = ParseChoice(row.AtStart);
    group.Codings[kBeforeVowel] = ParseChoice(row.BeforeVowel);
    group.Codings[kElsewhere] = ParseChoice(row.Elsewhere);
    // Insertion by (first letter, longer first).
    int j = i;
    while (j > 0 && (table.Groups[j - 1].Letters[0] > group.Letters[0] ||
                     (table.Groups[j - 1].Letters[0] == group.Letters[0] &&
                      table.Groups[j - 1].Length < group.Length))) {
      table.Groups[j] = table.Groups[j - 1];
      --j;
    }
    table.Groups[j] = group;
  }
  int next = 0;
  for (int letter = 0; letter <= 26; ++letter) {
    while (next < kGroupCount && table.Groups[next].Letters[0] - 'a' < letter) ++next;
    table.FirstOfLetter[letter] = static_cast<std::uint8_t>(next);
  }
  return table;
}

constexpr GroupTable kTable = BuildTable();

// Every letter starts at least one group, and the table's indices fit their type.
constexpr bool EveryLetterHasAGroup() {
  for (int letter = 0; letter < 26; ++letter) {
    if (kTable.FirstOfLetter[letter] == kTable.FirstOfLetter[letter + 1]) return false;
  }
  return true;
}
static_assert(EveryLetterHasAGroup());
// The look-up below relies on the last group of each letter being the letter alone.
constexpr bool EveryLetterEndsAlone() {
  for (int letter = 0; letter < 26; ++letter) {
    if (kTable.Groups[kTable.FirstOfLetter[letter + 1] - 1].Length != 1) return false;
  }
  return true;
}
static_assert(EveryLetterEndsAlone());
static_assert(kGroupCount < 256);

// The digits a word's first group can begin with, as bits 0 to 9, by the word's first letter:
// the file scanner's first and usually last test of a word.
struct FirstDigitTable {
  std::uint16_t OfLetter[26];
};

constexpr FirstDigitTable BuildFirstDigits() {
  FirstDigitTable table{};
  for (const Group& group : kTable.Groups) {
    const Choice& choice = group.Codings[kAtStart];
    for (int a = 0; a < choice.Count; ++a) {
      table.OfLetter[group.Letters[0] - 'a'] |=
          static_cast<std::uint16_t>(1u << (choice.Alternatives[a].Digits[0] - '0'));
    }
  }
  return table;
}

// Every group is coded at the start of a word, so its first digit is always there.
constexpr bool EveryGroupCodedAtStart() {
  for (const Group& group : kTable.Groups) {
    const Choice& choice = group.Codings[kAtStart];
    for (int a = 0; a < choice.Count; ++a) {
      if (choice.Alternatives[a].Count == 0) return false;
    }
  }
  return true;
}
static_assert(EveryGroupCodedAtStart());

constexpr FirstDigitTable kFirstDigits = BuildFirstDigits();

// ---------------------------------------------------------------------------------------
// Reading the word

// Setting bit 5 lower-cases A-Z and keeps a-z; no other byte lands on a-z. Returns the
// letter's index from 0 for a, or 26 or more for a byte that is not a letter.
inline unsigned LetterIndex(char c) {
  return static_cast<unsigned>(static_cast<unsigned char>(c) | 0x20u) - 'a';
}

// The word's letters, lower-cased, with every other byte skipped, seen through a window that
// always holds the longest group and the letter after it while the word has them.
class LetterWindow {
 public:
  LetterWindow(const char* letters, std::uint32_t length)
      : Next_(letters), End_(letters == nullptr ? letters : letters + length) {
    Fill();
  }

  bool Empty() const { return Count_ == 0; }
  int Count() const { return Count_; }
  char operator[](int i) const { return Letters_[i]; }

  void Advance(int n) {
    Count_ -= n;
    for (int i = 0; i < Count_; ++i) Letters_[i] = Letters_[i + n];
    Fill();
  }

 private:
  static constexpr int kWanted = kLongestGroup + 1;

  void Fill() {
    while (Count_ < kWanted && Next_ != End_) {
      const unsigned index = LetterIndex(*Next_++);
      if (index < 26u) Letters_[Count_++] = static_cast<char>('a' + index);
    }
  }

  const char* Next_;
  const char* End_;
  int Count_ = 0;
  char Letters_[kWanted];
};

// The chart's vowels: Y stands with them (its notes class A, E, I, O, U and Y together, and
// Y is coded only at the start, as they are), so H before Y is coded: Whyldman 758366.
inline bool IsVowel(char c) {
  return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u' || c == 'y';
}

// The longest group at the start of the window, which holds at least one letter.
const Group& GroupAt(const LetterWindow& window) {
  const int letter = window[0] - 'a';
  const int end = kTable.FirstOfLetter[letter + 1];
  int i = kTable.FirstOfLetter[letter];
  for (; i < end - 1; ++i) {  // the last group of a letter is the letter alone
    const Group& group = kTable.Groups[i];
    if (group.Length > window.Count()) continue;
    int k = 1;
    while (k < group.Length && group.Letters[k] == window[k]) ++k;
    if (k == group.Length) break;
  }
  return kTable.Groups[i];
}

// ---------------------------------------------------------------------------------------
// Coding

// One way of coding the word so far: its digits, and the last digit coded when no uncoded
// group has come since ('\0' otherwise, and once the code is full). Unused digits are zero
// bytes, so two branches are equal exactly when their bytes are.
struct Branch {
  char Digits[kDmCodeLength];
  std::uint8_t Count;
  char Last;
};
static_assert(sizeof(Branch) == 8);

inline bool SameBranch(const Branch& a, const Branch& b) { return std::memcmp(&a, &b, 8) == 0; }

inline bool Full(const Branch& branch) { return branch.Count == kDmCodeLength; }

inline void Extend(Branch& branch, const Coding& coding) {
  if (coding.Count == 0) {
    branch.Last = '\0';
    return;
  }
  for (int k = coding.Digits[0] == branch.Last ? 1 : 0; k < coding.Count; ++k) {
    if (!Full(branch)) branch.Digits[branch.Count++] = coding.Digits[k];
  }
  branch.Last = Full(branch) ? '\0' : coding.Digits[coding.Count - 1];
}

inline DmCode Padded(const Branch& branch) {
  DmCode code;
  for (int i = 0; i < kDmCodeLength; ++i)
    code.Digits[i] = i < branch.Count ? branch.Digits[i] : '0';
  return code;
}

// A branch is a distinct code so far plus, at most, the choice of whether its last digit may
// still merge, so there are never more than two open branches for each code the word has.
constexpr int kMaxBranches = 2 * kMaxDmCodes;

// Codes the word group by group, carrying every open branch at once. `sink` decides which
// branches are worth following (Wanted), takes each finished code (Finish, which returns
// true to stop at once) and is told nothing else.
template <typename Sink>
void CodeWord(const char* letters, std::uint32_t length, Sink& sink) {
  LetterWindow window(letters, length);
  if (window.Empty()) return;
  Branch sets[2][kMaxBranches];
  Branch* open = sets[0];
  Branch* next = sets[1];
  open[0] = Branch{};
  int openCount = 1;
  bool atStart = true;
  while (!window.Empty()) {
    const Group& group = GroupAt(window);
    Position position = kAtStart;
    if (!atStart) {
      const bool vowelNext = group.Length < window.Count() && IsVowel(window[group.Length]);
      position = vowelNext ? kBeforeVowel : kElsewhere;
    }
    const Choice& choice = group.Codings[position];
    int nextCount = 0;
    for (int b = 0; b < openCount; ++b) {
      for (int a = 0; a < choice.Count; ++a) {
        Branch branch = open[b];
        Extend(branch, choice.Alternatives[a]);
        if (Full(branch)) {
          if (sink.Finish(Padded(branch))) return;
          continue;
        }
        if (!sink.Wanted(branch)) continue;
        int i = 0;
        while (i < nextCount && !SameBranch(next[i], branch)) ++i;
        if (i == nextCount && nextCount < kMaxBranches) next[nextCount++] = branch;
      }
    }
    std::swap(open, next);
    openCount = nextCount;
    if (openCount == 0) return;
    window.Advance(group.Length);
    atStart = false;
  }
  for (int b = 0; b < openCount; ++b) {
    if (sink.Finish(Padded(open[b]))) return;
  }
}

inline bool CodeLess(const DmCode& a, const DmCode& b) {
  return std::memcmp(a.Digits, b.Digits, kDmCodeLength) < 0;
}

class CodeCollector {
 public:
  explicit CodeCollector(DmCode* codes) : Codes_(codes) {}

  bool Wanted(const Branch&) const { return true; }

  bool Finish(const DmCode& code) {
    for (int i = 0; i < Count_; ++i) {
      if (Codes_[i] == code) return false;
    }
    if (Count_ < kMaxDmCodes) Codes_[Count_++] = code;
    return false;
  }

  int Count() const { return Count_; }

 private:
  DmCode* Codes_;
  int Count_ = 0;
};

class CodeMatcher {
 public:
  CodeMatcher(const DmCode* wanted, int count) : Wanted_(wanted), Best_(count < 0 ? 0 : count) {}

  // Whether the branch's digits begin a wanted code that would beat the best match so far.
  bool Wanted(const Branch& branch) const {
    for (int i = 0; i < Best_; ++i) {
      if (std::memcmp(Wanted_[i].Digits, branch.Digits, branch.Count) == 0) return true;
    }
    return false;
  }

  bool Finish(const DmCode& code) {
    for (int i = 0; i < Best_; ++i) {
      if (Wanted_[i] == code) {
        Best_ = i;
        break;
      }
    }
    return Best_ == 0;
  }

  int Best() const { return Best_; }

 private:
  const DmCode* Wanted_;
  int Best_;
};

}  // namespace

int DaitchMokotoffCodes(const char* letters, std::uint32_t length, DmCode* codes) {
  CodeCollector collector(codes);
  CodeWord(letters, length, collector);
  std::sort(codes, codes + collector.Count(), CodeLess);
  return collector.Count();
}

namespace {

// The first digits of the wanted codes, as bits 0 to 9.
unsigned FirstDigitsOf(const DmCode* wanted, int count) {
  unsigned digits = 0;
  for (int i = 0; i < count; ++i) {
    const unsigned digit = static_cast<unsigned>(wanted[i].Digits[0] - '0');
    if (digit < 10u) digits |= 1u << digit;
  }
  return digits;
}

}  // namespace

int MatchDaitchMokotoff(const char* letters, std::uint32_t length, const DmCode* wanted,
                        int count) {
  if (count <= 0 || letters == nullptr) return -1;
  const char* end = letters + length;
  const char* first = letters;
  while (first != end && LetterIndex(*first) >= 26u) ++first;
  if (first == end) return -1;
  if ((kFirstDigits.OfLetter[LetterIndex(*first)] & FirstDigitsOf(wanted, count)) == 0) return -1;
  CodeMatcher matcher(wanted, count);
  CodeWord(letters, length, matcher);
  return matcher.Best() < count ? matcher.Best() : -1;
}

std::uint32_t DaitchMokotoffFirstLetters(const DmCode* wanted, int count) {
  const unsigned digits = FirstDigitsOf(wanted, count);
  std::uint32_t letters = 0;
  for (int letter = 0; letter < 26; ++letter) {
    if ((kFirstDigits.OfLetter[letter] & digits) != 0) letters |= 1u << letter;
  }
  return letters;
}
