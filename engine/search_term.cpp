#include "engine/search_term.h"

int PrepareSearchTerm(const char* word, const SoundMethod& method, SearchTerm* term) {
  term->Heard = method.Hear(word);
  return term->Heard != nullptr ? 0 : -1;
}

int PrepareSearchTerm(const char* word, SearchTerm* term) {
  return PrepareSearchTerm(word, DefaultSoundMethod(), term);
}
