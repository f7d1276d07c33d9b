// Why a document (a zip archive of XML parts: .docx, .odt, .epub) was not read, as the
// readers of its archive and its XML say it, and the text each reason is told with. Any
// thread.
#pragma once

constexpr int kDocumentRead = 0;
constexpr int kDocumentBroken = -1;       // not an archive, a part missing or damaged, bad XML
constexpr int kDocumentEncrypted = -2;    // a part is encrypted
constexpr int kDocumentTooLarge = -3;     // beyond the bounds below: a zip bomb
constexpr int kDocumentPathOutside = -4;  // an entry's path leads out of the archive
constexpr int kDocumentEntities = -5;     // the XML declares entities
constexpr int kDocumentNoMemory = -6;

// The bounds of what a document may expand to. A document is read whole into memory: its
// archive up to kMostArchiveBytes; each part it is read for up to kMostPartBytes expanded,
// all of them up to kMostExpandedBytes; and a part that expands past kRatioFloorBytes at
// most kMostRatio times its compressed size (text XML compresses about ten to one).
constexpr long long kMostArchiveBytes = 256ll << 20;
constexpr long long kMostPartBytes = 64ll << 20;
constexpr long long kMostExpandedBytes = 256ll << 20;
constexpr long long kRatioFloorBytes = 1ll << 20;
constexpr long long kMostRatio = 100;

// "refused: the archive is encrypted", ...
const char* DocumentRefusalText(int refusal);
