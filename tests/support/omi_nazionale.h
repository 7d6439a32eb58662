#pragma once
// A VALORI file of the OMI quotations as large as the national one, made from the real
// excerpt's lines: each line of the excerpt in turn, given to comuni of made-up names,
// provinces and codes, with namesakes in two provinces and some lines in Windows-1252 as
// the delivered files have them. For the benchmark and the tests; never committed.

#include <QByteArray>

namespace perix::prova {

struct FileOmiNazionale {
    QByteArray valori;
    int comuni = 0;
    int quotazioni = 0;   // data lines
    int omonimi = 0;      // names given to two comuni of different provinces
};

// `righe` quotations over `comuni` comuni (the national file: 161,251 and 7,962), from the
// excerpt's VALORI bytes.
FileOmiNazionale fileOmiNazionale(const QByteArray &estratto, int righe = 161251, int comuni = 7962);

} // namespace perix::prova
