#!/usr/bin/python3
"""The CPU cost of every monitor showing the snow: the default run (music off) on one monitor and on
two side by side (Xephyr with Xinerama nested in Xvfb, a 16:9 primary and a 5:4 second monitor),
the process's CPU seconds over the same time, interleaved. Each extra monitor should cost about
what its pixels predict: the goal is a two-monitor run within the sum of the two areas over the
primary's area, plus 10%. Not part of the tests; needs xvfb and xserver-xephyr.

  python3 bench/monitors.py [PROGRAM] [SECONDS] [ROUNDS] [SCALE]

SCALE divides both monitors' sides (default 2: 960x540 beside 640x512), so that the software
renderer keeps up with 60 frames a second on a small machine and the figures compare work, not
a frame rate that gave up.
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

PRIMARY = (1920, 1080)
SECOND = (1280, 1024)


def wait_for(path):
    for _ in range(100):
        if os.path.exists(path) and os.path.getsize(path) > 0:
            return open(path).readline().strip()
        time.sleep(0.1)
    raise RuntimeError(f"no display number in {path}")


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def measure(program, monitors, seconds, work):
    """CPU seconds per wall second of one run on the given monitors (a list of (w, h))."""
    width = sum(w for w, _ in monitors)
    height = max(h for _, h in monitors)
    outer_file = os.path.join(work, "outer")
    nested_file = os.path.join(work, "nested")
    for f in (outer_file, nested_file):
        if os.path.exists(f):
            os.remove(f)
    with open(outer_file, "w") as out:
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", f"{width}x{height}x24",
                                 "-nolisten", "tcp", "-noreset"], stdout=out,
                                stderr=subprocess.DEVNULL)
    outer = wait_for(outer_file)
    screens = []
    x = 0
    for w, h in monitors:
        screens += ["-screen", f"{w}x{h}+{x}+0"]
        x += w
    with open(nested_file, "w") as out:
        xephyr = subprocess.Popen(["Xephyr", "-displayfd", "1", *screens, "+xinerama", "-nolisten",
                                   "tcp", "-noreset"], stdout=out, stderr=subprocess.DEVNULL,
                                  env={**os.environ, "DISPLAY": f":{outer}"})
    nested = wait_for(nested_file)
    env = {**os.environ, "DISPLAY": f":{nested}", "XDG_CONFIG_HOME": os.path.join(work, "config"),
           "XDG_RUNTIME_DIR": work, "FLURRIX_SITE": "http://127.0.0.1:9"}
    try:
        time.sleep(1)
        run = subprocess.Popen([program, "/s"], env=env, stderr=subprocess.DEVNULL)
        time.sleep(4)  # start-up and the first picture's fade-in
        start, cpu_start = time.monotonic(), cpu_seconds(run.pid)
        time.sleep(seconds)
        used = (cpu_seconds(run.pid) - cpu_start) / (time.monotonic() - start)
        run.terminate()
        run.wait(timeout=10)
        return used
    finally:
        xephyr.terminate()
        xvfb.terminate()
        xephyr.wait()
        xvfb.wait()


def main():
    program = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/flurrix")
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 20
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    scale = int(sys.argv[4]) if len(sys.argv) > 4 else 2
    primary = (PRIMARY[0] // scale, PRIMARY[1] // scale)
    second = (SECOND[0] // scale, SECOND[1] // scale)
    work = tempfile.mkdtemp(prefix="flurrix-monitors-")
    try:
        config = os.path.join(work, "config")
        subprocess.run([program, "/i"], env={**os.environ, "XDG_CONFIG_HOME": config,
                                             "XDG_RUNTIME_DIR": work, "DISPLAY": ""}, check=True)
        ini = os.path.join(config, "Corvantic", "Flurrix Screensaver", "config.ini")
        text = open(ini, encoding="utf-8").read().replace("music = 1", "music = 0")
        open(ini, "w", encoding="utf-8").write(text)
        one, two = [], []
        for _ in range(rounds):
            one.append(measure(program, [primary], seconds, work))
            two.append(measure(program, [primary, second], seconds, work))
        area = (primary[0] * primary[1] + second[0] * second[1]) / (primary[0] * primary[1])
        one_cpu, two_cpu = statistics.median(one), statistics.median(two)
        print(f"one monitor {primary[0]}x{primary[1]}: {100 * one_cpu:.0f}% of a core "
              f"(runs: {', '.join(f'{100 * c:.0f}' for c in one)})")
        print(f"two monitors {primary[0]}x{primary[1]} + {second[0]}x{second[1]}: "
              f"{100 * two_cpu:.0f}% of a core (runs: {', '.join(f'{100 * c:.0f}' for c in two)})")
        print(f"ratio {two_cpu / one_cpu:.2f}; the areas predict {area:.2f}, "
              f"the goal is at most {1.1 * area:.2f}")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
