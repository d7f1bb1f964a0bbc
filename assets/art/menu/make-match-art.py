#!/usr/bin/env python3
"""Writes the match set-up and start art: menu/03-match.art (menu.bar 3: the
stake seats, the coins and their spins, the versus mark, the soft-key
plates), menu/12-rules.art (menu.bar 12: the rule-set pictures) and
map/12-stake-glow.art (map.bar 12: the glow behind each stake seat). Run it
again after changing the tables below."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
ART = os.path.dirname(HERE)

# Seat boxes of the stake screen (top left, 40x34), seat 0-8; the same
# numbers as interface 32's seat elements.
# The outer two stand a few pixels in from the screen's edges.
SEATS = [(4, 106), (5, 148), (55, 131), (70, 171), (125, 89), (100, 89), (130, 169), (160, 131), (196, 190)]

COLOURS = """colour gold #E8B64C
colour goldlight #FFF1C4
colour golddark #8C5A12
colour navy #0E1E30
colour navylight #23405E
colour felt #1F8A5C
colour feltdark #0B4A30
colour ink #0A0F14
colour white #FFFFFF
colour silver #C9CED6
colour silverdark #6B7380
"""

# Ball colours 1-8 (9-15 are the stripes of 1-7).
BALLS = ["#F1C40F", "#2E86C1", "#C0392B", "#8E44AD", "#E67E22", "#27AE60", "#922B21", "#111111"]
RED, YELLOW = "#C8281E", "#F4C20D"


def coin_face(face, width):
    """A coin w pixels wide (of 34): face 0 heads (a crowned profile), 1 tails (a cue over a ball)."""
    rx = width / 2
    out = []
    if face == 0:
        out.append(f"  ellipse 20 20 {rx} 17 fill=radial(15,14,1,20,goldlight,gold@0.55,golddark) stroke=#5A3A0A width=1")
        if width >= 20:
            k = width / 34
            out.append(f"  ellipse {20 - 1 * k} 21 {7 * k} 8 fill=#B07A1E")
            out.append(f"  ellipse {20 + 5 * k} 19 {2.2 * k} 3 fill=#B07A1E")
            out.append(f"  poly {20 - 7 * k} 12 {20 - 4 * k} 8 {20 - 1 * k} 11 {20 + 2 * k} 7 {20 + 5 * k} 12 fill=#FFE9A8 stroke=#8C5A12 width=0.6")
            out.append(f"  ellipse 20 20 {rx - 3} 14 stroke=#FFF1C480 width=0.8")
    else:
        out.append(f"  ellipse 20 20 {rx} 17 fill=radial(15,14,1,20,#FFFFFF,silver@0.55,silverdark) stroke=#3A4048 width=1")
        if width >= 20:
            k = width / 34
            out.append(f"  circle 20 23 {5 * k} fill=#2A2F36")
            out.append(f"  line {20 - 9 * k} 29 {20 + 9 * k} 11 stroke=#8A5A2A width={2.2 * k} cap=round")
            out.append(f"  ellipse 20 20 {rx - 3} 14 stroke=#FFFFFF80 width=0.8")
    return out


def match_art():
    lines = ["# menu.bar 3 (slot 3, alpha, kept in matches): the match set-up and start art.",
             "#   0/1 stake seat locked/open (40x34, top left)   2/3 coin heads/tails (face 0/1)",
             "#   4 heads turning, 5 the coin's edge, 6 tails turning (coins centred)",
             "#   7 the versus mark (centred)    83/84 left soft plate, 85/86 right (pressed)",
             "# Animations 0-3: the tossed coin, ending on faces 0, 1, 0, 1 and held.",
             "# Written by make-match-art.py.", "alpha", COLOURS.rstrip()]
    # Seats.
    lines += ["frame 0 40 34",
              "  circle 20 17 14 fill=radial(16,13,1,15,#4A5260,#262C34) stroke=#70788A width=1.5",
              "  rect 14 16 12 9 r=1.5 fill=#9AA2AE stroke=#3A404A width=0.8",
              "  arc 20 16 4 180 360 stroke=#9AA2AE width=2",
              "  circle 20 20 1.3 fill=#2A3038",
              "end",
              "frame 1 40 34",
              "  circle 20 17 14 fill=radial(16,12,1,15,felt,feltdark) stroke=gold width=2",
              "  circle 20 17 11.5 stroke=#FFF1C460 width=0.8",
              "  circle 16 19 4 fill=radial(15,18,0.5,4,#FFFFFF,#D8D4C8) stroke=#00000050 width=0.5",
              "  circle 24 14 4 fill=radial(23,13,0.5,4,#FF6A5A,#A01E14) stroke=#00000050 width=0.5",
              "end"]
    # Coins.
    looks = {2: (0, 34), 3: (1, 34), 4: (0, 18), 5: (None, 4), 6: (1, 18)}
    for f, (face, w) in looks.items():
        lines.append(f"frame {f} 40 40 hotspot 20 20")
        if face is None:
            lines.append("  rect 17 3 6 34 r=2 fill=linear(17,0,23,0,golddark,goldlight,golddark)")
        else:
            lines += coin_face(face, w)
        lines.append("end")
    # Versus mark.
    lines += ["frame 7 56 40 hotspot 28 20",
              "  circle 28 20 18 fill=radial(24,15,2,19,#3A1010,#120404) stroke=gold width=1.5",
              '  text 28 21 "VS" size=20 font=serif-bold align=centre valign=middle '
              "fill=linear(0,10,0,32,goldlight,gold@0.5,golddark) stroke=#2A1606 width=1",
              "end"]
    # Soft-key plates.
    for f, w, pressed in ((83, 60, False), (84, 60, True), (85, 50, False), (86, 50, True)):
        fill = "linear(0,0,0,28,gold,golddark)" if pressed else "linear(0,0,0,28,#23405EE0,#0E1E30E0)"
        stroke = "goldlight" if pressed else "gold"
        lines += [f"frame {f} {w} 28", f"  rect 1.5 1.5 {w - 3} 25 r=9 fill={fill} stroke={stroke} width=1.2", "end"]
    # Spins: the coin turns (heads, turning, edge, turning tails, tails, ...)
    # while it rises and falls, then rests on its face.
    cycle = [2, 4, 5, 6, 3, 6, 5, 4]
    for a, steps in enumerate((24, 20, 16, 28)):
        face = (0, 1, 0, 1)[a]
        # The cycle must stop on the face: heads at 0, tails at 4.
        start = (0 if face == 0 else 4) - steps
        lines.append(f"anim {a}")
        for i in range(steps):
            f = cycle[(start + i) % 8]
            t = i / steps
            dy = round(-44 * 4 * t * (1 - t))
            lines.append(f"  {f} 1 0 {dy}")
        lines.append(f"  {2 if face == 0 else 3} hold")
        lines.append("end")
    return lines


def ball(x, y, n, r=3.6):
    """Ball n (0 cue, 1-15) at x, y."""
    if n == 0:
        return [f"  circle {x} {y} {r} fill=radial({x - 1},{y - 1},0.3,{r},#FFFFFF,#D8D4C8) stroke=#00000060 width=0.5"]
    if n <= 8:
        return [f"  circle {x} {y} {r} fill={BALLS[n - 1]} stroke=#00000060 width=0.5",
                f"  circle {x - 1} {y - 1} {r * 0.3} fill=#FFFFFF90"]
    c = BALLS[n - 9]
    return [f"  circle {x} {y} {r} fill=#F4F0E4 stroke=#00000060 width=0.5",
            f"  ellipse {x} {y} {r * 0.95} {r * 0.5} fill={c}",
            f"  circle {x - 1} {y - 1} {r * 0.3} fill=#FFFFFF90"]


def plain(x, y, colour, r=3.6):
    return [f"  circle {x} {y} {r} fill={colour} stroke=#00000060 width=0.5",
            f"  circle {x - 1} {y - 1} {r * 0.3} fill=#FFFFFF90"]


def cloth():
    return ["  rect 0 0 100 50 r=7 fill=linear(0,0,0,50,#8B5A2B,#4A2C12)",
            "  rect 5 5 90 40 r=3 fill=radial(50,25,4,50,#2E9E5B,#16603A)",
            "  rect 5.5 5.5 89 39 r=3 stroke=#00000060 width=1"]


def triangle(order):
    """Five rows of a rack pointing left, apex at x 52; order gives the balls row by row."""
    out, k = [], 0
    for row in range(5):
        for i in range(row + 1):
            x = 52 + row * 6.6
            y = 25 + (i - row / 2) * 7.6
            out += order[k](x, y)
            k += 1
    return out


def rules_art():
    lines = ["# menu.bar 12 (slot 12, kept in matches): the rule sets' pictures, 100x50,",
             "# top left: 0 eight-ball, 1 UK eight-ball, 2 nine-ball, 4 none (3 unused).",
             "# Written by make-match-art.py."]
    eight = [1, 9, 2, 10, 8, 3, 11, 4, 12, 5, 6, 13, 7, 14, 15]
    lines += ["frame 0 100 50"] + cloth() + ball(22, 25, 0)
    lines += triangle([lambda x, y, n=n: ball(x, y, n) for n in eight]) + ["end"]
    uk = "RYRYKRRYYRYRYYR"
    lines += ["frame 1 100 50"] + cloth() + ball(22, 25, 0)
    lines += triangle([lambda x, y, c=c: plain(x, y, {"R": RED, "Y": YELLOW, "K": "#111111"}[c]) for c in uk])
    lines.append("end")
    lines += ["frame 2 100 50"] + cloth() + ball(22, 25, 0)
    nine = {(0, 0): 1, (1, 0): 2, (1, 1): 3, (2, 0): 4, (2, 1): 9, (2, 2): 5, (3, 0): 6, (3, 1): 7, (4, 0): 8}
    for (row, i), n in nine.items():
        across = row + 1 if row <= 2 else 5 - row
        x = 52 + row * 6.6
        y = 25 + (i - (across - 1) / 2) * 7.6
        lines += ball(x, y, n)
    lines.append("end")
    lines += ["frame 4 100 50"] + cloth() + ball(40, 25, 0) + [
        "  line 8 37 33 28 stroke=linear(8,0,33,0,#5A3418,#D9B27A) width=2.5 cap=round",
        "  line 31 28.7 33.5 27.8 stroke=#3A7BD5 width=2.5 cap=round",
        "  circle 72 25 9 stroke=#FFF1C4A0 width=1.2",
        '  text 72 25.5 "?" size=12 font=bold align=centre valign=middle fill=#FFF1C4',
        "end"]
    return lines


def glow_art():
    lines = ["# map.bar 12 (slot 59, kept: painted through the decode path): the glow",
             "# behind stake seat s in frame s, drawn at (0, 0) of the screen. Pure green",
             "# (#00FF00) is the part the stake screen's colour effect lights.",
             "# Written by make-match-art.py.", "colour key #00FF00",
             "# Stored one index a byte with the green kept exact: the effect reads them.",
             "keep #00FF00", "plain"]
    for s, (x, y) in enumerate(SEATS):
        lines += [f"frame {s} {x + 41} {y + 35}", f"  ellipse {x + 20} {y + 17} 19.5 16.5 fill=key", "end"]
    return lines


def write(path, lines):
    with open(os.path.join(ART, path), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    write("menu/03-match.art", match_art())
    write("menu/12-rules.art", rules_art())
    write("map/12-stake-glow.art", glow_art())
