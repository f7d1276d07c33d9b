#include "engine/given_name_term.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "phonetic/given_name_extras.h"
#include "phonetic/phonetic_key.h"

namespace {

// What a term answers for a word: "-" for nothing, "own KEY" for the query word's own key,
// "MEMBER KEY" for a member heard, "MEMBER as written" for an abbreviation; and the same
// read in place, as the scanner reads a word in a file.
std::string Answer(const HeardTerm& term, const std::string& word) {
  const auto* letters = reinterpret_cast<const std::uint8_t*>(word.data());
  const int index = term.MatchWord(letters, static_cast<std::uint32_t>(word.size()));
  std::uint8_t inPlace[kMaxWordLetters + 8] = {};
  std::memcpy(inPlace, word.data(), word.size());
  int placed = term.MatchWordInPlace(inPlace);
  if (placed == kWordUndecided) placed = index;
  EXPECT_EQ(placed, index) << word;
  if (index < 0) return "-";
  char code[8];
  term.CodeOfMatch(index, code);
  const GivenNameMember* member = term.EquivalentOfMatch(index);
  if (member == nullptr) return std::string("own ") + code;
  return std::string(member->Word) + " " + (member->AsWritten ? "as written" : code);
}

struct MatchCase {
  const char* method;
  const char* query;
  const char* word;
  const char* answer;
};

class GivenNameTermTest : public ::testing::TestWithParam<MatchCase> {
 protected:
  void SetUp() override { InitialisePhonetics(); }
};

TEST_P(GivenNameTermTest, FindsTheWordThroughTheRightMember) {
  const MatchCase& c = GetParam();
  const std::unique_ptr<HeardTerm> term = HearWithGivenNames(*FindSoundMethod(c.method), c.query, nullptr);
  ASSERT_NE(term, nullptr);
  EXPECT_EQ(Answer(*term, c.word), c.answer) << c.query << " " << c.word;
  // The scanner looks only at words that begin with a start letter.
  if (std::string(c.answer) != "-") {
    EXPECT_TRUE(term->Starts.IsStart[static_cast<unsigned char>(c.word[0])]);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Words, GivenNameTermTest,
    ::testing::Values(
        // The query word's own keys answer first, as without equivalents.
        MatchCase{"soundex", "William", "Wiliam", "own w450"},
        MatchCase{"soundex", "William", "Gulielmi", "gulielmi g445"},
        MatchCase{"soundex", "William", "GULIELMUM", "gulielmum as written"},
        MatchCase{"soundex", "William", "Willelmus", "willelmus w445"},
        // One consonant after the first letter is heard in too many names: as written.
        MatchCase{"soundex", "William", "Billy", "billy as written"},
        MatchCase{"soundex", "William", "Bella", "-"},
        // An abbreviation only as written, in any case; its sound finds nothing.
        MatchCase{"soundex", "William", "WM", "wm as written"},
        MatchCase{"soundex", "William", "Wim", "-"},
        MatchCase{"soundex", "William", "Wmm", "-"},
        MatchCase{"soundex", "Wm", "Gulielmo", "gulielmo g445"},
        MatchCase{"soundex", "Wm", "Gul", "gul as written"},
        // A member that is the very word answers for it, even one matched as written: Willm
        // sounds like William, and is found through Willm.
        MatchCase{"soundex", "Wm", "Willm", "willm as written"},
        MatchCase{"soundex", "Thome", "Thomas", "thomas t520"},
        MatchCase{"soundex", "Jno", "Johannem", "johannem as written"},
        MatchCase{"soundex", "Peggy", "Margarete", "margarete m626"},
        MatchCase{"soundex", "Peggy", "Meg", "-"},
        MatchCase{"dm", "Gulielmi", "William", "william 786000"},
        MatchCase{"dm", "William", "wm", "wm as written"},
        // A word with no family is heard as before.
        MatchCase{"soundex", "Xyzzy", "Xyzzy", "own x200"}));

TEST(GivenNameTerm, TheUsersLinksJoinTheFamily) {
  InitialisePhonetics();
  GivenNameExtras extras;
  const std::string text = "hamish: james jas.\n";
  extras.Read(text.data(), text.size());
  const std::unique_ptr<HeardTerm> term = HearWithGivenNames(DefaultSoundMethod(), "Hamish", &extras);
  ASSERT_NE(term, nullptr);
  EXPECT_EQ(Answer(*term, "Jeames"), "james j520");
  EXPECT_EQ(Answer(*term, "Jas"), "jas as written");
  std::string explained;
  term->Explain(&explained);
  EXPECT_NE(explained.find("family\tjames\tnickname\tj520"), std::string::npos) << explained;
  EXPECT_NE(explained.find("family\tjas\tabbreviation\tas written\n"), std::string::npos);
}

// Words of two and three letters, all of them; longer ones drawn at random, some with the
// letters that the reductions drop or join (ps, ph, sc, ck, x); and very long ones.
std::vector<std::string> ManyWords() {
  std::vector<std::string> words;
  for (char a = 'a'; a <= 'z'; ++a) {
    for (char b = 'a'; b <= 'z'; ++b) {
      words.push_back({a, b});
      for (char c = 'a'; c <= 'z'; ++c) words.push_back({a, b, c});
    }
  }
  std::mt19937 random(5);
  const char* const kPieces[] = {"a", "e", "i", "o", "u", "y", "h", "w", "l", "m", "n", "r",
                                 "ps", "ph", "sc", "ck", "x", "ll", "g", "t", "d", "s", "b", "j"};
  for (int i = 0; i < 6000; ++i) {
    std::string word(1, static_cast<char>('a' + random() % 26));
    for (unsigned n = 1 + random() % 6; n > 0; --n) word += kPieces[random() % std::size(kPieces)];
    words.push_back(word);
  }
  words.push_back(std::string(70, 'm') + "oses");
  words.push_back("m" + std::string(61, 'o') + "ses");
  return words;
}

// A term's table of pairs and lengths sets the bit of every word the term matches: the
// start finder of a family, which looks only at the pairs of the table, would otherwise
// pass over a word that is found without the family.
TEST(GivenNameTerm, EveryWordATermMatchesHasItsPairAndLength) {
  InitialisePhonetics();
  std::vector<std::string> words = ManyWords();
  const char* const queries[] = {"William", "Margaret", "Mary", "Moses", "Ellen", "Psyche",
                                 "Phoebe", "Xenia", "Ian", "Eckert", "Kckn", "Scipio", "Yvonne"};
  for (const char* query : queries) {
    words.push_back(query);
    GivenNameFamily family;
    if (FindGivenNameFamily(query, static_cast<std::uint32_t>(std::strlen(query)), nullptr,
                            &family) > 0) {
      for (std::uint32_t i = 0; i < family.Count; ++i) words.push_back(family.Members[i].Word);
    }
  }
  for (const char* method : {"soundex", "dm", "scored"}) {
    for (const char* query : queries) {
      const std::unique_ptr<HeardTerm> term = FindSoundMethod(method)->Hear(query);
      ASSERT_NE(term, nullptr);
      std::vector<std::uint64_t> table(32 * 32, 0);
      term->AddPairLengths(table.data());
      int matched = 0;
      for (const std::string& word : words) {
        const auto* letters = reinterpret_cast<const std::uint8_t*>(word.data());
        const auto length =
            std::min<std::uint32_t>(static_cast<std::uint32_t>(word.size()), kMaxWordLetters);
        if (term->MatchWord(letters, length) < 0) continue;
        ++matched;
        const std::uint64_t bits = table[32 * (word[0] & 31) + (word[1] & 31)];
        EXPECT_EQ((bits >> (std::min(length, kLongestPairLength) - 1)) & 1, 1u)
            << method << " " << query << " " << word;
      }
      EXPECT_GT(matched, 0) << method << " " << query;
    }
  }
}

}  // namespace
