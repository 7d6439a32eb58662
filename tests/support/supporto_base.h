#pragma once
// Helpers every test program shares, the core's included: Qt Core only, so a test that
// links no widgets can use them too.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QIODevice>
#include <QString>
#include <QStringList>

namespace perix::prova {

// The whole content of a file; "<manca>" when it cannot be read.
QByteArray contenuto(const QString &percorso);
// Writes `dati` as the whole file; false when they did not all go.
bool scrivi(const QString &percorso, const QByteArray &dati);
// Whether a folder just made read-only refuses this user a new file (root is never refused).
bool permessiEfficaci(const QString &cartella);

// The sample archive file of a kind ("menu", "disaggr", "alt"...) shipped with the program.
QString esempio(const QString &tipo);
// A price list announcing `annunciati` (as written) and holding `n` products, one a line:
// product i is "P<i>", "argomento <i>", i + 0.5, i.
QByteArray listino(int n, const QByteArray &annunciati);
QByteArray listino(int n);

// The words of a text, as a table's expected column is written.
QStringList parole(const char *testo);

// The first of `nomi` found on the PATH; empty when none is installed.
QString eseguibile(const QStringList &nomi);
// What the program writes on its standard output; empty when it fails or does not finish
// in a minute.
QString uscitaDi(const QString &programma, const QStringList &argomenti);
// What a poppler tool says of a PDF file (pdftotext: its text, in UTF-8; pdfinfo: pages
// and paper; pdffonts: the fonts); empty where poppler is not installed.
QString poppler(const QString &strumento, const QString &pdf, QStringList opzioni = {});

// The first sheet of each workbook (.xlsx) as LibreOffice Calc computes it when told to
// recalculate every formula on opening, row by row and cell by cell, numbers in plain form
// ("257332.5"), by the workbook's path; nothing for a workbook it could not convert. Uses a
// profile of its own in `cartella`, so the user's settings are neither read nor changed.
QHash<QString, QList<QStringList>> ricalcolaConLibreOffice(const QString &soffice, const QStringList &xlsx,
                                                           const QString &cartella);

// A device that takes `capienza` bytes and then refuses, like a disk that fills up.
class DispositivoCheCede : public QIODevice
{
public:
    explicit DispositivoCheCede(qint64 capienza);
    QByteArray dati; // what it took
    static inline const QString errore = QStringLiteral("spazio esaurito sul dispositivo");

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *d, qint64 n) override;

private:
    qint64 m_capienza;
};

} // namespace perix::prova
