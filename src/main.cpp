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
    return perix::eseguiRigaDiComando(riga);
}
