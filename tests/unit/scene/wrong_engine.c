/* An engine library of another version, for the run's start-up check. */
__attribute__((visibility("default"))) int RTO_GetVersion(void) {
  return 529;
}
