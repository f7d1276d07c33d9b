#include "phonetic/daitch_mokotoff.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Codes(const std::string& word) {
  DmCode codes[kMaxDmCodes];
  const int count =
      DaitchMokotoffCodes(word.data(), static_cast<std::uint32_t>(word.size()), codes);
  std::vector<std::string> texts;
  for (int i = 0; i < count; ++i) texts.emplace_back(codes[i].Digits, kDmCodeLength);
  return texts;
}

DmCode Code(const std::string& digits) {
  DmCode code;
  std::memcpy(code.Digits, digits.data(), kDmCodeLength);
  return code;
}

int Match(const std::string& word, const std::vector<std::string>& wanted) {
  std::vector<DmCode> codes;
  for (const std::string& digits : wanted) codes.push_back(Code(digits));
  return MatchDaitchMokotoff(word.data(), static_cast<std::uint32_t>(word.size()), codes.data(),
                             static_cast<int>(codes.size()));
}

struct WordCase {
  const char* word;
  std::vector<std::string> codes;  // ascending
};

void PrintTo(const WordCase& c, std::ostream* os) { *os << '"' << c.word << '"'; }

class DmCodes : public ::testing::TestWithParam<WordCase> {};

TEST_P(DmCodes, GivesEveryCodeInAscendingOrder) {
  EXPECT_EQ(Codes(GetParam().word), GetParam().codes);
}

// Published examples, each with its full set of codes.
INSTANTIATE_TEST_SUITE_P(
    Published, DmCodes,
    ::testing::Values(
        WordCase{"Peters", {"734000", "739400"}}, WordCase{"Peterson", {"734600", "739460"}},
        WordCase{"Moskowitz", {"645740"}}, WordCase{"Moskovitz", {"645740"}},
        WordCase{"Auerbach", {"097400", "097500"}}, WordCase{"Ohrbach", {"097400", "097500"}},
        WordCase{"Jackson", {"145460", "154600", "445460", "454600"}},
        WordCase{"Chauptman", {"473660", "573660"}}, WordCase{"Lipshitz", {"874400"}},
        WordCase{"Lippszyc", {"874400", "874500"}}, WordCase{"Kohn", {"560000"}},
        WordCase{"Cohn", {"460000", "560000"}}, WordCase{"Augsburg", {"054795"}},
        WordCase{"Halberstadt", {"587433", "587943"}}, WordCase{"Szlamawicz", {"486740"}},
        // Eight codes, one for each choice of CH, C and C (worked out from the chart).
        WordCase{"Rosochowaciec",
                 {"944744", "944745", "944754", "944755", "945744", "945745", "945754", "945755"}},
        // Wikipedia, "Daitch-Mokotoff Soundex".
        WordCase{"Uhrbach", {"097400", "097500"}},
        // stevemorse.org: Beider and Morse's article on phonetic matching, from Avotaynu.
        WordCase{"Schwarzenegger", {"474659", "479465"}},
        WordCase{"Shwarzenegger", {"474659", "479465"}}, WordCase{"Schwartsenegger", {"479465"}}));

// Worked out by hand from the chart and its rules.
INSTANTIATE_TEST_SUITE_P(
    Rules, DmCodes,
    ::testing::Values(
        // The longest group first: TZ, PF and NM are one group each.
        WordCase{"Mintz", {"664000"}}, WordCase{"Topf", {"370000"}},
        // MN and NM code both letters; a double letter codes once.
        WordCase{"Kleinman", {"586660"}}, WordCase{"Mannheim", {"665600"}},
        // A vowel pair is coded before a vowel only.
        WordCase{"Breuer", {"791900"}}, WordCase{"Freud", {"793000"}},
        WordCase{"Golden", {"583600"}},
        // The same digit across a group boundary codes once; a vowel between keeps both.
        WordCase{"Grosstadt", {"594330"}}, WordCase{"Grostadt", {"594330"}},
        // Two two-way groups give four codes.
        WordCase{"Cech", {"440000", "450000", "540000", "550000"}},
        WordCase{"Chernowitz", {"496740", "596740"}}));

// One group at the start, before a vowel and elsewhere.
INSTANTIATE_TEST_SUITE_P(
    Positions, DmCodes,
    ::testing::Values(WordCase{"Hal", {"580000"}}, WordCase{"Mahal", {"658000"}},
                      WordCase{"Mahl", {"680000"}}, WordCase{"Aul", {"080000"}},
                      WordCase{"Daual", {"378000"}}, WordCase{"Daul", {"380000"}},
                      WordCase{"Jal", {"180000", "480000"}}, WordCase{"Lija", {"800000", "840000"}},
                      WordCase{"Lijl", {"848000", "880000"}},
                      // Y is a vowel to the group before it.
                      WordCase{"Whyldman", {"758366"}}, WordCase{"Mahyl", {"658000"}},
                      WordCase{"Hyman", {"566000"}}));

// Short and long words, case, and bytes that are not letters.
INSTANTIATE_TEST_SUITE_P(
    Words, DmCodes,
    ::testing::Values(WordCase{"a", {"000000"}}, WordCase{"b", {"700000"}},
                      WordCase{"j", {"100000", "400000"}}, WordCase{"Y", {"100000"}},
                      WordCase{"Lindenbaum", {"863676"}},
                      WordCase{"Lindenbaumstrassenbahn", {"863676"}},
                      WordCase{"PETERSON", {"734600", "739460"}},
                      WordCase{"pEtErSoN", {"734600", "739460"}}, WordCase{"Ben Aron", {"769600"}},
                      WordCase{"Benaron", {"769600"}}, WordCase{"O'Brien", {"079600"}},
                      WordCase{"", {}}, WordCase{"-- 42 --", {}}));

TEST(DmCodesTest, ReadsOnlyTheGivenLengthOfAnUnterminatedWord) {
  const char text[] = {'P', 'e', 't', 'e', 'r', 's', 'o', 'n'};
  DmCode codes[kMaxDmCodes];
  ASSERT_EQ(DaitchMokotoffCodes(text, 6, codes), 2);
  EXPECT_EQ(std::string(codes[0].Digits, kDmCodeLength), "734000");
  EXPECT_EQ(std::string(codes[1].Digits, kDmCodeLength), "739400");
}

// Six Cs parted by vowels: every six-digit string of 4s and 5s.
TEST(DmCodesTest, GivesEveryCombinationOfManyTwoWayGroups) {
  std::vector<std::string> expected;
  for (int bits = 0; bits < 64; ++bits) {
    std::string digits;
    for (int i = 5; i >= 0; --i) digits += (bits >> i) & 1 ? '5' : '4';
    expected.push_back(digits);
  }
  EXPECT_EQ(Codes("cacacacacacaca"), expected);
}

struct MatchCase {
  const char* word;
  std::vector<std::string> wanted;
  int expected;
};

void PrintTo(const MatchCase& c, std::ostream* os) { *os << '"' << c.word << '"'; }

class DmMatch : public ::testing::TestWithParam<MatchCase> {};

TEST_P(DmMatch, GivesTheFirstWantedCodeOfTheWord) {
  EXPECT_EQ(Match(GetParam().word, GetParam().wanted), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DmMatch,
    ::testing::Values(MatchCase{"Peters", {"734000"}, 0},
                      MatchCase{"Peters", {"111111", "739400"}, 1},
                      MatchCase{"Peters", {"739400", "734000"}, 0},
                      MatchCase{"Peters", {"734000", "739400"}, 0},
                      // Codes that share only their first digits with the word's.
                      MatchCase{"Peters", {"734600", "739460"}, -1},
                      MatchCase{"Rosochowaciec", {"944700", "945756", "945755"}, 2},
                      MatchCase{"Lindenbaumstrassenbahn", {"863670", "863676"}, 1},
                      MatchCase{"Kohn", {"460000", "560000"}, 1},
                      MatchCase{"Cohn", {"560000", "460000"}, 0}, MatchCase{"Cohn", {}, -1},
                      MatchCase{"", {"000000"}, -1}, MatchCase{"xyz", {"000000"}, -1}));

// The matcher's answer is the first wanted code that DaitchMokotoffCodes gives for the word.
struct AgreementCase {
  const char* word;
  const char* other;  // whose codes, with near misses, are wanted
};

void PrintTo(const AgreementCase& c, std::ostream* os) { *os << c.word << " / " << c.other; }

class MatchAgreesWithCodes : public ::testing::TestWithParam<AgreementCase> {};

TEST_P(MatchAgreesWithCodes, ForTheCodesOfAnotherWord) {
  const std::vector<std::string> codes = Codes(GetParam().word);
  std::vector<std::string> wanted;
  for (const std::string& code : Codes(GetParam().other)) {
    std::string nearMiss = code;
    nearMiss[5] = nearMiss[5] == '9' ? '8' : static_cast<char>(nearMiss[5] + 1);
    wanted.push_back(nearMiss);
    wanted.push_back(code);
  }
  int expected = -1;
  for (std::size_t i = 0; i < wanted.size() && expected < 0; ++i) {
    for (const std::string& code : codes) {
      if (code == wanted[i]) expected = static_cast<int>(i);
    }
  }
  EXPECT_EQ(Match(GetParam().word, wanted), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, MatchAgreesWithCodes,
    ::testing::Values(AgreementCase{"Jackson", "Jackson"}, AgreementCase{"Jaxon", "Jackson"},
                      AgreementCase{"Peters", "Peterson"}, AgreementCase{"Peterson", "Peters"},
                      AgreementCase{"Moskowitz", "Moskovitz"},
                      AgreementCase{"Rosochowaciec", "Rosochowaciec"},
                      AgreementCase{"Rosochowacz", "Rosochowaciec"},
                      AgreementCase{"Schwartsenegger", "Schwarzenegger"},
                      AgreementCase{"Halberstadt", "Halberstat"},
                      AgreementCase{"cacacacacacaca", "kakacacacaca"},
                      AgreementCase{"Cohn", "Kohn"}, AgreementCase{"Kohn", "Cohn"}));

}  // namespace
