// Where the help page of the program is found: beside the program, or in the shared data
// folder of its installation. Window thread.
#pragma once

#include <QString>

// The full path of the help page, or an empty text when there is none.
QString QtHelpPagePath();
