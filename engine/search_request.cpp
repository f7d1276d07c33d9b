#include "engine/search_request.h"

#include <cstring>

#include "platform/character_cut.h"

namespace {

void CopyText(char* to, const char* from, std::size_t length) {
  std::memcpy(to, from, length);
  to[length] = '\0';
}

}  // namespace

SearchRequest MakeSearchRequest(const char* searchIn, const char* searchFor,
                                bool includeSubdirectories) {
  SearchRequest request;
  if (searchIn == nullptr) searchIn = "";
  if (searchFor == nullptr) searchFor = "";
  // A few bytes past the limit are looked at, to tell a character that ends there.
  const std::size_t inLength = strnlen(searchIn, kSearchTextSize + 4);
  CopyText(request.SearchIn, searchIn,
           WholeCharactersWithin(searchIn, inLength, kSearchTextSize - 1));
  const std::size_t forLength = strnlen(searchFor, kSearchForSize + 4);
  CopyText(request.SearchFor, searchFor,
           CharactersPrefix(searchFor, forLength, kSearchForCharacters));
  request.IncludeSubdirectories = includeSubdirectories;
  return request;
}
