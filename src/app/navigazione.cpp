// Routines of the shared module that need to know every window.
#include "ui/dialoghi.h"
#include "help/finestre.h"
#include "estimates/finestre.h"
#include "ui/modulo.h"
#include "ui/recupero.h"
#include "ui/registro.h"
#include "app/splash.h"
#include "estimates/menu.h"

namespace perix {

// The program's one list of its estimation windows.
FinestraStima *finestraStima(int numero)
{
    switch (numero) {
    case 2: return registro::prendi<risultatidisaggregati>();
    case 3: return registro::prendi<risultatisintetici>();
    case 4: return registro::prendi<risultatitipologie>();
    case 5: return registro::prendi<variocosto>();
    default: return registro::prendi<menu>();
    }
}

void mostraFinestraStima(int numero)
{
    if (numero >= 1 && numero <= 5)
        registro::porta(finestraStima(numero));
}

void mostraGuidaFinestra(int numero)
{
    switch (numero) {
    case 1: registro::mostra<guidamenu>(); break;
    case 2: registro::mostra<guidadisaggregati>(); break;
    case 3: registro::mostra<guidasintetici>(); break;
    case 4: registro::mostra<guidatipologie>(); break;
    case 5: registro::mostra<guidaaltezze>(); break;
    }
}

void mostraFinestraAiuto(Comando comando)
{
    switch (comando) {
    case Comando::Guida: registro::mostra<sommario>(); break;
    case Comando::Suggerimenti: registro::mostra<frmTip>(); break;
    case Comando::Supporto: registro::mostra<supportoclienti>(); break;
    case Comando::Informazioni: registro::mostra<informa>(); break;
    default: break;
    }
}

namespace Modulo {

void vaiamenu()
{
    registro::mostra<menu>();
}

void aggiornavaluta()
{
    for (int n : {3, 2, 4, 5}) {
        FinestraStima *f = finestraStima(n);
        f->soldi()->setText(etichettavaluta);
        f->valutaRicevuta();
    }
}

void confermauscita(QWidget *chiamante)
{
    const auto r = dialoghi::messaggio(chiamante, QStringLiteral("Vuoi uscire da Perix?"),
                                       QStringLiteral("Attenzione: i dati non archiviati andranno persi !"),
                                       dialoghi::Icona::Domanda, dialoghi::Pulsanti::SiNo, 2);
    if (r != dialoghi::Risposta::Si)
        return;
    registro::chiudi<menu>();
    registro::chiudi<supportoclienti>();
    registro::chiudi<informa>();
    registro::chiudi<sommario>();
    registro::chiudi<manuale>();
    registro::chiudi<guidafunzionamento>();
    registro::chiudi<guidaarchivio>();
    registro::chiudi<risultatidisaggregati>();
    registro::chiudi<risultatisintetici>();
    registro::chiudi<risultatitipologie>();
    registro::chiudi<variocosto>();
    registro::chiudi<guidamenu>();
    registro::chiudi<guidaarea>();
    registro::chiudi<guidadisaggregati>();
    registro::chiudi<guidasintetici>();
    registro::chiudi<guidatipologie>();
    registro::chiudi<guidaaltezze>();
    registro::chiudi<frmTip>();
    registro::chiudi<prodotti>();
    // The user chose to leave the figures: their recovery copies go with the windows.
    if (recupero::Gestore *g = recupero::Gestore::attivo())
        g->rimuoviTutte();

    frmSplash *s = registro::prendi<frmSplash>();
    s->musica().play();
    registro::mostra<frmSplash>();
    s->impostaEtichetta(2, QStringLiteral("       elaborazione eseguita con"));
}

} // namespace Modulo
} // namespace perix
