#pragma once
// A structure check of PDF/A-1b (ISO 19005-1, level B) of our own, over the objects qpdf
// reads from the file. No ISO validator is installed on these machines (veraPDF and the
// like are not in Debian): this checks the rules our writer must keep, one by one, and
// says which one a file breaks.

#include <QString>
#include <QStringList>

namespace perix::prova {

// The rules `pdf` breaks, each as a line in Italian; empty for a conforming file.
// `qpdfManca` is set where qpdf is not installed (then nothing was checked).
QStringList difettiPdfA(const QString &pdf, bool *qpdfManca = nullptr);

} // namespace perix::prova
