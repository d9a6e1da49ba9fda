#!/usr/bin/python3
"""Times the peers of bench/images_bench.cpp on this machine (not part of the tests), in CPU time
of the calling thread (OpenCV held to one thread), which shared machines disturb less than wall
time. ImageMagick, a separate process, is timed by the wall clock.

Run the benchmark program first: it leaves the 4000 x 3000 source picture that both use in
$TMPDIR/flurrix-bench/. Needs Debian's python3-opencv (use /usr/bin/python3) and ImageMagick.

  /usr/bin/python3 bench/peers.py [REPEATS]
"""
import os
import subprocess
import sys
import tempfile
import time

import cv2
import numpy as np


def median_ms(run, repeats):
    run()  # warm up
    times = []
    for _ in range(repeats):
        start = time.thread_time()
        run()
        times.append((time.thread_time() - start) * 1000)
    return sorted(times)[len(times) // 2], min(times)


def show(figures):
    median, fastest = figures
    return f"median {median:.2f}, fastest {fastest:.2f}"


def photo(w, h):
    y, x = np.mgrid[0:h, 0:w].astype(np.float32)
    texture = 40 * np.sin(x * 0.05 + np.sin(y * 0.03) * 3) * np.cos(y * 0.02)
    noise = np.random.default_rng(42).integers(-8, 9, size=(h, w)).astype(np.float32)
    r = 200 * x / w + 30 * y / h + texture + noise
    g = 120 + 80 * y / h - texture / 2 + noise
    b = 220 * (1 - y / h) + texture / 3 + noise
    return np.clip(np.dstack([b, g, r]), 0, 255).astype(np.uint8)


def main():
    repeats = int(sys.argv[1]) if len(sys.argv) > 1 else 30
    cv2.setNumThreads(1)  # our code runs on one thread
    picture = photo(1920, 1080)
    for r in (1, 10, 100):
        k = 2 * r + 1
        ms = median_ms(lambda: cv2.blur(picture, (k, k), borderType=cv2.BORDER_REPLICATE), repeats)
        print(f"cv2.blur BORDER_REPLICATE 1920x1080 radius {r}: {show(ms)} ms")

    for quality in (90, 100):
        _, data = cv2.imencode(".jpg", picture, [cv2.IMWRITE_JPEG_QUALITY, quality])
        figures = median_ms(lambda: cv2.imdecode(data, cv2.IMREAD_COLOR), repeats)
        print(f"cv2.imdecode 1920x1080 q{quality} ({len(data) // 1000} kB): {show(figures)} ms")
    for quality in (70, 100):
        figures = median_ms(
            lambda: cv2.imencode(".jpg", picture, [cv2.IMWRITE_JPEG_QUALITY, quality]), repeats)
        print(f"cv2.imencode 1920x1080 q{quality}: {show(figures)} ms")

    source = os.path.join(tempfile.gettempdir(), "flurrix-bench", "source-4000x3000.jpg")
    if not os.path.exists(source):
        print(f"{source} is missing: run bench_images first")
        return
    out = tempfile.mkdtemp()

    def import_only():
        small = cv2.imread(source, cv2.IMREAD_REDUCED_COLOR_4)  # 1000 x 750
        return cv2.resize(small, (800, 600), interpolation=cv2.INTER_AREA)

    def import_and_write():
        stored = import_only()
        cv2.imwrite(os.path.join(out, "a.jpg"), stored, [cv2.IMWRITE_JPEG_QUALITY, 100])
        thumb = cv2.resize(stored, (100, 75), interpolation=cv2.INTER_AREA)
        cv2.imwrite(os.path.join(out, "t.jpg"), thumb, [cv2.IMWRITE_JPEG_QUALITY, 70])

    print(f"OpenCV reduced decode + INTER_AREA 4000x3000 -> 800x600: {show(median_ms(import_only, repeats))} ms")
    print(f"  ... and writing both files: {show(median_ms(import_and_write, repeats))} ms")
    times = []
    for _ in range(max(3, repeats // 10)):
        start = time.perf_counter()
        subprocess.run(["convert", source, "-resize", "800x600!", "-quality", "100",
                        os.path.join(out, "m.jpg")], check=True)
        times.append((time.perf_counter() - start) * 1000)
    print(f"ImageMagick convert -resize 800x600! (wall): {sorted(times)[len(times) // 2]:.0f} ms")


if __name__ == "__main__":
    main()
