#pragma once
// The OMI quotations of the Agenzia Entrate (Osservatorio del Mercato Immobiliare): the
// VALORI file of a semester, and its ZONE file for the zones' descriptions, read into a
// compact index by comune. Qt Core only.
//
// Both files are `;`-separated text: a title line ("... - Semestre 2018/2 - ..."), a header,
// then one line per quotation, each ending with one more `;`. A delivery mixes encodings
// even line by line, so each line is decoded on its own (UTF-8 when valid, otherwise
// Windows-1252). The national file (about 160,000 lines, 19 MB) is kept as its bytes with
// the places of the fields of each line; texts are decoded only when asked for.

#include "core/allegato.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace perix {

// The key two names are compared by: capitals, no accents, no apostrophe nor backtick, single
// blanks ("Cambio'" and "CAMBIO`" both give "CAMBIO"; "Cantù" and "CANTU`" "CANTU").
QString chiaveNomeOmi(const QString &nome);
// The band's name: "centrale" for B, "semicentrale", "periferica", "suburbana", "extraurbana"
// for R; empty for another letter.
QString nomeFasciaOmi(const QString &fascia);
// A comune's name as shown: the file's backtick written as an apostrophe.
QString nomeOmiVisibile(const QString &nome);

struct ComuneOmi {
    QString nome;       // as shown: "ALLUVIONI CAMBIO'"
    QString provincia;  // "AL"
    QString chiave;     // chiaveNomeOmi(nome)
    QString chiaveBreve; // the first name alone of "BOLZANO .BOZEN." or "X (Y)"; empty if none
    int inizio = 0, fine = 0; // its quotations: positions in the index's order
    QString visibile() const { return nome + QStringLiteral(" (") + provincia + u')'; }
};

// One quotation, decoded.
struct QuotazioneOmi {
    QString zona, fascia, descrizione; // descrizione: from the ZONE file, without quotes
    QString tipologia, stato;
    bool prevalente = false;           // the zone's prevalent state
    QString minimo, massimo;           // euro per m², as the file has them
    QString superficie;                // "L", "N" or empty
    // Sale values of 0: the zone is quoted for rent only.
    bool quotato() const;
};

// A comune's zone: its code, band and description, and its prevalent type (ZONE file).
struct ZonaOmi {
    QString zona, fascia, descrizione, tipologiaPrevalente;
    QString visibile() const; // "B1 - CENTRO URBANO", or "B1" without a description
};

class QuotazioniOmi
{
public:
    // Reads the VALORI file's bytes, and the ZONE file's when given (empty: no descriptions).
    // Nothing, and why in Italian, when the bytes are not an OMI VALORI file with at least
    // one readable quotation. `nome` (the file's name) gives the semester when the title lacks it.
    static std::optional<QuotazioniOmi> leggi(QByteArray valori, const QByteArray &zone = {},
                                              QString *motivo = nullptr, const QString &nome = {});

    const QString &semestre() const { return m_semestre; } // "2018/2"; empty if unknown
    qsizetype quotazioni() const { return qsizetype(m_ordine.size()); }
    int righeNonLette() const { return m_nonLette; }
    int zoneNonLette() const { return m_zoneNonLette; } // lines of the ZONE file skipped
    bool conZone() const { return m_conZone; }
    const std::vector<ComuneOmi> &comuni() const { return m_comuni; }
    qsizetype numeroZone() const;

    // The comuni whose name contains `parte` (matched as chiaveNomeOmi), in the file's order;
    // all of them for an empty text.
    QList<int> cerca(const QString &parte) const;
    // The comuni named `nome` whole; a trailing "(XX)" chooses the province. The first name
    // of a bilingual comune is enough when no comune is named so whole.
    QList<int> comuniDiNome(const QString &nome) const;

    // A comune's quotations, in the file's order; of one zone only when `zona` is given.
    QList<QuotazioneOmi> quotazioniDi(int comune, const QString &zona = {}) const;
    // A comune's zones, in the file's order.
    QList<ZonaOmi> zoneDi(int comune) const;

private:
    struct Riga {
        std::uint32_t inizio = 0;            // the line's first byte
        std::uint16_t campi[12] = {};        // fields 7..18 start, from the line's start
        std::uint32_t comune = 0;
        bool utf8 = true;                    // how the line decodes
    };
    QString campo(const Riga &r, int indice) const;
    QByteArray campoGrezzo(const Riga &r, int indice) const;
    QuotazioneOmi quotazione(const Riga &r) const;

    QByteArray m_dati;
    std::vector<Riga> m_righe;
    std::vector<std::uint32_t> m_ordine; // rows grouped by comune, each group in file order
    std::vector<ComuneOmi> m_comuni;
    struct InfoZona {
        QString descrizione, tipologiaPrevalente;
    };
    QHash<QByteArray, InfoZona> m_zone; // by LinkZona
    QString m_semestre;
    int m_nonLette = 0, m_zoneNonLette = 0;
    bool m_conZone = false;
};

// The sale value per m² of a quotation's text ("810", "1.250,5"); nothing when not a number.
std::optional<double> valoreOmi(const QString &testo);

// The lines that tell a market value's OMI source, for the calculation trail and the
// report: the source, semester, place, type, quotation, surface and value used.
QStringList righeFonteOmi(const FonteOmi &fonte);
// The caution that goes with them.
QString avvertenzaOmi();

} // namespace perix
