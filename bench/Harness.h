#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

// The middle value; a run disturbed by another process on the machine moves the mean, not this.
inline double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// Median of repeated runs of each piece of work, in microseconds. The pieces take turns, so a
// busy moment of the machine (other builds share it) falls on all of them alike and a ratio
// between them stays fair.
inline std::vector<double>
medianMicrosTakingTurns(int runs, const std::vector<std::function<void()>>& works) {
    std::vector<std::vector<double>> times(works.size());
    for (int i = 0; i < runs; ++i) {
        for (size_t w = 0; w < works.size(); ++w) {
            QElapsedTimer timer;
            timer.start();
            works[w]();
            times[w].push_back(static_cast<double>(timer.nsecsElapsed()) / 1000.0);
        }
    }
    std::vector<double> medians;
    for (const std::vector<double>& each : times)
        medians.push_back(median(each));
    return medians;
}

// Three significant figures or so: 1.23, 12.3, 123.
inline QString figure(double value) {
    const int decimals = value < 10 ? 2 : value < 100 ? 1 : 0;
    return QString::number(value, 'f', decimals);
}
inline QString micros(double us) {
    return figure(us) + QStringLiteral(" µs");
}
inline QString millis(double ms) {
    return figure(ms) + QStringLiteral(" ms");
}
inline QString ratio(double value) {
    return figure(value) + QStringLiteral("x");
}

// A markdown table, printed whole once its rows are in so that the columns line up; the first
// column is the name of what was measured and the others are figures, aligned right.
class Table {
public:
    Table(const char* title, const QStringList& columns) : m_title(title), m_rows{columns} {}

    void row(const QStringList& cells) { m_rows << cells; }

    void print() const {
        std::vector<qsizetype> widths(static_cast<size_t>(m_rows.front().size()), 3);
        for (const QStringList& cells : m_rows)
            for (qsizetype i = 0; i < cells.size() && i < qsizetype(widths.size()); ++i)
                widths[size_t(i)] = std::max(widths[size_t(i)], cells[i].size());
        std::printf("\n### %s\n\n", m_title);
        for (qsizetype r = 0; r < m_rows.size(); ++r) {
            QString line = QStringLiteral("|");
            for (size_t i = 0; i < widths.size(); ++i) {
                const QString cell = m_rows[r].value(qsizetype(i));
                const int width = int(widths[i]);
                line += QLatin1Char(' ') +
                        (i == 0 ? cell.leftJustified(width) : cell.rightJustified(width)) +
                        QStringLiteral(" |");
            }
            std::printf("%s\n", qPrintable(line));
            if (r == 0) {
                QString rule = QStringLiteral("|");
                for (size_t i = 0; i < widths.size(); ++i)
                    rule += QString(widths[i] + 1, QLatin1Char('-')) +
                            (i == 0 ? QStringLiteral("-|") : QStringLiteral(":|"));
                std::printf("%s\n", qPrintable(rule));
            }
        }
        std::fflush(stdout);
    }

private:
    const char* m_title;
    QList<QStringList> m_rows;
};

// A line under a table: what the figures mean or where they fall short.
inline void printNote(const QString& text) {
    std::printf("\n%s\n", qPrintable(text));
    std::fflush(stdout);
}

// Keeps the optimiser from dropping work whose result is otherwise unused.
template <class T> inline void keep(const T& value) {
    asm volatile("" : : "g"(&value) : "memory");
}
