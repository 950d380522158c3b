/* A library the serial-port tests preload into Wine (LD_PRELOAD), for serial ports that are
 * pseudo-terminals standing in for real ones.
 *
 * Wine purges a port's transmit side with tcflush(TCOFLUSH). On a real port that discards only
 * what the UART has not sent yet, and a write that Windows reported complete has been sent: a
 * purge at the next open loses nothing. On a pseudo-terminal nothing is ever "being sent": the
 * bytes wait in the other side's buffer until the relay reads them, and TCOFLUSH throws them
 * away. So on a pseudo-terminal the transmit purge is left out here (the receive purge stays);
 * every other descriptor is purged as asked. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>

/* The Unix98 pseudo-terminal slaves (/dev/pts/N) have the major numbers 136 to 143. */
static int IsPseudoTerminal(int fd) {
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return 0;
  const unsigned int kind = major(st.st_rdev);
  return kind >= 136 && kind <= 143;
}

int tcflush(int fd, int queue) {
  static int (*real)(int, int);
  if (!real) {
    real = (int (*)(int, int))dlsym(RTLD_NEXT, "tcflush");
    if (!real) abort();
  }
  if (IsPseudoTerminal(fd)) {
    if (queue == TCOFLUSH) return 0;
    if (queue == TCIOFLUSH) queue = TCIFLUSH;
  }
  return real(fd, queue);
}
