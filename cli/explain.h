// tessik-cli --explain: how one query word is normalised, varied and coded.
// Runs on the calling thread of tessik-cli.
#pragma once

// Prints the explanation of `word` on standard output and returns 0, or prints a short
// explanation of the error on standard error and returns 2 (usage error).
int RunExplain(const char* word);
