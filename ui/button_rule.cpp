#include "ui/button_rule.h"

#include "engine/search_state.h"
#include "platform/window.h"
#include "ui/window_search.h"

void RefreshButtons() {
  SetControlText(kGoButton, "&Go");
  SetControlText(kPauseButton, "&Pause");
  EnableControl(kPauseButton, false);
  EnableControl(kSaveButton, WindowSearchState().ResultList.NonEmpty != 0 ||
                                 WindowSearchState().UnopenedFiles.NonEmpty != 0);
  bool haveResults = WindowSearchState().ResultList.Count > 0;
  EnableControl(kDeleteButton, haveResults);
  EnableControl(kClearButton, haveResults);
}
