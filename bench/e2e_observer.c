/* bench/e2e's observer and driver: watches the X server's raw input events, the closest a client
 * gets to the server's own input queue, and times one subject program that turns stdin lines
 * into input.
 *
 *   e2e_observer --events motion|key|warp --count N --input FILE [--latency FILE] [--warmup W]
 *                -- command [args...]
 *
 * It selects XI_RawMotion, XI_RawButtonPress/Release and XI_RawKeyPress/Release on the root
 * window for every master device, and counts one event per command: a raw motion for "motion",
 * a raw key release of a key that is no modifier for "key" (the end of a tap, whatever
 * modifiers a subject wraps around it). "warp" counts non-raw XI_Motion instead, for a subject
 * that moves the pointer with XWarpPointer, which makes no raw event. Every event is stamped with
 * CLOCK_MONOTONIC when it is read off the connection.
 *
 * Throughput: starts the command with its stdin on a pipe, writes FILE into it from a second
 * thread as fast as the pipe takes it, then closes it, and stamps the first N counted events.
 * Latency: starts the command again and writes the lines of the --latency file one at a time,
 * each only after the event of the one before was seen, timing write to event; the first W
 * (default 20) are warm-up. One line on stdout, key=value:
 *
 *   seen        counted events of the throughput run (N when complete)
 *   first_ms    process start to its first event
 *   e2e         events per second, process start to the last event
 *   steady      events per second between the 10th and the 90th percentile event
 *   p50_ms p99_ms   single-event latency; "-" when a subject does not deliver a line before
 *                   its next one arrives (1 s without the event)
 *
 * Before each run the pointer is parked at (1, 1), which no workload visits, so the first move
 * of a run always moves, and the queue is drained.
 */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

static Display* display;
static int xiOpcode;
/* What one command's event is: a raw motion, a raw key release of a key that is no modifier,
 * or a (non-raw) motion event of a master pointer, for subjects that warp the pointer. */
enum Counted { kRawMotion, kRawKey, kMotion };
static enum Counted counted;
static unsigned char isModifier[256];
static int dump; /* E2E_DUMP set: every XI event read is printed to stderr */

static double now(void) {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return (double)ts.tv_sec + (double)ts.tv_nsec * 1e-9;
}

static void die(const char* what) {
  fprintf(stderr, "e2e_observer: %s\n", what);
  exit(1);
}

static char* readFile(const char* path, size_t* size) {
  FILE* file = fopen(path, "rb");
  if (file == NULL) die("cannot open an input file");
  fseek(file, 0, SEEK_END);
  const long length = ftell(file);
  fseek(file, 0, SEEK_SET);
  char* data = malloc((size_t)length + 1);
  if (data == NULL || fread(data, 1, (size_t)length, file) != (size_t)length) die("read failed");
  data[length] = '\0';
  fclose(file);
  *size = (size_t)length;
  return data;
}

static void selectRawEvents(void) {
  int event, error;
  if (!XQueryExtension(display, "XInputExtension", &xiOpcode, &event, &error)) {
    die("no XInput extension");
  }
  int major = 2, minor = 2;
  if (XIQueryVersion(display, &major, &minor) != Success) die("no XInput 2");
  unsigned char bits[XIMaskLen(XI_LASTEVENT)];
  memset(bits, 0, sizeof bits);
  XISetMask(bits, XI_RawMotion);
  XISetMask(bits, XI_RawButtonPress);
  XISetMask(bits, XI_RawButtonRelease);
  XISetMask(bits, XI_RawKeyPress);
  XISetMask(bits, XI_RawKeyRelease);
  XISetMask(bits, XI_Motion);
  XIEventMask mask = {XIAllMasterDevices, sizeof bits, bits};
  XISelectEvents(display, DefaultRootWindow(display), &mask, 1);

  XModifierKeymap* modifiers = XGetModifierMapping(display);
  for (int i = 0; i < 8 * modifiers->max_keypermod; ++i) {
    isModifier[modifiers->modifiermap[i]] = 1;
  }
  isModifier[0] = 1;
  XFreeModifiermap(modifiers);
  XSync(display, False);
}

/* Reads every event already queued or readable; returns how many counted events it stamped
 * (at most room of them into stamps, which may be null). */
static int takeEvents(double* stamps, int room) {
  int taken = 0;
  while (XPending(display) > 0) {
    XEvent event;
    XNextEvent(display, &event);
    XGenericEventCookie* cookie = &event.xcookie;
    if (cookie->type != GenericEvent || cookie->extension != xiOpcode) continue;
    if (!XGetEventData(display, cookie)) continue;
    const XIRawEvent* raw = cookie->data;
    int match = 0;
    switch (counted) {
      case kRawMotion:
        match = cookie->evtype == XI_RawMotion;
        break;
      case kRawKey:
        match = cookie->evtype == XI_RawKeyRelease && raw->detail >= 0 && raw->detail < 256 &&
                !isModifier[raw->detail];
        break;
      case kMotion:
        match = cookie->evtype == XI_Motion;
        break;
    }
    if (dump) fprintf(stderr, "e2e_observer: evtype %d detail %d\n", cookie->evtype, raw->detail);
    XFreeEventData(display, cookie);
    if (!match) continue;
    if (stamps != NULL && taken < room) stamps[taken] = now();
    ++taken;
  }
  return taken;
}

/* Waits until `want` counted events arrived or `quiet` seconds pass without one. */
static int waitEvents(int want, double quiet, double* stamps) {
  int seen = 0;
  double last = now();
  while (seen < want) {
    const int got = takeEvents(stamps == NULL ? NULL : stamps + seen, want - seen);
    if (got > 0) {
      seen += got;
      last = now();
      continue;
    }
    const double left = quiet - (now() - last);
    if (left <= 0) break;
    struct pollfd p = {ConnectionNumber(display), POLLIN, 0};
    poll(&p, 1, (int)(left * 1000) + 1);
  }
  return seen;
}

static void drain(double quiet) {
  XSync(display, False);
  while (waitEvents(1 << 30, quiet, NULL) > 0) {
  }
}

static void park(void) {
  XTestFakeMotionEvent(display, -1, 1, 1, CurrentTime);
  drain(0.05);
}

typedef struct {
  pid_t pid;
  int input;
} Subject;

static Subject start(char** argv) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) die("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  Subject subject = {-1, fds[1]};
  if (posix_spawnp(&subject.pid, argv[0], &actions, NULL, argv, environ) != 0) {
    die("cannot start the subject");
  }
  posix_spawn_file_actions_destroy(&actions);
  close(fds[0]);
  return subject;
}

/* Closes the subject's input and waits for it to end, killing it after 20 s. */
static void finish(Subject* subject) {
  if (subject->input >= 0) close(subject->input);
  subject->input = -1;
  const double deadline = now() + 20;
  int status;
  while (waitpid(subject->pid, &status, WNOHANG) == 0) {
    if (now() > deadline) {
      kill(subject->pid, SIGKILL);
      waitpid(subject->pid, &status, 0);
      break;
    }
    usleep(2000);
  }
}

static int writeAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return -1;
    data += written;
    size -= (size_t)written;
  }
  return 0;
}

typedef struct {
  int fd;
  const char* data;
  size_t size;
} Feed;

static void* feed(void* arg) {
  Feed* f = arg;
  writeAll(f->fd, f->data, f->size);
  close(f->fd);
  return NULL;
}

static int compareDoubles(const void* a, const void* b) {
  const double x = *(const double*)a, y = *(const double*)b;
  return (x > y) - (x < y);
}

int main(int argc, char** argv) {
  const char* inputPath = NULL;
  const char* latencyPath = NULL;
  int count = 0;
  int warmup = 20;
  int commandAt = -1;
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--") == 0) {
      commandAt = i + 1;
      break;
    }
    if (i + 1 >= argc) die("an option lacks its value");
    if (strcmp(argv[i], "--events") == 0) {
      ++i;
      if (strcmp(argv[i], "motion") == 0) {
        counted = kRawMotion;
      } else if (strcmp(argv[i], "key") == 0) {
        counted = kRawKey;
      } else if (strcmp(argv[i], "warp") == 0) {
        counted = kMotion;
      } else {
        die("--events takes motion, key or warp");
      }
    } else if (strcmp(argv[i], "--count") == 0) {
      count = atoi(argv[++i]);
    } else if (strcmp(argv[i], "--input") == 0) {
      inputPath = argv[++i];
    } else if (strcmp(argv[i], "--latency") == 0) {
      latencyPath = argv[++i];
    } else if (strcmp(argv[i], "--warmup") == 0) {
      warmup = atoi(argv[++i]);
    } else {
      die("unknown option");
    }
  }
  if (commandAt < 0 || commandAt >= argc || inputPath == NULL || count <= 0) {
    die("usage: e2e_observer --events motion|key|warp --count N --input FILE [--latency FILE] "
        "[--warmup W] -- command [args...]");
  }
  signal(SIGPIPE, SIG_IGN);
  dump = getenv("E2E_DUMP") != NULL;
  display = XOpenDisplay(NULL);
  if (display == NULL) die("cannot open the display");
  fcntl(ConnectionNumber(display), F_SETFD, FD_CLOEXEC);
  selectRawEvents();
  char** command = argv + commandAt;

  /* Throughput. */
  size_t size = 0;
  char* input = readFile(inputPath, &size);
  double* stamps = calloc((size_t)count, sizeof *stamps);
  park();
  const double started = now();
  Subject subject = start(command);
  Feed f = {subject.input, input, size};
  subject.input = -1; /* the feeding thread closes it */
  pthread_t feeder;
  pthread_create(&feeder, NULL, feed, &f);
  const int seen = waitEvents(count, 5.0, stamps);
  pthread_join(feeder, NULL);
  finish(&subject);
  free(input);
  printf("seen=%d", seen);
  if (seen > 0) {
    printf(" first_ms=%.3f e2e=%.0f", (stamps[0] - started) * 1e3,
           seen / (stamps[seen - 1] - started));
  }
  const int low = seen / 10, high = seen * 9 / 10;
  if (high > low && stamps[high] > stamps[low]) {
    printf(" steady=%.0f", (high - low) / (stamps[high] - stamps[low]));
  }

  /* Latency, one line at a time. */
  if (latencyPath != NULL) {
    char* lines = readFile(latencyPath, &size);
    int total = 0;
    for (size_t i = 0; i < size; ++i) total += lines[i] == '\n';
    double* samples = calloc((size_t)total + 1, sizeof *samples);
    int samplesTaken = 0, failed = 0;
    park();
    subject = start(command);
    char* line = lines;
    for (int i = 0; i < total; ++i) {
      char* end = strchr(line, '\n') + 1;
      takeEvents(NULL, 0);
      const double before = now();
      if (writeAll(subject.input, line, (size_t)(end - line)) != 0 ||
          waitEvents(1, 1.0, NULL) < 1) {
        failed = 1;
        break;
      }
      if (i >= warmup) samples[samplesTaken++] = now() - before;
      line = end;
    }
    finish(&subject);
    if (!failed && samplesTaken > 0) {
      qsort(samples, (size_t)samplesTaken, sizeof *samples, compareDoubles);
      printf(" p50_ms=%.4f p99_ms=%.4f", samples[samplesTaken / 2] * 1e3,
             samples[(samplesTaken * 99) / 100] * 1e3);
    } else {
      printf(" p50_ms=- p99_ms=-");
    }
    free(samples);
    free(lines);
  }
  printf("\n");
  free(stamps);
  XCloseDisplay(display);
  return 0;
}
