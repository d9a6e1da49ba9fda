#!/usr/bin/python3
"""Times the default run against its peer on this machine (not part of the tests): `flurrix /s`
and XScreenSaver's GL slide show `glslideshow -root` (Debian's xscreensaver-gl), each with its
default settings, in turn on the same virtual 1920 x 1080 screen (Xvfb), for the same time. It
reports each one's CPU time as a share of one core (the whole process with its threads and
helpers, after a few seconds of start), the frames it presented a second (Mesa's own count,
GALLIUM_HUD=fps, not drawn), its CPU time per frame (which a busy machine disturbs less), the X
server's share while it ran (the presenting), and the ratio flurrix / glslideshow. The slide
show shows the run's own winter pictures.

Runs on Mesa's software renderer (llvmpipe), as a machine without a graphics card does. Start it
from the repository after a build; Xvfb, xscreensaver-gl and Mesa come from
scripts/packages/linux-test.txt.

  bench/run_peers.py [SECONDS [ROUNDS [PROGRAM]]]   default 20 seconds, 3 rounds, interleaved,
                                                   build/flurrix (another build's, to compare)
"""
import os
import signal
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build")
GLSLIDESHOW = "/usr/libexec/xscreensaver/glslideshow"
TICK = os.sysconf("SC_CLK_TCK")
WARM_UP = 3.0


def stat_fields(pid):
    with open(f"/proc/{pid}/stat") as f:
        text = f.read()
    return text[text.rindex(")") + 2:].split()  # fields from the state (field 3) on


def session_cpu(sid):
    """CPU seconds of every process of the session so far, its finished helpers included."""
    total = 0
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            f = stat_fields(entry)
        except OSError:
            continue
        if int(f[3]) == sid:  # field 6: the session
            total += int(f[11]) + int(f[12])  # utime, stime
            if int(entry) == sid:
                total += int(f[13]) + int(f[14])  # waited-for children
    return total / TICK


def process_cpu(pid):
    f = stat_fields(pid)
    return (int(f[11]) + int(f[12])) / TICK


def hud_values(folder):
    try:
        with open(os.path.join(folder, "fps")) as f:
            return [float(v) for v in f.read().split()]
    except OSError:
        return []


def per_frame(cpu, fps):
    return 10 * cpu / fps if fps > 0 else float("nan")  # ms: cpu is in percent of a second


def median(values):
    values = sorted(values)
    return values[len(values) // 2] if values else float("nan")


def start_xvfb():
    for display in range(90, 130):
        if os.path.exists(f"/tmp/.X11-unix/X{display}") or os.path.exists(f"/tmp/.X{display}-lock"):
            continue
        server = subprocess.Popen(["Xvfb", f":{display}", "-screen", "0", "1920x1080x24",
                                   "-noreset", "-nolisten", "tcp"],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(50):
            if os.path.exists(f"/tmp/.X11-unix/X{display}"):
                return server, f":{display}"
            time.sleep(0.1)
        server.kill()
    sys.exit("no free display for Xvfb")


def measure(command, env, seconds, xvfb):
    """Runs `command` for WARM_UP + `seconds`; its CPU share, frames a second and Xvfb's share."""
    hud = tempfile.mkdtemp()
    env = dict(env, GALLIUM_HUD="fps", GALLIUM_HUD_VISIBLE="false", GALLIUM_HUD_PERIOD="1",
               GALLIUM_HUD_DUMP_DIR=hud)
    program = subprocess.Popen(command, env=env, start_new_session=True,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(WARM_UP)
        if program.poll() is not None:
            sys.exit(f"{command[0]} ended by itself (exit {program.returncode})")
        cpu0, x0, t0 = session_cpu(program.pid), process_cpu(xvfb.pid), time.monotonic()
        skip = len(hud_values(hud))
        time.sleep(seconds)
        cpu1, x1, t1 = session_cpu(program.pid), process_cpu(xvfb.pid), time.monotonic()
        fps = hud_values(hud)[skip:]
    finally:
        os.killpg(program.pid, signal.SIGTERM)
        try:
            program.wait(timeout=5)
        except subprocess.TimeoutExpired:
            os.killpg(program.pid, signal.SIGKILL)
            program.wait()
    wall = t1 - t0
    return 100 * (cpu1 - cpu0) / wall, median(fps), 100 * (x1 - x0) / wall


def main():
    seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 20
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    flurrix = os.path.abspath(sys.argv[3]) if len(sys.argv) > 3 else os.path.join(BUILD, "flurrix")
    for needed in (flurrix, GLSLIDESHOW):
        if not os.access(needed, os.X_OK):
            sys.exit(f"{needed} is missing: build first, and install xscreensaver-gl")

    home = tempfile.mkdtemp()  # the settings of both: defaults, the slide show's pictures ours
    with open(os.path.join(home, ".xscreensaver"), "w") as f:
        f.write("grabDesktopImages: False\nchooseRandomImages: True\n"
                f"imageDirectory: {os.path.join(BUILD, 'data', 'forest')}\n")
    runtime = tempfile.mkdtemp()
    os.chmod(runtime, 0o700)
    server, display = start_xvfb()
    env = dict(os.environ, DISPLAY=display, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
               XDG_RUNTIME_DIR=runtime)
    peers = {"flurrix /s": [flurrix, "/s"], "glslideshow -root": [GLSLIDESHOW, "-root"]}
    figures = {name: [] for name in peers}
    try:
        for r in range(rounds):
            for name, command in peers.items():
                cpu, fps, x = measure(command, env, seconds, server)
                figures[name].append((cpu, fps, x))
                print(f"round {r + 1} {name}: {cpu:.0f}% of a core, {fps:.1f} frames/s "
                      f"({per_frame(cpu, fps):.1f} ms each), Xvfb {x:.0f}%", flush=True)
    finally:
        server.terminate()
        server.wait()
    print(f"medians over {rounds} rounds of {seconds:.0f} s, 1920 x 1080, "
          f"load average {os.getloadavg()[0]:.1f} on {os.cpu_count()} cores:")
    for name, rows in figures.items():
        print(f"  {name}: {median([r[0] for r in rows]):.0f}% of a core at "
              f"{median([r[1] for r in rows]):.1f} frames/s "
              f"({median([per_frame(r[0], r[1]) for r in rows]):.1f} ms of CPU a frame), "
              f"Xvfb {median([r[2] for r in rows]):.0f}%")
    ratios = [a[0] / b[0] for a, b in zip(*figures.values()) if b[0] > 0]
    print(f"  CPU ratio flurrix / glslideshow: {median(ratios):.2f} (round by round: "
          + ", ".join(f"{v:.2f}" for v in ratios) + ")")


if __name__ == "__main__":
    main()
