#!/usr/bin/env python3
"""Writes the pub: the recipes pub/NN-<name>.art (pub.bar 0-3 and 19) and
the interfaces 020-026 that place their frames. The room is 1300 pixels
wide; the view is 240 wide and stops at six spots. Run it again after
changing the room; the files it writes are the sources the build reads."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
INTERFACES = os.path.join(HERE, "..", "..", "interfaces")

GLOW = "#868683"  # the glow rim: these pixels light up on the current spot
SPOTS = [0, 210, 420, 640, 860, 1060]  # scroll position of spots 0-5
WORLD = 1300
PARALLAX = [1.098, 1.297, 1.598, 1.898]  # interfaces 22-25
WALL_TOP, RAIL, FLOOR = 50, 124, 182  # y of the cornice, the chair rail and the floor line

SLOT_WALL, SLOT_SPOTS, SLOT_ROOM, SLOT_NEAR, SLOT_LOCKS = 26, 27, 28, 29, 45


class Art:
    def __init__(self, header):
        self.lines = [f"# {l}" if l else "#" for l in header]
        self.cur = None

    def colour(self, name, value):
        self.lines.append(f"colour {name} {value}")

    def raw(self, text):
        self.lines.append(text)

    def frame(self, i, w, h, hx=0, hy=0, comment=None):
        if comment:
            self.lines.append(f"# frame {i}: {comment}")
        self.lines.append(f"frame {i} {w} {h}" + (f" hotspot {hx} {hy}" if hx or hy else ""))

    def end(self):
        self.lines.append("end")

    def op(self, text):
        self.lines.append("  " + text)

    def write(self, name):
        with open(os.path.join(HERE, name), "w") as f:
            f.write("\n".join(self.lines) + "\n")


def n(v):
    v = round(v, 2)
    return str(int(v)) if v == int(v) else str(v)


def poly(pts, **kw):
    return "poly " + " ".join(f"{n(x)} {n(y)}" for x, y in pts) + opts(kw)


def opts(kw):
    return "".join(f" {k}={v}" for k, v in kw.items())


def rect(x, y, w, h, **kw):
    return f"rect {n(x)} {n(y)} {n(w)} {n(h)}" + opts(kw)


def line(*pts, **kw):
    return "line " + " ".join(n(p) for p in pts) + opts(kw)


def circle(x, y, r, **kw):
    return f"circle {n(x)} {n(y)} {n(r)}" + opts(kw)


def ellipse(x, y, rx, ry, **kw):
    return f"ellipse {n(x)} {n(y)} {n(rx)} {n(ry)}" + opts(kw)


def text(x, y, s, **kw):
    return f'text {n(x)} {n(y)} "{s}"' + opts(kw)


def lin(x0, y0, x1, y1, *stops):
    return f"linear({n(x0)},{n(y0)},{n(x1)},{n(y1)}," + ",".join(stops) + ")"


def rad(cx, cy, r0, r1, *stops):
    return f"radial({n(cx)},{n(cy)},{n(r0)},{n(r1)}," + ",".join(stops) + ")"


# ---------------------------------------------------------------- the wall

def wall_bank():
    a = Art(["pub.bar 0 (slot 26): the back wall, painted into the back layer by x range.",
             "Frame 0 a 260-wide section of wall and floor that tiles, 1 and 2 the side",
             "walls at the two ends, 3 a window, 4 the back bar's shelves, 5 a framed",
             "poster, 6 a clock. Written by make-pub.py."])
    for name, v in [("beam", "#24160E"), ("beamlight", "#3A2416"), ("paper", "#1E4636"), ("paperdark", "#173A2C"),
                    ("stripe", "#24543F"), ("pin", "#7E6A34"), ("wood", "#4A2816"), ("woodlight", "#6A3C20"),
                    ("wooddark", "#2C160A"), ("brass", "#C89B45"), ("plank", "#6A4226"), ("plankdark", "#4E2E18"),
                    ("planklight", "#7E5230")]:
        a.colour(name, v)
    # frame 0: wall section
    a.frame(0, 260, 320, comment="a section of wall, 260 wide, tiling")
    a.op(rect(0, 0, 260, WALL_TOP, fill=lin(0, 0, 0, WALL_TOP, "#140C08", "beam")))
    for x in range(0, 260, 65):
        a.op(rect(x + 4, 0, 14, WALL_TOP - 6, fill=lin(0, 0, 0, WALL_TOP, "beamlight", "beam")))
    a.op(rect(0, WALL_TOP - 8, 260, 8, fill=lin(0, WALL_TOP - 8, 0, WALL_TOP, "woodlight", "wooddark")))
    a.op(rect(0, WALL_TOP, 260, RAIL - WALL_TOP, fill="paper"))
    for x in range(0, 260, 20):
        a.op(rect(x + 6, WALL_TOP, 8, RAIL - WALL_TOP, fill="stripe"))
        a.op(line(x + 0.5, WALL_TOP, x + 0.5, RAIL, stroke="#7E6A3460", width=1))
    # the warm light of the sconce in the middle of the section
    a.op(rect(0, WALL_TOP, 260, RAIL - WALL_TOP, fill=rad(130, 86, 4, 110, "#FFD27A70", "#FFB04C30@0.5", "#00000000")))
    a.op(rect(0, WALL_TOP, 260, 10, fill=lin(0, WALL_TOP, 0, WALL_TOP + 10, "#00000080", "#00000000")))
    # sconce
    a.op(rect(127, 84, 6, 14, r=2, fill="brass"))
    a.op(poly([(120, 74), (140, 74), (136, 86), (124, 86)], fill=lin(0, 74, 0, 86, "#FFF2C0", "#F0B860"), stroke="#8A6420", width=1))
    # chair rail and panelling
    a.op(rect(0, RAIL, 260, 6, fill=lin(0, RAIL, 0, RAIL + 6, "woodlight", "wood")))
    a.op(line(0, RAIL + 0.5, 260, RAIL + 0.5, stroke="#A0704080", width=1))
    a.op(rect(0, RAIL + 6, 260, FLOOR - RAIL - 6, fill=lin(0, RAIL, 0, FLOOR, "wood", "wooddark")))
    for x in range(0, 260, 65):
        a.op(rect(x + 6, RAIL + 12, 53, FLOOR - RAIL - 24, r=2, fill=lin(0, RAIL + 12, 0, FLOOR - 12, "#5A321C", "#3A1E0E"),
                  stroke="#22100688", width=1))
        a.op(line(x + 7, RAIL + 12.5, x + 58, RAIL + 12.5, stroke="#8A5A3060", width=1))
    a.op(rect(0, FLOOR - 6, 260, 6, fill="wooddark"))
    # floor: planks running across, lit in the middle
    a.op(rect(0, FLOOR, 260, 320 - FLOOR, fill=lin(0, FLOOR, 0, 320, "plankdark", "plank@0.4", "planklight")))
    y, k = FLOOR, 0
    while y < 320:
        h = 8 + k * 2.2
        a.op(line(0, y + 0.5, 260, y + 0.5, stroke="#2A180C90", width=1))
        off = (k * 97) % 130
        for x in range(off, 260 + 130, 130):
            a.op(line(x % 260 + 0.5, y, x % 260 + 0.5, y + h, stroke="#2A180C70", width=1))
        y += h
        k += 1
    a.op(rect(0, FLOOR, 260, 30, fill=lin(0, FLOOR, 0, FLOOR + 30, "#00000070", "#00000000")))
    a.end()
    # frame 1: left side wall (0..40), receding
    a.frame(1, 40, 320, comment="the left wall, seen at an angle")
    a.op(poly([(0, 0), (40, WALL_TOP), (40, FLOOR), (0, 320)], fill=lin(0, 0, 40, 0, "#0E2219", "paperdark")))
    a.op(poly([(0, 0), (40, 0), (40, WALL_TOP), ], fill="#120A06"))
    a.op(poly([(0, 176), (40, RAIL + 3), (40, FLOOR), (0, 320)], fill=lin(0, 0, 40, 0, "#1E0E06", "wooddark")))
    a.op(line(40, WALL_TOP, 40, FLOOR, stroke="#00000090", width=2))
    a.op(line(0, 176, 40, RAIL + 3, stroke="#6A3C20", width=2))
    a.end()
    # frame 2: right side wall (1236..1300)
    a.frame(2, 64, 320, comment="the right wall, seen at an angle")
    a.op(poly([(0, WALL_TOP), (64, 0), (64, 320), (0, FLOOR)], fill=lin(0, 0, 64, 0, "paperdark", "#0E2219")))
    a.op(poly([(0, 0), (64, 0), (0, WALL_TOP)], fill="#120A06"))
    a.op(poly([(0, RAIL + 3), (64, 150), (64, 320), (0, FLOOR)], fill=lin(0, 0, 64, 0, "wooddark", "#1E0E06")))
    a.op(line(0, WALL_TOP, 0, FLOOR, stroke="#00000090", width=2))
    a.op(line(0, RAIL + 3, 64, 150, stroke="#6A3C20", width=2))
    a.end()
    # frame 3: window at night
    a.frame(3, 64, 70, comment="a window onto the street at night")
    a.op(rect(0, 0, 64, 70, r=3, fill="wooddark"))
    a.op(rect(4, 4, 56, 60, fill=lin(0, 4, 0, 64, "#0A1430", "#1C2C58")))
    for i, (x, y, r) in enumerate([(14, 50, 5), (44, 46, 7), (30, 56, 4)]):
        a.op(circle(x, y, r, fill="#FFD58A50"))
    a.op(rect(4, 52, 56, 12, fill="#0C0C18"))
    for x in (10, 22, 40, 50):
        a.op(rect(x, 44, 5, 8, fill="#F7C96A"))
    a.op(line(32, 4, 32, 64, stroke="wood", width=3))
    a.op(line(4, 34, 60, 34, stroke="wood", width=3))
    a.op(rect(1.5, 1.5, 61, 63, r=3, stroke="woodlight", width=1))
    a.op(rect(-2, 64, 68, 6, fill=lin(0, 64, 0, 70, "woodlight", "wooddark")))
    a.end()
    # frame 4: the back bar's shelves and mirror (170 wide)
    a.frame(4, 170, 118, comment="the back bar: mirror and shelves of bottles")
    a.op(rect(0, 0, 170, 118, fill=lin(0, 0, 0, 118, "woodlight", "wooddark")))
    a.op(rect(8, 6, 154, 36, r=2, fill=lin(0, 6, 0, 42, "#3A4A58", "#1C2630"), stroke="brass", width=1))
    a.op(text(85, 12, "THE EIGHT BALL", size=12, font="serif-bold", align="centre", fill="#E8C070"))
    bottles = ["#2E7D32", "#8D1E1E", "#C9A227", "#6A1B9A", "#1565C0", "#D4D4D4", "#5D4037", "#00897B"]
    for row, y in enumerate((48, 82)):
        a.op(rect(4, y + 28, 162, 4, fill="brass"))
        x, k = 10, row * 3
        while x < 156:
            c = bottles[k % len(bottles)]
            h = 20 + (k * 7) % 8
            a.op(rect(x, y + 28 - h, 8, h, r=2, fill=lin(x, 0, x + 8, 0, c, "#FFFFFF60@0.35", c)))
            a.op(rect(x + 2.5, y + 28 - h - 6, 3, 7, fill=c))
            x += 12 + (k % 3)
            k += 1
    a.end()
    # frame 5: framed poster
    a.frame(5, 44, 58, comment="a framed poster")
    a.op(rect(0, 0, 44, 58, fill="brass"))
    a.op(rect(3, 3, 38, 52, fill=lin(0, 3, 0, 55, "#F3E2B8", "#D9BE86")))
    a.op(circle(22, 24, 11, fill="#111111"))
    a.op(circle(22, 24, 5.5, fill="#FFFFFF"))
    a.op(text(22, 19.5, "8", size=9, font="bold", align="centre", fill="#111111"))
    a.op(text(22, 40, "CUE", size=8, font="serif-bold", align="centre", fill="#7A1E12"))
    a.op(text(22, 47, "CLUB", size=6, font="serif", align="centre", fill="#7A1E12"))
    a.end()
    # frame 6: clock
    a.frame(6, 30, 30, comment="a clock")
    a.op(circle(15, 15, 14, fill="brass"))
    a.op(circle(15, 15, 11.5, fill="#F6EEDC"))
    for i in range(12):
        import math
        ang = math.radians(i * 30)
        a.op(line(15 + 9 * math.sin(ang), 15 - 9 * math.cos(ang), 15 + 10.5 * math.sin(ang), 15 - 10.5 * math.cos(ang),
                  stroke="#333333", width=1))
    a.op(line(15, 15, 15, 7, stroke="#222222", width=1.5))
    a.op(line(15, 15, 21, 17, stroke="#222222", width=1.5))
    a.end()
    # frame 7: the rug under the pool table, in perspective
    a.frame(7, 168, 40, comment="the rug under the pool table")
    a.op(poly([(22, 0), (146, 0), (168, 40), (0, 40)], fill="#5A1410"))
    a.op(poly([(27, 3), (141, 3), (160, 37), (8, 37)], stroke="#C89B45", width=1.5))
    a.op(poly([(33, 7), (135, 7), (150, 33), (18, 33)], fill=lin(0, 7, 0, 33, "#7A1E16", "#8E2A1E")))
    for i in range(7):
        x = 40 + i * 15
        a.op(poly([(x, 20), (x + 5, 14), (x + 10, 20), (x + 5, 26)], fill="#C89B4580"))
    a.end()
    # frame 8: a rack of house cues on the wall
    a.frame(8, 34, 86, comment="a rack of house cues")
    a.op(rect(0, 0, 34, 8, r=2, fill="woodlight"))
    a.op(rect(0, 74, 34, 10, r=2, fill="woodlight"))
    for i in range(5):
        x = 5 + i * 6
        a.op(line(x, 2, x + 0.5, 80, stroke=["#D8B27A", "#C9A227", "#8D5A2B", "#D8B27A", "#B8874A"][i], width=2.5, cap="round"))
        a.op(line(x, 2, x, 5, stroke="#F4F4F0", width=2.5))
    a.op(rect(0, 36, 34, 5, fill="wood"))
    a.end()
    a.write("00-wall.art")
    # placements (frame, x, y)
    items = [(SLOT_WALL, 0, x, 0) for x in range(0, WORLD, 260)]
    items += [(SLOT_WALL, 1, 0, 0), (SLOT_WALL, 2, WORLD - 64, 0)]
    items += [(SLOT_WALL, f, x, y) for f, x, y in
              [(3, 668, 58), (3, 776, 58), (4, 1066, 54), (6, 466, 76), (5, 606, 62), (6, 236, 64), (7, 466, 176),
               (8, 838, 66), (7, 898, 212)]]
    # benches against the wall, behind everything in the room
    items += [(SLOT_ROOM, 5, 240, 214), (SLOT_ROOM, 5, 795, 214)]
    return items



# ---------------------------------------------------------- the spot objects

def spots_bank():
    a = Art(["pub.bar 1 (slot 27): the objects of the six spots and the dartboard. Their",
             f"rims are drawn in {GLOW}: on the current spot those pixels glow. The bank",
             "keeps its module data for the glow. Written by make-pub.py."])
    for name, v in [("rim", GLOW), ("wood", "#5A3218"), ("woodlight", "#7A4828"), ("wooddark", "#2E1808"),
                    ("brass", "#D4A84E"), ("cloth", "#1B7A46"), ("clothdark", "#0F5230"), ("cork", "#B98A56"),
                    ("gold", "#F2C14E"), ("silver", "#C8CDD2"), ("slate", "#26302E"), ("chalk", "#E8ECE4")]:
        a.colour(name, v)
    a.raw(f"keep {GLOW}")
    a.raw("plain")
    # 0 pool table, 104 x 80
    a.frame(0, 106, 80, comment="the pool table (career match)")
    top = [(14, 10), (92, 10), (104, 42), (2, 42)]
    a.op(poly([(x + (-2 if x < 50 else 2), y + (-2 if y < 20 else 2)) for x, y in top], stroke="rim", width=3, join="round"))
    for x in (10, 30, 76, 96):
        a.op(rect(x - 4, 46, 8, 30, fill=lin(x - 4, 0, x + 4, 0, "wooddark", "woodlight", "wooddark")))
        a.op(rect(x - 5.5, 74, 11, 4, fill="wooddark"))
    a.op(poly([(2, 42), (104, 42), (100, 54), (6, 54)], fill=lin(0, 42, 0, 54, "woodlight", "wooddark")))
    a.op(poly(top, fill="wood"))
    a.op(poly([(19, 14), (87, 14), (97, 39), (9, 39)], fill=lin(0, 14, 0, 39, "clothdark", "cloth")))
    for x, y in [(17, 13), (53, 12), (89, 13), (8, 40), (53, 41), (98, 40)]:
        a.op(circle(x, y, 2.6, fill="#050505"))
    for x, y, c in [(30, 26, "#FFFFFF"), (66, 22, "#F4C20D"), (70, 26, "#C62828"), (74, 22, "#1565C0"),
                    (70, 18, "#111111"), (78, 26, "#2E7D32")]:
        a.op(circle(x, y, 2.4, fill=c))
    a.op(line(6, 50, 40, 30, stroke="#E0C090", width=1.5))
    a.end()
    # 1 dartboard, 30 x 30
    a.frame(1, 30, 30, comment="the dartboard")
    a.op(circle(15, 15, 14.5, fill="#1A1A1A"))
    import math
    for i in range(20):
        a0, a1 = math.radians(i * 18 - 9), math.radians(i * 18 + 9)
        c = "#E8DCC0" if i % 2 else "#222222"
        a.op(poly([(15, 15), (15 + 11 * math.cos(a0), 15 + 11 * math.sin(a0)), (15 + 11 * math.cos(a1), 15 + 11 * math.sin(a1))], fill=c))
    a.op(circle(15, 15, 11, stroke="#C62828", width=1.5))
    a.op(circle(15, 15, 6, stroke="#2E7D32", width=1))
    a.op(circle(15, 15, 1.8, fill="#C62828"))
    a.end()
    # 2 tournament board, 136 x 74
    a.frame(2, 136, 74, comment="the tournament board")
    a.op(rect(1.5, 1.5, 133, 71, r=3, stroke="rim", width=3))
    a.op(rect(4, 4, 128, 66, r=2, fill="wooddark"))
    a.op(rect(7, 7, 122, 60, fill=lin(0, 7, 0, 67, "#C89862", "cork")))
    a.op(rect(30, 9, 76, 15, r=2, fill="#7A1E12", stroke="brass", width=1))
    a.op(text(68, 11, "TOURNAMENT", size=10, font="bold", align="centre", fill="#F6E7C1"))
    # a bracket of eight
    for i in range(4):
        y = 30 + i * 9
        a.op(rect(12, y - 3, 18, 6, fill="#F8F4EA"))
        a.op(rect(106, y - 3, 18, 6, fill="#F8F4EA"))
    for side, x0, x1, x2 in ((0, 30, 42, 54), (1, 106, 94, 82)):
        for i in range(2):
            ya, yb = 30 + i * 18, 39 + i * 18
            a.op(line(x0, ya, x1, ya, x1, yb, x0, yb, stroke="#3A2A1A", width=1))
            a.op(line(x1, (ya + yb) / 2, x2, (ya + yb) / 2, stroke="#3A2A1A", width=1))
        a.op(line(x2, 34.5, x2, 52.5, stroke="#3A2A1A", width=1))
    a.op(line(54, 43.5, 82, 43.5, stroke="#3A2A1A", width=1))
    a.op(circle(68, 43.5, 7, fill="gold", stroke="#8A6420", width=1))
    a.op(text(68, 39.5, "1", size=8, font="bold", align="centre", fill="#5A3A10"))
    for x, y in [(10, 10), (126, 10), (10, 64), (126, 64)]:
        a.op(circle(x, y, 1.8, fill="#C62828"))
    a.end()
    # 3 trophy cabinet, 86 x 110
    a.frame(3, 86, 110, comment="the trophy cabinet (achievements)")
    a.op(rect(1.5, 1.5, 83, 107, r=3, stroke="rim", width=3))
    a.op(rect(4, 4, 78, 102, r=2, fill=lin(0, 0, 86, 0, "wooddark", "wood", "wooddark")))
    a.op(rect(9, 10, 68, 84, fill=lin(0, 10, 0, 94, "#1C2A2A", "#2C3C3A")))
    for y in (38, 66, 94):
        a.op(rect(9, y - 3, 68, 3, fill="woodlight"))
    def cup(x, y, c, s=1.0):
        a.op(rect(x - 5 * s, y - 3 * s, 10 * s, 3 * s, fill="wooddark"))
        a.op(rect(x - 1.5 * s, y - 9 * s, 3 * s, 6 * s, fill=c))
        a.op(poly([(x - 7 * s, y - 20 * s), (x + 7 * s, y - 20 * s), (x + 4 * s, y - 10 * s), (x - 4 * s, y - 10 * s)], fill=c))
        a.op(ellipse(x - 8 * s, y - 16 * s, 2.5 * s, 3 * s, stroke=c, width=1.5))
        a.op(ellipse(x + 8 * s, y - 16 * s, 2.5 * s, 3 * s, stroke=c, width=1.5))
        a.op(line(x - 3 * s, y - 18 * s, x - 2 * s, y - 12 * s, stroke="#FFFFFFA0", width=1))
    cup(43, 35, "gold", 1.2)
    cup(22, 35, "silver", 0.8)
    cup(64, 35, "#CD7F32", 0.8)
    cup(28, 63, "gold", 0.9)
    a.op(circle(58, 52, 8, fill="silver", stroke="#8A9096", width=1))
    a.op(rect(56, 59, 4, 4, fill="wooddark"))
    a.op(rect(14, 80, 58, 11, r=1, fill="#CD7F32"))
    a.op(rect(20, 69, 18, 11, fill="gold"))
    a.op(rect(48, 71, 14, 9, fill="silver"))
    a.op(line(9, 10, 30, 94, stroke="#FFFFFF22", width=6))
    a.op(rect(4, 96, 78, 10, fill="wooddark"))
    a.op(rect(38, 99, 10, 3, fill="brass"))
    a.end()
    # 4 exit door, on the right wall at an angle
    a.frame(4, 50, 236, comment="the exit door, on the right wall")
    door = [(4, 18), (46, 14), (46, 232), (4, 142)]
    a.op(poly(door, stroke="rim", width=4, join="round"))
    a.op(poly(door, fill=lin(0, 0, 50, 0, "#4A2614", "#6A3A1E")))
    a.op(poly([(9, 28), (41, 25), (41, 110), (9, 92)], fill="#3A1E0E", stroke="#7A4828", width=1))
    a.op(poly([(9, 100), (41, 120), (41, 212), (9, 138)], fill="#3A1E0E", stroke="#7A4828", width=1))
    a.op(circle(38, 128, 3, fill="brass"))
    a.op(poly([(10, 2), (40, 0), (40, 11), (10, 12)], fill="#0E7A32", stroke="#0A4A20", width=1))
    a.op(text(25, 2, "EXIT", size=9, font="bold", align="centre", fill="#E8FFE8"))
    a.end()
    # 5 shop shelves, 182 x 64
    a.frame(5, 182, 64, comment="the shop's wall shelves")
    a.op(rect(1.5, 1.5, 179, 61, r=3, stroke="rim", width=3))
    a.op(rect(4, 4, 174, 56, fill=lin(0, 4, 0, 60, "wood", "wooddark")))
    for i in range(8):
        x = 10 + i * 7
        c = ["#D8B27A", "#2C2C2C", "#8D1E1E", "#C9A227"][i % 4]
        a.op(line(x, 8, x + 1, 56, stroke=c, width=3, cap="round"))
        a.op(line(x, 8, x, 13, stroke="#F0F0F0", width=3))
    a.op(rect(6, 54, 60, 4, fill="brass"))
    for y in (26, 50):
        a.op(rect(70, y, 104, 3, fill="woodlight"))
    for i, c in enumerate(["#1565C0", "#1565C0", "#2E7D32", "#C62828", "#1565C0", "#6A1B9A"]):
        a.op(rect(74 + i * 16, 16, 12, 10, r=1, fill=c, stroke="#00000060", width=1))
    for i in range(3):
        a.op(rect(76 + i * 34, 34, 28, 16, r=2, fill=lin(0, 34, 0, 50, "#3A3A3A", "#1A1A1A"), stroke="brass", width=1))
    a.end()
    # 6 shop counter, 188 x 60
    a.frame(6, 190, 60, comment="the shop counter with its glass case")
    a.op(rect(1.5, 1.5, 187, 57, r=3, stroke="rim", width=3))
    a.op(rect(4, 4, 182, 8, fill=lin(0, 4, 0, 12, "woodlight", "wood")))
    a.op(rect(6, 12, 178, 44, fill=lin(0, 12, 0, 56, "wood", "wooddark")))
    a.op(rect(14, 16, 104, 30, fill=lin(0, 16, 0, 46, "#5A7A86", "#2C3E46"), stroke="brass", width=1))
    for i, c in enumerate(["#F2C14E", "#C8CDD2", "#C62828", "#1565C0", "#2E7D32"]):
        a.op(circle(26 + i * 20, 38, 4, fill=c))
    a.op(line(16, 18, 40, 44, stroke="#FFFFFF40", width=4))
    for x in (128, 154):
        a.op(rect(x, 18, 22, 30, r=2, fill="#3A1E0E", stroke="woodlight", width=1))
    a.end()
    # 7 till, 40 x 30
    a.frame(7, 40, 30, comment="the till on the counter")
    a.op(poly([(2, 28), (38, 28), (34, 10), (6, 10)], stroke="rim", width=3, join="round"))
    a.op(poly([(4, 27), (36, 27), (32, 12), (8, 12)], fill=lin(0, 12, 0, 27, "#5A5A60", "#2A2A30")))
    a.op(rect(11, 2, 18, 10, r=1, fill="#1A1A1A", stroke="#5A5A60", width=1))
    a.op(text(20, 3, "$", size=8, font="bold", align="centre", fill="#7CFC6A"))
    for i in range(3):
        for j in range(2):
            a.op(rect(11 + i * 7, 15 + j * 5, 5, 3, fill="#D8D8D8"))
    a.end()
    # 8 challenge easel, 106 x 148
    a.frame(8, 106, 148, comment="the challenge board on its easel (a near layer)")
    a.op(line(18, 140, 40, 6, stroke="wooddark", width=5, cap="round"))
    a.op(line(88, 140, 66, 6, stroke="wooddark", width=5, cap="round"))
    a.op(line(53, 4, 53, 142, stroke="#24140A", width=4))
    a.op(rect(3.5, 17.5, 99, 85, r=3, stroke="rim", width=3))
    a.op(rect(6, 20, 94, 80, r=2, fill="wood"))
    a.op(rect(10, 24, 86, 72, fill=lin(0, 24, 0, 96, "#2E3A36", "slate")))
    a.op(text(53, 27, "CHALLENGES", size=10, font="bold", align="centre", fill="chalk"))
    a.op(line(18, 42.5, 88, 42.5, stroke="#E8ECE480", width=1))
    a.op(circle(26, 70, 5, stroke="chalk", width=1.2))
    a.op(circle(58, 58, 5, stroke="chalk", width=1.2))
    a.op(circle(84, 84, 4, fill="#050505", stroke="chalk", width=1))
    a.op(line(30, 67, 54, 60, stroke="#F5E28A", width=1.2))
    a.op(line(62, 61, 81, 81, stroke="#F5E28A", width=1.2))
    a.op(line(77, 80, 81, 81, 80, 77, stroke="#F5E28A", width=1.2))
    a.op(text(30, 80, "x3", size=8, font="bold", fill="#F5A0A0"))
    a.op(rect(8, 100, 90, 5, fill="woodlight"))
    a.op(rect(30, 98, 14, 3, fill="#F0F0E8"))
    a.end()
    a.write("01-spots.art")


# ---------------------------------------------------------------- the room

def room_bank():
    a = Art(["pub.bar 2 (slot 28): the room's furniture in front of the wall: tables and",
             "stools, the bar counter, the lamp over the pool table, the shop sign.",
             "Written by make-pub.py."])
    for name, v in [("wood", "#5A3218"), ("woodlight", "#7E4C2A"), ("wooddark", "#2C1608"), ("brass", "#D4A84E"),
                    ("leather", "#7A1E12"), ("leatherlight", "#A0301E")]:
        a.colour(name, v)
    # 0 round table, 50 x 46, hotspot at its foot
    a.frame(0, 50, 48, 25, 48, comment="a round pub table (hotspot at the foot)")
    a.op(ellipse(25, 45, 14, 3, fill="#00000060"))
    a.op(rect(22, 10, 6, 34, fill=lin(22, 0, 28, 0, "wooddark", "woodlight", "wooddark")))
    a.op(ellipse(25, 45, 11, 3, fill="wooddark"))
    a.op(ellipse(25, 9, 24, 7, fill=lin(0, 2, 0, 16, "woodlight", "wood")))
    a.op(ellipse(25, 8, 22, 5.5, fill=lin(0, 2, 0, 14, "#8E5A34", "wood")))
    a.op(rect(14, 1, 5, 7, r=1, fill="#F4D27AC0"))
    a.op(rect(14, 1, 5, 2, fill="#FFFFFF"))
    a.op(rect(31, 2, 4, 6, r=1, fill="#3A1A0A"))
    a.end()
    # 1 stool, 26 x 30, hotspot at the foot
    a.frame(1, 26, 32, 13, 32, comment="a stool (hotspot at the foot)")
    a.op(line(6, 12, 3, 31, stroke="wooddark", width=2.5))
    a.op(line(20, 12, 23, 31, stroke="wooddark", width=2.5))
    a.op(line(13, 12, 13, 31, stroke="wood", width=2.5))
    a.op(line(4, 24, 22, 24, stroke="wood", width=1.5))
    a.op(ellipse(13, 10, 12, 4, fill=lin(0, 6, 0, 14, "leatherlight", "leather")))
    a.end()
    # 2 bar counter, 172 x 78
    a.frame(2, 172, 80, comment="the bar counter with its taps")
    a.op(rect(0, 16, 172, 8, r=2, fill=lin(0, 16, 0, 24, "#9A6A3A", "wood")))
    a.op(rect(3, 24, 166, 54, fill=lin(0, 24, 0, 78, "wood", "wooddark")))
    for x in range(6, 166, 41):
        a.op(rect(x, 30, 36, 42, r=2, fill=lin(0, 30, 0, 72, "#6A3A1E", "#3A1C0A"), stroke="#22100680", width=1))
    a.op(rect(0, 74, 172, 4, fill="brass"))
    for x in (52, 70, 88, 106):
        a.op(rect(x - 2, 2, 4, 14, fill="brass"))
        a.op(rect(x - 3.5, 0, 7, 5, r=2, fill=["#C62828", "#1565C0", "#2E7D32", "#F2C14E"][(x // 18) % 4]))
    a.op(rect(20, 8, 10, 9, r=1, fill="#F4D27AC0"))
    a.op(rect(140, 9, 9, 8, r=1, fill="#3A1A0A"))
    a.end()
    # 3 lamp over the pool table, 76 x 58
    a.frame(3, 76, 58, comment="the lamp over the pool table")
    a.op(line(38, 0, 38, 34, stroke="#111111", width=1.5))
    a.op(rect(0, 30, 76, 28, fill=rad(38, 44, 6, 40, "#FFE8A0A0", "#FFD27A00")))
    a.op(poly([(14, 46), (62, 46), (52, 32), (24, 32)], fill=lin(0, 32, 0, 46, "#2E8B57", "#145A32"), stroke="#0A3A1E", width=1))
    a.op(rect(14, 45, 48, 3, fill="brass"))
    a.op(ellipse(38, 49, 18, 2.5, fill="#FFF4C8"))
    a.end()
    # 4 shop sign, 112 x 24
    a.frame(4, 112, 24, comment="the shop sign")
    a.op(line(20, 0, 20, 4, stroke="#222222", width=1))
    a.op(line(92, 0, 92, 4, stroke="#222222", width=1))
    a.op(rect(1, 4, 110, 19, r=3, fill=lin(0, 4, 0, 23, "#1E3A6A", "#0E1E3A"), stroke="brass", width=1.5))
    a.op(text(56, 7, "PRO SHOP", size=12, font="bold", align="centre", fill="#FFE08A"))
    a.end()
    # 5 bench, 96 x 44
    a.frame(5, 96, 46, 48, 46, comment="a bench against the wall (hotspot at the middle of its foot)")
    a.op(rect(2, 0, 92, 20, r=4, fill=lin(0, 0, 0, 20, "leatherlight", "leather"), stroke="#3A0A06", width=1))
    for x in range(14, 90, 17):
        a.op(circle(x, 9, 1.4, fill="#3A0A06"))
        a.op(line(x - 8, 9, x - 8, 19, stroke="#5A140C", width=1))
    a.op(rect(0, 20, 96, 10, r=3, fill=lin(0, 20, 0, 30, "leatherlight", "leather"), stroke="#3A0A06", width=1))
    a.op(rect(0, 30, 96, 6, fill=lin(0, 30, 0, 36, "woodlight", "wooddark")))
    for x in (4, 86):
        a.op(rect(x, 36, 6, 10, fill="wooddark"))
    a.end()
    a.write("02-room.art")


# --------------------------------------------------------- the near layers

def near_bank():
    a = Art(["pub.bar 3 (slot 29): things near the viewer, on the four parallax layers:",
             "a chair back, a plant, a hanging lamp and a pillar. Written by make-pub.py."])
    for name, v in [("wood", "#3A1E0C"), ("woodlight", "#5E341A"), ("wooddark", "#1C0E04"), ("leaf", "#1F5A2A"),
                    ("leaflight", "#2F7A3A"), ("pot", "#7A3E22"), ("brass", "#C89B45")]:
        a.colour(name, v)
    a.frame(0, 70, 60, comment="a chair back, close to the viewer")
    a.op(rect(4, 0, 10, 60, r=3, fill=lin(4, 0, 14, 0, "wooddark", "woodlight", "wooddark")))
    a.op(rect(56, 0, 10, 60, r=3, fill=lin(56, 0, 66, 0, "wooddark", "woodlight", "wooddark")))
    a.op(rect(2, 6, 66, 16, r=6, fill=lin(0, 6, 0, 22, "woodlight", "wood")))
    a.op(rect(10, 30, 50, 8, r=3, fill="wood"))
    a.end()
    a.frame(1, 64, 130, comment="a plant in a pot")
    import math
    for i in range(11):
        ang = math.radians(-150 + i * 12)
        x2, y2 = 32 + 34 * math.cos(ang), 80 + 70 * math.sin(ang)
        c = "leaflight" if i % 2 else "leaf"
        a.op(poly([(30, 92), (34, 92), (x2 + 6 * math.sin(ang), y2), (x2, y2 - 4)], fill=c))
    a.op(poly([(14, 92), (50, 92), (44, 130), (20, 130)], fill=lin(14, 0, 50, 0, "#5A2A14", "pot", "#5A2A14")))
    a.op(rect(12, 90, 40, 6, r=2, fill="#8A4A2A"))
    a.end()
    a.frame(2, 44, 100, comment="a hanging lamp")
    a.op(line(22, 0, 22, 74, stroke="#0A0A0A", width=1.5))
    a.op(rect(0, 62, 44, 38, fill=rad(22, 84, 4, 22, "#FFE8A0C0", "#FFD27A00")))
    a.op(poly([(8, 86), (36, 86), (30, 70), (14, 70)], fill=lin(0, 70, 0, 86, "brass", "#7A5A20")))
    a.op(ellipse(22, 87, 10, 2.5, fill="#FFF6D0"))
    a.end()
    a.frame(3, 34, 320, comment="a pillar")
    a.op(rect(2, 0, 30, 320, fill=lin(2, 0, 32, 0, "wooddark", "woodlight@0.35", "wood@0.6", "wooddark")))
    a.op(rect(0, 40, 34, 8, fill="woodlight"))
    a.op(rect(0, 296, 34, 24, fill=lin(0, 296, 0, 320, "woodlight", "wooddark")))
    a.end()
    a.write("03-near.art")


# -------------------------------------------------- locked career characters

def locks_bank():
    a = Art(["pub.bar 19 (slot 45): the career choice's locked characters. Frames 0-9 a",
             "character's shadow behind bars (frame = character), 10 the padlock, 11 and 12",
             "the chains across the card. Written by make-pub.py."])
    import math
    for k, ang in enumerate([math.degrees(math.atan2(32, 120)), math.degrees(math.atan2(-32, 120))]):
        a.raw(f"group link{k}")
        c, s_ = math.cos(math.radians(ang)), math.sin(math.radians(ang))
        pts = []
        for j in range(16):
            t = math.radians(j * 22.5)
            px, py = 6.5 * math.cos(t), 3.5 * math.sin(t)
            pts.append((px * c - py * s_, px * s_ + py * c))
        a.op(poly(pts, stroke="#C8CDD2", width=2))
        a.raw("end")
    backs = ["#2C3E50", "#1B2631", "#4A235A", "#17202A", "#1A5276", "#3B2F2F", "#0B5345", "#512E5F", "#5B2C6F", "#154360"]
    for c in range(10):
        a.frame(c, 56, 56, comment=f"character {c}, locked")
        a.op(rect(0, 0, 56, 56, r=4, fill=lin(0, 0, 0, 56, backs[c], "#0A0A0A")))
        a.op(ellipse(28, 60, 20, 16, fill="#05050A"))
        a.op(ellipse(28, 26, 11, 13, fill="#05050A"))
        a.op(text(28, 14, "?", size=18, font="bold", align="centre", fill="#FFFFFF50"))
        for x in (8, 20, 32, 44):
            a.op(rect(x, 0, 4, 56, fill=lin(x, 0, x + 4, 0, "#5A5A5A", "#B0B0B0", "#5A5A5A")))
        a.op(rect(0.5, 0.5, 55, 55, r=4, stroke="#9AA0A6", width=1))
        a.end()
    a.frame(10, 30, 36, 15, 18, comment="the padlock")
    a.op(arc_shackle())
    a.op(rect(2, 14, 26, 20, r=4, fill=lin(0, 14, 0, 34, "#F2C14E", "#A0741E"), stroke="#5A3E10", width=1))
    a.op(circle(15, 22, 3, fill="#3A2A10"))
    a.op(rect(14, 23, 2, 6, fill="#3A2A10"))
    a.end()
    for k, (x0, y0, x1, y1) in enumerate([(0, 6, 120, 38), (0, 38, 120, 6)]):
        a.frame(11 + k, 120, 44, comment="a chain across the card")
        import math
        steps = 14
        ang = math.degrees(math.atan2(y1 - y0, x1 - x0))
        for i in range(steps):
            t = (i + 0.5) / steps
            x, y = x0 + (x1 - x0) * t, y0 + (y1 - y0) * t
            # links alternate: seen flat (an open ring) and edge on (a bar)
            if i % 2:
                a.op(f"use link{k} {n(x)} {n(y)}")
            else:
                a.op(line(x - 4 * math.cos(math.radians(ang)), y - 4 * math.sin(math.radians(ang)),
                          x + 4 * math.cos(math.radians(ang)), y + 4 * math.sin(math.radians(ang)),
                          stroke="#6E747A", width=3, cap="round"))
        a.end()
    a.write("19-locks.art")


def arc_shackle():
    return "arc 15 14 8 180 360 stroke=#C8CDD2 width=4"


# ------------------------------------------------------------ interfaces

def sprite(x, y, bank, frame, layer="front", comment="", visible=1):
    s = f"sprite x={x} y={y} bank={bank} frame={frame}"
    if layer != "front":
        s += f" layer={layer}"
    if not visible:
        s += " visible=0"
    return s + (f"  # {comment}" if comment else "")


def write_interface(name, head, lines):
    with open(os.path.join(INTERFACES, name), "w") as f:
        f.write("\n".join("# " + h for h in head) + "\n")
        for l in lines:
            f.write(l + "\n")


def interfaces(wall_items):
    # 20: the wall (back layer), then the spot positions at 41-46
    lines = []
    for slot, frame, x, y in wall_items:
        lines.append(sprite(x, y, slot, frame, layer="back"))
    lines.append("pad 41")
    for s, x in enumerate(SPOTS):
        lines.append(f"[{41 + s}] text x={x} y=0 width=240 height=320  # spot {s}")
    write_interface("020-pub-wall.txt",
                    ["Interface 20: the pub's back wall, painted into the back layer by x range",
                     "(the room is 1300 wide), and the scroll positions of spots 0-5 (x of",
                     "elements 41-46). No panel here: this is the scenery itself.",
                     "Written by assets/art/pub/make-pub.py."], lines)
    # 21: the room
    room = {
        0: sprite(1066, 150, SLOT_ROOM, 2, comment="bar counter"),
        1: sprite(494, 110, SLOT_SPOTS, 0, comment="pool table (spot 2)"),
        2: sprite(496, 56, SLOT_ROOM, 3, comment="lamp over the pool table"),
        3: sprite(46, 100, SLOT_SPOTS, 1, comment="dartboard (shares the kept bank of 5 and 6)"),
        4: sprite(922, 60, SLOT_ROOM, 4, comment="shop sign"),
        5: sprite(82, 86, SLOT_SPOTS, 2, comment="tournament board (spot 0)"),
        6: sprite(286, 106, SLOT_SPOTS, 3, comment="trophy cabinet (spot 1)"),
        7: sprite(1250, 76, SLOT_SPOTS, 4, comment="exit door (spot 5)"),
    }
    tables = [(100, 254), (422, 254), (637, 254)]
    stools = [(62, 254), (138, 254), (392, 254), (452, 254), (606, 254), (668, 254),
              (1096, 250), (1136, 250), (1176, 250), (1216, 250)]
    k = 8
    for x, y in stools:
        room[k] = sprite(x, y, SLOT_ROOM, 1, comment="stool")
        k += 1
    for x, y in tables:
        room[k] = sprite(x, y, SLOT_ROOM, 0, comment="table")
        k += 1
    assert k <= 23
    room[23] = sprite(884, 84, SLOT_SPOTS, 5, comment="shop shelves (spot 4)")
    room[24] = sprite(880, 148, SLOT_SPOTS, 6, comment="shop counter (spot 4)")
    room[25] = sprite(1010, 120, SLOT_SPOTS, 7, comment="till (spot 4)")
    lines = []
    for i in range(26):
        if i in room:
            lines.append(f"[{i}] " + room[i])
        else:
            lines.append(f"[{i}] sprite bank={SLOT_ROOM} frame=0 visible=0")
    write_interface("021-pub-room.txt",
                    ["Interface 21: the pub's room in front of the wall, painted by x range at",
                     "the scroll. The spot objects glow: 5 (spot 0), 6 (spot 1), 1 (spot 2),",
                     "23-25 (spot 4), 7 (spot 5); they share one kept bank with 3.",
                     "Written by assets/art/pub/make-pub.py."], lines)
    # 22-25: parallax layers; x in the layer's own scale
    def between(layer, a, b, w):
        f = PARALLAX[layer]
        return round((SPOTS[a] + SPOTS[b]) / 2 * f + 120 - w / 2)
    def at(layer, spot, screen_x):
        return round(SPOTS[spot] * PARALLAX[layer] + screen_x)
    near = {
        0: [sprite(at(0, 1, -8), 268, SLOT_NEAR, 0, comment="chair back"),
            sprite(at(0, 3, -20), 270, SLOT_NEAR, 0, comment="chair back"),
            sprite(between(0, 4, 5, 70), 266, SLOT_NEAR, 0, comment="chair back"),
            sprite(at(0, 4, 26), 272, SLOT_NEAR, 0, comment="chair back")],
        1: [sprite(between(1, 0, 1, 64), 196, SLOT_NEAR, 1, comment="plant"),
            sprite(between(1, 2, 3, 64), 200, SLOT_NEAR, 1, comment="plant"),
            sprite(at(1, 5, -40), 196, SLOT_NEAR, 1, comment="plant")],
        2: [sprite(between(2, 1, 2, 44), 0, SLOT_NEAR, 2, comment="hanging lamp"),
            sprite(between(2, 3, 4, 44), 0, SLOT_NEAR, 2, comment="hanging lamp"),
            sprite(at(2, 0, 186), -20, SLOT_NEAR, 2, comment="hanging lamp")],
        3: [sprite(between(3, 0, 1, 34), 0, SLOT_NEAR, 3, comment="pillar"),
            sprite(between(3, 4, 5, 34), 0, SLOT_NEAR, 3, comment="pillar"),
            sprite(between(3, 1, 2, 34), 0, SLOT_NEAR, 3, comment="pillar"),
            sprite(at(3, 3, 94), 136, SLOT_SPOTS, 8, comment="challenge board (spot 3; glows, kept bank)")],
    }
    for layer in range(4):
        write_interface(f"{22 + layer:03d}-pub-near-{layer}.txt",
                        [f"Interface {22 + layer}: a near layer of the pub, scrolled {PARALLAX[layer]} times as fast",
                         "as the room; x in that layer's scale. Written by assets/art/pub/make-pub.py."],
                        [f"[{i}] {l}" for i, l in enumerate(near[layer])])
    # 26: seats; hotspot of the seated figure: the middle of its foot
    seats = {2: (606, 254), 1: (452, 254), 0: (392, 254), 3: (668, 254), 4: (1096, 250), 5: (1136, 250),
             7: (1176, 250), 6: (1216, 250), 8: (138, 254), 9: (62, 254)}
    write_interface("026-pub-seats.txt",
                    ["Interface 26: the seats of the beaten rivals (the seated frame 1 of a",
                     "portrait bank, hotspot at the foot); the code sets each seat's bank and",
                     "shows it. Element 9 is always character 6's. Written by",
                     "assets/art/pub/make-pub.py."],
                    [f"[{i}] sprite x={seats[i][0]} y={seats[i][1] - 6} bank=13 frame=1 visible=0" for i in range(10)])


if __name__ == "__main__":
    items = wall_bank()
    spots_bank()
    room_bank()
    near_bank()
    locks_bank()
    interfaces(items)
