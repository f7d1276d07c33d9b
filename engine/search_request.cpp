#include "engine/search_request.h"

#include <cstring>

namespace {

void CopyText(char* to, const char* from) {
  std::strncpy(to, from != nullptr ? from : "", kSearchTextSize - 1);
  to[kSearchTextSize - 1] = '\0';
}

}  // namespace

SearchRequest MakeSearchRequest(const char* searchIn, const char* searchFor,
                                bool includeSubdirectories) {
  SearchRequest request;
  CopyText(request.SearchIn, searchIn);
  CopyText(request.SearchFor, searchFor);
  request.IncludeSubdirectories = includeSubdirectories;
  return request;
}
