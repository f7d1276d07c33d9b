// The About box of the system menu. Window thread only.
#pragma once

void ShowAbout();
