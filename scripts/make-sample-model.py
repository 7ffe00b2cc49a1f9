#!/usr/bin/env python3
"""Writes the sample model samples/Sample.stl (binary STL).

A closed relief block of 100 x 80 mm on a 2 mm grid (4 362 facets): a gently
waving base about 10 mm high, a round boss with a flat top 22 mm high and
steep walls, and a rectangular pocket with a flat floor 4 mm high, closed by
vertical sides and a bottom at height 0. Without arguments the file goes to
samples/ beside this script's folder; `--facets N` instead writes a finer grid
of about N facets to the path given with `-o` (for the benchmarks).
"""
import argparse
import math
import struct
from pathlib import Path

SIZE_X, SIZE_Y = 100.0, 80.0


def height(x, y):
    """Top of the relief at (x, y), mm."""
    if math.hypot(x - 30.0, y - 40.0) <= 12.0:
        return 22.0  # the boss
    if 62.0 <= x <= 88.0 and 18.0 <= y <= 62.0:
        return 4.0  # the pocket
    return 10.0 + 1.5 * math.sin(2 * math.pi * x / 50.0) * math.sin(2 * math.pi * y / 40.0)


def normal(a, b, c):
    ux, uy, uz = (b[i] - a[i] for i in range(3))
    vx, vy, vz = (c[i] - a[i] for i in range(3))
    n = (uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx)
    length = math.sqrt(sum(v * v for v in n)) or 1.0
    return tuple(v / length for v in n)


def facets(nx, ny):
    """Triangles of the closed block on an nx x ny grid of cells, outward-facing."""
    xs = [SIZE_X * i / nx for i in range(nx + 1)]
    ys = [SIZE_Y * j / ny for j in range(ny + 1)]
    top = [[(x, y, height(x, y)) for y in ys] for x in xs]
    out = []
    for i in range(nx):
        for j in range(ny):
            a, b, c, d = top[i][j], top[i + 1][j], top[i + 1][j + 1], top[i][j + 1]
            out += [(a, b, c), (a, c, d)]  # counter-clockwise seen from above

    def wall(p, q):  # a vertical quad below the top edge p -> q, facing right of p -> q
        p0, q0 = (p[0], p[1], 0.0), (q[0], q[1], 0.0)
        out.extend([(p, p0, q0), (p, q0, q)])

    for i in range(nx):
        wall(top[i][0], top[i + 1][0])  # front (y = 0)
        wall(top[i + 1][ny], top[i][ny])  # back
    for j in range(ny):
        wall(top[nx][j], top[nx][j + 1])  # right
        wall(top[0][j + 1], top[0][j])  # left
    o, bx, bxy, by = (0, 0, 0), (SIZE_X, 0, 0), (SIZE_X, SIZE_Y, 0), (0, SIZE_Y, 0)
    out += [(o, bxy, bx), (o, by, bxy)]  # the bottom, facing down
    return out


def write_stl(path, triangles):
    with open(path, "wb") as f:
        f.write(b"Korvane3D sample relief".ljust(80, b" "))
        f.write(struct.pack("<I", len(triangles)))
        for a, b, c in triangles:
            f.write(struct.pack("<12fH", *normal(a, b, c), *a, *b, *c, 0))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--facets", type=int, help="about this many facets (a finer grid)")
    parser.add_argument("-o", "--output", type=Path)
    args = parser.parse_args()
    nx, ny = 50, 40
    if args.facets:
        # 2 * nx * ny top facets with nx : ny = 5 : 4.
        k = math.sqrt(args.facets / 40.0)
        nx, ny = max(5, round(5 * k)), max(4, round(4 * k))
    path = args.output or Path(__file__).resolve().parent.parent / "samples" / "Sample.stl"
    triangles = facets(nx, ny)
    write_stl(path, triangles)
    print(f"{path}: {len(triangles)} facets")


if __name__ == "__main__":
    main()
