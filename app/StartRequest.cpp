#include "app/StartRequest.h"

namespace {
const QStringList kTakeWords = {QStringLiteral("begin"), QStringLiteral("end"), QStringLiteral("toggle")};
const QStringList kModeWords = {QStringLiteral("typing"), QStringLiteral("intelligent"),
                                QStringLiteral("translation")};
} // namespace

StartRequest StartRequest::parse(const QStringList& arguments) {
    StartRequest request;
    if (arguments.isEmpty())
        return request;
    const QString option = arguments.at(0);
    const QString value = arguments.value(1);
    if ((option == QLatin1String("--help") || option == QLatin1String("-h")) && arguments.size() == 1) {
        request.m_kind = Help;
    } else if (option == QLatin1String("--take") && arguments.size() == 2 && kTakeWords.contains(value)) {
        request.m_kind = Take;
        request.m_take = TakeAction(kTakeWords.indexOf(value));
    } else if (option == QLatin1String("--mode") && arguments.size() == 2 && kModeWords.contains(value)) {
        request.m_kind = Mode;
        request.m_mode = kModeWords.indexOf(value);
    } else {
        request.m_kind = Invalid;
        // The first word that does not fit: an unknown option, a missing or unknown value, or
        // whatever follows a complete request.
        const bool isTake = option == QLatin1String("--take"), isMode = option == QLatin1String("--mode");
        if (option == QLatin1String("--help") || option == QLatin1String("-h"))
            request.m_refused = arguments.at(1);
        else if (!(isTake || isMode) || arguments.size() == 1)
            request.m_refused = option;
        else if (!(isTake ? kTakeWords : kModeWords).contains(value))
            request.m_refused = value;
        else
            request.m_refused = arguments.at(2);
    }
    return request;
}

QString StartRequest::message() const {
    switch (m_kind) {
    case Take:
        return QStringLiteral("--take ") + kTakeWords.at(m_take);
    case Mode:
        return QStringLiteral("--mode ") + kModeWords.at(m_mode);
    default:
        return QString();
    }
}

StartRequest StartRequest::fromMessage(const QString& message) {
    return parse(message.split(QRegExp(QStringLiteral("\\s+")), Qt::SkipEmptyParts));
}

QString StartRequest::usageLine() {
    return QStringLiteral(
        "Usage: zorvel [--take begin|end|toggle | --mode typing|intelligent|translation | --help]");
}

QString StartRequest::usage() {
    return usageLine() +
           QStringLiteral(
               "\n\n"
               "Without an argument Zorvel starts, or shows the main window of the one already running.\n"
               "  --take begin    start a take, as pressing the mouse's side key does\n"
               "  --take end      end the take, as releasing the side key does\n"
               "  --take toggle   begin a take, or end the one in progress\n"
               "  --mode MODE     switch the working mode: typing, intelligent or translation\n"
               "  --help          show this help\n"
               "A running Zorvel carries the command out; with none running, Zorvel starts and then "
               "carries it out.\n");
}
