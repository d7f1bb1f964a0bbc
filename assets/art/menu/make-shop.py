#!/usr/bin/env python3
"""Writes the shop's recipes: menu/11-shop-items.art (the fifteen item
pictures, the select ring and the four arrows) and pub/20-shop.art (the
detail panel, the message box, the owned banner and the pictures of the
item-bought and explanation screens). Run it again after a change; the
recipes it writes are the sources the build reads."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))

# Levels 1-5: plain, blue, green, purple, gold (main, light, dark).
LEVELS = [
    ("#B8C4CA", "#EEF3F5", "#6E7E86"),
    ("#3D9BE9", "#A8D6FF", "#1A5A96"),
    ("#4CB860", "#B4F0BC", "#22703A"),
    ("#A052C8", "#DEB4F2", "#5E2A7E"),
    ("#F2B632", "#FFF0B8", "#A06A0C"),
]

COMMON = """colour gold #E8B64C
colour goldlight #FFF1C4
colour golddark #8C5A12
colour felt #0E5A3A
colour feltlight #1F8A5C
colour feltdark #06301F
colour ink #0A0F14
colour white #FFFFFF
"""


def tile(level):
    """The display tile every item sits on, with the level's five dots."""
    out = ["  rect 1 1 42 42 r=8 fill=radial(22,16,2,30,feltlight,felt@0.55,feltdark) stroke=gold width=1.5"]
    for k in range(5):
        lit = "goldlight" if k < level else "feltdark"
        edge = "golddark" if k < level else "#2A6A4E"
        out.append(f"  circle {12 + 5 * k} 38 1.8 fill={lit} stroke={edge} width=0.6")
    return out


def chalk(level):
    main, light, dark = LEVELS[level - 1]
    out = [
        f"  poly 22 6 35 12.5 22 19 9 12.5 fill={light} stroke={dark} width=0.8 join=round",
        f"  poly 9 12.5 22 19 22 33 9 26.5 fill={main} stroke={dark} width=0.8 join=round",
        f"  poly 22 19 35 12.5 35 26.5 22 33 fill={dark} stroke={dark} width=0.8 join=round",
        f"  ellipse 22 12.5 5.5 2.6 fill={main} stroke={dark} width=0.6",
        "  line 12 15 12 24 stroke=#FFFFFF90 width=1 cap=round",
    ]
    if level == 5:
        out.append("  poly 36 3 37.2 6.3 40.5 7.5 37.2 8.7 36 12 34.8 8.7 31.5 7.5 34.8 6.3 fill=white stroke=gold width=0.5")
    return out


def cue(level):
    main, light, dark = LEVELS[level - 1]
    out = [
        # butt, wrap and joint ring, then the maple shaft, ferrule and tip
        f"  line 8 33 19 22 stroke={dark} width=6 cap=round",
        f"  line 8 33 19 22 stroke={main} width=4 cap=round",
        f"  line 9.5 31.5 12.5 28.5 stroke={light} width=4.4 cap=butt",
        "  line 19 22 21 20 stroke=gold width=4 cap=butt",
        "  line 21 20 33 8 stroke=#B89A6A width=3.2 cap=butt",
        "  line 21 20 33 8 stroke=#F1DDB0 width=1.6 cap=butt",
        "  line 33 8 35 6 stroke=white width=2.8 cap=butt",
        "  line 35 6 36.2 4.8 stroke=#2E7BD0 width=2.6 cap=round",
    ]
    if level >= 4:
        out.append(f"  line 14 27 17 24 stroke={light} width=1.2 cap=round")
    if level == 5:
        out.append("  circle 10.5 30.5 1.4 fill=white")
    return out


def glove(level):
    main, light, dark = LEVELS[level - 1]
    out = [
        f"  rect 13 5 5.5 17 r=2.7 fill={main} stroke={dark} width=0.8",
        f"  rect 18.8 3 5.5 18 r=2.7 fill={light} stroke={dark} width=0.8",
        f"  rect 24.6 6 5.5 16 r=2.7 fill={main} stroke={dark} width=0.8",
        f"  ellipse 11 23 3.4 6.5 fill={main} stroke={dark} width=0.8",
        f"  rect 12 16 20 16 r=6 fill={main} stroke={dark} width=0.8",
        f"  rect 13 30 18 5 r=1.5 fill={dark} stroke={dark} width=0.6",
        "  line 15 32.5 29 32.5 stroke=white width=0.8",
        f"  line 16 21 28 21 stroke={light} width=0.8 cap=round",
    ]
    if level == 5:
        out.append("  circle 22 26 2.2 fill=white stroke=gold width=0.8")
    return out


def items_bank():
    out = [
        "# menu.bar 11 (slot 11): the shop's item pictures and buttons. Written by",
        "# make-shop.py.",
        "#   0-4 chalks, 5-9 cues, 10-14 gloves, levels 1-5 (44x44, centred); the",
        "#   dots under each count its level",
        "#   15/16 the ring round the shown item, idle / pressed (52x52, centred)",
        "#   18-21 arrows up, down, left, right (30x30, centred)",
        "# Palette 1 lights the ring and the arrows (the shop paints them so).",
        COMMON.rstrip(),
        "colour key #6F7C82",
        "colour keylight #B7C0C4",
        "variant key=#E8B64C keylight=#FFF1C4",
    ]
    drawers = [chalk, cue, glove]
    for item in range(15):
        level = item % 5 + 1
        out.append(f"frame {item} 44 44 hotspot 22 22")
        out += tile(level)
        out += drawers[item // 5](level)
        out.append("end")
    out += [
        "frame 15 52 52 hotspot 26 26",
        "  rect 2 2 48 48 r=11 fill=none stroke=key width=2.5",
        "  rect 4.5 4.5 43 43 r=9 fill=none stroke=keylight width=1",
        "end",
        "frame 16 52 52 hotspot 26 26",
        "  rect 1.5 1.5 49 49 r=12 fill=none stroke=keylight width=3",
        "  rect 4.5 4.5 43 43 r=9 fill=none stroke=key width=2",
        "end",
    ]
    arrows = {
        18: "15 7 23 19 7 19",
        19: "15 23 23 11 7 11",
        20: "7 15 19 7 19 23",
        21: "23 15 11 7 11 23",
    }
    for frame, tri in arrows.items():
        out += [
            f"frame {frame} 30 30 hotspot 15 15",
            "  circle 15 15 13.5 fill=radial(12,11,1,15,feltlight,felt@0.6,feltdark) stroke=key width=1.5",
            f"  poly {tri} fill=keylight stroke=key width=1 join=round",
            "end",
        ]
    return "\n".join(out) + "\n"


def shop_bank():
    out = [
        "# pub.bar 20 (slot 46): the shop's panels and pictures. Written by",
        "# make-shop.py.",
        "#   0 detail panel 224x88            4 its lower part 224x50 (open panel);",
        "#     both hold the tracks of the rating bars",
        "#   1 message box 208x100            2 warning sign   3 rivet",
        "#   6 owned tick    7 empty purse    8 \"BUY\" tag beside the back button",
        "#   9 medal behind a bought item     10 coins and an arrow   11 brace",
        "#   12 plus sign",
        "#   13 arrow    14 explanation header",
        "#   26, 27, 28 owned banner: left end, right end, middle (tiled every 12)",
        COMMON.rstrip(),
        "colour red #C8362C",
        "colour redlight #E8594C",
        "colour reddark #7A1A14",
        "frame 0 224 88",
        "  rect 0.5 0.5 223 87 r=10 fill=linear(0,0,0,88,feltlight,felt@0.45,felt) stroke=gold width=1.5",
        "  line 8 1.5 216 1.5 stroke=goldlight width=1",
        "  rect 71.5 72.5 145 9 r=2 fill=feltdark stroke=#2A6A4E width=1",
        "end",
        "frame 1 208 100",
        "  rect 0.5 0.5 207 99 r=10 fill=linear(0,0,0,100,#6E2418,#3A0E08) stroke=gold width=1.5",
        "  rect 4.5 4.5 199 91 r=7 fill=none stroke=#E8B64C80 width=1",
        "end",
        "frame 2 30 26 hotspot 15 13",
        "  poly 15 1.5 28.5 24.5 1.5 24.5 fill=linear(0,0,0,26,#FFE07A,#F2B632) stroke=golddark width=1.2 join=round",
        "  rect 13.6 8 2.8 9 r=1.2 fill=ink",
        "  circle 15 20.5 1.7 fill=ink",
        "end",
        "frame 3 6 6 hotspot 3 3",
        "  circle 3 3 2.4 fill=radial(2,2,0.5,3,goldlight,gold,golddark)",
        "end",
        "frame 4 224 50",
        "  rect 0.5 -20 223 69.5 r=10 fill=felt stroke=gold width=1.5",
        "  rect 71.5 10.5 145 9 r=2 fill=feltdark stroke=#2A6A4E width=1",
        "  rect 71.5 26.5 145 9 r=2 fill=feltdark stroke=#2A6A4E width=1",
        "end",
        "frame 6 18 18 hotspot 9 9",
        "  circle 9 9 8 fill=#2E9E5B stroke=white width=1.5",
        "  line 5 9.5 8 12.5 13 6 stroke=white width=2 cap=round join=round",
        "end",
        "frame 7 24 22 hotspot 12 11",
        "  ellipse 12 13 9 7.5 fill=linear(0,5,0,21,#B07A3C,#6A4318) stroke=#3A2208 width=1",
        "  rect 8 3 8 4 r=1.5 fill=#8A5A28 stroke=#3A2208 width=0.8",
        "  line 4 20 20 5 stroke=redlight width=2.2 cap=round",
        "end",
        "frame 8 44 22",
        "  rect 0.5 0.5 43 21 r=10 fill=linear(0,0,0,22,#3FC072,#1E7A44) stroke=goldlight width=1",
        "  text 18 11 \"BUY\" font=bold size=10 align=centre valign=middle fill=white",
        "  poly 33 7 39 11 33 15 fill=white",
        "end",
        "frame 9 140 140 hotspot 70 70",
    ]
    for k in range(16):
        out.append(f"  line {70 + 58 * cos_deg(k * 22.5):.2f} {70 + 58 * sin_deg(k * 22.5):.2f} "
                   f"{70 + 68 * cos_deg(k * 22.5):.2f} {70 + 68 * sin_deg(k * 22.5):.2f} stroke=gold width=3 cap=round")
    out += [
        "  circle 70 70 52 fill=radial(64,60,4,54,feltlight,felt@0.6,feltdark) stroke=gold width=2.5",
        "  circle 70 70 46 fill=none stroke=#E8B64C90 width=1",
        "end",
        "frame 10 100 50 hotspot 50 25",
    ]
    for stack, (x, n) in enumerate([(13, 4), (31, 7), (49, 5)]):
        for c in range(n):
            y = 44 - 5 * c
            out.append(f"  rect {x - 10} {y - 1} 20 4 fill=golddark")
            out.append(f"  ellipse {x} {y - 1} 10 3.5 fill=linear(0,{y - 4},0,{y + 3},goldlight,gold) stroke=golddark width=0.8")
    out += [
        "  circle 52 38 9 fill=radial(50,35,1,9,goldlight,gold@0.6,golddark) stroke=golddark width=1",
        "  text 52 38 \"$\" font=bold size=11 align=centre valign=middle fill=golddark",
        "  poly 68 21.5 84 21.5 84 17 96 25 84 33 84 28.5 68 28.5 fill=goldlight stroke=golddark width=1 join=round",
        "end",
        "frame 11 164 14 hotspot 82 0",
        "  line 2 2 2 7 162 7 162 2 stroke=gold width=1.5 join=round",
        "  line 82 7 82 12 stroke=gold width=1.5",
        "end",
        "frame 12 14 14 hotspot 7 7",
        "  rect 5.5 1 3 12 r=1 fill=goldlight stroke=golddark width=0.6",
        "  rect 1 5.5 12 3 r=1 fill=goldlight stroke=golddark width=0.6",
        "end",
        "frame 13 30 16 hotspot 15 8",
        "  poly 2 5.5 18 5.5 18 1 28 8 18 15 18 10.5 2 10.5 fill=goldlight stroke=golddark width=1 join=round",
        "end",
        "frame 14 200 30 hotspot 100 0",
        "  rect 0.5 0.5 199 29 r=8 fill=linear(0,0,0,30,feltlight,felt) stroke=gold width=1.5",
        "  text 100 15 \"HOW THE SHOP WORKS\" font=bold size=12 align=centre valign=middle fill=goldlight",
        "end",
        "frame 26 9 16",
        "  poly 0 0 9 0 9 16 0 16 4 8 fill=reddark stroke=reddark width=0.5",
        "  line 9 0.5 2 0.5 stroke=redlight width=1",
        "end",
        "frame 27 9 16",
        "  poly 0 0 9 0 5 8 9 16 0 16 fill=reddark stroke=reddark width=0.5",
        "  line 0 0.5 7 0.5 stroke=redlight width=1",
        "end",
        "frame 28 12 16",
        "  rect 0 0 12 16 fill=linear(0,0,0,16,redlight,red@0.5,reddark)",
        "  line 0 1.5 12 1.5 stroke=#F08070 width=1",
        "end",
    ]
    return "\n".join(out) + "\n"


def cos_deg(a):
    import math
    return math.cos(math.radians(a))


def sin_deg(a):
    import math
    return math.sin(math.radians(a))


def main():
    with open(os.path.join(HERE, "11-shop-items.art"), "w") as f:
        f.write(items_bank())
    pub = os.path.join(os.path.dirname(HERE), "pub")
    os.makedirs(pub, exist_ok=True)
    with open(os.path.join(pub, "20-shop.art"), "w") as f:
        f.write(shop_bank())


if __name__ == "__main__":
    main()
