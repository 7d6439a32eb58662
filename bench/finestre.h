#pragma once
// What the window benchmarks share: the main window with a disaggregated estimate open in
// euro, keystrokes timed one by one, and the figures printed.

#include "estimates/disaggregati.h"
#include "estimates/menu.h"
#include "ui/registro.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

namespace perix::banco {

inline void clic(QWidget *w, const QString &nome) { w->findChild<QAbstractButton *>(nome)->click(); }
inline QLineEdit *campo(QWidget *w, const QString &nome) { return w->findChild<QLineEdit *>(nome); }

// Median, 99th percentile and largest of the times, in microseconds.
inline void stampa(const char *cosa, std::vector<double> us)
{
    std::sort(us.begin(), us.end());
    std::printf("%s (%zu volte): mediana %.1f µs, 99%% %.1f µs, massimo %.1f µs\n", cosa, us.size(), us[us.size() / 2],
                us[us.size() * 99 / 100], us.back());
}

// Keystrokes that add and take away a digit, each timed from the key to the recalculated window.
inline std::vector<double> tasti(QLineEdit *e, int volte, Qt::Key cifra)
{
    std::vector<double> us;
    for (int i = 0; i < volte; ++i) {
        QElapsedTimer t;
        t.start();
        QTest::keyClick(e, i % 2 ? Qt::Key_Backspace : cifra);
        us.push_back(double(t.nsecsElapsed()) / 1e3);
    }
    return us;
}

// The main window in euro with a disaggregated estimate of 1.500.000 and 1.000.000 on the
// economic-class schedule, and its window of percentages.
inline std::pair<menu *, risultatidisaggregati *> menuConDisaggregati()
{
    auto *m = registro::mostra<menu>();
    clic(m, QStringLiteral("moneta(2)"));
    clic(m, QStringLiteral("disaggregati"));
    QTest::keyClicks(campo(m, QStringLiteral("valoremercato")), QStringLiteral("1500000"));
    QTest::keyClicks(campo(m, QStringLiteral("costitotali")), QStringLiteral("1000000"));
    clic(m, QStringLiteral("Option1(3)"));
    return {m, registro::mostra<risultatidisaggregati>()};
}

} // namespace perix::banco
