#include "engine/given_name_term.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

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

}  // namespace
