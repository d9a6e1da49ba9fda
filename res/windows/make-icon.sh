#!/usr/bin/env bash
# Draws the program icon, a white snowflake on a blue tile, as a Windows .ico file with 16, 32
# and 48 pixel images (32-bit, alpha): res/windows/make-icon.sh OUT.ico
set -euo pipefail
LC_ALL=C awk -v sizes="16 32 48" '
  function byte(v) { printf "%c", v }
  function u16(v) { byte(v % 256); byte(int(v / 256) % 256) }
  function u32(v) { u16(v % 65536); u16(int(v / 65536)) }
  function clamp(v) { return v < 0 ? 0 : (v > 1 ? 1 : v) }
  # Distance from (px, py) to the segment (ax, ay)-(bx, by).
  function segment(px, py, ax, ay, bx, by,   dx, dy, t, ex, ey) {
    dx = bx - ax; dy = by - ay
    t = clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy))
    ex = px - (ax + t * dx); ey = py - (ay + t * dy)
    return sqrt(ex * ex + ey * ey)
  }
  # Whether a point of the unit square (-1..1) lies on the snowflake.
  function flake(x, y,   k, a, c, s, d, bx, by, b, w) {
    w = 0.075
    if (x * x + y * y < 0.03) return 1
    for (k = 0; k < 6; k++) {
      a = k * 3.14159265 / 3; c = cos(a); s = sin(a)
      if (segment(x, y, 0, 0, 0.8 * c, 0.8 * s) < w) return 1
      bx = 0.45 * c; by = 0.45 * s
      for (b = -1; b <= 1; b += 2) {
        d = a + b * 3.14159265 / 3
        if (segment(x, y, bx, by, bx + 0.25 * cos(d), by + 0.25 * sin(d)) < w) return 1
      }
    }
    return 0
  }
  # Whether a point lies on the rounded tile.
  function tile(x, y,   r, qx, qy) {
    r = 0.3; qx = (x < 0 ? -x : x) - (0.97 - r); qy = (y < 0 ? -y : y) - (0.97 - r)
    if (qx <= 0 || qy <= 0) return (x < 0 ? -x : x) <= 0.97 && (y < 0 ? -y : y) <= 0.97
    return qx * qx + qy * qy <= r * r
  }
  BEGIN {
    n = split(sizes, size, " ")
    ss = 4                                   # samples per pixel edge
    offset = 6 + 16 * n
    byte(0); byte(0); u16(1); u16(n)         # icon directory
    for (i = 1; i <= n; i++) {
      s = size[i]; mask = int((s + 31) / 32) * 4 * s
      bytes[i] = 40 + s * s * 4 + mask
      byte(s); byte(s); byte(0); byte(0); u16(1); u16(32); u32(bytes[i]); u32(offset)
      offset += bytes[i]
    }
    for (i = 1; i <= n; i++) {
      s = size[i]
      u32(40); u32(s); u32(2 * s); u16(1); u16(32); u32(0); u32(bytes[i] - 40)
      u32(0); u32(0); u32(0); u32(0)
      for (row = s - 1; row >= 0; row--) {   # bottom row first
        for (col = 0; col < s; col++) {
          cover = 0; snow = 0
          for (sy = 0; sy < ss; sy++) for (sx = 0; sx < ss; sx++) {
            x = ((col + (sx + 0.5) / ss) / s) * 2 - 1
            y = ((row + (sy + 0.5) / ss) / s) * 2 - 1
            if (tile(x, y)) { cover++; if (flake(x, -y)) snow++ }
          }
          alpha = cover / (ss * ss); white = cover ? snow / cover : 0
          t = (row + 0.5) / s                # blue, lighter at the top
          r = 30 + 30 * (1 - t); g = 70 + 60 * (1 - t); b = 140 + 80 * (1 - t)
          byte(int(b + (255 - b) * white + 0.5)); byte(int(g + (255 - g) * white + 0.5))
          byte(int(r + (255 - r) * white + 0.5)); byte(int(255 * alpha + 0.5))
        }
      }
      for (k = 0; k < int((s + 31) / 32) * 4 * s; k++) byte(0)   # the AND mask: alpha decides
    }
  }' > "$1"
