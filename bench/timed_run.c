/* Runs one command and prints its wall time and processor time in microseconds and its peak
 * resident memory in kilobytes: "WALL CPU KB". The clock runs from just before the command
 * is started to just after it has ended, so no other program's start-up is counted in its
 * time (a `date` before and after it and /usr/bin/time around it add milliseconds, which
 * weigh most on the fastest searches).
 *
 *   timed_run OUT ERR COMMAND [ARG...]   (standard output to OUT, errors to ERR)
 */
#define _POSIX_C_SOURCE 200809L
#define _DEFAULT_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static long long Microseconds(const struct timespec* at) {
  return (long long)at->tv_sec * 1000000 + at->tv_nsec / 1000;
}

int main(int argc, char** argv) {
  if (argc < 4) {
    fputs("usage: timed_run OUT ERR COMMAND [ARG...]\n", stderr);
    return 2;
  }
  const int out = open(argv[1], O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int err = open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (out < 0 || err < 0) {
    perror("timed_run");
    return 2;
  }
  struct timespec start, end;
  clock_gettime(CLOCK_MONOTONIC, &start);
  const pid_t child = fork();
  if (child < 0) {
    perror("timed_run: fork");
    return 2;
  }
  if (child == 0) {
    dup2(out, 1);
    dup2(err, 2);
    execvp(argv[3], argv + 3);
    perror("timed_run: exec");
    _exit(127);
  }
  int status = 0;
  struct rusage usage;
  if (wait4(child, &status, 0, &usage) < 0) {
    perror("timed_run: wait");
    return 2;
  }
  clock_gettime(CLOCK_MONOTONIC, &end);
  const long long cpu = (long long)usage.ru_utime.tv_sec * 1000000 + usage.ru_utime.tv_usec +
                        (long long)usage.ru_stime.tv_sec * 1000000 + usage.ru_stime.tv_usec;
  printf("%lld %lld %ld\n", Microseconds(&end) - Microseconds(&start), cpu, usage.ru_maxrss);
  return 0;
}
