#include "ui/button_rule.h"

#include "engine/search_state.h"
#include "platform/window.h"

void RefreshButtons() {
  SetControlText(kGoButton, "&Go");
  SetControlText(kPauseButton, "&Pause");
  EnableControl(kPauseButton, false);
  EnableControl(kSaveButton, ResultList.NonEmpty != 0 || UnopenedFiles.NonEmpty != 0);
  bool haveResults = ResultList.Count > 0;
  EnableControl(kDeleteButton, haveResults);
  EnableControl(kClearButton, haveResults);
}
