#include "supporto.h"

#include "ui/cornice.h"
#include "ui/modulo.h"
#include "estimates/altezze.h"

#include <QAbstractButton>
#include <QLocale>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <zip.h>

namespace perix::prova {

void preparaAmbiente()
{
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    dialoghi::prova::attiva(true);
    dialoghi::prova::azzera();
    if (qApp)
        qApp->setQuitOnLastWindowClosed(false);
}

void chiudiTutto()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        w->close();
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    dialoghi::prova::azzera();
}

void azzeraScelte()
{
    Modulo::valuta.clear();
    Modulo::etichettavaluta.clear();
    Modulo::tipostima = 0;
    Modulo::classeedificio.reset();
}

void sessioneNuova()
{
    chiudiTutto();
    azzeraScelte();
    Modulo::tipologiascelta = 0;
    Modulo::altezzascelta = 0;
    Modulo::percentualiclasse = {};
    Modulo::percimmesse = {};
    Modulo::percentualialtezze = {};
}

QWidget *finestraVisibile(const QString &nome)
{
    return finestre(nome, true).value(0);
}

FinestraStima *stimaAperta(int numero)
{
    for (FinestraStima *f : finestre<FinestraStima>())
        if (f->numero() == numero)
            return f;
    return nullptr;
}

QAction *azione(QWidget *finestra, const QString &nome)
{
    return finestra ? finestra->findChild<QAction *>(nome) : nullptr;
}

bool attiva(QWidget *finestra, const QString &nome)
{
    QAction *a = azione(finestra, nome);
    if (!a)
        return false;
    a->trigger();
    return true;
}

bool attivaConFile(QWidget *finestra, const QString &nome, const std::optional<QString> &file)
{
    dialoghi::prova::accodaFile(file);
    return attiva(finestra, nome);
}

bool clicca(QWidget *finestra, const QString &nome)
{
    auto *b = trova<QAbstractButton>(finestra, nome);
    if (!b)
        return false;
    b->click();
    return true;
}

QString testo(QWidget *finestra, const QString &nome)
{
    if (auto *l = trova<QLabel>(finestra, nome))
        return l->text();
    if (auto *e = trova<QLineEdit>(finestra, nome))
        return e->text();
    if (auto *b = trova<QAbstractButton>(finestra, nome))
        return b->text();
    return QStringLiteral("<%1 non trovato>").arg(nome);
}

QString testo(QWidget *finestra, const QString &nome, int indice)
{
    return testo(finestra, QStringLiteral("%1(%2)").arg(nome).arg(indice));
}

QStringList colonna(QWidget *finestra, const QString &nome, int righe)
{
    QStringList l;
    for (int i = 1; i <= righe; ++i)
        l << testo(finestra, nome, i);
    return l;
}

void soloRigaScelta(QWidget *finestra, const QString &etichetta, const QString &opzione, int righe, int k)
{
    const QColor giallo(255, 255, 0), ciano(0, 255, 255);
    for (int i = 1; i <= righe; ++i) {
        const auto elemento = [i](const QString &nome) { return QStringLiteral("%1(%2)").arg(nome).arg(i); };
        QCOMPARE(trova<QLabel>(finestra, elemento(etichetta))->palette().color(QPalette::Window), i == k ? ciano : giallo);
        QCOMPARE(!trova(finestra, elemento(QStringLiteral("Image1")))->isHidden(), i == k);
        QCOMPARE(trova<QAbstractButton>(finestra, elemento(opzione))->isChecked(), i == k);
    }
}

void digita(QWidget *finestra, const QString &nome, const QString &t)
{
    auto *e = trova<QLineEdit>(finestra, nome);
    if (!e)
        return;
    e->clear();
    bool ascii = true;
    for (QChar c : t)
        ascii = ascii && c.unicode() < 128;
    if (ascii)
        QTest::keyClicks(e, t); // every keystroke raises its own change
    else
        e->setText(t); // QTest cannot type accented letters

}

void stimaArea(QWidget *finestra, const QString &V, const QString &C, const QString &A, const QString &S)
{
    clicca(finestra, QStringLiteral("moneta(2)"));
    clicca(finestra, QStringLiteral("aree"));
    digita(finestra, QStringLiteral("valoremercato"), V);
    digita(finestra, QStringLiteral("costitotali"), C);
    digita(finestra, QStringLiteral("anni"), A);
    digita(finestra, QStringLiteral("superficie"), S);
}

QList<QTextTable *> tabelleDocumento(QTextDocument *doc)
{
    QList<QTextTable *> tabelle;
    for (QTextBlock b = doc ? doc->begin() : QTextBlock(); b.isValid(); b = b.next())
        if (auto *t = QTextCursor(b).currentTable(); t && !tabelle.contains(t))
            tabelle << t;
    return tabelle;
}

QString cella(QTextTable *tabella, int riga, int colonna)
{
    return tabella->cellAt(riga, colonna).firstCursorPosition().block().text();
}

QString ultimoMessaggio()
{
    const auto &m = dialoghi::prova::mostrati();
    for (auto it = m.crbegin(); it != m.crend(); ++it)
        if (it->tipo == dialoghi::prova::Mostrato::Tipo::Messaggio)
            return it->testo;
    return {};
}

dialoghi::prova::Mostrato ultimoMostrato()
{
    const auto &m = dialoghi::prova::mostrati();
    return m.isEmpty() ? dialoghi::prova::Mostrato{} : m.constLast();
}

int messaggiMostrati()
{
    int n = 0;
    for (const auto &m : dialoghi::prova::mostrati())
        n += m.tipo == dialoghi::prova::Mostrato::Tipo::Messaggio;
    return n;
}

DatiRapportoMenu datiMenuEsempio()
{
    DatiRapportoMenu d;
    d.valuta = QStringLiteral("in euro");
    d.valoremercato = QStringLiteral("1000000");
    d.costitotali = QStringLiteral("500000");
    d.anni = QStringLiteral("2");
    d.superficie = QStringLiteral("1000");
    d.risultati = {QString(), QStringLiteral("349.375"), QStringLiteral("165.289"), QStringLiteral("257.332"),
                   QStringLiteral("349"), QStringLiteral("165"), QStringLiteral("257")};
    return d;
}

QMap<QString, QByteArray> leggiZip(const QByteArray &dati)
{
    QMap<QString, QByteArray> parti;
    zip_error_t err;
    zip_error_init(&err);
    zip_source_t *src = zip_source_buffer_create(dati.constData(), zip_uint64_t(dati.size()), 0, &err);
    zip_t *za = src ? zip_open_from_source(src, ZIP_RDONLY, &err) : nullptr;
    zip_error_fini(&err);
    if (!za) {
        if (src)
            zip_source_free(src);
        return parti;
    }
    for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i) {
        zip_stat_t st;
        if (zip_stat_index(za, zip_uint64_t(i), 0, &st) < 0)
            continue;
        zip_file_t *f = zip_fopen_index(za, zip_uint64_t(i), 0);
        QByteArray contenuto(qsizetype(st.size), '\0');
        if (f && zip_fread(f, contenuto.data(), st.size) == zip_int64_t(st.size))
            parti.insert(QString::fromUtf8(st.name), contenuto);
        if (f)
            zip_fclose(f);
    }
    zip_close(za);
    return parti;
}


} // namespace perix::prova
