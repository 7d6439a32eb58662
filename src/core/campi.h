#pragma once
// The field encoding shared by every archive file, and the file operations under it:
// reading a file whole, saving it atomically (scrittura.h). Qt Core only.
//
// A record is lines of comma-separated fields, each line ended by CR LF. A text is
// written in double quotes (a quote inside it doubled), a number bare in invariant
// form, an empty value as nothing between its commas.

#include "core/scrittura.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <variant>

class QIODevice;

namespace perix {

// One value to write: nothing, a text, or a number.
using Valore = std::variant<std::monostate, QString, double>;
using Riga = QList<Valore>;
using Record = QList<Riga>;

// Archive records are a few hundred bytes; anything larger is not one of them (a file
// picked by mistake through "Tutti i file") and is refused before it fills memory.
inline constexpr qint64 dimensioneMassima = 1024 * 1024;

// A number in invariant form: optional "-", digits, a full stop only when there is a
// fractional part, no grouping, no exponent, at most 15 significant digits (1250.5).
// A value that is not finite has no such form and gives an empty text.
QString numeroInvariante(double valore);

// The bytes of a record: Windows-1252 when every character fits, so older readers
// still read it, otherwise UTF-8.
QByteArray codificaRecord(const Record &record);

// One field as read back.
struct Campo {
    QString testo;       // between the quotes, or the bare text trimmed
    bool citato = false; // it was written in quotes
    // The first control or invisible format character the field held (dropped from
    // `testo`): a figure that holds one is refused, a text keeps working without it.
    char32_t invisibile = 0;
    // Why the field is not one the program writes (longer than a text field holds, a line
    // end inside its quotes, text after its closing quote); empty when it is sound.
    QString difetto;

    // Nothing between the commas (an empty text in quotes is not empty: it is a text).
    bool vuoto() const { return !citato && testo.isEmpty(); }
    // The field read as an invariant number ("1250.5", "-3", "1E+20"); nothing when it
    // is empty or not a number.
    std::optional<double> numero() const;
    // The value the field holds: a quoted field a text, an empty one nothing, a bare
    // number a number; a bare field that is no number keeps its text.
    Valore valore() const;
};

// Reads the first `quanti` fields in file order, whatever line they stand on; control
// and invisible format characters inside quotes are dropped (senzaControlli). Nothing (and the reason, in Italian, in
// `motivo`) when the bytes are not text, the data run out before `quanti` fields, a
// quote is never closed, or one of the fields taken is not sound (Campo::difetto).
// No fields asked, none read.
std::optional<QList<Campo>> leggiCampi(const QByteArray &dati, int quanti,
                                       QString *motivo = nullptr);

// Every line of the data with all its fields: what a window looks at to tell its own
// record from another file. Nothing (and the reason) as leggiCampi; a field that is not
// sound refuses the data only in the record's lines: an appendix after them (allegato.h)
// has its own reader.
std::optional<QList<QList<Campo>>> leggiRighe(const QByteArray &dati, QString *motivo = nullptr);

// The text without control characters (tab, line ends, DEL, C1 included) and without
// the invisible format characters (bidi controls, zero-width spaces, the byte-order
// mark): no field ever holds one, typed, pasted or read from a file.
QString senzaControlli(QString testo);

// The text of a file's bytes: UTF-8 when they are valid UTF-8, otherwise Windows-1252, the
// code page older versions of the program wrote.
QString decodificaTesto(const QByteArray &dati);

// The most characters a window's text field holds (a line edit's own limit, which the
// windows' fields keep): a longer text set into one keeps only its beginning.
inline constexpr int caratteriCampo = 32767;

// The whole content of a regular file no larger than dimensioneMassima.
std::optional<QByteArray> leggiFile(const QString &percorso, QString *motivo = nullptr);

// leggiFile then leggiCampi.
std::optional<QList<Campo>> leggiArchivio(const QString &percorso, int quanti,
                                          QString *motivo = nullptr);

// Writes every byte to an open device; false (with the reason) when it stops short.
bool scriviDati(QIODevice &dispositivo, const QByteArray &dati, QString *motivo = nullptr);

// The archive's save: scriviAtomico as it is by default (a link followed, the reasons in
// Italian).
inline bool salvaAtomico(const QString &percorso, const Scrittore &scrivi, QString *motivo = nullptr)
{
    return scriviAtomico(percorso, scrivi, motivo);
}
bool salvaAtomico(const QString &percorso, const QByteArray &dati, QString *motivo = nullptr);

} // namespace perix
