#include "engine/search_inputs.h"

#include "engine/search_state.h"
#include "platform/window.h"

int ReadSearchInputs() {
  int subdirState = GetCheckState(kIncludeSubdirsCheck);
  GetControlText(kSearchInEdit, SearchState.SearchSpecText, sizeof SearchState.SearchSpecText);
  return subdirState;
}
