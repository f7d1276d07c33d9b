// How long the coder takes per word: the key of one file word, and the whole preparation
// of one query term (normalisation, variants, their keys, duplicate removal); and the same
// two for Daitch-Mokotoff Soundex: a file word's test against a name's codes, and the codes
// of one word.
#include <benchmark/benchmark.h>

#include <cctype>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "phonetic/daitch_mokotoff.h"
#include "phonetic/phonetic_key.h"
#include "phonetic/prepared_term.h"

namespace {

// Used when the machine has no word list.
const char* const kNames[] = {
    "Aaron",      "Abigail",    "Adams",     "Adrian",       "Agnes",     "Ajax",       "Albert",
    "Alexander",  "Alice",      "Allen",     "Amanda",       "Anderson",  "Andrew",     "Angela",
    "Anthony",    "Ashcraft",   "Baker",     "Barbara",      "Barnes",    "Bastian",    "Bell",
    "Benjamin",   "Bennett",    "Bernard",   "Brooks",       "Brown",     "Bryant",     "Butler",
    "Campbell",   "Carter",     "Catherine", "Cecilia",      "Charles",   "Christine",  "Clark",
    "Coleman",    "Collins",    "Constance", "Constitution", "Cooper",    "Coxswain",   "Cyril",
    "Daniel",     "David",      "Davis",     "Diaz",         "Dodd",      "Dorothy",    "Edward",
    "Edwards",    "Elizabeth",  "Ellen",     "Emily",        "Evans",     "Exxon",      "Fisher",
    "Flores",     "Foster",     "Foxx",      "Frances",      "Gabriel",   "Garcia",     "Gary",
    "George",     "Gerald",     "Gonzales",  "Graham",       "Gray",      "Green",      "Griffin",
    "Gzell",      "Hajj",       "Hall",      "Harris",       "Hayes",     "Helen",      "Henderson",
    "Hernandez",  "Hill",       "Honeyman",  "Howard",       "Hughes",    "Hutchinson", "Jackson",
    "Jacqueline", "James",      "Jenkins",   "Jennifer",     "Jessica",   "Jill",       "Johnson",
    "Jones",      "Joseph",     "Joshua",    "Katherine",    "Kelly",     "Kenneth",    "Kimberly",
    "King",       "Kirk",       "Knight",    "Ksenia",       "Ksheer",    "Laura",      "Lee",
    "Lewis",      "Lloyd",      "Long",      "Lopez",        "Margaret",  "Maria",      "Martian",
    "Martin",     "Martinez",   "Matthew",   "Michel",       "Michelle",  "Miller",     "Mitchell",
    "Moore",      "Morgan",     "Morris",    "Murphy",       "Nancy",     "Nelson",     "Nicholas",
    "Nguyen",     "Pamela",     "Parker",    "Patricia",     "Patterson", "Perez",      "Perry",
    "Peterson",   "Pfister",    "Philip",    "Phillips",     "Powell",    "Price",      "Psalm",
    "Rachel",     "Ramirez",    "Rebecca",   "Reed",         "Richard",   "Richardson", "Rivera",
    "Robert",     "Roberts",    "Robinson",  "Rodriguez",    "Rogers",    "Ross",       "Rupert",
    "Russell",    "Ryan",       "Sanchez",   "Sanders",      "Sandra",    "Schmidt",    "Sciences",
    "Scott",      "Sebastian",  "Sharon",    "Sheila",       "Shchukin",  "Simmons",    "Smith",
    "Stephanie",  "Stephen",    "Stewart",   "Sullivan",     "Susan",     "Taylor",     "Thomas",
    "Thompson",   "Timothy",    "Torres",    "Turner",       "Uwe",       "Victoria",   "Walker",
    "Ward",       "Washington", "Watson",    "White",        "Whitney",   "Williams",   "Wilson",
    "Wood",       "Wright",     "Xenia",     "Xhosa",        "Xhoshi",    "Young",      "Yvonne",
    "Zhora",      "Zoe",
};

// Words of letters only, 1 to 220 of them, as the query language lets them through.
const std::vector<std::string>& Words() {
  static const std::vector<std::string> words = [] {
    std::vector<std::string> list;
    std::ifstream in("/usr/share/dict/words");
    std::string line;
    while (std::getline(in, line)) {
      bool letters = !line.empty() && line.size() <= 220;
      for (char c : line) letters = letters && std::isalpha(static_cast<unsigned char>(c));
      if (letters) list.push_back(line);
    }
    if (list.empty()) list.assign(std::begin(kNames), std::end(kNames));
    return list;
  }();
  return words;
}

// The file side codes lower-case words.
const std::vector<std::string>& LowerCaseWords() {
  static const std::vector<std::string> words = [] {
    std::vector<std::string> list = Words();
    for (std::string& word : list) {
      for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return list;
  }();
  return words;
}

void BM_ComputePhoneticKey(benchmark::State& state) {
  InitialisePhonetics();
  const std::vector<std::string>& words = LowerCaseWords();
  for (auto _ : state) {
    for (const std::string& word : words) {
      benchmark::DoNotOptimize(
          ComputePhoneticKey(word.data(), static_cast<std::uint32_t>(word.size())));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(words.size()));
}
BENCHMARK(BM_ComputePhoneticKey);

void BM_PrepareTerm(benchmark::State& state) {
  InitialisePhonetics();
  const std::vector<std::string>& words = Words();
  PreparedTerm term;
  for (auto _ : state) {
    for (const std::string& word : words) {
      PrepareTerm(word.c_str(), &term);
      benchmark::DoNotOptimize(term);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(words.size()));
}
BENCHMARK(BM_PrepareTerm);

// Most words fail at their first group; the name's codes (Peterson: 734600 and 739460) are
// the common case of a query with two codes.
void BM_MatchDaitchMokotoff(benchmark::State& state) {
  DmCode wanted[kMaxDmCodes];
  const int count = DaitchMokotoffCodes("Peterson", 8, wanted);
  const std::vector<std::string>& words = LowerCaseWords();
  std::int64_t matches = 0;
  for (auto _ : state) {
    for (const std::string& word : words) {
      matches += MatchDaitchMokotoff(word.data(), static_cast<std::uint32_t>(word.size()), wanted,
                                     count) >= 0;
    }
  }
  benchmark::DoNotOptimize(matches);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(words.size()));
}
BENCHMARK(BM_MatchDaitchMokotoff);

void BM_DaitchMokotoffCodes(benchmark::State& state) {
  const std::vector<std::string>& words = Words();
  DmCode codes[kMaxDmCodes];
  for (auto _ : state) {
    for (const std::string& word : words) {
      benchmark::DoNotOptimize(
          DaitchMokotoffCodes(word.data(), static_cast<std::uint32_t>(word.size()), codes));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(words.size()));
}
BENCHMARK(BM_DaitchMokotoffCodes);

}  // namespace

BENCHMARK_MAIN();
