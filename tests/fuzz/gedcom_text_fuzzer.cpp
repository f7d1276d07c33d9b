// The reading of a GEDCOM file as text, over any bytes: whatever the header says, the text
// is valid UTF-8 with every line ended, the places it maps back to are in order and inside
// the file, a file that looks like GEDCOM is told so from its first bytes alone, and reading
// the file twice gives the same text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/gedcom_text.h"
#include "engine/record_text.h"
#include "utf8_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  RecordText text;
  ReadGedcomText(data, size, &text);
  CheckUtf8Lines(text.Text);
  std::int64_t lastPosition = -1, lastLine = 0;
  for (const TextAnchor& anchor : text.Anchors) {
    Check(anchor.TextPosition >= lastPosition);
    Check(anchor.TextPosition <= static_cast<std::int64_t>(text.Text.size()));
    Check(anchor.Line == lastLine + 1);
    Check(anchor.Column >= 1);
    Check(anchor.FileOffset >= 0 && anchor.FileOffset <= static_cast<std::int64_t>(size));
    Check(anchor.Record < static_cast<std::int32_t>(text.Records.size()));
    lastPosition = anchor.TextPosition;
    lastLine = anchor.Line;
  }
  for (std::int64_t position = 0; position < static_cast<std::int64_t>(text.Text.size());
       position += 7) {
    const TextPlace place = PlaceInFile(text, position, 1, 0);
    Check(place.Line >= 1 && place.Column >= 1);
  }
  for (const std::string& record : text.Records) {
    Check(record.size() >= 2 && record.front() == '@' && record.back() == '@');
  }
  // The first 64 bytes decide, as much as the whole file.
  const std::size_t head = size < 64 ? size : 64;
  Check(LooksLikeGedcom(data, size) == LooksLikeGedcom(data, head));
  RecordText again;
  ReadGedcomText(data, size, &again);
  Check(again.Text == text.Text && again.Anchors.size() == text.Anchors.size());
  return 0;
}
