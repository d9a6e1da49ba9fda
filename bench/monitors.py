#!/usr/bin/python3
"""The CPU cost of every monitor showing the snow: the default run, paced as it paces itself (the
run benchmark's BM_RunPaced on a real X display), on one monitor and on two side by side (Xephyr
with Xinerama nested in Xvfb, a 16:9 primary and a 5:4 second monitor), interleaved; the CPU a
frame costs, since a loaded machine may not keep 60 frames a second. Each extra monitor should cost about
what its pixels predict: the goal is a two-monitor run within the sum of the two areas over the
primary's area, plus 10%. Not part of the tests; needs xvfb and xserver-xephyr (the test packages).

  python3 bench/monitors.py [RUN_BENCH] [SECONDS] [ROUNDS] [SCALE]

SCALE divides both monitors' sides (default 2: 960x540 beside 640x512), so that the software
renderer keeps up with 60 frames a second on a small machine and the figures compare work, not
a frame rate that gave up.
"""
import json
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


def measure(bench, monitors, seconds, work):
    """(core share, frames a second) of a paced run on the given monitors (a list of (w, h))."""
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
    env = {**os.environ, "DISPLAY": f":{nested}", "FLURRIX_BENCH_ON_DISPLAY": "1",
           "FLURRIX_RUN_SECONDS": str(seconds), "FLURRIX_AUDIO_SINK": "fakesink"}
    try:
        time.sleep(1)
        out = subprocess.run([bench, "--benchmark_filter=BM_RunPaced/", "--benchmark_format=json"],
                             env=env, capture_output=True, text=True, check=True).stdout
        figures = json.loads(out)["benchmarks"][0]
        return figures["core_percent"] / 100, figures["frames_per_s"]
    finally:
        xephyr.terminate()
        xvfb.terminate()
        xephyr.wait()
        xvfb.wait()


def main():
    bench = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/run_bench")
    seconds = int(sys.argv[2]) if len(sys.argv) > 2 else 20
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    scale = int(sys.argv[4]) if len(sys.argv) > 4 else 2
    primary = (PRIMARY[0] // scale, PRIMARY[1] // scale)
    second = (SECOND[0] // scale, SECOND[1] // scale)
    work = tempfile.mkdtemp(prefix="flurrix-monitors-")
    try:
        one, two = [], []
        for _ in range(rounds):
            one.append(measure(bench, [primary], seconds, work))
            two.append(measure(bench, [primary, second], seconds, work))

        def show(runs):
            cpu = statistics.median(c for c, _ in runs)
            fps = statistics.median(f for _, f in runs)
            per_frame = statistics.median(1000 * c / f for c, f in runs)
            return cpu, fps, per_frame, (f"{100 * cpu:.0f}% of a core at {fps:.1f} frames/s, "
                                         f"{per_frame:.2f} ms of CPU a frame")

        area = (primary[0] * primary[1] + second[0] * second[1]) / (primary[0] * primary[1])
        one_cpu, one_fps, one_frame, one_text = show(one)
        two_cpu, two_fps, two_frame, two_text = show(two)
        print(f"one monitor {primary[0]}x{primary[1]}: {one_text}")
        print(f"two monitors {primary[0]}x{primary[1]} + {second[0]}x{second[1]}: {two_text}")
        print(f"CPU a frame, two against one: {two_frame / one_frame:.2f} (CPU share "
              f"{two_cpu / one_cpu:.2f}); the areas predict {area:.2f}, the goal is at most "
              f"{1.1 * area:.2f}")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
