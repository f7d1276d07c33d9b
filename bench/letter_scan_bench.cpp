// How fast the word reading of today's encodings reads beside the byte reading, both listing
// every match of one name (Moses) in 20 MB of text held in memory and given in reads of
// 64 KiB: over ASCII text, and over the same text with one word in ten given an accented
// letter (UTF-8). Each iteration runs both; the counters are the best pass of each in MB/s,
// and their ratio (the letter reading's speed as a share of the byte reading's).
// The text is the King James Bible (bench/data/kjv.txt, which bench/build_corpus.sh makes, or
// the file TESSIK_BENCH_TEXT names) repeated, else words of the system's word list.
// A third pair lists Kowalski: the byte reading over that ASCII text against the letter
// reading over as many bytes of words nearly all beyond ASCII (bench/data/letters/words.txt,
// which bench/build_letters_text.sh makes, or the file TESSIK_LETTERS_TEXT names).
//   letter_scan_bench [--benchmark_filter=...]
// The aims: a ratio of at least 0.9 over ASCII text, 0.5 over the accented text, and over the
// words beyond ASCII 0.25 and 500 MB/s.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>

#include "engine/chunk_scanner.h"
#include "engine/letter_scanner.h"
#include "engine/sound_method.h"
#include "phonetic/phonetic_key.h"

namespace {

constexpr std::size_t kTextSize = 20 * 1024 * 1024;
constexpr std::uint32_t kRead = 65536;

std::string ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string WordListText() {
  std::ifstream in("/usr/share/dict/words");
  std::string word;
  std::string text;
  std::mt19937 random(5);
  const char* const between[] = {" ", " ", " ", " ", ", ", ".\n", "; "};
  std::string words;
  while (in >> word) words += word + '\n';
  if (words.empty()) words = "Moses\nAaron\nthe\nand\nof\nlight\nearth\nheaven\n";
  std::string lines = words;
  std::size_t at = 0;
  while (text.size() < kTextSize) {
    const std::size_t end = lines.find('\n', at);
    text += lines.substr(at, end - at);
    text += between[random() % std::size(between)];
    at = end + 1 >= lines.size() ? 0 : end + 1;
  }
  return text;
}

const std::string& AsciiText() {
  static const std::string text = [] {
    const char* named = std::getenv("TESSIK_BENCH_TEXT");
    std::string source =
        ReadFile(named != nullptr ? named : TESSIK_SOURCE_DIR "/bench/data/kjv.txt");
    if (source.empty()) return WordListText().substr(0, kTextSize);
    std::string repeated;
    while (repeated.size() < kTextSize) repeated += source;
    repeated.resize(kTextSize);
    return repeated;
  }();
  return text;
}

// Every tenth word (a run of letters) has its first vowel accented.
const std::string& AccentedText() {
  static const std::string text = [] {
    const std::string& ascii = AsciiText();
    std::string out;
    out.reserve(ascii.size() + ascii.size() / 30);
    std::size_t words = 0;
    bool inWord = false;
    bool pending = false;
    for (char c : ascii) {
      const bool letter = (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
      if (letter && !inWord) pending = ++words % 10 == 0;
      inWord = letter;
      const char* accented = nullptr;
      if (pending) {
        switch (c) {
          case 'a':
            accented = "\xC3\xA0";
            break;  // à
          case 'e':
            accented = "\xC3\xA9";
            break;  // é
          case 'i':
            accented = "\xC3\xAD";
            break;  // í
          case 'o':
            accented = "\xC3\xB6";
            break;  // ö
          case 'u':
            accented = "\xC3\xBC";
            break;  // ü
          default:
            break;
        }
      }
      if (accented != nullptr) {
        out += accented;
        pending = false;
      } else {
        out += c;
      }
      if (!letter) pending = false;
    }
    return out;
  }();
  return text;
}

int CountMatch(void* context, const WordFound&) {
  ++*static_cast<std::int64_t*>(context);
  return kScanGoOn;
}

const HeardTerm& Term(const char* word) {
  static const bool initialised = (InitialisePhonetics(), true);
  (void)initialised;
  static std::unique_ptr<HeardTerm> moses = DefaultSoundMethod().Hear("Moses");
  static std::unique_ptr<HeardTerm> kowalski = DefaultSoundMethod().Hear("Kowalski");
  return std::string(word) == "Moses" ? *moses : *kowalski;
}

// As many bytes of the letters' text as the ASCII text has (it is repeated if shorter); empty
// when there is none.
const std::string& LettersText() {
  static const std::string text = [] {
    const char* named = std::getenv("TESSIK_LETTERS_TEXT");
    std::string source =
        ReadFile(named != nullptr ? named : TESSIK_SOURCE_DIR "/bench/data/letters/words.txt");
    if (source.empty()) return source;
    std::string repeated;
    while (repeated.size() < AsciiText().size()) repeated += source;
    repeated.resize(AsciiText().size());
    return repeated;
  }();
  return text;
}

template <typename Scan>
double Pass(const std::string& text, const HeardTerm& term, std::int64_t* found) {
  static Scan scan;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const auto began = std::chrono::steady_clock::now();
  *found = 0;
  scan.Start(term, true, 1, CountMatch, found);
  for (std::size_t at = 0; at < text.size(); at += kRead) {
    const auto count =
        static_cast<std::uint32_t>(text.size() - at < kRead ? text.size() - at : kRead);
    scan.Read(bytes + at, count, static_cast<std::int64_t>(at));
  }
  scan.Finish(static_cast<std::int64_t>(text.size()));
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
}

// The two readings one after the other in each iteration, so that a machine busy with other
// work slows both alike; the fastest pass of each counts. The byte reading reads `text`, the
// letter reading `letters`, of the same size.
void Compare(benchmark::State& state, const std::string& text, const std::string& letters,
             const char* word) {
  if (letters.empty()) {
    state.SkipWithError("no text of words beyond ASCII: run bench/build_letters_text.sh");
    return;
  }
  const HeardTerm& term = Term(word);
  double bytesBest = 1e9;
  double lettersBest = 1e9;
  std::int64_t bytesFound = 0;
  std::int64_t lettersFound = 0;
  for (auto _ : state) {
    bytesBest = std::min(bytesBest, Pass<ChunkScan>(text, term, &bytesFound));
    lettersBest = std::min(lettersBest, Pass<LetterScan>(letters, term, &lettersFound));
  }
  const double megabytes = static_cast<double>(text.size()) / 1e6;
  state.counters["bytes_MBps"] = megabytes / bytesBest;
  state.counters["letters_MBps"] = megabytes / lettersBest;
  state.counters["ratio"] = bytesBest / lettersBest;
  state.counters["bytes_matches"] = static_cast<double>(bytesFound);
  state.counters["letters_matches"] = static_cast<double>(lettersFound);
}

void BM_Ascii(benchmark::State& state) { Compare(state, AsciiText(), AsciiText(), "Moses"); }
void BM_Accented(benchmark::State& state) {
  Compare(state, AccentedText(), AccentedText(), "Moses");
}
void BM_Letters(benchmark::State& state) {
  Compare(state, AsciiText(), LettersText(), "Kowalski");
}

BENCHMARK(BM_Ascii)->Name("ascii")->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_Accented)->Name("accented")->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_Letters)->Name("letters")->Unit(benchmark::kMillisecond)->MinTime(3);

}  // namespace

BENCHMARK_MAIN();
