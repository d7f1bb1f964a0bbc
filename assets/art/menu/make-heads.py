#!/usr/bin/env python3
"""Writes menu/07-heads.art, the small-head bank of the tournament screens:
the characters' heads (frames 14-23) drawn from the portrait table of
chr/make-portraits.py at 24x24, the empty, empty-winner and out slots
(26, 27, 28), the pair lights (0 off, 1 on), the bracket lines (2-6), a
padlock (8), the cup (9), the note plate (10), the name plate (12), a slot
ring (13) and the prize picture's cup and rays (24, 25). Run it again after
changing a character."""
import os
import re
import runpy
import types

HERE = os.path.dirname(os.path.abspath(__file__))
# The portrait table and drawing, read from the portraits' generator.
portraits = types.SimpleNamespace(**runpy.run_path(os.path.join(HERE, "..", "chr", "make-portraits.py")))

SCALE = 0.46
# Portrait head space (56x56, face centre 28, 26) to the 24x24 head.
CX, CY, TX, TY = 28.0, 26.0, 12.0, 12.6


def num(v):
    s = f"{v:.2f}".rstrip("0").rstrip(".")
    return "0" if s in ("-0", "") else s


def px(x):
    return (x - CX) * SCALE + TX


def py(y):
    return (y - CY) * SCALE + TY


def scale_line(line):
    """One drawing operation of the portrait's head group, scaled down."""
    parts = line.split()
    op, rest = parts[0], parts[1:]
    nums = []
    opts = []
    for p in rest:
        if "=" in p:
            opts.append(p)
        else:
            nums.append(float(p))
    if op in ("poly", "line"):
        out = [num(px(v)) if i % 2 == 0 else num(py(v)) for i, v in enumerate(nums)]
    elif op == "ellipse":
        out = [num(px(nums[0])), num(py(nums[1])), num(nums[2] * SCALE), num(nums[3] * SCALE)]
    elif op == "circle":
        out = [num(px(nums[0])), num(py(nums[1])), num(nums[2] * SCALE)]
    elif op == "arc":
        out = [num(px(nums[0])), num(py(nums[1])), num(nums[2] * SCALE), num(nums[3]), num(nums[4])]
    elif op == "rect":
        out = [num(px(nums[0])), num(py(nums[1])), num(nums[2] * SCALE), num(nums[3] * SCALE)]
    else:
        raise ValueError(op)
    fixed = []
    for o in opts:
        k, v = o.split("=", 1)
        if k in ("width", "r"):
            v = num(max(float(v) * SCALE, 0.5))
        fixed.append(f"{k}={v}")
    return "  " + " ".join([op] + out + fixed)


def head_ops(row):
    lines = portraits.portrait(0, *row).split("\n")
    start = lines.index("group head") + 1
    end = lines.index("end", start)
    ops = []
    for l in lines[start:end]:
        for sub in l.split("\n"):
            ops.append(scale_line(sub.strip()))
    return ops


out = [
    "# menu.bar 7 (slot 7): the small-head bank of the tournament screens.",
    "#   0/1 pair light and pick mark off/on (8x8)   2 short stub, 3 stub into",
    "#   a head, 4/5/6 joiners of the 8-, 4- and 2-stage pairs (lines of 3 px)",
    "#   8 padlock   9 cup   10 note plate 212x44   12 name plate 96x30",
    "#   13 ring round a head   14-23 heads of characters 0-9 (24x24)",
    "#   24 the prize cup   25 rays behind it   26 empty slot   27 empty winner",
    "#   or pick slot   28 out. Animation 0 a light blinking. Written by make-heads.py.",
    "colour gold #E8B64C",
    "colour goldlight #FFF1C4",
    "colour golddark #8C5A12",
    "colour navy #0E1E30",
    "colour slot #182A3E",
    "colour ink #1A1008",
    "colour line #D9A441",
    "colour lineedge #3A2608",
]
# Lights.
out += [
    "frame 0 8 8",
    "  circle 4 4 3.4 fill=radial(4,4,0,3.4,#4A3A28,#1E150C) stroke=#0A0604 width=0.8",
    "end",
    "frame 1 8 8",
    "  circle 4 4 3.6 fill=radial(3.4,3.2,0,3.8,#FFFDE8,#FFD54F@0.45,#E08A00) stroke=#7A4A00 width=0.6",
    "end",
]
# Lines: a dark edge under a gold core, 3 px thick; the hotspot on the
# line's middle row (stubs) or its top centre (joiners).
for f, w in ((2, 12), (3, 14)):
    out += [f"frame {f} {w} 3 hotspot 0 1",
            f"  rect 0 0 {w} 3 fill=lineedge",
            f"  rect 0 0.8 {w} 1.4 fill=line",
            "end"]
for f, h in ((4, 28), (5, 54), (6, 106)):
    out += [f"frame {f} 3 {h} hotspot 1 1",
            f"  rect 0 0 3 {h} fill=lineedge",
            f"  rect 0.8 0 1.4 {h} fill=line",
            "end"]
# Padlock.
out += [
    "frame 8 16 20 hotspot 8 10",
    "  arc 8 8 5 180 360 stroke=#B0BEC5 width=2.4",
    "  line 3 8 3 10 stroke=#B0BEC5 width=2.4",
    "  line 13 8 13 10 stroke=#B0BEC5 width=2.4",
    "  rect 1.5 9.5 13 9.5 r=2 fill=linear(0,9,0,19,goldlight,gold,golddark) stroke=ink width=0.8",
    "  circle 8 13.4 1.5 fill=ink",
    "  rect 7.4 13.6 1.2 3 fill=ink",
    "end",
]
# Cup (hotspot bottom middle).
cup = [
    "  poly {a} {b} {c} {b} {d} {e} {f} {e} fill=linear({a},0,{c},0,golddark,goldlight@0.35,gold@0.6,golddark) stroke=#5A3A08 width=0.8",
]


def cup_ops(w, h, ox=0.0, oy=0.0):
    # A bowl, two handles, the stem and the base, in a w x h box at (ox, oy).
    s = w / 30.0
    def P(x, y):
        return f"{num(ox + x * s)} {num(oy + y * s)}"
    g = "linear({},0,{},0,golddark,goldlight@0.35,gold@0.6,golddark)".format(num(ox + 5 * s), num(ox + 25 * s))
    ops = [
        f"  arc {P(5, 9)} {num(4 * s)} 90 270 stroke=gold width={num(1.8 * s)}",
        f"  arc {P(25, 9)} {num(4 * s)} 270 450 stroke=gold width={num(1.8 * s)}",
        f"  poly {P(5, 2)} {P(25, 2)} {P(23, 14)} {P(18, 19)} {P(12, 19)} {P(7, 14)} fill={g} stroke=#5A3A08 width={num(0.8 * s)} join=round",
        f"  rect {P(13, 19)} {num(4 * s)} {num(6 * s)} fill={g}",
        f"  rect {P(9, 25)} {num(12 * s)} {num(3 * s)} r={num(1 * s)} fill={g} stroke=#5A3A08 width={num(0.6 * s)}",
        f"  rect {P(7, 28)} {num(16 * s)} {num(4 * s)} r={num(1 * s)} fill=#5D3A1A stroke=#2A1606 width={num(0.6 * s)}",
        f"  line {P(9, 5)} {P(10.5, 12)} stroke=#FFFFFFA0 width={num(1.2 * s)} cap=round",
    ]
    return ops


out += ["frame 9 30 34 hotspot 15 34"] + cup_ops(30, 34) + ["end"]
# Note plate and name plate.
out += [
    "frame 10 212 44",
    "  rect 1 1 210 42 r=8 fill=linear(0,0,0,44,#1C2F45E8,#0B1622F0) stroke=gold width=1.2",
    "  rect 4 4 204 36 r=6 stroke=#E8B64C40 width=1",
    "end",
    "frame 12 96 30 hotspot 48 15",
    "  rect 1 1 94 28 r=9 fill=linear(0,0,0,30,#24405C,#0E1E30) stroke=gold width=1.4",
    "  line 12 4 84 4 stroke=#FFFFFF30 width=1 cap=round",
    "end",
    "frame 13 30 30 hotspot 3 3",
    "  rect 1 1 28 28 r=5 stroke=linear(0,0,30,30,goldlight,gold,golddark) width=2",
    "end",
]
# Heads.
for c, row in enumerate(portraits.CHARACTERS[:10]):
    name, skin, hair, style, shirt, back, extra = row
    out += [f"# {name}",
            f"frame {14 + c} 24 24",
            f"  rect 0 0 24 24 r=4 fill=linear(0,0,0,24,{back},#000000)",
            f"  ellipse 12 26 10 6 fill={shirt}",
            f"  poly 9.5 19 12 22 14.5 19 fill={skin}"]
    for op in head_ops(row):
        if op.startswith("  ellipse") and op.endswith("fill=ink"):
            # Eyes a little larger than scale, to read at this size.
            f = op.split()
            op = "  " + " ".join(f[:3] + [num(float(f[3]) * 1.5), num(float(f[4]) * 1.5)] + f[5:])
        out.append(op.replace("fill=skin", f"fill={skin}").replace("fill=hair", f"fill={hair}")
                   .replace("stroke=hair", f"stroke={hair}").replace("stroke=ink", "stroke=ink"))
    out += ["  rect 0.5 0.5 23 23 r=4 stroke=gold width=1", "end"]
# The prize cup and its rays.
out += ["frame 24 60 68 hotspot 30 68"] + cup_ops(60, 68) + ["end"]
rays = ["frame 25 200 200 hotspot 100 100",
        "  circle 100 100 96 fill=radial(100,100,0,96,#FFE8A0A0,#E8B64C50@0.5,#E8B64C00)"]
for k in range(16):
    import math
    a0 = math.radians(k * 22.5 - 5)
    a1 = math.radians(k * 22.5 + 5)
    x0, y0 = 100 + 96 * math.cos(a0), 100 + 96 * math.sin(a0)
    x1, y1 = 100 + 96 * math.cos(a1), 100 + 96 * math.sin(a1)
    rays.append(f"  poly 100 100 {num(x0)} {num(y0)} {num(x1)} {num(y1)} fill=radial(100,100,0,96,#FFF1C4A0,#FFF1C400)")
rays.append("end")
out += rays
# Empty, empty winner, out.
out += [
    "frame 26 24 24",
    "  rect 0.5 0.5 23 23 r=4 fill=slot stroke=#3E5670 width=1",
    '  text 12 12 "?" size=14 font=bold align=centre valign=middle fill=#4F6A86',
    "end",
    "frame 27 24 24",
    "  rect 0.5 0.5 23 23 r=4 fill=slot stroke=gold width=1",
    "  rect 3 3 18 18 r=3 stroke=#E8B64C50 width=1",
    '  text 12 12.5 "?" size=13 font=bold align=centre valign=middle fill=#E8B64C90',
    "end",
    "frame 28 24 24",
    "  rect 0.5 0.5 23 23 r=4 fill=#2A2A2E stroke=#55555C width=1",
    "  line 6 6 18 18 stroke=#C0392B width=3 cap=round",
    "  line 18 6 6 18 stroke=#C0392B width=3 cap=round",
    "end",
]
# Animation 0: a light blinking.
out += ["anim 0", "  0 8", "  1 8", "end"]
with open(os.path.join(HERE, "07-heads.art"), "w") as f:
    f.write("\n".join(out) + "\n")
