// Two readings share one file. The byte reading (ChunkScan) reads every read of a UTF-8 file
// whole, at its own speed; the decoded reading has the regions: each run of letters, joiners
// and non-ASCII bytes between two ASCII separators that holds a non-ASCII byte. Every word of
// the byte reading that touches a non-ASCII byte lies in a region, and every word of a region
// touches one (or a joiner spoils it), so the byte reading's matches that touch a non-ASCII
// byte are set aside and the regions' words are the decoded reading's. A listing scan lists
// a region's matches before the byte reading's next one, so they come in file order.
//
// A read with a non-ASCII byte is classed in bulk into maps (MapBlock): its non-ASCII bytes,
// its ASCII separators, and the places where a region may hold a word the term can match. A
// region without such a place is passed over unread; so is one that begins with a two-byte
// letter whose folding cannot begin with a letter the term's words begin with, and has no
// other. A region that is one word of ASCII and two-byte letters is folded from its bytes: one
// that begins with an ASCII letter from the table of Latin letters, one that begins with a
// two-byte letter by the quick folding of its UTF-8 (FoldTwoByteWordQuickly); one with Greek
// or Cyrillic letters that neither takes by the rules over its code points. Any other region
// is decoded.
//
// A region that runs to the end of a read, a file that begins with a non-ASCII byte (it may
// have a byte-order mark) and a UTF-16 file are decoded throughout (Decoding), up to an ASCII
// separator where no word is open and the decoder holds nothing back.
#include "engine/letter_scanner.h"

#include <array>
#include <bit>
#include <cstring>
#include <new>

#include "engine/word_starts.h"
#include "phonetic/letter_fold.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace {

// Where the decoded reading stands.
enum Where : std::uint8_t {
  kOutside,            // after a separator
  kInside,             // in a word
  kSpoiltAfterLetter,  // in a run that a joiner spoils, after a letter (or its mark)
  kSpoiltAfterJoiner,  // the same, after the joiner
};

// Letters that fold to at least one letter, kept in a word before its folding is decided.
// Sixty-two letters come from at most 63 of them (only a pair at a word's start, Greek mu-pi
// or nu-tau, gives one letter for two), and the folding of a letter looks at most two
// letters past it (a vowel, its upsilon and the letter after).
constexpr std::uint32_t kDecidingLetters = kMaxWordLetters + 4;
// Each such letter comes with at most two marks, one letter that folds to nothing and its two
// marks; and the word may begin with one of those and its marks.
static_assert(3 + 6 * kDecidingLetters <= kKeptCodePoints, "a decided word must fit");

// What the bounded keeping of a word needs to know of a letter, learnt from FoldWord itself
// so that it always agrees with the table.
enum LetterFact : std::uint8_t {
  kFoldsToNothing = 1,  // alone it gives no letter (the hard and soft signs)
  kUkrainian = 2,       // a word with it reads as Ukrainian
  kBelarusian = 4,      // a word with it reads as Belarusian
};

std::uint8_t LearnFacts(char32_t codePoint) {
  if (ClassifyCodePoint(codePoint) != LetterClass::kFoldedLetter) return 0;
  char letters[8];
  std::uint8_t facts = 0;
  if (FoldWord(&codePoint, 1, letters, sizeof letters) == 0) facts |= kFoldsToNothing;
  // Cyrillic i reads y only in a Ukrainian word, ghe reads h in a Ukrainian or Belarusian one.
  const char32_t withI[2] = {0x0438, codePoint};
  const char32_t withGhe[2] = {0x0433, codePoint};
  if (FoldWord(withI, 2, letters, 1) == 1 && letters[0] == 'y') {
    facts |= kUkrainian;
  } else if (FoldWord(withGhe, 2, letters, 1) == 1 && letters[0] == 'h') {
    facts |= kBelarusian;
  }
  return facts;
}

// Every letter of the folding table lies below U+2000; a letter above it is asked for alone.
constexpr char32_t kFactsKnownBelow = 0x2000;

// A Latin letter reads the same wherever it stands (only Cyrillic and Greek letters have
// rules that look around them), so a word that begins with one begins with its first letter.
bool IsLatin(char32_t c) { return c < 0x0370 || (c >= 0x1E00 && c < 0x1F00); }

// What a character of two UTF-8 bytes is to a region: it separates, it is a letter or a
// mark, or it is a Latin letter and this ('a' to 'z') is the first letter of its folding.
enum ShortKind : std::uint8_t { kShortSeparates = 0, kShortLetter = 1, kShortMark = 2 };

// Calls visit(lead, row, low half, code point) for every two-byte character of kMappedLeads.
template <typename Visit>
void ForEachMappedLetter(Visit visit) {
  for (int lead = 0; lead < 8; ++lead) {
    for (int second = 0; second < 64; ++second) {
      visit(lead, second >> 4, second & 15,
            static_cast<char32_t>((kMappedLeads[lead] & 0x1Fu) << 6 | second));
    }
  }
}

struct FactTable {
  std::uint8_t Facts[kFactsKnownBelow];
  std::uint8_t Shortly[0x800];
  // The folding of a two-byte Latin letter (where Shortly is a letter), as it is wherever the
  // letter stands.
  char Folded[0x800][4];
  std::uint8_t FoldedCount[0x800] = {};
  // FirstLettersOf each character below U+0800; whether it is a letter of the table.
  std::uint32_t FirstLetters[0x800];
  bool Letter[0x800];
  // Bit `lead` of LetterByRow[row][low half] is set when the two-byte character of
  // kMappedLeads[lead] and the second byte 0x80 + 16 * row + low half is a letter.
  std::uint8_t LetterByRow[4][16] = {};
  FactTable() {
    for (char32_t c = 0; c < kFactsKnownBelow; ++c) {
      Facts[c] = LearnFacts(c);
      if (c >= 0x800) continue;
      const LetterClass kind = ClassifyCodePoint(c);
      FirstLetters[c] = FirstLettersOf(c);
      Letter[c] = kind == LetterClass::kFoldedLetter;
      char letters[8];
      if (kind == LetterClass::kMark) {
        Shortly[c] = kShortMark;
      } else if (kind != LetterClass::kFoldedLetter) {
        Shortly[c] = kShortSeparates;
      } else if (IsLatin(c) && FoldWord(&c, 1, letters, sizeof letters) > 0) {
        Shortly[c] = static_cast<std::uint8_t>(letters[0]);
        FoldedCount[c] = static_cast<std::uint8_t>(FoldWord(&c, 1, Folded[c], 4));
      } else {
        Shortly[c] = kShortLetter;
      }
    }
    ForEachMappedLetter([this](int lead, int row, int low, char32_t c) {
      if (Letter[c]) LetterByRow[row][low] |= static_cast<std::uint8_t>(1u << lead);
    });
  }
};

const FactTable& Facts() {
  static const FactTable table;
  return table;
}

inline std::uint8_t FactsOf(char32_t codePoint) {
  return codePoint < kFactsKnownBelow ? Facts().Facts[codePoint] : LearnFacts(codePoint);
}

// The bytes as the regions see them.
enum ByteClass : std::uint8_t { kAsciiSeparator, kAsciiLetter, kAsciiJoiner, kNonAscii };

constexpr std::array<ByteClass, 256> MakeByteClasses() {
  std::array<ByteClass, 256> classes{};
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<std::uint8_t>(b);
    classes[b] = byte >= 0x80         ? kNonAscii
                 : IsWordLetter(byte) ? kAsciiLetter
                 : IsJoiner(byte)     ? kAsciiJoiner
                                      : kAsciiSeparator;
  }
  return classes;
}
constexpr std::array<ByteClass, 256> kByteClasses = MakeByteClasses();

inline bool IsLetterOrJoiner(std::uint8_t byte) {
  return kByteClasses[byte] == kAsciiLetter || kByteClasses[byte] == kAsciiJoiner;
}

inline bool IsAsciiSeparator(std::uint8_t byte) { return kByteClasses[byte] == kAsciiSeparator; }

inline std::uint32_t PutUtf8(char32_t c, std::uint8_t* out) {
  if (c < 0x80) {
    out[0] = static_cast<std::uint8_t>(c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = static_cast<std::uint8_t>(0xC0 | c >> 6);
    out[1] = static_cast<std::uint8_t>(0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    out[0] = static_cast<std::uint8_t>(0xE0 | c >> 12);
    out[1] = static_cast<std::uint8_t>(0x80 | (c >> 6 & 0x3F));
    out[2] = static_cast<std::uint8_t>(0x80 | (c & 0x3F));
    return 3;
  }
  out[0] = static_cast<std::uint8_t>(0xF0 | c >> 18);
  out[1] = static_cast<std::uint8_t>(0x80 | (c >> 12 & 0x3F));
  out[2] = static_cast<std::uint8_t>(0x80 | (c >> 6 & 0x3F));
  out[3] = static_cast<std::uint8_t>(0x80 | (c & 0x3F));
  return 4;
}

// Adds a letter or a mark to a wanted word. Of the code points that fold to nothing only
// those are kept that can change the folding: the first mark after a letter (it parts a
// Greek vowel from its upsilon) and a dialytika among its marks, and one of the letters that
// give nothing in a row (each reads as the one before it, to the letters around them).
void Keep(LetterWord& word, char32_t codePoint, bool mark) {
  if (word.ShownCodePoints < kMaxWordLetters) {
    word.ShownLength += PutUtf8(codePoint, word.Shown + word.ShownLength);
    ++word.ShownCodePoints;
  }
  if (word.Full) {
    // Only the alphabet of the word can still change its first letters.
    if (codePoint >= 0x0400 && codePoint < 0x0500) {
      const std::uint8_t facts = FactsOf(codePoint);
      if ((facts & kBelarusian) != 0 || ((facts & kUkrainian) != 0 && word.Language == 0)) {
        word.Language = codePoint;
      }
    }
    return;
  }
  if (mark) {
    const bool dialytika = codePoint == 0x0308 || codePoint == 0x0344;
    if (word.TrailingMarks == 0 ||
        (word.TrailingMarks == 1 && dialytika && !word.TrailingDialytika)) {
      word.Kept[word.KeptCount++] = codePoint;
      ++word.TrailingMarks;
      word.TrailingDialytika = word.TrailingDialytika || dialytika;
    }
    return;
  }
  const bool nothing = codePoint >= 0x80 && FactsOf(codePoint) == kFoldsToNothing;
  if (nothing && word.LastKeptFoldsToNothing) return;
  word.Kept[word.KeptCount++] = codePoint;
  word.TrailingMarks = 0;
  word.TrailingDialytika = false;
  word.LastKeptFoldsToNothing = nothing;
  if (!nothing && ++word.KeptLetters == kDecidingLetters) word.Full = true;
}

void BeginWord(LetterScan* scan, char32_t first, std::int64_t start) {
  scan->Where = kInside;
  LetterWord& word = scan->Word;
  word.Start = start;
  // A word is coded from its folding, which begins with an ASCII first letter as it is, and
  // with one of the first letters of any other.
  if (first < 0x80) {
    word.Wanted = scan->Term->Starts.IsStart[first];
  } else {
    const std::uint32_t letters =
        first < 0x800 ? Facts().FirstLetters[first] : FirstLettersOf(first);
    word.Wanted = (letters & scan->StartMask) != 0;
  }
  if (!word.Wanted) return;
  word.Full = false;
  word.KeptCount = 0;
  word.KeptLetters = 0;
  word.TrailingMarks = 0;
  word.TrailingDialytika = false;
  word.LastKeptFoldsToNothing = false;
  word.Language = 0;
  word.ShownCodePoints = 0;
  word.ShownLength = 0;
  Keep(word, first, false);
}

// The line of a region's word that begins at `start`: the byte reading counts the lines of
// the read as it goes, past the region by the time the region is read, so a region counts
// its own up to its words.
void RegionLineAt(LetterScan* scan, std::int64_t start, std::int64_t* line,
                  std::int64_t* lineStart) {
  if (start < scan->ReadOffset) {
    *line = scan->ReadLine;
    *lineStart = scan->ReadLineStart;
    return;
  }
  const auto upTo = static_cast<std::uint32_t>(start - scan->ReadOffset);
  if (upTo > scan->LinesCountedTo) {
    const std::uint8_t* bytes = scan->ReadBytes;
    const std::uint32_t lines =
        CountLineFeeds(bytes + scan->LinesCountedTo, upTo - scan->LinesCountedTo);
    if (lines > 0) {
      scan->RegionLine += lines;
      const std::uint32_t from = scan->LinesCountedTo;
      scan->RegionLineStart =
          scan->ReadOffset + from + LastLineFeed(bytes + from, upTo - from) + 1;
    }
    scan->LinesCountedTo = upTo;
  }
  *line = scan->RegionLine;
  *lineStart = scan->RegionLineStart;
}

// Ends the word the decoded reading is inside of at the separator at `end`.
int EndWord(LetterScan* scan, std::int64_t end) {
  scan->Where = kOutside;
  LetterWord& word = scan->Word;
  if (!word.Wanted) return kScanGoOn;
  std::uint32_t count = word.KeptCount;
  if (word.Language != 0) word.Kept[count++] = word.Language;
  char folded[kMaxWordLetters];
  const std::uint32_t length = FoldWord(word.Kept, count, folded, kMaxWordLetters);
  if (length < 2) return kScanGoOn;
  const int key = MatchWordKey(*scan->Term, reinterpret_cast<const std::uint8_t*>(folded), length);
  if (key < 0) return kScanGoOn;
  if (!scan->ListAll) return kScanMatchFound;
  std::int64_t line = scan->Bytes.CurrentLine();
  std::int64_t lineStart = scan->Bytes.CurrentLineStart();
  if (scan->ReadBytes != nullptr) RegionLineAt(scan, word.Start, &line, &lineStart);
  return scan->Listener(scan->Context,
                        {word.Shown, word.ShownLength, word.Start, end, line, lineStart, key});
}

// The decoded reading of scan->CodePoints[0..count). Line feeds are counted here only when
// the byte reading does not count them.
int ReadCodePoints(LetterScan* scan, std::uint32_t count) {
  const char32_t* codePoints = scan->CodePoints;
  const std::int64_t* positions = scan->Positions;
  const bool countLines = scan->ListAll && scan->ReadBytes == nullptr;
  const std::int64_t unit = scan->Decoder.Encoding == TextEncoding::kUtf8 ? 1 : 2;
  for (std::uint32_t i = 0; i < count; ++i) {
    const char32_t c = codePoints[i];
    LetterClass kind;
    if (c < 0x80) {
      if (IsWordLetter(static_cast<std::uint8_t>(c))) {
        kind = LetterClass::kAsciiLetter;
      } else if (IsJoiner(static_cast<std::uint8_t>(c))) {
        scan->Where = kSpoiltAfterJoiner;
        continue;
      } else {
        kind = LetterClass::kSeparator;
      }
    } else {
      kind = ClassifyNonAscii(c);
    }
    switch (kind) {
      case LetterClass::kAsciiLetter:
      case LetterClass::kFoldedLetter:
        if (scan->Where == kOutside) {
          BeginWord(scan, c, positions[i]);
        } else if (scan->Where == kInside) {
          if (scan->Word.Wanted) Keep(scan->Word, c, false);
        } else {
          scan->Where = kSpoiltAfterLetter;
        }
        break;
      case LetterClass::kMark:
        if (scan->Where == kInside) {
          if (scan->Word.Wanted) Keep(scan->Word, c, true);
        } else if (scan->Where == kSpoiltAfterJoiner) {
          scan->Where = kOutside;  // no letter before it: it separates
        }
        break;
      default:
        if (scan->Where == kInside) {
          const int outcome = EndWord(scan, positions[i]);
          if (outcome != kScanGoOn) return outcome;
        }
        scan->Where = kOutside;
        if (c == '\n' && countLines) {
          scan->Bytes.MoveToLine(scan->Bytes.CurrentLine() + 1, positions[i] + unit);
        }
        break;
    }
  }
  return kScanGoOn;
}

// Decodes bytes[from..end) in pieces and reads them.
int DecodeAndRead(LetterScan* scan, const std::uint8_t* bytes, std::uint32_t from,
                  std::uint32_t end) {
  while (from < end) {
    const std::uint32_t piece = end - from < kLetterPiece ? end - from : kLetterPiece;
    const std::uint32_t decoded =
        DecodeText(&scan->Decoder, bytes + from, piece, scan->CodePoints, scan->Positions);
    from += piece;
    const int outcome = ReadCodePoints(scan, decoded);
    if (outcome != kScanGoOn) return outcome;
  }
  return kScanGoOn;
}

// Whether the byte reading can have the text from here: UTF-8, nothing held back, no word.
bool CanGiveBack(const LetterScan* scan) {
  return scan->Decoder.Encoding == TextEncoding::kUtf8 && scan->Decoder.HeldCount == 0 &&
         scan->Where == kOutside;
}

// The decoded reading of bytes[*at..) up to where it can give the text back, or to the end
// of the read, a piece at most.
int DecodeStretch(LetterScan* scan, const std::uint8_t* bytes, std::uint32_t count,
                  std::uint32_t* at) {
  const std::uint32_t from = *at;
  const std::uint32_t limit = count - from < kLetterPiece ? count : from + kLetterPiece;
  std::uint32_t end = limit;
  bool giveBack = false;
  if (scan->Decoder.Encoding != TextEncoding::kUtf16Le &&
      scan->Decoder.Encoding != TextEncoding::kUtf16Be) {
    // Up to the first ASCII separator: every non-ASCII byte before it is read with the word
    // it belongs to, and the maps of the byte reading's reads pass over the words after it
    // that cannot match, accented or not, faster than they are decoded.
    std::uint32_t q = from;
    while (q < limit && !IsAsciiSeparator(bytes[q])) ++q;
    if (q < limit) {
      end = q + 1;
      giveBack = true;
    }
  }
  *at = end;
  const int outcome = DecodeAndRead(scan, bytes, from, end);
  if (outcome != kScanGoOn) return outcome;
  if (giveBack && CanGiveBack(scan)) {
    scan->Decoding = false;
    scan->Bytes.ResumeAfter(bytes[end - 1]);
  }
  return kScanGoOn;
}

#if defined(__x86_64__) || defined(__i386__)
// Eight vectors of 32 bytes at a time, with no branch between them: text is mostly ASCII.
__attribute__((target("avx2"))) bool HasNonAsciiAvx2(const std::uint8_t* bytes,
                                                     std::uint32_t count) {
  std::uint32_t i = 0;
  __m256i any = _mm256_setzero_si256();
  for (; i + 256 <= count; i += 256) {
    const auto* at = reinterpret_cast<const __m256i*>(bytes + i);
    const __m256i first =
        _mm256_or_si256(_mm256_or_si256(_mm256_loadu_si256(at), _mm256_loadu_si256(at + 1)),
                        _mm256_or_si256(_mm256_loadu_si256(at + 2), _mm256_loadu_si256(at + 3)));
    const __m256i second =
        _mm256_or_si256(_mm256_or_si256(_mm256_loadu_si256(at + 4), _mm256_loadu_si256(at + 5)),
                        _mm256_or_si256(_mm256_loadu_si256(at + 6), _mm256_loadu_si256(at + 7)));
    any = _mm256_or_si256(any, _mm256_or_si256(first, second));
  }
  for (; i + 32 <= count; i += 32) {
    any = _mm256_or_si256(any, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + i)));
  }
  if (i < count && count >= 32) {
    // The last 32 bytes again, with those already looked at.
    any = _mm256_or_si256(any,
                          _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + count - 32)));
    i = count;
  }
  if (_mm256_movemask_epi8(any) != 0) return true;
  return FindNonAscii(bytes + i, count - i) != count - i;
}
#endif

// Whether any byte of bytes[0..count) is from 0x80 up (after a first-match scan's byte
// reading, which counts no lines, has just read them).
bool HasNonAscii(const std::uint8_t* bytes, std::uint32_t count) {
#if defined(__x86_64__) || defined(__i386__)
  if (CurrentScanInstructions() == ScanInstructions::Avx2) return HasNonAsciiAvx2(bytes, count);
#endif
  return FindNonAscii(bytes, count) != count;
}

// The classes of a byte that the maps look up by its halves (ClassesByLow, ClassesByHigh):
// a start letter (one bit for each high half 4 to 7), a continuation byte, a lead byte of a
// two-byte sequence (C2-CF, D0-DF).
constexpr std::uint8_t kStartBits = 0x0F;
constexpr std::uint8_t kContinuationBit = 0x10;
constexpr std::uint8_t kLead2Bits = 0x60;

void MakeClassesByHalves(const bool* isStart, std::uint8_t* byLow, std::uint8_t* byHigh) {
  for (int half = 0; half < 16; ++half) {
    byLow[half] = kContinuationBit | 0x40 | (half >= 2 ? 0x20 : 0);
    byHigh[half] = half >= 4 && half < 8    ? static_cast<std::uint8_t>(1u << (half - 4))
                   : half >= 8 && half < 12 ? kContinuationBit
                   : half == 12             ? 0x20
                   : half == 13             ? 0x40
                                            : 0;
  }
  for (int byte = 0x40; byte < 0x80; ++byte) {
    if (isStart[byte]) byLow[byte & 15] |= static_cast<std::uint8_t>(1u << ((byte >> 4) - 4));
  }
}

// The lead bytes of kMappedLeads by their halves: bit `lead` of both entries.
struct LeadHalves {
  std::uint8_t ByLow[16] = {};
  std::uint8_t ByHigh[16] = {};
  constexpr LeadHalves() {
    for (int lead = 0; lead < 8; ++lead) {
      ByLow[kMappedLeads[lead] & 15] |= static_cast<std::uint8_t>(1u << lead);
      ByHigh[kMappedLeads[lead] >> 4] |= static_cast<std::uint8_t>(1u << lead);
    }
  }
};
constexpr LeadHalves kLeadHalves;

// The ASCII letters and joiners the same way, one bit for each high half 3 to 7.
struct WordHalves {
  std::uint8_t ByLow[16] = {};
  std::uint8_t ByHigh[16] = {};
  constexpr WordHalves() {
    for (int byte = 0x30; byte < 0x80; ++byte) {
      const auto bit = static_cast<std::uint8_t>(1u << ((byte >> 4) - 3));
      ByHigh[byte >> 4] = bit;
      if (kByteClasses[byte] == kAsciiLetter || kByteClasses[byte] == kAsciiJoiner) {
        ByLow[byte & 15] |= bit;
      }
    }
  }
};
constexpr WordHalves kWordHalves;

#if defined(__x86_64__) || defined(__i386__)
// Bit masks of 32 bytes: ASCII letters and joiners, start letters, lead bytes of two-byte
// sequences, continuation bytes, bytes from 0x80 up; the second bytes of the two-byte letters
// of kMappedLeads, and of those among them that cannot begin a word the term can match.
struct Masks32 {
  std::uint32_t Word, Start, Lead2, Continuation, High, Letter, Unwanted;
};

struct HalfTables {
  __m256i ClassesByLow, ClassesByHigh, WordByLow, WordByHigh, LeadByLow, LeadByHigh;
  __m256i LetterByRow[4], WantedByRow[4];
};

__attribute__((target("avx2"))) inline std::uint32_t Bits(__m256i lanes) {
  return static_cast<std::uint32_t>(_mm256_movemask_epi8(lanes));
}

// The lanes that have any of `bits`.
__attribute__((target("avx2"))) inline std::uint32_t Any(__m256i lanes, std::uint8_t bits) {
  const __m256i masked = _mm256_and_si256(lanes, _mm256_set1_epi8(static_cast<char>(bits)));
  return ~Bits(_mm256_cmpeq_epi8(masked, _mm256_setzero_si256()));
}

__attribute__((target("avx2"))) inline Masks32 MasksAvx2(__m256i bytes,
                                                        const HalfTables& tables) {
  const __m256i nibble = _mm256_set1_epi8(0x0F);
  const __m256i low = _mm256_and_si256(bytes, nibble);
  const __m256i high = _mm256_and_si256(_mm256_srli_epi16(bytes, 4), nibble);
  const __m256i classes = _mm256_and_si256(_mm256_shuffle_epi8(tables.ClassesByLow, low),
                                           _mm256_shuffle_epi8(tables.ClassesByHigh, high));
  const __m256i word = _mm256_and_si256(_mm256_shuffle_epi8(tables.WordByLow, low),
                                        _mm256_shuffle_epi8(tables.WordByHigh, high));
  return {Any(word, 0xFF),
          Any(classes, kStartBits),
          Any(classes, kLead2Bits),
          Any(classes, kContinuationBit),
          Bits(bytes),
          0,
          0};
}

// The entry of rows[row] at `low` for each byte, where bit 4 of the row is at the top of `bit4`
// and bit 5 at the top of `bit5`.
__attribute__((target("avx2"))) inline __m256i InRow(const __m256i* rows, __m256i low,
                                                     __m256i bit4, __m256i bit5) {
  return _mm256_blendv_epi8(_mm256_blendv_epi8(_mm256_shuffle_epi8(rows[0], low),
                                               _mm256_shuffle_epi8(rows[1], low), bit4),
                            _mm256_blendv_epi8(_mm256_shuffle_epi8(rows[2], low),
                                               _mm256_shuffle_epi8(rows[3], low), bit4),
                            bit5);
}

// Masks.Letter and Masks.Unwanted of 32 bytes that hold a byte from 0x80 up; `before` holds
// the bytes one place earlier (the byte before each).
__attribute__((target("avx2"))) inline void LetterMasksAvx2(__m256i bytes, __m256i before,
                                                           const HalfTables& tables,
                                                           Masks32& masks) {
  const __m256i nibble = _mm256_set1_epi8(0x0F);
  const __m256i low = _mm256_and_si256(bytes, nibble);
  // The lead before a second byte, as one bit of kMappedLeads (none for any other byte), and
  // the entries of the second byte's row (bits 4 and 5 of a second byte are its row), which
  // mean something only for a second byte.
  const __m256i lead =
      _mm256_and_si256(_mm256_shuffle_epi8(tables.LeadByLow, _mm256_and_si256(before, nibble)),
                       _mm256_shuffle_epi8(tables.LeadByHigh,
                                           _mm256_and_si256(_mm256_srli_epi16(before, 4), nibble)));
  const __m256i bit4 = _mm256_slli_epi16(bytes, 3);  // at the top of each byte
  const __m256i bit5 = _mm256_slli_epi16(bytes, 2);
  const __m256i letters = InRow(tables.LetterByRow, low, bit4, bit5);
  const __m256i wanted = InRow(tables.WantedByRow, low, bit4, bit5);
  const std::uint32_t letter = masks.Continuation &
                               ~Bits(_mm256_cmpeq_epi8(_mm256_and_si256(letters, lead),
                                                       _mm256_setzero_si256()));
  const std::uint32_t wantedLetter = ~Bits(_mm256_cmpeq_epi8(_mm256_and_si256(wanted, lead),
                                                              _mm256_setzero_si256()));
  masks.Letter = letter;
  masks.Unwanted = letter & ~wantedLetter;
}
#endif

// What one block of the maps needs from the block before.
struct MapCarries {
  std::uint64_t Separator, Word, High, Lead2, Sum;
};

// The masks of one block of 64 bytes, a bit for each byte.
struct BlockMasks {
  std::uint64_t High;          // from 0x80 up
  std::uint64_t Separator;     // an ASCII separator
  std::uint64_t Start;         // a start letter
  std::uint64_t Lead2;         // C2-DF
  std::uint64_t Continuation;  // 80-BF
  std::uint64_t Letter;        // the second byte of a two-byte letter (of kMappedLeads at least)
  std::uint64_t Unwanted;      // the same, of a letter no word of the term begins with
};

// One block of 64 bytes: its maps from its masks. A region may hold a word the term can match
// only where
//  - a non-ASCII byte follows an ASCII separator (the region begins with a non-ASCII
//    character, which may fold to a start letter), unless it begins a two-byte letter whose
//    folding cannot begin with one;
//  - a start letter, or a non-ASCII byte that begins a character, follows a non-ASCII byte
//    that does not end a letter (a word may begin after a character that separates: every
//    character that separates inside a region is non-ASCII, a mark after a joiner too; after
//    a letter the word goes on, or a joiner spoils it);
//  - the region begins with a start letter (marked at its first non-ASCII byte: adding the
//    start bit to the ASCII bytes of the run carries up to the first byte that is not one).
// Any other region begins with a letter the term's words cannot begin with (or a joiner), and
// so does every word inside it. Two-byte sequences are the only ones known here to be whole
// characters; a continuation byte of a longer one is taken for a character of its own. Only
// the two-byte letters that `masks.Letter` marks are known to be letters; any other character
// may separate.
inline void MapBlock(LetterScan* scan, std::uint32_t block, const BlockMasks& masks,
                     MapCarries& carries) {
  const std::uint64_t high = masks.High;
  const std::uint64_t separator = masks.Separator;
  const std::uint64_t word = ~separator;
  const std::uint64_t runStarts = word & ~(word << 1 | carries.Word);
  std::uint64_t sum;
  const bool over = __builtin_add_overflow(word & ~high, runStarts & masks.Start, &sum);
  const bool overAgain = __builtin_add_overflow(sum, carries.Sum, &sum);
  const std::uint64_t mayEndSeparator = high & ~masks.Letter;
  const std::uint64_t afterHigh = mayEndSeparator << 1 | carries.High;
  const std::uint64_t wholeSecond = masks.Continuation & (masks.Lead2 << 1 | carries.Lead2);
  scan->NonAsciiMap[block] = high;
  scan->SeparatorMap[block] = separator;
  const std::uint64_t unwantedFirst = masks.Unwanted >> 1;
  scan->EventMap[block] = (high & (separator << 1 | carries.Separator) & ~unwantedFirst) |
                          (masks.Start & afterHigh) | (high & afterHigh & ~wholeSecond) |
                          (sum & high);
  carries = {separator >> 63, word >> 63, mayEndSeparator >> 63, masks.Lead2 >> 63,
             static_cast<std::uint64_t>(over || overAgain)};
}

#if defined(__x86_64__) || defined(__i386__)
// The bytes of `bytes` one place later: each lane holds the byte before it, the first the last
// of `previous`.
__attribute__((target("avx2"))) inline __m256i Earlier(__m256i bytes, __m256i previous) {
  return _mm256_alignr_epi8(bytes, _mm256_permute2x128_si256(previous, bytes, 0x21), 15);
}

__attribute__((target("avx2"))) inline __m256i Table(const std::uint8_t* entries) {
  return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(entries)));
}

__attribute__((target("avx2"))) std::uint32_t MapBlocksAvx2(LetterScan* scan,
                                                            const std::uint8_t* bytes,
                                                            std::uint32_t count,
                                                            MapCarries& carriesIn) {
  MapCarries carries = carriesIn;  // in registers: the maps' stores could be its own
  const FactTable& facts = Facts();
  HalfTables tables{Table(scan->ClassesByLow), Table(scan->ClassesByHigh), Table(kWordHalves.ByLow),
                    Table(kWordHalves.ByHigh), Table(kLeadHalves.ByLow),   Table(kLeadHalves.ByHigh),
                    {},                        {}};
  for (int row = 0; row < 4; ++row) {
    tables.LetterByRow[row] = Table(facts.LetterByRow[row]);
    tables.WantedByRow[row] = Table(scan->WantedByRow[row]);
  }
  // The 32 bytes before the next ones: the byte before the read is ASCII.
  __m256i last = _mm256_set1_epi8(static_cast<char>(scan->ReadBefore));
  std::uint32_t i = 0;
  for (; i + 64 <= count; i += 64) {
    const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + i));
    const __m256i second = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + i + 32));
    Masks32 low = MasksAvx2(first, tables);
    Masks32 high = MasksAvx2(second, tables);
    // Text is mostly ASCII: a letter of two bytes is looked for only where there are some.
    if (low.High != 0) LetterMasksAvx2(first, Earlier(first, last), tables, low);
    if (high.High != 0) LetterMasksAvx2(second, Earlier(second, first), tables, high);
    last = second;
    auto join = [](std::uint32_t a, std::uint32_t b) {
      return a | static_cast<std::uint64_t>(b) << 32;
    };
    const std::uint64_t nonAscii = join(low.High, high.High);
    const BlockMasks masks{nonAscii,
                           ~(nonAscii | join(low.Word, high.Word)),
                           join(low.Start, high.Start),
                           join(low.Lead2, high.Lead2),
                           join(low.Continuation, high.Continuation),
                           join(low.Letter, high.Letter),
                           join(low.Unwanted, high.Unwanted)};
    MapBlock(scan, i / 64, masks, carries);
  }
  carriesIn = carries;
  return i;
}
#endif

// Fills the read's maps. The byte before the read is ASCII (a non-ASCII byte at a read's end
// is in a region that runs into the next read, which is decoded); when it is a letter or a
// joiner, the run it ends is the remembered one.
void MapRead(LetterScan* scan, const std::uint8_t* bytes, std::uint32_t count) {
  const bool* isStart = scan->Term->Starts.IsStart;
  const bool before = IsAsciiSeparator(scan->ReadBefore);
  const bool wantedRun = scan->RunInto && !scan->RunSpoilt && isStart[scan->RunLetters[0]];
  MapCarries carries{before, !before, 0, 0, wantedRun};
  std::uint32_t i = 0;
#if defined(__x86_64__) || defined(__i386__)
  if (CurrentScanInstructions() == ScanInstructions::Avx2)
    i = MapBlocksAvx2(scan, bytes, count, carries);
#endif
  const FactTable& facts = Facts();
  for (; i < count; i += 64) {
    BlockMasks masks{};
    for (std::uint32_t k = 0; k < 64; ++k) {
      const std::uint64_t bit = std::uint64_t{1} << k;
      if (i + k >= count) {
        masks.Separator |= bit;  // past the end: as after the read
        continue;
      }
      const std::uint8_t byte = bytes[i + k];
      const std::uint8_t before = i + k > 0 ? bytes[i + k - 1] : scan->ReadBefore;
      if (byte >= 0x80) masks.High |= bit;
      if (kByteClasses[byte] == kAsciiSeparator) masks.Separator |= bit;
      if (isStart[byte]) masks.Start |= bit;
      if (byte >= 0xC2 && byte < 0xE0) masks.Lead2 |= bit;
      if (byte >= 0x80 && byte < 0xC0) {
        masks.Continuation |= bit;
        // Here every two-byte letter is told apart, not only those of kMappedLeads.
        const char32_t c = (before & 0x1Fu) << 6 | (byte & 0x3Fu);
        if (before >= 0xC2 && before < 0xE0 && facts.Letter[c]) {
          masks.Letter |= bit;
          if ((facts.FirstLetters[c] & scan->StartMask) == 0) masks.Unwanted |= bit;
        }
      }
    }
    MapBlock(scan, i / 64, masks, carries);
  }
  const std::uint32_t words = (count + 63) / 64;
  scan->NonAsciiMap[words] = scan->SeparatorMap[words] = scan->EventMap[words] = ~std::uint64_t{0};
}

// The first set bit of `map` at or after `from`, or `count`. The map is followed by a word
// with every bit set.
inline std::uint32_t NextBit(const std::uint64_t* map, std::uint32_t from, std::uint32_t count) {
  if (from >= count) return count;
  std::uint32_t word = from / 64;
  const std::uint64_t low = map[word] & (~std::uint64_t{0} << (from % 64));
  const std::uint64_t high = map[word + 1];
  // Most gaps end in this word or the next, and a choice of two costs no jump.
  std::uint32_t found = low != 0
                            ? word * 64 + static_cast<std::uint32_t>(std::countr_zero(low))
                            : word * 64 + 64 + static_cast<std::uint32_t>(std::countr_zero(high));
  if ((low | high) == 0) {
    word += 2;
    while (map[word] == 0) ++word;
    found = word * 64 + static_cast<std::uint32_t>(std::countr_zero(map[word]));
  }
  return found < count ? found : count;
}

// The same for a map whose set bits lie far apart (the events): one word after another, so
// that finding the next costs one mispredicted jump at most, however far it is.
inline std::uint32_t NextSparseBit(const std::uint64_t* map, std::uint32_t from,
                                   std::uint32_t count) {
  if (from >= count) return count;
  std::uint32_t word = from / 64;
  std::uint64_t bits = map[word] & (~std::uint64_t{0} << (from % 64));
  while (bits == 0) bits = map[++word];
  const std::uint32_t found = word * 64 + static_cast<std::uint32_t>(std::countr_zero(bits));
  return found < count ? found : count;
}

// One past the last set bit of `map` before `before` and at or after `floor`, else `floor`.
inline std::uint32_t AfterPreviousBit(const std::uint64_t* map, std::uint32_t before,
                                      std::uint32_t floor) {
  if (before <= floor) return floor;
  const std::uint32_t last = before - 1;
  std::uint32_t word = last / 64;
  std::uint64_t bits = map[word] & (~std::uint64_t{0} >> (63 - last % 64));
  while (bits == 0) {
    if (word == 0) return floor;
    bits = map[--word];
  }
  const std::uint32_t after = word * 64 + 64 - static_cast<std::uint32_t>(std::countl_zero(bits));
  return after > floor ? after : floor;
}

// The byte reading has read up to the end of the read: remembers the run of letters and
// joiners it ends with, which the next read may go on with non-ASCII letters.
void RememberRun(LetterScan* scan, const std::uint8_t* bytes, std::uint32_t count,
                 std::int64_t offset, bool runInto) {
  std::uint32_t from = count;
  while (from > 0 && IsLetterOrJoiner(bytes[from - 1])) --from;
  if (from == count) return;
  if (from > 0 || !runInto) {
    scan->RunStart = offset + from;
    scan->RunLength = 0;
    scan->RunSpoilt = false;
  }
  for (std::uint32_t i = from; i < count && !scan->RunSpoilt; ++i) {
    if (IsJoiner(bytes[i])) {
      scan->RunSpoilt = true;
    } else if (scan->RunLength < kMaxWordLetters) {
      scan->RunLetters[scan->RunLength++] = bytes[i];
    }
  }
  scan->RunEndsWithJoiner = IsJoiner(bytes[count - 1]);
  scan->RunActive = true;
}

// The decoded reading takes over the run the last read ended with. Its letters beyond the
// first kMaxWordLetters are not needed: those already decide the word's folding.
void TakeOverRun(LetterScan* scan) {
  if (scan->RunSpoilt) {
    scan->Where = scan->RunEndsWithJoiner ? kSpoiltAfterJoiner : kSpoiltAfterLetter;
    return;
  }
  BeginWord(scan, scan->RunLetters[0], scan->RunStart);
  if (!scan->Word.Wanted) return;
  for (std::uint32_t i = 1; i < scan->RunLength; ++i) Keep(scan->Word, scan->RunLetters[i], false);
}

// Whether the word at bytes[0..] begins with a two-byte letter whose folding cannot begin
// with a letter the term's words begin with.
inline bool BeginsUnwanted(const FactTable& facts, std::uint32_t startMask,
                           const std::uint8_t* bytes, std::uint32_t available) {
  const std::uint8_t lead = bytes[0];
  if (lead < 0xC2 || lead >= 0xE0 || available < 2 || (bytes[1] & 0xC0) != 0x80) return false;
  const char32_t c = (lead & 0x1Fu) << 6 | (bytes[1] & 0x3Fu);
  return facts.Letter[c] && (facts.FirstLetters[c] & startMask) == 0;
}

// Code points of a word that FoldOneWord folds by FoldWord; a longer word with a Cyrillic or
// Greek letter is decoded.
constexpr std::uint32_t kOneWordCodePoints = 128;

// The folding of the region bytes[from..end) of the read into `folded` (its first
// kMaxWordLetters letters, *length of them), when the region is one word of ASCII letters and
// two-byte letters: true. False, having done nothing, for any other region. A word of Latin
// letters alone is folded from the table (a Latin letter reads the same wherever it stands, so
// the word's folding is its letters' one after the other); any other by FoldWord over its code
// points (by the rules at once when the quick pass over its bytes has not taken it: `quickTried`),
// unless its first letter already tells that it cannot match (then *length is 0).
bool FoldOneWord(const LetterScan* scan, std::uint32_t from, std::uint32_t end, bool quickTried,
                 char* folded, std::uint32_t* length) {
  const FactTable& facts = Facts();
  const std::uint8_t* bytes = scan->ReadBytes;
  char32_t codePoints[kOneWordCodePoints];
  bool latin = true;
  std::uint32_t written = 0;
  std::uint32_t characters = 0;
  for (std::uint32_t i = from; i < end;) {
    const std::uint8_t lead = bytes[i];
    char32_t c;
    if (lead < 0x80) {
      if (!IsWordLetter(lead)) return false;
      if (written < kMaxWordLetters) folded[written++] = static_cast<char>(lead | 0x20);
      c = lead;
      ++i;
    } else {
      if (lead < 0xC2 || lead >= 0xE0 || i + 1 == end || (bytes[i + 1] & 0xC0) != 0x80) {
        return false;
      }
      c = (lead & 0x1Fu) << 6 | (bytes[i + 1] & 0x3Fu);
      if (!facts.Letter[c]) return false;
      if (facts.Shortly[c] < 'a') {
        latin = false;
      } else if (latin && written < kMaxWordLetters) {
        std::memcpy(folded + written, facts.Folded[c], 4);
        written += facts.FoldedCount[c];
      }
      i += 2;
    }
    if (characters < kOneWordCodePoints) {
      codePoints[characters] = c;
    } else if (!latin) {
      return false;
    }
    ++characters;
  }
  if (!latin) {
    if ((facts.FirstLetters[codePoints[0]] & scan->StartMask) == 0) {
      *length = 0;
      return true;
    }
    if (characters > kOneWordCodePoints) return false;
    written = quickTried ? FoldWordByRules(codePoints, characters, folded, kMaxWordLetters)
                        : FoldWord(codePoints, characters, folded, kMaxWordLetters);
  }
  *length = written < kMaxWordLetters ? written : kMaxWordLetters;
  return true;
}

// Reads the region bytes[from..end) of the read, which ends within it, when it is one word of
// ASCII letters and two-byte letters: true, with the outcome. False, having done nothing, for
// any other region. A word that begins with a two-byte letter is folded in one pass over its
// bytes; one that begins with an ASCII letter (mostly Latin, read faster from the table), or
// that the pass does not take (a Greek pair, a mark, a letter of three bytes), by FoldOneWord.
bool ReadOneWord(LetterScan* scan, std::uint32_t from, std::uint32_t end, int* outcome) {
  const std::uint8_t* bytes = scan->ReadBytes;
  char folded[kMaxWordLetters + 4];
  std::uint32_t length = kNotFoldedQuickly;
  const bool quickTried = bytes[from] >= 0x80;
  if (quickTried) {
    length = FoldTwoByteWordQuickly(bytes + from, end - from, folded, kMaxWordLetters);
  }
  if (length == kNotFoldedQuickly &&
      !FoldOneWord(scan, from, end, quickTried, folded, &length)) {
    return false;
  }
  *outcome = kScanGoOn;
  if (length < 2) return true;
  const int key = MatchWordKey(*scan->Term, reinterpret_cast<const std::uint8_t*>(folded), length);
  if (key < 0) return true;
  if (!scan->ListAll) {
    *outcome = kScanMatchFound;
    return true;
  }
  // The word is shown by its first kMaxWordLetters characters, each of one byte or two.
  std::uint32_t shownEnd = from;
  for (std::uint32_t shown = 0; shown < kMaxWordLetters && shownEnd < end; ++shown) {
    shownEnd += bytes[shownEnd] < 0x80 ? 1 : 2;
  }
  const std::int64_t start = scan->ReadOffset + from;
  std::int64_t line;
  std::int64_t lineStart;
  RegionLineAt(scan, start, &line, &lineStart);
  *outcome = scan->Listener(scan->Context, {bytes + from, shownEnd - from, start,
                                            scan->ReadOffset + end, line, lineStart, key});
  return true;
}

// Reads the region bytes[from..end) of the read and the ASCII separator at `end` (or up to the
// read's end, where it goes on into the next read).
int ReadRegion(LetterScan* scan, std::uint32_t from, std::uint32_t end, bool takeOver) {
  int oneWord;
  if (!takeOver && end < scan->ReadCount && ReadOneWord(scan, from, end, &oneWord)) {
    return oneWord;
  }
  if (takeOver) {
    TakeOverRun(scan);
  } else {
    scan->Where = kOutside;
  }
  // Between regions the decoder holds nothing, and a UTF-8 decoder keeps nothing else: what
  // it is not given it is moved past.
  scan->Decoder.Position = scan->ReadOffset + from;
  const bool ended = end < scan->ReadCount;
  const int outcome = DecodeAndRead(scan, scan->ReadBytes, from, ended ? end + 1 : end);
  if (outcome != kScanGoOn) return outcome;
  if (!ended) {
    // The region's last word may go on in the next read: the decoded reading keeps it.
    scan->Decoding = true;
    scan->Bytes.DropCarriedWord();
  }
  return kScanGoOn;
}

// The regions of the read up to `limit` that may hold a match; with `limit` at the read's end,
// also the region that runs into the next read.
int ReadRegions(LetterScan* scan, std::uint32_t limit) {
  const FactTable& facts = Facts();
  const std::uint64_t* separators = scan->SeparatorMap;
  const std::uint32_t count = scan->ReadCount;
  std::uint32_t regionsFrom = scan->RegionsFrom;
  int outcome = kScanGoOn;
  while (outcome == kScanGoOn) {
    const std::uint32_t event = NextSparseBit(scan->EventMap, regionsFrom, count);
    std::uint32_t from;
    std::uint32_t end;
    if (event < limit && event < count) {
      from = AfterPreviousBit(separators, event, regionsFrom);
      end = NextBit(separators, event, count);
      regionsFrom = end < count ? end + 1 : count;
      // A region that begins with a letter no word of the term begins with, and has nothing
      // else to look at, is passed over.
      // (The vector maps pass over most such letters themselves: look at the letter first.)
      if (end < count && event == from && !(from == 0 && scan->RunInto) &&
          BeginsUnwanted(facts, scan->StartMask, scan->ReadBytes + event, end - event) &&
          NextBit(scan->EventMap, event + 1, end) == end) {
        continue;
      }
    } else {
      if (limit < count) break;
      // The run the read ends with, if it holds a non-ASCII byte, goes on in the next read.
      from = AfterPreviousBit(separators, count, regionsFrom);
      if (from == count || NextBit(scan->NonAsciiMap, from, count) == count) break;
      end = count;
      regionsFrom = count;
    }
    const bool takeOver = from == 0 && scan->RunInto;
    scan->RunInto = false;
    scan->RegionsFrom = regionsFrom;
    outcome = ReadRegion(scan, from, end, takeOver);
  }
  scan->RegionsFrom = regionsFrom;
  return outcome;
}

// The regions of the read before `limit`, in a listing scan: the byte reading has counted the
// lines up to there and noted on the way whether a byte was from 0x80 up.
int RegionsBefore(LetterScan* scan, std::uint32_t limit) {
  if (!scan->Mapped) {
    if (!scan->Bytes.SawHighByte()) return kScanGoOn;
    MapRead(scan, scan->ReadBytes, scan->ReadCount);
    scan->Mapped = true;
  }
  return ReadRegions(scan, limit);
}

// The byte reading's listener. A match that touches a non-ASCII byte is a region's; any
// other is listed after the regions before it (in a first-match scan it ends the read).
int ListFromBytes(void* context, const WordFound& found) {
  LetterScan* scan = static_cast<LetterScan*>(context);
  if (scan->ReadBytes != nullptr) {
    const std::int64_t start = found.Start - scan->ReadOffset;
    const std::int64_t end = found.End - scan->ReadOffset;
    if ((start > 0 && scan->ReadBytes[start - 1] >= 0x80) ||
        (end >= 0 && end < scan->ReadCount && scan->ReadBytes[end] >= 0x80)) {
      return kScanGoOn;
    }
    if (!scan->ListAll) {
      scan->FoundByBytes = true;
      return kScanStopped;
    }
    const int outcome = RegionsBefore(scan, start > 0 ? static_cast<std::uint32_t>(start) : 0);
    if (outcome != kScanGoOn) return outcome;
  }
  return scan->Listener(scan->Context, found);
}

// A read, or its rest, that the byte reading has: the byte reading reads it whole, and the regions
// of its non-ASCII bytes are read meanwhile and after. A first-match scan's byte reading
// stops at its first match, which it does not tell: when the read is not all ASCII, the read
// is read again with its matches told, to set aside those that touch a non-ASCII byte.
int ReadMixed(LetterScan* scan, const std::uint8_t* bytes, std::uint32_t count, std::int64_t offset,
              bool runInto) {
  ChunkScan& chunk = scan->Bytes;
  scan->ReadBytes = bytes;
  scan->ReadCount = count;
  scan->ReadOffset = offset;
  scan->RunInto = runInto;
  scan->ReadBefore = chunk.ByteBefore();
  scan->Mapped = false;
  chunk.ForgetHighByte();
  scan->RegionsFrom = 0;
  scan->ReadLine = scan->RegionLine = chunk.CurrentLine();
  scan->ReadLineStart = scan->RegionLineStart = chunk.CurrentLineStart();
  scan->LinesCountedTo = 0;
  int outcome;
  if (scan->ListAll) {
    outcome = chunk.Read(bytes, count, offset);
    if (outcome == kScanGoOn) outcome = RegionsBefore(scan, count);
  } else {
    // What a first-match scan's byte reading changes in a read, kept to read it again.
    const ChunkScanMark before = chunk.Mark();
    outcome = chunk.Read(bytes, count, offset);
    if (outcome != kScanStopped && HasNonAscii(bytes, count)) {
      if (outcome == kScanMatchFound) {
        chunk.ReturnTo(before);
        scan->FoundByBytes = false;
        outcome = chunk.ReadListing(bytes, count, offset);
        if (outcome == kScanStopped && scan->FoundByBytes) outcome = kScanMatchFound;
      }
      if (outcome == kScanGoOn) {
        MapRead(scan, bytes, count);
        scan->Mapped = true;
        outcome = ReadRegions(scan, count);
      }
    }
  }
  scan->ReadBytes = nullptr;
  if (outcome != kScanGoOn || scan->Decoding) return outcome;
  scan->Decoder.Position = offset + count;
  RememberRun(scan, bytes, count, offset, runInto);
  return kScanGoOn;
}

// The zero bytes of a hole from scan->HoleStart to `end`. The decoder is given enough of them
// to read as the whole run would: the first four, or three or four keeping the run's
// parity (in UTF-16 the last may pair with the next read's first byte).
int ReadHole(LetterScan* scan, std::int64_t end) {
  scan->HolePending = false;
  scan->RunActive = false;
  const std::int64_t length = end - scan->HoleStart;
  if (length <= 0) return kScanGoOn;
  if (!scan->Decoding) {
    SkipAsciiRead(&scan->Decoder, 1);  // a zero byte first decides UTF-8
    scan->Decoder.Position = end;
    return scan->Bytes.ReadZeroRun(scan->HoleStart);
  }
  static const std::uint8_t kZeros[4] = {};
  const auto given = static_cast<std::uint32_t>(length <= 4 ? length : 4 - (length & 1));
  const std::uint32_t decoded =
      DecodeText(&scan->Decoder, kZeros, given, scan->CodePoints, scan->Positions);
  scan->Decoder.Position = end;
  const int outcome = ReadCodePoints(scan, decoded);
  if (outcome != kScanGoOn) return outcome;
  if (CanGiveBack(scan)) {
    scan->Decoding = false;
    scan->Bytes.ResumeAfter(0);
  }
  return kScanGoOn;
}

}  // namespace

void LetterScan::Start(const HeardTerm& heard, bool listAll, std::int64_t firstLine,
                       WordListener listener, void* context) {
  LetterScan* scan = this;
  const HeardTerm* term = &heard;
  scan->Term = term;
  scan->Bytes.Start(heard, listAll, firstLine, ListFromBytes, scan);
  scan->Bytes.NoteHighBytes(listAll);
  scan->ListAll = listAll;
  scan->Listener = listener;
  scan->Context = context;
  StartTextDecoding(&scan->Decoder);
  scan->Decoding = false;
  scan->Where = kOutside;
  scan->FoundByBytes = false;
  scan->Word.Wanted = false;
  scan->ReadBytes = nullptr;
  scan->RunActive = false;
  scan->RunSpoilt = false;
  scan->RunEndsWithJoiner = false;
  scan->RunStart = 0;
  scan->RunLength = 0;
  scan->HolePending = false;
  scan->HoleStart = 0;
  MakeClassesByHalves(term->Starts.IsStart, scan->ClassesByLow, scan->ClassesByHigh);
  scan->StartMask = 0;
  for (int letter = 0; letter < 26; ++letter) {
    if (term->Starts.IsStart['a' + letter]) scan->StartMask |= 1u << letter;
  }
  const FactTable& facts = Facts();
  std::memset(scan->WantedByRow, 0, sizeof scan->WantedByRow);
  ForEachMappedLetter([scan, &facts](int lead, int row, int low, char32_t c) {
    if (facts.Letter[c] && (facts.FirstLetters[c] & scan->StartMask) != 0) {
      scan->WantedByRow[row][low] |= static_cast<std::uint8_t>(1u << lead);
    }
  });
}

bool LetterScan::ReadsInPieces(const std::uint8_t* first, std::uint32_t count) const {
  return count < 2 || !((first[0] == 0xFF && first[1] == 0xFE) ||
                        (first[0] == 0xFE && first[1] == 0xFF));
}

void LetterScan::StartInside(std::int64_t offset) {
  StartTextDecodingInside(&Decoder, offset);
}

int LetterScan::Read(const std::uint8_t* bytes, std::uint32_t count, std::int64_t offset) {
  LetterScan* scan = this;
  if (scan->HolePending) {
    const int outcome = ReadHole(scan, offset);
    if (outcome != kScanGoOn) return outcome;
  }
  if (count == 0) return kScanGoOn;
  if (scan->Decoder.Encoding == TextEncoding::kUndecided && scan->Decoder.HeldCount == 0) {
    // The file's first byte: one from 0x80 up may begin a byte-order mark.
    if (bytes[0] >= 0x80) {
      scan->Decoding = true;
    } else {
      SkipAsciiRead(&scan->Decoder, 1);
    }
  } else if (scan->Decoding && CanGiveBack(scan)) {
    scan->Decoding = false;
    scan->Bytes.ResumeAfter(' ');
  }
  std::uint32_t at = 0;
  while (scan->Decoding && at < count) {
    const int outcome = DecodeStretch(scan, bytes, count, &at);
    if (outcome != kScanGoOn) return outcome;
  }
  while (at < count) {
    const std::uint32_t part = count - at < kMappedBytes ? count - at : kMappedBytes;
    const bool into = scan->RunActive;
    scan->RunActive = false;
    const int outcome = ReadMixed(scan, bytes + at, part, offset + at, into);
    if (outcome != kScanGoOn) return outcome;
    at += part;
    while (scan->Decoding && at < count) {
      const int decoded = DecodeStretch(scan, bytes, count, &at);
      if (decoded != kScanGoOn) return decoded;
    }
  }
  return kScanGoOn;
}

int LetterScan::ReadZeroRun(std::int64_t offset) {
  LetterScan* scan = this;
  if (!scan->HolePending) {
    scan->HolePending = true;
    scan->HoleStart = offset;
  }
  return kScanGoOn;
}

int LetterScan::Finish(std::int64_t size) {
  LetterScan* scan = this;
  if (scan->HolePending) {
    const int outcome = ReadHole(scan, size);
    if (outcome != kScanGoOn) return outcome;
  }
  if (!scan->Decoding) return scan->Bytes.Finish(size);
  const std::uint32_t decoded =
      FinishTextDecoding(&scan->Decoder, scan->CodePoints, scan->Positions);
  const int outcome = ReadCodePoints(scan, decoded);
  if (outcome != kScanGoOn) return outcome;
  if (scan->Where != kInside) return kScanGoOn;
  return EndWord(scan, size);
}

std::unique_ptr<WordReading> MakeLetterReading() {
  return std::unique_ptr<WordReading>(new (std::nothrow) LetterScan);
}
