#!/usr/bin/env python3
"""Writes the table pictures of the table choice, map/NN-table-T.art for
map.bar 3-11 (tables 0-8): a top view of the table in its cloth and rail
colours. Run it again after changing the table below."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))

# cloth, cloth dark, rail, rail dark
TABLES = [
    ("#2E9E5B", "#16603A", "#8B5A2B", "#4A2C12"),
    ("#2F6FB5", "#173E6B", "#6B4226", "#3A2210"),
    ("#B03A3A", "#6A1C1C", "#3C3C3C", "#151515"),
    ("#6A4FA3", "#3A2A63", "#A87B4F", "#5C3F22"),
    ("#1F9C9C", "#0F5A5A", "#5A3A1A", "#2E1C0A"),
    ("#7A8A8F", "#42504F", "#2B2B2B", "#0E0E0E"),
    ("#8C2F4B", "#4E1629", "#C9A14A", "#7A5A1C"),
    ("#23407A", "#101F42", "#9C6B3C", "#55381A"),
    ("#1E7A46", "#0C4527", "#1A1A1A", "#000000"),
]


def table(t, cloth, dark, rail, raild):
    w, h = 180, 96
    lines = [f"# map.bar {3 + t} (slot {50 + t}): table {t} from above, for the table choice.",
             "# Written by make-tables.py.",
             f"colour cloth {cloth}", f"colour dark {dark}", f"colour rail {rail}", f"colour raild {raild}",
             f"frame 0 {w} {h} hotspot {w // 2} {h // 2}",
             f"  rect 0 0 {w} {h} r=10 fill=linear(0,0,0,{h},rail,raild)",
             f"  rect 10 10 {w - 20} {h - 20} r=3 fill=radial({w / 2},{h / 2},5,{w / 2},cloth,dark)",
             f"  rect 10.5 10.5 {w - 21} {h - 21} r=3 stroke=#00000060 width=1"]
    for x in (11, w / 2, w - 11):
        for y in (11, h - 11):
            lines.append(f"  circle {x} {y} 5.5 fill=#0A0A0A")
    for k in range(3):
        lines.append(f"  circle {w * 0.25 + 2 * k} {h / 2 - 2 - k * 3} 1.2 fill=#FFFFFF70")
    # A rack of balls and the cue ball.
    cols = ["#F1C40F", "#2E86C1", "#C0392B", "#8E44AD", "#E67E22", "#27AE60", "#922B21", "#111111",
            "#F1C40F", "#2E86C1"]
    n = 0
    for row in range(4):
        for k in range(row + 1):
            x = w * 0.68 + row * 6.2
            y = h / 2 - row * 3.6 + k * 7.2
            lines.append(f"  circle {x:.1f} {y:.1f} 3.4 fill={cols[n % len(cols)]} stroke=#00000060 width=0.5")
            n += 1
    lines.append(f"  circle {w * 0.27:.1f} {h / 2} 3.4 fill=#F8F4E8 stroke=#00000060 width=0.5")
    for x in range(30, w - 20, 25):
        lines.append(f"  circle {x} 5 1.3 fill=#F3E2C0")
        lines.append(f"  circle {x} {h - 5} 1.3 fill=#F3E2C0")
    lines.append("end")
    return "\n".join(lines) + "\n"


def thumbnail(t, cloth, dark, rail, raild):
    """The small picture of a table beside the chosen one (loc.bar t)."""
    w, h = 64, 36
    lines = [f"# loc.bar {t} (slot {60 + t}): table {t}, small, beside the chosen table.",
             "# Written by map/make-tables.py.",
             f"colour cloth {cloth}", f"colour dark {dark}", f"colour rail {rail}", f"colour raild {raild}",
             f"frame 0 {w} {h} hotspot {w // 2} {h // 2}",
             f"  rect 0 0 {w} {h} r=5 fill=linear(0,0,0,{h},rail,raild)",
             f"  rect 4 4 {w - 8} {h - 8} r=2 fill=radial({w / 2},{h / 2},2,{w / 2},cloth,dark)"]
    for x in (4.5, w / 2, w - 4.5):
        for y in (4.5, h - 4.5):
            lines.append(f"  circle {x} {y} 2.4 fill=#0A0A0A")
    lines.append(f"  circle {w * 0.3:.1f} {h / 2} 1.8 fill=#F8F4E8")
    lines.append(f"  circle {w * 0.7:.1f} {h / 2} 1.8 fill=#C0392B")
    lines.append("end")
    lines += ["", "anim 0", "  0 1", "end"]
    return "\n".join(lines) + "\n"


def main():
    for t, c in enumerate(TABLES):
        with open(os.path.join(HERE, f"{3 + t:02d}-table-{t}.art"), "w") as f:
            f.write(table(t, *c))
        with open(os.path.join(HERE, "..", "loc", f"{t:02d}-table-{t}.art"), "w") as f:
            f.write(thumbnail(t, *c))


if __name__ == "__main__":
    main()
