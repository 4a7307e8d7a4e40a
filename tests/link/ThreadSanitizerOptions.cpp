// Under the thread sanitizer: the command-line cases start tarvelo-cli (a fork and an exec)
// while the far end of a pseudo-terminal runs on a thread of its own. The child only execs,
// so the sanitizer's refusal of threads after such a fork does not apply to it.
#if defined(__SANITIZE_THREAD__)
extern "C" const char* __tsan_default_options() {
  return "die_after_fork=0";
}
#endif
