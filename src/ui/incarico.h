#pragma once
// The job's data of an estimate and the surveyor's own data: the two small forms that fill
// them, and the surveyor kept in the user's settings.

#include "core/frontespizio.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QTableWidget;

namespace perix {

// The surveyor as the settings hold him (empty until the form is filled once).
Tecnico leggiTecnico();
void salvaTecnico(const Tecnico &tecnico);

// "Dati dell'incarico": client, property, address, parcels, reference date, note.
class datiincarico : public QDialog
{
    Q_OBJECT
public:
    explicit datiincarico(const DatiIncarico &dati, QWidget *parent = nullptr);
    DatiIncarico dati() const;
    // A parcel row more (Fabbricati, empty figures) / the current row less.
    void aggiungiParticella(const Particella &p = {QStringLiteral("Fabbricati"), {}, {}, {}});
    void togliParticella();

private:
    QLineEdit *m_committente, *m_oggetto, *m_indirizzo, *m_comune;
    QTableWidget *m_particelle;
    QDateEdit *m_data;
    QPlainTextEdit *m_nota;
};

// "Dati del tecnico": name, title, register and number, address, e-mail or PEC, digital signing.
class datitecnico : public QDialog
{
    Q_OBJECT
public:
    explicit datitecnico(const Tecnico &tecnico, QWidget *parent = nullptr);
    Tecnico dati() const;

private:
    QLineEdit *m_nome, *m_albo, *m_iscrizione, *m_indirizzo, *m_posta;
    QComboBox *m_titolo;
    QCheckBox *m_firma;
};

// Opens the job's form over `finestra` with `attuali`; `fatto` gets what the user confirmed.
datiincarico *apriDatiIncarico(QWidget *finestra, const DatiIncarico &attuali,
                               std::function<void(const DatiIncarico &)> fatto);
// Opens the surveyor's form; confirming it saves the settings.
datitecnico *apriDatiTecnico(QWidget *finestra);

} // namespace perix
