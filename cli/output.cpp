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

// Not to a terminal, the lines are gathered here first and given to the stream a block at
// a time: a call into the stream for each line and for its line feed cost more than the
// line itself.
char lineBuffer[1 << 16];
std::size_t lineBufferUsed = 0;

void WriteGathered() {
  if (lineBufferUsed == 0) return;
  const std::size_t length = lineBufferUsed;
  lineBufferUsed = 0;
  if (std::fwrite(lineBuffer, 1, length, stdout) != length) StopOnOutputFailure(errno);
}

void Write(const char* text, std::size_t length) {
  if (outputIsTerminal) {
    ClearProgress();
    if (std::fwrite(text, 1, length, stdout) != length || std::fputc('\n', stdout) == EOF)
      StopOnOutputFailure(errno);
    return;
  }
  if (length + 1 > sizeof lineBuffer - lineBufferUsed) {
    WriteGathered();
    if (length + 1 > sizeof lineBuffer) {
      if (std::fwrite(text, 1, length, stdout) != length || std::fputc('\n', stdout) == EOF)
        StopOnOutputFailure(errno);
      return;
    }
  }
  std::memcpy(lineBuffer + lineBufferUsed, text, length);
  lineBuffer[lineBufferUsed + length] = '\n';
  lineBufferUsed += length + 1;
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
  const std::size_t gathered = lineBufferUsed;
  lineBufferUsed = 0;
  if (gathered != 0 && std::fwrite(lineBuffer, 1, gathered, stdout) != gathered)
    return errno != 0 ? errno : EIO;
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
