#!/usr/bin/python3
"""Lists what a screen reader gets of Perix's windows over the desktop's accessibility bus
(AT-SPI): role, name, value or text, description of every field, button, option button and
figure, window by window.

Perix must be running on the same session bus with its accessibility on, e.g.:

    Xvfb :99 & export DISPLAY=:99
    dbus-run-session -- sh -c '/usr/libexec/at-spi-bus-launcher --launch-immediately &
        sleep 1; QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 build/perix FILE &
        sleep 3; tools/nomi_accessibili.py [--digita] [finestra...]'

With --digita, the figures of the main window are typed again through the bus, as a screen
reader user would, and the text changes announced meanwhile are printed too.
"""

import sys
import time

import pyatspi
from gi.repository import GLib

RUOLI = {
    pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_RADIO_BUTTON,
    pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_LABEL, pyatspi.ROLE_STATUS_BAR, pyatspi.ROLE_NOTIFICATION,
    pyatspi.ROLE_TOGGLE_BUTTON,
}


def testo(acc):
    """The text a screen reader reads of an object, where it offers one."""
    try:
        t = acc.queryText()
        return t.getText(0, t.characterCount)
    except NotImplementedError:
        return ""


def perix():
    desktop = pyatspi.Registry.getDesktop(0)
    for _ in range(50):
        for app in desktop:
            if app is not None and app.name and "perix" in app.name.lower():
                return app
        time.sleep(0.2)
    sys.exit("Perix non si trova sul bus dell'accessibilità")


def elenca(acc, righe, livello=0):
    try:
        ruolo = acc.getRole()
        visibile = acc.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return
    if ruolo in RUOLI and visibile:
        righe.append((acc.getRoleName(), acc.name, testo(acc), acc.description))
    for figlio in acc:
        if figlio is not None:
            elenca(figlio, righe, livello + 1)


def stampa(finestra):
    print(f"== {finestra.name} ({finestra.getRoleName()})")
    righe = []
    elenca(finestra, righe)
    for ruolo, nome, valore, descrizione in righe:
        riga = f"{ruolo:13} | {nome}"
        if valore and valore != nome:
            riga += f" | valore: {valore}"
        if descrizione:
            riga += f" | descrizione: {descrizione}"
        print(riga)


def cerca(acc, ruolo, nome):
    for figlio in acc:
        if figlio is None:
            continue
        if figlio.getRole() == ruolo and figlio.name == nome:
            return figlio
        trovato = cerca(figlio, ruolo, nome)
        if trovato is not None:
            return trovato
    return None


def digita(finestra):
    """Types the worked example's figures into the main window through the bus."""
    annunci = []

    def ascolta(evento):
        if evento.type.startswith("object:text-changed:insert") and evento.source.getRole() != pyatspi.ROLE_TEXT:
            annunci.append(f"{evento.source.name or '(senza nome)'}: «{evento.any_data}»")

    pyatspi.Registry.registerEventListener(ascolta, "object:text-changed:insert")
    for nome, cifra in (("Valore di mercato del fabbricato", "1000000"), ("Costi totali", "500000"),
                        ("Anni per redditività", "2"), ("Superficie del terreno in mq.", "1000")):
        campo = cerca(finestra, pyatspi.ROLE_TEXT, nome)
        if campo is None:
            print(f"campo «{nome}» non trovato")
            continue
        campo.queryEditableText().setTextContents(cifra)
    fine = time.time() + 2
    while time.time() < fine:  # the events arrive through the bus's own loop
        while GLib.MainContext.default().iteration(False):
            pass
        time.sleep(0.05)
    pyatspi.Registry.deregisterEventListener(ascolta, "object:text-changed:insert")
    print("-- annunciato mentre si digitava:")
    for a in annunci:
        print("   " + a)


def main():
    argomenti = [a for a in sys.argv[1:] if not a.startswith("--")]
    app = perix()
    for finestra in app:
        if finestra is None:
            continue
        if argomenti and not any(a.lower() in finestra.name.lower() for a in argomenti):
            continue
        if "--digita" in sys.argv and "menu" in finestra.name.lower():
            digita(finestra)
        stampa(finestra)


if __name__ == "__main__":
    main()
