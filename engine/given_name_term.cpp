// A match's index tells whose it is: the query word's own indexes stay as its method gives
// them; a heard member's are kMemberBase + member * kMemberStride + its own index; an
// abbreviation's kWrittenBase + its place. Names have a handful of keys or codes, far fewer
// than kMemberStride; a member's index beyond it is shown as its last one that fits.
// When the method can join the query word's term and the members' into one (the program's
// own method, while their keys fit one term), a word of a file is coded once for all of
// them and the joined key tells whose it is; otherwise each is asked in turn, only those
// whose words may begin with the word's first letter.
#include "engine/given_name_term.h"

#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr int kMemberBase = 1024;
constexpr int kMemberStride = 256;
constexpr int kWrittenBase = 30000;
static_assert(kMemberBase + kMaxFamilyMembers * kMemberStride <= kWrittenBase);
static_assert(kWrittenBase + kMaxFamilyMembers < 32768);

struct HeardMember {
  std::unique_ptr<HeardTerm> Term;
  const GivenNameMember* Member;
};

class GivenNameTerm final : public HeardTerm {
 public:
  GivenNameTerm(const SoundMethod& method, std::unique_ptr<HeardTerm> query)
      : HeardTerm(method), query_(std::move(query)) {}

  // Hears every member that is heard; false when there is no memory for one.
  bool Prepare(const GivenNameFamily& family) {
    family_ = family;
    identity_ = std::string(query_->Identity());
    identity_ += '\0';
    for (std::uint32_t i = 0; i < family_.Count; ++i) {
      const GivenNameMember& member = family_.Members[i];
      identity_ += member.AsWritten ? '=' : '~';
      identity_ += member.Word;
      if (member.AsWritten) {
        written_.push_back(&member);
        continue;
      }
      std::unique_ptr<HeardTerm> term = Method.Hear(member.Word);
      if (term == nullptr) return false;
      heard_.push_back({std::move(term), &member});
    }
    for (std::size_t m = 0; m < heard_.size(); ++m) {
      for (int letter = 0; letter < 26; ++letter) {
        if (heard_[m].Term->Starts.IsStart['a' + letter]) byFirst_[letter].push_back(m);
      }
    }
    for (std::size_t w = 0; w < written_.size(); ++w) {
      const char* word = written_[w]->Word;
      writtenByFirst_[word[0] - 'a'].push_back(w);
      const unsigned second = static_cast<unsigned>(word[1] - 'a');
      writtenSeconds_[word[0] - 'a'] |= second < 26 ? 1u << second : 0x3FFFFFFu;
    }
    if (!Join()) return false;
    PrepareStarts();
    ManyWords = true;
    return true;
  }

  int MatchWord(const std::uint8_t* letters, std::uint32_t length) const override {
    if (joined_ != nullptr) {
      const int key = joined_->MatchWord(letters, length);
      if (key < 0) return MatchWritten(letters, length);
      return OfJoined(key, letters, length, query_->MatchWord(letters, length));
    }
    const int own = query_->MatchWord(letters, length);
    if (own >= 0) return own;
    for (const std::size_t m : byFirst_[(letters[0] | 0x20) - 'a']) {
      const int index = heard_[m].Term->MatchWord(letters, length);
      if (index >= 0) return Exact(m, index, letters, length);
    }
    return MatchWritten(letters, length);
  }

  int MatchWordInPlace(const std::uint8_t* bytes) const override {
    if (joined_ != nullptr) {
      const int key = joined_->MatchWordInPlace(bytes);
      if (key == kWordUndecided) return kWordUndecided;
      if (key < 0) return MatchWrittenAt(bytes);
      const int own = query_->MatchWordInPlace(bytes);
      return own == kWordUndecided ? kWordUndecided : OfJoined(key, bytes, LettersAt(bytes), own);
    }
    const int own = query_->MatchWordInPlace(bytes);
    if (own != -1) return own;
    for (const std::size_t m : byFirst_[(bytes[0] | 0x20) - 'a']) {
      const int index = heard_[m].Term->MatchWordInPlace(bytes);
      if (index == kWordUndecided) return kWordUndecided;
      if (index >= 0) return Exact(m, index, bytes, LettersAt(bytes));
    }
    return MatchWrittenAt(bytes);
  }

  void CodeOfMatch(int index, char* text) const override {
    text[0] = '\0';
    const HeardTerm* term = TermOf(&index);
    if (term != nullptr) term->CodeOfMatch(index, text);
  }

  const char* SpellingOfMatch(int index) const override {
    const HeardTerm* term = TermOf(&index);
    return term != nullptr ? term->SpellingOfMatch(index) : nullptr;
  }

  // A member's score above its threshold by more than kMemberStride - 1 is shown as that.
  int ScoreOfMatch(int index) const override {
    const HeardTerm* term = TermOf(&index);
    return term != nullptr ? term->ScoreOfMatch(index) : kNoScore;
  }

  const GivenNameMember* EquivalentOfMatch(int index) const override {
    if (index >= kWrittenBase && index - kWrittenBase < static_cast<int>(written_.size()))
      return written_[static_cast<std::size_t>(index - kWrittenBase)];
    if (index < kMemberBase) return nullptr;
    const std::size_t member = static_cast<std::size_t>((index - kMemberBase) / kMemberStride);
    return member < heard_.size() ? heard_[member].Member : nullptr;
  }

  // What the query word's method shows, then one line for each member of the family: the
  // member, its kind, and its keys or codes, or "as written".
  void Explain(std::string* text) const override {
    query_->Explain(text);
    std::size_t heard = 0;
    for (std::uint32_t i = 0; i < family_.Count; ++i) {
      const GivenNameMember& member = family_.Members[i];
      *text += "family\t";
      *text += member.Word;
      *text += '\t';
      *text += GivenNameKindName(member.Kind);
      *text += '\t';
      if (member.AsWritten) {
        *text += "as written\n";
        continue;
      }
      const HeardTerm& term = *heard_[heard++].Term;
      char code[8];
      for (int k = 0;; ++k) {
        term.CodeOfMatch(k, code);
        if (code[0] == '\0') break;
        if (k > 0) *text += ' ';
        *text += code;
      }
      *text += '\n';
    }
  }

  std::string_view Identity() const override { return identity_; }

 private:
  // The start finder looks only at the words that the query word or a member may match by
  // their first two letters: the pairs of the tables of the query word's term and of the
  // heard members, and each abbreviation's first two letters. Each start letter is followed
  // by its own letters, as the pairs that begin with it end.
  void PrepareStarts() {
    std::uint64_t pairLengths[32 * 32] = {};
    query_->AddPairLengths(pairLengths);
    for (const HeardMember& member : heard_) member.Term->AddPairLengths(pairLengths);
    for (const GivenNameMember* member : written_) {
      const char* word = member->Word;
      std::uint32_t length = static_cast<std::uint32_t>(std::strlen(word));
      if (length > kLongestPairLength) length = kLongestPairLength;
      pairLengths[32 * (word[0] & 31) + (word[1] & 31)] |= std::uint64_t{1} << (length - 1);
    }
    char starts[27];
    std::uint32_t followersOf[26] = {};
    int s = 0;
    for (char letter = 'a'; letter <= 'z'; ++letter) {
      for (int next = 0; next < 26; ++next) {
        if (pairLengths[32 * (letter & 31) + next + 1] != 0)
          followersOf[letter - 'a'] |= 1u << next;
      }
      if (followersOf[letter - 'a'] != 0) starts[s++] = letter;
    }
    starts[s] = 0;
    Starts = MakeStartLettersByLetter(starts, followersOf);
  }

  static std::uint32_t LettersAt(const std::uint8_t* bytes) {
    std::uint32_t length = 0;
    while (length < kMaxWordLetters && IsWordLetter(bytes[length])) ++length;
    return length;
  }

  static bool SameWord(const char* word, const std::uint8_t* letters, std::uint32_t length) {
    std::uint32_t i = 0;
    while (i < length && word[i] == static_cast<char>(letters[i] | 0x20)) ++i;
    return i == length && word[i] == '\0';
  }

  // The match of member `member` (the first that hears the word), or, when a later member
  // is the very word, that member's: the occurrence of Gulielmi is shown as found through
  // Gulielmi, not through Guilielme, which has its key.
  int Exact(std::size_t member, int index, const std::uint8_t* letters,
            std::uint32_t length) const {
    for (std::size_t m = member; m < heard_.size(); ++m) {
      if (!SameWord(heard_[m].Member->Word, letters, length)) continue;
      const int own = heard_[m].Term->MatchWord(letters, length);
      if (own >= 0) return MemberIndex(m, own);
    }
    const int written = MatchWritten(letters, length);
    return written >= 0 ? written : MemberIndex(member, index);
  }

  static int MemberIndex(std::size_t member, int index) {
    if (index >= kMemberStride) index = kMemberStride - 1;
    return kMemberBase + static_cast<int>(member) * kMemberStride + index;
  }

  int MatchWritten(const std::uint8_t* letters, std::uint32_t length) const {
    for (const std::size_t w : writtenByFirst_[(letters[0] | 0x20) - 'a']) {
      if (SameWord(written_[w]->Word, letters, length)) return kWrittenBase + static_cast<int>(w);
    }
    return -1;
  }

  // The same for a word read in place, compared letter by letter where it stands: most
  // words of a text that begin with an abbreviation's first letter differ from it in their
  // second, which a mask of the second letters of the abbreviations with that first letter
  // tells at once.
  int MatchWrittenAt(const std::uint8_t* bytes) const {
    const int first = (bytes[0] | 0x20) - 'a';
    const unsigned second = static_cast<unsigned>((bytes[1] | 0x20) - 'a');
    if (second >= 26 || ((writtenSeconds_[first] >> second) & 1u) == 0) return -1;
    for (const std::size_t w : writtenByFirst_[first]) {
      if (SameWordAt(written_[w]->Word, bytes)) return kWrittenBase + static_cast<int>(w);
    }
    return -1;
  }

  // Whether the word read in place at `bytes` is `word` (lower-case), its letters beyond
  // kMaxWordLetters not counted, as LettersAt and SameWord would tell.
  static bool SameWordAt(const char* word, const std::uint8_t* bytes) {
    std::uint32_t i = 0;
    while (word[i] != '\0' && word[i] == static_cast<char>(bytes[i] | 0x20)) ++i;
    return word[i] == '\0' && (i >= kMaxWordLetters || !IsWordLetter(bytes[i]));
  }

  // The term that answers for `*index`, with *index made its own; nullptr for an
  // abbreviation or an index that is none.
  const HeardTerm* TermOf(int* index) const {
    if (*index < kMemberBase) return query_.get();
    if (*index >= kWrittenBase) return nullptr;
    const std::size_t member = static_cast<std::size_t>((*index - kMemberBase) / kMemberStride);
    if (member >= heard_.size()) return nullptr;
    *index = (*index - kMemberBase) % kMemberStride;
    return heard_[member].Term.get();
  }

  // Joins the query word's term and the heard members' when the method can, and finds for
  // each joined key the first of them (the query word first) that has it. False when
  // there is no memory.
  bool Join() {
    std::vector<const HeardTerm*> terms{query_.get()};
    for (const HeardMember& member : heard_) terms.push_back(member.Term.get());
    joined_ = Method.Join(terms.data(), static_cast<int>(terms.size()));
    if (joined_ == nullptr) return true;
    char code[8], other[8];
    for (int k = 0;; ++k) {
      joined_->CodeOfMatch(k, code);
      if (code[0] == '\0') break;
      int found = -1;
      for (std::size_t t = 0; t < terms.size() && found < 0; ++t) {
        for (int j = 0; j < kMemberStride; ++j) {
          terms[t]->CodeOfMatch(j, other);
          if (other[0] == '\0') break;
          if (std::strcmp(code, other) != 0) continue;
          found = t == 0 ? j : MemberIndex(t - 1, j);
          break;
        }
      }
      if (found < 0) {  // a key of none of them: the method joined what it was not given
        joined_.reset();
        return true;
      }
      ofJoined_.push_back(found);
    }
    return true;
  }

  // The match of joined key `key`: the query word's own match when it has one (so a word
  // it finds is found as without the family), else the member whose key it is, or the
  // member that is the very word.
  int OfJoined(int key, const std::uint8_t* letters, std::uint32_t length, int own) const {
    if (own >= 0) return own;
    if (key >= static_cast<int>(ofJoined_.size())) return -1;
    const int index = ofJoined_[static_cast<std::size_t>(key)];
    if (index < kMemberBase) return index;
    return Exact(static_cast<std::size_t>((index - kMemberBase) / kMemberStride),
                 (index - kMemberBase) % kMemberStride, letters, length);
  }

  std::unique_ptr<HeardTerm> query_;
  std::unique_ptr<HeardTerm> joined_;
  std::vector<int> ofJoined_;
  std::vector<std::size_t> byFirst_[26];
  std::vector<std::size_t> writtenByFirst_[26];
  // Bit s of writtenSeconds_[f]: an abbreviation begins with letters f and s (0: a, ...).
  std::uint32_t writtenSeconds_[26] = {};
  GivenNameFamily family_;
  std::vector<HeardMember> heard_;
  std::vector<const GivenNameMember*> written_;
  std::string identity_;
};

}  // namespace

std::unique_ptr<HeardTerm> HearWithGivenNames(const SoundMethod& method, const char* word,
                                              const GivenNameExtras* extras) {
  std::unique_ptr<HeardTerm> query = method.Hear(word);
  if (query == nullptr) return nullptr;
  std::unique_ptr<GivenNameFamily> family(new (std::nothrow) GivenNameFamily);
  if (family == nullptr) return nullptr;
  if (FindGivenNameFamily(word, static_cast<std::uint32_t>(std::strlen(word)), extras,
                          family.get()) == 0)
    return query;
  std::unique_ptr<GivenNameTerm> term(new (std::nothrow) GivenNameTerm(method, std::move(query)));
  if (term == nullptr || !term->Prepare(*family)) return nullptr;
  return term;
}
