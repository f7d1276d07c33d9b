// The letter reading (engine/word_reading.h): one file's bytes, read after read, cut into
// words of letters as text is written today (UTF-8, UTF-16, Windows-1252; accented Latin,
// Cyrillic and Greek letters), each word folded to a-z and matched against the term, for
// the switch that reads today's encodings. Search worker only (tests: any one thread).
//
// The words:
//  - The encoding is the decoder's (text_decoding.h): a byte-order mark, else UTF-8 whose
//    stray bytes read as Windows-1252.
//  - A letter is an ASCII letter or a letter of the folding table (ClassifyCodePoint); a
//    mark after a letter belongs to its word, a mark with no letter before it separates.
//    Digits, ^ _ and ` are joiners, as in the byte reading: a run of letters that touches
//    one is no word at all. Everything else separates, U+0000 too; U+000A counts a line.
//  - A word is coded by its first kMaxWordLetters letters of FoldWord; fewer than two never
//    match. Every method applies (engine/sound_method.h).
//  - WordFound.Letters holds the word's first kMaxWordLetters code points in UTF-8 (a
//    UTF-16 or Windows-1252 word is shown in UTF-8; a valid UTF-8 word is its own bytes),
//    so Length is at most 4 * kMaxWordLetters = 248 bytes, not kMaxWordLetters. Start is the
//    position of the word's first byte, End that of the byte after its last one (marks
//    included). LineStart is the position after the line feed (in UTF-16, after its unit).
//
// Speed: ASCII is read by the byte reading itself. In a UTF-8 file every read goes to
// the byte reading whole, which in a listing scan also notes whether the read has a byte from 0x80
// up; only then are the read's bytes classed in bulk, and the words around its non-ASCII
// bytes that may match are read besides, while the byte reading's view of them is set
// aside. The classing knows the two-byte letters of Latin, Greek and Cyrillic (kMappedLeads)
// and the letters a word that begins with one can fold to, so a word that cannot match is
// passed over unread, whatever its script; a word of ASCII and two-byte letters that may
// match is folded from its bytes at once, any other decoded. A UTF-16 file, a file that
// begins with a non-ASCII byte and a word that runs from one read into the next are decoded
// throughout, kLetterPiece bytes at a time, up to an ASCII separator.
//
// The reads follow each other with no gap: a run of zero bytes not read is told with
// ReadZeroRun. A read may have any size; the scan makes no allocation.
#pragma once

#include <cstdint>

#include "engine/chunk_scanner.h"
#include "engine/text_decoding.h"
#include "engine/word_key.h"

// The lead bytes of the two-byte letters that the maps of a read tell apart by vector (Latin-1
// and Latin Extended-A, Greek, Cyrillic): after one of their letters no word begins, and a
// word that begins with one of them is passed over, unread, when no word of the term begins
// with its letters.
constexpr std::uint8_t kMappedLeads[8] = {0xC3, 0xC4, 0xC5, 0xCE, 0xCF, 0xD0, 0xD1, 0xD2};

// Bytes decoded at once into the scan's arrays.
constexpr std::uint32_t kLetterPiece = 4096;

// The most of a read the byte reading has at once beside the regions (a longer read is taken
// in parts of this size).
constexpr std::uint32_t kMappedBytes = 65536;

// Code points of a word kept for folding. Marks and letters that fold to nothing are kept
// only as far as they can change the folding, so a word's first kMaxWordLetters letters are
// decided within this many, however long the word is.
constexpr std::uint32_t kKeptCodePoints = 512;

// The word the decoded reading is inside of.
struct LetterWord {
  std::int64_t Start;
  bool Wanted;  // false: its first letter begins no word the term can match
  bool Full;    // the folding is decided by the kept code points (and Language)
  std::uint32_t KeptCount;
  std::uint32_t KeptLetters;  // kept letters that fold to at least one letter
  std::uint32_t TrailingMarks;
  bool TrailingDialytika;
  bool LastKeptFoldsToNothing;
  char32_t Language;  // a letter past the kept ones that decides its alphabet, or 0
  std::uint32_t ShownCodePoints;
  std::uint32_t ShownLength;
  char32_t Kept[kKeptCodePoints + 1];  // + 1: room for Language
  std::uint8_t Shown[4 * kMaxWordLetters];
};

// About 83 KiB (most of it the decoded code points and the maps of a read), made by the
// caller on the heap (MakeLetterReading) or static, rather than on a thread's stack.
struct LetterScan final : public WordReading {
  void Start(const HeardTerm& term, bool listAll, std::int64_t firstLine, WordListener listener,
             void* context) override;
  int Read(const std::uint8_t* bytes, std::uint32_t count, std::int64_t offset) override;
  // Its zero bytes read as they would if read: U+0000 separators, and in UTF-16 units that
  // may pair with a byte on either side. So its effect, a word it ends and that word's
  // match, comes with the next call, whose outcome it is.
  int ReadZeroRun(std::int64_t offset) override;
  // What the decoder held back is read too.
  int Finish(std::int64_t size) override;
  // The byte reading's line is the scan's: the decoded reading moves it on at each line feed
  // it reads, so a piece's reader need not count the lines again.
  std::int64_t LineAfterReads() const override { return Bytes.LineAfterReads(); }
  // A UTF-16 file's line feeds are two bytes and its pieces would begin in the middle of a
  // unit: only a file read as UTF-8 is read in pieces.
  bool ReadsInPieces(const std::uint8_t* first, std::uint32_t count) const override;
  void StartInside(std::int64_t offset) override;

  const HeardTerm* Term;
  ChunkScan Bytes;  // the byte reading; its line is the scan's
  bool ListAll;
  WordListener Listener;
  void* Context;
  TextDecoder Decoder;
  bool Decoding;       // the decoded reading has the text (else the byte reading has it)
  std::uint8_t Where;  // where the decoded reading is: outside, inside or spoilt word
  bool FoundByBytes;   // a first-match scan's byte reading found a match
  LetterWord Word;
  // The read the byte reading has, and the words around its non-ASCII bytes (regions) that
  // the decoded reading has meanwhile; ReadBytes is null outside such a read.
  const std::uint8_t* ReadBytes;
  std::uint32_t ReadCount;
  std::int64_t ReadOffset;
  bool RunInto;               // the run remembered below goes on into this read
  std::uint8_t ReadBefore;    // the byte before the read
  bool Mapped;                // the maps below are the read's
  std::uint32_t RegionsFrom;  // where the next region may begin
  std::int64_t ReadLine;      // the line at the read's start
  std::int64_t ReadLineStart;
  std::int64_t RegionLine;  // the line at LinesCountedTo
  std::int64_t RegionLineStart;
  std::uint32_t LinesCountedTo;
  // A run of ASCII letters and joiners that reached the end of the last read, which the
  // byte reading had; taken over if non-ASCII letters go on with it.
  bool RunActive;
  bool RunSpoilt;
  bool RunEndsWithJoiner;
  std::int64_t RunStart;
  std::uint32_t RunLength;
  std::uint8_t RunLetters[kMaxWordLetters];
  // A run of zero bytes not read, handled once its length is known.
  bool HolePending;
  std::int64_t HoleStart;
  // Bit i % 64 of word i / 64 is set when byte i of the read is from 0x80 up; is an ASCII
  // separator; is where a region may hold a word the term can match. A word with every bit
  // set follows the read's.
  std::uint64_t NonAsciiMap[kMappedBytes / 64 + 1];
  std::uint64_t SeparatorMap[kMappedBytes / 64 + 1];
  std::uint64_t EventMap[kMappedBytes / 64 + 1];
  // Classes of a byte by its low and its high half: a byte is in a class when the entries of
  // its halves share the class's bit (the term's start letters, continuation bytes, the lead
  // bytes of two-byte sequences).
  std::uint8_t ClassesByLow[16];
  std::uint8_t ClassesByHigh[16];
  // The letters a-z the term's words can begin with, bit i for 'a' + i.
  std::uint32_t StartMask;
  // The two-byte letters of the leads kMappedLeads that can begin a word the term can match,
  // by the low half of the second byte and its row (high half 8 to B): bit `lead` of
  // WantedByRow[row][low half].
  std::uint8_t WantedByRow[4][16];
  char32_t CodePoints[kLetterPiece + kDecodeSlack];
  std::int64_t Positions[kLetterPiece + kDecodeSlack];
};
