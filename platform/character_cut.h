// Where a text may be cut without cutting a character in two. A text is read as UTF-8 in
// which a byte that begins no valid sequence is a character of its own (as the letter
// reading takes it: one Windows-1252 character), so that a text of ASCII, or of a code page
// of one byte per character, is cut where it always was. Pure functions: any thread.
#pragma once

#include <cstddef>

// The length in bytes of the character at the start of text[0..length), length > 0: 2 to 4
// for a valid UTF-8 sequence, else 1.
std::size_t CharacterLength(const char* text, std::size_t length);

// The bytes of the first `characters` characters of text[0..length).
std::size_t CharactersPrefix(const char* text, std::size_t length, std::size_t characters);

// The longest prefix of text[0..length) of at most `bytes` bytes that ends between two
// characters.
std::size_t WholeCharactersWithin(const char* text, std::size_t length, std::size_t bytes);

// How many characters text[0..length) holds.
std::size_t CountCharacters(const char* text, std::size_t length);
