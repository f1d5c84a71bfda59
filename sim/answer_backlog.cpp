#include "answer_backlog.h"

#include <algorithm>

namespace {
// As it goes out on the line: the text and CR LF.
qsizetype wireBytes(const QString& line) {
    return line.size() + 2;
}
} // namespace

QStringList AnswerBacklog::pass(const QStringList& lines, qsizetype backlogBytes) {
    QStringList out = release(backlogBytes);
    for (const QString& line : out)
        backlogBytes += wireBytes(line);
    for (const QString& line : lines) {
        // Once holding, newer lines wait behind the held ones rather than overtake them.
        if (!holding() && backlogBytes + wireBytes(line) <= kMaxBacklogBytes) {
            out.append(line);
            backlogBytes += wireBytes(line);
        } else {
            hold(line);
        }
    }
    return out;
}

QStringList AnswerBacklog::release(qsizetype backlogBytes) {
    QStringList out;
    if (!holding() || backlogBytes > kMaxBacklogBytes / 2)
        return out;
    for (const Held& held : held_)
        out.append(held.count == 1
                       ? held.line
                       : QStringLiteral("%1 (%2 times)").arg(held.line).arg(held.count));
    if (otherLines_ > 0)
        out.append(QStringLiteral("ERROR %1 more lines left out: the host was not reading")
                       .arg(otherLines_));
    held_.clear();
    otherLines_ = 0;
    return out;
}

void AnswerBacklog::hold(const QString& line) {
    const auto same = std::find_if(held_.begin(), held_.end(),
                                   [&line](const Held& held) { return held.line == line; });
    if (same != held_.end())
        ++same->count;
    else if (held_.size() < size_t(kMaxHeldLines))
        held_.push_back({line, 1});
    else
        ++otherLines_;
}
