#pragma once
// The window of the OMI quotations (Agenzia Entrate): the user chooses the file, the comune,
// the zone, the type and the state, types the building's surface, and takes the market value
// at the minimum, middle or maximum of the quotation into the main window, with its source.

#include "core/omi.h"

#include <QWidget>
#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QStringListModel;
class QPushButton;
class QRadioButton;

namespace perix {

class quotazioniomi : public QWidget
{
    Q_OBJECT
public:
    quotazioniomi();
    ~quotazioniomi() override;

    // Reads the file off the user-interface thread; `caricato` follows, whatever the outcome.
    void caricaFile(const QString &percorso);
    bool inLettura() const { return m_inLettura; }
    const QuotazioniOmi *quotazioni() const { return m_quotazioni.get(); }

    void fileomi_Click();
    void comuneomi_Change();
    void usaomi_Click();

    // The source of the value the window shows now; nothing when it gives none.
    std::optional<FonteOmi> fonte() const;

signals:
    void caricato(bool riuscito);

private:
    void letto(quint64 generazione, std::shared_ptr<std::optional<QuotazioniOmi>> esito, const QString &percorso,
               const QString &motivo);
    void scegliComune();
    int rigaElenco() const;
    void scegliZona();
    void scegliTipologia();
    void aggiornaValori();
    QList<QuotazioneOmi> righeZona() const;
    std::optional<QuotazioneOmi> quotazioneScelta() const;

    QPushButton *m_fileomi = nullptr, *m_usaomi = nullptr;
    QLabel *m_infoomi = nullptr, *m_quotazioneomi = nullptr, *m_notaomi = nullptr;
    QLineEdit *m_comuneomi = nullptr, *m_superficieomi = nullptr;
    QListView *m_elenco = nullptr;
    QStringListModel *m_modello = nullptr;
    QStringList m_visibili; // every comune as listed, "NOME (PR)", made once a file
    QComboBox *m_zonaomi = nullptr, *m_tipologiaomi = nullptr, *m_statoomi = nullptr;
    QRadioButton *m_minimo = nullptr, *m_medio = nullptr, *m_massimo = nullptr;

    std::unique_ptr<QuotazioniOmi> m_quotazioni;
    QList<int> m_trovati;   // the comuni in the list, by their index
    int m_comune = -1;      // the comune chosen
    quint64 m_generazione = 0;
    bool m_inLettura = false;
};

} // namespace perix
