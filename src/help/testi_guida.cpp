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
            u"5. I risultati compaiono da soli mentre digitate. Le finestre dei costi per tipologie e per altezze si aprono subito; quelle dei costi disaggregati e sintetici si aprono da sole quando, dopo i dati, scegliete le caratteristiche dell'edificio.\n"
            u"I pulsanti della barra degli strumenti portano da una finestra all'altra senza chiudere le precedenti; il pulsante Menu riporta alla finestra Menu. La riga di testo in basso suggerisce il passo successivo e il pulsante AIUTO dà indicazioni più ampie.\n"
            u"Ogni finestra apre, salva ed elimina i propri file di archivio, dal menu File o dalla barra degli strumenti. Il nome di ogni file comincia con un inizio fisso, diverso per ogni finestra: \"Perix-menu-\", \"Perix-disaggr-\", \"Perix-sint-\", \"Perix-tipol-\" e \"Perix-alt-\"; le percentuali dei costi disaggregati usano \"Perix-percentuali-\". Quando salvate, lasciate intatto l'inizio proposto e aggiungete soltanto la parte finale del nome. Il file \"Perix-menu-esempio\", nella cartella esempi, mostra subito una stima completa.\n"
            u"Nella finestra dei costi disaggregati ogni categoria di lavori ha un tasto X: cliccandolo, la categoria viene annullata e il suo importo è ridistribuito tra le altre in proporzione al loro peso.\n"
            u"\"Stampa dati finestra\" prepara un documento con i dati e i risultati della finestra: potete stamparlo, esportarlo in PDF, salvarlo come documento Word o aprirlo con l'elaboratore di testi. USCITA chiude Perix dopo una conferma: i dati non archiviati vanno persi."),
         4095, 5400},
        {QStringLiteral("guidafunzionamento"), QStringLiteral(u"FUNZIONAMENTO DEL PROGRAMMA"),
         QStringLiteral(
            u"Perix lavora con cinque finestre di stima. La finestra Menu raccoglie i dati generali, la scelta della moneta e quella del tipo di calcolo, e contiene la stima delle aree fabbricabili. Ciascuno degli altri tipi di stima ha una finestra propria: costi disaggregati, costi sintetici, costi per tipologie e costi per altezze.\n"
            u"In ogni finestra i dati si possono archiviare in un file e riaprire in seguito, dal menu File o con i primi pulsanti della barra degli strumenti.\n"
            u"Con la barra degli strumenti si passa da una finestra all'altra: le finestre già aperte restano aperte, con i loro dati. Il pulsante con la stampante prepara un documento con tutti i dati della finestra visualizzata, pronto da stampare o da salvare.\n"
            u"I tasti della moneta, \"valori in lire\" e \"valori in euro\", servono solo da promemoria: Perix non converte alcun importo.\n"
            u"I pulsanti AIUTO suggeriscono il dato da digitare o la scelta da fare. Il pulsante con il segno di spunta verde controlla i dati immessi e segnala il primo che manca o non va bene.\n"
            u"Il menu Modifica cambia il colore di sfondo, controlla i dati e cancella i dati della finestra; il menu Visualizza porta a ciascuna delle cinque finestre; il menu ? apre questa guida, i suggerimenti, il supporto prodotto e le informazioni su Perix."),
         4095, 5415},
        {QStringLiteral("guidaarchivio"), QStringLiteral(u"ARCHIVIO DATI"),
         QStringLiteral(
            u"L'archivio è utile ma non indispensabile: ogni stima si può fare digitando i dati ogni volta. Archiviare conviene quando una stima va ripresa, corretta o confrontata con altre.\n"
            u"Ogni finestra ha i propri file, riconoscibili dall'inizio del nome, che Perix propone già scritto: \"Perix-menu-\" per la finestra Menu, \"Perix-disaggr-\" per i costi disaggregati, \"Perix-sint-\" per i costi sintetici, \"Perix-tipol-\" per i costi per tipologie e \"Perix-alt-\" per i costi per altezze. Lasciate intatto questo inizio e aggiungete solo la parte finale del nome. I file di una finestra non si possono aprire in un'altra.\n"
            u"Si archivia dal menu File o dalla barra degli strumenti, con Apri, Salva, Salva con nome ed Elimina. Elimina sposta nel cestino il file scelto, anche se appartiene a un'altra finestra o a un altro programma: controllate bene il nome prima di cliccare su Apri.\n"
            u"Un file che non contiene i dati della finestra non cambia nulla di ciò che vedete: Perix spiega il motivo con un messaggio. Lo stesso accade se il salvataggio non riesce, per esempio in una cartella di sola lettura; il file che c'era resta intatto.\n"
            u"Per cominciare, aprite dalla finestra Menu il file \"Perix-menu-esempio\", nella cartella esempi fornita con Perix."),
         3495, 5415},
        {QStringLiteral("guidamenu"), QStringLiteral(u"MENU"),
         QStringLiteral(
            u"Nella finestra Menu si sceglie il tipo di stima cliccando su uno dei tasti rossi a sinistra.\n"
            u"Per l'area fabbricabile i risultati compaiono subito, mentre digitate i dati nelle caselle bianche. I costi per tipologie e per altezze aprono all'istante la loro finestra. I costi disaggregati e sintetici chiedono prima alcuni dati: digitateli, poi scegliete le caratteristiche dell'edificio e la finestra dei risultati si apre da sola.\n"
            u"I tasti \"valori in lire\" e \"valori in euro\" sono solo un promemoria: Perix non converte gli importi.\n"
            u"La casella di testo in basso dice sempre che cosa fare dopo; il pulsante AIUTO dà indicazioni più ampie.\n"
            u"La barra degli strumenti apre, salva ed elimina i file, prepara la stampa, porta alle altre finestre, cambia il colore di sfondo, apre la guida, controlla i dati e chiude il programma. Tenendo fermo il puntatore su un pulsante, un breve messaggio ne spiega la funzione.\n"
            u"I comandi sono anche nei menu File, Modifica, Visualizza e ?. \"Cancella dati finestra\" svuota la finestra e la scelta della moneta.\n"
            u"In basso, il pulsante Guida in linea apre il sommario della guida e USCITA chiude Perix dopo una conferma."),
         3495, 5415},
        {QStringLiteral("guidaarea"), QStringLiteral(u"STIMA AREA FABBRICABILE"),
         QStringLiteral(
            u"Per stimare un'area fabbricabile, nella finestra Menu scegliete la moneta e cliccate sul tasto rosso \"AREA FABBRICABILE\".\n"
            u"Digitate nelle caselle bianche il valore di mercato del fabbricato che si potrà costruire, i costi totali per realizzarlo, gli anni che mancano all'inizio della redditività e la superficie del terreno in mq.\n"
            u"Perix calcola il costo totale massimo, minimo e medio dell'area e il suo valore massimo, minimo e medio per mq.: i risultati cambiano a ogni cifra digitata.\n"
            u"Il valore totale dell'area dipende dal valore attuale del fabbricato e dai costi totali, non dalla superficie: un terreno molto più grande del necessario cambia soltanto i valori per mq., non il valore complessivo.\n"
            u"Gli anni per redditività sono il tempo tra l'epoca della stima e l'inizio della redditività del fabbricato; oltre i 100 anni Perix non calcola l'area.\n"
            u"Un risultato negativo avverte che, con quei costi, l'operazione potrebbe essere rischiosa o non conveniente; dove un valore non si può calcolare compare la scritta \"valore non calcolabile\".\n"
            u"Il pulsante AIUTO e la riga di testo in basso indicano il dato che manca; \"Stampa dati finestra\" prepara il documento con dati e risultati."),
         4095, 5415},
        {QStringLiteral("guidadisaggregati"), QStringLiteral(u"COSTI DISAGGREGATI"),
         QStringLiteral(
            u"La finestra dei costi disaggregati divide il costo di costruzione in sedici categorie fisse di opere e lavori, dalle fondazioni agli impianti, più una quota per imprevisti e manutenzioni.\n"
            u"I dati arrivano dalla finestra Menu, dopo la scelta delle caratteristiche dell'edificio, oppure da un file \"Perix-disaggr-\" aperto dall'archivio. Per ogni categoria Perix mostra la percentuale preimpostata per la classe dell'edificio e il costo che ne deriva; accanto potete digitare percentuali vostre, che si possono archiviare e riaprire come file \"Perix-percentuali-\".\n"
            u"Il tasto X di una categoria la annulla: il suo costo è ridistribuito tra le categorie rimaste, ciascuna in proporzione al proprio peso. Annullando più categorie si arriva fino a una o due sole voci, come serve per valutare i lavori ancora da eseguire in un cantiere già avviato.\n"
            u"Il pulsante \"% preimpostate\" riporta le percentuali di partenza. Le percentuali digitate devono sommare 100: il controllo dei dati immessi segnala una somma diversa.\n"
            u"I dati si archiviano nei file \"Perix-disaggr-\"; \"Stampa dati finestra\" prepara il documento con la tabella delle sedici categorie."),
         3495, 5415},
        {QStringLiteral("guidasintetici"), QStringLiteral(u"COSTI SINTETICI"),
         QStringLiteral(
            u"La finestra dei costi sintetici riceve i dati dalla finestra Menu, dopo che avete digitato il costo per mq. di superficie lorda e scelto le caratteristiche dell'edificio, oppure da un file \"Perix-sint-\" aperto dall'archivio.\n"
            u"Perix mostra i costi per le tre categorie di edificio, economiche, medie ed evolute: per mq. di superficie lorda, per mc. e per vano, così da confrontarle a colpo d'occhio.\n"
            u"L'icona della moneta indica la categoria scelta nella finestra Menu: a questa si riferisce il costo per mq. di superficie lorda digitato, dal quale sono ricavati tutti gli altri.\n"
            u"Il pulsante Menu riporta alla finestra Menu per cambiare i dati; il pulsante \"Costi per altezze\" della barra degli strumenti apre la finestra delle variazioni di costo secondo il numero dei piani.\n"
            u"I pulsanti \"relazione\", \"stima edifici\" e \"archivio dati\" aprono nel browser pagine web utili alla stima di terreni ed edifici.\n"
            u"Il penultimo pulsante della barra degli strumenti cancella tutti i dati della finestra. I dati si archiviano nei file \"Perix-sint-\"; \"Stampa dati finestra\" prepara il documento con la tabella dei costi."),
         3495, 5415},
        {QStringLiteral("guidatipologie"), QStringLiteral(u"COSTI PER TIPOLOGIE"),
         QStringLiteral(
            u"La finestra dei costi per tipologie confronta nove tipologie di edifici, dalle più economiche alle più pregiate, per una prima stima quando si conosce il costo di un solo tipo di fabbricato.\n"
            u"Per ognuna Perix calcola il costo per mq. di superficie netta e il costo di un vano di 18 mq. netti.\n"
            u"Il dato da digitare è uno solo: il costo per mq. di superficie netta di una tipologia di cui lo conoscete. Digitatelo nella casella bianca e indicate a quale tipologia si riferisce cliccando nella casella a lato: Perix ricava da quello i costi di tutte le altre.\n"
            u"Il simbolo della moneta e il colore azzurro segnalano la tipologia scelta; cambiando il dato o la casella, tutta la tabella si aggiorna subito. Se il dato digitato non è un numero valido, una nota lo segnala accanto alla casella e la tabella non cambia.\n"
            u"I dati si archiviano nei file \"Perix-tipol-\"; \"Stampa dati finestra\" prepara il documento con la tabella delle nove tipologie.\n"
            u"I pulsanti \"relazione\", \"stima edifici\" e \"archivio dati\" aprono nel browser pagine web utili alla stima di terreni ed edifici. Il penultimo pulsante della barra degli strumenti cancella tutti i dati della finestra."),
         3495, 5415},
        {QStringLiteral("guidaaltezze"), QStringLiteral(u"COSTI PER ALTEZZE (numero di piani)"),
         QStringLiteral(
            u"La finestra dei costi per altezze confronta il costo al mc. di quattordici tipi di edifici in cemento armato, che differiscono per il numero dei piani: al crescere dell'altezza cambiano le strutture, gli impianti e il peso delle fondazioni, e con essi il costo.\n"
            u"Il dato da digitare è il costo osservato al mc. vuoto per pieno, cioè riferito all'intero volume lordo, di un edificio di riferimento: digitatelo nella casella bianca e indicate il tipo di edificio a cui si riferisce cliccando nella casella a lato.\n"
            u"Perix calcola il costo al mc. di tutti gli altri tipi e ne mostra la differenza, in valore assoluto e in percentuale, rispetto all'edificio scelto. A lato, accanto a uno dei tipi, una freccia indica la soluzione più vantaggiosa. Cambiando il dato o il tipo scelto, tutta la tabella si aggiorna subito.\n"
            u"Se il dato digitato non è un numero valido, una nota lo segnala accanto alla casella e la tabella non cambia.\n"
            u"I dati si archiviano nei file \"Perix-alt-\"; \"Stampa dati finestra\" prepara il documento con la tabella dei quattordici tipi di edificio.\n"
            u"Il penultimo pulsante della barra degli strumenti cancella tutti i dati della finestra."),
         4095, 5415},
    }};
    return testi;
}

} // namespace perix
