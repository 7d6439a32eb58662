#pragma once
// What a report says of whose it is: the job's data (saved with the estimate), the surveyor
// (the user's settings), the archive file's name and whether a signature line is wanted;
// and how those facts read on the page. Qt Core only.

#include "core/allegato.h"

#include <QDate>
#include <QList>
#include <QString>

namespace perix {

// The surveyor, the same for every estimate.
struct Tecnico {
    QString nome;      // "Mario Bianchi"
    QString titolo;    // "geometra", "architetto", ...
    QString albo;      // "Collegio dei Geometri di Alessandria"
    QString iscrizione; // the number in that register
    QString indirizzo;
    QString posta;     // e-mail or PEC
    bool firmaDigitale = false; // signs digitally: no line for a signature on paper
    bool vuoto() const;
    bool operator==(const Tecnico &) const = default;
};

struct Frontespizio {
    DatiIncarico incarico;
    Tecnico tecnico;
    QString file; // the archive file's name, without its folder; empty when none
    bool operator==(const Frontespizio &) const = default;
};

// "9 dicembre 2026": the Italian way, whatever the desktop's language.
QString dataItaliana(const QDate &data);

// One line of the heading block: what it is and what it says.
struct VoceFrontespizio {
    QString etichetta;
    QString testo;
};
// The heading block's lines, only those given; none at all when neither the job nor the
// surveyor is given. The date is the job's, or `oggi` when the job has none.
QList<VoceFrontespizio> vociFrontespizio(const Frontespizio &f, const QDate &oggi);

// The surveyor as the signature names him: "geom. Mario Bianchi".
QString firmaTecnico(const Tecnico &t);

// A construction cost's origin in a sentence, with `unita` ("€", "lire" or empty) after the
// amounts: "finestra Costi sintetici, medie-civili: 1.200 €/m² × 500 m² = 600.000 €".
QString testoFonteCosto(const FonteCosto &f, const QString &unita);
// The window's name as the user knows it: "Costi sintetici".
QString nomeFinestraCosto(const QString &finestra);

} // namespace perix
