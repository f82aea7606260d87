#!/usr/bin/env python3
"""Writes the small sample models of examples/ (run from the repository root)."""
import math
import random


def fmt(x):
    s = '%.6g' % x
    return '0' if s == '-0' else s


def vline(v):
    return ' '.join(fmt(c) for c in v)


def flat(code, points):
    return '# %d\n# 3\n# %d\n' % (code, len(points)) + ''.join(vline(p) + '\n' for p in points)


def stack(code, levels):
    text = '# %d\n# 3\n# %d\n' % (code, len(levels))
    for level in levels:
        text += '\n\n# %d\n' % len(level) + ''.join(vline(p) + '\n' for p in level)
    return text


def icosphere(radius, centre):
    t = (1 + 5 ** 0.5) / 2
    vertices = [(-1, t, 0), (1, t, 0), (-1, -t, 0), (1, -t, 0), (0, -1, t), (0, 1, t), (0, -1, -t), (0, 1, -t),
                (t, 0, -1), (t, 0, 1), (-t, 0, -1), (-t, 0, 1)]
    faces = [(0, 11, 5), (0, 5, 1), (0, 1, 7), (0, 7, 10), (0, 10, 11), (1, 5, 9), (5, 11, 4), (11, 10, 2),
             (10, 7, 6), (7, 1, 8), (3, 9, 4), (3, 4, 2), (3, 2, 6), (3, 6, 8), (3, 8, 9), (4, 9, 5), (2, 4, 11),
             (6, 2, 10), (8, 6, 7), (9, 8, 1)]
    unit = lambda p: tuple(c / math.sqrt(sum(x * x for x in p)) for c in p)
    vertices = [unit(v) for v in vertices]
    middle = {}

    def midpoint(a, b):
        key = (min(a, b), max(a, b))
        if key not in middle:
            vertices.append(unit([(vertices[a][i] + vertices[b][i]) / 2 for i in range(3)]))
            middle[key] = len(vertices) - 1
        return middle[key]

    finer = []
    for a, b, c in faces:
        ab, bc, ca = midpoint(a, b), midpoint(b, c), midpoint(c, a)
        finer += [(a, ab, ca), (b, bc, ab), (c, ca, bc), (ab, bc, ca)]
    points = [tuple(radius * v[i] + centre[i] for i in range(3)) for v in vertices]
    return points, finer


def main():
    helix = [(math.cos(t * 0.3) * 2, math.sin(t * 0.3) * 2, t * 0.08 - 2.4) for t in range(60)]
    open('examples/helix-points.vx', 'w').write(flat(6, helix))

    ellipse = [(3 * math.cos(2 * math.pi * i / 40), 1.5 * math.sin(2 * math.pi * i / 40), 2.5) for i in range(40)]
    open('examples/ellipse-contour.cv', 'w').write(flat(0, ellipse))

    contours = []
    for k in range(8):
        z = -1.75 + k * 0.5
        r = math.sqrt(max(0.0, 4 - z * z))
        contours.append([(r * math.cos(2 * math.pi * i / 24) + 5, r * math.sin(2 * math.pi * i / 24), z)
                         for i in range(24)])
    open('examples/nucleus-contours.cs', 'w').write(stack(2, contours))
    open('examples/nucleus-mesh.qm', 'w').write(stack(4, [[(x - 10, y, z) for x, y, z in c] for c in contours]))

    random.seed(3)
    layers = [[(random.uniform(-1, 1), random.uniform(-1, 1) - 5, z) for _ in range(15)] for z in (-1, 0, 1)]
    open('examples/cells-layers.vs', 'w').write(stack(7, layers))

    points, faces = icosphere(1.5, (0, 5, 0))
    mesh = flat(8, points) + '# %d\n' % len(faces) + ''.join('%d %d %d\n' % f for f in faces) + '# 0\n'
    open('examples/vesicle.tm', 'w').write(mesh)

    # Its colour companion: a triangle mesh of integer colours, one per vertex, blue at the bottom
    # to orange at the top.
    low, high = min(p[2] for p in points), max(p[2] for p in points)
    colours = []
    for p in points:
        t = (p[2] - low) / (high - low)
        colours.append((round(40 + 215 * t), round(90 + 60 * t), round(230 - 200 * t)))
    colour_mesh = ('# 8\n# 3\n# %d\n' % len(colours) + ''.join('%d %d %d\n' % c for c in colours) +
                   '# %d\n' % len(faces) + ''.join('%d %d %d\n' % f for f in faces) + '# 0\n')
    open('examples/vesicle.vcolors.tm', 'w').write(colour_mesh)


if __name__ == '__main__':
    main()
