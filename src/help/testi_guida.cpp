// The help pages' texts: written for Perix, true of its windows as they are.

#include "help/testi_guida.h"

namespace perix {

const std::array<TestoGuida, pagineGuidaTotali> &testiGuida()
{
    static const std::array<TestoGuida, pagineGuidaTotali> testi{{
        {QStringLiteral("manuale"), QStringLiteral(u"MANUALE D'USO RAPIDO"),
         QStringLiteral(
            u"Perix stima il valore delle aree fabbricabili e i costi di costruzione degli edifici.\n"
            u"1. Cliccate sulla finestra di presentazione: si apre la finestra Menu, da cui parte ogni stima.\n"
            u"2. Scegliete la moneta con i tasti \"valori in lire\" o \"valori in euro\", che servono solo da promemoria: Perix non converte gli importi.\n"
            u"3. Scegliete il tipo di stima con uno dei tasti rossi: area fabbricabile, costi di costruzione disaggregati, sintetici, per tipologie o per altezze.\n"
            u"4. Digitate i dati nelle caselle bianche e, dove Perix lo chiede, indicate le caratteristiche dell'edificio: economiche, medie o evolute.\n"
            u"5. I risultati compaiono da soli mentre digitate. Le finestre dei costi per tipologie e per altezze si aprono subito; quelle dei costi disaggregati e sintetici quando, dopo i dati, scegliete le caratteristiche dell'edificio.\n"
            u"La barra degli strumenti porta da una finestra all'altra senza chiudere le precedenti; il pulsante Menu riporta alla finestra Menu. Nei costi disaggregati il tasto X di una categoria di lavori la annulla e ne ridistribuisce l'importo tra le altre, in proporzione al loro peso.\n"
            u"Ogni finestra apre, salva ed elimina i propri file di archivio, dal menu File o dalla barra degli strumenti. Il nome di ogni file comincia con un prefisso diverso per ogni finestra: \"Perix-menu-\", \"Perix-disaggr-\", \"Perix-sint-\", \"Perix-tipol-\" e \"Perix-alt-\", e \"Perix-percentuali-\" per le percentuali dei costi disaggregati. Salvando, Perix propone il prefisso già scritto: lasciatelo intatto e aggiungete solo la parte finale del nome. Il file \"Perix-menu-esempio\" mostra subito una stima completa: sta nella cartella esempi, accanto al programma o, con Perix installato, in /usr/share/perix/esempi, da cui Apri parte la prima volta.\n"
            u"\"Stampa dati finestra\" prepara un documento con i dati e i risultati della finestra: potete stamparlo, esportarlo in PDF, salvarlo come documento Word o aprirlo con l'elaboratore di testi. USCITA, dopo una conferma, chiude tutte le finestre e torna alla presentazione, dove un tasto qualsiasi chiude Perix: i dati non archiviati vanno persi."),
         4095, 5400},
        {QStringLiteral("guidafunzionamento"), QStringLiteral(u"FUNZIONAMENTO DEL PROGRAMMA"),
         QStringLiteral(
            u"Perix lavora con cinque finestre di stima. La finestra Menu raccoglie i dati generali, la scelta della moneta e quella del tipo di calcolo, e contiene la stima delle aree fabbricabili. Ciascuno degli altri tipi di stima ha una finestra propria: costi disaggregati, costi sintetici, costi per tipologie e costi per altezze.\n"
            u"In ogni finestra i dati si possono archiviare in un file e riaprire in seguito, dal menu File o con i primi pulsanti della barra degli strumenti.\n"
            u"Con la barra degli strumenti si passa da una finestra all'altra: le finestre già aperte restano aperte, con i loro dati. Il pulsante con la stampante prepara un documento con tutti i dati della finestra visualizzata.\n"
            u"I tasti della moneta, \"valori in lire\" e \"valori in euro\", servono solo da promemoria: Perix non converte alcun importo.\n"
            u"Il pulsante AIUTO della finestra Menu indica il dato che manca; nelle altre finestre ricorda da dove arrivano i dati. Il pulsante verde con il segno di spunta controlla i dati immessi e segnala il primo che manca o non va bene.\n"
            u"Il menu Modifica cambia il colore di sfondo, controlla i dati e cancella i dati della finestra; il menu Visualizza porta a ciascuna delle cinque finestre; il menu ? apre questa guida, i suggerimenti, il supporto prodotto e le informazioni su Perix."),
         4095, 5415},
        {QStringLiteral("guidaarchivio"), QStringLiteral(u"ARCHIVIO DATI"),
         QStringLiteral(
            u"L'archivio è utile ma non indispensabile: ogni stima si può rifare digitando i dati. Archiviare conviene quando una stima va ripresa o confrontata con altre.\n"
            u"Ogni finestra ha i propri file, riconoscibili dal prefisso del nome, che Perix propone già scritto quando salvate: \"Perix-menu-\" per la finestra Menu, \"Perix-disaggr-\" per i costi disaggregati, \"Perix-sint-\" per i costi sintetici, \"Perix-tipol-\" per i costi per tipologie e \"Perix-alt-\" per i costi per altezze. Lasciate intatto il prefisso e aggiungete solo la parte finale del nome: è il prefisso che fa comparire il file nell'elenco di Apri.\n"
            u"Si archivia dal menu File o dalla barra degli strumenti, con Apri, Salva, Salva con nome ed Elimina. Elimina sposta nel cestino il file scelto, anche di un'altra finestra o di un altro programma.\n"
            u"Il file di un'altra finestra non viene rifiutato, se contiene abbastanza dati: Perix li legge nell'ordine in cui sono scritti e li mostra così come sono, e Salva chiede poi un nome nuovo invece di scrivere su quel file. Un file con meno dati, o con un dato che la finestra non accetta, non cambia nulla: un messaggio ne spiega il motivo.\n"
            u"Per cominciare, aprite dalla finestra Menu il file \"Perix-menu-esempio\", nella cartella esempi accanto al programma (con Perix installato, /usr/share/perix/esempi)."),
         3495, 5415},
        {QStringLiteral("guidamenu"), QStringLiteral(u"MENU"),
         QStringLiteral(
            u"Nella finestra Menu si sceglie il tipo di stima cliccando su uno dei tasti rossi a sinistra.\n"
            u"Per l'area fabbricabile i risultati compaiono subito, mentre digitate i dati nelle caselle bianche. I costi per tipologie e per altezze aprono all'istante la loro finestra. I costi disaggregati e sintetici chiedono prima alcuni dati: digitateli, poi scegliete le caratteristiche dell'edificio e la finestra dei risultati si apre da sola.\n"
            u"I tasti \"valori in lire\" e \"valori in euro\" sono solo un promemoria: Perix non converte gli importi.\n"
            u"La casella di testo in basso dice sempre che cosa fare dopo; il pulsante AIUTO indica il dato che manca.\n"
            u"La barra degli strumenti apre, salva ed elimina i file, prepara la stampa, porta alle altre finestre, cambia il colore di sfondo, apre la guida e controlla i dati. Tenendo fermo il puntatore su un pulsante, un breve messaggio ne spiega la funzione.\n"
            u"I comandi sono anche nei menu File, Modifica, Visualizza e ?. \"Cancella dati finestra\" svuota la finestra e la scelta della moneta.\n"
            u"In basso, Guida in linea apre il sommario della guida; USCITA, dopo una conferma, chiude tutte le finestre e torna alla presentazione, dove un tasto qualsiasi chiude Perix."),
         3495, 5415},
        {QStringLiteral("guidaarea"), QStringLiteral(u"STIMA AREA FABBRICABILE"),
         QStringLiteral(
            u"Per stimare un'area fabbricabile, nella finestra Menu scegliete la moneta e cliccate sul tasto rosso \"AREA FABBRICABILE\".\n"
            u"Digitate nelle caselle bianche il valore di mercato del fabbricato che si potrà costruire, i costi totali per realizzarlo, gli anni che mancano all'inizio della redditività e la superficie del terreno in mq.\n"
            u"Perix calcola il costo totale massimo, minimo e medio dell'area e il suo valore massimo, minimo e medio per mq.: i risultati cambiano a ogni cifra digitata.\n"
            u"Il valore totale dell'area dipende dal valore attuale del fabbricato e dai costi totali, non dalla superficie: un terreno molto più grande del necessario cambia soltanto i valori per mq., non il valore complessivo.\n"
            u"Il pulsante OMI accanto al valore di mercato lo prende dalle quotazioni OMI dell'Agenzia Entrate; il documento della stima ne cita la fonte.\n"
            u"Gli anni per redditività sono il tempo tra l'epoca della stima e l'inizio della redditività del fabbricato; oltre i 100 anni Perix non calcola l'area.\n"
            u"Un risultato negativo avverte che, con quei costi, l'operazione potrebbe essere rischiosa o non conveniente; dove un valore non si può calcolare compare la scritta \"valore non calcolabile\".\n"
            u"Il pulsante AIUTO e la riga di testo in basso indicano il dato che manca; \"Stampa dati finestra\" prepara il documento con dati e risultati."),
         4095, 5415},
        {QStringLiteral("guidadisaggregati"), QStringLiteral(u"COSTI DISAGGREGATI"),
         QStringLiteral(
            u"La finestra dei costi disaggregati divide il costo di costruzione in sedici categorie fisse di opere e lavori, dalle fondazioni agli impianti; l'ultima è \"Imprevisti e manutenzioni\".\n"
            u"I dati arrivano dalla finestra Menu, dopo la scelta delle caratteristiche dell'edificio, oppure da un file \"Perix-disaggr-\". Per ogni categoria Perix mostra la percentuale preimpostata per la classe dell'edificio e il costo che ne deriva; accanto potete digitare percentuali vostre, da archiviare con \"archivia %\" e riaprire con \"apri percentuali\".\n"
            u"Il tasto X di una categoria la annulla: il suo costo è ridistribuito tra le categorie rimaste, ciascuna in proporzione al proprio peso, fino a lasciarne una o due, come serve per i lavori ancora da eseguire in un cantiere avviato.\n"
            u"Le percentuali digitate contano solo quando sommano 100: finché la somma è diversa, la colonna dei loro costi non si aggiorna e \"archivia %\" rifiuta di archiviarle, indicando la somma. Il pulsante \"% preimpostate\" non cambia la tabella: vi porta alla finestra Menu, dove scegliendo di nuovo le caratteristiche dell'edificio tornano le percentuali preimpostate.\n"
            u"I dati si archiviano nei file \"Perix-disaggr-\"; \"Stampa dati finestra\" prepara il documento con la tabella delle sedici categorie."),
         3495, 5415},
        {QStringLiteral("guidasintetici"), QStringLiteral(u"COSTI SINTETICI"),
         QStringLiteral(
            u"La finestra dei costi sintetici riceve i dati dalla finestra Menu, dopo che avete digitato il costo per mq. di superficie lorda e scelto le caratteristiche dell'edificio, oppure da un file \"Perix-sint-\"; non ha caselle da digitare.\n"
            u"Perix mostra i costi delle tre categorie di edificio, economiche, medie ed evolute: per mq. di superficie lorda, per mc. vuoto per pieno e per vano, così da confrontarle a colpo d'occhio.\n"
            u"L'icona della moneta indica la categoria scelta nella finestra Menu: a questa si riferisce il costo per mq. digitato, dal quale sono ricavati tutti gli altri.\n"
            u"Il pulsante Menu riporta alla finestra Menu per cambiare i dati; il pulsante \"visualizza finestra 'Costi per altezze'\" della barra degli strumenti, che mostra il suo nome sotto il puntatore, apre la finestra delle variazioni di costo secondo il numero dei piani.\n"
            u"I pulsanti \"relazione\", \"stima edifici\" e \"archivio dati\" aprono nel browser pagine web utili alla stima di terreni ed edifici.\n"
            u"Il pulsante \"cancella dati finestra\", il penultimo della barra, svuota la finestra. I dati si archiviano nei file \"Perix-sint-\"; \"Stampa dati finestra\" prepara il documento con la tabella dei costi."),
         3495, 5415},
        {QStringLiteral("guidatipologie"), QStringLiteral(u"COSTI PER TIPOLOGIE"),
         QStringLiteral(
            u"La finestra dei costi per tipologie confronta nove tipologie di edifici, che si distinguono per la forma, edifici continui o isolati, e per il numero dei piani, dai duplex ai nove piani e oltre. Serve per una prima stima quando si conosce il costo di un solo tipo di fabbricato.\n"
            u"Per ognuna Perix calcola il costo per mq. di superficie netta e il costo di un vano di 18 mq. netti.\n"
            u"Il dato da digitare è uno solo: il costo per mq. di superficie netta di una tipologia di cui lo conoscete. Digitatelo nella casella bianca e indicate a quale tipologia si riferisce cliccando nella casella a lato: Perix ricava da quello i costi di tutte le altre.\n"
            u"Il simbolo della moneta e il colore azzurro segnalano la tipologia scelta; cambiando il dato o la casella, tutta la tabella si aggiorna subito. Se il dato non è un numero valido, una nota lo segnala accanto alla casella e la tabella resta vuota finché non lo correggete.\n"
            u"I dati si archiviano nei file \"Perix-tipol-\"; \"Stampa dati finestra\" prepara il documento con la tabella delle nove tipologie.\n"
            u"I pulsanti \"relazione\", \"stima edifici\" e \"archivio dati\" aprono nel browser pagine web utili alla stima di terreni ed edifici; il pulsante \"cancella dati finestra\" della barra svuota la finestra."),
         3495, 5415},
        {QStringLiteral("guidaaltezze"), QStringLiteral(u"COSTI PER ALTEZZE (numero di piani)"),
         QStringLiteral(
            u"La finestra dei costi per altezze confronta il costo al mc. di quattordici tipi di edifici in cemento armato, che differiscono per il numero dei piani: al crescere dell'altezza cambiano le strutture, gli impianti e il peso delle fondazioni, e con essi il costo.\n"
            u"Il dato da digitare è il costo osservato al mc. vuoto per pieno, cioè riferito all'intero volume lordo, di un edificio di riferimento: digitatelo nella casella bianca e indicate il tipo di edificio a cui si riferisce cliccando nella casella a lato.\n"
            u"Per ogni tipo Perix mostra il costo al mc. e la sua percentuale rispetto all'edificio scelto, che vale 100. Prima di ogni scelta le percentuali dicono di quanto ogni tipo supera l'edificio di 4 piani più cantinato, il più economico, che la freccia a lato indica come soluzione più vantaggiosa.\n"
            u"Cambiando il dato o il tipo scelto, la tabella si aggiorna subito. Se il dato non è un numero valido, una nota lo segnala accanto alla casella e la tabella resta vuota finché non lo correggete.\n"
            u"I dati si archiviano nei file \"Perix-alt-\"; \"Stampa dati finestra\" prepara il documento con la tabella dei quattordici tipi; il pulsante \"cancella dati finestra\" della barra svuota la finestra."),
         4095, 5415},
    }};
    return testi;
}

} // namespace perix
