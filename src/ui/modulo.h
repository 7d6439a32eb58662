#pragma once
// Shared state of the program and the small routines that fill it. One UI thread, so
// no locking; every variable lives for the whole run and starts empty.

#include "core/campi.h"

#include <QPointer>
#include <QRgb>
#include <QString>
#include <array>
#include <functional>
#include <optional>

class QTextDocument;
class QTextTable;
class QWidget;

namespace perix::Modulo {

inline QString nomeprogramma;
inline QString descrizioneprogramma;
inline QString versioneprogramma;
inline QString dataversione;
inline QString dataaggiornamento;

inline QString titolocontrollo;
inline QString titoloelimina;
inline QString titoloaiuto;

inline QRgb coloresfondo = 0;

inline QString valuta;          // "in lire" / "in euro"
inline QString etichettavaluta; // "Valori in lire" / "Valori in euro"

inline int tipostima = 0;                // 0 none, 1 plot, 2 disaggregated, 3 synthetic, 4 typology, 5 height
inline std::optional<int> classeedificio; // 1..3 once a class was picked; 0 after a reset
inline int tipologiascelta = 0;

inline std::array<double, 17> percentualiclasse{}; // 1..16, hundredths of a percent
// 1..16: the text last typed in each field, or a number a redistribution left unrounded.
inline std::array<Valore, 17> percimmesse;
inline std::array<double, 15> percentualialtezze{}; // 1..14

// The last report: its window, its document and its last table.
inline QPointer<QWidget> wordapp;
inline QPointer<QTextDocument> worddoc;
inline QPointer<QTextTable> wordtabella;

inline QString titologuida;
inline QString testoguida;

void datiprogramma();
void impostatesti();
void vaiamenu();
void confermauscita(QWidget *chiamante = nullptr);
void aggiornavaluta();
// Asks the desktop to open a web or "mailto:" address; where it cannot, says so in a
// message over `chiamante` showing the address to copy. False when it was not opened.
bool apriindirizzo(const QString &indirizzo, QWidget *chiamante = nullptr);
// Tests put their own opener in place of the desktop's (empty: the desktop's again).
void impostaApertura(std::function<bool(const QString &indirizzo)> apertura);

// The pages the web buttons of the cost windows open: the maker's software for building
// land and for buildings, and the revenue agency's real-estate market observatory.
inline const QString paginaterreni = QStringLiteral("https://www.velmora.example/stima-terreni.htm");
inline const QString paginaedifici = QStringLiteral("https://www.velmora.example/stima-edifici.htm");
inline const QString paginaarchivio =
    QStringLiteral("https://www.agenziaentrate.gov.it/portale/web/guest/schede/fabbricatiterreni/omi");

// Where the program's own data files are looked up after the current folder.
QString cartellaDati();
// Puts `cartella` in place of the program's data folder (empty: found as usual again), so
// that tests run on their own data whatever is installed on the machine.
void impostaCartellaDati(const QString &cartella);
// A data file by bare name: the current folder first, then the program's data folder;
// empty when neither has it.
QString trovaFileDati(const QString &nome);
// The folder of the sample archive files shipped with the program, looked up the same way;
// the data folder's, whether or not it exists, when neither has one.
QString cartellaEsempi();

} // namespace perix::Modulo
