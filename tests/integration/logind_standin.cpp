// A stand-in for systemd-logind's suspend calls on the bus of DBUS_SYSTEM_BUS_ADDRESS, so that a
// test can see what the program asks for without suspending anything:
//   logind_standin ANSWER   answers CanSuspend with ANSWER ("yes", "no", ...); prints "ready"
//                           once it owns the name, then one line per call: "CanSuspend" or
//                           "Suspend true|false"; ends on SIGTERM.
#include <signal.h>
#include <systemd/sd-bus.h>

#include <cstdio>

namespace {

const char* answer = "yes";
volatile sig_atomic_t stop = 0;

int CanSuspend(sd_bus_message* call, void*, sd_bus_error*) {
  std::printf("CanSuspend\n");
  std::fflush(stdout);
  return sd_bus_reply_method_return(call, "s", answer);
}

int Suspend(sd_bus_message* call, void*, sd_bus_error*) {
  int interactive = 0;
  const int read = sd_bus_message_read(call, "b", &interactive);
  if (read < 0) return read;
  std::printf("Suspend %s\n", interactive ? "true" : "false");
  std::fflush(stdout);
  return sd_bus_reply_method_return(call, "");
}

const sd_bus_vtable kManager[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("CanSuspend", "", "s", CanSuspend, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Suspend", "b", "", Suspend, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_VTABLE_END,
};

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) answer = argv[1];
  signal(SIGTERM, [](int) { stop = 1; });
  sd_bus* bus = nullptr;
  if (sd_bus_open_system(&bus) < 0 ||
      sd_bus_add_object_vtable(bus, nullptr, "/org/freedesktop/login1",
                               "org.freedesktop.login1.Manager", kManager, nullptr) < 0 ||
      sd_bus_request_name(bus, "org.freedesktop.login1", 0) < 0) {
    std::fprintf(stderr, "logind_standin: cannot serve on the bus\n");
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  while (!stop) {
    const int processed = sd_bus_process(bus, nullptr);
    if (processed < 0) break;
    if (processed == 0) sd_bus_wait(bus, 200000);
  }
  sd_bus_flush_close_unref(bus);
  return 0;
}
