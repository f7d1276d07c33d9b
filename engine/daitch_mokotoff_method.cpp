// Daitch-Mokotoff Soundex as a method: the query word is coded as it was typed (the chart
// has its own rules for the letter groups that the program's normalisation rewrites: ck,
// sc, doubled letters), no spelling of it is coded, and a word of a file matches when it
// has one of the word's codes (phonetic/daitch_mokotoff.h).
#include <cstring>
#include <new>

#include "engine/sound_method.h"
#include "phonetic/daitch_mokotoff.h"

namespace {

static_assert(sizeof(DmCode) * kMaxDmCodes <= kMaxTermIdentity);

// The longest word a term keeps for --explain; the query language passes on 220 letters.
constexpr std::size_t kShownWordSize = 256;

class DaitchMokotoffTerm final : public HeardTerm {
 public:
  explicit DaitchMokotoffTerm(const SoundMethod& method) : HeardTerm(method) {}

  void Prepare(const char* word) {
    std::size_t length = std::strlen(word);
    CodeCount = DaitchMokotoffCodes(word, static_cast<std::uint32_t>(length), Codes);
    if (length >= kShownWordSize) length = kShownWordSize - 1;
    for (std::size_t i = 0; i < length; ++i) Word[i] = static_cast<char>(word[i] | 0x20);
    Word[length] = '\0';
    const std::uint32_t first = DaitchMokotoffFirstLetters(Codes, CodeCount);
    char list[27];
    int listed = 0;
    for (int letter = 0; letter < 26; ++letter) {
      if ((first >> letter) & 1u) list[listed++] = static_cast<char>('a' + letter);
    }
    list[listed] = 0;
    Starts = MakeStartLetters(list);
  }

  int MatchWord(const std::uint8_t* letters, std::uint32_t length) const override {
    if (length < 2) return -1;  // one-letter words are not words here either
    return MatchDaitchMokotoff(reinterpret_cast<const char*>(letters), length, Codes, CodeCount);
  }

  int MatchWordInPlace(const std::uint8_t* bytes) const override {
    std::uint32_t length = 0;
    while (length < kMaxWordLetters && IsWordLetter(bytes[length])) ++length;
    return MatchWord(bytes, length);
  }

  void CodeOfMatch(int index, char* text) const override {
    text[0] = '\0';
    if (index < 0 || index >= CodeCount) return;
    std::memcpy(text, Codes[index].Digits, kDmCodeLength);
    text[kDmCodeLength] = '\0';
  }

  // The word in lower case, as it is coded, and its codes in ascending order.
  void Explain(std::string* text) const override {
    *text += "word\t";
    *text += Word;
    *text += "\ncodes\t";
    for (int i = 0; i < CodeCount; ++i) {
      if (i > 0) *text += ' ';
      text->append(Codes[i].Digits, kDmCodeLength);
    }
    *text += '\n';
  }

  std::string_view Identity() const override {
    return {reinterpret_cast<const char*>(Codes),
            sizeof(DmCode) * static_cast<std::size_t>(CodeCount)};
  }

 private:
  DmCode Codes[kMaxDmCodes];  // in ascending order
  int CodeCount = 0;
  char Word[kShownWordSize];
};

class DaitchMokotoff final : public SoundMethod {
 public:
  const char* Name() const override { return "dm"; }
  const char* Title() const override { return "Daitch-Mokotoff Soundex"; }
  std::unique_ptr<HeardTerm> Hear(const char* word) const override {
    std::unique_ptr<DaitchMokotoffTerm> term(new (std::nothrow) DaitchMokotoffTerm(*this));
    if (term != nullptr) term->Prepare(word);
    return term;
  }
};

constexpr DaitchMokotoff kDaitchMokotoff;

}  // namespace

const SoundMethod& DaitchMokotoffMethod() { return kDaitchMokotoff; }
