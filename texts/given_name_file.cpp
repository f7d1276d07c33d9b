#include "texts/given_name_file.h"

#include "platform/settings.h"

void LoadUserGivenNames(GivenNameExtras* extras, std::vector<std::string>* messages) {
  *extras = GivenNameExtras{};
  std::string path, text;
  const int read = ReadUserFile(kGivenNamesFileName, &path, &text);
  if (read < 0) {
    messages->push_back(path +
                        ": could not be read (at most 1 MiB of text); the search goes on "
                        "without it");
    return;
  }
  if (read > 0) return;
  extras->Read(text.data(), text.size());
  for (const GivenNameProblem& problem : extras->Problems()) {
    messages->push_back(path + ":" + std::to_string(problem.Line) + ": " + problem.Reason +
                        "; the line is left out");
  }
}
