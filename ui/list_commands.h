// The commands on the result list: delete one line, clear the list, open the file of
// a line. Window thread only.
#pragma once

void DeleteCommand();
void ClearCommand();
// Opens the file of the selected line with its default application.
void OpenSelectedResult();
