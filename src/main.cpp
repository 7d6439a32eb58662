#include <QApplication>

#include "app/comando.h"

int main(int argc, char *argv[])
{
    const perix::RigaDiComando riga = perix::leggiRigaDiComando(argc, argv);
    // Help, version and a mistaken line are answered before any window system is touched.
    if (riga.azione == perix::RigaDiComando::Azione::Rispondi)
        return perix::eseguiRigaDiComando(riga);
    perix::preparaPiattaforma(riga);
    QApplication app(argc, argv);
    // Read again as Qt decodes it, which keeps every file name whole wherever it runs.
    return perix::eseguiRigaDiComando(perix::leggiRigaDiComando(QCoreApplication::arguments().mid(1)));
}
