// Word-processor documents and e-books read as the text a search scans, one line per
// paragraph: .docx (the document, then its headers, footers, footnotes, endnotes and
// comments), .odt (its content, then its styles: headers and footers), .epub (its XHTML
// chapters in reading order). Search worker (tests, fuzzers: any one thread).
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/record_text.h"

enum class DocumentKind : std::uint8_t { kNone, kWord, kOpenDocument, kEpub };

// By the name's extension, in either case: .docx, .odt, .epub.
DocumentKind DocumentKindOfPath(const char* path);

// The document `bytes[0..count)` of `kind` as text (replacing what `text` held): each
// paragraph a line, numbered from 1 across all its parts. kDocumentRead or the refusal
// (engine/document_refusal.h); then `text` is empty.
int ReadDocumentText(DocumentKind kind, const std::uint8_t* bytes, std::size_t count,
                     RecordText* text);
