#include "cli/output.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli/progress.h"
#include "platform/console.h"

namespace {

// Result lines can run to hundreds of thousands: one write per megabyte, not per line.
char outputBuffer[1 << 20];
bool outputIsTerminal = false;

void Write(const char* text, std::size_t length) {
  if (outputIsTerminal) ClearProgress();
  if (std::fwrite(text, 1, length, stdout) != length || std::fputc('\n', stdout) == EOF)
    StopOnOutputFailure(errno);
}

}  // namespace

void PrepareOutput() {
  std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
  outputIsTerminal = IsTerminal(stdout);
}

void WriteOut(const char* line) { Write(line, std::strlen(line)); }

void WriteOut(const std::string& line) { Write(line.data(), line.size()); }

int FlushOut() {
  errno = 0;
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
  return errno != 0 ? errno : EIO;
}

void FlushOutBeforeProgress() {
  if (!outputIsTerminal) return;
  const int error = FlushOut();
  if (error != 0) StopOnOutputFailure(error);
}

void StopOnOutputFailure(int error) {
  ClearProgress();
  std::fprintf(stderr, "tessik-cli: could not write to standard output: %s\n",
               std::strerror(error));
  std::fflush(stderr);
  std::exit(kExitOutputFailed);
}
