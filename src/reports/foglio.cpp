#include "reports/foglio_cartella.h"

#include "core/campi.h"
#include "core/numeri.h"
#include "ui/modulo.h"

#include <QFile>
#include <QIODevice>
#include <QLocale>

#include <xlsxwriter.h>

#include <clocale>
#include <cmath>
#include <locale.h>
#include <sys/mman.h>
#include <unistd.h>

namespace perix {

QString testoCella(double valore, int decimali)
{
    switch (decimali) {
    case 0: return formattanumero(testoNumero(valore));
    case 2: return formatta(testoNumero(valore), Schema::InteroDueDecimali);
    default:
        return std::isfinite(valore) ? QLocale().toString(valore, 'f', decimali) : nonCalcolabile;
    }
}

QString testoCella(const QString &figura, int decimali)
{
    if (decimali == 0)
        return formattanumero(figura);
    if (decimali == 2)
        return formatta(figura, Schema::InteroDueDecimali);
    const auto v = letturaLocale(figura);
    return v ? testoCella(*v, decimali) : figura;
}

} // namespace perix

namespace perix::foglio {

namespace {

// Two figures equal to within the last few of their 53 bits, as Calc's arithmetic takes them.
bool quasiUguali(double a, double b)
{
    constexpr double e48 = 1.0 / (16777216.0 * 16777216.0);
    if (a == b)
        return true;
    if (a == 0.0 || b == 0.0)
        return false;
    const double d = std::fabs(a - b);
    return d < std::fabs(a) * e48 && d < std::fabs(b) * e48;
}

QByteArray utf8(const QString &s) { return s.toUtf8(); }

} // namespace

double piu(double a, double b)
{
    if (((a < 0 && b > 0) || (b < 0 && a > 0)) && quasiUguali(a, -b))
        return 0.0;
    return a + b;
}

double meno(double a, double b)
{
    if (((a < 0 && b < 0) || (a > 0 && b > 0)) && quasiUguali(a, b))
        return 0.0;
    return a - b;
}

double intero(double x)
{
    if (!std::isfinite(x) || x == 0)
        return std::floor(x);
    // The 15 significant digits first: 7499.999999999999 is 7500 to the spreadsheet.
    return std::floor(letturaSemplice(testoInvariante(x)));
}

NumeriC::NumeriC()
{
    locale_t c = newlocale(LC_NUMERIC_MASK, "C", locale_t(nullptr));
    if (!c)
        return;
    c_ = c;
    prima_ = uselocale(c);
}

NumeriC::~NumeriC()
{
    if (!c_)
        return;
    uselocale(static_cast<locale_t>(prima_));
    freelocale(static_cast<locale_t>(c_));
}

Cartella::Cartella(const QString &nome, const OpzioniFoglio &opzioni) : mappa_(opzioni.mappa)
{
    if (mappa_)
        mappa_->clear();
    lxw_workbook_options o{};
#ifdef MFD_CLOEXEC
    memoria_ = memfd_create("perix-foglio", MFD_CLOEXEC);
#endif
    // Reached by its name under /proc, where /proc is there.
    if (memoria_ >= 0 && ::access(qPrintable(QStringLiteral("/proc/self/fd/%1").arg(memoria_)), W_OK) != 0) {
        ::close(memoria_);
        memoria_ = -1;
    }
    if (memoria_ >= 0) {
        percorso_ = QStringLiteral("/proc/self/fd/%1").arg(memoria_);
        // The library's own scratch files (one per part of the workbook) in memory too.
        if (::access("/dev/shm", W_OK | X_OK) == 0) {
            cartellaTemp_ = "/dev/shm";
            o.tmpdir = cartellaTemp_.data();
        }
    } else {
        cartella_.emplace();
        if (!cartella_->isValid())
            return;
        percorso_ = cartella_->filePath(QStringLiteral("foglio.xlsx"));
        cartellaTemp_ = QFile::encodeName(cartella_->path());
        o.tmpdir = cartellaTemp_.data();
    }
    libro_ = workbook_new_opt(QFile::encodeName(percorso_).constData(), &o);
    if (!libro_)
        return;
    foglio_ = workbook_add_worksheet(libro_, utf8(nome).constData());

    const auto nuovo = [this](double punti, bool grassetto) {
        lxw_format *f = workbook_add_format(libro_);
        format_set_font_name(f, "Century Gothic");
        format_set_font_size(f, punti);
        if (grassetto)
            format_set_bold(f);
        return f;
    };
    titolo_ = nuovo(18, true);
    sottotitolo_ = nuovo(12, false);
    sezione_ = nuovo(12, true);
    format_set_font_color(sezione_, 0x1F4E79);
    testa_ = nuovo(10, true);
    format_set_bg_color(testa_, 0x1F4E79);
    format_set_font_color(testa_, LXW_COLOR_WHITE);
    format_set_text_wrap(testa_);
    format_set_align(testa_, LXW_ALIGN_CENTER);
    format_set_align(testa_, LXW_ALIGN_VERTICAL_CENTER);
    grassetto_ = nuovo(10, true);
    nota_ = nuovo(9, false);
    format_set_italic(nota_);
    format_set_font_color(nota_, 0x595959);
    avviso_ = nuovo(10, true);
    format_set_font_color(avviso_, 0xC00000);
    centrato_ = nuovo(10, true);
    format_set_align(centrato_, LXW_ALIGN_CENTER);
    format_set_border(centrato_, LXW_BORDER_THIN);
    format_set_border_color(centrato_, 0xBFBFBF);
    // The base case of the two-way table, as the report marks it.
    evidenza_ = nuovo(10, true);
    format_set_num_format(evidenza_, "#,##0");
    format_set_align(evidenza_, LXW_ALIGN_RIGHT);
    format_set_bg_color(evidenza_, 0xFFD966);
    format_set_border(evidenza_, LXW_BORDER_THIN);
    format_set_border_color(evidenza_, 0xBFBFBF);
    centrato_ingresso_ = nuovo(10, true);
    format_set_align(centrato_ingresso_, LXW_ALIGN_CENTER);
    format_set_bg_color(centrato_ingresso_, 0xFFF2CC);
    format_set_border(centrato_ingresso_, LXW_BORDER_MEDIUM);
    format_set_border_color(centrato_ingresso_, 0xBF8F00);
    etichetta_ = nuovo(10, false);
    format_set_bottom(etichetta_, LXW_BORDER_HAIR);
    format_set_bottom_color(etichetta_, 0xBFBFBF);
    static const char *const codici[3] = {"#,##0", "#,##0.00", "#,##0.0000"};
    // result, input (yellow, framed), constant (grey), figure kept (orange)
    static const lxw_color_t fondi[4] = {LXW_COLOR_WHITE, 0xFFF2CC, 0xF2F2F2, 0xFCE4D6};
    for (int d = 0; d < 3; ++d)
        for (int t = 0; t < 4; ++t) {
            lxw_format *f = nuovo(10, t == 0);
            format_set_num_format(f, codici[d]);
            format_set_align(f, LXW_ALIGN_RIGHT);
            if (t != 0)
                format_set_bg_color(f, fondi[t]);
            format_set_border(f, t == 1 ? LXW_BORDER_MEDIUM : LXW_BORDER_THIN);
            format_set_border_color(f, t == 1 ? 0xBF8F00 : 0xBFBFBF);
            numeri_[d][t] = f;
        }

    // A4, upright, the width of the sheet on one page.
    worksheet_set_paper(foglio_, 9);
    worksheet_set_portrait(foglio_);
    worksheet_set_margins(foglio_, 0.6, 0.6, 0.7, 0.7);
    worksheet_fit_to_pages(foglio_, 1, 0);
    worksheet_center_horizontally(foglio_);
    worksheet_set_comments_author(foglio_, "Perix");
}

Cartella::~Cartella()
{
    // A workbook never closed (a writer that gave up) is freed without being written.
    if (libro_)
        lxw_workbook_free(libro_);
    if (memoria_ >= 0)
        ::close(memoria_);
}

lxw_format *Cartella::formato(int decimali, int tipo)
{
    return numeri_[decimali >= 4 ? 2 : decimali >= 2 ? 1 : 0][tipo];
}

QString Cartella::cella(int riga, int colonna, bool assoluta)
{
    QString lettere;
    for (int c = colonna + 1; c > 0; c = (c - 1) / 26)
        lettere.prepend(QChar(u'A' + (c - 1) % 26));
    return assoluta ? QStringLiteral("$%1$%2").arg(lettere).arg(riga + 1) : lettere + QString::number(riga + 1);
}

int Cartella::intestazione(const QString &titolo)
{
    Modulo::datiprogramma();
    testo(0, 0, Modulo::nomeprogramma, titolo_);
    testo(1, 0, Modulo::descrizioneprogramma, sottotitolo_);
    testo(2, 0, titolo, sezione_);
    testo(3, 0,
          QStringLiteral("Le celle gialle sono i dati: cambiandole, i risultati (formule) si ricalcolano. "
                         "Le celle grigie sono le costanti delle tabelle del programma."),
          nota_);
    worksheet_set_row(foglio_, 0, 26, nullptr);
    return 5;
}

void Cartella::sezione(int riga, const QString &t) { testo(riga, 0, t, sezione_); }

void Cartella::testo(int riga, int colonna, const QString &t, lxw_format *formato)
{
    if (t.isEmpty())
        return;
    worksheet_write_string(foglio_, lxw_row_t(riga), lxw_col_t(colonna), utf8(t).constData(),
                           formato ? formato : etichetta_);
}

void Cartella::orizzontale() { worksheet_set_landscape(foglio_); }

void Cartella::intestazioni(int riga, int colonna, const QStringList &testi)
{
    // Two lines where a heading needs them.
    for (const QString &t : testi)
        if (t.size() > 18) {
            worksheet_set_row(foglio_, lxw_row_t(riga), 27, nullptr);
            break;
        }
    for (qsizetype i = 0; i < testi.size(); ++i)
        worksheet_write_string(foglio_, lxw_row_t(riga), lxw_col_t(colonna + int(i)), utf8(testi[i]).constData(),
                               testa_);
}

void Cartella::numero(int riga, int colonna, double valore, int decimali)
{
    worksheet_write_number(foglio_, lxw_row_t(riga), lxw_col_t(colonna), valore, formato(decimali, 0));
}

void Cartella::ingresso(int riga, int colonna, std::optional<double> valore, int decimali, const QString &nome)
{
    if (valore)
        worksheet_write_number(foglio_, lxw_row_t(riga), lxw_col_t(colonna), *valore, formato(decimali, 1));
    else
        worksheet_write_blank(foglio_, lxw_row_t(riga), lxw_col_t(colonna), formato(decimali, 1));
    if (!nome.isEmpty())
        workbook_define_name(libro_, utf8(nome).constData(),
                             utf8(QStringLiteral("=%1!%2")
                                      .arg(QString::fromUtf8(foglio_->name), cella(riga, colonna)))
                                 .constData());
}

void Cartella::ingressoTesto(int riga, int colonna, const QString &testo)
{
    if (testo.isEmpty())
        worksheet_write_blank(foglio_, lxw_row_t(riga), lxw_col_t(colonna), centrato_ingresso_);
    else
        worksheet_write_string(foglio_, lxw_row_t(riga), lxw_col_t(colonna), utf8(testo).constData(),
                               centrato_ingresso_);
}

void Cartella::costante(int riga, int colonna, double valore, int decimali)
{
    worksheet_write_number(foglio_, lxw_row_t(riga), lxw_col_t(colonna), valore, formato(decimali, 2));
}

void Cartella::risultato(const QString &nome, int riga, int colonna, const QString &formula, const Valore &specchio,
                         const QString &figura, int decimali, const QString &perche, lxw_format *proprio)
{
    const auto r = lxw_row_t(riga);
    const auto c = lxw_col_t(colonna);
    const QString dalFoglio = std::holds_alternative<double>(specchio) ? testoCella(std::get<double>(specchio), decimali)
                                                                       : std::get<QString>(specchio);
    const bool formulaGiusta = figura.isEmpty() || testoCella(figura, decimali) == dalFoglio;
    if (formulaGiusta) {
        if (std::holds_alternative<double>(specchio))
            worksheet_write_formula_num(foglio_, r, c, utf8(formula).constData(), proprio ? proprio : formato(decimali, 0),
                                        std::get<double>(specchio));
        else
            worksheet_write_formula_str(foglio_, r, c, utf8(formula).constData(), proprio ? proprio : formato(decimali, 0),
                                        utf8(std::get<QString>(specchio)).constData());
    } else {
        // The figure the window shows, as it shows it, and why the formula would not give it.
        lxw_format *f = formato(decimali, 3);
        if (const auto v = letturaLocale(figura))
            worksheet_write_number(foglio_, r, c, *v, f);
        else
            worksheet_write_string(foglio_, r, c, utf8(figura).constData(), f);
        const QString commento = QStringLiteral("Cifra di Perix, non formula: %1 La formula %2 darebbe %3.")
                                     .arg(perche, formula, dalFoglio.isEmpty() ? QStringLiteral("una cella vuota") : dalFoglio);
        lxw_comment_options o{};
        o.width = 360;
        o.height = 110;
        worksheet_write_comment_opt(foglio_, r, c, utf8(commento).constData(), &o);
    }
    if (mappa_)
        mappa_->append({nome, riga, colonna, figura.isEmpty() ? dalFoglio : figura, decimali, formulaGiusta});
}

void Cartella::larghezze(const QList<double> &colonne)
{
    for (qsizetype i = 0; i < colonne.size(); ++i)
        worksheet_set_column(foglio_, lxw_col_t(i), lxw_col_t(i), colonne[i], nullptr);
}

bool Cartella::chiudi(QIODevice &dispositivo, QString *motivo)
{
    if (!libro_)
        return falso(motivo, QStringLiteral("impossibile preparare il foglio di calcolo in una cartella temporanea"));
    lxw_doc_properties p{};
    const QByteArray titolo = utf8(QString::fromUtf8(foglio_->name));
    p.title = const_cast<char *>(titolo.constData());
    p.author = const_cast<char *>("Perix");
    workbook_set_properties(libro_, &p);
    const lxw_error e = workbook_close(libro_);
    libro_ = nullptr; // closed, and freed with it
    if (e != LXW_NO_ERROR)
        return falso(motivo, QString::fromUtf8(lxw_strerror(e)));
    QFile f(percorso_);
    if (!f.open(QIODevice::ReadOnly))
        return falso(motivo, f.errorString());
    return scriviDati(dispositivo, f.readAll(), motivo);
}

} // namespace perix::foglio
