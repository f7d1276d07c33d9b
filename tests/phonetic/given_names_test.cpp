#include "phonetic/given_names.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "phonetic/given_name_extras.h"
#include "phonetic/phonetic_key.h"

namespace {

// member -> "kind" or "kind as written"
std::map<std::string, std::string> FamilyOf(const std::string& word,
                                            const GivenNameExtras* extras = nullptr) {
  GivenNameFamily family;
  const int count =
      FindGivenNameFamily(word.c_str(), static_cast<std::uint32_t>(word.size()), extras, &family);
  EXPECT_EQ(static_cast<std::uint32_t>(count), family.Count);
  std::map<std::string, std::string> members;
  for (std::uint32_t i = 0; i < family.Count; ++i) {
    const GivenNameMember& m = family.Members[i];
    members[m.Word] = std::string(GivenNameKindName(m.Kind)) + (m.AsWritten ? " as written" : "");
  }
  return members;
}

struct FamilyCase {
  std::string word;
  std::vector<std::string> has;  // "member=kind"
  std::vector<std::string> hasNot;
};

class GivenNameFamilyTest : public ::testing::TestWithParam<FamilyCase> {
 protected:
  void SetUp() override { InitialisePhonetics(); }
};

TEST_P(GivenNameFamilyTest, HoldsItsMembersWithTheirKinds) {
  const FamilyCase& c = GetParam();
  const auto family = FamilyOf(c.word);
  for (const std::string& expected : c.has) {
    const std::string member = expected.substr(0, expected.find('='));
    ASSERT_TRUE(family.count(member)) << c.word << " lacks " << member;
    // "heard" and "written": any kind, heard or matched as written.
    std::string kind = family.at(member);
    const bool written = kind.ends_with("as written");
    if (expected.ends_with("=heard") && !written) kind = "heard";
    if (expected.ends_with("=written") && written) kind = "written";
    EXPECT_EQ(member + "=" + kind, expected) << c.word;
  }
  for (const std::string& member : c.hasNot) EXPECT_FALSE(family.count(member)) << member;
}

INSTANTIATE_TEST_SUITE_P(
    Families, GivenNameFamilyTest,
    ::testing::Values(
        // Nicknames of one sound after the first letter, and accusatives, only as written.
        FamilyCase{"William",
                   {"bill=written", "billy=written", "will=written", "willie=written",
                    "gulielmus=latin", "gulielmi=latin", "guilielmus=latin",
                    "gulielmum=latin as written", "wm=abbreviation as written",
                    "willm=abbreviation as written"},
                   {"william"}},
        FamilyCase{"margaret",
                   {"peggy=written", "maggie=written", "meg=written", "margareta=latin",
                    "margaretae=latin", "margt=abbreviation as written"},
                   {}},
        FamilyCase{"ABIGAIL", {"abby=written", "nabby=written"}, {}},
        // A nickname finds its names and their forms, not the names' other nicknames.
        FamilyCase{"peggy", {"margaret=name", "margarita=latin", "margt=abbreviation as written"},
                   {"meg", "maggie"}},
        // A Latin form or an abbreviation is the name itself: its nicknames come too.
        FamilyCase{"gulielmi",
                   {"william=name", "gulielmus=latin", "bill=written", "wm=abbreviation as written"},
                   {"gulielmi"}},
        FamilyCase{"wm", {"william=name", "willm=abbreviation as written", "guilielmo=latin"}, {}},
        // A word both heard and written (Latin Jacobus of James and Jacob) is heard.
        FamilyCase{"jacobi", {"james=name", "jacob=name", "jas=abbreviation as written"}, {}},
        FamilyCase{"xyzzy", {}, {}}));

TEST(GivenNameFamily, NoFamilyForAWordOfOneLetterOrOfOtherBytes) {
  InitialisePhonetics();
  EXPECT_TRUE(FamilyOf("w").empty());
  EXPECT_TRUE(FamilyOf("wil1iam").empty());
  EXPECT_TRUE(FamilyOf(std::string(63, 'a')).empty());
  EXPECT_TRUE(FamilyOf("").empty());
}

// The forms of records that a search must bring together, each way round.
struct FormCase {
  std::string name, form;
  bool asWritten;
};
class GivenNameFormTest : public ::testing::TestWithParam<FormCase> {
 protected:
  void SetUp() override { InitialisePhonetics(); }
};

TEST_P(GivenNameFormTest, LinksTheNameAndTheFormBothWays) {
  const FormCase& c = GetParam();
  const auto ofName = FamilyOf(c.name);
  ASSERT_TRUE(ofName.count(c.form)) << c.name << " lacks " << c.form;
  // A Latin form is no abbreviation (Johannes is a name of its own too).
  if (!c.asWritten) {
    EXPECT_FALSE(ofName.at(c.form).starts_with("abbreviation")) << c.form;
  }
  const auto ofForm = FamilyOf(c.form);
  ASSERT_TRUE(ofForm.count(c.name)) << c.form << " lacks " << c.name;
  EXPECT_TRUE(ofForm.at(c.name).starts_with("name")) << ofForm.at(c.name);
}

std::vector<FormCase> Forms() {
  const std::vector<std::pair<const char*, const char*>> latin = {
      {"william", "gulielmus guilielmus gulielmi gulielmum gulielmo"},
      {"john", "johannes johannis johanni johannem"},
      {"james", "jacobus jacobi"},
      {"charles", "carolus caroli"},
      {"henry", "henricus henrici"},
      {"mary", "maria mariae"},
      {"elizabeth", "elizabetha elizabethae elizabetham"},
      {"thomas", "thome thomae"},
      {"david", "davidus davidis"},
      {"agnes", "agneta agnetis"},
      {"simon", "simonis"},
      {"hugh", "hugo hugonis"},
      {"alexander", "alexandri"},
      {"andrew", "andreas andreae"},
      {"peter", "petrus petri"},
      {"olaf", "olaus olai"}};
  const std::vector<std::pair<const char*, const char*>> written = {
      {"william", "wm willm"}, {"john", "jno"},        {"james", "jas"},
      {"charles", "chas"},     {"thomas", "thos"},     {"george", "geo"},
      {"samuel", "saml"},      {"benjamin", "benj"},   {"richard", "richd"},
      {"robert", "robt"},      {"edward", "edwd"},     {"joseph", "jos"},
      {"elizabeth", "eliz"},   {"margaret", "margt"},  {"christopher", "xpher"},
      {"daniel", "danl"},      {"nathaniel", "nathl"}, {"alexander", "alexr"},
      {"frederick", "fredk"}};
  std::vector<FormCase> cases;
  for (const auto& [list, asWritten] :
       {std::make_pair(&latin, false), std::make_pair(&written, true)}) {
    for (const auto& [name, forms] : *list) {
      std::string text = forms;
      for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find(' ', at);
        if (end == std::string::npos) end = text.size();
        cases.push_back({name, text.substr(at, end - at), asWritten});
        at = end + 1;
      }
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(RecordForms, GivenNameFormTest, ::testing::ValuesIn(Forms()),
                         [](const auto& info) { return info.param.name + "_" + info.param.form; });

TEST(GivenNameExtras, ReadsGoodLinesAndNamesTheLineOfEachBadOne) {
  InitialisePhonetics();
  const std::string text =
      "# my own\n"
      "Hamish: james jamie\n"
      "\n"
      "hamish jas\n"         // 4: no colon
      "william: wm. b1ll\n"  // 5: a bad word spoils the whole line
      "ealasaid: eliz.  # abbreviation\r\n"
      "x: y\n"   // 7: too short
      "peg:\n";  // 8: nothing to link
  GivenNameExtras extras;
  EXPECT_EQ(extras.Read(text.data(), text.size()), 4);
  std::vector<int> lines;
  for (const GivenNameProblem& p : extras.Problems()) lines.push_back(p.Line);
  EXPECT_EQ(lines, (std::vector<int>{4, 5, 7, 8}));
  EXPECT_NE(extras.Problems()[1].Reason.find("\"b1ll\""), std::string::npos);
  ASSERT_EQ(extras.Links().size(), 3u);

  // The user's links join the table's both ways; a word with a point is matched as written.
  auto hamish = FamilyOf("hamish", &extras);
  EXPECT_EQ(hamish["james"], "nickname");
  EXPECT_EQ(FamilyOf("james", &extras)["hamish"], "name");
  EXPECT_EQ(FamilyOf("ealasaid", &extras)["eliz"], "abbreviation as written");
  EXPECT_EQ(FamilyOf("eliz", &extras)["ealasaid"], "name");
  EXPECT_FALSE(FamilyOf("william", &extras).count("b1ll"));
}

}  // namespace
