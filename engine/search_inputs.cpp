#include "engine/search_inputs.h"

#include "engine/search_state.h"
#include "platform/window.h"

void ReadSearchForText() {
  GetControlText(kSearchForEdit, SearchState.SearchText, sizeof SearchState.SearchText);
}

int ReadSearchInputs() {
  int subdirState = GetCheckState(kIncludeSubdirsCheck);
  GetControlText(kSearchInEdit, SearchState.SearchSpecText, sizeof SearchState.SearchSpecText);
  return subdirState;
}
