// The word reading of the file scanner with every instruction set the processor has,
// against a plain reading one byte at a time: where words start, how many line feeds a
// stretch holds, and whole texts cut into reads at any place, with holes.
#include "engine/chunk_scanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/given_name_term.h"
#include "engine/sound_method.h"
#include "engine/word_key.h"
#include "engine/word_starts.h"
#include "phonetic/given_names.h"
#include "phonetic/phonetic_key.h"
#include "support/reference_words.h"
#include "support/scan_in_reads.h"

namespace {

// An instruction set, and for AVX2 whether it looks bytes up with AVX-512 where it can.
struct Instructions {
  ScanInstructions Set;
  bool ByteLookups;
};

const char* Name(const Instructions& instructions) {
  switch (instructions.Set) {
    case ScanInstructions::Avx2:
      return instructions.ByteLookups ? "Avx2ByteLookups" : "Avx2";
    case ScanInstructions::Sse2:
      return "Sse2";
    default:
      return "Portable";
  }
}

void PrintTo(const Instructions& instructions, std::ostream* out) { *out << Name(instructions); }

class InstructionSetTest : public ::testing::TestWithParam<Instructions> {
 protected:
  void SetUp() override {
    if (!UseScanInstructions(GetParam().Set) || !UseByteLookups(GetParam().ByteLookups)) {
      GTEST_SKIP() << "this processor has no " << Name(GetParam());
    }
  }
  void TearDown() override {
    UseScanInstructions(best_);
    UseByteLookups(true);
  }

 private:
  ScanInstructions best_ = CurrentScanInstructions();
};

bool IsSeparator(std::uint8_t b) {
  const bool letter = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
  const bool joiner = (b >= '0' && b <= '9') || b == '^' || b == '_' || b == '`';
  return !letter && !joiner;
}

bool IsOneOf(std::uint8_t b, const std::string& letters) {
  const bool isLetter = (b | 0x20) >= 'a' && (b | 0x20) <= 'z';
  return isLetter && letters.find(static_cast<char>(b | 0x20)) != std::string::npos;
}

// `followers` "*": any byte may follow a start.
std::vector<std::uint16_t> StartsByRule(const std::string& bytes, std::uint8_t before,
                                        const std::string& letters,
                                        const std::string& followers = "*") {
  std::vector<std::uint16_t> starts;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<std::uint8_t>(bytes[i]);
    const auto previous = i == 0 ? before : static_cast<std::uint8_t>(bytes[i - 1]);
    const bool followed = followers == "*" || i + 1 == bytes.size() ||
                          IsOneOf(static_cast<std::uint8_t>(bytes[i + 1]), followers);
    if (IsOneOf(b, letters) && IsSeparator(previous) && followed) {
      starts.push_back(static_cast<std::uint16_t>(i));
    }
  }
  return starts;
}

std::vector<std::uint16_t> FoundStarts(const std::string& bytes, std::uint8_t before,
                                       const StartLetters& set) {
  std::vector<std::uint16_t> starts(bytes.size() / 2 + 3);
  const std::uint32_t found =
      FindWordStarts(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                     static_cast<std::uint32_t>(bytes.size()), before, set, starts.data());
  starts.resize(found);
  return starts;
}

std::vector<std::uint16_t> Starts(const std::string& bytes, std::uint8_t before,
                                  const std::string& letters, const std::string& followers = "*") {
  return FoundStarts(
      bytes, before,
      MakeStartLetters(letters.c_str(), followers == "*" ? nullptr : followers.c_str()));
}

// Text of words, names, joiners, line ends, high bytes and zero bytes.
std::string RandomText(std::mt19937& random, std::size_t size) {
  static const char* const kPieces[] = {
      "Moses",    "moses",    "MOSES",    "Mosis",     "Ellen",   "Allen",     "Helen",
      "psalm",    "Psyche",   "Phoenix",  "Katherine", "Kathryn", "Catherine", "x_y",
      "abc1",     "4th",      "a^b",      "it's",      "back",    "science",   "excess",
      "Jackson",  "Lord",     "lords",    "m",         "My",      "em",        "`m",
      "Xenia",    "Ksenia",   "Mitchell", "Michel",    "Aaron",   "Erin",      "Oran",
      "and",      "Yvonne",   "Ian",      "Ethan",     "Arran",   "Kohn",      "Cohn",
      "Peterson", "Auerbach", "Ohrbach",  "Szwarc",    "Schwarz", "Moskovitz"};
  static const std::string kBetween[] = {
      " ", " ", " ", "\n", "\r\n", "\t", ", ", "-", "\xe9", "\xff", std::string(1, '\0')};
  std::string text;
  while (text.size() < size) {
    const unsigned pick = random() % 100;
    if (pick < 70) {
      text += kPieces[random() % std::size(kPieces)];
    } else if (pick < 75) {
      text += 'M';
      for (int i = 0; i < 69; ++i) text += static_cast<char>('a' + random() % 26);
    } else if (pick < 80) {
      text.append(1 + random() % 40, '\0');
    } else {
      text += static_cast<char>(random() % 256);
    }
    text += kBetween[random() % std::size(kBetween)];
  }
  return text;
}

// Scans `text` cut into reads of random sizes; runs of zero bytes are given as holes when
// `holes` is true. Returns the outcome of the last step.
int ScanInReads(const HeardTerm& term, bool listAll, const std::string& text, std::mt19937& random,
                bool holes, Collected* collected) {
  ChunkScan scan;
  scan.Start(term, listAll, 1, CollectFind, collected);
  return FeedInReads(
      scan, text,
      [&random] {
        const std::size_t sizes[] = {1, 2, 7, 64, 100, 4096, 65536};
        return sizes[random() % std::size(sizes)];
      },
      holes);
}

TEST_P(InstructionSetTest, WordStartsAreThoseOfTheByteRule) {
  // Every pair of byte values, each preceded by a blank: every class meets every class.
  std::string pairs;
  for (int first = 0; first < 256; ++first) {
    for (int second = 0; second < 256; ++second) {
      pairs += static_cast<char>(first);
      pairs += static_cast<char>(second);
    }
  }
  std::mt19937 random(7);
  // Start letters, and the letters that may follow them ("*": any byte).
  const std::pair<std::string, std::string> sets[] = {{"m", "*"},
                                                      {"aeiouy", "*"},
                                                      {"pz", "*"},
                                                      {"abcdefghijklmnopqrstuvwxyz", "*"},
                                                      {"aeiouy", "aehilouwy"},
                                                      {"m", "ps"},
                                                      {"pz", ""},
                                                      {"ao", "abcdefghijklmnopqrstuvwxyz"}};
  for (const auto& [letters, followers] : sets) {
    for (std::size_t from = 0; from < pairs.size(); from += 65536) {
      const std::string window = pairs.substr(from, 65536);
      EXPECT_EQ(Starts(window, ' ', letters, followers),
                StartsByRule(window, ' ', letters, followers))
          << letters << " followed by " << followers;
    }
    // Lengths around the vector and block sizes, after every kind of byte.
    for (std::size_t length = 0; length <= 200; ++length) {
      const std::string text = RandomText(random, length).substr(0, length);
      const auto before = static_cast<std::uint8_t>(random() % 256);
      EXPECT_EQ(Starts(text, before, letters, followers),
                StartsByRule(text, before, letters, followers))
          << letters << " followed by " << followers << " length " << length << " before "
          << int{before};
    }
  }
}

// Start letters, each with the letters that may follow it: "m:aeiou".
using LetterFollowers = std::vector<std::string>;

std::vector<std::uint16_t> StartsByLetterRule(const std::string& bytes, std::uint8_t before,
                                              const LetterFollowers& sets) {
  std::vector<std::uint16_t> starts;
  for (const std::string& set : sets) {
    for (const std::uint16_t at : StartsByRule(bytes, before, set.substr(0, 1), set.substr(2))) {
      starts.push_back(at);
    }
  }
  std::sort(starts.begin(), starts.end());
  return starts;
}

std::vector<std::uint16_t> StartsByLetter(const std::string& bytes, std::uint8_t before,
                                          const LetterFollowers& sets) {
  std::string letters;
  std::uint32_t followersOf[26] = {};
  for (const std::string& set : sets) {
    letters += set[0];
    for (const char c : set.substr(2)) followersOf[set[0] - 'a'] |= 1u << (c - 'a');
  }
  return FoundStarts(bytes, before, MakeStartLettersByLetter(letters.c_str(), followersOf));
}

TEST_P(InstructionSetTest, WordStartsAreFollowedByTheirOwnLettersFollowers) {
  std::string pairs;  // every pair of byte values
  for (int first = 0; first < 256; ++first) {
    for (int second = 0; second < 256; ++second) {
      pairs += static_cast<char>(first);
      pairs += static_cast<char>(second);
    }
  }
  std::mt19937 random(17);
  const LetterFollowers cases[] = {
      {"m:aehiouwy", "a:m"},                                   // two sets
      {"d:a", "g:r", "m:aeiour", "r:i"},                       // four, as many as a vector holds
      {"d:a", "g:r", "m:aeiour", "r:i", "p:e"},                // five
      {"b:ei", "w:ei"},                                        // one set for all
      {"o:z", "p:abcdefghijklmnopqrstuvwxyz", "z:o", "a:p"},  // the edges of the halves
      {"q:u", "x:"},                                           // a letter nothing may follow
      {"e:lmnrs", "i:lmnrs", "y:lmnrs", "a:lmnrsz", "u:bdfglmnprst", "k:aeiouy", "s:aeiouy"},
      {"a:b", "b:c", "c:d", "d:e", "e:f", "f:g", "g:h"},         // seven, as a byte's bits hold
      {"a:b", "b:c", "c:d", "d:e", "e:f", "f:g", "g:h", "h:i"},  // eight
  };
  for (const LetterFollowers& sets : cases) {
    const std::string name = ::testing::PrintToString(sets);
    for (std::size_t from = 0; from < pairs.size(); from += 65536) {
      const std::string window = pairs.substr(from, 65536);
      EXPECT_EQ(StartsByLetter(window, ' ', sets), StartsByLetterRule(window, ' ', sets)) << name;
    }
    // Each start letter, in both cases, between every byte before and every byte after.
    std::string triples;
    for (const std::string& set : sets) {
      for (const char letter : {set[0], static_cast<char>(set[0] - 'a' + 'A')}) {
        for (int pair = 0; pair < 65536; ++pair) {
          triples += {static_cast<char>(pair >> 8), letter, static_cast<char>(pair)};
        }
      }
    }
    for (std::size_t from = 0; from < triples.size(); from += 65535) {
      const std::string window = triples.substr(from, 65535);
      EXPECT_EQ(StartsByLetter(window, ' ', sets), StartsByLetterRule(window, ' ', sets)) << name;
    }
    const std::string longText = RandomText(random, 65536).substr(0, 65536);
    EXPECT_EQ(StartsByLetter(longText, ' ', sets), StartsByLetterRule(longText, ' ', sets)) << name;
    for (std::size_t length = 0; length <= 200; ++length) {
      const std::string text = RandomText(random, length).substr(0, length);
      const auto before = static_cast<std::uint8_t>(random() % 256);
      EXPECT_EQ(StartsByLetter(text, before, sets), StartsByLetterRule(text, before, sets))
          << name << " length " << length << " before " << int{before};
    }
  }
}

// The starts of the byte rule whose word may match by the length table: a word that runs to
// the end of the bytes with fewer than the longest length counted may go on, and is kept.
std::vector<std::uint16_t> PairedByRule(const std::string& bytes, std::uint8_t before,
                                        const std::string& letters,
                                        const std::vector<std::uint64_t>& table) {
  std::vector<std::uint16_t> kept;
  for (const std::uint16_t at : StartsByRule(bytes, before, letters)) {
    std::size_t run = 1;
    while (at + run < bytes.size() && IsOneOf(static_cast<std::uint8_t>(bytes[at + run]),
                                              "abcdefghijklmnopqrstuvwxyz")) {
      ++run;
    }
    if (at + run == bytes.size() && run < kLongestPairLength) {
      kept.push_back(at);
      continue;
    }
    const std::size_t length = std::min<std::size_t>(run, kLongestPairLength);
    const auto first = static_cast<std::uint8_t>(bytes[at]);
    const auto second = static_cast<std::uint8_t>(bytes[at + 1]);
    if ((table[32 * (first & 31) + (second & 31)] >> (length - 1)) & 1) kept.push_back(at);
  }
  return kept;
}

// A table in which the words of each first letter need at least `least[letter]` letters,
// and every length from there on is allowed by chance (`density` in 64).
std::vector<std::uint64_t> LengthTable(std::mt19937& random, const std::vector<int>& least,
                                       unsigned density) {
  std::vector<std::uint64_t> table(32 * 32, 0);
  for (int f = 0; f < 26; ++f) {
    for (int s = 1; s <= 26; ++s) {
      std::uint64_t bits = 0;
      for (std::uint32_t length = least[f]; length <= kLongestPairLength; ++length) {
        if (random() % 64 < density) bits |= std::uint64_t{1} << (length - 1);
      }
      table[32 * (f + 1) + s] = bits;
    }
  }
  return table;
}

TEST_P(InstructionSetTest, WordStartsPassOverWordsTheLengthTableRulesOut) {
  std::mt19937 random(13);
  struct Case {
    const char* Letters;
    std::vector<int> Least;  // by first letter, a to z
    unsigned Density;
  };
  std::vector<int> mostFour(26, 4);
  mostFour['m' - 'a'] = 2;
  std::vector<int> mixed(26, 6);
  for (char c : std::string("aeiou")) mixed[c - 'a'] = 3;
  mixed['x' - 'a'] = 70;  // no word
  const Case cases[] = {
      {"abcdefghijklmnopqrstuvwxyz", mostFour, 64},
      {"abcdefghijklmnopqrstuvwxyz", mostFour, 20},
      {"abcdefghijklmnopqrstuvwxyz", mixed, 40},
      {"abcdefghijklmnopqrstuvwxyz", std::vector<int>(26, 2), 32},
      {"abcdefghijklmnopqrstuvwxyz", std::vector<int>(26, 9), 64},
      {"mkx", mixed, 50},
  };
  for (const Case& c : cases) {
    const std::vector<std::uint64_t> table = LengthTable(random, c.Least, c.Density);
    StartLetters set = MakeStartLetters(c.Letters);
    set.PairLengths = table.data();
    const std::string longText = RandomText(random, 65536).substr(0, 65536);
    EXPECT_EQ(FoundStarts(longText, ' ', set), PairedByRule(longText, ' ', c.Letters, table)) << c.Letters;
    for (std::size_t length = 0; length <= 300; ++length) {
      const std::string text = RandomText(random, length).substr(0, length);
      const auto before = static_cast<std::uint8_t>(random() % 256);
      EXPECT_EQ(FoundStarts(text, before, set), PairedByRule(text, before, c.Letters, table))
          << c.Letters << " length " << length << " before " << int{before};
    }
  }
}

TEST_P(InstructionSetTest, LineFeedsAreCounted) {
  std::mt19937 random(11);
  for (std::size_t length : {0, 1, 15, 16, 17, 31, 32, 33, 63, 64, 65, 8191, 8193, 65536}) {
    std::string text = RandomText(random, length).substr(0, length);
    const auto expected = static_cast<std::uint32_t>(std::count(text.begin(), text.end(), '\n'));
    EXPECT_EQ(CountLineFeeds(reinterpret_cast<const std::uint8_t*>(text.data()),
                             static_cast<std::uint32_t>(length)),
              expected)
        << length;
  }
  // Bytes one bit or one step away from a line feed, which a test for it a word at a time
  // may take for one, with line feeds among them.
  const std::string nearLineFeed("\x0B\x09\x8A\x0E\x00\x2A\x1A\xFF\x0A\x0A", 10);
  for (std::size_t length = 0; length <= 80; ++length) {
    std::string text(length, ' ');
    for (char& c : text) c = nearLineFeed[random() % nearLineFeed.size()];
    EXPECT_EQ(CountLineFeeds(reinterpret_cast<const std::uint8_t*>(text.data()),
                             static_cast<std::uint32_t>(length)),
              static_cast<std::uint32_t>(std::count(text.begin(), text.end(), '\n')))
        << length;
  }
  // More line feeds than a byte can count, in every lane.
  const std::string lineFeeds(65536, '\n');
  EXPECT_EQ(CountLineFeeds(reinterpret_cast<const std::uint8_t*>(lineFeeds.data()), 65536), 65536u);
}

// Bytes that differ from a line feed in one bit, or lie next to it, in every place a vector
// or an eight-byte word can put them, around one line feed or none.
TEST_P(InstructionSetTest, TheLastLineFeedIsFoundFromTheEnd) {
  std::mt19937 random(17);
  const std::string nearLineFeed("\x0B\x09\x8A\x0E\x00\x2A\x1A\xFF\x0A", 9);
  for (std::size_t length : {0, 1, 7, 8, 9, 15, 16, 17, 31, 32, 33, 40, 63, 64, 65, 200}) {
    for (std::size_t place = 0; place <= length; ++place) {
      std::string text(length, 'a');
      for (char& c : text) c = nearLineFeed[random() % (nearLineFeed.size() - 1)];
      if (place < length) text[place] = '\n';
      // Another line feed before it, which must not be taken for the last.
      if (place > 3) text[place / 2] = '\n';
      const std::size_t expected = text.rfind('\n');
      EXPECT_EQ(LastLineFeed(reinterpret_cast<const std::uint8_t*>(text.data()),
                             static_cast<std::uint32_t>(length)),
                expected == std::string::npos ? length : expected)
          << length << " " << place;
    }
  }
  const std::string lineFeeds(65536, '\n');
  EXPECT_EQ(LastLineFeed(reinterpret_cast<const std::uint8_t*>(lineFeeds.data()), 65536), 65535u);
}

TEST_P(InstructionSetTest, LineCountingNotesABytesFrom0x80Anywhere) {
  for (std::size_t length : {1, 15, 16, 17, 31, 32, 33, 64, 100, 8191, 70000}) {
    std::string text(length, 'a');
    for (std::size_t i = 0; i < length; i += 7) text[i] = '\n';
    // No such byte, then one at each place in turn (the first, the last, inside a vector).
    std::vector<std::size_t> places = {length, 0, length - 1, length / 2};
    for (std::size_t place : places) {
      std::string bytes = text;
      if (place < length) bytes[place] = '\xC3';
      bool high = false;
      const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
      EXPECT_EQ(CountLineFeedsNotingHigh(data, static_cast<std::uint32_t>(length), &high),
                CountLineFeeds(data, static_cast<std::uint32_t>(length)))
          << length << " " << place;
      EXPECT_EQ(high, place < length) << length << " " << place;
    }
  }
}

// Terms of both methods: the program's own keys, and Daitch-Mokotoff codes against a
// reading that codes every word in full.
TEST_P(InstructionSetTest, TextsCutIntoAnyReadsGiveThePlainReadingsMatches) {
  std::mt19937 random(static_cast<unsigned>(GetParam().Set) + 3);
  struct Case {
    const char* Word;
    const SoundMethod& Method;
  };
  std::vector<Case> cases;
  for (const char* word :
       {"Moses", "Ellen", "psalm", "Phoenix", "Katherine", "Lord", "Xenia", "Aaron", "Ian"})
    cases.push_back({word, SoundexMethod()});
  for (const char* word : {"Kohn", "Jackson", "Peterson", "Auerbach", "Schwarz", "Moses", "Ian"})
    cases.push_back({word, DaitchMokotoffMethod()});
  for (const char* word : {"Moses", "Lord", "Ellen", "Katherine", "Ian"}) cases.push_back({word, ScoredMethod()});
  for (const Case& c : cases) {
    const std::unique_ptr<HeardTerm> term = c.Method.Hear(c.Word);
    const ReferenceTerm reference = &c.Method == &ScoredMethod() ? MakeScoredReferenceTerm(c.Word)
                                                                  : MakeReferenceTerm(c.Word, &c.Method == &DaitchMokotoffMethod());
    for (int round = 0; round < 12; ++round) {
      const std::string text = RandomText(random, round < 6 ? 300 : 150000);
      const std::vector<ReferenceFind> expected = ReferenceFinds(text, reference);
      const bool holes = round % 2 == 1;
      Collected listed;
      EXPECT_EQ(ScanInReads(*term, true, text, random, holes, &listed), kScanGoOn);
      EXPECT_EQ(listed.Finds, expected) << c.Word << " round " << round;
      Collected none;
      EXPECT_EQ(ScanInReads(*term, false, text, random, holes, &none),
                expected.empty() ? kScanGoOn : kScanMatchFound)
          << c.Word << " round " << round;
      EXPECT_TRUE(none.Finds.empty());
    }
  }
}

// Every word of `bytes` that `term` matches, as a plain reading that asks the term about
// each whole word finds them: where it starts, and the term's answer.
std::vector<std::pair<std::int64_t, int>> AskedFinds(const HeardTerm& term,
                                                     const std::string& bytes) {
  std::vector<std::pair<std::int64_t, int>> finds;
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  for (std::size_t i = 0; i < bytes.size();) {
    if (!IsWordLetter(data[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < bytes.size() && IsWordLetter(data[end])) ++end;
    const bool spoiled =
        (i > 0 && !IsSeparator(data[i - 1])) || (end < bytes.size() && IsJoiner(data[end]));
    const int key =
        spoiled ? -1 : MatchWordKey(term, data + i, static_cast<std::uint32_t>(end - i));
    if (key >= 0) finds.emplace_back(static_cast<std::int64_t>(i), key);
    i = end;
  }
  return finds;
}

// Text of the family's members, their spellings with a letter changed, short and common
// words and random letters, between separators and joiners.
std::string FamilyText(std::mt19937& random, const GivenNameFamily& family, std::size_t size) {
  static const char* const kWords[] = {"will", "well", "Wall", "bell", "be", "by", "great",
                                       "mercy", "day", "rite", "peg", "pegs", "Maggie", "me",
                                       "and", "psalm", "phial", "scene", "xsa", "kck", "ack",
                                       "a", "in", "of", "the", "JOHN", "jn", "eliz", "Thos"};
  static const char* const kBetween[] = {" ", " ", "\n", ", ", "-", "\xe9", "_", "1", "."};
  std::string text;
  while (text.size() < size) {
    const unsigned pick = random() % 100;
    std::string word;
    if (pick < 40 && family.Count > 0) {
      word = family.Members[random() % family.Count].Word;
      if (random() % 3 == 0) word[random() % word.size()] = static_cast<char>('a' + random() % 26);
      if (random() % 4 == 0) word[0] = static_cast<char>(word[0] - 'a' + 'A');
    } else if (pick < 75) {
      word = kWords[random() % std::size(kWords)];
    } else {
      for (unsigned n = 2 + random() % 8; n > 0; --n) {
        word += static_cast<char>('a' + random() % 26);
      }
    }
    text += word;
    text += kBetween[random() % std::size(kBetween)];
  }
  return text;
}

// The start finder passes over words that no member of a family can match, and over no
// other: a scan finds every word the term matches when asked about it.
TEST_P(InstructionSetTest, AFamilysScanFindsEveryWordItsTermMatches) {
  InitialisePhonetics();
  std::mt19937 random(static_cast<unsigned>(GetParam().Set) + 23);
  struct Case {
    const char* Word;
    const SoundMethod& Method;
  };
  const Case cases[] = {
      {"William", SoundexMethod()},       {"Margaret", SoundexMethod()},
      {"Mary", SoundexMethod()},          {"John", SoundexMethod()},
      {"Elizabeth", SoundexMethod()},     {"Moses", SoundexMethod()},
      {"Agnes", SoundexMethod()},         {"Xpher", SoundexMethod()},
      {"William", DaitchMokotoffMethod()}, {"Margaret", DaitchMokotoffMethod()},
      {"Peggy", ScoredMethod()},
  };
  for (const Case& c : cases) {
    const std::unique_ptr<HeardTerm> term = HearWithGivenNames(c.Method, c.Word, nullptr);
    ASSERT_NE(term, nullptr);
    GivenNameFamily family;
    FindGivenNameFamily(c.Word, static_cast<std::uint32_t>(std::strlen(c.Word)), nullptr, &family);
    ASSERT_GT(family.Count, 0u) << c.Word;
    for (int round = 0; round < 4; ++round) {
      const std::string text = FamilyText(random, family, round < 2 ? 2000 : 150000);
      const auto expected = AskedFinds(*term, text);
      EXPECT_FALSE(expected.empty()) << c.Word;
      Collected listed;
      EXPECT_EQ(ScanInReads(*term, true, text, random, false, &listed), kScanGoOn);
      std::vector<std::pair<std::int64_t, int>> found;
      for (const ReferenceFind& find : listed.Finds) found.emplace_back(find.Start, find.Key);
      EXPECT_EQ(found, expected) << c.Word << " " << c.Method.Name() << " round " << round;
    }
  }
}

TEST_P(InstructionSetTest, AListenerThatStopsEndsTheScanAtOnce) {
  const std::unique_ptr<HeardTerm> term = DefaultSoundMethod().Hear("Moses");
  const std::string text = "Moses and moses\nand MOSES.\n";
  std::mt19937 random(1);
  Collected collected;
  collected.StopAfter = 2;
  EXPECT_EQ(ScanInReads(*term, true, text, random, false, &collected), kScanStopped);
  EXPECT_EQ(collected.Finds.size(), 2u);
}

// The word cache answers a word in place as the term answers the whole word, the first
// time and from what it keeps, while terms take turns (as an expression's terms do): a
// word it gives up matches nothing, and a key it gives is the word's.
TEST(WordCacheTest, AnswersAsTheTermWhileTermsTakeTurns) {
  InitialisePhonetics();
  std::mt19937 random(41);
  std::vector<std::string> words = {"Moses", "MOSES", "Moise", "Mo", "m", "William", "Will",
                                    "Bill", "wm", "Wm", "willm", "Gulielmi", "Gulielmus",
                                    "Wilhelmina", "Margaret", "Peggy", "Meg", "Psalm", "ps",
                                    "Xpher", "Abcdefg", "Abcdefgh", "MosesMosesMosesMosesMoses",
                                    // Long words alike in their first eight letters, one
                                    // an abbreviation and one not; fifteen and sixteen letters.
                                    "Willelmum", "willelmux", "WILLELMUM", "Guillielmum",
                                    "Guillielmux", "guillielmumabcd", "guillielmumabcde",
                                    "Margareta", "Margaretam", "MARGARETAE", "margaretamm"};
  const std::string text = RandomText(random, 20000);
  for (std::size_t at = 0; at < text.size() && words.size() < 2000;) {
    std::size_t end = at;
    while (end < text.size() && IsWordLetter(static_cast<std::uint8_t>(text[end]))) ++end;
    if (end > at) words.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  std::vector<std::unique_ptr<HeardTerm>> terms;
  for (const SoundMethod* method : {&SoundexMethod(), &DaitchMokotoffMethod(), &ScoredMethod()}) {
    terms.push_back(method->Hear("Moses"));
    terms.push_back(HearWithGivenNames(*method, "William", nullptr));
    terms.push_back(HearWithGivenNames(*method, "Margaret", nullptr));
  }
  WordCache cache;
  for (int round = 0; round < 3; ++round) {
    for (const std::unique_ptr<HeardTerm>& term : terms) {
      ASSERT_NE(term, nullptr);
      cache.Prepare(*term);
      for (const std::string& word : words) {
        const std::string inPlace = word + " " + std::string(kMaxWordLetters + 1, '.');
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(inPlace.data());
        const int whole = MatchWordKey(*term, bytes, static_cast<std::uint32_t>(word.size()));
        const int answer = cache.MatchAt(*term, bytes);
        if (answer != kWordUndecided) {
          EXPECT_EQ(answer, whole) << word << " " << term->Method.Name() << " round " << round;
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Sets, InstructionSetTest,
                         ::testing::Values(Instructions{ScanInstructions::Portable, false},
                                           Instructions{ScanInstructions::Sse2, false},
                                           Instructions{ScanInstructions::Avx2, false},
                                           Instructions{ScanInstructions::Avx2, true}),
                         [](const auto& info) { return std::string(Name(info.param)); });

}  // namespace
