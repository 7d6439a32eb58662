#pragma once
// The workbook the spreadsheet writers fill: one sheet, its formats, inputs and results.
// libxlsxwriter writes to a file name only: the workbook is built in an anonymous file in
// memory (a temporary folder where the system has none) and its bytes then go to the
// caller's device, so a failing disk never sees half a workbook.

#include "reports/foglio.h"

#include <QString>
#include <QTemporaryDir>
#include <optional>
#include <variant>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace perix::foglio {

inline const QString nc = QStringLiteral("valore non calcolabile");

// What a formula gives, worked out as the spreadsheet works it: a number or a text.
using Valore = std::variant<double, QString>;

// Arithmetic as LibreOffice Calc does it, so that the program can tell, before writing a
// formula, whether it will give the program's figure: a sum or difference within a few
// units of the 16th digit of its terms is 0, and INT first rounds to 15 significant digits.
double piu(double a, double b);
double meno(double a, double b);
double intero(double x);

// The C library's numbers in the C locale on this thread while it lives: the library writes
// the workbook's numbers with printf, which on an Italian desktop would put a decimal comma
// into the file's XML ("3248,5"), which no spreadsheet reads as the number.
class NumeriC
{
public:
    NumeriC();
    ~NumeriC();
    NumeriC(const NumeriC &) = delete;
    NumeriC &operator=(const NumeriC &) = delete;

private:
    void *c_ = nullptr;
    void *prima_ = nullptr;
};

class Cartella
{
public:
    Cartella(const QString &nome, const OpzioniFoglio &opzioni);
    ~Cartella();
    Cartella(const Cartella &) = delete;
    Cartella &operator=(const Cartella &) = delete;

    bool valida() const { return libro_ != nullptr; }

    // The program's name, its description and the estimate's title, and the note on the
    // input cells; returns the next free row.
    int intestazione(const QString &titolo);
    void sezione(int riga, const QString &testo);
    void testo(int riga, int colonna, const QString &testo, lxw_format *formato = nullptr);
    void intestazioni(int riga, int colonna, const QStringList &testi);
    void numero(int riga, int colonna, double valore, int decimali);
    // An input cell, yellow and framed: the figure to change; `nome` (optional) a defined name.
    void ingresso(int riga, int colonna, std::optional<double> valore, int decimali, const QString &nome = {});
    // An input cell holding a text ("X"), or empty.
    void ingressoTesto(int riga, int colonna, const QString &testo);
    // A constant of the program's tables.
    void costante(int riga, int colonna, double valore, int decimali);
    // A result: `formula` with `specchio` (what it gives) stored, when it shows as
    // `figura`; otherwise `figura` itself with a comment: `perche`, and what the formula
    // would give. An empty `figura` is no figure (the window shows none there): the
    // formula stands. Recorded in the map under `nome`.
    void risultato(const QString &nome, int riga, int colonna, const QString &formula, const Valore &specchio,
                   const QString &figura, int decimali, const QString &perche, lxw_format *formato = nullptr);
    void larghezze(const QList<double> &colonne);
    // A4 across, for a sheet wider than tall.
    void orizzontale();
    // A cell's address for a formula: "$B$7" (absolute) or "B7".
    static QString cella(int riga, int colonna, bool assoluta = true);

    // Closes the workbook and writes its bytes to `dispositivo`.
    bool chiudi(QIODevice &dispositivo, QString *motivo);

    lxw_format *grassetto() const { return grassetto_; }
    lxw_format *nota() const { return nota_; }
    lxw_format *avviso() const { return avviso_; }
    lxw_format *centrato() const { return centrato_; }
    lxw_format *evidenza() const { return evidenza_; }

private:
    lxw_format *formato(int decimali, int tipo);

    NumeriC numeri_c_; // first: the library may write numbers at any step
    int memoria_ = -1; // the anonymous file, or -1
    std::optional<QTemporaryDir> cartella_;
    QString percorso_;
    QByteArray cartellaTemp_;
    lxw_workbook *libro_ = nullptr;
    lxw_worksheet *foglio_ = nullptr;
    MappaFoglio *mappa_ = nullptr;
    lxw_format *titolo_ = nullptr, *sottotitolo_ = nullptr, *sezione_ = nullptr, *testa_ = nullptr,
               *grassetto_ = nullptr, *nota_ = nullptr, *etichetta_ = nullptr, *avviso_ = nullptr,
               *centrato_ = nullptr, *centrato_ingresso_ = nullptr,
               *evidenza_ = nullptr;
    // Number formats by decimals (0, 2, 4) and kind (0 result, 1 input, 2 constant, 3 figure kept).
    lxw_format *numeri_[3][4] = {};
};

} // namespace perix::foglio
