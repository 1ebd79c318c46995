#!/usr/bin/env python3
"""Draws the program's cursors as XPM images (32 x 32, hot spot at 15, 15).

CURSWAIT00 to CURSWAIT90: a dial whose blue sector covers 0 % to 90 % of the turn.
MIRE: a sight cross, black lines edged in white, open at the centre.
Run from this folder: python3 generer_curseurs.py
"""
import math

TAILLE = 32
CENTRE = 15
COULEURS = {" ": "None", ".": "#000000", "o": "#FFFFFF", "x": "#2060C0"}


def ecrire(nom, pixels):
    lignes = ["/* XPM */", f"static const char *{nom.lower()}[] = {{",
              f'"{TAILLE} {TAILLE} {len(COULEURS)} 1",']
    lignes += [f'"{c} c {v}",' for c, v in COULEURS.items()]
    lignes += [f'"{"".join(ligne)}",' for ligne in pixels]
    lignes[-1] = lignes[-1].rstrip(",")
    lignes.append("};")
    with open(f"{nom}.xpm", "w", encoding="ascii", newline="\n") as f:
        f.write("\n".join(lignes) + "\n")


def cadran(fraction):
    pixels = [[" "] * TAILLE for _ in range(TAILLE)]
    for y in range(TAILLE):
        for x in range(TAILLE):
            dx, dy = x - CENTRE, y - CENTRE
            r = math.hypot(dx, dy)
            if r > 13.5:
                continue
            if r > 11.5:
                pixels[y][x] = "."
                continue
            # Angle from twelve o'clock, clockwise, as a fraction of the turn.
            angle = (math.atan2(dx, -dy) / (2 * math.pi)) % 1.0
            pixels[y][x] = "x" if angle < fraction else "o"
    for y in range(4, CENTRE + 1):  # the hand
        pixels[y][CENTRE] = "."
    return pixels


def mire():
    pixels = [[" "] * TAILLE for _ in range(TAILLE)]
    for i in range(TAILLE - 1):
        if abs(i - CENTRE) <= 3:
            continue
        for bord in (CENTRE - 1, CENTRE + 1):
            pixels[i][bord] = pixels[i][bord] if pixels[i][bord] == "." else "o"
            pixels[bord][i] = pixels[bord][i] if pixels[bord][i] == "." else "o"
        pixels[i][CENTRE] = "."
        pixels[CENTRE][i] = "."
    for y in range(TAILLE):
        for x in range(TAILLE):
            if abs(math.hypot(x - CENTRE, y - CENTRE) - 9) < 0.5:
                pixels[y][x] = "."
    pixels[CENTRE][CENTRE] = "."
    return pixels


if __name__ == "__main__":
    for k in range(10):
        ecrire(f"CURSWAIT{k * 10:02d}", cadran(k / 10))
    ecrire("MIRE", mire())
