#pragma once
// What an estimate carries besides its record: the job it was made for, and where its
// figures came from. Saved after the record's own lines, so a file without them stays
// byte for byte what it always was, and a reader that stops after the record still reads it.
// Qt Core only.
//
// The appendix starts with the line "Perix-dati","1"; each line after it is a quoted key
// followed by quoted texts (see the README's section on file formats):
//   "committente","Impresa Rossi"          "oggetto", "indirizzo", "comune" alike
//   "particella","Fabbricati","12","345","6"   catasto, foglio, particella, subalterno; repeated
//   "data","2026-12-09"                    the estimate's reference date, ISO
//   "nota","prima riga","seconda riga"     one text a line of the note
//   "omi", 14 texts                        FonteOmi, in its members' order
//   "costo", 6 texts                       FonteCosto, in its members' order
//   "dimensione","1200"                    a cost window's building size, as typed
// A key this version does not know is kept and written back as it was.

#include "core/campi.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace perix {

struct Particella {
    QString catasto; // "Terreni" or "Fabbricati"
    QString foglio, particella, subalterno;
    bool operator==(const Particella &) const = default;
};

struct DatiIncarico {
    QString committente, oggetto, indirizzo, comune;
    QList<Particella> particelle;
    QDate data;   // the estimate's reference date; invalid when not given
    QString nota; // may hold line breaks
    bool vuoto() const;
    bool operator==(const DatiIncarico &) const = default;
};

// A market value taken from an OMI quotation (Agenzia Entrate - OMI).
struct FonteOmi {
    QString semestre;             // "2018/2"
    QString comune, provincia;    // as the window shows them: "ALLUVIONI CAMBIO'", "AL"
    QString zona, fascia, descrizione;
    QString tipologia, stato;     // "Abitazioni civili", "NORMALE"
    QString minimo, massimo;      // euro per m², as the file has them
    QString superficieTipo;       // "L" gross, "N" net, or empty
    QString superficie;           // the building's m², as typed
    QString scelta;               // "minimo", "medio" or "massimo"
    QString valore;               // the very text written into the market value
    bool operator==(const FonteOmi &) const = default;
};

// A total construction cost taken from a cost window.
struct FonteCosto {
    QString finestra; // "sintetici", "tipologie" or "altezze"
    QString voce;     // the class or row the unit cost is of
    QString unitario; // the unit cost, as shown
    QString unita;    // "m²", "m³" or "vano"
    QString quantita; // the building's size in that unit, as typed
    QString valore;   // the very text written into the total costs
    bool operator==(const FonteCosto &) const = default;
};

struct Allegato {
    DatiIncarico incarico;
    std::optional<FonteOmi> omi;
    std::optional<FonteCosto> costo;
    QString dimensione;
    QList<QStringList> altre; // lines of keys this version does not know, key first
    bool vuoto() const;
    // A source whose figure is no longer the field's text goes: a figure never carries a
    // source it did not come from.
    void verificaFonti(const QString &valoreMercato, const QString &costiTotali);
    bool operator==(const Allegato &) const = default;
};

// The lines to write after the record; none for an empty appendix.
Record righeAllegato(const Allegato &allegato);

// A file's lines split where the appendix starts (its marker line); all of them are the
// record's when there is none.
struct RigheSeparate {
    QList<QList<Campo>> record;
    QList<QList<Campo>> allegato; // from the marker line on
};
RigheSeparate separaAllegato(const QList<QList<Campo>> &righe);

// The appendix's lines (marker first) read back; an empty appendix for no lines. Nothing,
// and why in Italian, when a line is not as written by the program.
std::optional<Allegato> leggiAllegato(const QList<QList<Campo>> &righe, QString *motivo = nullptr);
// The same from a whole file's bytes.
std::optional<Allegato> allegatoDaDati(const QByteArray &dati, QString *motivo = nullptr);

} // namespace perix
