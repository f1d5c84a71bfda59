#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// Status lines on their way to a host that may not be reading them. While the host keeps up,
// every line goes out in order. Once kMaxBacklogBytes wait for it, lines are held back and
// counted instead, so that a flood of transfers cannot fill memory with answers; when the host
// has read the backlog down to half, each held line goes out once, with its count when it was
// held more than once ("ERROR header * (52311 times)"), in the order each first came.
class AnswerBacklog {
public:
    static constexpr qsizetype kMaxBacklogBytes = 1024 * 1024;
    // Distinct lines held with a count each; any further ones are only counted together.
    static constexpr int kMaxHeldLines = 16;

    // lines: due now, oldest first, without line ends. backlogBytes: queued for the host and
    // not read yet. Returns what to send now: held lines first (if there is room), then the new.
    QStringList pass(const QStringList& lines, qsizetype backlogBytes);
    // The held lines, when the backlog has room for them now; empty otherwise.
    QStringList release(qsizetype backlogBytes);
    bool holding() const { return !held_.empty() || otherLines_ > 0; }

private:
    void hold(const QString& line);

    struct Held {
        QString line;
        qint64 count;
    };
    std::vector<Held> held_;
    qint64 otherLines_ = 0;
};
