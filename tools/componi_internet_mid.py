#!/usr/bin/env python3
"""Writes resources/Internet.mid, the short tune the splash plays.

A light waltz-like piece in G major for piano and strings, about 45 seconds:
a conductor track, the piano melody and the accompaniment (piano left hand
and a soft string pad). Standard library only, so anyone can regenerate it:

    python3 tools/componi_internet_mid.py [output]
"""

import os
import struct
import sys

TPQ = 480  # ticks per quarter note
BPM = 92

NOTE_NAMES = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def nota(nome):
    """'F#5' -> MIDI number (C4 = 60)."""
    lettera, resto = nome[0], nome[1:]
    alterazione = 0
    while resto and resto[0] in "#b":
        alterazione += 1 if resto[0] == "#" else -1
        resto = resto[1:]
    return 12 * (int(resto) + 1) + NOTE_NAMES[lettera] + alterazione


# Durations in quarter notes.
DURATE = {"w": 4, "h.": 3, "h": 2, "q.": 1.5, "q": 1, "e": 0.5}

# The melody, one bar per line: (note or "r" for a rest, duration).
MELODIA = [
    [],  # the first bar is the left hand alone
    ["B4 q", "D5 q", "G5 q.", "F#5 e"],
    ["E5 h", "D5 q", "B4 q"],
    ["C5 q", "E5 q", "G5 q", "E5 q"],
    ["D5 h.", "A4 q"],
    ["B4 q", "D5 q", "G5 q", "A5 e", "B5 e"],
    ["G5 h", "E5 q", "G5 q"],
    ["E5 q", "A5 q", "F#5 q.", "E5 e"],
    ["G5 h.", "r q"],
    ["E5 q", "G5 q", "C6 q.", "B5 e"],
    ["B5 h", "A5 q", "G5 q"],
    ["A5 q", "C6 q", "E5 q", "A5 q"],
    ["F#5 h", "E5 q", "D5 q"],
    ["B4 q", "D5 q", "G5 q.", "F#5 e"],
    ["E5 h", "G5 q", "E5 q"],
    ["D5 q", "F#5 q", "A5 q", "C6 q"],
    ["B5 q", "A5 q", "G5 h"],
    ["G4+B4+D5+G5 w"],
]

# One chord per half bar or per bar: root and the notes of the chord.
ARMONIA = [
    ["G"], ["G"], ["Em"], ["C"], ["D"],
    ["G"], ["Em"], ["Am", "D"], ["G"],
    ["C"], ["G"], ["Am"], ["D"],
    ["G"], ["C"], ["D7"], ["G"], ["G"],
]

ACCORDI = {
    # left-hand root, then the upper notes for the arpeggio and the string pad
    "G": ("G2", ["D3", "G3", "B3", "D4"], ["B3", "D4", "G4"]),
    "Em": ("E2", ["B2", "E3", "G3", "B3"], ["B3", "E4", "G4"]),
    "C": ("C3", ["G3", "C4", "E4", "G4"], ["C4", "E4", "G4"]),
    "D": ("D3", ["A3", "D4", "F#4", "A4"], ["A3", "D4", "F#4"]),
    "D7": ("D3", ["A3", "C4", "F#4", "A4"], ["A3", "C4", "F#4"]),
    "Am": ("A2", ["E3", "A3", "C4", "E4"], ["A3", "C4", "E4"]),
}

BATTUTA = 4 * TPQ


def vlq(valore):
    """MIDI variable-length quantity."""
    byte = [valore & 0x7F]
    valore >>= 7
    while valore:
        byte.append(0x80 | (valore & 0x7F))
        valore >>= 7
    return bytes(reversed(byte))


class Traccia:
    def __init__(self, nome):
        self.eventi = []  # (tick, order, bytes); note-offs sort before note-ons
        self.meta(0, 0x03, nome.encode("ascii"))

    def meta(self, tick, tipo, dati):
        self.eventi.append((tick, 1, bytes([0xFF, tipo]) + vlq(len(dati)) + dati))

    def controllo(self, tick, canale, numero, valore):
        self.eventi.append((tick, 1, bytes([0xB0 | canale, numero, valore])))

    def programma(self, tick, canale, numero):
        self.eventi.append((tick, 1, bytes([0xC0 | canale, numero])))

    def nota(self, tick, durata, canale, altezza, forza):
        self.eventi.append((tick, 2, bytes([0x90 | canale, altezza, forza])))
        self.eventi.append((tick + durata, 0, bytes([0x80 | canale, altezza, 0])))

    def byte(self):
        corpo = bytearray()
        precedente = 0
        for tick, _, dati in sorted(self.eventi, key=lambda e: (e[0], e[1])):
            corpo += vlq(tick - precedente) + dati
            precedente = tick
        corpo += vlq(0) + b"\xFF\x2F\x00"
        return b"MTrk" + struct.pack(">I", len(corpo)) + bytes(corpo)


def tempo(bpm):
    return struct.pack(">I", round(60_000_000 / bpm))[1:]


def conduttore():
    t = Traccia("Perix")
    t.meta(0, 0x58, bytes([4, 2, 24, 8]))  # 4/4
    t.meta(0, 0x59, bytes([1, 0]))  # G major: one sharp
    t.meta(0, 0x51, tempo(BPM))
    # A gentle ritardando over the last two bars.
    fine = (len(MELODIA) - 2) * BATTUTA
    for i, bpm in enumerate([88, 84, 80, 76, 72, 66]):
        t.meta(fine + i * TPQ, 0x51, tempo(bpm))
    return t


def melodia():
    t = Traccia("Pianoforte")
    t.programma(0, 0, 0)  # acoustic grand
    t.controllo(0, 0, 7, 110)
    t.controllo(0, 0, 10, 72)
    t.controllo(0, 0, 91, 50)  # some room
    for b, battuta in enumerate(MELODIA):
        tick = b * BATTUTA
        for voce in battuta:
            nome, durata = voce.split()
            lunghezza = int(DURATE[durata] * TPQ)
            if nome != "r":
                sul_battere = (tick % BATTUTA) == 0
                forza = 84 if sul_battere else 74
                if b == len(MELODIA) - 1:
                    forza = 66
                for n in nome.split("+"):
                    # A slightly detached touch, legato on long notes.
                    suono = lunghezza - (30 if lunghezza <= TPQ else 10)
                    t.nota(tick, suono, 0, nota(n), forza)
            tick += lunghezza
        assert tick == (b + 1) * BATTUTA or not battuta, f"battuta {b + 1} incompleta"
    return t


def accompagnamento():
    t = Traccia("Accompagnamento")
    t.programma(0, 1, 0)  # piano left hand
    t.controllo(0, 1, 7, 88)
    t.controllo(0, 1, 10, 56)
    t.controllo(0, 1, 91, 50)
    t.programma(0, 2, 48)  # string ensemble
    t.controllo(0, 2, 7, 70)
    t.controllo(0, 2, 10, 80)
    t.controllo(0, 2, 91, 70)
    t.controllo(0, 2, 93, 30)
    ultima = len(ARMONIA) - 1
    for b, accordi in enumerate(ARMONIA):
        inizio = b * BATTUTA
        meta = BATTUTA // len(accordi)
        for i, nome in enumerate(accordi):
            radice, arpeggio, archi = ACCORDI[nome]
            tick = inizio + i * meta
            if b == ultima:
                # The closing chord: held, no arpeggio.
                t.nota(tick, BATTUTA, 1, nota(radice) - 12, 60)
                t.nota(tick, BATTUTA, 1, nota(radice), 56)
                for n in archi:
                    t.nota(tick, BATTUTA, 2, nota(n), 48)
                continue
            # Left hand in quavers: root, then up and down the chord.
            figura = [radice] + arpeggio + list(reversed(arpeggio[:-1]))
            passi = meta // (TPQ // 2)
            for k in range(passi):
                forza = 64 if k == 0 else 48
                t.nota(tick + k * TPQ // 2, TPQ // 2 - 20, 1, nota(figura[k % len(figura)]), forza)
            # The strings hold the chord softly, entering after the first bar.
            if b > 0:
                for n in archi:
                    t.nota(tick, meta - 20, 2, nota(n), 40)
    return t


def midi():
    tracce = [conduttore(), melodia(), accompagnamento()]
    testa = b"MThd" + struct.pack(">IHHH", 6, 1, len(tracce), TPQ)
    return testa + b"".join(t.byte() for t in tracce)


def main():
    qui = os.path.dirname(os.path.abspath(__file__))
    uscita = sys.argv[1] if len(sys.argv) > 1 else os.path.join(qui, "..", "resources", "Internet.mid")
    dati = midi()
    with open(uscita, "wb") as f:
        f.write(dati)
    print(f"{os.path.normpath(uscita)}: {len(dati)} byte")


if __name__ == "__main__":
    main()
