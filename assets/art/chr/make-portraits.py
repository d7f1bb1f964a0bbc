#!/usr/bin/env python3
"""Writes the portrait recipes chr/NN-<name>.art (characters 0-10) and the
names bank chr/11-names.art from the table below. Run it again after
changing a character; the recipes it writes are the sources the build reads."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))

# name, skin, hair colour, hair style, shirt, backdrop, extra
CHARACTERS = [
    ("Ada", "#F2C9A5", "#6B3A1E", "long", "#C0392B", "#2C3E50", "none"),
    ("Brock", "#D9A27A", "#1C1C1C", "short", "#2E86C1", "#1B2631", "beard"),
    ("Cleo", "#8D5A3B", "#101010", "bun", "#F1C40F", "#4A235A", "earrings"),
    ("Dex", "#F5D0B0", "#E67E22", "spiky", "#27AE60", "#17202A", "none"),
    ("Edda", "#F7DCC6", "#F4E08A", "long", "#8E44AD", "#1A5276", "glasses"),
    ("Finn", "#E0AC82", "#7B4A2A", "short", "#16A085", "#3B2F2F", "cap"),
    ("Greta", "#C68A62", "#B03A2E", "bob", "#E74C3C", "#0B5345", "none"),
    ("Hugo", "#EBC1A0", "#9E9E9E", "bald", "#34495E", "#512E5F", "moustache"),
    ("Iris", "#6E4530", "#2B1B12", "curly", "#1ABC9C", "#5B2C6F", "none"),
    ("Jonas", "#F0C8A8", "#D4AC0D", "short", "#D35400", "#154360", "glasses"),
    ("Viktor", "#B8B0A8", "#F0F0F0", "slick", "#111111", "#641E16", "scar"),
]


def portrait(i, name, skin, hair, style, shirt, back, extra):
    out = [f"# chr.bar {i} (slot {13 + i}): {name}. Frame 0 the 56x56 portrait, frame 1",
           "# the figure seated in the pub (hotspot bottom middle). Written by",
           "# make-portraits.py.",
           f"colour skin {skin}", f"colour hair {hair}", f"colour shirt {shirt}", f"colour back {back}",
           "colour ink #1A1008", "colour white #FFFFFF",
           "group head"]
    # Hair behind the face.
    if style in ("long", "curly"):
        out.append("  ellipse 28 30 17 19 fill=hair")
    if style == "bun":
        out.append("  circle 28 7 7 fill=hair")
    if style == "bob":
        out.append("  rect 11 14 34 22 r=8 fill=hair")
    out += ["  rect 24 36 8 8 fill=skin",
            "  ellipse 28 25 12 14 fill=skin stroke=#00000040 width=0.8",
            "  ellipse 16.5 26 2 3 fill=skin", "  ellipse 39.5 26 2 3 fill=skin"]
    # Hair on top.
    tops = {
        "long": "  poly 15 24 17 13 28 9 39 13 41 24 36 16 22 16 fill=hair",
        "short": "  poly 16 22 17 14 28 10 39 14 40 22 37 16 19 16 fill=hair",
        "bun": "  poly 16 21 19 13 28 11 37 13 40 21 35 15 21 15 fill=hair",
        "spiky": "  poly 15 22 14 10 19 14 21 6 25 12 28 4 31 12 35 6 37 14 42 10 41 22 36 16 20 16 fill=hair",
        "bob": "  poly 15 26 16 14 28 9 40 14 41 26 37 16 19 16 fill=hair",
        "bald": "  arc 28 25 12.5 200 340 stroke=hair width=2",
        "curly": "  circle 19 14 5 fill=hair\n  circle 28 11 6 fill=hair\n  circle 37 14 5 fill=hair",
        "slick": "  poly 16 20 18 12 30 9 40 13 40 20 34 14 fill=hair",
    }
    out.append(tops[style])
    # Face.
    out += ["  ellipse 23 25 1.6 1.8 fill=ink", "  ellipse 33 25 1.6 1.8 fill=ink",
            "  line 21 21.5 25 21 stroke=hair width=1.2 cap=round", "  line 31 21 35 21.5 stroke=hair width=1.2 cap=round",
            "  line 28 26 27 30 28.5 30.5 stroke=#00000050 width=0.8",
            "  arc 28 31 4 20 160 stroke=#7A2E2E width=1.2"]
    if extra == "beard":
        out.append("  poly 16 28 20 36 28 40 36 36 40 28 36 34 28 36 20 34 fill=hair")
    if extra == "moustache":
        out.append("  poly 23 32 28 30 33 32 30 33 28 32 26 33 fill=hair")
    if extra == "glasses":
        out += ["  circle 23 25 3.6 stroke=ink width=1", "  circle 33 25 3.6 stroke=ink width=1",
                "  line 26.6 25 29.4 25 stroke=ink width=1"]
    if extra == "earrings":
        out += ["  circle 16.5 30 1.5 fill=#F1C40F", "  circle 39.5 30 1.5 fill=#F1C40F"]
    if extra == "cap":
        out += ["  poly 15 19 17 11 28 8 39 11 41 19 fill=#C0392B", "  rect 26 17 22 3 r=1.5 fill=#922B21"]
    if extra == "scar":
        out.append("  line 34 19 37 29 stroke=#9E4A4A width=1")
    out.append("end")
    out += ["frame 0 56 56",
            "  rect 0 0 56 56 r=6 fill=linear(0,0,0,56,back,#000000)",
            "  ellipse 28 58 22 14 fill=shirt",
            "  poly 22 45 28 52 34 45 fill=skin",
            "  use head",
            "  rect 0.5 0.5 55 55 r=6 stroke=#E8B64C width=1",
            "end",
            "frame 1 32 48 hotspot 16 48",
            "  rect 9 28 14 14 r=3 fill=shirt",
            "  rect 10 40 5 8 fill=#2C2C2C", "  rect 17 40 5 8 fill=#2C2C2C",
            "  circle 16 20 8 fill=skin",
            "  ellipse 16 14 8 4 fill=hair",
            "  rect 2 42 28 3 fill=#6B3F14",
            "end"]
    return "\n".join(out) + "\n"


def main():
    for i, c in enumerate(CHARACTERS):
        with open(os.path.join(HERE, f"{i:02d}-{c[0].lower()}.art"), "w") as f:
            f.write(portrait(i, *c))
    lines = ["# chr.bar 11 (slot 24): the characters' names, frame n for character n,",
             "# hotspot in the middle. Written by make-portraits.py.",
             "colour gold #E8B64C", "colour shade #000000B0"]
    for i, c in enumerate(CHARACTERS):
        lines += [f"frame {i} 74 18 hotspot 37 9",
                  "  rect 0 0 74 18 r=9 fill=shade",
                  f'  text 37 9 "{c[0]}" size=13 font=bold align=centre valign=middle fill=gold',
                  "end"]
    with open(os.path.join(HERE, "11-names.art"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
