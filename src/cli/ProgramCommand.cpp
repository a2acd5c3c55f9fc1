#include "ProgramCommand.h"

#include "CliSession.h"
#include "ShowList.h"
#include "TextTable.h"

#include "model/DateAdditions.h"
#include "model/Utilities.h"
#include "platform/StringTable.h"
#include "service/ServiceCalls.h"

int ProgramCommand::run(CliSession& session)
{
    QStringList arguments = session.options().arguments;
    QDateTime date = QDateTime::currentDateTime();
    const qsizetype dateFlag = arguments.indexOf(QStringLiteral("--date"));
    if (dateFlag >= 0) {
        const QDate day = QDate::fromString(arguments.value(dateFlag + 1), u"yyyy-MM-dd");
        if (!day.isValid()) {
            CliSession::fail(QStringLiteral("--date needs a day as YYYY-MM-DD"));
            return 2;
        }
        date = QDateTime(day, QTime(12, 0));
        arguments.remove(dateFlag, 2);
    }
    if (arguments.size() != 1) {
        CliSession::fail(QStringLiteral("usage: program CHANNEL [--date YYYY-MM-DD]"));
        return 2;
    }
    const QString channel = arguments.first();
    return session.answer(
        [&](const Reply& reply) {
            ServiceCalls::sharedManager().getProgramForDayWithChannelId(channel, date, reply);
        },
        [&](const QVariant& answer) {
            const QVariantMap programme = answer.toMap();
            const QDateTime day = Utilities::optimizeDateForORVProgram(date);
            CliSession::print(session.channelName(channel) + QStringLiteral(" — ") +
                              DateAdditions::getDayOfWeek(day) + QStringLiteral(", ") +
                              DateAdditions::getYearDay(day));
            const QList<std::shared_ptr<Show>> shows = ShowList::fromAnswer(programme, session);
            if (programme.contains(QStringLiteral("nodata")) || shows.isEmpty()) {
                CliSession::print(StringTable::localized("No programme for this day."));
                return 0;
            }
            const QDateTime now = QDateTime::currentDateTime();
            TextTable table;
            for (const auto& show : shows) {
                const bool onAir = show->startTime <= now && now < show->endTime;
                table.addRow({onAir ? QStringLiteral("▶") : QStringLiteral(" "),
                              DateAdditions::getTime(show->startTime) + QStringLiteral("–") +
                                  DateAdditions::getTime(show->endTime),
                              show->composedTitle, show->showCategoryString()});
            }
            CliSession::print(table.render());
            return 0;
        });
}
